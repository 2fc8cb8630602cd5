// The program's process-wide objects and its start-up.
#pragma once

#include <windows.h>

#include "app/ListingBox.h"
#include "app/MainWindow.h"
#include "framework/AboutWindow.h"
#include "framework/ButtonBar.h"
#include "framework/MsgWindow.h"
#include "framework/StatusBar.h"

extern MsgWindow errorWindow;
extern AboutWindow aboutWindow;
extern StatusBar statusBar;
extern ButtonBar buttonBar;
extern ListingBox listBox;
extern MainWindow mainWindow;

// Child, visible, both scroll bars, no integral height, strings kept,
// owner-drawn rows of one height; no sorting, no notifications.
const DWORD listingStyle = 0x50300150;

// Brings the main window up, filled with the usage text and ready for the
// message loop. Returns 1 when it is, 0 when the frame could not be
// created, -1 when the Exit button could not be added.
int StartMainWindow(HINSTANCE instance, int showCommand);

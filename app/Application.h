// The program's process-wide objects and its start-up.
#pragma once

#include <windows.h>

#include "app/ListingBox.h"
#include "app/MainWindow.h"
#include "framework/AboutWindow.h"
#include "framework/ButtonBar.h"
#include "framework/MsgWindow.h"
#include "framework/StatusBar.h"
#include "platform/Platform.h"

extern Win32Platform& windowsPlatform;
extern MsgWindow errorWindow;
extern AboutWindow aboutWindow;
extern StatusBar statusBar;
extern ButtonBar buttonBar;
extern ListingBox listBox;
extern MainWindow mainWindow;

// No sorting: lines stay in the order added, and all rows have one height.
// The main window hears of selection changes and of every key first, so
// that only entry lines are ever selected.
const DWORD listingStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT |
                           LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT;

// Brings the main window up, filled with the usage text and ready for the
// message loop. Returns 1 when it is, 0 when the frame could not be
// created, -1 when the Exit button could not be added.
int StartMainWindow(HINSTANCE instance, int showCommand);

// The program's one top-level window: the frame with its button bar, list
// and status bar, the engine it runs commands on, and the user-interface
// services that engine asks for.
#pragma once

#include <windows.h>

#include "app/ListingBox.h"
#include "engine/Engine.h"
#include "engine/Host.h"
#include "framework/AboutWindow.h"
#include "framework/FrameWindow.h"
#include "framework/MsgWindow.h"

class MainWindow : public FrameWindow, public Host {
 public:
  MainWindow(Platform& platform, ListingBox& list, MsgWindow& errorWindow,
             AboutWindow& aboutWindow);

  int OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  HBRUSH OnCtlColorListBox(WPARAM wParam, LPARAM lParam) override;
  void OnDrawItem(WPARAM wParam, LPARAM lParam) override;
  void PreRegisterClass(WNDCLASSA& windowClass) override;
  void PreCreateWindow(CREATESTRUCTA& create) override;

  void showUsageText();
  void showAbout();

  // Host
  void resetListing() override;
  int addListingLine(const char* text, COLORREF colour) override;
  int listingCount() override;
  bool listingLine(int index, StrBuf& text) override;
  void EnableCommand(EngineCommand command, int enable) override;
  int IsCommandEnabled(EngineCommand command) override;
  HWND ownerWindow() override;
  int reportError(const char* message, const char* caption) override;
  int messageBox(const char* text, const char* caption, UINT type) override;
  int removeOptionsDialog(int* removeConfigSys, int* removeAutoexecBat) override;
  int successDialog(int removed) override;
  bool saveFileDialog(char* path, int size) override;

  Engine engine;

 private:
  // Runs one command; nonzero when the program is to end.
  int RunCommand(int commandId);
  // While a command runs, the list is not redrawn line by line: its lines
  // are painted once, when the command ends or before anything modal shows.
  // Every Host call that opens something modal paints them first, so no
  // dialog ever shows over a list left blank or stale.
  void HoldListingRedraw();
  void PaintHeldListing();
  void ReserveListingRoom(int count);

  ListingBox& listBox;
  MsgWindow& errorWindow;
  AboutWindow& aboutWindow;
  // ShowModal keeps the link address while the About window shows.
  char guidePath[MAX_PATH];
  int commandsRunning;
  bool redrawHeld;
  // Lines the list has room for without growing, set while redraw is held.
  int reservedLines;
};

const char programTitle[] = "Startlull";
const char aboutText[] = "Startlull 1.12\n(c) 2026 The Startlull developers";
// The user guide that ships beside the executable; the About window links it.
const char guideFileName[] = "Startlull.txt";

// The program's one top-level window: the frame with its button bar, list
// and status bar, the engine it runs commands on, and the user-interface
// services that engine asks for.
#pragma once

#include <windows.h>

#include "app/ListingBox.h"
#include "engine/Engine.h"
#include "engine/Entries.h"
#include "engine/Host.h"
#include "framework/AboutWindow.h"
#include "framework/FrameWindow.h"
#include "framework/MsgWindow.h"

class MainWindow : public FrameWindow, public Host, public LineKinds {
 public:
  MainWindow(Platform& platform, ListingBox& list, MsgWindow& errorWindow,
             AboutWindow& aboutWindow);

  int OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnContextMenu(WPARAM wParam, LPARAM lParam) override;
  int OnVKeyToItem(WPARAM wParam) override;
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
  bool openFileDialog(char* path, int size) override;
  bool remembersListing() override { return true; }

  // LineKinds
  LineKind KindOfLine(int line) override;

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

  // The selection: only entry lines hold it, and the status bar says what
  // the selected one starts.
  void OnListNotify(int code);
  bool SelectedEntry(int& line, ListedEntry& entry);
  // line -1: no selection.
  void SelectLine(int line);
  void ShowSelectionStatus();
  // Takes a character TranslateMessage queued for a key the list handled,
  // before the list searches its lines for it.
  void DropQueuedCharacter(char character);

  // The commands on the selected entry.
  void ToggleSelectedEntry(int commandId);
  void CopySelectedEntry();
  void OpenSelectedEntryFolder();
  void ShowEntryMenu(const ListedEntry* entry, bool canCopy, POINT screenPoint);
  // What Explorer is given to show the entry's program; false when there is
  // nothing to show.
  bool ExplorerArguments(const ListedEntry& entry, StrBuf& arguments);
  // Where an entry that moved is in the listing found again afterwards.
  int MovedEntryLine(const ListedEntry& entry, int oldLine);

  ListingBox& listBox;
  MsgWindow& errorWindow;
  AboutWindow& aboutWindow;
  // ShowModal keeps the link address while the About window shows.
  char guidePath[MAX_PATH];
  int commandsRunning;
  bool redrawHeld;
  // Lines the list has room for without growing, set while redraw is held.
  int reservedLines;
  // Set when a command changes the list's lines: what the list knows of
  // them is forgotten when the command ends.
  bool listingChanged;
};

// Why Disable and Enable are not offered.
const char entryCommandsWaitText[] =
    "Disable and Enable wait until Restore has put back what Remove took away.";

const char programTitle[] = "Startlull";
const char aboutText[] = "Startlull 1.12\n(c) 2026 The Startlull developers";
// The user guide that ships beside the executable; the About window links it.
const char guideFileName[] = "Startlull.txt";

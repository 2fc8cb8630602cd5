#include "app/MainWindow.h"

#include <string.h>

#include "app/Dialogs.h"
#include "app/FileNameDialog.h"
#include "engine/ProgramCheck.h"
#include "framework/ButtonBar.h"
#include "framework/StatusBar.h"
#include "framework/WindowBase.h"
#include "platform/DllFunction.h"
#include "resources/resource.h"
#include "util/Paths.h"
#include "util/StrBuf.h"

namespace {

struct UsageLine {
  const char* text;
  COLORREF colour;
};

const UsageLine usageText[] = {
    {"", plainColour},
    {"Startlull for Windows 98, 2000 and XP", titleColour},
    {"", plainColour},
    {"Purpose:", headingColour},
    {"   Run Windows without any unneeded programs starting automatically.", plainColour},
    {"   Startlull will remove any startup programs from the Win.ini, the", plainColour},
    {"   Windows startup folder, and the run folder in the registry.  When you", plainColour},
    {"   are ready, the startup programs will be put back the way they were.", plainColour},
    {"", plainColour},
    {"Usage:", headingColour},
    {"   Press the Find button to list the startup programs. If you want", plainColour},
    {"   to continue press the Remove button. The dialog box that appears", plainColour},
    {"   will give you the chance to also remove the config.sys and the", plainColour},
    {"   autoexec.bat files. Press the Ok button and the listed items will", plainColour},
    {"   be removed. You can press the Restart button to boot the computer.", plainColour},
    {"   When you are finished testing the clean system you can restore", plainColour},
    {"   the old setting by running this program and pressing the Restore", plainColour},
    {"   button. Everything will be put back the way it was and you will be", plainColour},
    {"   given the opportunity to restart the computer.", plainColour},
};

const int errorBoxStyle = MB_OK | MB_ICONEXCLAMATION;
const int aboutBoxStyle = MB_OK;
const COLORREF boxTextColour = 0x000000;
const COLORREF boxBackColour = 0xC0C0C0;
const COLORREF boxShadowColour = 0x808080;

// Room reserved in the list while a listing grows. Windows 98 holds at most
// 32,767 lines in a list box; more room than that is never asked for.
const int firstLineReserve = 256;
const int mostListLines = 32767;
const int typicalLineBytes = 64;

const char reportFilter[] = "Text file (*.txt)\0*.txt\0";
const char reportExtension[] = ".txt";

// Answers to WM_VKEYTOITEM.
const int keyHandled = -2;
const int keyForTheList = -1;
const char controlC = 3;

// After the tab, the key that does the same: menus show it at the right.
const char disableLabel[] = "Disable\tSpace";
const char enableLabel[] = "Enable\tSpace";
const char copyLabel[] = "Copy\tCtrl+C";
const char openFolderLabel[] = "Open folder";
const char compareLabel[] = "Compare with a report...\tCtrl+O";

// Whole texts, byte for byte: a name or command that differs in case only
// is another entry's.
bool sameText(const StrBuf& a, const StrBuf& b) {
  return a.length() == b.length() && memcmp(a.c_str(), b.c_str(), a.length()) == 0;
}

bool sameEntry(const ListedEntry& a, const ListedEntry& b) {
  if (a.place != b.place || a.disabled != b.disabled || !sameText(a.name, b.name)) return false;
  if (a.place != ENTRY_REGISTRY) return sameText(a.command, b.command);
  return a.root == b.root && a.row == b.row && sameText(a.command, b.command);
}

}  // namespace

MainWindow::MainWindow(Platform& platform, ListingBox& list, MsgWindow& errors, AboutWindow& about)
    : engine(platform, *this), listBox(list), errorWindow(errors), aboutWindow(about), guidePath(),
      commandsRunning(0), redrawHeld(false), reservedLines(0), listingChanged(false) {
  list.kindSource = this;
}

int MainWindow::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == HelpTextMessage && statusBar && buttonBar) {
    // A broadcast from another program may carry this number and a pointer
    // into that program: only a help text of our own bar is shown.
    const char* text = buttonBar->OwnHelpText(wParam, lParam);
    if (text) statusBar->SetText(0, text);
  }
  return 0;
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  // The list's notifications come with its window; commands from the
  // buttons, keys, menu and other programs never do.
  if (lParam && reinterpret_cast<HWND>(lParam) == listBox.hwnd) {
    OnListNotify(HIWORD(wParam));
    return;
  }
  // A command can arrive while a dialog of another one is open.
  ++commandsRunning;
  int finished = RunCommand(LOWORD(wParam));
  --commandsRunning;
  if (!commandsRunning && listingChanged) {
    // Paints in the middle of a command may have seen lines before the
    // engine knew them for entries.
    listingChanged = false;
    listBox.ForgetLines();
    InvalidateRect(listBox.hwnd, 0, TRUE);
  }
  PaintHeldListing();
  if (finished) Destroy();
}

int MainWindow::RunCommand(int commandId) {
  switch (commandId) {
    case IDM_EXIT:
      return 1;
    case IDM_ABOUT:
      showAbout();
      return 0;
    case IDM_FIND:
      engine.findStartupEntries();
      // A keyboard user goes on at once: Down to an entry, Space.
      SetFocus(listBox.hwnd);
      return 0;
    case IDM_REMOVE:
      return engine.removeStartupEntries();
    case IDM_RESTORE:
      return engine.restoreStartupEntries();
    case IDM_LOCATIONS:
      engine.showLocations();
      return 0;
    case IDM_SAVE:
      // Its key comes whether or not the button may be pressed.
      if (IsCommandEnabled(COMMAND_SAVE)) engine.saveReport();
      return 0;
    case IDM_DISABLE:
    case IDM_ENABLE:
      ToggleSelectedEntry(commandId);
      return 0;
    case IDM_COPY:
      CopySelectedEntry();
      return 0;
    case IDM_OPEN_FOLDER:
      OpenSelectedEntryFolder();
      return 0;
    case IDM_COMPARE:
      engine.compareWithReport();
      SetFocus(listBox.hwnd);
      return 0;
    default:
      return 0;
  }
}

// Repainting the list after every line made a listing of thousands of lines
// take tens of seconds; with redrawing off it fills as fast as it is read.
void MainWindow::HoldListingRedraw() {
  if (!commandsRunning || redrawHeld) return;
  SendMessageA(listBox.hwnd, WM_SETREDRAW, FALSE, 0);
  redrawHeld = true;
  reservedLines = 0;
}

void MainWindow::PaintHeldListing() {
  if (!redrawHeld) return;
  redrawHeld = false;
  SendMessageA(listBox.hwnd, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(listBox.hwnd, 0, TRUE);
  UpdateWindow(listBox.hwnd);
}

HBRUSH MainWindow::OnCtlColorListBox(WPARAM wParam, LPARAM) {
  SetBkColor(reinterpret_cast<HDC>(wParam), listBackgroundColour);
  return engine.listBackgroundBrush;
}

void MainWindow::OnDrawItem(WPARAM wParam, LPARAM lParam) {
  if (static_cast<int>(wParam) != listBox.id) return;
  listBox.DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
}

void MainWindow::PreRegisterClass(WNDCLASSA& windowClass) {
  windowClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_STARTLULL));
}

void MainWindow::PreCreateWindow(CREATESTRUCTA& create) { create.lpszName = programTitle; }

void MainWindow::showUsageText() {
  // The list object outlives a window it was made for before.
  listBox.ForgetWidths();
  SendMessageA(listBox.hwnd, WM_SETREDRAW, FALSE, 0);
  for (const UsageLine& line : usageText) engine.addLine(line.text, line.colour);
  SendMessageA(listBox.hwnd, LB_SETCURSEL, 0, 0);
  SendMessageA(listBox.hwnd, WM_SETREDRAW, TRUE, 0);
}

void MainWindow::showAbout() {
  // The guide is named after the running executable's folder, wherever the
  // user keeps it.
  guidePath[0] = '\0';
  DWORD length = GetModuleFileNameA(0, guidePath, sizeof guidePath);
  if (length == 0 || length >= sizeof guidePath) guidePath[0] = '\0';
  stripFileName(guidePath);
  appendText(guidePath, sizeof guidePath, guideFileName);
  aboutWindow.ShowModal(hwnd, aboutText, guidePath, aboutBoxStyle, MAKEINTRESOURCEA(IDI_STARTLULL),
                        boxTextColour, boxBackColour, boxShadowColour);
}

void MainWindow::resetListing() {
  HoldListingRedraw();
  SendMessageA(listBox.hwnd, LB_RESETCONTENT, 0, 0);
  listBox.ForgetLines();
  listBox.ForgetWidths();
  listingChanged = true;
  reservedLines = 0;
  // The selection went with the lines, and so goes what it said.
  if (statusBar) statusBar->SetText(0, "");
}

int MainWindow::addListingLine(const char* text, COLORREF colour) {
  HoldListingRedraw();
  LRESULT index = SendMessageA(listBox.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index == LB_ERR || index == LB_ERRSPACE) return -1;
  listingChanged = true;
  SendMessageA(listBox.hwnd, LB_SETITEMDATA, index, static_cast<LPARAM>(colour));
  listBox.NoteLineWidth(text);
  if (redrawHeld && index + 1 >= reservedLines) ReserveListingRoom(static_cast<int>(index) + 1);
  return static_cast<int>(index);
}

// How many lines a listing will reach is known only when it is done: room
// doubles, so the list's storage is moved a few times rather than every
// few lines.
void MainWindow::ReserveListingRoom(int count) {
  int more = count < firstLineReserve ? firstLineReserve : count;
  if (more > mostListLines - count) more = mostListLines - count;
  // Refused room is no failure: the lines still go in one by one.
  if (more > 0) SendMessageA(listBox.hwnd, LB_INITSTORAGE, more, more * typicalLineBytes);
  reservedLines = count + more;
}

int MainWindow::listingCount() {
  LRESULT count = SendMessageA(listBox.hwnd, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? -1 : static_cast<int>(count);
}

bool MainWindow::listingLine(int index, StrBuf& text) {
  text.clear();
  LRESULT length = SendMessageA(listBox.hwnd, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return false;
  char* room = text.reserveTail(static_cast<size_t>(length) + 1);
  if (!room) return false;
  LRESULT copied = SendMessageA(listBox.hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(room));
  if (copied == LB_ERR) {
    text.commit(0);
    return false;
  }
  text.commit(static_cast<size_t>(copied));
  return true;
}

// The engine's commands by their buttons' ids, in EngineCommand's order.
static const int engineCommandIds[] = {IDM_REMOVE, IDM_RESTORE, IDM_SAVE};

void MainWindow::EnableCommand(EngineCommand command, int enable) {
  if (buttonBar) buttonBar->EnableCommand(engineCommandIds[command], enable);
}

int MainWindow::IsCommandEnabled(EngineCommand command) {
  return buttonBar ? buttonBar->IsCommandEnabled(engineCommandIds[command]) : 0;
}

HWND MainWindow::ownerWindow() { return hwnd; }

int MainWindow::reportError(const char* message, const char* caption) {
  PaintHeldListing();
  return errorWindow.ShowModal(hwnd, message, caption, errorBoxStyle, 0, boxTextColour,
                               boxBackColour, boxShadowColour);
}

int MainWindow::messageBox(const char* text, const char* caption, UINT type) {
  PaintHeldListing();
  return MessageBoxA(hwnd, text, caption, type);
}

int MainWindow::removeOptionsDialog(int* removeConfigSys, int* removeAutoexecBat) {
  PaintHeldListing();
  RemoveOptions options = {removeConfigSys, removeAutoexecBat};
  INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_REMOVE), hwnd,
                                   RemoveDialogProc, reinterpret_cast<LPARAM>(&options));
  // A dialog that could not be shown (-1) confirmed nothing.
  return result == 1 ? 1 : 0;
}

int MainWindow::successDialog(int removed) {
  PaintHeldListing();
  INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_SUCCESS), hwnd,
                                   SuccessDialogProc, removed ? 1 : 0);
  // Only the user's "&Restart" restarts the machine; a dialog that could not
  // be shown (-1) counts as "Exit".
  return result == 1 ? 1 : 0;
}

bool MainWindow::saveFileDialog(char* path, int size) {
  PaintHeldListing();
  // The engine has put the initial name into path.
  FileNameDialog dialog(reportFilter, 1, reportExtension);
  return dialog.Run(hwnd, path, size);
}

bool MainWindow::openFileDialog(char* path, int size) {
  PaintHeldListing();
  return ChooseFileToOpen(hwnd, reportFilter, path, size);
}

LineKind MainWindow::KindOfLine(int line) {
  ListedEntry entry;
  if (!engine.entryAt(line, entry)) return engine.isGoneLine(line) ? LINE_GONE : LINE_TEXT;
  TextPiece earlier;
  ChangeKind change = engine.lineChange(line, &earlier);
  int mark = change == ENTRY_NEW ? LINE_MARK_NEW : change == ENTRY_CHANGED ? LINE_MARK_CHANGED : 0;
  // A disabled entry keeps its grey whatever its program: it starts nothing.
  // An entry that names no program ("Svc = ") has none to miss.
  ProgramInfo info;
  bool missing = !entry.disabled && checkProgram(engine, entry, false, info) && !info.found;
  return static_cast<LineKind>((missing ? LINE_ENTRY_MISSING : LINE_ENTRY) | mark);
}

void MainWindow::OnListNotify(int code) {
  if (code != LBN_SELCHANGE) return;
  // A click on a heading or a blank line selects nothing.
  int line = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCURSEL, 0, 0));
  if (line >= 0 && !listBox.IsEntry(line)) SendMessageA(listBox.hwnd, LB_SETCURSEL, -1, 0);
  ShowSelectionStatus();
}

bool MainWindow::SelectedEntry(int& line, ListedEntry& entry) {
  line = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCURSEL, 0, 0));
  return line >= 0 && engine.entryAt(line, entry);
}

void MainWindow::SelectLine(int line) {
  // LB_SETCURSEL sends no LBN_SELCHANGE: the status follows here.
  SendMessageA(listBox.hwnd, LB_SETCURSEL, line, 0);
  ShowSelectionStatus();
}

void MainWindow::ShowSelectionStatus() {
  if (!statusBar) return;
  int line;
  ListedEntry entry;
  if (!SelectedEntry(line, entry)) {
    StrBuf gone;
    if (line >= 0 && engine.isGoneLine(line)) {
      gone.append("Gone since ");
      gone.append(engine.changesSince);
    }
    statusBar->SetText(0, gone.c_str());
    return;
  }
  if (!engine.entryCommandsAvailable()) {
    statusBar->SetText(0, entryCommandsWaitText);
    return;
  }
  ProgramInfo info;
  StrBuf text;
  checkProgram(engine, entry, true, info);
  programStatusText(entry, info, text);
  appendPlaceStatus(entry, text);
  TextPiece earlier = {"", 0};
  ChangeKind change = engine.lineChange(line, &earlier);
  if (change != ENTRY_SAME && text.append(" - "))
    appendChangeStatus(text, change, engine.changesSince, earlier);
  statusBar->SetText(0, text.c_str());
}

void MainWindow::DropQueuedCharacter(char character) {
  MSG queued;
  if (PeekMessageA(&queued, listBox.hwnd, WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
      queued.wParam == static_cast<WPARAM>(static_cast<unsigned char>(character)))
    PeekMessageA(&queued, listBox.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
}

int MainWindow::OnVKeyToItem(WPARAM wParam) {
  UINT key = LOWORD(wParam);
  switch (key) {
    case VK_SPACE: {
      // Without this the list would search for a line starting with a blank.
      DropQueuedCharacter(' ');
      int line;
      ListedEntry entry;
      if (SelectedEntry(line, entry))
        SendMessageA(hwnd, WM_COMMAND, entry.disabled ? IDM_ENABLE : IDM_DISABLE, 0);
      return keyHandled;
    }
    case 'C':
      if (GetKeyState(VK_CONTROL) >= 0) return keyForTheList;
      DropQueuedCharacter(controlC);
      SendMessageA(hwnd, WM_COMMAND, IDM_COPY, 0);
      return keyHandled;
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT: {
      // The list would stop on headings and blank lines; the selection
      // goes from entry to entry instead, and stays when there is none.
      int caret = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCARETINDEX, 0, 0));
      int target = listBox.EntryForKey(key, caret);
      if (target >= 0) SelectLine(target);
      return keyHandled;
    }
    default:
      return keyForTheList;
  }
}

void MainWindow::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != listBox.hwnd) return;
  POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  RECT row;
  int line;
  if (at.x == -1 && at.y == -1) {
    // From the keyboard (Shift+F10, the menu key): on the selected line,
    // or at the list's corner when none is.
    line = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCURSEL, 0, 0));
    if (line < 0 || !listBox.IsEntry(line) ||
        SendMessageA(listBox.hwnd, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) == LB_ERR) {
      line = -1;
      row.left = row.bottom = 0;
    }
    at.x = row.left;
    at.y = row.bottom;
    MapWindowPoints(listBox.hwnd, 0, &at, 1);
  } else {
    // A right click selects the entry under the pointer first.
    POINT inList = at;
    MapWindowPoints(0, listBox.hwnd, &inList, 1);
    LRESULT found = SendMessageA(listBox.hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(inList.x, inList.y));
    line = static_cast<int>(LOWORD(found));
    bool onRow = found != LB_ERR && HIWORD(found) == 0 &&
                 SendMessageA(listBox.hwnd, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) !=
                     LB_ERR &&
                 inList.y >= row.top && inList.y < row.bottom;
    if (!onRow || !listBox.IsEntry(line)) line = -1;
    SelectLine(line);
  }
  // Off the entries the menu still offers Compare (a clean machine lists
  // none); a gone line can be copied and nothing else.
  ListedEntry entry;
  bool isEntry = line >= 0 && engine.entryAt(line, entry);
  ShowEntryMenu(isEntry ? &entry : nullptr, isEntry || line >= 0, at);
}

void MainWindow::ShowEntryMenu(const ListedEntry* entry, bool canCopy, POINT screenPoint) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  StrBuf arguments;
  bool disabled = entry && entry->disabled;
  UINT toggleState = entry && engine.entryCommandsAvailable() ? MF_ENABLED : MF_GRAYED;
  UINT folderState = entry && ExplorerArguments(*entry, arguments) ? MF_ENABLED : MF_GRAYED;
  AppendMenuA(menu, MF_STRING | toggleState, disabled ? IDM_ENABLE : IDM_DISABLE,
              disabled ? enableLabel : disableLabel);
  AppendMenuA(menu, MF_STRING | (canCopy ? MF_ENABLED : MF_GRAYED), IDM_COPY, copyLabel);
  AppendMenuA(menu, MF_STRING | folderState, IDM_OPEN_FOLDER, openFolderLabel);
  AppendMenuA(menu, MF_STRING, IDM_COMPARE, compareLabel);
  int chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                              screenPoint.x, screenPoint.y, 0, hwnd, 0);
  DestroyMenu(menu);
  // The menu's choice is the same command a key or another program sends.
  if (chosen) SendMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
}

void MainWindow::ToggleSelectedEntry(int commandId) {
  int line;
  ListedEntry entry;
  if (!SelectedEntry(line, entry) || !engine.entryCommandsAvailable()) return;
  bool enable = commandId == IDM_ENABLE;
  if (entry.disabled != enable) return;
  int moved = enable ? engine.enableEntry(line) : engine.disableEntry(line);
  if (!moved) return;
  // What was new before the move stays marked until the user's next Find.
  engine.keepRemembered = true;
  engine.findStartupEntries();
  engine.keepRemembered = false;
  SelectLine(MovedEntryLine(entry, line));
}

int MainWindow::MovedEntryLine(const ListedEntry& entry, int oldLine) {
  int count = listingCount();
  ListedEntry moved;
  for (int line = 0; line < count; ++line) {
    if (!engine.entryAt(line, moved)) continue;
    // Now in the other section, otherwise the same.
    moved.disabled = !moved.disabled;
    if (sameEntry(entry, moved)) return line;
  }
  return listBox.NearestEntry(oldLine);
}

void MainWindow::CopySelectedEntry() {
  StrBuf text;
  // A gone entry's line is copied too, though it names nothing to act on.
  int line = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCURSEL, 0, 0));
  if (line < 0 || !listBox.IsEntry(line) || !listingLine(line, text)) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.length() + 1);
  if (!block) return;
  char* copy = static_cast<char*>(GlobalLock(block));
  if (!copy) {
    GlobalFree(block);
    return;
  }
  memcpy(copy, text.c_str(), text.length() + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(hwnd)) {
    GlobalFree(block);
    return;
  }
  EmptyClipboard();
  // Once the clipboard takes the block it is the clipboard's to free.
  if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  CloseClipboard();
}

bool MainWindow::ExplorerArguments(const ListedEntry& entry, StrBuf& arguments) {
  arguments.clear();
  ProgramInfo info;
  if (!checkProgram(engine, entry, false, info) || info.path.length() == 0) return false;
  // Explorer reads a path with blanks as one only when it is quoted.
  if (info.found)
    return arguments.append("/select,\"") && arguments.append(info.path.c_str()) &&
           arguments.appendChar('"');
  const char* path = info.path.c_str();
  size_t folderLength = info.path.length();
  while (folderLength > 0 && path[folderLength - 1] != '\\') --folderLength;
  if (folderLength == 0) return false;
  --folderLength;
  // A drive's root keeps its backslash: "C:" alone is the current folder there.
  if (folderLength == 2 && path[1] == ':') ++folderLength;
  StrBuf folder;
  if (!folder.append(path, folderLength) || !engine.pathExists(folder.c_str())) return false;
  return arguments.appendChar('"') && arguments.append(folder.c_str()) && arguments.appendChar('"');
}

void MainWindow::OpenSelectedEntryFolder() {
  int line;
  ListedEntry entry;
  StrBuf arguments;
  if (!SelectedEntry(line, entry) || !ExplorerArguments(entry, arguments)) return;
  // SHELL32 loads on first use, as for the About window's link. Nothing is
  // reported when Explorer cannot be started: the machine is as it was.
  typedef HINSTANCE(WINAPI * ShellExecuteProc)(HWND, const char*, const char*, const char*,
                                               const char*, INT);
  static DllFunction<ShellExecuteProc> shellExecute;
  if (ShellExecuteProc open = shellExecute.get("shell32.dll", "ShellExecuteA"))
    open(hwnd, "open", "explorer.exe", arguments.c_str(), 0, SW_SHOWNORMAL);
}

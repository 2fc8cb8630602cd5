#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/FileNameDialog.h"
#include "framework/ButtonBar.h"
#include "framework/WindowBase.h"
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

}  // namespace

MainWindow::MainWindow(Platform& platform, ListingBox& list, MsgWindow& errors, AboutWindow& about)
    : engine(platform, *this), listBox(list), errorWindow(errors), aboutWindow(about), guidePath(),
      commandsRunning(0), redrawHeld(false), reservedLines(0) {}

int MainWindow::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == HelpTextMessage && statusBar && buttonBar) {
    // A broadcast from another program may carry this number and a pointer
    // into that program: only a help text of our own bar is shown.
    const char* text = buttonBar->OwnHelpText(wParam, lParam);
    if (text) statusBar->SetText(0, text);
  }
  return 0;
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM) {
  // A command can arrive while a dialog of another one is open.
  ++commandsRunning;
  int finished = RunCommand(LOWORD(wParam));
  --commandsRunning;
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
      return 0;
    case IDM_REMOVE:
      return engine.removeStartupEntries();
    case IDM_RESTORE:
      return engine.restoreStartupEntries();
    case IDM_LOCATIONS:
      engine.showLocations();
      return 0;
    case IDM_SAVE:
      engine.saveReport();
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
  reservedLines = 0;
}

int MainWindow::addListingLine(const char* text, COLORREF colour) {
  HoldListingRedraw();
  LRESULT index = SendMessageA(listBox.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index == LB_ERR || index == LB_ERRSPACE) return -1;
  SendMessageA(listBox.hwnd, LB_SETITEMDATA, index, static_cast<LPARAM>(colour));
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

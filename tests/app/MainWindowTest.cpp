// The real main window, brought up as the program does: what reaches its
// status bar, and when its list is painted.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/Application.h"
#include "gtest/gtest.h"
#include "resources/resource.h"

namespace {

void PumpAll() {
  MSG message;
  while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void EndMainWindow() {
  mainWindow.Destroy();
  MSG message;
  while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
  }
}

// Whether the list repaints what changes in it: a line put in at the top
// invalidates it only while its redrawing is on. The line is taken out again.
bool ListRedraws() {
  ValidateRect(listBox.hwnd, 0);
  SendMessageA(listBox.hwnd, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("probe"));
  bool invalidated = GetUpdateRect(listBox.hwnd, 0, FALSE) != 0;
  SendMessageA(listBox.hwnd, LB_DELETESTRING, 0, 0);
  ValidateRect(listBox.hwnd, 0);
  return invalidated;
}

std::string StatusText() {
  char text[256] = "sentinel";
  SendMessageA(statusBar.hwnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(MainWindowTest, OnlyTheButtonBarsOwnHelpTextsReachTheStatusBar) {
  ASSERT_EQ(1, StartMainWindow(GetModuleHandleA(0), SW_SHOWNORMAL));
  const char* findHelp = buttonBar.buttons[0].helpText;
  ASSERT_EQ(IDM_FIND, buttonBar.buttons[0].id);
  ASSERT_TRUE(findHelp);

  // HelpTextMessage's number is one that RegisterWindowMessage can hand to
  // another program, whose broadcast then reaches this window.
  char foreign[] = "Text of another program";
  struct Case {
    const char* name;
    WPARAM commandId;
    LPARAM text;
    const char* shown;
  } const cases[] = {
      {"own help text", IDM_FIND, reinterpret_cast<LPARAM>(findHelp), findHelp},
      {"foreign string", IDM_FIND, reinterpret_cast<LPARAM>(foreign), "before"},
      {"bogus pointer", IDM_SAVE, 0x1234, "before"},
      {"null", IDM_FIND, 0, "before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    statusBar.SetText(0, "before");
    EXPECT_EQ(0, SendMessageA(mainWindow.hwnd, HelpTextMessage, c.commandId, c.text));
    EXPECT_EQ(c.shown, StatusText());
  }

  // The way the texts really come: the mouse over a button without the focus.
  statusBar.SetText(0, "before");
  SetFocus(buttonBar.buttons[0].hwnd);
  SendMessageA(buttonBar.buttons[5].hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(buttonBar.buttons[5].helpText, StatusText());

  EndMainWindow();
}

// A command adds its lines with the list's redrawing off and paints them
// once, before it returns; the list redraws as usual afterwards, whichever
// command ran, and so does a line added outside any command.
TEST(MainWindowTest, ACommandsLinesArePaintedWhenItEndsAndTheListRedrawsAfter) {
  ASSERT_EQ(1, StartMainWindow(GetModuleHandleA(0), SW_SHOWNORMAL));
  PumpAll();
  const int commands[] = {IDM_LOCATIONS, IDM_LOCATIONS, IDM_REMOVE, 40999};
  for (int command : commands) {
    SCOPED_TRACE(command);
    mainWindow.OnCommand(command, 0);
    EXPECT_LT(0, SendMessageA(listBox.hwnd, LB_GETCOUNT, 0, 0));
    EXPECT_FALSE(GetUpdateRect(listBox.hwnd, 0, FALSE)) << "lines left to paint later";
    EXPECT_TRUE(ListRedraws());
  }
  ValidateRect(listBox.hwnd, 0);
  mainWindow.resetListing();
  mainWindow.addListingLine("outside a command", 0);
  EXPECT_TRUE(GetUpdateRect(listBox.hwnd, 0, FALSE));
  EndMainWindow();
}

}  // namespace

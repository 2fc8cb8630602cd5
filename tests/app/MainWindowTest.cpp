// The real main window, brought up as the program does: what reaches its
// status bar.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/Application.h"
#include "gtest/gtest.h"
#include "resources/resource.h"

namespace {

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

  mainWindow.Destroy();
  MSG message;
  while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

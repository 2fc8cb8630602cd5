// The real main window, brought up as the program does: what reaches its
// status bar, when its list is painted, and how entry lines are selected
// and acted on with the mouse, the keys, the menu and commands.
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "app/Application.h"
#include "engine/ProgramCheck.h"
#include "engine/RunKeys.h"
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

// A Find listing as the engine leaves one: lines through the host, the
// entry lines noted in sections. Nothing in it is on the machine.
enum {
  usedLine = 0,
  runHeading = 1,
  alphaLine = 2,
  betaLine = 3,
  blankLine = 4,
  disabledHeading = 5,
  gammaLine = 6,
  lastLine = 7
};

void ShowFindListing() {
  const struct {
    const char* text;
    COLORREF colour;
  } lines[] = {
      {"", 0x000000},
      {"[Registry - current_user, Run]", 0xFF0000},
      {"Alpha = C:\\nowhere-ui\\alpha.exe", 0x000000},
      {"Beta = C:\\nowhere-ui\\beta.exe /b", 0x000000},
      {"", 0x000000},
      {"[Disabled by Startlull]", 0xFF0000},
      {"Registry - current_user, Run: Gamma = C:\\nowhere-ui\\gamma.exe", 0x808080},
      {"", 0x000000},
  };
  mainWindow.resetListing();
  mainWindow.engine.listingSectionCount = 0;
  for (const auto& line : lines) mainWindow.addListingLine(line.text, line.colour);
  mainWindow.engine.addSection(alphaLine, betaLine + 1, ENTRY_REGISTRY, false,
                               runKeyRow(HKEY_CURRENT_USER, RUN));
  mainWindow.engine.addSection(gammaLine, gammaLine + 1, ENTRY_REGISTRY, true,
                               runKeyRow(HKEY_CURRENT_USER, RUN));
  listBox.ForgetLines();
}

int Selected() { return static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCURSEL, 0, 0)); }

std::vector<std::string> ListingTexts() {
  std::vector<std::string> texts;
  int count = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = "";
    SendMessageA(listBox.hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

std::string ClipboardText() {
  std::string text = "<none>";
  if (!OpenClipboard(0)) return "<unopened>";
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data) {
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    if (bytes) text = bytes;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const char* text) {
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
  memcpy(GlobalLock(block), text, strlen(text) + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

// A key as the list gets it; ctrl: with Control held as far as GetKeyState
// can tell.
void Key(UINT key, bool ctrl = false) {
  BYTE state[256], held[256];
  GetKeyboardState(state);
  memcpy(held, state, sizeof held);
  if (ctrl) held[VK_CONTROL] = 0x80;
  SetKeyboardState(held);
  SendMessageA(listBox.hwnd, WM_KEYDOWN, key, 1);
  SetKeyboardState(state);
}

// Closes every window that opens over the main window while it watches,
// and counts them: a command that should do nothing opens none.
class ModalWatch {
 public:
  ModalWatch() {
    opened.clear();
    timer = SetTimer(0, 0, 30, Tick);
  }
  ~ModalWatch() { KillTimer(0, timer); }
  size_t Count() const { return opened.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0);
  }
  static BOOL CALLBACK CloseOne(HWND window, LPARAM) {
    if (window == mainWindow.hwnd || !IsWindowVisible(window)) return TRUE;
    opened.insert(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
  }
  static std::set<HWND> opened;
  UINT_PTR timer;
};
std::set<HWND> ModalWatch::opened;

struct MenuItem {
  std::string text;
  bool enabled;
  bool operator==(const MenuItem& other) const {
    return text == other.text && enabled == other.enabled;
  }
};

// The items of the next popup menu that opens, read while it shows; it is
// then closed without a choice.
std::vector<MenuItem> menuSeen;
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowA("#32768", 0);
  HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)) : 0;
  if (!menu) return;
  KillTimer(0, timer);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = "";
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    menuSeen.push_back({text, (state & (MF_GRAYED | MF_DISABLED)) == 0});
  }
  EndMenu();
}

class MainWindowListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, StartMainWindow(GetModuleHandleA(0), SW_SHOWNORMAL));
    PumpAll();
    ShowFindListing();
    PumpAll();
  }
  void TearDown() override {
    mainWindow.engine.restoreAvailable = 0;
    EndMainWindow();
  }
};

TEST_F(MainWindowListing, ClicksSelectEntriesOnlyAndTheStatusBarSaysWhatTheyStart) {
  struct Case {
    const char* name;
    int clicked;
    int selected;
  } const cases[] = {
      {"entry", alphaLine, alphaLine},
      {"heading", runHeading, -1},
      {"second entry", betaLine, betaLine},
      {"blank line", blankLine, -1},
      {"disabled entry", gammaLine, gammaLine},
      {"below the last line leaves it", lastLine + 3, gammaLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int row = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETITEMHEIGHT, 0, 0));
    LPARAM at = MAKELPARAM(20, c.clicked * row + row / 2);
    SendMessageA(listBox.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(listBox.hwnd, WM_LBUTTONUP, 0, at);
    PumpAll();
    EXPECT_EQ(c.selected, Selected());
    std::string expected;
    if (c.selected >= 0) {
      ListedEntry entry;
      ASSERT_TRUE(mainWindow.engine.entryAt(c.selected, entry));
      ProgramInfo info;
      StrBuf text;
      checkProgram(mainWindow.engine, entry, true, info);
      programStatusText(entry, info, text);
      expected = text.c_str();
    }
    EXPECT_EQ(expected, StatusText());
  }
  mainWindow.engine.restoreAvailable = 1;
  SendMessageA(listBox.hwnd, WM_KEYDOWN, VK_HOME, 1);
  EXPECT_EQ(alphaLine, Selected());
  EXPECT_EQ(entryCommandsWaitText, StatusText()) << "Disable and Enable wait for a Restore";
}

TEST_F(MainWindowListing, CommandsActOnlyOnASelectedEntryAndOnlyWhenAvailable) {
  const std::vector<std::string> listed = ListingTexts();
  struct Case {
    const char* name;
    int selected;
    bool unavailable;
    WPARAM command;
    size_t windows;  // the engine's report: Alpha is not on the machine
    const char* clipboard;
  } const cases[] = {
      {"disable on no selection", -1, false, IDM_DISABLE, 0, "before"},
      {"copy on no selection", -1, false, IDM_COPY, 0, "before"},
      {"disable on a heading", runHeading, false, IDM_DISABLE, 0, "before"},
      {"enable on a heading", runHeading, false, IDM_ENABLE, 0, "before"},
      {"copy on a heading", runHeading, false, IDM_COPY, 0, "before"},
      {"open folder on a blank line", blankLine, false, IDM_OPEN_FOLDER, 0, "before"},
      {"enable on an enabled entry", alphaLine, false, IDM_ENABLE, 0, "before"},
      {"disable on a disabled entry", gammaLine, false, IDM_DISABLE, 0, "before"},
      {"disable while a Remove waits", alphaLine, true, IDM_DISABLE, 0, "before"},
      {"enable while a Remove waits", gammaLine, true, IDM_ENABLE, 0, "before"},
      {"copy while a Remove waits", alphaLine, true, IDM_COPY, 0,
       "Alpha = C:\\nowhere-ui\\alpha.exe"},
      {"disable reaches the engine", alphaLine, false, IDM_DISABLE, 1, "before"},
      {"save, its key, while its button is off", alphaLine, false, IDM_SAVE, 0, "before"},
      {"copy the disabled entry", gammaLine, false, IDM_COPY, 0,
       "Registry - current_user, Run: Gamma = C:\\nowhere-ui\\gamma.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetClipboardText("before");
    mainWindow.engine.restoreAvailable = c.unavailable ? 1 : 0;
    SendMessageA(listBox.hwnd, LB_SETCURSEL, c.selected, 0);
    {
      ModalWatch watch;
      SendMessageA(mainWindow.hwnd, WM_COMMAND, c.command, 0);
      PumpAll();
      EXPECT_EQ(c.windows, watch.Count());
    }
    EXPECT_EQ(listed, ListingTexts());
    EXPECT_EQ(c.clipboard, ClipboardText());
  }

  // Ctrl+C and Space are the same commands; C alone is not.
  SetClipboardText("before");
  SendMessageA(listBox.hwnd, LB_SETCURSEL, betaLine, 0);
  Key('C');
  EXPECT_EQ("before", ClipboardText());
  Key('C', true);
  EXPECT_EQ("Beta = C:\\nowhere-ui\\beta.exe /b", ClipboardText());
  ModalWatch watch;
  Key(VK_SPACE);
  PumpAll();
  EXPECT_EQ(1u, watch.Count()) << "Space disables: the engine reports Beta is not there";
}

TEST_F(MainWindowListing, ListNotificationsAreNoCommands) {
  HWND list = listBox.hwnd;
  struct Case {
    const char* name;
    WPARAM wParam;
    LPARAM lParam;
    bool ends;
  } const cases[] = {
      {"selection change of the list", MAKEWPARAM(listBox.id, LBN_SELCHANGE),
       reinterpret_cast<LPARAM>(list), false},
      {"list notification carrying Exit's number", MAKEWPARAM(IDM_EXIT, LBN_DBLCLK),
       reinterpret_cast<LPARAM>(list), false},
      {"focus notification carrying Find's number", MAKEWPARAM(IDM_FIND, LBN_SETFOCUS),
       reinterpret_cast<LPARAM>(list), false},
      {"Exit from another program", IDM_EXIT, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SendMessageA(list, LB_SETCURSEL, runHeading, 0);
    SendMessageA(mainWindow.hwnd, WM_COMMAND, c.wParam, c.lParam);
    PumpAll();
    EXPECT_EQ(c.ends, !IsWindow(list));
    if (c.ends) break;
    EXPECT_EQ(8, SendMessageA(list, LB_GETCOUNT, 0, 0)) << "no Find ran";
  }
  ASSERT_EQ(1, StartMainWindow(GetModuleHandleA(0), SW_SHOWNORMAL));
}

TEST_F(MainWindowListing, MenuOffersWhatAppliesToTheEntry) {
  const MenuItem kCompare = {"Compare with a report...\tCtrl+O", true};
  struct Case {
    const char* name;
    int selected;
    bool unavailable;
    std::vector<MenuItem> items;
  } const cases[] = {
      {"entry",
       alphaLine,
       false,
       {{"Disable\tSpace", true}, {"Copy\tCtrl+C", true}, {"Open folder", false}, kCompare}},
      {"disabled entry",
       gammaLine,
       false,
       {{"Enable\tSpace", true}, {"Copy\tCtrl+C", true}, {"Open folder", false}, kCompare}},
      {"while a Remove waits",
       betaLine,
       true,
       {{"Disable\tSpace", false}, {"Copy\tCtrl+C", true}, {"Open folder", false}, kCompare}},
      // Off the entries only Compare, the one command a clean machine offers.
      {"heading",
       runHeading,
       false,
       {{"Disable\tSpace", false}, {"Copy\tCtrl+C", false}, {"Open folder", false}, kCompare}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mainWindow.engine.restoreAvailable = c.unavailable ? 1 : 0;
    SendMessageA(listBox.hwnd, LB_SETCURSEL, c.selected, 0);
    menuSeen.clear();
    UINT_PTR timer = SetTimer(0, 0, 30, ReadMenu);
    // As the keyboard's menu key and Shift+F10 bring it.
    SendMessageA(mainWindow.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(listBox.hwnd), -1);
    KillTimer(0, timer);
    EXPECT_EQ(c.items, menuSeen);
  }

  // A right click selects the entry under the pointer before its menu shows.
  mainWindow.engine.restoreAvailable = 0;
  SendMessageA(listBox.hwnd, LB_SETCURSEL, alphaLine, 0);
  int row = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETITEMHEIGHT, 0, 0));
  LPARAM at = MAKELPARAM(20, gammaLine * row + row / 2);
  menuSeen.clear();
  UINT_PTR timer = SetTimer(0, 0, 30, ReadMenu);
  SendMessageA(listBox.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageA(listBox.hwnd, WM_RBUTTONUP, 0, at);
  KillTimer(0, timer);
  EXPECT_EQ(gammaLine, Selected());
  ASSERT_FALSE(menuSeen.empty()) << "no menu on a right click";
  EXPECT_EQ("Enable\tSpace", menuSeen[0].text);
}

// Whichever command replaces the listing, the status bar no longer speaks
// of the entry that was selected, and the list scrolls sideways only as
// far as the new lines reach.
TEST_F(MainWindowListing, ANewListingDropsTheSelectionsStatusAndTheOldWidth) {
  const std::string wide = "Wide = C:\\nowhere-ui\\" + std::string(1980, 'w') + ".exe";
  struct Case {
    const char* name;
    WPARAM command;  // 0: the host's reset alone
  } const cases[] = {
      {"Locations", IDM_LOCATIONS},
      {"Find", IDM_FIND},
      {"reset", 0},
  };
  RECT client;
  GetClientRect(listBox.hwnd, &client);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShowFindListing();
    mainWindow.addListingLine(wide.c_str(), 0x000000);
    const int wideWidth = listBox.WidestLine();
    int extent = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETHORIZONTALEXTENT, 0, 0));
    EXPECT_GT(wideWidth, 10 * (client.right - client.left)) << "2,000 characters";
    EXPECT_GE(extent, wideWidth);
    SendMessageA(listBox.hwnd, WM_KEYDOWN, VK_HOME, 1);
    ASSERT_EQ(alphaLine, Selected());
    ASSERT_NE("", StatusText());
    if (c.command) {
      SendMessageA(mainWindow.hwnd, WM_COMMAND, c.command, 0);
    } else {
      mainWindow.resetListing();
    }
    PumpAll();
    EXPECT_EQ("", StatusText());
    EXPECT_EQ(-1, Selected());
    EXPECT_LT(listBox.WidestLine(), wideWidth) << "the wide line went with its listing";
    extent = static_cast<int>(SendMessageA(listBox.hwnd, LB_GETHORIZONTALEXTENT, 0, 0));
    if (listBox.WidestLine() == 0) {
      EXPECT_EQ(0, extent);
    } else {
      EXPECT_GE(extent, listBox.WidestLine());
      EXPECT_LT(extent, wideWidth);
    }
  }
}

TEST_F(MainWindowListing, FindHandsTheListTheKeyboard) {
  SetFocus(buttonBar.buttons[0].hwnd);
  SendMessageA(mainWindow.hwnd, WM_COMMAND, IDM_FIND, 0);
  EXPECT_EQ(listBox.hwnd, GetFocus());
  EXPECT_EQ(-1, Selected()) << "a new listing starts with nothing selected";
}

}  // namespace

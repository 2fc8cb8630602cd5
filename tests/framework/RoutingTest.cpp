// The dispatcher: which handler each message reaches, what the message
// answers, and whether the system's default handling runs.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "framework/Control.h"
#include "framework/WindowBase.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace {

const char probeClass[] = "RoutingProbeClass";

class ProbeWindow : public WindowBase {
 public:
  std::string log;
  std::vector<UINT> seen;
  int createAnswer = 1;
  HWND hwndAtCreate = 0;
  int otherAnswer = 0;
  int queryEndSessionAnswer = 7;
  int vkeyAnswer = 5;
  int menuSelectAnswer = 9;
  HBRUSH listBrush = reinterpret_cast<HBRUSH>(0x1234);

  int RegisterWindowClass() override {
    static int registered = 0;
    return RegisterClassOnce(registered, FrameworkClass(probeClass, 0));
  }
  int Make() {
    RegisterWindowClass();
    style = WS_OVERLAPPEDWINDOW;
    return CreateWindowHandle(probeClass, 0, 0, "probe", 10, 10, 200, 150);
  }

  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(msg);
    return WindowBase::WindowProc(msg, wParam, lParam);
  }
  void Note(const char* name, WPARAM wParam, LPARAM lParam) {
    char text[80];
    wsprintfA(text, "%s(%u,%ld)", name, static_cast<unsigned>(wParam), static_cast<long>(lParam));
    log += text;
  }
  void Note(const char* name) { log += name; }

  void OnAfterDestroy() override { Note("OnAfterDestroy"); }
  int OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg >= WM_USER) Note("OnOtherMessage", wParam, lParam);
    return otherAnswer;
  }
  int OnTerminate() override {
    Note("OnTerminate");
    return 0;
  }
  void OnChar(WPARAM w, LPARAM l) override { Note("OnChar", w, l); }
  void OnClose() override { Note("OnClose"); }
  void OnCommand(WPARAM w, LPARAM l) override { Note("OnCommand", w, l); }
  void OnContextMenu(WPARAM w, LPARAM l) override { Note("OnContextMenu", w, l); }
  int OnCreate() override {
    hwndAtCreate = hwnd;
    Note("OnCreate");
    return createAnswer;
  }
  HBRUSH OnCtlColorListBox(WPARAM w, LPARAM l) override {
    Note("OnCtlColorListBox", w, l);
    return listBrush;
  }
  void OnDestroy() override { Note("OnDestroy"); }
  void OnDrawItem(WPARAM w, LPARAM l) override { Note("OnDrawItem", w, l); }
  void OnDropFiles(WPARAM w) override { Note("OnDropFiles", w, 0); }
  void OnEndSession(WPARAM w, LPARAM l) override { Note("OnEndSession", w, l); }
  void OnInitMenu() override { Note("OnInitMenu"); }
  void OnKeyDown(WPARAM w, LPARAM l) override { Note("OnKeyDown", w, l); }
  void OnKeyUp(WPARAM w, LPARAM l) override { Note("OnKeyUp", w, l); }
  void OnKillFocus() override { Note("OnKillFocus"); }
  void OnLButtonDown(WPARAM w, LPARAM l) override { Note("OnLButtonDown", w, l); }
  void OnLButtonUp(WPARAM w, LPARAM l) override { Note("OnLButtonUp", w, l); }
  int OnMenuSelect(WPARAM w, LPARAM l) override {
    Note("OnMenuSelect", w, l);
    return menuSelectAnswer;
  }
  void OnMouseMove(WPARAM w, LPARAM l) override { Note("OnMouseMove", w, l); }
  void OnNotify(WPARAM w, LPARAM) override { Note("OnNotify", w, 0); }
  void OnPaint() override { Note("OnPaint"); }
  int OnQueryEndSession() override {
    Note("OnQueryEndSession");
    return queryEndSessionAnswer;
  }
  void OnRButtonDown(WPARAM w, LPARAM l) override { Note("OnRButtonDown", w, l); }
  void OnRButtonUp(WPARAM w, LPARAM l) override { Note("OnRButtonUp", w, l); }
  void OnSetFocus() override { Note("OnSetFocus"); }
  void OnSize(WPARAM w, LPARAM l) override { Note("OnSize", w, l); }
  void OnSysColorChange() override { Note("OnSysColorChange"); }
  void OnSysKeyDown(WPARAM w, LPARAM l) override { Note("OnSysKeyDown", w, l); }
  void OnSysKeyUp(WPARAM w, LPARAM l) override { Note("OnSysKeyUp", w, l); }
  void OnTimer(WPARAM w) override { Note("OnTimer", w, 0); }
  int OnVKeyToItem(WPARAM w) override {
    Note("OnVKeyToItem", w, 0);
    return vkeyAnswer;
  }
};

// A window class that keeps every WindowBase default but OnCreate.
class DefaultWindow : public WindowBase {
 public:
  int RegisterWindowClass() override {
    static int registered = 0;
    return RegisterClassOnce(registered, FrameworkClass("RoutingDefaultClass", 0));
  }
  int OnCreate() override { return 1; }
  int Make() {
    RegisterWindowClass();
    style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    return CreateWindowHandle("RoutingDefaultClass", 0, 0, "defaults", 10, 10, 200, 150);
  }
};

class AnsweringControl : public Control {
 public:
  LRESULT OnControlNotify(NMHDR*) override { return 42; }
};

struct RouteCase {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  const char* expectedLog;
  LRESULT expectedResult;
};

// wParam 3 and lParam 4 everywhere, so passing both, one or none shows.
const RouteCase routeCases[] = {
    {WM_CREATE, 3, 4, "OnCreate", 0},
    {WM_DESTROY, 3, 4, "OnDestroyOnTerminateOnAfterDestroy", 0},
    {WM_SIZE, 3, 4, "OnSize(3,4)", 0},
    {WM_SETFOCUS, 3, 4, "OnSetFocus", 0},
    {WM_KILLFOCUS, 3, 4, "OnKillFocus", 0},
    {WM_PAINT, 3, 4, "OnPaint", 0},
    {WM_CLOSE, 3, 4, "OnClose", 0},
    {WM_QUERYENDSESSION, 3, 4, "OnQueryEndSession", 7},
    {WM_SYSCOLORCHANGE, 3, 4, "OnSysColorChange", 0},
    {WM_ENDSESSION, 0, 4, "OnEndSession(0,4)", 0},
    {WM_ENDSESSION, 3, 4, "OnEndSession(3,4)OnTerminate", 0},
    {WM_DRAWITEM, 3, 4, "OnDrawItem(3,4)", 1},
    {WM_VKEYTOITEM, 3, 4, "OnVKeyToItem(3,0)", 5},
    {WM_CONTEXTMENU, 3, 4, "OnContextMenu(3,4)", 0},
    {WM_KEYDOWN, 3, 4, "OnKeyDown(3,4)", 0},
    {WM_KEYUP, 3, 4, "OnKeyUp(3,4)", 0},
    {WM_CHAR, 3, 4, "OnChar(3,4)", 0},
    {WM_SYSKEYDOWN, 3, 4, "OnSysKeyDown(3,4)", 0},
    {WM_SYSKEYUP, 3, 4, "OnSysKeyUp(3,4)", 0},
    {WM_COMMAND, 3, 4, "OnCommand(3,4)", 0},
    {WM_TIMER, 3, 4, "OnTimer(3,0)", 0},
    {WM_INITMENU, 3, 4, "OnInitMenu", 0},
    {WM_MENUSELECT, 3, 4, "OnMenuSelect(3,4)", 0},
    {WM_CTLCOLORLISTBOX, 3, 4, "OnCtlColorListBox(3,4)", 0x1234},
    {WM_MOUSEMOVE, 3, 4, "OnMouseMove(3,4)", 0},
    {WM_LBUTTONDOWN, 3, 4, "OnLButtonDown(3,4)", 0},
    {WM_LBUTTONUP, 3, 4, "OnLButtonUp(3,4)", 0},
    {WM_RBUTTONDOWN, 3, 4, "OnRButtonDown(3,4)", 0},
    {WM_RBUTTONUP, 3, 4, "OnRButtonUp(3,4)", 0},
    {WM_DROPFILES, 3, 4, "OnDropFiles(3,0)", 0},
};

class RoutingTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(1, probe.Make()); }
  void TearDown() override {
    if (probe.hwnd) DestroyWindow(probe.hwnd);
  }
  ProbeWindow probe;
};

TEST_F(RoutingTest, EveryRoutedMessageReachesItsHandlerAndNeverTheDefault) {
  for (const RouteCase& c : routeCases) {
    probe.log.clear();
    DefProcCalls().clear();
    LRESULT answer = SendMessageA(probe.hwnd, c.msg, c.wParam, c.lParam);
    EXPECT_EQ(c.expectedLog, probe.log) << "message 0x" << std::hex << c.msg;
    EXPECT_EQ(c.expectedResult, answer) << "message 0x" << std::hex << c.msg;
    EXPECT_FALSE(DefProcReached(probe.hwnd, c.msg)) << "message 0x" << std::hex << c.msg;
  }
}

TEST_F(RoutingTest, CreateAnswersMinusOneWhenOnCreateRefuses) {
  probe.createAnswer = 0;
  EXPECT_EQ(-1, SendMessageA(probe.hwnd, WM_CREATE, 0, 0));
  probe.createAnswer = 77;
  EXPECT_EQ(0, SendMessageA(probe.hwnd, WM_CREATE, 0, 0));
}

TEST_F(RoutingTest, OtherMessagesGoToTheDefaultUnlessHandled) {
  struct {
    int otherAnswer;
    bool defaultReached;
  } cases[] = {{0, true}, {1, false}, {-3, false}};
  for (const auto& c : cases) {
    probe.otherAnswer = 0;
    // WM_SETTEXT's default handling changes the title: a visible effect too.
    SetWindowTextA(probe.hwnd, "before");
    probe.otherAnswer = c.otherAnswer;
    probe.log.clear();
    DefProcCalls().clear();
    LRESULT answer = SendMessageA(probe.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("after"));
    probe.otherAnswer = 0;  // reading the title goes through WM_GETTEXT
    char title[32] = "sentinel";
    GetWindowTextA(probe.hwnd, title, sizeof(title));
    EXPECT_EQ(c.defaultReached, DefProcReached(probe.hwnd, WM_SETTEXT)) << c.otherAnswer;
    EXPECT_STREQ(c.defaultReached ? "after" : "before", title) << c.otherAnswer;
    if (!c.defaultReached) {
      EXPECT_EQ(0, answer);
    }

    probe.log.clear();
    EXPECT_EQ(0, SendMessageA(probe.hwnd, WM_USER + 5, 3, 4));
    EXPECT_EQ("OnOtherMessage(3,4)", probe.log);
  }
}

TEST_F(RoutingTest, AltF4IsConsumedBySysKeyDownAndNeverBecomesAClose) {
  probe.log.clear();
  DefProcCalls().clear();
  const LPARAM altDown = 1 << 29;
  SendMessageA(probe.hwnd, WM_SYSKEYDOWN, VK_F4, altDown);
  PumpFor(50);
  EXPECT_EQ(std::string("OnSysKeyDown(115,") + std::to_string(altDown) + ")", probe.log);
  EXPECT_FALSE(DefProcReached(probe.hwnd, WM_SYSCOMMAND));
}

TEST_F(RoutingTest, NotifyFromAnAttachedControlAnswersWithTheControl) {
  AnsweringControl control;
  control.style = WS_CHILD | WS_VISIBLE;
  control.id = 4711;
  ASSERT_EQ(1, control.CreateControl("STATIC", probe.hwnd, "", 0, 0, 10, 10));
  NMHDR header = {control.hwnd, 4711, 99};
  probe.log.clear();
  EXPECT_EQ(42, SendMessageA(probe.hwnd, WM_NOTIFY, 4711, reinterpret_cast<LPARAM>(&header)));
  EXPECT_EQ("", probe.log);

  HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, probe.hwnd, 0, 0, 0);
  NMHDR plainHeader = {plain, 5, 99};
  EXPECT_EQ(0, SendMessageA(probe.hwnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&plainHeader)));
  EXPECT_EQ("OnNotify(5,0)", probe.log);
  EXPECT_FALSE(DefProcReached(probe.hwnd, WM_NOTIFY));
}

TEST(RoutingCreation, MessagesBeforeNcCreateGetTheDefaultOnly) {
  DefProcCalls().clear();
  ProbeWindow probe;
  ASSERT_EQ(1, probe.Make());
  ASSERT_FALSE(probe.seen.empty());
  EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), probe.seen.front());
  // A top-level window hears WM_GETMINMAXINFO before WM_NCCREATE.
  EXPECT_TRUE(DefProcReached(probe.hwnd, WM_GETMINMAXINFO));
  size_t create = 0;
  while (create < probe.seen.size() && probe.seen[create] != WM_CREATE) ++create;
  ASSERT_LT(create, probe.seen.size());
  EXPECT_EQ(probe.hwnd, probe.hwndAtCreate);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<WindowObject*>(&probe)),
            GetWindowLongPtrA(probe.hwnd, GWLP_USERDATA));
  DestroyWindow(probe.hwnd);
}

TEST(RoutingCreation, OnCreateReturningZeroLeavesNoWindow) {
  ProbeWindow probe;
  probe.createAnswer = 0;
  EXPECT_EQ(0, probe.Make());
  EXPECT_EQ(nullptr, probe.hwnd);
  EXPECT_NE(std::string::npos, probe.log.find("OnCreate"));
}

TEST(RoutingCreation, CreateWindowHandleOnALiveWindowMakesNothing) {
  ProbeWindow probe;
  ASSERT_EQ(1, probe.Make());
  HWND first = probe.hwnd;
  probe.log.clear();
  EXPECT_EQ(1, probe.Make());
  EXPECT_EQ(first, probe.hwnd);
  EXPECT_EQ("", probe.log);
  DestroyWindow(first);
}

TEST(RoutingCreation, DestroyClearsTheHandleAndCanCreateAgain) {
  ProbeWindow probe;
  ASSERT_EQ(1, probe.Make());
  HWND first = probe.hwnd;
  probe.log.clear();
  EXPECT_EQ(1, probe.Destroy());
  EXPECT_EQ(nullptr, probe.hwnd);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ("OnDestroyOnTerminateOnAfterDestroy", probe.log);
  EXPECT_EQ(0, probe.Destroy());
  EXPECT_EQ(1, probe.Make());
  DestroyWindow(probe.hwnd);
}

TEST(RoutingDefaults, BaseHandlersAnswerAsTheSystemExpects) {
  DefaultWindow window;
  ASSERT_EQ(1, window.Make());
  HWND handle = window.hwnd;
  EXPECT_EQ(1, SendMessageA(handle, WM_QUERYENDSESSION, 0, 0));
  EXPECT_EQ(-1, SendMessageA(handle, WM_VKEYTOITEM, 'A', 0));
  EXPECT_EQ(0, SendMessageA(handle, WM_CTLCOLORLISTBOX, 0, 0));
  EXPECT_EQ(1, SendMessageA(handle, WM_DRAWITEM, 0, 0));

  InvalidateRect(handle, 0, FALSE);
  UpdateWindow(handle);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(handle, &update, FALSE)) << "WM_PAINT left the window invalid";

  SendMessageA(handle, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(nullptr, window.hwnd);
}

}  // namespace

// Control wrappers, subclassing, the nested pump, the sunken frame and
// window centring.
#include <windows.h>

#include <stdlib.h>

#include <gtest/gtest.h>

#include "framework/CentreWindow.h"
#include "framework/Control.h"
#include "framework/SunkenFrame.h"
#include "framework/WindowBase.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace {

class ControlTest : public testing::Test {
 protected:
  void SetUp() override {
    parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 300, 200, 0, 0, 0, 0);
    ASSERT_TRUE(parent);
  }
  void TearDown() override { DestroyWindow(parent); }
  HWND parent = 0;
};

TEST_F(ControlTest, AutomaticIdsFollowCreationOrderAndGivenIdsDoNotAdvance) {
  ButtonControl first, given, second;
  ListControl third;
  int start = firstControlId + controlsNumbered;
  ASSERT_GE(start, 900);
  ASSERT_EQ(1, first.Create(parent, 0, "&One", 0, 0, 50, 20));
  ASSERT_EQ(1, given.Create(parent, 1234, "Given", 0, 30, 50, 20));
  ASSERT_EQ(1, second.Create(parent, 0, "Two", 0, 60, 50, 20));
  ASSERT_EQ(1, third.Create(parent, 0, "", 60, 0, 80, 80));
  EXPECT_EQ(start, first.id);
  EXPECT_EQ(1234, given.id);
  EXPECT_EQ(start + 1, second.id);
  EXPECT_EQ(start + 2, third.id);
  EXPECT_EQ(start + 3, firstControlId + controlsNumbered);
  EXPECT_EQ(start + 1, GetDlgCtrlID(second.hwnd));
  EXPECT_EQ(&first, Control::FromControlWindow(first.hwnd));
  EXPECT_EQ(&third, Control::FromControlWindow(third.hwnd));
}

TEST_F(ControlTest, AnExistingChildWithTheIdIsAdopted) {
  HWND existing = CreateWindowExA(0, "BUTTON", "old", WS_CHILD, 0, 0, 40, 20, parent,
                                  reinterpret_cast<HMENU>(2222), 0, 0);
  ASSERT_TRUE(existing);
  ButtonControl button;
  ASSERT_EQ(1, button.Create(parent, 2222, "new", 5, 5, 60, 30));
  EXPECT_EQ(existing, button.hwnd);
  EXPECT_EQ(&button, Control::FromControlWindow(existing));
  char text[16] = "sentinel";
  GetWindowTextA(existing, text, sizeof(text));
  EXPECT_STREQ("old", text);
}

TEST(Mnemonic, IsTheCharacterAfterTheFirstAmpersand) {
  struct {
    const char* label;
    char mnemonic;
  } cases[] = {{"&Ok", 'O'}, {"E&xit", 'x'}, {"Re&store", 's'}, {"plain", 0},
               {"end&", 0},  {"", 0},        {"a&b&c", 'b'},    {nullptr, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.mnemonic, MnemonicOf(c.label)) << (c.label ? c.label : "(null)");
  }
}

class SubclassedButton : public ButtonControl {
 public:
  SubclassedButton() : ButtonControl(1) {}
  LRESULT SubclassProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_USER + 1) return 555;
    return CallWindowProcA(origControlProc, hwnd, msg, wParam, lParam);
  }
};

TEST_F(ControlTest, OriginalProcedureIsSavedOnceForTheProcess) {
  WNDPROC saved = origControlProc;
  origControlProc = 0;  // as in a fresh process
  SubclassedButton first, second;
  ASSERT_EQ(1, first.Create(parent, 0, "a", 0, 0, 40, 20));
  WNDPROC buttonProc = origControlProc;
  EXPECT_NE(nullptr, buttonProc);
  EXPECT_EQ(555, SendMessageA(first.hwnd, WM_USER + 1, 0, 0));

  EXPECT_EQ(reinterpret_cast<LONG_PTR>(Control::StaticSubclassProc),
            GetWindowLongPtrA(first.hwnd, GWLP_WNDPROC));
  ASSERT_EQ(1, second.Create(parent, 0, "b", 0, 30, 40, 20));
  EXPECT_EQ(buttonProc, origControlProc);

  // Subclassing again hands back our own procedure and changes nothing.
  EXPECT_EQ(reinterpret_cast<WNDPROC>(Control::StaticSubclassProc), first.Subclass(0));
  EXPECT_EQ(buttonProc, origControlProc);
  EXPECT_EQ(555, SendMessageA(second.hwnd, WM_USER + 1, 0, 0));
  // The standard behaviour still runs underneath.
  SetWindowTextA(second.hwnd, "changed");
  char text[16] = "";
  GetWindowTextA(second.hwnd, text, sizeof(text));
  EXPECT_STREQ("changed", text);
  if (saved) origControlProc = saved;
}

TEST(SubclassWindowHelper, ChangesNothingForADeadWindowOrNullProcedure) {
  EXPECT_EQ(nullptr, SubclassWindow(reinterpret_cast<HWND>(0x12345), DefWindowProcA));
  HWND window = MakeOwnerWindow();
  LONG_PTR before = GetWindowLongPtrA(window, GWLP_WNDPROC);
  EXPECT_EQ(nullptr, SubclassWindow(window, nullptr));
  EXPECT_EQ(before, GetWindowLongPtrA(window, GWLP_WNDPROC));
  DestroyWindow(window);
}

struct Activation {
  int calls = 0;
  int lastId = 0;
};
void Record(void* target, int id) {
  Activation* activation = static_cast<Activation*>(target);
  ++activation->calls;
  activation->lastId = id;
}

TEST_F(ControlTest, ActivationCallsTheHandlerForClicksAndSelectionChanges) {
  Activation activation;
  ButtonControl button;
  ASSERT_EQ(1, button.Create(parent, 0, "b", 0, 0, 40, 20));
  EXPECT_EQ(0, button.OnCommandNotify(BN_CLICKED, button.id));
  button.SetHandler(&activation, Record);
  EXPECT_EQ(0, button.OnCommandNotify(BN_DOUBLECLICKED, button.id));
  EXPECT_EQ(1, button.OnCommandNotify(BN_CLICKED, button.id));
  EXPECT_EQ(1, activation.calls);
  EXPECT_EQ(button.id, activation.lastId);

  ListControl list;
  ASSERT_EQ(1, list.Create(parent, 0, "", 50, 0, 100, 100));
  SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("zero"));
  SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessageA(list.hwnd, LB_SETCURSEL, 1, 0);
  list.selection = -7;
  EXPECT_EQ(0, list.OnCommandNotify(LBN_SELCHANGE, list.id));
  EXPECT_EQ(1, list.selection) << "updated even without a handler";
  list.SetHandler(&activation, Record);
  SendMessageA(list.hwnd, LB_SETCURSEL, 0, 0);
  EXPECT_EQ(0, list.OnCommandNotify(LBN_DBLCLK, list.id));
  EXPECT_EQ(1, list.selection);
  EXPECT_EQ(1, list.OnCommandNotify(LBN_SELCHANGE, list.id));
  EXPECT_EQ(0, list.selection);
  EXPECT_EQ(2, activation.calls);
  EXPECT_EQ(list.id, activation.lastId);
}

void DrainQueue() {
  MSG message;
  while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
  }
}

TEST(PumpPendingMessages, ReturnsZeroOnAnEmptyQueue) {
  DrainQueue();
  EXPECT_EQ(0, PumpPendingMessages());
}

TEST(PumpPendingMessages, DispatchesWhatIsQueuedAndStopsAtQuit) {
  DrainQueue();
  // The default handling of WM_CLOSE destroys the window: proof of dispatch.
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  PostQuitMessage(5);
  EXPECT_EQ(1, PumpPendingMessages());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(1, PumpPendingMessages()) << "WM_QUIT must stay queued";
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
  EXPECT_EQ(5u, message.wParam);
  EXPECT_EQ(0, PumpPendingMessages());
}

TEST(SunkenFrame, DrawsDarkAboveAndLeftLightBelowAndRightOnlyOncePlaced) {
  HDC screen = GetDC(0);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
  ReleaseDC(0, screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  RECT all = {0, 0, 40, 40};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  SunkenFrame frame;
  frame.highlightColour = 0xFFFFFF;
  frame.shadowColour = 0x808080;
  frame.Draw(memory);
  EXPECT_EQ(0u, GetPixel(memory, 5, 5));

  RECT area = {5, 5, 30, 20};
  frame.PlaceAt(area);
  EXPECT_EQ(26, frame.width);
  EXPECT_EQ(16, frame.height);
  frame.Draw(memory);
  EXPECT_EQ(0x808080u, GetPixel(memory, 5, 12)) << "left edge";
  EXPECT_EQ(0x808080u, GetPixel(memory, 15, 5)) << "top edge";
  EXPECT_EQ(0xFFFFFFu, GetPixel(memory, 30, 12)) << "right edge";
  EXPECT_EQ(0xFFFFFFu, GetPixel(memory, 15, 20)) << "bottom edge";
  EXPECT_EQ(0u, GetPixel(memory, 15, 12)) << "inside stays";

  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

TEST(CentreWindow, PositionArithmetic) {
  struct {
    RECT area;
    int width, height;
    int x, y;
  } cases[] = {
      {{0, 0, 1023, 767}, 201, 101, 412, 334},
      {{100, 50, 739, 529}, 301, 201, 270, 190},
      {{0, 0, 99, 99}, 300, 300, 0, 0},    // larger than the area
      {{-50, -50, 49, 49}, 60, 60, 0, 0},  // never left of or above the screen's 0
  };
  for (const auto& c : cases) {
    POINT p = CentredPosition(c.area, c.width, c.height);
    EXPECT_EQ(c.x, p.x) << c.width;
    EXPECT_EQ(c.y, p.y) << c.height;
  }
}

TEST(CentreWindow, CentresOverTheOwnerAndGrowsByOnePixel) {
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 50, 640, 480, 0, 0, 0, 0);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, owner, 0, 0, 0);
  CentreWindow(window);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(201, r.right - r.left);
  EXPECT_EQ(101, r.bottom - r.top);
  EXPECT_EQ(100 + 641 / 2 - 201 / 2, r.left);
  EXPECT_EQ(50 + 481 / 2 - 101 / 2, r.top);
  CentreWindow(window);
  RECT again;
  GetWindowRect(window, &again);
  EXPECT_EQ(202, again.right - again.left);
  EXPECT_LE(abs(again.left - r.left), 1);
  DestroyWindow(window);
  DestroyWindow(owner);
}

}  // namespace

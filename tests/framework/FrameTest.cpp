// The frame window with its button bar and status bar: layout figures,
// commands from the bar, help text, closing and the main loop.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ButtonBar.h"
#include "framework/FrameWindow.h"
#include "framework/StatusBar.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace {

struct Received {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class TestFrame : public FrameWindow {
 public:
  int closeAllowed = 1;
  std::vector<Received> commands;
  std::vector<Received> helpTexts;

  int CanClose() override { return closeAllowed; }
  // Only commands: the list's focus notifications arrive here too.
  void OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) < 40000) return;
    Received r = {WM_COMMAND, wParam, lParam};
    commands.push_back(r);
  }
  int OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == HelpTextMessage) {
      Received r = {msg, wParam, lParam};
      helpTexts.push_back(r);
    }
    return 0;
  }
};

struct BarButtonSpec {
  const char* label;
  int width;
  int command;
  int disabled;
  const char* help;
};

const BarButtonSpec sevenButtons[] = {
    {"&Find", 64, 40003, 0, "Find help"},       {"&Remove", 66, 40004, 1, "Remove help"},
    {"Re&store", 64, 40005, 1, "Restore help"}, {"&Locations", 78, 40006, 0, "Locations help"},
    {"&Save", 64, 40007, 1, "Save help"},       {"&About", 64, 40002, 0, "About help"},
    {"E&xit", 64, 40001, 0, "Exit help"},
};
const int expectedLefts[] = {2, 69, 138, 205, 286, 353, 420};

class FrameTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, status.ReserveParts(1));
    status.AddPart(80, 0);
    ASSERT_EQ(1, frame.CreateFrame(&list, &bar, &status));
    bar.Reserve(7);
    for (const BarButtonSpec& b : sevenButtons) {
      ASSERT_EQ(1, bar.AddButton(b.label, b.width, b.command, b.disabled, b.help));
    }
    frame.Show(SW_SHOWNORMAL);
    MoveWindow(frame.hwnd, 20, 20, 700, 500, TRUE);
    PumpFor(50);
  }
  void TearDown() override {
    if (frame.hwnd) {
      frame.closeAllowed = 1;
      DestroyWindow(frame.hwnd);
    }
    MSG message;
    while (PeekMessageA(&message, 0, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(0, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  StatusBar status;
  ButtonBar bar;
  ListControl list;
  TestFrame frame;
};

TEST_F(FrameTest, BarHeightFollowsTheDisplayFont) {
  HDC display = CreateICA("DISPLAY", 0, 0, 0);
  TEXTMETRICA metrics;
  ASSERT_TRUE(GetTextMetricsA(display, &metrics));
  DeleteDC(display);
  EXPECT_EQ(metrics.tmHeight + 12, frame.barHeight);
  EXPECT_EQ(28, BarHeightFor(16));
}

TEST_F(FrameTest, ChildrenFillTheClientAreaTopToBottom) {
  RECT client;
  GetClientRect(frame.hwnd, &client);
  EXPECT_EQ(client.right, frame.clientWidth);
  EXPECT_EQ(client.bottom, frame.clientHeight);

  int statusHeight = status.VisibleHeight();
  EXPECT_GT(statusHeight, 0);
  RECT barRect = ChildRect(bar.hwnd);
  RECT listRect = ChildRect(list.hwnd);
  RECT statusRect = ChildRect(status.hwnd);
  EXPECT_EQ(0, barRect.top);
  EXPECT_EQ(frame.barHeight, barRect.bottom);
  EXPECT_EQ(client.right, barRect.right);
  EXPECT_EQ(frame.barHeight, listRect.top);
  EXPECT_EQ(frame.clientHeight - frame.barHeight - statusHeight, listRect.bottom - listRect.top);
  EXPECT_EQ(client.bottom - statusHeight, statusRect.top);
  EXPECT_EQ(client.bottom, statusRect.bottom);
  EXPECT_EQ(WS_EX_CLIENTEDGE, GetWindowLongA(list.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(FrameTest, HiddenStatusBarAndHiddenButtonBarGiveTheRoomToTheClient) {
  ShowWindow(status.hwnd, SW_HIDE);
  bar.visible = 0;
  frame.Layout();
  RECT listRect = ChildRect(list.hwnd);
  EXPECT_EQ(0, listRect.top);
  EXPECT_EQ(frame.clientHeight, listRect.bottom);
  EXPECT_EQ(0, ChildRect(bar.hwnd).bottom);
  bar.visible = 1;
}

TEST(StatusEdges, Arithmetic) {
  struct {
    int count;
    int widths[3];
    int statusWidth;
    int avg;
    int edges[3];
  } cases[] = {
      {1, {80}, 600, 7, {593}},
      {2, {5, 10}, 600, 7, {516, 586}},
      {3, {0, 4, 2}, 300, 6, {246, 270, 282}},
  };
  for (const auto& c : cases) {
    int edges[3] = {-99, -99, -99};
    ComputePartEdges(c.count, c.widths, c.statusWidth, c.avg, edges);
    for (int i = 0; i < c.count; ++i) EXPECT_EQ(c.edges[i], edges[i]) << c.count << " part " << i;
    for (int i = c.count; i < 3; ++i) EXPECT_EQ(-99, edges[i]);
  }
}

TEST_F(FrameTest, RealStatusBarEndsOneAverageWidthShortOfTheRight) {
  RECT r;
  GetWindowRect(status.hwnd, &r);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(status.hwnd, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  HDC dc = GetDC(frame.hwnd);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(frame.hwnd, dc);

  int edges[4] = {0, 0, 0, 0};
  ASSERT_EQ(1, SendMessageA(status.hwnd, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
  EXPECT_EQ(r.right - r.left - metrics.tmAveCharWidth, edges[0]);
  EXPECT_EQ(edges[0], status.partEdges[0]);

  status.SetText(0, "shown");
  char text[32] = "sentinel";
  SendMessageA(status.hwnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ("shown", text);
  status.SetText(5, "ignored");  // outside the parts: nothing happens
}

// Rightmost column of the window, in screen coordinates, holding that colour.
int RightmostShown(HWND window, COLORREF colour) {
  RedrawWindow(window, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  GdiFlush();
  RECT r;
  GetWindowRect(window, &r);
  return WindowPixels(window).Rightmost(colour, r);
}

TEST_F(FrameTest, StatusTextIsDrawnAsWrittenAmpersandsIncluded) {
  // A path from the user's machine, shown as help or report text, must not
  // lose its "&" to a mnemonic underline.
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(status.hwnd, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  HDC dc = GetDC(status.hwnd);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE ampersand = {0, 0};
  GetTextExtentPoint32A(dc, "&", 1, &ampersand);
  SelectObject(dc, previous);
  ReleaseDC(status.hwnd, dc);
  ASSERT_GT(ampersand.cx, 2);

  COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  status.SetText(0, "C:\\AB Tools");
  int plainRight = RightmostShown(status.hwnd, ink);
  status.SetText(0, "C:\\A&B Tools");
  int ampersandRight = RightmostShown(status.hwnd, ink);
  status.SetText(0, "");
  ASSERT_GT(plainRight, 0);
  EXPECT_GE(ampersandRight - plainRight, ampersand.cx - 1)
      << "the text with \"&\" ends no further right than the one without";
}

TEST_F(FrameTest, StatusPartsBeyondTheReservedCountAreIgnored) {
  StatusBar spare;
  ASSERT_EQ(1, spare.ReserveParts(2));
  spare.AddPart(1, 0);
  spare.AddPart(2, SBT_POPOUT);
  spare.AddPart(3, 0);
  EXPECT_EQ(2, spare.partsAdded);
  EXPECT_EQ(2, spare.partWidths[1]);
  EXPECT_EQ(SBT_POPOUT, spare.partStyles[1]);
}

TEST_F(FrameTest, SevenButtonsSitSideBySide) {
  ASSERT_EQ(7, bar.count);
  for (int i = 0; i < 7; ++i) {
    RECT r = ChildRect(bar.buttons[i].hwnd);
    EXPECT_EQ(expectedLefts[i], r.left) << i;
    EXPECT_EQ(3, r.top) << i;
    EXPECT_EQ(sevenButtons[i].width, r.right - r.left) << i;
    EXPECT_EQ(frame.barHeight - 6, r.bottom - r.top) << i;
    EXPECT_EQ(sevenButtons[i].command, GetDlgCtrlID(bar.buttons[i].hwnd)) << i;
  }
  EXPECT_EQ(0, bar.AddButton("&Eighth", 64, 40010, 0, "")) << "all slots used";
}

TEST_F(FrameTest, CommandStatesFollowTheButtons) {
  EXPECT_EQ(1, bar.IsCommandEnabled(40003));
  EXPECT_EQ(0, bar.IsCommandEnabled(40004));
  bar.EnableCommand(40004, 1);
  EXPECT_EQ(1, bar.IsCommandEnabled(40004));
  bar.EnableCommand(40003, 0);
  EXPECT_EQ(0, bar.IsCommandEnabled(40003));
  EXPECT_EQ(0, bar.IsCommandEnabled(49999));
  bar.EnableCommand(49999, 1);
}

TEST_F(FrameTest, AClickReachesTheFrameAsACommandFromTheBar) {
  frame.commands.clear();
  SendMessageA(bar.buttons[3].hwnd, BM_CLICK, 0, 0);
  PumpFor(30);
  ASSERT_EQ(1u, frame.commands.size());
  EXPECT_EQ(40006u, frame.commands[0].wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(bar.hwnd), frame.commands[0].lParam);
}

TEST_F(FrameTest, HelpTextReachesTheFrameOnlyFromButtonsWithoutTheFocus) {
  SetFocus(bar.buttons[0].hwnd);
  ASSERT_EQ(bar.buttons[0].hwnd, GetFocus());
  frame.helpTexts.clear();
  SendMessageA(bar.buttons[0].hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(frame.helpTexts.empty());
  SendMessageA(bar.buttons[5].hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(1u, frame.helpTexts.size());
  EXPECT_EQ(40002u, frame.helpTexts[0].wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(sevenButtons[5].help), frame.helpTexts[0].lParam);
}

TEST_F(FrameTest, TheButtonCursorShowsOverButtons) {
  HCURSOR saved = buttonCursor;
  buttonCursor = LoadCursorA(0, IDC_CROSS);
  SetCursor(LoadCursorA(0, IDC_ARROW));
  EXPECT_EQ(0, SendMessageA(bar.buttons[2].hwnd, WM_SETCURSOR,
                            reinterpret_cast<WPARAM>(bar.buttons[2].hwnd), HTCLIENT));
  EXPECT_EQ(buttonCursor, GetCursor());
  buttonCursor = saved;
}

TEST_F(FrameTest, AcceleratorsBecomeCommandsWithHighWordOne) {
  ACCEL accel = {FVIRTKEY, VK_F5, 40003};
  frame.accelTable = CreateAcceleratorTableA(&accel, 1);
  ASSERT_TRUE(frame.accelTable);
  frame.commands.clear();
  PostMessageA(frame.hwnd, WM_KEYDOWN, VK_F5, 1);
  PostMessageA(frame.hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, frame.MessageLoop());
  ASSERT_EQ(1u, frame.commands.size());
  EXPECT_EQ(MAKEWPARAM(40003, 1), frame.commands[0].wParam);
  DestroyAcceleratorTable(frame.accelTable);
  frame.accelTable = 0;
}

TEST_F(FrameTest, MessageLoopEndsWithZeroWhenTheFrameIsDestroyed) {
  HWND window = frame.hwnd;
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, frame.MessageLoop());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, frame.hwnd);
}

TEST_F(FrameTest, CanCloseZeroKeepsTheWindow) {
  frame.closeAllowed = 0;
  SendMessageA(frame.hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(frame.hwnd));
  EXPECT_EQ(0, SendMessageA(frame.hwnd, WM_QUERYENDSESSION, 0, 0));
  frame.closeAllowed = 1;
  EXPECT_EQ(1, SendMessageA(frame.hwnd, WM_QUERYENDSESSION, 0, 0));
}

TEST_F(FrameTest, TheBarPaintsItsEdgeLinesOverGray) {
  RedrawWindow(bar.hwnd, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(bar.hwnd);
  RECT r;
  GetClientRect(bar.hwnd, &r);
  int x = r.right - 20;  // beyond the last button
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), GetPixel(dc, x, 0));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), GetPixel(dc, x, r.bottom - 1));
  EXPECT_EQ(0x808080u, GetPixel(dc, x, r.bottom / 2));
  ReleaseDC(bar.hwnd, dc);
}

}  // namespace

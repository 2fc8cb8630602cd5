// The message window, driven while its modal wait runs: results by click,
// Enter, space and mnemonic, focus moves, owner state, layout and CPU use.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "framework/MsgWindow.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/ProcessCpu.h"

namespace {

MsgWindow* watched = nullptr;

// Ends a wait that a broken action would leave open, so a failure cannot hang.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR timerId, DWORD) {
  KillTimer(0, timerId);
  if (watched && watched->hwnd) PostMessageA(watched->hwnd, WM_CLOSE, 0, 0);
}

const COLORREF black = 0x000000;
const COLORREF lightGrey = 0xC0C0C0;
const COLORREF darkGrey = 0x808080;
const int reportStyle = MB_ICONEXCLAMATION;

int ShowWith(MsgWindow& window, HWND owner, const char* text, const char* caption, int style,
             std::function<void()> action) {
  watched = &window;
  UINT_PTR watchdog = SetTimer(0, 0, 15000, Watchdog);
  RunSoon(action);
  int result = window.ShowModal(owner, text, caption, style, 0, black, lightGrey, darkGrey);
  KillTimer(0, watchdog);
  watched = nullptr;
  return result;
}

enum Method { Click, Enter, Space, Mnemonic };
const char* methodNames[] = {"click", "Enter", "space", "mnemonic"};

void Press(Method method, int index) {
  HWND button = msgButtons[index].hwnd;
  HWND focus = GetFocus();
  switch (method) {
    case Click:
      SendMessageA(button, BM_CLICK, 0, 0);
      break;
    case Enter:
      for (int i = 0; i < index; ++i) PostMessageA(focus, WM_KEYDOWN, VK_TAB, 1);
      PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
      break;
    case Space:
      SetFocus(button);
      PostMessageA(button, WM_KEYDOWN, VK_SPACE, 1);
      PostMessageA(button, WM_KEYUP, VK_SPACE, 0xC0000001);
      break;
    case Mnemonic:
      PostMessageA(focus, WM_KEYDOWN, static_cast<unsigned char>(msgButtons[index].mnemonic), 1);
      break;
  }
}

struct LayoutCase {
  int style;
  int count;
  const char* labels[3];
  int results[3];
};

const LayoutCase layoutCases[] = {
    {reportStyle, 1, {"&Ok"}, {1}},
    {MB_OKCANCEL, 2, {"&Ok", "&Cancel"}, {1, 2}},
    {MB_YESNOCANCEL, 3, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}},
    {MB_YESNO, 2, {"&Yes", "&No"}, {6, 7}},
    {MB_ABORTRETRYIGNORE, 1, {"&Ok"}, {1}},
};

class MsgWindowTest : public testing::Test {
 protected:
  void SetUp() override { owner = MakeOwnerWindow(); }
  void TearDown() override { DestroyWindow(owner); }
  HWND owner = 0;
  MsgWindow window;
};

TEST_F(MsgWindowTest, EveryButtonOfEveryLayoutGivesItsResultByEveryMeans) {
  for (const LayoutCase& layout : layoutCases) {
    for (int index = 0; index < layout.count; ++index) {
      for (int method = Click; method <= Mnemonic; ++method) {
        int buttons = -1;
        char label[16] = "";
        int result = ShowWith(window, owner, "Question?", "Caption", layout.style, [&] {
          buttons = msgButtonCount;
          GetWindowTextA(msgButtons[index].hwnd, label, sizeof(label));
          Press(static_cast<Method>(method), index);
        });
        EXPECT_EQ(layout.results[index], result)
            << "style " << layout.style << " button " << index << " by " << methodNames[method];
        EXPECT_EQ(layout.count, buttons) << "style " << layout.style;
        EXPECT_STREQ(layout.labels[index], label) << "style " << layout.style;
        EXPECT_EQ(nullptr, window.hwnd);
      }
    }
  }
}

TEST_F(MsgWindowTest, OwnerIsDisabledWhileShowingAndEnabledAfter) {
  BOOL enabledDuring = TRUE;
  int result = ShowWith(window, owner, "text", "caption", reportStyle, [&] {
    enabledDuring = IsWindowEnabled(owner);
    SendMessageA(msgButtons[0].hwnd, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(1, result);
  EXPECT_FALSE(enabledDuring);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(MsgWindowTest, ClosingWithoutAButtonReturnsZero) {
  int result = ShowWith(window, owner, "text", "caption", MB_YESNO,
                        [&] { PostMessageA(window.hwnd, WM_CLOSE, 0, 0); });
  EXPECT_EQ(0, result);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(MsgWindowTest, WindowDestroyedWithItsOwnerEndsTheWait) {
  HWND doomed = MakeOwnerWindow();
  int result =
      ShowWith(window, doomed, "text", "caption", MB_YESNO, [&] { DestroyWindow(doomed); });
  EXPECT_EQ(0, result);
  EXPECT_EQ(nullptr, window.hwnd);
}

TEST_F(MsgWindowTest, QuitDuringTheWaitClosesAndStaysQueued) {
  int result = ShowWith(window, owner, "text", "caption", MB_YESNO, [&] { PostQuitMessage(3); });
  EXPECT_EQ(0, result);
  EXPECT_EQ(nullptr, window.hwnd);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(3u, message.wParam);
}

struct FocusStep {
  WPARAM key;
  int expectedIndex;
};

TEST_F(MsgWindowTest, FocusStartsWhereTheBitsSayAndKeysWrapAround) {
  struct {
    int style;
    int first;
    FocusStep steps[4];
  } cases[] = {
      {MB_YESNOCANCEL | MB_DEFBUTTON3, 2, {{VK_TAB, 0}, {VK_LEFT, 2}, {VK_LEFT, 1}, {VK_RIGHT, 2}}},
      {MB_YESNOCANCEL | MB_DEFBUTTON2,
       1,
       {{VK_RIGHT, 2}, {VK_RIGHT, 0}, {VK_TAB, 1}, {VK_LEFT, 0}}},
      {MB_YESNO, 0, {{VK_LEFT, 1}, {VK_TAB, 0}, {VK_TAB, 1}, {VK_RIGHT, 0}}},
      {reportStyle, 0, {{VK_TAB, 0}, {VK_LEFT, 0}, {VK_RIGHT, 0}, {VK_TAB, 0}}},
  };
  for (const auto& c : cases) {
    int firstFocus = -1;
    int observed[4] = {-1, -1, -1, -1};
    int step = 0;
    std::function<void()> next;
    auto indexOfFocus = [] {
      for (int i = 0; i < msgButtonCount; ++i) {
        if (GetFocus() == msgButtons[i].hwnd) return i;
      }
      return -1;
    };
    next = [&] {
      if (step > 0) observed[step - 1] = indexOfFocus();
      if (step == 4) {
        PostMessageA(window.hwnd, WM_CLOSE, 0, 0);
        return;
      }
      SendMessageA(GetFocus(), WM_KEYDOWN, c.steps[step].key, 1);
      ++step;
      RunSoon(next, 10);
    };
    ShowWith(window, owner, "Focus", "caption", c.style, [&] {
      firstFocus = indexOfFocus();
      next();
    });
    EXPECT_EQ(c.first, firstFocus) << "style 0x" << std::hex << c.style;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(c.steps[i].expectedIndex, observed[i])
          << "style 0x" << std::hex << c.style << " step " << i;
    }
  }
}

TEST_F(MsgWindowTest, TextIsCutIntoLinesAtNewlines) {
  struct {
    const char* text;
    int lines;
  } cases[] = {{"", 0}, {"one", 1}, {"one\n", 1}, {"a\n\nb", 3}, {"a\nb\n", 2}, {"\n", 1}};
  for (const auto& c : cases) {
    ShowWith(window, owner, c.text, "caption", reportStyle,
             [&] { PostMessageA(window.hwnd, WM_CLOSE, 0, 0); });
    EXPECT_EQ(c.lines, window.lineCount) << '"' << c.text << '"';
  }
}

int TextWidthOf(const char* text) {
  HDC display = CreateICA("DISPLAY", 0, 0, 0);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(display, text, lstrlenA(text), &size);
  DeleteDC(display);
  return size.cx;
}

TEST_F(MsgWindowTest, WidthFollowsTheTextTheIconAndTheCaption) {
  const char* longCaption = "A caption that is far wider than the short text below it";
  const char* text = "short\nlines";
  struct {
    int style;
    const char* caption;
    int left;
    int widest;
  } cases[] = {
      {reportStyle, longCaption, 64,
       TextWidthOf("short") > TextWidthOf("lines") ? TextWidthOf("short") : TextWidthOf("lines")},
      {0, longCaption, 8, TextWidthOf(longCaption)},
      {MB_YESNOCANCEL, "", 8,
       TextWidthOf("short") > TextWidthOf("lines") ? TextWidthOf("short") : TextWidthOf("lines")},
  };
  for (const auto& c : cases) {
    RECT shown = {};
    ShowWith(window, owner, text, c.caption, c.style, [&] {
      GetWindowRect(window.hwnd, &shown);
      PostMessageA(window.hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(c.widest, window.textWidth) << c.style;
    EXPECT_EQ(c.left, window.textRect.left) << c.style;
    int width = c.widest + 4 * window.maxCharWidth + c.left;
    int minimum = (c.style & 0xF) == MB_YESNOCANCEL ? 13 * window.lineHeight : 0;
    EXPECT_EQ(width > minimum ? width : minimum, window.textRect.right) << c.style;
    // Centring adds one pixel to the window's width.
    EXPECT_EQ(window.textRect.right + 16 + 1, shown.right - shown.left) << c.style;
    EXPECT_EQ(window.lineHeight * (2 + 6) + 1, shown.bottom - shown.top) << c.style;
  }
}

TEST_F(MsgWindowTest, ReportLooksGreyWithASunkenFrame) {
  COLORREF background = 0, frameShadow = 0, frameLight = 0;
  char title[64] = "";
  ShowWith(window, owner, "Could not write the settings file.\nThe disk may be full.", "Startlull",
           reportStyle, [&] {
             UpdateWindow(window.hwnd);
             GdiFlush();
             PumpFor(100);
             POINT corner = {4, 4};
             ClientToScreen(window.hwnd, &corner);
             background = ScreenPixel(corner.x, corner.y);
             POINT left = {window.textRect.left, window.textRect.top + 4};
             ClientToScreen(window.hwnd, &left);
             frameShadow = ScreenPixel(left.x, left.y);
             POINT right = {window.textRect.right, window.textRect.top + 4};
             ClientToScreen(window.hwnd, &right);
             frameLight = ScreenPixel(right.x, right.y);
             GetWindowTextA(window.hwnd, title, sizeof(title));
             SaveWindowShot(window.hwnd, "report.bmp");
             SendMessageA(msgButtons[0].hwnd, BM_CLICK, 0, 0);
           });
  EXPECT_EQ(lightGrey, background);
  EXPECT_EQ(darkGrey, frameShadow);
  EXPECT_EQ(0xFFFFFFu, frameLight);
  EXPECT_STREQ("Startlull", title);
}

// What the message window shows on the screen, measured while it shows.
struct Shown {
  int textLeft = -1, textRight = -1;  // black ink inside the text area
  int captionRight = -1;              // caption-text ink, from the window's left
};

Shown ShowAndMeasure(MsgWindow& window, HWND owner, const char* text, const char* caption,
                     int style) {
  Shown shown;
  ShowWith(window, owner, text, caption, style, [&] {
    RedrawWindow(window.hwnd, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    GdiFlush();
    PumpFor(100);
    WindowPixels pixels(window.hwnd);
    RECT textArea = window.textRect;
    InflateRect(&textArea, -2, -2);
    MapWindowPoints(window.hwnd, 0, reinterpret_cast<POINT*>(&textArea), 2);
    shown.textLeft = pixels.Leftmost(black, textArea);
    shown.textRight = pixels.Rightmost(black, textArea);

    RECT outer;
    GetWindowRect(window.hwnd, &outer);
    POINT clientTop = {0, 0};
    ClientToScreen(window.hwnd, &clientTop);
    int frameX = GetSystemMetrics(SM_CXFIXEDFRAME) + 1;
    RECT bar = {outer.left + frameX, outer.top + GetSystemMetrics(SM_CYFIXEDFRAME) + 1,
                outer.right - frameX, clientTop.y - 1};
    COLORREF captionInk = GetSysColor(GetActiveWindow() == window.hwnd ? COLOR_CAPTIONTEXT
                                                                       : COLOR_INACTIVECAPTIONTEXT);
    // From the window's left edge: a wider text makes a wider window, centred anew.
    shown.captionRight = pixels.Rightmost(captionInk, bar) - outer.left;
    SaveWindowShot(window.hwnd, "ampersand.bmp");
    SendMessageA(msgButtons[0].hwnd, BM_CLICK, 0, 0);
  });
  return shown;
}

TEST_F(MsgWindowTest, AmpersandsInTheTextAndTheCaptionAreShownAsWritten) {
  // Error reports name files and registry keys from the user's machine, in
  // the text and as the caption: an "&" there is a character, never an
  // underline under the next one.
  const char* withAmpersand = "C:\\A&B Tools\\tray.exe";
  const char* without = "C:\\AB Tools\\tray.exe";
  const struct {
    const char* name;
    int style;
  } cases[] = {{"error report", reportStyle}, {"no icon", MB_YESNO}};
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  HFONT captionFont = CreateFontIndirectA(&metrics.lfCaptionFont);
  HDC display = CreateICA("DISPLAY", 0, 0, 0);
  HGDIOBJ previous = SelectObject(display, captionFont);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(display, "&", 1, &size);
  SelectObject(display, previous);
  DeleteDC(display);
  DeleteObject(captionFont);
  const int captionAmpersand = size.cx;
  ASSERT_GT(captionAmpersand, 2);

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Shown plain = ShowAndMeasure(window, owner, without, without, c.style);
    Shown marked = ShowAndMeasure(window, owner, withAmpersand, withAmpersand, c.style);
    ASSERT_GE(plain.textLeft, 0);
    ASSERT_GT(plain.captionRight, 0);
    EXPECT_NEAR(TextWidthOf(withAmpersand) - TextWidthOf(without),
                (marked.textRight - marked.textLeft) - (plain.textRight - plain.textLeft), 1);
    EXPECT_NEAR(captionAmpersand, marked.captionRight - plain.captionRight, 1)
        << "caption ends at " << marked.captionRight << ", without the \"&\" at "
        << plain.captionRight;
  }
}

TEST_F(MsgWindowTest, AnOpenWindowCostsNoCpu) {
  // The measure itself must see work: a busy third of a second shows (at
  // least 50 ms of it on a machine shared with other work).
  ULONGLONG busyStart = processCpuTime();
  DWORD spinStart = GetTickCount();
  while (GetTickCount() - spinStart < 300) {
  }
  ASSERT_GT(processCpuTime() - busyStart, 500000u) << "GetProcessTimes does not count here";

  ULONGLONG cpuStart = 0, cpuEnd = 0;
  DWORD wallStart = 0, wallEnd = 0;
  ShowWith(window, owner, "Waiting", "caption", reportStyle, [&] {
    UpdateWindow(window.hwnd);
    cpuStart = processCpuTime();
    wallStart = GetTickCount();
    RunSoon(
        [&] {
          cpuEnd = processCpuTime();
          wallEnd = GetTickCount();
          PostMessageA(window.hwnd, WM_CLOSE, 0, 0);
        },
        2000);
  });
  ASSERT_GE(wallEnd - wallStart, 1900u);
  double cpuMs = (cpuEnd - cpuStart) / 10000.0;
  double share = cpuMs / (wallEnd - wallStart);
  RecordProperty("cpu_ms", static_cast<int>(cpuMs));
  // Under 1% of a core: a wait that polls, even with Sleep(1) between looks
  // at the queue, costs several percent under Wine; a blocking wait costs
  // nothing measurable.
  EXPECT_LT(share, 0.01) << cpuMs << " ms of CPU over " << (wallEnd - wallStart) << " ms";
}

}  // namespace

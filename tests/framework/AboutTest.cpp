// The round About window: shape, layout, the link and its opener, keys,
// colours, and GDI objects over many showings.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "framework/AboutWindow.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace {

const char aboutText[] = "Startlull 1.12\n(c) 2026 The Startlull developers";
const char guidePath[] = "C:\\Program Files\\Startlull\\Startlull.html";
const COLORREF lightGrey = 0xC0C0C0;
const COLORREF red = 0x0000FF;

struct OpenedLink {
  int calls = 0;
  HWND owner = 0;
  std::string link;
};
OpenedLink opened;

void RecordOpen(HWND owner, const char* link) {
  ++opened.calls;
  opened.owner = owner;
  opened.link = link;
}

AboutWindow* watched = nullptr;
void CALLBACK Watchdog(HWND, UINT, UINT_PTR timerId, DWORD) {
  KillTimer(0, timerId);
  if (watched && watched->hwnd) PostMessageA(watched->hwnd, WM_CLOSE, 0, 0);
}

class AboutTest : public testing::Test {
 protected:
  void SetUp() override {
    owner = MakeOwnerWindow();
    about.openLink = RecordOpen;
    opened = OpenedLink();
  }
  void TearDown() override { DestroyWindow(owner); }

  int Show(const char* link, std::function<void()> action) {
    watched = &about;
    UINT_PTR watchdog = SetTimer(0, 0, 15000, Watchdog);
    RunSoon([action, this] {
      // The link is laid out by the first paint.
      UpdateWindow(about.hwnd);
      action();
    });
    int result = about.ShowModal(owner, aboutText, link, 0, 0, 0x000000, lightGrey, 0x808080);
    KillTimer(0, watchdog);
    watched = nullptr;
    return result;
  }
  void PressOk() { SendMessageA(msgButtons[0].hwnd, BM_CLICK, 0, 0); }

  HWND owner = 0;
  AboutWindow about;
};

TEST_F(AboutTest, TheWindowIsAnEllipse) {
  int inCorner = -1, inCentre = -1, onLeftMiddle = -1;
  Show(guidePath, [&] {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(about.hwnd, region));
    inCorner = PtInRegion(region, 2, 2);
    inCentre = PtInRegion(region, about.windowWidth / 2, about.windowHeight / 2);
    onLeftMiddle = PtInRegion(region, 2, about.windowHeight / 2);
    DeleteObject(region);
    PressOk();
  });
  EXPECT_EQ(0, inCorner);
  EXPECT_NE(0, inCentre);
  EXPECT_NE(0, onLeftMiddle);
}

RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(0, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(AboutTest, OkSitsThreeLinesAboveTheBottomAndAnEmptyLinkSavesTwoLines) {
  struct Seen {
    RECT ok;
    int height;
    int linkLaidOut;
  };
  Seen withLink = {}, withoutLink = {};
  for (Seen* seen : {&withLink, &withoutLink}) {
    int result = Show(seen == &withLink ? guidePath : "", [&] {
      seen->ok = ChildRect(msgButtons[0].hwnd);
      seen->height = about.windowHeight;
      seen->linkLaidOut = about.linkLaidOut;
      PressOk();
    });
    EXPECT_EQ(1, result);
    // The client bottom at creation is windowHeight - 1.
    EXPECT_EQ(seen->height - 1 - 3 * about.lineHeight, seen->ok.top);
    EXPECT_EQ((about.windowWidth - 1) / 2 - 30, seen->ok.left);
    EXPECT_EQ(60, seen->ok.right - seen->ok.left);
  }
  EXPECT_EQ(1, withLink.linkLaidOut);
  EXPECT_EQ(0, withoutLink.linkLaidOut);
  EXPECT_EQ(2 * about.lineHeight, withLink.height - withoutLink.height);
}

TEST_F(AboutTest, ALongLinkStillFitsInsideTheRoundEdge) {
  const char* links[] = {
      "x", guidePath,
      "Z:\\work\\main\\build\\program64\\a rather long folder name\\Startlull.html"};
  for (const char* link : links) {
    RECT linkRect = {};
    int inside = 0;
    Show(link, [&] {
      linkRect = about.linkRect;
      HRGN region = CreateRectRgn(0, 0, 0, 0);
      GetWindowRgn(about.hwnd, region);
      inside = PtInRegion(region, linkRect.left, linkRect.top) &&
               PtInRegion(region, linkRect.right, linkRect.top) &&
               PtInRegion(region, linkRect.left, linkRect.bottom) &&
               PtInRegion(region, linkRect.right, linkRect.bottom);
      DeleteObject(region);
      PressOk();
    });
    EXPECT_GT(linkRect.right - linkRect.left, 0) << link;
    EXPECT_TRUE(inside) << link;
  }
}

TEST_F(AboutTest, ClickingTheLinkOpensItAndClosesWithOk) {
  HWND linkWindow = 0;
  int result = Show(guidePath, [&] {
    linkWindow = about.linkButton.hwnd;
    SendMessageA(about.linkButton.hwnd, BM_CLICK, 0, 0);
  });
  EXPECT_TRUE(linkWindow);
  EXPECT_EQ(1, result);
  EXPECT_EQ(1, opened.calls);
  EXPECT_EQ(owner, opened.owner);
  EXPECT_EQ(guidePath, opened.link);
  EXPECT_EQ(nullptr, about.hwnd);
  EXPECT_EQ(nullptr, about.linkFont.font) << "the link font goes with the window";
}

TEST_F(AboutTest, KeysCloseWithOneAndFocusStaysOnOk) {
  struct {
    WPARAM key;
    bool withKeyUp;
  } closers[] = {{VK_RETURN, false}, {VK_SPACE, true}, {'O', false}};
  for (const auto& c : closers) {
    int result = Show(guidePath, [&] {
      HWND ok = msgButtons[0].hwnd;
      PostMessageA(ok, WM_KEYDOWN, VK_TAB, 1);
      PostMessageA(ok, WM_KEYDOWN, VK_LEFT, 1);
      PostMessageA(ok, WM_KEYDOWN, c.key, 1);
      if (c.withKeyUp) PostMessageA(ok, WM_KEYUP, c.key, 0xC0000001);
    });
    EXPECT_EQ(1, result) << "key " << c.key;
    EXPECT_EQ(0, opened.calls);
  }
}

TEST_F(AboutTest, FaceIsGreyWithARedRim) {
  COLORREF face = 0;
  bool redTop = false, redLeft = false;
  Show(guidePath, [&] {
    PumpFor(100);
    POINT origin = {0, 0};
    ClientToScreen(about.hwnd, &origin);
    face = ScreenPixel(origin.x + about.windowWidth / 2, origin.y + 10);
    for (int d = 0; d < 6; ++d) {
      if (ScreenPixel(origin.x + about.windowWidth / 2, origin.y + d) == red) redTop = true;
      if (ScreenPixel(origin.x + d, origin.y + about.windowHeight / 2) == red) redLeft = true;
    }
    SaveWindowShot(about.hwnd, "about.bmp");
    PressOk();
  });
  EXPECT_EQ(lightGrey, face);
  EXPECT_TRUE(redTop);
  EXPECT_TRUE(redLeft);
}

TEST_F(AboutTest, FiftyShowingsLeaveTheGdiObjectCountFlat) {
  int before = LiveGdiObjects();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 50; ++i) {
    int result = Show(guidePath, [&] { PressOk(); });
    ASSERT_EQ(1, result) << "showing " << i;
  }
  EXPECT_EQ(before, LiveGdiObjects());
}

TEST(GdiCount, SeesAnObjectComeAndGo) {
  int before = LiveGdiObjects();
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(before + 1, LiveGdiObjects());
  DeleteObject(pen);
  EXPECT_EQ(before, LiveGdiObjects());
  RecordProperty("gui_resources",
                 static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)));
}

}  // namespace

// The listing painter, drawing rows of the real list control into a
// bitmap: every line whole in its own colour, nothing for focus changes.
#include <windows.h>

#include <string>

#include "app/ListingBox.h"
#include "framework/WindowBase.h"
#include "gtest/gtest.h"

namespace {

const int bitmapWidth = 8000;
const int rowHeight = 16;
const COLORREF paper = 0xFFFFFF;

class ListingBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    appInstance = GetModuleHandleA(0);
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, 0, 0, appInstance, 0);
    ASSERT_TRUE(parent);
    list.style = WS_CHILD | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT;
    ASSERT_TRUE(list.Create(parent, 0, "", 0, 0, 400, 300));
    HDC screen = GetDC(0);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, bitmapWidth, rowHeight);
    ReleaseDC(0, screen);
    previous = SelectObject(dc, bitmap);
  }
  void TearDown() override {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(parent);
  }

  int Add(const std::string& text, COLORREF colour) {
    int index = static_cast<int>(
        SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    SendMessageA(list.hwnd, LB_SETITEMDATA, index, static_cast<LPARAM>(colour));
    return index;
  }

  void Paint(int index, UINT action) {
    RECT all = {0, 0, bitmapWidth, rowHeight};
    HBRUSH white = CreateSolidBrush(paper);
    FillRect(dc, &all, white);
    DeleteObject(white);
    SetBkColor(dc, paper);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.itemID = static_cast<UINT>(index);
    item.itemAction = action;
    item.itemState = ODS_SELECTED | ODS_FOCUS;
    item.hwndItem = list.hwnd;
    item.hDC = dc;
    item.rcItem = all;
    list.DrawItem(&item);
  }

  // Rightmost column holding a pixel of that colour, or -1.
  int RightmostOf(COLORREF colour) {
    for (int x = bitmapWidth - 1; x >= 0; --x) {
      for (int y = 0; y < rowHeight; ++y) {
        if (GetPixel(dc, x, y) == colour) return x;
      }
    }
    return -1;
  }

  int Width(const std::string& text) {
    SIZE size;
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  HWND parent = 0;
  ListingBox list;
  HDC dc = 0;
  HBITMAP bitmap = 0;
  HGDIOBJ previous = 0;
};

TEST_F(ListingBoxTest, DrawsEveryLineWholeWhateverItsLength) {
  const int lengths[] = {1, 259, stackLineLength, stackLineLength + 1, 519};
  for (int length : lengths) {
    SCOPED_TRACE(length);
    // The last character is a different letter, so a cut line would end early.
    std::string text(length - 1, 'W');
    text += 'M';
    int index = Add(text, 0x000000);
    Paint(index, ODA_DRAWENTIRE);
    int right = RightmostOf(0x000000);
    int width = Width(text);
    EXPECT_GT(right, width - Width("M")) << "the last character is drawn";
    EXPECT_LT(right, width + 2);
  }
}

TEST_F(ListingBoxTest, AmpersandsAreDrawnAsWritten) {
  // Entries are paths and commands from the user's machine: an "&" in them
  // is a character, not a mnemonic marker, so each one takes its own room.
  struct Case {
    const char* name;
    std::string text;
    std::string withoutAmpersand;
  } const cases[] = {
      {"path", "C:\\A&B Tools\\tray.exe", "C:\\AB Tools\\tray.exe"},
      {"doubled", "run=A&&B", "run=AB"},
      {"long line", std::string(stackLineLength, 'W') + "&x",
       std::string(stackLineLength, 'W') + "x"},
  };
  ASSERT_GT(Width("&"), 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Paint(Add(c.withoutAmpersand, 0x000000), ODA_DRAWENTIRE);
    int shorter = RightmostOf(0x000000);
    Paint(Add(c.text, 0x000000), ODA_DRAWENTIRE);
    int longer = RightmostOf(0x000000);
    EXPECT_NEAR(Width(c.text) - Width(c.withoutAmpersand), longer - shorter, 1);
  }
}

TEST_F(ListingBoxTest, DrawsInTheColourOfTheItem) {
  const COLORREF colours[] = {0x0000FF, 0xFF0000, 0x000000, 0x00A000};
  for (COLORREF colour : colours) {
    SCOPED_TRACE(colour);
    int index = Add("[Registry - current_user, Run]", colour);
    Paint(index, ODA_SELECT);
    EXPECT_GT(RightmostOf(colour), 10);
  }
}

TEST_F(ListingBoxTest, FocusChangesAndEmptyOrMissingLinesDrawNothing) {
  int text = Add("Purpose:", 0xFF0000);
  int empty = Add("", 0x000000);
  struct Case {
    const char* name;
    int index;
    UINT action;
  } const cases[] = {
      {"focus", text, ODA_FOCUS},
      {"empty line", empty, ODA_DRAWENTIRE},
      {"past the end", empty + 5, ODA_DRAWENTIRE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Paint(c.index, c.action);
    EXPECT_EQ(-1, RightmostOf(0xFF0000));
    EXPECT_EQ(-1, RightmostOf(0x000000));
  }
}

}  // namespace

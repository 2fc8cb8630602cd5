// The listing painter, drawing rows of the real list control into a
// bitmap: every line whole in its own colour, the highlight and the focus
// rectangle on entry lines only; and the steps a key takes from entry to
// entry.
#include <windows.h>

#include <string>
#include <vector>

#include "app/ListingBox.h"
#include "framework/WindowBase.h"
#include "gtest/gtest.h"

namespace {

const int bitmapWidth = 12000;
const int rowHeight = 16;
const COLORREF paper = 0xFFFFFF;
const COLORREF itemColour = 0x000000;

// Answers from a table, counting how often it is asked.
class TableKinds : public LineKinds {
 public:
  LineKind KindOfLine(int line) override {
    ++asked;
    return line >= 0 && line < static_cast<int>(kinds.size()) ? kinds[line] : LINE_TEXT;
  }
  std::vector<LineKind> kinds;
  int asked = 0;
};

class ListingBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    appInstance = GetModuleHandleA(0);
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, 0, 0, appInstance, 0);
    ASSERT_TRUE(parent);
    list.style = WS_CHILD | WS_HSCROLL | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT;
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

  // Lines of the kinds given, each named after its number and kind.
  void AddLines(const std::vector<LineKind>& kinds) {
    table.kinds = kinds;
    list.kindSource = &table;
    for (size_t i = 0; i < kinds.size(); ++i)
      Add((kinds[i] == LINE_TEXT ? "[text " : "entry ") + std::to_string(i), itemColour);
  }

  // On fresh paper, or over whatever the row shows from the last paint.
  void Paint(int index, UINT action, UINT state = ODS_SELECTED | ODS_FOCUS, bool fresh = true) {
    RECT all = {0, 0, bitmapWidth, rowHeight};
    if (fresh) {
      HBRUSH white = CreateSolidBrush(paper);
      FillRect(dc, &all, white);
      DeleteObject(white);
    }
    SetBkColor(dc, paper);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.itemID = static_cast<UINT>(index);
    item.itemAction = action;
    item.itemState = state;
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

  // Inside the row's edges, where a focus rectangle does not reach.
  int CountOf(COLORREF colour) {
    int count = 0;
    for (int x = 1; x < 400; ++x) {
      for (int y = 1; y < rowHeight - 1; ++y) count += GetPixel(dc, x, y) == colour;
    }
    return count;
  }

  // Pixels of the row's top edge, far right of any text, unlike the row's
  // middle below them: a focus rectangle's dots.
  int FocusDots() {
    int count = 0;
    for (int x = bitmapWidth - 200; x < bitmapWidth - 2; ++x)
      count += GetPixel(dc, x, 0) != GetPixel(dc, x, rowHeight / 2);
    return count;
  }

  int Width(const std::string& text) {
    SIZE size;
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  HWND parent = 0;
  ListingBox list;
  TableKinds table;
  HDC dc = 0;
  HBITMAP bitmap = 0;
  HGDIOBJ previous = 0;
};

TEST_F(ListingBoxTest, DrawsEveryLineWholeWhateverItsLength) {
  struct Case {
    int length;
    char filler;  // narrow for long lines, so that they fit the bitmap
  } const cases[] = {
      {1, 'W'},    {259, 'W'},  {stackLineLength, 'W'}, {stackLineLength + 1, 'W'}, {519, 'W'},
      {1025, 'i'}, {2000, 'i'},
  };
  for (const Case& c : cases) {
    const int length = c.length;
    SCOPED_TRACE(length);
    // The last character is a different letter, so a cut line would end early.
    std::string text(length - 1, c.filler);
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

TEST_F(ListingBoxTest, OnlyEntryLinesShowTheSelectionAndTheFocus) {
  AddLines({LINE_TEXT, LINE_ENTRY, LINE_ENTRY_MISSING});
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  ASSERT_NE(highlight, paper);
  struct Case {
    const char* name;
    int line;
    UINT action;
    UINT state;
    COLORREF text;  // the colour the line's letters take; CLR_INVALID: none drawn
    bool highlighted;
    bool focusRectangle;
  } const cases[] = {
      {"selected heading", 0, ODA_SELECT, ODS_SELECTED | ODS_FOCUS, itemColour, false, false},
      {"heading takes the focus", 0, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS, CLR_INVALID, false,
       false},
      {"selected entry", 1, ODA_SELECT, ODS_SELECTED, highlightText, true, false},
      {"entry painted whole", 1, ODA_DRAWENTIRE, 0, itemColour, false, false},
      {"entry with the caret", 1, ODA_FOCUS, ODS_FOCUS, itemColour, false, true},
      {"selected entry with the caret", 1, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS, highlightText,
       true, true},
      {"missing program", 2, ODA_DRAWENTIRE, 0, missingProgramColour, false, false},
      {"missing program selected", 2, ODA_SELECT, ODS_SELECTED, highlightText, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Paint(c.line, c.action, c.state);
    if (c.text == CLR_INVALID) {
      EXPECT_EQ(-1, RightmostOf(itemColour));
    } else {
      EXPECT_GT(CountOf(c.text), 10) << "letters in their colour";
    }
    if (c.text != itemColour) {
      EXPECT_EQ(0, CountOf(itemColour));
    }
    EXPECT_EQ(c.highlighted, GetPixel(dc, bitmapWidth - 300, rowHeight / 2) == highlight)
        << "the row's far end";
    EXPECT_EQ(c.focusRectangle, FocusDots() > 20);
  }
}

// The mark of an entry new or changed since the last look is drawn after
// its letters, which keep their colour; a gone entry's line has none.
TEST_F(ListingBoxTest, EntriesNewOrChangedSinceTheLastLookCarryTheirMark) {
  AddLines({LINE_ENTRY, LineKind(LINE_ENTRY | LINE_MARK_NEW),
            LineKind(LINE_ENTRY_MISSING | LINE_MARK_CHANGED), LINE_GONE});
  const struct {
    int line;
    COLORREF mark, letters;
  } cases[] = {{0, CLR_INVALID, itemColour},
               {1, newMarkColour, itemColour},
               {2, changedMarkColour, missingProgramColour},
               {3, CLR_INVALID, itemColour}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Paint(c.line, ODA_DRAWENTIRE, 0);
    EXPECT_GT(CountOf(c.letters), 10);
    EXPECT_EQ(c.mark == CLR_INVALID ? 0 : CountOf(c.mark),
              CountOf(newMarkColour) + CountOf(changedMarkColour));
    if (c.mark != CLR_INVALID) EXPECT_GT(CountOf(c.mark), 4);
  }
}

TEST_F(ListingBoxTest, AnEntryRepaintedUnselectedKeepsNothingOfTheHighlight) {
  AddLines({LINE_TEXT, LINE_ENTRY});
  Paint(1, ODA_SELECT, ODS_SELECTED | ODS_FOCUS);
  ASSERT_EQ(GetSysColor(COLOR_HIGHLIGHT), GetPixel(dc, bitmapWidth - 300, rowHeight / 2));
  const UINT after[] = {ODA_SELECT, ODA_FOCUS};
  for (UINT action : after) {
    SCOPED_TRACE(action);
    Paint(1, ODA_SELECT, ODS_SELECTED | ODS_FOCUS, false);
    Paint(1, action, 0, false);
    EXPECT_EQ(0, CountOf(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(0, FocusDots());
    EXPECT_GT(CountOf(itemColour), 10);
  }
}

TEST_F(ListingBoxTest, LinesAreJudgedWhenFirstPaintedOnceUntilForgotten) {
  const int lineCount = 8000;
  std::vector<LineKind> kinds(lineCount, LINE_TEXT);
  kinds[7000] = LINE_ENTRY_MISSING;
  AddLines(kinds);
  const COLORREF stored = 0x123456;
  SendMessageA(list.hwnd, LB_SETITEMDATA, 7000, stored);
  EXPECT_EQ(0, table.asked) << "nothing is judged while lines go in";

  struct Step {
    const char* name;
    bool forget;
    int asked;  // in all, after the step's paint
  } const steps[] = {
      {"first paint", false, 1},
      {"painted again", false, 1},
      {"after ForgetLines", true, 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.forget) list.ForgetLines();
    Paint(7000, ODA_DRAWENTIRE, 0);
    EXPECT_EQ(step.asked, table.asked);
    EXPECT_GT(CountOf(missingProgramColour), 10);
    // The list keeps what was added: other programs read these.
    EXPECT_EQ(stored, static_cast<COLORREF>(SendMessageA(list.hwnd, LB_GETITEMDATA, 7000, 0)));
    char text[32] = "";
    SendMessageA(list.hwnd, LB_GETTEXT, 7000, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("entry 7000", text);
  }
}

// The list's sideways extent follows the widest line noted since it was
// last emptied, however the lines come: longer, shorter, after a forget.
TEST_F(ListingBoxTest, TheListScrollsSidewaysAsFarAsItsWidestLine) {
  const std::string longLine = std::string(1999, 'W') + "M";
  struct Step {
    const char* name;
    const char* added;  // null: ForgetWidths
    std::string widest;
  } const steps[] = {
      {"a short line", "Purpose:", "Purpose:"},
      {"a longer one", "Alpha = C:\\nowhere\\alpha.exe", "Alpha = C:\\nowhere\\alpha.exe"},
      {"a shorter one keeps it", "ab", "Alpha = C:\\nowhere\\alpha.exe"},
      {"2,000 characters", longLine.c_str(), longLine},
      {"an empty line keeps it", "", longLine},
      {"the list emptied", nullptr, ""},
      {"a short line after it", "&x", "&x"},
  };
  EXPECT_EQ(0, SendMessageA(list.hwnd, LB_GETHORIZONTALEXTENT, 0, 0));
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.added) {
      Add(step.added, itemColour);
      list.NoteLineWidth(step.added);
    } else {
      list.ForgetWidths();
    }
    int width = Width(step.widest);
    EXPECT_EQ(width, list.WidestLine());
    int extent = static_cast<int>(SendMessageA(list.hwnd, LB_GETHORIZONTALEXTENT, 0, 0));
    if (step.widest.empty()) {
      EXPECT_EQ(0, extent);
    } else {
      EXPECT_GE(extent, width) << "the line's end can be scrolled into sight";
      EXPECT_LE(extent, width + 8);
    }
  }
}

TEST_F(ListingBoxTest, KeysStepFromEntryToEntry) {
  const LineKind T = LINE_TEXT, E = LINE_ENTRY, M = LINE_ENTRY_MISSING;
  // 40 lines: entries at 2, 3, 6, 20, 21, 37.
  std::vector<LineKind> kinds(40, T);
  // Marked entries and a gone entry's line take the selection as entries do.
  kinds[2] = E, kinds[3] = M, kinds[6] = E, kinds[20] = E;
  kinds[21] = LineKind(E | LINE_MARK_NEW), kinds[37] = LINE_GONE;
  AddLines(kinds);
  const int shownRows = 10;
  SendMessageA(list.hwnd, LB_SETITEMHEIGHT, 0, 20);
  MoveWindow(list.hwnd, 0, 0, 400, 20 * shownRows, FALSE);
  ASSERT_EQ(shownRows, list.PageRows());
  struct Case {
    const char* name;
    UINT key;
    int from;
    int expected;
  } const cases[] = {
      {"down from the top skips headings", VK_DOWN, 0, 2},
      {"down to the next entry", VK_DOWN, 2, 3},
      {"down over blank lines", VK_DOWN, 3, 6},
      {"down from the last entry stays", VK_DOWN, 37, -1},
      {"right as down", VK_RIGHT, 6, 20},
      {"up over headings", VK_UP, 20, 6},
      {"up from the first entry stays", VK_UP, 2, -1},
      {"left as up", VK_LEFT, 3, 2},
      {"home", VK_HOME, 21, 2},
      {"end", VK_END, 2, 37},
      {"page down to the page's last row, then on", VK_NEXT, 6, 20},
      {"page down lands on an entry", VK_NEXT, 12, 21},
      {"page down near the end", VK_NEXT, 37, -1},
      {"page down with nothing below the page's end", VK_NEXT, 30, 37},
      {"page up", VK_PRIOR, 21, 6},
      {"page up nothing above the target", VK_PRIOR, 6, 2},
      {"page up with no entry above the caret", VK_PRIOR, 2, -1},
      {"no caret, down", VK_DOWN, -1, 2},
      {"a key that is not for moving", VK_SPACE, 2, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, list.EntryForKey(c.key, c.from));
  }

  const int nearest[][2] = {{0, 2}, {3, 3}, {4, 3}, {5, 6}, {13, 6}, {14, 20}, {39, 37}, {99, 37}};
  for (const auto& n : nearest) {
    SCOPED_TRACE("nearest to " + std::to_string(n[0]));
    EXPECT_EQ(n[1], list.NearestEntry(n[0]));
  }
}

TEST_F(ListingBoxTest, WithoutEntriesNoKeyFindsALine) {
  AddLines({LINE_TEXT, LINE_TEXT, LINE_TEXT});
  const UINT keys[] = {VK_DOWN, VK_UP, VK_HOME, VK_END, VK_NEXT, VK_PRIOR};
  for (UINT key : keys) {
    SCOPED_TRACE(key);
    EXPECT_EQ(-1, list.EntryForKey(key, 1));
  }
  EXPECT_EQ(-1, list.NearestEntry(1));
}

}  // namespace

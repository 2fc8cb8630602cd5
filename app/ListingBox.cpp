#include "app/ListingBox.h"

#include <string.h>

#include "framework/GdiObjects.h"

namespace {
const int stackBufferSize = 300;
const int firstKindRoom = 256;
// A Windows 98 list box holds no more lines than this.
const int mostLines = 32767;
// Past the last character, so that it does not touch the list's edge.
const int lineEndRoom = 4;
// Windows 98 keeps scroll positions and drawing coordinates in 16 bits.
const int widestExtent = 32767;
// Windows 98 draws no more of a string in one call.
const int mostDrawnCharacters = 8192;
}  // namespace

ListingBox::ListingBox() : kindSource(0), kinds(0), kindRoom(0), measureDc(0), widest(0) {}

ListingBox::~ListingBox() {
  if (kinds) GlobalFree(kinds);
  if (measureDc) DeleteDC(measureDc);
}

bool ListingBox::RoomForKinds(int lines) {
  if (lines <= kindRoom) return true;
  if (lines > mostLines) return false;
  int room = kindRoom ? kindRoom : firstKindRoom;
  while (room < lines) room *= 2;
  if (room > mostLines) room = mostLines;
  // Zero-filled: every new line starts as LINE_UNKNOWN.
  unsigned char* grown = static_cast<unsigned char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, room));
  if (!grown) return false;
  if (kinds) {
    memcpy(grown, kinds, kindRoom);
    GlobalFree(kinds);
  }
  kinds = grown;
  kindRoom = room;
  return true;
}

LineKind ListingBox::KindOf(int line) {
  if (line < 0 || !kindSource) return LINE_TEXT;
  // Without room to remember, the line is asked about every time.
  if (!RoomForKinds(line + 1)) return kindSource->KindOfLine(line);
  if (kinds[line] == LINE_UNKNOWN)
    kinds[line] = static_cast<unsigned char>(kindSource->KindOfLine(line));
  return static_cast<LineKind>(kinds[line]);
}

bool ListingBox::IsEntry(int line) { return (KindOf(line) & LINE_KIND_BITS) != LINE_TEXT; }

void ListingBox::ForgetLines() {
  if (kinds) memset(kinds, LINE_UNKNOWN, kindRoom);
}

void ListingBox::NoteLineWidth(const char* text) {
  if (!hwnd) return;
  if (!measureDc) measureDc = CreateICA("DISPLAY", 0, 0, 0);
  if (!measureDc) return;
  // A list that was given no font draws in the system font.
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  SelectedObject selected(measureDc, font ? font : GetStockObject(SYSTEM_FONT));
  SIZE size;
  int length = lstrlenA(text);
  if (!GetTextExtentPoint32A(measureDc, text, length, &size) || size.cx <= widest) return;
  widest = size.cx;
  int extent = widest > widestExtent - lineEndRoom ? widestExtent : widest + lineEndRoom;
  SendMessageA(hwnd, LB_SETHORIZONTALEXTENT, extent, 0);
}

void ListingBox::ForgetWidths() {
  widest = 0;
  if (hwnd) SendMessageA(hwnd, LB_SETHORIZONTALEXTENT, 0, 0);
}

int ListingBox::PageRows() {
  RECT client;
  LRESULT rowHeight = SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0);
  if (!GetClientRect(hwnd, &client) || rowHeight <= 0 || rowHeight == LB_ERR) return 1;
  int rows = static_cast<int>((client.bottom - client.top) / rowHeight);
  return rows > 1 ? rows : 1;
}

int ListingBox::EntryFrom(int line, int step, int limit) {
  int count = static_cast<int>(SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
  for (; step > 0 ? line <= limit : line >= limit; line += step) {
    if (line >= 0 && line < count && IsEntry(line)) return line;
  }
  return -1;
}

int ListingBox::EntryForKey(UINT key, int from) {
  int count = static_cast<int>(SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
  if (count <= 0) return -1;
  // Page keys move the way the list itself would: to the last row of the
  // page, one row of the old page staying in sight.
  int page = PageRows() - 1;
  if (page < 1) page = 1;
  switch (key) {
    case VK_UP:
    case VK_LEFT:
      return EntryFrom(from - 1, -1, 0);
    case VK_DOWN:
    case VK_RIGHT:
      return EntryFrom(from + 1, 1, count - 1);
    case VK_HOME:
      return EntryFrom(0, 1, count - 1);
    case VK_END:
      return EntryFrom(count - 1, -1, 0);
    case VK_PRIOR: {
      int target = from - page < 0 ? 0 : from - page;
      int found = EntryFrom(target, -1, 0);
      // Nothing at or above the page's top: the first entry on the way.
      return found >= 0 ? found : EntryFrom(target + 1, 1, from - 1);
    }
    case VK_NEXT: {
      int target = from + page > count - 1 ? count - 1 : from + page;
      int found = EntryFrom(target, 1, count - 1);
      return found >= 0 ? found : EntryFrom(target - 1, -1, from + 1);
    }
    default:
      return -1;
  }
}

int ListingBox::NearestEntry(int line) {
  int count = static_cast<int>(SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
  if (line >= count) line = count - 1;
  if (line < 0) line = 0;
  for (int distance = 0; distance < count; ++distance) {
    if (line - distance >= 0 && IsEntry(line - distance)) return line - distance;
    if (line + distance < count && IsEntry(line + distance)) return line + distance;
  }
  return -1;
}

void ListingBox::DrawItem(DRAWITEMSTRUCT* item) {
  if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT &&
      item->itemAction != ODA_FOCUS)
    return;
  int line = static_cast<int>(item->itemID);
  int marks = KindOf(line);
  int kind = marks & LINE_KIND_BITS;
  bool entry = kind != LINE_TEXT;
  // Only entries take the selection and the focus: every other line looks
  // the same selected or not, and a focus change leaves it alone.
  if (!entry && item->itemAction == ODA_FOCUS) return;

  int saved = SaveDC(item->hDC);
  LRESULT length = SendMessageA(hwnd, LB_GETTEXTLEN, item->itemID, 0);
  if (length == LB_ERR) {
    RestoreDC(item->hDC, saved);
    return;
  }

  char stackBuffer[stackBufferSize];
  char* text = stackBuffer;
  HGLOBAL block = 0;
  if (length > stackLineLength) {
    block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, static_cast<SIZE_T>(length) + 2);
    if (!block) {
      RestoreDC(item->hDC, saved);
      return;
    }
    text = static_cast<char*>(block);
  }
  text[0] = '\0';
  LRESULT copied = SendMessageA(hwnd, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  if (copied == LB_ERR || copied < 0) {
    text[0] = '\0';
    copied = 0;
  }
  COLORREF colour = static_cast<COLORREF>(SendMessageA(hwnd, LB_GETITEMDATA, item->itemID, 0));
  RECT row = item->rcItem;
  if (entry) {
    // An entry row is painted whole, fill included, so that a row losing
    // the highlight or the focus rectangle shows none of it afterwards.
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    if (selected) {
      SetBkColor(item->hDC, GetSysColor(COLOR_HIGHLIGHT));
      colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (kind == LINE_ENTRY_MISSING) {
      colour = missingProgramColour;
    }
    OwnedObject fill(CreateSolidBrush(GetBkColor(item->hDC)));
    if (fill.object) FillRect(item->hDC, &row, static_cast<HBRUSH>(fill.object));
  }
  SetTextColor(item->hDC, colour);
  // Other rows are not filled first: the text cells carry the background
  // colour that the owner set for the list.
  // TextOutA takes an "&" for itself, and, unlike DrawTextA under Wine,
  // draws a line past its first 1,024 characters: a list scrolled sideways
  // shows the end of a long command. Rows are as high as the list's font.
  TEXTMETRICA metrics;
  int top = row.top;
  if (GetTextMetricsA(item->hDC, &metrics)) top += (row.bottom - row.top - metrics.tmHeight) / 2;
  int drawn = copied > mostDrawnCharacters ? mostDrawnCharacters : static_cast<int>(copied);
  TextOutA(item->hDC, row.left, top, text, drawn);
  SIZE size;
  if ((marks & (LINE_MARK_NEW | LINE_MARK_CHANGED)) &&
      GetTextExtentPoint32A(item->hDC, text, drawn, &size)) {
    // A square of half the row's height, a little after the text.
    int side = (row.bottom - row.top) / 2;
    RECT mark = {row.left + size.cx + side, row.top + side / 2, row.left + size.cx + 2 * side,
                 row.top + side / 2 + side};
    OwnedObject brush(CreateSolidBrush(marks & LINE_MARK_NEW ? newMarkColour : changedMarkColour));
    if (brush.object) FillRect(item->hDC, &mark, static_cast<HBRUSH>(brush.object));
  }
  if (entry && (item->itemState & ODS_FOCUS)) DrawFocusRect(item->hDC, &item->rcItem);
  if (block) GlobalFree(block);
  RestoreDC(item->hDC, saved);
}

#include "app/ListingBox.h"

namespace {
const int stackBufferSize = 300;
}

void ListingBox::DrawItem(DRAWITEMSTRUCT* item) {
  // Selection and focus changes repaint the row exactly as before, so a
  // selected line never looks highlighted and no focus rectangle appears.
  if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT) return;

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
  if (SendMessageA(hwnd, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text)) == LB_ERR) {
    text[0] = '\0';
  }
  LRESULT colour = SendMessageA(hwnd, LB_GETITEMDATA, item->itemID, 0);
  SetTextColor(item->hDC, static_cast<COLORREF>(colour));
  // The row is not filled first: the text cells carry the background colour
  // that the owner set for the list.
  // Lines hold paths and commands from the machine: an "&" is drawn as
  // itself, not taken for a mnemonic marker.
  RECT row = item->rcItem;
  DrawTextA(item->hDC, text, -1, &row, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (block) GlobalFree(block);
  RestoreDC(item->hDC, saved);
}

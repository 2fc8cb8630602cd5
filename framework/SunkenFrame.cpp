#include "framework/SunkenFrame.h"

#include "framework/GdiObjects.h"

namespace {
const int notPlaced = -1;
}

SunkenFrame::SunkenFrame()
    : highlightColour(GetSysColor(COLOR_BTNHIGHLIGHT)), shadowColour(GetSysColor(COLOR_BTNSHADOW)),
      x(0), y(0), width(notPlaced), height(0) {}

void SunkenFrame::PlaceAt(const RECT& r) {
  x = r.left;
  y = r.top;
  width = r.right - r.left + 1;
  height = r.bottom - r.top + 1;
}

void SunkenFrame::Draw(HDC dc) const {
  if (width == notPlaced) return;
  int right = x + width - 1;
  int bottom = y + height - 1;
  OwnedObject shadow(CreatePen(PS_SOLID, 1, shadowColour));
  OwnedObject highlight(CreatePen(PS_SOLID, 1, highlightColour));
  SelectedObject pen(dc, shadow.object);
  MoveToEx(dc, x, bottom, 0);
  LineTo(dc, x, y);
  LineTo(dc, right, y);
  pen.Select(highlight.object);
  LineTo(dc, right, bottom);
  LineTo(dc, x, bottom);
}

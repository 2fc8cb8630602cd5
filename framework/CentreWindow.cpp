#include "framework/CentreWindow.h"

namespace {
int CentredStart(LONG low, LONG high, int size) {
  int start = low + (high - low + 1) / 2 - size / 2;
  int limit = high - size;
  int m = start < limit ? start : limit;
  return m <= 0 ? 0 : m;
}
}  // namespace

POINT CentredPosition(const RECT& area, int width, int height) {
  POINT position;
  position.x = CentredStart(area.left, area.right, width);
  position.y = CentredStart(area.top, area.bottom, height);
  return position;
}

void CentreWindow(HWND window) {
  RECT area;
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner) {
    GetWindowRect(owner, &area);
  } else {
    area.left = 0;
    area.top = 0;
    area.right = GetSystemMetrics(SM_CXFULLSCREEN);
    area.bottom = GetSystemMetrics(SM_CYFULLSCREEN);
  }
  RECT own;
  GetWindowRect(window, &own);
  int width = own.right - own.left + 1;
  int height = own.bottom - own.top + 1;
  POINT position = CentredPosition(area, width, height);
  MoveWindow(window, position.x, position.y, width, height, FALSE);
}

#include "framework/StatusBar.h"

#include <commctrl.h>
#include <stdlib.h>

#include "framework/GdiObjects.h"

namespace {
const DWORD statusStyle = WS_CHILD | WS_VISIBLE;
// SB_SETPARTS reads -1 as "to the right end of the window".
const int openEdge = -1;
}  // namespace

void ComputePartEdges(int count, const int* widths, int statusWidth, int avgCharWidth, int* edges) {
  if (count <= 0) return;
  edges[count - 1] = statusWidth - count * avgCharWidth;
  for (int i = count - 1; i >= 1; --i) edges[i - 1] = edges[i] - widths[i] * avgCharWidth;
}

StatusBar::StatusBar()
    : parent(0), partCount(0), partWidths(0), partStyles(0), partEdges(0), partsAdded(0) {}

StatusBar::~StatusBar() { FreeParts(); }

void StatusBar::FreeParts() {
  free(partWidths);
  free(partStyles);
  free(partEdges);
  partWidths = partStyles = partEdges = 0;
  partCount = partsAdded = 0;
}

int StatusBar::ReserveParts(int n) {
  FreeParts();
  if (n <= 0) return 0;
  partStyles = static_cast<int*>(calloc(n, sizeof(int)));
  partWidths = static_cast<int*>(calloc(n, sizeof(int)));
  partEdges = static_cast<int*>(malloc(n * sizeof(int)));
  if (!partStyles || !partWidths || !partEdges) {
    // A half-allocated set would be written past by AddPart; keep none.
    FreeParts();
    return 0;
  }
  partCount = n;
  for (int i = 0; i < n; ++i) partEdges[i] = openEdge;
  return 1;
}

void StatusBar::AddPart(int widthInChars, int styleBits) {
  if (partsAdded >= partCount) return;
  partWidths[partsAdded] = widthInChars;
  partStyles[partsAdded] = styleBits;
  ++partsAdded;
}

int StatusBar::CreateStatus(HWND parentWindow) {
  parent = parentWindow;
  NextControlId();
  hwnd = CreateStatusWindowA(statusStyle, 0, parent, id);
  if (!hwnd) return 0;
  SendMessageA(hwnd, SB_SETPARTS, partCount, reinterpret_cast<LPARAM>(partEdges));
  for (int i = 0; i < partCount; ++i) {
    SendMessageA(hwnd, SB_SETTEXTA, i | partStyles[i], 0);
  }
  return 1;
}

void StatusBar::OnParentSize(WPARAM wParam, LPARAM lParam) {
  SendMessageA(hwnd, WM_SIZE, wParam, lParam);
  if (partCount <= 0) return;
  RECT r;
  GetWindowRect(hwnd, &r);
  int statusWidth = r.right - r.left;

  HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  HDC dc = GetDC(parent);
  TEXTMETRICA metrics;
  metrics.tmAveCharWidth = 0;
  {
    SelectedObject selected(dc, font);
    GetTextMetricsA(dc, &metrics);
  }
  ReleaseDC(parent, dc);

  ComputePartEdges(partCount, partWidths, statusWidth, metrics.tmAveCharWidth, partEdges);
  SendMessageA(hwnd, SB_SETPARTS, partCount, reinterpret_cast<LPARAM>(partEdges));
}

int StatusBar::VisibleHeight() {
  // The window's own visible bit, not IsWindowVisible: the frame lays out
  // before it is first shown, and a layout made then must already leave
  // room for the status bar.
  if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE)) return 0;
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

void StatusBar::SetText(int part, const char* text) {
  if (part < 0 || part >= partCount) return;
  SendMessageA(hwnd, SB_SETTEXTA, part | partStyles[part], reinterpret_cast<LPARAM>(text));
}

// A one-pixel 3-D frame, dark above and left, light below and right.
#pragma once

#include <windows.h>

struct SunkenFrame {
  SunkenFrame();
  void PlaceAt(const RECT& r);
  // Draws nothing until the frame has been placed.
  void Draw(HDC dc) const;

  COLORREF highlightColour;
  COLORREF shadowColour;
  int x;
  int y;
  int width;
  int height;
};

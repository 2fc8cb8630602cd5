// A font made from a LOGFONTA, with the measures taken when it was made.
#pragma once

#include <windows.h>

class TextFont {
 public:
  TextFont();
  ~TextFont();
  TextFont(const TextFont&) = delete;
  TextFont& operator=(const TextFont&) = delete;

  // Replaces the font held by one made from logFont; the measures are those
  // of the font selected in dc at the time.
  void MakeFont(HDC dc);
  // An empty face keeps the face already in logFont.
  void SetFaceAndSize(HDC dc, const char* face, int points);
  // Returns the object it replaced in dc, for the caller to put back.
  HGDIOBJ SelectInto(HDC dc);
  void ReleaseFont();

  int avgCharWidth;
  int lineHeight;
  HFONT font;
  COLORREF textColour;
  LOGFONTA logFont;
};

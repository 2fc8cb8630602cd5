// A font made from a LOGFONTA, with the measures taken when it was made;
// and the measures of the display's own font, which needs no window.
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
  // Sets dc's text colour and answers the font, for a SelectedObject.
  HGDIOBJ UseIn(HDC dc);
  void ReleaseFont();

  int avgCharWidth;
  int lineHeight;
  HFONT font;
  COLORREF textColour;
  LOGFONTA logFont;
};

// An information context on the display, for measuring text in the
// display's default font before any window exists. dc is 0 when the
// display cannot be had; the context goes with the object.
class DisplayFont {
 public:
  DisplayFont();
  ~DisplayFont();
  DisplayFont(const DisplayFont&) = delete;
  DisplayFont& operator=(const DisplayFont&) = delete;

  // 0 when there is no context or its metrics cannot be read.
  int Metrics(TEXTMETRICA* metrics) const;

  HDC dc;
};

// The display font's metrics, from a context opened and closed here; 0
// when they cannot be had.
int DisplayFontMetrics(TEXTMETRICA* metrics);

// The distance from one line to the next in a font.
int LineHeightOf(const TEXTMETRICA& metrics);

// The size of text in the font selected in dc; 0 by 0 when it cannot be
// measured.
SIZE TextExtent(HDC dc, const char* text, int length);

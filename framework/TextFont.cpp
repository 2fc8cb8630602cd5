#include "framework/TextFont.h"

#include "util/Paths.h"

namespace {
const int pointsPerInch = 72;
}

TextFont::TextFont() : avgCharWidth(0), lineHeight(0), font(0), textColour(0), logFont() {}

TextFont::~TextFont() { ReleaseFont(); }

void TextFont::MakeFont(HDC dc) {
  ReleaseFont();
  font = CreateFontIndirectA(&logFont);
  TEXTMETRICA metrics;
  if (GetTextMetricsA(dc, &metrics)) {
    avgCharWidth = metrics.tmAveCharWidth;
    lineHeight = LineHeightOf(metrics);
  }
}

void TextFont::SetFaceAndSize(HDC dc, const char* face, int points) {
  if (face && *face) copyText(logFont.lfFaceName, sizeof(logFont.lfFaceName), face);
  // A negative height asks for the character height rather than the cell's.
  logFont.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), pointsPerInch);
  MakeFont(dc);
}

HGDIOBJ TextFont::UseIn(HDC dc) {
  SetTextColor(dc, textColour);
  return font;
}

void TextFont::ReleaseFont() {
  if (!font) return;
  DeleteObject(font);
  font = 0;
}

DisplayFont::DisplayFont() : dc(CreateICA("DISPLAY", 0, 0, 0)) {}

DisplayFont::~DisplayFont() {
  if (dc) DeleteDC(dc);
}

int DisplayFont::Metrics(TEXTMETRICA* metrics) const {
  return dc && GetTextMetricsA(dc, metrics) ? 1 : 0;
}

int DisplayFontMetrics(TEXTMETRICA* metrics) {
  DisplayFont display;
  return display.Metrics(metrics);
}

int LineHeightOf(const TEXTMETRICA& metrics) {
  return metrics.tmHeight + metrics.tmExternalLeading;
}

SIZE TextExtent(HDC dc, const char* text, int length) {
  SIZE size;
  size.cx = size.cy = 0;
  GetTextExtentPoint32A(dc, text, length, &size);
  return size;
}

// The common-controls status window, split into parts whose widths are
// counted in average character widths of its font.
#pragma once

#include <windows.h>

#include "framework/Control.h"

class StatusBar : public Control {
 public:
  StatusBar();
  ~StatusBar();

  int ReserveParts(int n);
  void AddPart(int widthInChars, int styleBits);
  int CreateStatus(HWND parentWindow);
  void OnParentSize(WPARAM wParam, LPARAM lParam);
  int VisibleHeight();
  void SetText(int part, const char* text);

  HWND parent;
  int partCount;
  int* partWidths;
  int* partStyles;
  int* partEdges;
  int partsAdded;

 private:
  void FreeParts();
};

// Right edges of count parts in a status window statusWidth pixels wide: the
// last part ends count average widths short of the right end, each part i
// above 0 is widths[i] characters wide, part 0 takes what is left.
void ComputePartEdges(int count, const int* widths, int statusWidth, int avgCharWidth, int* edges);

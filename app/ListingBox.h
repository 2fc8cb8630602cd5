// The main window's list: every line painted in the colour kept as its item
// data, on the list's light yellow background.
#pragma once

#include <windows.h>

#include "framework/Control.h"

class ListingBox : public ListControl {
 public:
  void DrawItem(DRAWITEMSTRUCT* item) override;
};

// Lines up to this length are painted from a buffer on the stack; longer
// ones (registry lines reach about 520 characters) from a heap block.
const int stackLineLength = 297;

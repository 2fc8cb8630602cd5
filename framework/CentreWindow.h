// Places a window over the middle of its owner, or of the screen.
#pragma once

#include <windows.h>

// Rectangles are taken as inclusive, so each call also makes the window one
// pixel wider and taller; the new left and top never go below 0.
void CentreWindow(HWND window);

// The arithmetic of CentreWindow: where a window of the given inclusive size
// goes within area.
POINT CentredPosition(const RECT& area, int width, int height);

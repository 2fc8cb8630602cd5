// Helpers for the window tests: a counter of DefWindowProcA calls, scripted
// actions that run while a modal wait is under way, and screen reading.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Counts DefWindowProcA calls made from this executable (the framework is
// linked into it, so its import slot is ours to redirect).
struct DefProcCall {
  HWND window;
  UINT msg;
};
void InstallDefProcCounter();
std::vector<DefProcCall>& DefProcCalls();
bool DefProcReached(HWND window, UINT msg);

// Runs action once, from a thread timer, after delayMs; the timer fires from
// whatever message loop is running then (a modal wait included).
void RunSoon(std::function<void()> action, UINT delayMs = 30);

// Lets queued messages run for about ms milliseconds.
void PumpFor(DWORD ms);

// A plain visible top-level window to own message windows.
HWND MakeOwnerWindow();

// The screen pixel at a screen point.
COLORREF ScreenPixel(int x, int y);

// A window as it has painted itself, frame included, read once through its
// window DC. Coordinates are the screen's.
class WindowPixels {
 public:
  explicit WindowPixels(HWND window);
  COLORREF At(int x, int y) const;
  // The rightmost or leftmost column of part (screen coordinates) holding a
  // pixel of colour, or -1 when none does.
  int Rightmost(COLORREF colour, const RECT& part) const;
  int Leftmost(COLORREF colour, const RECT& part) const;

 private:
  RECT area;
  int width;
  std::vector<COLORREF> pixels;
};

// When STARTLULL_SHOT_DIR is set, writes the screen rectangle of window as
// a 24-bit BMP named name there, for a look by eye.
void SaveWindowShot(HWND window, const char* name);

// GDI objects alive in this process.
int LiveGdiObjects();

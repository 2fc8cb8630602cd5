// Drives a running startlull.exe from another process, the way a user
// would: its windows are found by class and title, its list is read through
// list-box messages, its buttons and dialogs are pressed with posted
// messages, and what it did is checked on the machine itself.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/TestMachine.h"

namespace e2e {

struct Line {
  std::string text;
  COLORREF colour;
  bool operator==(const Line& other) const { return text == other.text && colour == other.colour; }
};

// How a failing comparison shows a line: its colour, its length and its text.
inline void PrintTo(const Line& line, std::ostream* out) {
  *out << "{0x" << std::hex << line.colour << std::dec << ", " << line.text.size() << " chars \""
       << line.text << "\"}";
}

struct Button {
  std::string label;
  int id;
  bool enabled;
  HWND window;
};

// The program under test, started anew by each Start().
class App {
 public:
  App() = default;
  App(const App&) = delete;
  App& operator=(const App&) = delete;
  ~App();

  // Starts the executable named by STARTLULL_EXE, with the arguments given,
  // and waits for its main window and its usage text.
  void Start(const std::string& arguments = "");
  // Waits for the process to end; its exit code, or -1 after the timeout.
  int WaitForExit(DWORD milliseconds = 10000);
  bool Running();

  HWND main = 0;
  HWND list = 0;
  HWND bar = 0;
  HWND status = 0;

  std::vector<Line> Lines();
  std::vector<Button> Buttons();
  Button ButtonFor(int commandId);
  // BM_CLICK posted to the bar button of that command; true when the button
  // was found.
  bool Click(int commandId);
  // Alt together with the key, typed as real keyboard input into the main window.
  void AltKey(char key);
  // One key, typed as real keyboard input into whatever has the focus.
  void Key(WORD key);
  // A key that moves the list's selection, typed as real keyboard input,
  // then a wait only until the selection has moved (a key that moves
  // nothing costs the whole wait); the line selected after it.
  int Move(WORD key, DWORD milliseconds = 2000);
  // Real mouse input: the pointer to the middle of the list's line and that
  // button pressed and released there. False when the line is not in sight.
  bool ClickLine(int line, bool right);
  // Turns the mouse wheel over the list until the line is in sight; false
  // when it never comes.
  bool ScrollToLine(int line);
  // Real mouse input at a point of the screen.
  void ClickAt(POINT screen, bool right);
  // Moves the pointer there and waits until it stays.
  void MovePointer(POINT screen);
  // The context menu the program has open, or 0 after the wait.
  HWND WaitForMenu(DWORD milliseconds = 5000);
  // A left click on item index of an open menu of that many items (no
  // separators: its rows share the client area evenly).
  void ClickMenuItem(HWND menu, int index, int items);
  // Waits until the list has a line count other than before, then until it
  // stops changing.
  void WaitForList(int previousCount);
  // Waits until nothing is pending for the program (its queue is idle).
  void Settle();

  // A visible top-level window of the program other than the main one, by
  // class and title (null for any), or 0 after the wait.
  HWND WaitForWindow(const char* className, const char* title, DWORD milliseconds = 10000);
  HWND WaitForDialog(const char* title) { return WaitForWindow(0, title); }
  // True when no dialog of that title is left within the wait.
  bool WaitDialogGone(const char* title, DWORD milliseconds = 10000);
  // True when the window is destroyed within the wait.
  bool WaitWindowGone(HWND window, DWORD milliseconds = 10000);
  // True when the window is hidden or destroyed within the wait.
  bool WaitWindowHidden(HWND window, DWORD milliseconds = 10000);

 private:
  PROCESS_INFORMATION process = {};
};

// An environment variable's value, or "".
std::string Env(const char* name);
// A visible top-level window of the process, by class and title (null for
// any), or 0.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title);

// Which Windows the prefix reports: "win98", "win2k" or "winxp" (STARTLULL_KIND).
std::string Kind();
// Sets HKCU\Software\Wine Version for processes started after the call.
void SetWineVersion(const char* version);

// The machine, beyond the shared helpers of tests/support/TestMachine.h
std::string WindowsDir();
std::string UserName();
void WriteFileText(const std::string& path, const std::string& text);  // makes the folders
// Everything Find looks at and everything Remove and Restore leave behind,
// as text, so that two states compare with one equality: values with their
// types and bytes, files with their attributes and content.
std::string MachineState();
// Nothing starts: empty win.ini values, empty Startup folders, no run keys,
// no inactive folders, no stores of disabled entries, no boot files.
void CleanMachine();

// What the screen shows of a window's client area, taken in one copy.
class Snapshot {
 public:
  explicit Snapshot(HWND window);
  // Colour at a point in client coordinates; CLR_INVALID outside.
  COLORREF At(int x, int y) const;
  int width = 0;
  int height = 0;

 private:
  std::vector<DWORD> pixels;  // top-down rows, 0x00RRGGBB
};

}  // namespace e2e

// The object layer over Win32 windows: one window procedure for every class
// the program registers, one virtual handler per message.
#pragma once

#include <windows.h>

// The module instance; the entry point stores it before any window exists.
extern HINSTANCE appInstance;

// What window objects and control objects share. Both kinds keep their
// pointer in the window's GWL_USERDATA, so the tag says which one a pointer
// read back from a window is.
class WindowObject {
 public:
  enum Kind { WindowKind = 0x57696E64, ControlKind = 0x4374726C };

  WindowObject(const WindowObject&) = delete;
  WindowObject& operator=(const WindowObject&) = delete;

  Kind objectKind() const { return kind; }

  // The object attached to a window, or 0.
  static WindowObject* FromWindow(HWND window);
  void AttachTo(HWND window);

  HWND hwnd;
  DWORD style;
  DWORD exStyle;

 protected:
  explicit WindowObject(Kind objectKind) : hwnd(0), style(0), exStyle(0), kind(objectKind) {}
  ~WindowObject() {}

 private:
  Kind kind;
};

class WindowBase : public WindowObject {
 public:
  WindowBase();

  virtual int Create(HWND parent, int id, const char* text, int x, int y, int width, int height);
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void OnAfterDestroy();
  virtual int OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual int RegisterWindowClass() = 0;
  virtual int OnTerminate();
  virtual void OnChar(WPARAM wParam, LPARAM lParam);
  virtual void OnClose();
  virtual void OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnContextMenu(WPARAM wParam, LPARAM lParam);
  virtual int OnCreate();
  virtual HBRUSH OnCtlColorListBox(WPARAM wParam, LPARAM lParam);
  virtual void OnDestroy();
  virtual void OnDrawItem(WPARAM wParam, LPARAM lParam);
  virtual void OnDropFiles(WPARAM wParam);
  virtual void OnEndSession(WPARAM wParam, LPARAM lParam);
  virtual void OnInitMenu();
  virtual void OnKeyDown(WPARAM wParam, LPARAM lParam);
  virtual void OnKeyUp(WPARAM wParam, LPARAM lParam);
  virtual void OnKillFocus();
  virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam);
  virtual void OnLButtonUp(WPARAM wParam, LPARAM lParam);
  virtual int OnMenuSelect(WPARAM wParam, LPARAM lParam);
  virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
  virtual void OnNotify(WPARAM wParam, LPARAM lParam);
  virtual void OnPaint();
  virtual int OnQueryEndSession();
  virtual void OnRButtonDown(WPARAM wParam, LPARAM lParam);
  virtual void OnRButtonUp(WPARAM wParam, LPARAM lParam);
  virtual void OnSetFocus();
  virtual void OnSize(WPARAM wParam, LPARAM lParam);
  virtual void OnSysColorChange();
  virtual void OnSysKeyDown(WPARAM wParam, LPARAM lParam);
  virtual void OnSysKeyUp(WPARAM wParam, LPARAM lParam);
  virtual void OnTimer(WPARAM timerId);
  virtual int OnVKeyToItem(WPARAM wParam);

  int CreateWindowHandle(const char* className, HWND parent, HMENU menuOrId, const char* title,
                         int x, int y, int width, int height);
  int Destroy();

  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

 protected:
  ~WindowBase() {}

 private:
  // The steps of WindowProc; each answers 1 when it has routed the message.
  int RouteToPlainHandler(UINT msg, WPARAM wParam, LPARAM lParam);
  int RouteWithAnswer(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* answer);
  LRESULT RouteNotify(WPARAM wParam, LPARAM lParam);
};

// Dispatches whatever is queued and returns 0 once the queue is empty, or 1
// when WM_QUIT is at its head (left there for the main loop).
int PumpPendingMessages();

// Replaces a window's procedure; 0 (and no change) for a dead window or a
// null procedure.
WNDPROC SubclassWindow(HWND window, WNDPROC procedure);

// A class served by StaticWindowProc, with the 4 window extra bytes every
// framework class has (never used: the object lives in GWLP_USERDATA).
WNDCLASSA FrameworkClass(const char* className, UINT classStyle);
// Registers a class once per process; registered is that class's own flag.
// 1 when registered now, 0 when already registered or refused.
int RegisterClassOnce(int& registered, const WNDCLASSA& windowClass);

// The "Missing Create" warning of the base Create operations.
void ShowMissingCreate();

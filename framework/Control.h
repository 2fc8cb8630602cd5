// Wrappers for the standard child controls. A control object is attached to
// its window through GWL_USERDATA so notifications find their way back.
#pragma once

#include <windows.h>

#include "framework/WindowBase.h"

// Called with the control's id when the control is activated.
typedef void (*ControlHandler)(void* target, int id);

class Control : public WindowObject {
 public:
  Control();

  virtual int Create(HWND parent, int id, const char* text, int x, int y, int width, int height);
  virtual int OnCommandNotify(int code, int id);
  virtual void DrawItem(DRAWITEMSTRUCT* item);
  virtual LRESULT OnControlNotify(NMHDR* header);
  virtual void SetHandler(void* target, ControlHandler operation);
  virtual LRESULT SubclassProc(UINT msg, WPARAM wParam, LPARAM lParam);

  int CreateControl(const char* className, HWND parent, const char* text, int x, int y, int width,
                    int height);
  int NextControlId();
  // A given id of 0 means the next automatic one.
  void AssignId(int givenId);
  // A null procedure installs StaticSubclassProc.
  WNDPROC Subclass(WNDPROC procedure);

  static LRESULT CALLBACK StaticSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // The control object attached to a window, or 0 (also for window objects).
  static Control* FromControlWindow(HWND window);

  int id;
  const char* helpText;
  void* handlerTarget;
  ControlHandler handler;

 protected:
  ~Control() {}
};

class ButtonControl : public Control {
 public:
  explicit ButtonControl(int subclassOnCreate = 0);

  int Create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
  int OnCommandNotify(int code, int id) override;

  int subclassOnCreate;
  char mnemonic;
};

class ListControl : public Control {
 public:
  ListControl();

  int Create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
  int OnCommandNotify(int code, int id) override;

  int selection;
};

// Automatic control ids count up from the first; zero at start, so the
// counter takes no room in the file.
const int firstControlId = 900;
extern int controlsNumbered;
// The procedure the first subclassed control had; shared by every subclassed
// control, so they must all be of one window class.
extern WNDPROC origControlProc;

// The character after the first '&' of a label, or 0.
char MnemonicOf(const char* label);

// The strip of command buttons across the top of the frame. A click becomes
// a WM_COMMAND to the bar's parent, like a menu command or an accelerator.
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/WindowBase.h"

// Carries a button's help text up to the frame: wParam the command id,
// lParam the text. The number lies where registered window messages are
// numbered, so another program's broadcast can arrive with it: a receiver
// reads the text only when the bar says it is its own (OwnHelpText).
const UINT HelpTextMessage = 0xFA7E;

// Shown over the bar buttons; the entry point loads it.
extern HCURSOR buttonCursor;

class BarButton : public ButtonControl {
 public:
  BarButton() : ButtonControl(0) {}
  LRESULT SubclassProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class ButtonBar : public WindowBase {
 public:
  ButtonBar();
  ~ButtonBar();

  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int RegisterWindowClass() override;
  virtual int CreateBar(HWND parentWindow, int x, int y, int width, int height);

  void Reserve(int n);
  int AddButton(const char* label, int width, int commandId, int disabled, const char* helpText);
  void EnableCommand(int commandId, int enable);
  int IsCommandEnabled(int commandId);
  // The text a HelpTextMessage carries when it is the help text of this
  // bar's button for that command; 0 for anything else. The pointer is
  // compared, never read.
  const char* OwnHelpText(WPARAM commandId, LPARAM text);

  int maxButtons;
  int nextX;
  int count;
  int height;
  int* commandIds;
  BarButton* buttons;
  int visible;

 private:
  void FreeButtons();
  BarButton* ButtonFor(int commandId);
  void Paint();
  void ReflectCommand(WPARAM wParam, LPARAM lParam);
};

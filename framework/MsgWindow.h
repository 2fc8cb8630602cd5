// The program's own message box: a popup with a text of one or more lines,
// an optional icon and one to three buttons, shown modally over its owner.
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/SunkenFrame.h"
#include "framework/WindowBase.h"

// The window class of every message window, the About window's too.
inline constexpr char msgClassName[] = "CMSGCLASS";

// The size of each message button and of the icon a message window shows.
const int msgButtonWidth = 60;
const int msgButtonHeight = 30;
const int msgIconSize = 32;

// The buttons of the message window that shows; only one shows at a time.
const int maxMsgButtons = 3;
extern ButtonControl msgButtons[maxMsgButtons];
extern int msgButtonCount;
extern int focusedButton;
extern WNDPROC msgButtonProc;

LRESULT CALLBACK MsgButtonProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

class MsgWindow : public WindowBase {
 public:
  MsgWindow();

  int RegisterWindowClass() override;
  void OnClose() override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;
  int OnCreate() override;
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  void OnSetFocus() override;

  virtual void OnShown();
  virtual void OnOtherCommand(int identifier, LPARAM lParam);
  virtual void CreateButtons();
  virtual void CreateMsgWindow();

  // 1 Ok, 2 Cancel, 6 Yes, 7 No; 0 when nothing showed or the window closed
  // without a button.
  int ShowModal(HWND ownerWindow, const char* message, const char* captionText, int style,
                const char* iconName, COLORREF textColourValue, COLORREF backColourValue,
                COLORREF shadowColour);

  int running;
  HWND owner;
  HICON icon;
  int maxCharWidth;
  int lineHeight;
  int lineCount;
  int textWidth;
  int result;
  int buttonResults[maxMsgButtons];
  int boxStyle;
  COLORREF textColour;
  COLORREF backColour;
  const char* text;
  const char* caption;
  RECT textRect;
  SunkenFrame frame;

 protected:
  void FreeText();
  // The steps of ShowModal.
  int MeasureLayout(const char* message, int withIcon);
  void CopyText(const char* message);
  void RunModalLoop();
  // Each line of text centred between left and right, from y down.
  int DrawLines(HDC dc, int left, int right, int y);
};

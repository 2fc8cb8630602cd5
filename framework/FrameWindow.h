// The top-level window: a button bar across the top, a client control in
// the middle, a status bar along the bottom, and the main message loop.
#pragma once

#include <windows.h>

#include "framework/ButtonBar.h"
#include "framework/Control.h"
#include "framework/StatusBar.h"
#include "framework/WindowBase.h"

class FrameWindow : public WindowBase {
 public:
  FrameWindow();

  void OnAfterDestroy() override;
  int RegisterWindowClass() override;
  void OnClose() override;
  int OnCreate() override;
  int OnQueryEndSession() override;
  void OnSetFocus() override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;

  virtual int CanClose();
  virtual void PreRegisterClass(WNDCLASSA& windowClass);
  virtual void PreCreateWindow(CREATESTRUCTA& create);
  virtual int CustomShow();

  int CreateFrame(Control* clientControl, ButtonBar* bar, StatusBar* status);
  int CreateFrameWindow();
  void Layout();
  void Show(int showCommand);
  int LoadAccelerators(const char* tableName);
  int MessageLoop();

  HACCEL accelTable;
  int clientWidth;
  int clientHeight;
  int barHeight;
  ButtonBar* buttonBar;
  StatusBar* statusBar;
  Control* client;
};

// The bar's height for a display font of the given tmHeight.
int BarHeightFor(int fontHeight);

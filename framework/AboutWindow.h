// The round About window: a message window with a red rim, an icon, the
// text lines, an underlined link and one "&Ok" button.
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/MsgWindow.h"
#include "framework/TextFont.h"

// Opens the link for the user; owner is the About window's owner.
typedef void (*LinkOpener)(HWND owner, const char* link);

// The system's handler for the link ("open").
void OpenLinkWithShell(HWND owner, const char* link);

class AboutWindow : public MsgWindow {
 public:
  AboutWindow();

  void OnDestroy() override;
  void OnDrawItem(WPARAM wParam, LPARAM lParam) override;
  void OnPaint() override;
  void OnOtherCommand(int identifier, LPARAM lParam) override;
  void CreateButtons() override;
  void CreateMsgWindow() override;

  int linkLaidOut;
  int windowWidth;
  int windowHeight;
  RECT linkRect;
  TextFont linkFont;
  ButtonControl linkButton;
  LinkOpener openLink;

 private:
  // Makes the link font for dc and measures the link in it.
  SIZE MeasureLink(HDC dc);
  // The width at which the link fits inside the round window, or 0.
  int WidthForLink(int height);
  void LayOutLink(HDC dc, int y);
};

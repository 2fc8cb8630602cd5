#include "framework/MsgWindow.h"

#include <stdlib.h>

#include "framework/CentreWindow.h"
#include "framework/TextFont.h"
#include "framework/TextLines.h"

ButtonControl msgButtons[maxMsgButtons];
int msgButtonCount = 0;
int focusedButton = 0;
WNDPROC msgButtonProc = 0;

namespace {
const char outOfMemory[] = "Out of memory";
const DWORD captionedPopup = WS_POPUP | WS_VISIBLE | WS_CAPTION;
const COLORREF frameHighlight = 0xFFFFFF;
const int iconLeft = 16;
const int textLeftWithIcon = 64;
const int textLeftWithoutIcon = 8;
const int borderRoom = 16;
const int textTopPadding = 3;
const int textBottomPadding = 8;
// WM_NCLBUTTONDOWN needs a point; any point on the caption will do.
const LPARAM dragPoint = MAKELPARAM(5, 5);

struct ButtonLayout {
  int layout;
  int count;
  int minWidthLines;
  const char* labels[maxMsgButtons];
  int offsets[maxMsgButtons];
  int results[maxMsgButtons];
};

// The last row is the layout for every value not listed.
const ButtonLayout buttonLayouts[] = {
    {MB_OKCANCEL, 2, 10, {"&Ok", "&Cancel", 0}, {-70, 10, 0}, {IDOK, IDCANCEL, 0}},
    {MB_YESNO, 2, 10, {"&Yes", "&No", 0}, {-70, 10, 0}, {IDYES, IDNO, 0}},
    {MB_YESNOCANCEL, 3, 13, {"&Yes", "&No", "&Cancel"}, {-100, -30, 40}, {IDYES, IDNO, IDCANCEL}},
    {0, 1, 0, {"&Ok", 0, 0}, {-30, 0, 0}, {IDOK, 0, 0}},
};

const ButtonLayout& LayoutFor(int boxStyle) {
  const int last = sizeof(buttonLayouts) / sizeof(buttonLayouts[0]) - 1;
  for (int i = 0; i < last; ++i) {
    if (buttonLayouts[i].layout == (boxStyle & MB_TYPEMASK)) return buttonLayouts[i];
  }
  return buttonLayouts[last];
}

const char* SystemIconFor(int boxStyle) {
  switch (boxStyle & MB_ICONMASK) {
    case MB_ICONHAND:
      return IDI_HAND;
    case MB_ICONQUESTION:
      return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
      return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
      return IDI_ASTERISK;
    default:
      return 0;
  }
}

// The icon a message window shows, and the module it comes from: a system
// icon when the style names one, else the caller's own resource, if any.
const char* IconFor(int boxStyle, const char* iconName, HINSTANCE* module) {
  const char* systemIcon = SystemIconFor(boxStyle);
  *module = systemIcon ? 0 : appInstance;
  return systemIcon ? systemIcon : iconName;
}

int FocusIndexFor(int boxStyle) {
  switch (boxStyle & MB_DEFMASK) {
    case MB_DEFBUTTON2:
      return 1;
    case MB_DEFBUTTON3:
      return 2;
    default:
      return 0;
  }
}

void SendButtonCommand(HWND button, int index) {
  SendMessageA(GetParent(button), WM_COMMAND, static_cast<WPARAM>(msgButtons[index].id), 0);
}
}  // namespace

LRESULT CALLBACK MsgButtonProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND focus = GetFocus();
  for (int i = 0; i < msgButtonCount; ++i) {
    if (msgButtons[i].hwnd == focus) focusedButton = i;
  }
  if (msg == WM_KEYDOWN && msgButtonCount > 0) {
    switch (wParam) {
      case VK_TAB:  // Shift is not looked at: Shift+Tab also moves right
      case VK_RIGHT:
        focusedButton = (focusedButton + 1) % msgButtonCount;
        SetFocus(msgButtons[focusedButton].hwnd);
        break;
      case VK_LEFT:
        focusedButton = focusedButton - 1 < 0 ? msgButtonCount - 1 : focusedButton - 1;
        SetFocus(msgButtons[focusedButton].hwnd);
        break;
      case VK_RETURN:
        SendButtonCommand(window, focusedButton);
        break;
      default:
        // The mnemonics are capitals, which are also their letters' key codes.
        for (int i = 0; i < msgButtonCount; ++i) {
          if (msgButtons[i].mnemonic &&
              wParam == static_cast<unsigned char>(msgButtons[i].mnemonic)) {
            SendButtonCommand(window, i);
            break;
          }
        }
        break;
    }
  }
  return CallWindowProcA(msgButtonProc, window, msg, wParam, lParam);
}

MsgWindow::MsgWindow()
    : running(0), owner(0), icon(0), maxCharWidth(0), lineHeight(0), lineCount(0), textWidth(0),
      result(0), buttonResults(), boxStyle(0), textColour(0), backColour(0), text(0), caption(0),
      textRect() {
  RegisterWindowClass();
}

int MsgWindow::RegisterWindowClass() {
  static int registered = 0;
  return RegisterClassOnce(registered, FrameworkClass(msgClassName, CS_HREDRAW | CS_VREDRAW));
}

void MsgWindow::FreeText() {
  if (text && text != outOfMemory) free(const_cast<char*>(text));
  text = 0;
}

int MsgWindow::ShowModal(HWND ownerWindow, const char* message, const char* captionText, int style,
                         const char* iconName, COLORREF textColourValue, COLORREF backColourValue,
                         COLORREF shadowColour) {
  owner = ownerWindow;
  boxStyle = style;
  textColour = textColourValue;
  backColour = backColourValue;
  running = 1;
  result = 0;
  icon = 0;
  frame.highlightColour = frameHighlight;
  frame.shadowColour = shadowColour;
  caption = captionText ? captionText : "";
  if (!message) message = "";

  HINSTANCE iconModule;
  const char* iconResource = IconFor(boxStyle, iconName, &iconModule);
  // Measured before the text is copied, so a failure here has nothing to free.
  if (!MeasureLayout(message, iconResource != 0)) {
    running = 0;
    return 0;
  }
  CopyText(message);

  CreateMsgWindow();
  OnShown();
  if (iconResource) icon = LoadIconA(iconModule, iconResource);
  if (!hwnd) {
    FreeText();
    running = 0;
    return 0;
  }
  EnableWindow(owner, FALSE);
  RunModalLoop();
  return result;
}

int MsgWindow::MeasureLayout(const char* message, int withIcon) {
  DisplayFont display;
  TEXTMETRICA metrics;
  if (!display.Metrics(&metrics)) return 0;
  maxCharWidth = metrics.tmMaxCharWidth;
  lineHeight = LineHeightOf(metrics);
  lineCount = 0;
  textWidth = 0;
  TextLines lines(message);
  const char* line;
  int lineLength;
  while (lines.Next(&line, &lineLength)) {
    int width = TextExtent(display.dc, line, lineLength).cx;
    if (width > textWidth) textWidth = width;
    ++lineCount;
  }
  if (withIcon) {
    textRect.left = textLeftWithIcon;
  } else {
    int captionWidth = TextExtent(display.dc, caption, lstrlenA(caption)).cx;
    if (captionWidth > textWidth) textWidth = captionWidth;
    textRect.left = textLeftWithoutIcon;
  }
  int width = textWidth + 4 * maxCharWidth + textRect.left;
  int minWidth = LayoutFor(boxStyle).minWidthLines * lineHeight;
  textRect.right = width > minWidth ? width : minWidth;
  return 1;
}

void MsgWindow::CopyText(const char* message) {
  char* copy = static_cast<char*>(malloc(lstrlenA(message) + 2));
  if (copy) {
    lstrcpyA(copy, message);
    text = copy;
  } else {
    text = outOfMemory;
  }
}

void MsgWindow::RunModalLoop() {
  while (running) {
    if (PumpPendingMessages()) {
      // The program is ending: close, and leave WM_QUIT to the main loop.
      if (hwnd) SendMessageA(hwnd, WM_CLOSE, 0, 0);
      break;
    }
    // Gone without WM_CLOSE (destroyed with its owner): nothing will end the wait.
    if (!hwnd) break;
    // The queue is empty: sleep until something arrives instead of spinning.
    if (running) WaitMessage();
  }
  if (!hwnd) {
    EnableWindow(owner, TRUE);
    FreeText();
  }
  running = 0;
}

void MsgWindow::CreateMsgWindow() {
  textRect.top = lineHeight;
  textRect.bottom = lineHeight * (lineCount + 1) + textBottomPadding;
  int width = textRect.right + borderRoom;
  int height = lineHeight * (lineCount + 6);
  style = captionedPopup;
  RECT ownerClient = {};
  if (owner) GetClientRect(owner, &ownerClient);
  CreateWindowHandle(msgClassName, owner, 0, caption, ownerClient.right / 2 - width / 2,
                     ownerClient.bottom / 2 - height / 2, width, height);
}

void MsgWindow::OnShown() {}
void MsgWindow::OnOtherCommand(int, LPARAM) {}

void MsgWindow::CreateButtons() {
  RECT client;
  GetClientRect(hwnd, &client);
  int centre = client.right / 2;
  int top = client.bottom - 2 * lineHeight;
  const ButtonLayout& layout = LayoutFor(boxStyle);
  for (int i = 0; i < layout.count; ++i) {
    msgButtons[i].Create(hwnd, 0, layout.labels[i], centre + layout.offsets[i], top, msgButtonWidth,
                         msgButtonHeight);
    buttonResults[i] = layout.results[i];
  }
  msgButtonCount = layout.count;
}

int MsgWindow::OnCreate() {
  CreateButtons();
  focusedButton = FocusIndexFor(boxStyle);
  if (focusedButton >= msgButtonCount) focusedButton = 0;
  SetFocus(msgButtons[focusedButton].hwnd);
  msgButtonProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(msgButtons[0].hwnd, GWLP_WNDPROC));
  for (int i = 0; i < msgButtonCount; ++i) SubclassWindow(msgButtons[i].hwnd, MsgButtonProc);
  CentreWindow(hwnd);
  return 1;
}

void MsgWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != 0) return;
  int identifier = LOWORD(wParam);
  int matched = 0;
  for (int i = 0; i < msgButtonCount && !matched; ++i) {
    if (msgButtons[i].id == identifier) {
      result = buttonResults[i];
      matched = 1;
    }
  }
  if (!matched) OnOtherCommand(identifier, lParam);
  if (result) {
    // Closed through the queue: the pump handles it before the wait looks
    // at running again, so ShowModal returns after the window is gone.
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    running = 0;
  }
}

void MsgWindow::OnClose() {
  // The owner first, so activation can go back to it when this one goes.
  EnableWindow(owner, TRUE);
  Destroy();
  FreeText();
  running = 0;
}

void MsgWindow::OnLButtonDown(WPARAM, LPARAM) {
  SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, dragPoint);
}

void MsgWindow::OnSetFocus() {
  if (focusedButton < msgButtonCount) SetFocus(msgButtons[focusedButton].hwnd);
}

int MsgWindow::DrawLines(HDC dc, int left, int right, int y) {
  TextLines lines(text);
  const char* line;
  int lineLength;
  while (lines.Next(&line, &lineLength)) {
    int width = TextExtent(dc, line, lineLength).cx;
    TextOutA(dc, left + (right - left - width) / 2, y, line, lineLength);
    y += lineHeight;
  }
  return y;
}

void MsgWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  HBRUSH background = CreateSolidBrush(backColour);
  FillRect(dc, &paint.rcPaint, background);
  DeleteObject(background);
  if (icon) {
    DrawIcon(dc, iconLeft, textRect.top + (textRect.bottom - textRect.top) / 2 - msgIconSize / 2,
             icon);
    frame.PlaceAt(textRect);
    frame.Draw(dc);
  }
  SetTextColor(dc, textColour);
  SetBkColor(dc, backColour);
  DrawLines(dc, textRect.left, textRect.right, textRect.top + textTopPadding);
  EndPaint(hwnd, &paint);
}

#include "framework/ButtonBar.h"

#include <new>
#include <stdlib.h>

#include "framework/GdiObjects.h"

HCURSOR buttonCursor = 0;

namespace {
const char barClassName[] = "BtnBarClass";
const DWORD barStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
const int firstButtonX = 2;
const int buttonTop = 3;
const int buttonGap = 3;
// Three pixels above and three below each button.
const int verticalMargin = 6;
}  // namespace

LRESULT BarButton::SubclassProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETCURSOR) {
    SetCursor(buttonCursor);
    return 0;
  }
  if (msg == WM_MOUSEMOVE) {
    if (GetFocus() != hwnd) {
      SendMessageA(GetParent(hwnd), HelpTextMessage, id, reinterpret_cast<LPARAM>(helpText));
    }
    return 0;
  }
  return CallWindowProcA(origControlProc, hwnd, msg, wParam, lParam);
}

ButtonBar::ButtonBar()
    : maxButtons(0), nextX(0), count(0), height(0), commandIds(0), buttons(0), visible(1) {
  style = barStyle;
  RegisterWindowClass();
}

ButtonBar::~ButtonBar() { FreeButtons(); }

void ButtonBar::FreeButtons() {
  if (buttons) {
    for (int i = 0; i < maxButtons; ++i) buttons[i].~BarButton();
    free(buttons);
  }
  free(commandIds);
  buttons = 0;
  commandIds = 0;
  maxButtons = 0;
  count = 0;
}

int ButtonBar::RegisterWindowClass() {
  static int registered = 0;
  WNDCLASSA windowClass = FrameworkClass(barClassName, CS_BYTEALIGNWINDOW);
  // The gray class brush fills the bar between and around its buttons.
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  return RegisterClassOnce(registered, windowClass);
}

int ButtonBar::CreateBar(HWND parentWindow, int x, int y, int width, int barHeight) {
  CreateWindowHandle(barClassName, parentWindow, 0, "", x, y, width, barHeight);
  if (!hwnd) return 0;
  height = barHeight;
  ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
  return 1;
}

void ButtonBar::Reserve(int n) {
  // A second Reserve starts over rather than losing the first storage.
  FreeButtons();
  nextX = firstButtonX;
  if (n <= 0) return;
  void* storage = malloc(n * sizeof(BarButton));
  commandIds = static_cast<int*>(calloc(n, sizeof(int)));
  if (!storage || !commandIds) {
    free(storage);
    free(commandIds);
    commandIds = 0;
    return;
  }
  buttons = static_cast<BarButton*>(storage);
  for (int i = 0; i < n; ++i) new (&buttons[i]) BarButton();
  maxButtons = n;
}

int ButtonBar::AddButton(const char* label, int width, int commandId, int disabled,
                         const char* helpText) {
  if (count >= maxButtons) return 0;
  BarButton& button = buttons[count];
  button.subclassOnCreate = 1;
  button.helpText = helpText;
  if (!button.Create(hwnd, commandId, label, nextX, buttonTop, width, height - verticalMargin)) {
    return 0;
  }
  if (disabled) EnableWindow(button.hwnd, FALSE);
  commandIds[count] = commandId;
  ++count;
  nextX += width + buttonGap;
  return 1;
}

BarButton* ButtonBar::ButtonFor(int commandId) {
  for (int i = 0; i < count; ++i) {
    if (commandIds[i] == commandId) return &buttons[i];
  }
  return 0;
}

void ButtonBar::EnableCommand(int commandId, int enable) {
  BarButton* button = ButtonFor(commandId);
  if (button) EnableWindow(button->hwnd, enable);
}

int ButtonBar::IsCommandEnabled(int commandId) {
  BarButton* button = ButtonFor(commandId);
  return button && IsWindowEnabled(button->hwnd) ? 1 : 0;
}

const char* ButtonBar::OwnHelpText(WPARAM commandId, LPARAM text) {
  for (int i = 0; i < count; ++i) {
    if (static_cast<WPARAM>(commandIds[i]) != commandId) continue;
    const char* own = buttons[i].helpText;
    return own && reinterpret_cast<LPARAM>(own) == text ? own : 0;
  }
  return 0;
}

void ButtonBar::Paint() {
  RECT r;
  GetClientRect(hwnd, &r);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  {
    OwnedObject dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME)));
    OwnedObject light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    SelectedObject pen(dc, dark.object);
    MoveToEx(dc, r.left, r.bottom - 1, 0);
    LineTo(dc, r.right, r.bottom - 1);
    pen.Select(light.object);
    MoveToEx(dc, r.left, r.top, 0);
    LineTo(dc, r.right, r.top);
  }
  EndPaint(hwnd, &paint);
}

void ButtonBar::ReflectCommand(WPARAM wParam, LPARAM lParam) {
  int code = HIWORD(wParam);
  int commandId = LOWORD(wParam);
  Control* control = Control::FromControlWindow(reinterpret_cast<HWND>(lParam));
  if (control && control->OnCommandNotify(code, commandId)) return;
  if (code == BN_CLICKED) {
    SendMessageA(GetParent(hwnd), WM_COMMAND, static_cast<WPARAM>(commandId),
                 reinterpret_cast<LPARAM>(hwnd));
  }
}

LRESULT ButtonBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      if (!visible) {
        // Nothing to draw, but an update region left behind would bring
        // WM_PAINT back for ever.
        ValidateRect(hwnd, 0);
        return 0;
      }
      Paint();
      return 0;
    case WM_COMMAND:
      ReflectCommand(wParam, lParam);
      return 0;
    case HelpTextMessage:
      SendMessageA(GetParent(hwnd), HelpTextMessage, wParam, lParam);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

#include "framework/WindowBase.h"

#include "framework/Control.h"

HINSTANCE appInstance = 0;

namespace {
// Every framework class asks for them; the object lives in GWLP_USERDATA, so
// nothing reads them.
const int windowExtraBytes = 4;

// Messages whose handler takes no arguments and whose answer is 0.
struct PlainRoute {
  UINT msg;
  void (WindowBase::*handler)();
};
const PlainRoute plainRoutes[] = {
    {WM_SETFOCUS, &WindowBase::OnSetFocus},
    {WM_KILLFOCUS, &WindowBase::OnKillFocus},
    {WM_PAINT, &WindowBase::OnPaint},
    {WM_CLOSE, &WindowBase::OnClose},
    {WM_SYSCOLORCHANGE, &WindowBase::OnSysColorChange},
    {WM_INITMENU, &WindowBase::OnInitMenu},
};

// Messages whose handler takes wParam and lParam unchanged and whose answer is 0.
struct ParamsRoute {
  UINT msg;
  void (WindowBase::*handler)(WPARAM, LPARAM);
};
const ParamsRoute paramsRoutes[] = {
    {WM_SIZE, &WindowBase::OnSize},           {WM_CONTEXTMENU, &WindowBase::OnContextMenu},
    {WM_KEYDOWN, &WindowBase::OnKeyDown},     {WM_KEYUP, &WindowBase::OnKeyUp},
    {WM_CHAR, &WindowBase::OnChar},           {WM_SYSKEYDOWN, &WindowBase::OnSysKeyDown},
    {WM_SYSKEYUP, &WindowBase::OnSysKeyUp},   {WM_COMMAND, &WindowBase::OnCommand},
    {WM_MOUSEMOVE, &WindowBase::OnMouseMove}, {WM_LBUTTONDOWN, &WindowBase::OnLButtonDown},
    {WM_LBUTTONUP, &WindowBase::OnLButtonUp}, {WM_RBUTTONDOWN, &WindowBase::OnRButtonDown},
    {WM_RBUTTONUP, &WindowBase::OnRButtonUp},
};
}  // namespace

WindowObject* WindowObject::FromWindow(HWND window) {
  if (!window) return 0;
  return reinterpret_cast<WindowObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void WindowObject::AttachTo(HWND window) {
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WNDCLASSA FrameworkClass(const char* className, UINT classStyle) {
  WNDCLASSA windowClass = {};
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = WindowBase::StaticWindowProc;
  windowClass.cbWndExtra = windowExtraBytes;
  windowClass.hInstance = appInstance;
  windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
  windowClass.lpszClassName = className;
  return windowClass;
}

int RegisterClassOnce(int& registered, const WNDCLASSA& windowClass) {
  if (registered || !RegisterClassA(&windowClass)) return 0;
  registered = 1;
  return 1;
}

void ShowMissingCreate() { MessageBoxA(0, "Missing Create", "App Error", MB_ICONWARNING); }

WindowBase::WindowBase() : WindowObject(WindowKind) {}

int WindowBase::Create(HWND, int, const char*, int, int, int, int) {
  ShowMissingCreate();
  return 0;
}

void WindowBase::OnAfterDestroy() {}
int WindowBase::OnOtherMessage(UINT, WPARAM, LPARAM) { return 0; }
int WindowBase::OnTerminate() { return 0; }
void WindowBase::OnChar(WPARAM, LPARAM) {}
void WindowBase::OnClose() { Destroy(); }
void WindowBase::OnCommand(WPARAM, LPARAM) {}
void WindowBase::OnContextMenu(WPARAM, LPARAM) {}
int WindowBase::OnCreate() { return 0; }
HBRUSH WindowBase::OnCtlColorListBox(WPARAM, LPARAM) { return 0; }
void WindowBase::OnDestroy() {}
void WindowBase::OnDrawItem(WPARAM, LPARAM) {}
void WindowBase::OnDropFiles(WPARAM) {}
void WindowBase::OnEndSession(WPARAM, LPARAM) {}
void WindowBase::OnInitMenu() {}
void WindowBase::OnKeyDown(WPARAM, LPARAM) {}
void WindowBase::OnKeyUp(WPARAM, LPARAM) {}
void WindowBase::OnKillFocus() {}
void WindowBase::OnLButtonDown(WPARAM, LPARAM) {}
void WindowBase::OnLButtonUp(WPARAM, LPARAM) {}
int WindowBase::OnMenuSelect(WPARAM, LPARAM) { return 0; }
void WindowBase::OnMouseMove(WPARAM, LPARAM) {}
void WindowBase::OnNotify(WPARAM, LPARAM) {}

void WindowBase::OnPaint() {
  PAINTSTRUCT paint;
  BeginPaint(hwnd, &paint);
  EndPaint(hwnd, &paint);
}

int WindowBase::OnQueryEndSession() { return 1; }
void WindowBase::OnRButtonDown(WPARAM, LPARAM) {}
void WindowBase::OnRButtonUp(WPARAM, LPARAM) {}
void WindowBase::OnSetFocus() {}
void WindowBase::OnSize(WPARAM, LPARAM) {}
void WindowBase::OnSysColorChange() {}
void WindowBase::OnSysKeyDown(WPARAM, LPARAM) {}
void WindowBase::OnSysKeyUp(WPARAM, LPARAM) {}
void WindowBase::OnTimer(WPARAM) {}
int WindowBase::OnVKeyToItem(WPARAM) { return -1; }

LRESULT WindowBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (RouteToPlainHandler(msg, wParam, lParam)) return 0;
  LRESULT answer = 0;
  if (RouteWithAnswer(msg, wParam, lParam, &answer)) return answer;
  if (OnOtherMessage(msg, wParam, lParam)) return 0;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int WindowBase::RouteToPlainHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  for (const PlainRoute& route : plainRoutes) {
    if (route.msg != msg) continue;
    (this->*route.handler)();
    return 1;
  }
  for (const ParamsRoute& route : paramsRoutes) {
    if (route.msg != msg) continue;
    (this->*route.handler)(wParam, lParam);
    return 1;
  }
  return 0;
}

int WindowBase::RouteWithAnswer(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
  *answer = 0;
  switch (msg) {
    case WM_CREATE:
      *answer = OnCreate() ? 0 : -1;
      return 1;
    case WM_DESTROY:
      OnDestroy();
      OnTerminate();
      OnAfterDestroy();
      return 1;
    case WM_QUERYENDSESSION:
      *answer = OnQueryEndSession();
      return 1;
    case WM_ENDSESSION:
      OnEndSession(wParam, lParam);
      if (wParam) OnTerminate();
      return 1;
    case WM_DRAWITEM:
      OnDrawItem(wParam, lParam);
      *answer = 1;
      return 1;
    case WM_VKEYTOITEM:
      *answer = OnVKeyToItem(wParam);
      return 1;
    case WM_NOTIFY:
      *answer = RouteNotify(wParam, lParam);
      return 1;
    case WM_TIMER:
      OnTimer(wParam);
      return 1;
    case WM_MENUSELECT:
      OnMenuSelect(wParam, lParam);  // the handler's answer is not the message's
      return 1;
    case WM_CTLCOLORLISTBOX:
      *answer = reinterpret_cast<LRESULT>(OnCtlColorListBox(wParam, lParam));
      return 1;
    case WM_DROPFILES:
      OnDropFiles(wParam);
      return 1;
    default:
      return 0;
  }
}

LRESULT WindowBase::RouteNotify(WPARAM wParam, LPARAM lParam) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
  Control* control = header ? Control::FromControlWindow(header->hwndFrom) : 0;
  if (control) return control->OnControlNotify(header);
  OnNotify(wParam, lParam);
  return 0;
}

LRESULT CALLBACK WindowBase::StaticWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    WindowBase* object = static_cast<WindowBase*>(create->lpCreateParams);
    if (object) {
      object->AttachTo(window);
      object->hwnd = window;
    }
  }
  WindowObject* attached = WindowObject::FromWindow(window);
  if (!attached || attached->objectKind() != WindowKind) {
    return DefWindowProcA(window, msg, wParam, lParam);
  }
  WindowBase* object = static_cast<WindowBase*>(attached);
  LRESULT answer = object->WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // A window that goes with its parent never passes through Destroy; the
    // object must not keep a dead handle, or it could never create again.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (object->hwnd == window) object->hwnd = 0;
  }
  return answer;
}

int WindowBase::CreateWindowHandle(const char* className, HWND parent, HMENU menuOrId,
                                   const char* title, int x, int y, int width, int height) {
  if (!hwnd) {
    // hwnd is already set at WM_NCCREATE; a creation that OnCreate refused
    // must still leave it 0.
    hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                           appInstance, static_cast<WindowBase*>(this));
  }
  return hwnd ? 1 : 0;
}

int WindowBase::Destroy() {
  if (!DestroyWindow(hwnd)) return 0;
  hwnd = 0;
  return 1;
}

int PumpPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return 1;
    int got = GetMessageA(&message, 0, 0, 0);
    if (got == 0) {
      // A quit slipped in between the look and the take: put it back.
      PostQuitMessage(static_cast<int>(message.wParam));
      return 1;
    }
    if (got < 0) return 0;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

WNDPROC SubclassWindow(HWND window, WNDPROC procedure) {
  if (!IsWindow(window) || !procedure) return 0;
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

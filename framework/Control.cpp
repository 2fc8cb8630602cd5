#include "framework/Control.h"

int controlsNumbered;
WNDPROC origControlProc = 0;

namespace {
const DWORD buttonStyle = WS_CHILD | WS_VISIBLE;
const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL |
                        LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
}  // namespace

Control::Control() : WindowObject(ControlKind), id(0), helpText(0), handlerTarget(0), handler(0) {}

int Control::Create(HWND, int, const char*, int, int, int, int) {
  ShowMissingCreate();
  return 0;
}

int Control::OnCommandNotify(int, int) { return 0; }
void Control::DrawItem(DRAWITEMSTRUCT*) {}
LRESULT Control::OnControlNotify(NMHDR*) { return 0; }

void Control::SetHandler(void* target, ControlHandler operation) {
  handlerTarget = target;
  handler = operation;
}

LRESULT Control::SubclassProc(UINT, WPARAM, LPARAM) { return 0; }

Control* Control::FromControlWindow(HWND window) {
  WindowObject* object = WindowObject::FromWindow(window);
  if (!object || object->objectKind() != ControlKind) return 0;
  return static_cast<Control*>(object);
}

int Control::CreateControl(const char* className, HWND parent, const char* text, int x, int y,
                           int width, int height) {
  hwnd = GetDlgItem(parent, id);
  if (!hwnd) {
    hwnd = CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), appInstance, 0);
  }
  if (!hwnd) return 0;
  AttachTo(hwnd);
  return 1;
}

int Control::NextControlId() {
  id = firstControlId + controlsNumbered;
  ++controlsNumbered;
  return id;
}

void Control::AssignId(int givenId) {
  if (givenId == 0) {
    NextControlId();
  } else {
    id = givenId;
  }
}

WNDPROC Control::Subclass(WNDPROC procedure) {
  if (!procedure) procedure = StaticSubclassProc;
  WNDPROC previous = SubclassWindow(hwnd, procedure);
  if (!origControlProc) origControlProc = previous;
  return previous;
}

LRESULT CALLBACK Control::StaticSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Control* control = FromControlWindow(window);
  if (!control) {
    // Only reachable if something replaced our user data; keep the control alive.
    if (!origControlProc) return DefWindowProcA(window, msg, wParam, lParam);
    return CallWindowProcA(origControlProc, window, msg, wParam, lParam);
  }
  return control->SubclassProc(msg, wParam, lParam);
}

char MnemonicOf(const char* label) {
  if (!label) return 0;
  for (const char* c = label; *c; ++c) {
    if (*c == '&') return c[1];
  }
  return 0;
}

ButtonControl::ButtonControl(int subclassOnCreateFlag)
    : subclassOnCreate(subclassOnCreateFlag), mnemonic(0) {
  style = buttonStyle;
}

int ButtonControl::Create(HWND parent, int givenId, const char* text, int x, int y, int width,
                          int height) {
  AssignId(givenId);
  mnemonic = MnemonicOf(text);
  int created = CreateControl("BUTTON", parent, text, x, y, width, height);
  if (created && subclassOnCreate) Subclass(0);
  return created;
}

int ButtonControl::OnCommandNotify(int code, int) {
  if (code != BN_CLICKED || !handler) return 0;
  handler(handlerTarget, id);
  return 1;
}

ListControl::ListControl() : selection(0) { style = listStyle; }

int ListControl::Create(HWND parent, int givenId, const char* text, int x, int y, int width,
                        int height) {
  AssignId(givenId);
  return CreateControl("LISTBOX", parent, text, x, y, width, height);
}

int ListControl::OnCommandNotify(int code, int) {
  if (code != LBN_SELCHANGE) return 0;
  selection = static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
  if (!handler) return 0;
  handler(handlerTarget, id);
  return 1;
}

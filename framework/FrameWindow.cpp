#include "framework/FrameWindow.h"

#include <commctrl.h>

#include "framework/TextFont.h"

namespace {
const char frameClassName[] = "MainClass";
const int barPadding = 12;
const DWORD allCommonControls = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS;
const int childCount = 3;

void DeferChild(HDWP& positions, HWND child, int x, int y, int width, int height) {
  // A child not made yet is left out; a failed DeferWindowPos would throw
  // away the whole batch.
  if (!positions || !child) return;
  positions = DeferWindowPos(positions, child, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
}
}  // namespace

int BarHeightFor(int fontHeight) { return fontHeight + barPadding; }

FrameWindow::FrameWindow()
    : accelTable(0), clientWidth(0), clientHeight(0), barHeight(0), buttonBar(0), statusBar(0),
      client(0) {}

void FrameWindow::OnAfterDestroy() { PostQuitMessage(0); }

int FrameWindow::RegisterWindowClass() {
  static int registered = 0;
  if (registered) return 0;
  WNDCLASSA windowClass = FrameworkClass(frameClassName, CS_BYTEALIGNCLIENT);
  // The children cover the whole client area, so nothing is erased.
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  PreRegisterClass(windowClass);
  // The stock icon only for a window that brings none of its own: loading
  // one to throw away costs start-up time.
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconA(0, IDI_APPLICATION);
  return RegisterClassOnce(registered, windowClass);
}

void FrameWindow::OnClose() {
  if (CanClose()) Destroy();
}

int FrameWindow::OnCreate() {
  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof(controls);
  controls.dwICC = allCommonControls;
  InitCommonControlsEx(&controls);  // older comctl32 lacks it; the status bar still works
  return statusBar && statusBar->CreateStatus(hwnd) ? 1 : 0;
}

int FrameWindow::OnQueryEndSession() { return CanClose(); }

void FrameWindow::OnSetFocus() {
  if (client) SetFocus(client->hwnd);
}

void FrameWindow::OnSize(WPARAM wParam, LPARAM lParam) {
  clientWidth = LOWORD(lParam);
  clientHeight = HIWORD(lParam);
  if (statusBar) statusBar->OnParentSize(wParam, lParam);
  Layout();
}

int FrameWindow::CanClose() { return 1; }
void FrameWindow::PreRegisterClass(WNDCLASSA&) {}
void FrameWindow::PreCreateWindow(CREATESTRUCTA&) {}
int FrameWindow::CustomShow() { return 0; }

int FrameWindow::CreateFrameWindow() {
  RegisterWindowClass();  // 0 also when already registered
  CREATESTRUCTA create = {};
  create.dwExStyle = 0;
  create.lpszClass = frameClassName;
  create.lpszName = "";
  create.style = WS_OVERLAPPEDWINDOW;
  create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
  PreCreateWindow(create);
  hwnd = CreateWindowExA(create.dwExStyle, create.lpszClass, create.lpszName, create.style,
                         create.x, create.y, create.cx, create.cy, 0, 0, appInstance,
                         static_cast<WindowBase*>(this));
  return hwnd ? 1 : 0;
}

int FrameWindow::CreateFrame(Control* clientControl, ButtonBar* bar, StatusBar* status) {
  client = clientControl;
  buttonBar = bar;
  statusBar = status;
  if (!client || !buttonBar || !statusBar) return 0;
  if (!CreateFrameWindow()) return 0;

  TEXTMETRICA metrics;
  if (!DisplayFontMetrics(&metrics)) return 0;

  RECT r;
  GetClientRect(hwnd, &r);
  barHeight = BarHeightFor(metrics.tmHeight);
  if (!buttonBar->CreateBar(hwnd, 0, 0, r.right, barHeight)) return 0;
  client->exStyle = WS_EX_CLIENTEDGE;
  return client->Create(hwnd, 0, "", CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

void FrameWindow::Layout() {
  int statusHeight = statusBar ? statusBar->VisibleHeight() : 0;
  int top = buttonBar && buttonBar->visible ? barHeight : 0;
  HDWP positions = BeginDeferWindowPos(childCount);
  if (buttonBar) DeferChild(positions, buttonBar->hwnd, 0, 0, clientWidth, top);
  if (client)
    DeferChild(positions, client->hwnd, 0, top, clientWidth, clientHeight - top - statusHeight);
  if (statusBar)
    DeferChild(positions, statusBar->hwnd, 0, clientHeight - statusHeight, clientWidth,
               statusHeight);
  if (positions) EndDeferWindowPos(positions);
}

void FrameWindow::Show(int showCommand) {
  if (!CustomShow()) ShowWindow(hwnd, showCommand);
  UpdateWindow(hwnd);
}

int FrameWindow::LoadAccelerators(const char* tableName) {
  accelTable = ::LoadAcceleratorsA(appInstance, tableName);
  return accelTable ? 1 : 0;
}

int FrameWindow::MessageLoop() {
  MSG message;
  message.wParam = 0;
  while (GetMessageA(&message, 0, 0, 0) > 0) {
    if (accelTable && TranslateAcceleratorA(hwnd, accelTable, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

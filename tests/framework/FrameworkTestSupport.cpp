#include "tests/framework/FrameworkTestSupport.h"

#include <stdio.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include "framework/WindowBase.h"

namespace {
std::vector<DefProcCall> defProcCalls;
typedef LRESULT(WINAPI* DefProcType)(HWND, UINT, WPARAM, LPARAM);
DefProcType realDefWindowProc = 0;

LRESULT WINAPI CountingDefWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  DefProcCall call = {window, msg};
  defProcCalls.push_back(call);
  return realDefWindowProc(window, msg, wParam, lParam);
}

// Replaces the address of user32's DefWindowProcA in this module's import
// table, so every call the framework makes passes through the counter.
bool RedirectImport() {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(0));
  IMAGE_DOS_HEADER* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!directory.VirtualAddress) return false;
  FARPROC target = GetProcAddress(GetModuleHandleA("user32.dll"), "DefWindowProcA");
  realDefWindowProc = reinterpret_cast<DefProcType>(reinterpret_cast<void*>(target));
  bool replaced = false;
  for (IMAGE_IMPORT_DESCRIPTOR* import =
           reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       import->Name; ++import) {
    IMAGE_THUNK_DATA* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; thunk->u1.Function; ++thunk) {
      if (reinterpret_cast<FARPROC>(thunk->u1.Function) != target) continue;
      DWORD oldProtect;
      VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), PAGE_READWRITE, &oldProtect);
      thunk->u1.Function = reinterpret_cast<ULONG_PTR>(CountingDefWindowProc);
      VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), oldProtect, &oldProtect);
      replaced = true;
    }
  }
  return replaced;
}

class FrameworkEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    appInstance = GetModuleHandleA(0);
    InstallDefProcCounter();
  }
};

testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

std::function<void()> pendingAction;

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR timerId, DWORD) {
  KillTimer(0, timerId);
  std::function<void()> action;
  action.swap(pendingAction);
  if (action) action();
}

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, msg, wParam, lParam);
}
}  // namespace

void InstallDefProcCounter() {
  static bool installed = false;
  if (installed) return;
  installed = RedirectImport();
  ASSERT_TRUE(installed) << "DefWindowProcA is not imported by the test executable";
}

std::vector<DefProcCall>& DefProcCalls() { return defProcCalls; }

bool DefProcReached(HWND window, UINT msg) {
  for (size_t i = 0; i < defProcCalls.size(); ++i) {
    if (defProcCalls[i].window == window && defProcCalls[i].msg == msg) return true;
  }
  return false;
}

void RunSoon(std::function<void()> action, UINT delayMs) {
  pendingAction = action;
  SetTimer(0, 0, delayMs, RunPendingAction);
}

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  }
}

HWND MakeOwnerWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleA(0);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "FrameworkTestOwner";
    registered = RegisterClassA(&windowClass) != 0;
  }
  HWND owner = CreateWindowExA(0, "FrameworkTestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 80, 640, 480, 0, 0, GetModuleHandleA(0), 0);
  PumpFor(50);
  return owner;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(0);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(0, screen);
  return colour;
}

WindowPixels::WindowPixels(HWND window) : area(), width(0) {
  GetWindowRect(window, &area);
  width = area.right - area.left;
  int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) {
    width = 0;
    return;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = 0;
  HDC source = GetWindowDC(window);
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, 0, 0);
  HDC memory = CreateCompatibleDC(source);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD* row = static_cast<const DWORD*>(bits);
  pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    DWORD p = row[i];  // 0x00RRGGBB
    pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(window, source);
}

COLORREF WindowPixels::At(int x, int y) const {
  if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return CLR_INVALID;
  return pixels[static_cast<size_t>(y - area.top) * width + (x - area.left)];
}

int WindowPixels::Rightmost(COLORREF colour, const RECT& part) const {
  for (int x = part.right - 1; x >= part.left; --x) {
    for (int y = part.top; y < part.bottom; ++y) {
      if (At(x, y) == colour) return x;
    }
  }
  return -1;
}

int WindowPixels::Leftmost(COLORREF colour, const RECT& part) const {
  for (int x = part.left; x < part.right; ++x) {
    for (int y = part.top; y < part.bottom; ++y) {
      if (At(x, y) == colour) return x;
    }
  }
  return -1;
}

void SaveWindowShot(HWND window, const char* name) {
  const char* folder = getenv("STARTLULL_SHOT_DIR");
  if (!folder || !*folder) return;
  RECT r;
  GetWindowRect(window, &r);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = 0;
  HDC screen = GetDC(0);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, 0, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + stride * height;
  char path[MAX_PATH];
  snprintf(path, sizeof(path), "%s\\%s", folder, name);
  FILE* out = fopen(path, "wb");
  if (out) {
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
    fwrite(bits, stride, height, out);
    fclose(out);
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(0, screen);
}

int LiveGdiObjects() {
  // Wine answers GetGuiResources(GR_GDIOBJECTS) with 0, so the objects are
  // counted directly: Wine accepts a handle's table index alone (high word
  // 0) and GetObjectType names every live object.
  DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported) return static_cast<int>(reported);
  int count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
  }
  return count;
}

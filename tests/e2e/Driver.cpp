#include "Driver.h"

#include "engine/Places.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gtest/gtest.h"

namespace e2e {

namespace {

const DWORD pollStep = 50;
// A moved selection is there within a few milliseconds of the key.
const DWORD moveStep = 5;

std::string WindowText(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[128] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  if (search->className && ClassOf(window) != search->className) return TRUE;
  if (search->title && WindowText(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

void MakeFolders(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), 0);
  }
}

std::string Hex(const BYTE* data, DWORD size) {
  std::string text;
  char pair[4];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", data[i]);
    text += pair;
  }
  return text;
}

// Every value of the key and of every key below it, with its type and all
// of its bytes: a value that cannot be read whole shows as such, so that a
// value lost or cut on one side never compares equal by being left out of
// both.
void DumpKey(HKEY root, const std::string& key, std::string& out) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    out += key + ": none\n";
    return;
  }
  out += key + ":\n";
  DWORD maxName = 0, maxData = 0;
  RegQueryInfoKeyA(opened, 0, 0, 0, 0, 0, 0, 0, &maxName, &maxData, 0, 0);
  std::vector<char> name(maxName + 2);
  std::vector<BYTE> data(maxData + 2);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize, dataSize, type = 0;
    LONG result;
    for (;;) {
      nameSize = static_cast<DWORD>(name.size());
      dataSize = static_cast<DWORD>(data.size());
      result = RegEnumValueA(opened, i, name.data(), &nameSize, 0, &type, data.data(), &dataSize);
      if (result != ERROR_MORE_DATA || name.size() >= 32768) break;
      // The key changed since it was measured: room for the longest name and these data.
      name.resize(32768);
      data.resize(std::max<size_t>(data.size() * 2, dataSize + 2));
    }
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) {
      out += "  value " + std::to_string(i) + " unreadable: " + std::to_string(result) + "\n";
      break;
    }
    out += "  " + std::string(name.data(), nameSize) + " type " + std::to_string(type) + ", " +
           std::to_string(dataSize) + " bytes: " + Hex(data.data(), dataSize) + "\n";
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    char subkey[512];
    DWORD subkeySize = sizeof subkey;
    if (RegEnumKeyExA(opened, i, subkey, &subkeySize, 0, 0, 0, 0) != ERROR_SUCCESS) break;
    subkeys.push_back(subkey);
  }
  RegCloseKey(opened);
  for (const std::string& sub : subkeys) DumpKey(root, key + "\\" + sub, out);
}

std::string FolderBeside(const std::string& startup, const char* name) {
  size_t slash = startup.rfind('\\');
  return startup.substr(0, slash + 1) + name;
}

std::string InactiveBeside(const std::string& startup) {
  return FolderBeside(startup, "Startup-Inactive");
}

}  // namespace

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
  WindowSearch search = {processId, className, title, 0};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

App::~App() {
  if (process.hProcess) {
    if (Running()) TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
}

void App::Start(const std::string& arguments) {
  std::string exe = Env("STARTLULL_EXE");
  ASSERT_FALSE(exe.empty()) << "STARTLULL_EXE names the program under test";
  std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process))
      << "cannot start " << exe << ": " << GetLastError();
  for (DWORD waited = 0; waited < 20000 && !main; waited += pollStep) {
    main = FindProcessWindow(process.dwProcessId, "MainClass", 0);
    if (!main) Sleep(pollStep);
  }
  ASSERT_TRUE(main) << "no main window";
  list = FindWindowExA(main, 0, "LISTBOX", 0);
  bar = FindWindowExA(main, 0, "BtnBarClass", 0);
  status = FindWindowExA(main, 0, "msctls_statusbar32", 0);
  ASSERT_TRUE(list && bar);
  for (DWORD waited = 0; waited < 10000; waited += pollStep) {
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) >= 19) break;
    Sleep(pollStep);
  }
  Settle();
}

bool App::Running() {
  return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

int App::WaitForExit(DWORD milliseconds) {
  if (WaitForSingleObject(process.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<int>(code);
}

std::vector<Line> App::Lines() {
  std::vector<Line> lines;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Across processes LB_GETTEXT in its A form fills the buffer with UTF-16
    // under Wine; the W form is marshalled correctly. The line is taken
    // whole, however long, and converted with room for every byte.
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring wide(length > 0 ? length + 1 : 1, L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
    if (copied == LB_ERR) {
      lines.push_back({"<line " + std::to_string(i) + " unreadable>", CLR_INVALID});
      continue;
    }
    wide.resize(copied > 0 ? copied : 0);
    std::string text;
    if (!wide.empty()) {
      int bytes =
          WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), 0, 0, 0, 0);
      text.assign(bytes > 0 ? bytes : 0, '\0');
      if (bytes > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], bytes,
                            0, 0);
      }
    }
    COLORREF colour = static_cast<COLORREF>(SendMessageA(list, LB_GETITEMDATA, i, 0));
    lines.push_back({text, colour});
  }
  return lines;
}

std::vector<Button> App::Buttons() {
  std::vector<Button> buttons;
  for (HWND button = FindWindowExA(bar, 0, "BUTTON", 0); button;
       button = FindWindowExA(bar, button, "BUTTON", 0)) {
    buttons.push_back(
        {WindowText(button), GetDlgCtrlID(button), IsWindowEnabled(button) != 0, button});
  }
  std::sort(buttons.begin(), buttons.end(), [](const Button& a, const Button& b) {
    RECT ra, rb;
    GetWindowRect(a.window, &ra);
    GetWindowRect(b.window, &rb);
    return ra.left < rb.left;
  });
  return buttons;
}

Button App::ButtonFor(int commandId) {
  for (const Button& button : Buttons()) {
    if (button.id == commandId) return button;
  }
  return {"", 0, false, 0};
}

bool App::Click(int commandId) {
  Button button = ButtonFor(commandId);
  if (!button.window) return false;
  PostMessageA(button.window, BM_CLICK, 0, 0);
  Settle();
  return true;
}

void App::AltKey(char key) {
  SetForegroundWindow(main);
  Settle();
  INPUT inputs[4] = {};
  const WORD keys[4] = {VK_MENU, static_cast<WORD>(key), static_cast<WORD>(key), VK_MENU};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, inputs, sizeof(INPUT));
  Settle();
}

namespace {
// A key pressed and let go.
void Press(WORD key) {
  INPUT inputs[2] = {};
  for (int i = 0; i < 2; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = key;
    inputs[i].ki.dwFlags = i == 1 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(2, inputs, sizeof(INPUT));
}
}  // namespace

void App::Key(WORD key) {
  Press(key);
  Settle();
}

int App::Move(WORD key, DWORD milliseconds) {
  LRESULT before = SendMessageA(list, LB_GETCURSEL, 0, 0);
  Press(key);
  LRESULT now = before;
  for (DWORD waited = 0; waited < milliseconds && now == before; waited += moveStep) {
    Sleep(moveStep);
    now = SendMessageA(list, LB_GETCURSEL, 0, 0);
  }
  return static_cast<int>(now);
}

bool App::ClickLine(int line, bool right) {
  RECT row, client;
  if (SendMessageA(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) == LB_ERR) {
    return false;
  }
  GetClientRect(list, &client);
  // A row of a list scrolled sideways starts left of the list.
  LONG left = std::max(row.left, client.left);
  POINT at = {left + std::min<LONG>(60, (row.right - left) / 2), (row.top + row.bottom) / 2};
  if (at.y < client.top || at.y >= client.bottom) return false;
  ClientToScreen(list, &at);
  ClickAt(at, right);
  return true;
}

bool App::ScrollToLine(int line) {
  RECT client;
  GetClientRect(list, &client);
  POINT centre = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  ClientToScreen(list, &centre);
  for (int turn = 0; turn < 60; ++turn) {
    RECT row;
    if (SendMessageA(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) == LB_ERR) {
      return false;
    }
    if (row.top >= client.top && row.bottom <= client.bottom) return true;
    // The wheel, over the list, as a user scrolls it.
    MovePointer(centre);
    INPUT wheel = {};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = row.top < client.top ? WHEEL_DELTA : static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &wheel, sizeof(INPUT));
    Settle();
  }
  return false;
}

void App::ClickAt(POINT screen, bool right) {
  MovePointer(screen);
  INPUT buttons[2] = {};
  for (INPUT& input : buttons) input.type = INPUT_MOUSE;
  buttons[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  buttons[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, buttons, sizeof(INPUT));
}

void App::MovePointer(POINT screen) {
  // Absolute positions are in 65536ths of the screen; rounded up, each
  // lands on the pixel asked for.
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT move = {};
  move.type = INPUT_MOUSE;
  move.mi.dx = (screen.x * 65536 + width - 1) / width;
  move.mi.dy = (screen.y * 65536 + height - 1) / height;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // Under Wine the pointer is also moved on the X display, and the echo of
  // an earlier move can put it back; buttons pressed before it has stayed
  // put land elsewhere. (A press sent together with a process's very first
  // move was seen to stop all mouse input to the program.)
  POINT now = {-1, -1};
  int steady = 0;
  for (DWORD waited = 0; waited < 2000 && steady < 3; waited += moveStep * 4) {
    if (now.x != screen.x || now.y != screen.y) {
      steady = 0;
      SendInput(1, &move, sizeof(INPUT));
    }
    Sleep(moveStep * 4);
    GetCursorPos(&now);
    if (now.x == screen.x && now.y == screen.y) ++steady;
  }
}

HWND App::WaitForMenu(DWORD milliseconds) { return WaitForWindow("#32768", 0, milliseconds); }

void App::ClickMenuItem(HWND menu, int index, int items) {
  RECT client;
  GetClientRect(menu, &client);
  int rowHeight = (client.bottom - client.top) / items;
  POINT at = {(client.left + client.right) / 2, client.top + index * rowHeight + rowHeight / 2};
  ClientToScreen(menu, &at);
  ClickAt(at, false);
}

void App::WaitForList(int previousCount) {
  LRESULT count = previousCount;
  for (DWORD waited = 0; waited < 10000 && count == previousCount; waited += pollStep) {
    Sleep(pollStep);
    count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  }
  // A listing is filled with the list's redrawing off and shown when the
  // command ends, so the count's first change is not the end of it.
  for (LRESULT last = -1; count != last && Running();) {
    last = count;
    Settle();
    count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  }
}

void App::Settle() {
  // A sent message overtakes posted ones, so one round trip only proves the
  // program is alive; three, with pauses, let a posted click and the command
  // it runs go through first.
  for (int round = 0; round < 3 && Running(); ++round) {
    Sleep(pollStep);
    DWORD_PTR answer;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
  }
}

HWND App::WaitForWindow(const char* className, const char* title, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += pollStep) {
    HWND found = FindProcessWindow(process.dwProcessId, className, title);
    if (found && found != main) return found;
    Sleep(pollStep);
  }
  return 0;
}

bool App::WaitDialogGone(const char* title, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += pollStep) {
    if (!Running() || !FindProcessWindow(process.dwProcessId, 0, title)) return true;
    Sleep(pollStep);
  }
  return false;
}

bool App::WaitWindowHidden(HWND window, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += pollStep) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(pollStep);
  }
  return false;
}

bool App::WaitWindowGone(HWND window, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += pollStep) {
    if (!IsWindow(window)) return true;
    Sleep(pollStep);
  }
  return false;
}

std::string Kind() {
  std::string kind = Env("STARTLULL_KIND");
  return kind.empty() ? "winxp" : kind;
}

void SetWineVersion(const char* version) {
  machine::setString(HKEY_CURRENT_USER, "Software\\Wine", "Version", version);
}

std::string WindowsDir() {
  char path[MAX_PATH] = "";
  GetWindowsDirectoryA(path, sizeof path);
  return path;
}

std::string UserName() {
  char name[256] = "";
  DWORD size = sizeof name;
  GetUserNameA(name, &size);
  return name;
}

void WriteFileText(const std::string& path, const std::string& text) {
  size_t slash = path.rfind('\\');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  machine::writeFile(path, text);
  ASSERT_TRUE(machine::exists(path)) << path;
}

std::string MachineState() {
  std::string state = "run=" + machine::profileValue("run") + "\n";
  state += "load=" + machine::profileValue("load") + "\n";
  for (const Place& place : places)
    if (place.kind == PLACE_VALUE_LIST) {
      state += std::string(place.heading) + "\n";
      DumpKey(rootKey(place.root), place.key, state);
    }
  // What Remove and Restore never touch: Windows' own values beside them.
  DumpKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", state);
  const std::string folders[] = {machine::startupDir(), machine::commonStartupDir(),
                                 InactiveBeside(machine::startupDir()),
                                 InactiveBeside(machine::commonStartupDir())};
  for (const std::string& folder : folders) {
    state += folder + (machine::exists(folder) ? ":\n" : ": none\n");
    for (const std::string& name : machine::listDir(folder)) {
      std::string path = folder + "\\" + name;
      char attributes[16];
      std::snprintf(attributes, sizeof attributes, "%lx", GetFileAttributesA(path.c_str()));
      state += "  " + name + " (" + attributes + ") " + machine::readFile(path) + "\n";
    }
  }
  const char* const bootFiles[] = {"C:\\config.sys", "C:\\autoexec.bat", "C:\\config.hld",
                                   "C:\\autoexec.hld"};
  for (const char* file : bootFiles) {
    state += file;
    state += machine::exists(file) ? " = " + machine::readFile(file) + "\n" : " none\n";
  }
  return state;
}

void CleanMachine() {
  machine::clearOtherPlaces();
  machine::setProfileValue("run", 0);
  machine::setProfileValue("load", 0);
  machine::clearRunKeys();
  const std::string folders[] = {machine::startupDir(), machine::commonStartupDir()};
  for (const std::string& folder : folders) {
    MakeFolders(folder);
    machine::emptyDir(folder);
    machine::removeTree(InactiveBeside(folder));
    machine::removeTree(FolderBeside(folder, "Startup-Disabled"));
  }
  const char* const bootFiles[] = {"C:\\config.sys", "C:\\autoexec.bat", "C:\\config.hld",
                                   "C:\\autoexec.hld"};
  for (const char* file : bootFiles) machine::removeTree(file);
}

Snapshot::Snapshot(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  width = client.right;
  height = client.bottom;
  pixels.assign(static_cast<size_t>(width) * height, 0);
  HDC screen = GetDC(0);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = 0;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, 0, 0);
  if (bitmap && bits) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const DWORD* source = static_cast<const DWORD*>(bits);
    pixels.assign(source, source + static_cast<size_t>(width) * height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(0, screen);
}

COLORREF Snapshot::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  DWORD rgb = pixels[static_cast<size_t>(y) * width + x];
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace e2e

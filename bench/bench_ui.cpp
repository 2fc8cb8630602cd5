// The user-interface figures of scripts/bench.sh:
//
//   bench_ui.exe startup <reps> <exe> <class> <exe> <class>
//     Starts each program in turn, reps times, alternating which goes first,
//     and times process start to its main window shown and idle
//     (WaitForInputIdle, then the window of that class visible).
//     Prints "RESULT startup <median ms of the first> <median ms of the second>".
//
//   bench_ui.exe msgwindow <seconds>
//     Opens the program's message window and measures this process's CPU
//     time while it waits for that long. Prints "RESULT msgwindow <cpu ms> <wall ms>".
//
//   bench_ui.exe listing <reps> <exe> <entries per location>...
//     Seeds the machine as bench_engine.exe does and times, through the
//     program's real window, Find and Restore from the command to the
//     listing complete and painted, against the bare enumeration (or the
//     bare restore) plus a bare list of the same style filled with the same
//     lines with redrawing off, alternating which goes first. Prints
//     "RESULT winfind|winrestore <per location> <window ms> <bare ms>" (medians).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "app/Application.h"
#include "bench/BenchMachine.h"
#include "bench/BenchTiming.h"
#include "framework/MsgWindow.h"
#include "framework/WindowBase.h"
#include "resources/resource.h"
#include "tests/support/ProcessCpu.h"

using namespace bench;

namespace {

const DWORD kStartTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 10000;
// A listing filled line by line with redrawing on took minutes at scale.
const DWORD kCommandTimeoutMs = 600000;
const UINT kSettleMs = 250;

// A visible top-level window of one process, by class or by title.
struct FindContext {
  const char* className;
  DWORD processId;
  HWND found;
  const char* title;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  FindContext* context = reinterpret_cast<FindContext*>(lParam);
  char text[64];
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != context->processId || !IsWindowVisible(window)) return TRUE;
  if (context->className &&
      (!GetClassNameA(window, text, sizeof text) || lstrcmpA(text, context->className) != 0))
    return TRUE;
  if (context->title &&
      (!GetWindowTextA(window, text, sizeof text) || lstrcmpA(text, context->title) != 0))
    return TRUE;
  context->found = window;
  return FALSE;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
  FindContext context = {className, processId, NULL, title};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

void endProcess(PROCESS_INFORMATION& process) {
  if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

bool startProcess(const char* exe, PROCESS_INFORMATION& process) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
  return CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process) !=
         FALSE;
}

// The process's visible window of that class or title, or NULL when none
// shows in time. FindWindowA alone could answer a window of some other process.
HWND waitForWindow(DWORD processId, const char* className, const char* title,
                   DWORD timeoutMs = kStartTimeoutMs) {
  double start = nowMs();
  for (;;) {
    HWND found = FindProcessWindow(processId, className, title);
    if (found || nowMs() - start >= timeoutMs) return found;
    Sleep(1);
  }
}

// Milliseconds from CreateProcessA to the main window shown and idle, or a
// negative number when it did not come up.
double timeStart(const char* exe, const char* className) {
  PROCESS_INFORMATION process = {};
  double start = nowMs();
  if (!startProcess(exe, process)) return -1;
  WaitForInputIdle(process.hProcess, kStartTimeoutMs);
  HWND found = waitForWindow(process.dwProcessId, className, NULL);
  double elapsed = nowMs() - start;
  if (found) PostMessageA(found, WM_CLOSE, 0, 0);
  endProcess(process);
  return found ? elapsed : -1;
}

int benchStartup(int reps, const char* exes[2], const char* classes[2]) {
  std::vector<double> times[2];
  // One untimed start each: the first start reads every DLL from disk.
  for (int which = 0; which < 2; ++which)
    if (timeStart(exes[which], classes[which]) < 0) {
      printf("FAILED %s did not show a %s window\n", exes[which], classes[which]);
      return 1;
    }
  for (int rep = 0; rep < reps; ++rep) {
    for (int step = 0; step < 2; ++step) {
      int which = (rep + step) % 2;
      double elapsed = timeStart(exes[which], classes[which]);
      if (elapsed < 0) {
        printf("FAILED %s did not show a %s window\n", exes[which], classes[which]);
        return 1;
      }
      times[which].push_back(elapsed);
    }
  }
  printf("RESULT startup %.1f %.1f\n", median(times[0]), median(times[1]));
  return 0;
}

MsgWindow messageWindow;
ULONGLONG cpuStart, cpuEnd;
double wallStart, wallEnd;

void CALLBACK StartMeasuring(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  cpuStart = processCpuTime();
  wallStart = nowMs();
}

void CALLBACK StopMeasuring(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  cpuEnd = processCpuTime();
  wallEnd = nowMs();
  if (messageWindow.hwnd) PostMessageA(messageWindow.hwnd, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, msg, wParam, lParam);
}

int benchMessageWindow(double seconds) {
  appInstance = GetModuleHandleA(NULL);
  WNDCLASSA ownerClass = {};
  ownerClass.lpfnWndProc = OwnerProc;
  ownerClass.hInstance = appInstance;
  ownerClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  ownerClass.lpszClassName = "BenchOwner";
  RegisterClassA(&ownerClass);
  HWND owner = CreateWindowA("BenchOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                             480, NULL, NULL, appInstance, NULL);
  // Measured from a moment after it has been painted, so only the wait counts.
  SetTimer(NULL, 0, kSettleMs, StartMeasuring);
  SetTimer(NULL, 0, kSettleMs + static_cast<UINT>(seconds * 1000), StopMeasuring);
  messageWindow.ShowModal(owner, "Waiting for nothing.\r\nThis window closes by itself.",
                          "Startlull", MB_ICONEXCLAMATION, NULL, 0x000000, 0xC0C0C0, 0x808080);
  DestroyWindow(owner);
  if (wallEnd <= wallStart) {
    printf("FAILED the message window closed before the measurement ended\n");
    return 1;
  }
  printf("RESULT msgwindow %.1f %.1f\n", (cpuEnd - cpuStart) / 10000.0, wallEnd - wallStart);
  return 0;
}

// ---- the listing through the real window --------------------------------------

const char kProgramClass[] = "MainClass";
const char kSuccessTitle[] = "Success";
const int kUsageLines = 19;

// startlull.exe, running, with its main window and list.
struct Program {
  PROCESS_INFORMATION process;
  HWND main;
  HWND list;
};

// The client size of the program's list, as last seen.
RECT programListClient;

// Everything the window has waiting to be painted, painted now: the paint
// messages are sent to it, as its own UpdateWindow would, and this returns
// once it has painted.
void paintNow(HWND main) { RedrawWindow(main, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// Started, shown with its usage text, idle and painted.
Program startProgram(const char* exe) {
  Program program = {};
  if (!startProcess(exe, program.process)) fail(std::string("cannot start ") + exe);
  WaitForInputIdle(program.process.hProcess, kStartTimeoutMs);
  program.main = waitForWindow(program.process.dwProcessId, kProgramClass, NULL);
  if (program.main) program.list = FindWindowExA(program.main, NULL, "LISTBOX", NULL);
  if (!program.list) fail("startlull.exe showed no main window with a list");
  double start = nowMs();
  while (SendMessageA(program.list, LB_GETCOUNT, 0, 0) < kUsageLines &&
         nowMs() - start < kStartTimeoutMs)
    Sleep(1);
  paintNow(program.main);
  GetClientRect(program.list, &programListClient);
  return program;
}

// The listing's lines; across processes only the W form of LB_GETTEXT is
// carried whole under Wine.
std::vector<std::string> listedLines(HWND list) {
  std::vector<std::string> lines;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring wide(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
    std::string text(copied > 0 ? static_cast<size_t>(copied) : 0, '\0');
    for (size_t c = 0; c < text.size(); ++c) text[c] = static_cast<char>(wide[c]);
    lines.push_back(text);
  }
  return lines;
}

void checkListed(const Program& program, size_t expected, const char* after) {
  size_t count = static_cast<size_t>(SendMessageA(program.list, LB_GETCOUNT, 0, 0));
  if (count != expected)
    fail(std::string(after) + " listed " + std::to_string(count) + " lines, not " +
         std::to_string(expected));
}

// Find from the command to the listing complete and painted. lines, when
// given, gets what was listed.
double windowFind(const char* exe, const Paths& paths, size_t perLocation,
                  std::vector<std::string>* lines) {
  Program program = startProgram(exe);
  double start = nowMs();
  SendMessageA(program.main, WM_COMMAND, IDM_FIND, 0);
  paintNow(program.main);
  double elapsed = nowMs() - start;
  checkListed(program, findLineCount(paths, perLocation), "Find through the window");
  if (lines) *lines = listedLines(program.list);
  PostMessageA(program.main, WM_CLOSE, 0, 0);
  endProcess(program.process);
  return elapsed;
}

// Restore from the command to its listing complete and painted, with the
// Success dialog up; then "Exit" in that dialog ends the program.
double windowRestore(const char* exe, const Paths& paths, size_t perLocation,
                     std::vector<std::string>* lines) {
  Program program = startProgram(exe);
  double start = nowMs();
  PostMessageA(program.main, WM_COMMAND, IDM_RESTORE, 0);
  HWND success = waitForWindow(program.process.dwProcessId, NULL, kSuccessTitle, kCommandTimeoutMs);
  paintNow(program.main);
  double elapsed = nowMs() - start;
  if (!success) fail("Restore through the window showed no Success dialog");
  checkListed(program, findLineCount(paths, perLocation), "Restore through the window");
  if (lines) *lines = listedLines(program.list);
  PostMessageA(GetDlgItem(success, IDCANCEL), BM_CLICK, 0, 0);
  endProcess(program.process);
  checkSeeded(paths, perLocation, "Restore through the window");
  return elapsed;
}

// A list of the program's style in a window of this process, painted the
// way the program paints its rows.
HBRUSH bareBackground;

LRESULT CALLBACK BareListOwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CTLCOLORLISTBOX) {
    SetBkColor(reinterpret_cast<HDC>(wParam), listBackgroundColour);
    return reinterpret_cast<LRESULT>(bareBackground);
  }
  if (msg != WM_DRAWITEM) return DefWindowProcA(window, msg, wParam, lParam);
  const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (item->itemAction != ODA_DRAWENTIRE && item->itemAction != ODA_SELECT) return TRUE;
  std::string text(SendMessageA(item->hwndItem, LB_GETTEXTLEN, item->itemID, 0) + 1, '\0');
  SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(&text[0]));
  SetTextColor(item->hDC, static_cast<COLORREF>(item->itemData));
  RECT row = item->rcItem;
  DrawTextA(item->hDC, text.c_str(), -1, &row, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  return TRUE;
}

struct BareList {
  HWND owner;
  HWND list;
};

// The same client size as the program's list, so both paint as many rows.
BareList makeBareList(int width, int height) {
  HINSTANCE instance = GetModuleHandleA(NULL);
  bareBackground = CreateSolidBrush(listBackgroundColour);
  WNDCLASSA ownerClass = {};
  ownerClass.lpfnWndProc = BareListOwnerProc;
  ownerClass.hInstance = instance;
  ownerClass.lpszClassName = "BenchListOwner";
  RegisterClassA(&ownerClass);
  BareList bare;
  bare.owner = CreateWindowA("BenchListOwner", "Bare list", WS_OVERLAPPEDWINDOW, 0, 0, width + 64,
                             height + 64, NULL, NULL, instance, NULL);
  bare.list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", listingStyle, 0, 0, width, height,
                              bare.owner, reinterpret_cast<HMENU>(1), instance, NULL);
  if (!bare.owner || !bare.list) fail("cannot make the bare list");
  RECT client;
  GetClientRect(bare.list, &client);
  // The client edge takes its share: the list's client area is made the size asked for.
  MoveWindow(bare.list, 0, 0, 2 * width - client.right, 2 * height - client.bottom, FALSE);
  return bare;
}

// Filled as fast as a list box fills: storage reserved for every line,
// redrawing off, one paint at the end.
void fillBareList(const BareList& bare, const std::vector<std::string>& lines) {
  SendMessageA(bare.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(bare.list, LB_RESETCONTENT, 0, 0);
  SendMessageA(bare.list, LB_INITSTORAGE, lines.size(), lines.size() * 64);
  for (const std::string& line : lines) {
    LRESULT index =
        SendMessageA(bare.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(bare.list, LB_SETITEMDATA, index, 0);
  }
  SendMessageA(bare.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(bare.list, NULL, TRUE);
  UpdateWindow(bare.list);
}

struct ListingTimes {
  std::vector<double> windowFind, bareFind, windowRestore, bareRestore;
};

// A Remove from a fresh start, as the program makes it, answered OK and
// Exit: what a later Restore brings back.
void removeThroughEngine(const Paths& paths) {
  Win32Platform platform;
  RecordingHost host;
  Engine engine(platform, host);
  engine.computeLocations();
  engine.findStartupEntries();
  removeWithEngine(engine, host, paths);
}

// One repetition: Find, Remove (through the engine, untimed) and Restore
// through the window, then the bare side, in the order given.
void listingRound(const char* exe, const Paths& paths, int perLocation, const std::string& settings,
                  const std::vector<std::string> lines[2], const BareList& bare, bool bareFirst,
                  ListingTimes& times) {
  const std::vector<Value> values = valuesFor(perLocation);
  auto window = [&] {
    times.windowFind.push_back(windowFind(exe, paths, perLocation, nullptr));
    removeThroughEngine(paths);
    times.windowRestore.push_back(windowRestore(exe, paths, perLocation, nullptr));
  };
  auto bareWork = [&] {
    ShowWindow(bare.owner, SW_SHOWNOACTIVATE);
    PumpPendingMessages();
    double start = nowMs();
    if (rawFind(paths) != 10u * perLocation + paths.otherSeen) fail("the bare Find saw too little");
    fillBareList(bare, lines[0]);
    times.bareFind.push_back(nowMs() - start);
    rawRemove(paths, settings, values);
    start = nowMs();
    rawRestore(paths, values);
    fillBareList(bare, lines[1]);
    times.bareRestore.push_back(nowMs() - start);
    ShowWindow(bare.owner, SW_HIDE);
    checkSeeded(paths, perLocation, "the bare restore");
  };
  if (bareFirst) bareWork();
  window();
  if (!bareFirst) bareWork();
}

// One untimed round through the window gives the lines both sides list, the
// settings file the bare Restore reads, and the list's size.
void benchListingSize(const char* exe, const Paths& paths, int perLocation, int reps) {
  seedMachine(paths, valuesFor(perLocation), perLocation);
  std::vector<std::string> lines[2];
  windowFind(exe, paths, perLocation, &lines[0]);
  removeThroughEngine(paths);
  std::string settings = readWhole(paths.settings);
  windowRestore(exe, paths, perLocation, &lines[1]);

  static BareList bare = {};
  if (!bare.owner) bare = makeBareList(programListClient.right, programListClient.bottom);
  fillBareList(bare, lines[0]);  // the first fill also loads what drawing needs
  ListingTimes times;
  for (int rep = 0; rep < reps; ++rep)
    listingRound(exe, paths, perLocation, settings, lines, bare, rep % 2 != 0, times);
  printf("RESULT winfind %d %.2f %.2f\n", perLocation, median(times.windowFind),
         median(times.bareFind));
  printf("RESULT winrestore %d %.2f %.2f\n", perLocation, median(times.windowRestore),
         median(times.bareRestore));
  fflush(stdout);
  clearMachine(paths);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && lstrcmpA(argv[1], "startup") == 0) {
    const char* exes[2] = {argv[3], argv[5]};
    const char* classes[2] = {argv[4], argv[6]};
    return benchStartup(atoi(argv[2]), exes, classes);
  }
  if (argc == 3 && lstrcmpA(argv[1], "msgwindow") == 0) return benchMessageWindow(atof(argv[2]));
  if (argc >= 5 && lstrcmpA(argv[1], "listing") == 0) {
    Win32Platform platform;
    Paths paths = machinePaths(platform);
    for (int i = 4; i < argc; ++i) benchListingSize(argv[3], paths, atoi(argv[i]), atoi(argv[2]));
    clearOtherPlaces();
    return 0;
  }
  fprintf(stderr,
          "usage: bench_ui.exe startup <reps> <exe> <class> <exe> <class>\n"
          "       bench_ui.exe msgwindow <seconds>\n"
          "       bench_ui.exe listing <reps> <exe> <entries per location>...\n");
  return 2;
}

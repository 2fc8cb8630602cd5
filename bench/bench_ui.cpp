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
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <vector>

#include "bench/BenchTiming.h"
#include "framework/MsgWindow.h"
#include "framework/WindowBase.h"
#include "tests/support/ProcessCpu.h"

namespace {

const DWORD kStartTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 10000;
const UINT kSettleMs = 250;

struct FindContext {
  const char* className;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  FindContext* context = reinterpret_cast<FindContext*>(lParam);
  char name[64];
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != context->processId || !GetClassNameA(window, name, sizeof name) ||
      lstrcmpA(name, context->className) != 0 || !IsWindowVisible(window))
    return TRUE;
  context->found = window;
  return FALSE;
}

// Milliseconds from CreateProcessA to the main window shown and idle, or a
// negative number when it did not come up.
double timeStart(const char* exe, const char* className) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
  double start = nowMs();
  if (!CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return -1;
  WaitForInputIdle(process.hProcess, kStartTimeoutMs);
  // FindWindowA alone could answer a window of some other process.
  FindContext context = {className, process.dwProcessId, NULL};
  while (!context.found && nowMs() - start < kStartTimeoutMs) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&context));
    if (!context.found) Sleep(1);
  }
  double elapsed = nowMs() - start;
  if (context.found) PostMessageA(context.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return context.found ? elapsed : -1;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && lstrcmpA(argv[1], "startup") == 0) {
    const char* exes[2] = {argv[3], argv[5]};
    const char* classes[2] = {argv[4], argv[6]};
    return benchStartup(atoi(argv[2]), exes, classes);
  }
  if (argc == 3 && lstrcmpA(argv[1], "msgwindow") == 0) return benchMessageWindow(atof(argv[2]));
  fprintf(stderr,
          "usage: bench_ui.exe startup <reps> <exe> <class> <exe> <class>\n"
          "       bench_ui.exe msgwindow <seconds>\n");
  return 2;
}

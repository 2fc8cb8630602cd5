// The program's entry point, in place of the C runtime's start-up code
// (linked with -nostartfiles). That code serves what this program does not
// use: argv and wildcards, thread-local data, pseudo relocations, signal
// handlers behind an unhandled-exception filter, the maths error hook and the
// registration of unwind tables; with it went about 10 KB. What remains is
// what WinMain and the process-wide objects rely on: the C runtime told it is
// a GUI program, the FPU reset, the static constructors, then WinMain and
// exit, as that code did them.
#include <stdlib.h>
#include <windows.h>

#include <cstddef>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand);

extern "C" {
// The image's own header: the module handle WinMain is given.
extern IMAGE_DOS_HEADER __ImageBase;

// The linker script lays out each list as -1, the functions, 0.
typedef void (*StaticFunction)();
extern StaticFunction __CTOR_LIST__[];
extern StaticFunction __DTOR_LIST__[];

// msvcrt's: which kind of program reports its runtime errors (2: in a
// message box).
void __cdecl __set_app_type(int type);
// msvcrt's copy of the command line, which the runtime passed on.
char** __cdecl __p__acmdln();
}

namespace {

const int guiApp = 2;

void RunStaticDestructors() {
  for (StaticFunction* destructor = __DTOR_LIST__ + 1; *destructor; ++destructor) (*destructor)();
}

// Constructors run last to first, as the compiler's own __main runs them.
void RunStaticConstructors() {
  int count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
  atexit(RunStaticDestructors);
}

// What follows the program's name on its command line, as the runtime hands
// it to WinMain: a name in quotes may hold spaces.
LPSTR ArgumentsOf(LPSTR line) {
  bool quoted = false;
  while (*line > ' ' || (*line && quoted)) {
    if (*line == '"') quoted = !quoted;
    ++line;
  }
  while (*line && *line <= ' ') ++line;
  return line;
}

}  // namespace

// The destructors of static objects are queued through msvcrt's _onexit, as
// the runtime's own atexit for an exe does; msvcrt's exit runs them.
extern "C" int __cdecl atexit(void(__cdecl* function)()) {
  return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

// libstdc++'s operator delete is free() too; this one comes without its
// unwind table.
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }

// The runtime's start-up realigned the stack to 16 bytes here; the program is
// built for the 4 that 32-bit Windows promises (-mpreferred-stack-boundary=2),
// so its first call would undo that anyway.
extern "C" __attribute__((noreturn)) void WinMainCRTStartup() {
  __set_app_type(guiApp);
  // The runtime's _fpreset: the FPU in its power-on state, 64-bit precision.
  __asm__ __volatile__("fninit");
  RunStaticConstructors();
  STARTUPINFOA startup;
  GetStartupInfoA(&startup);
  int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  exit(WinMain(reinterpret_cast<HINSTANCE>(&__ImageBase), nullptr, ArgumentsOf(*__p__acmdln()),
               showCommand));
}

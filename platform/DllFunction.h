// A function of a DLL the program does not import, found the first time it
// is needed, so the DLL loads only when a command uses it and start-up stays
// short. Declare one as a function-local static: its constructor is
// constexpr, so the static is ready before the program runs, with no
// initialisation guard from the C++ library. LoadLibraryA and GetProcAddress
// are Windows 95's own, and a missing DLL or function is tried again on the
// next call (null until then).
#pragma once

#include <windows.h>

template <typename Function>
class DllFunction {
 public:
  constexpr DllFunction(const char* dll, const char* name)
      : dll_(dll), name_(name), function_(nullptr) {}

  Function get() {
    if (!function_) {
      HMODULE module = LoadLibraryA(dll_);
      // Through void*: a FARPROC converts to another function pointer type
      // only with a cast GCC warns about.
      if (module)
        function_ =
            reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name_)));
    }
    return function_;
  }

 private:
  const char* dll_;
  const char* name_;
  Function function_;
};

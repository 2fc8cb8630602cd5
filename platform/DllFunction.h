// A function of a DLL the program does not import, found the first time it
// is needed, so the DLL loads only when a command uses it and start-up stays
// short. Declare one as a function-local static: it is all zero until found,
// so the static takes no room in the file and needs no initialisation guard
// from the C++ library. LoadLibraryA and GetProcAddress are Windows 95's own,
// and a missing DLL or function is tried again on the next call (null until
// then).
#pragma once

#include <windows.h>

template <typename Function>
class DllFunction {
 public:
  // Each call names the same DLL and function.
  Function get(const char* dll, const char* name) {
    if (!function_) {
      HMODULE module = LoadLibraryA(dll);
      // Through void*: a FARPROC converts to another function pointer type
      // only with a cast GCC warns about.
      if (module)
        function_ =
            reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    return function_;
  }

 private:
  Function function_ = nullptr;
};

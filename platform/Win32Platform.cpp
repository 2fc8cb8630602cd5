#include "platform/Platform.h"

#include <windows.h>

#include "platform/DllFunction.h"

// RegQueryInfoKeyA has no Win32 function of the platform's shape: this
// overload gives it one, so every linked member below forwards alike to
// ::name. (It stands in the global namespace because a qualified ::name does
// not look into an unnamed one where the global namespace already declares
// that name.)
static LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,
                             DWORD* maxValueNameLength, DWORD* maxValueLength) {
  return ::RegQueryInfoKeyA(key, NULL, NULL, NULL, subKeys, maxSubKeyLength, NULL, values,
                            maxValueNameLength, maxValueLength, NULL, NULL);
}

#define PLATFORM_FORWARD_CALL(result, name, parameters, arguments) \
  result Win32Platform::name parameters { return ::name arguments; }
PLATFORM_LINKED_CALLS(PLATFORM_FORWARD_CALL)
#undef PLATFORM_FORWARD_CALL

// One copy of the finding for every loaded call (the program's size is
// counted); each call casts the address to its own type.
static void* findLoaded(DllFunction<void*>& function, const char* dll, const char* name) {
  void* found = function.get(dll, name);
  if (!found) ::SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

// A DLL or function that is not there fails the call as Windows would fail
// it, with the last error saying why.
#define PLATFORM_LOAD_CALL(X, dll, result, name, parameters, arguments, missing)            \
  result Win32Platform::name parameters {                                                   \
    static DllFunction<void*> function;                                                     \
    void* found = findLoaded(function, dll, #name);                                         \
    return found ? reinterpret_cast<result(WINAPI*) parameters>(found) arguments : missing; \
  }
PLATFORM_LOADED_CALLS(PLATFORM_LOAD_CALL, )
#undef PLATFORM_LOAD_CALL

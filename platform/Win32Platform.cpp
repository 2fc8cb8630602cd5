#include "platform/Platform.h"

#include <windows.h>

#include "platform/DllFunction.h"

// Two calls have no Win32 function of the platform's shape: these overloads
// give them one, so every member below forwards alike to ::name. (They stand
// in the global namespace because a qualified ::name does not look into an
// unnamed one where the global namespace already declares that name.)
static LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,
                             DWORD* maxValueNameLength, DWORD* maxValueLength) {
  return ::RegQueryInfoKeyA(key, NULL, NULL, NULL, subKeys, maxSubKeyLength, NULL, values,
                            maxValueNameLength, maxValueLength, NULL, NULL);
}

static LONG SHDeleteKeyA(HKEY root, const char* subKey) {
  // SHLWAPI is loaded on first use, by Remove: the program starts faster without it.
  static DllFunction<LONG(WINAPI*)(HKEY, const char*)> deleteKey("shlwapi.dll", "SHDeleteKeyA");
  auto found = deleteKey.get();
  return found ? found(root, subKey) : ERROR_CALL_NOT_IMPLEMENTED;
}

#define PLATFORM_FORWARD_CALL(result, name, parameters, arguments) \
  result Win32Platform::name parameters { return ::name arguments; }
PLATFORM_CALLS(PLATFORM_FORWARD_CALL)
#undef PLATFORM_FORWARD_CALL

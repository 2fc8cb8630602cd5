// Every call the engine makes to the operating system, once:
//   X(result type, name, (parameters), (arguments))
// Expanded into the Platform interface, the Win32 forwarder and the tests'
// fault-injecting wrapper, so a new call is one line here (and, in the
// wrapper, a line saying how it is recorded and how it fails).
// RegQueryInfoKeyA leaves out the parameters the engine never uses.
#pragma once

#include <windows.h>
#include <objbase.h>

// The list is laid out by hand, a call to a row or two.
// clang-format off
#define PLATFORM_LINKED_CALLS(X)                                                                   \
  /* System */                                                                                     \
  X(BOOL, GetVersionExA, (OSVERSIONINFOA* info), (info))                                           \
  X(UINT, GetWindowsDirectoryA, (char* buffer, UINT size), (buffer, size))                         \
  X(BOOL, GetUserNameA, (char* buffer, DWORD* size), (buffer, size))                               \
  X(void, GetLocalTime, (SYSTEMTIME* time), (time))                                                \
  X(UINT, GetSystemDirectoryA, (char* buffer, UINT size), (buffer, size))                         \
  X(DWORD, GetEnvironmentVariableA, (const char* name, char* buffer, DWORD size),                  \
    (name, buffer, size))                                                                          \
  X(DWORD, ExpandEnvironmentStringsA, (const char* source, char* buffer, DWORD size),              \
    (source, buffer, size))                                                                        \
  X(int, MultiByteToWideChar,                                                                      \
    (UINT codePage, DWORD flags, const char* text, int length, WCHAR* wide, int wideSize),         \
    (codePage, flags, text, length, wide, wideSize))                                               \
  X(int, WideCharToMultiByte,                                                                      \
    (UINT codePage, DWORD flags, const WCHAR* wide, int wideLength, char* text, int size,          \
     const char* fallback, BOOL* usedFallback),                                                    \
    (codePage, flags, wide, wideLength, text, size, fallback, usedFallback))                       \
  X(DWORD, GetLastError, (), ())                                                                   \
  X(DWORD, FormatMessageA,                                                                         \
    (DWORD flags, const void* source, DWORD messageId, DWORD languageId, char* buffer,             \
     DWORD size, va_list* arguments),                                                              \
    (flags, source, messageId, languageId, buffer, size, arguments))                               \
  X(void, SetLastError, (DWORD error), (error))                                                    \
  /* Waiting for another process to let go of a store */                                        \
  X(void, Sleep, (DWORD milliseconds), (milliseconds))                                             \
  X(DWORD, GetTickCount, (), ())                                                                   \
  X(int, lstrcmpiA, (const char* first, const char* second), (first, second))                      \
  /* win.ini and ini files */                                                                      \
  X(DWORD, GetProfileStringA,                                                                      \
    (const char* section, const char* key, const char* fallback, char* buffer, DWORD size),        \
    (section, key, fallback, buffer, size))                                                        \
  X(BOOL, WriteProfileStringA, (const char* section, const char* key, const char* value),          \
    (section, key, value))                                                                         \
  X(DWORD, GetPrivateProfileStringA,                                                               \
    (const char* section, const char* key, const char* fallback, char* buffer, DWORD size,         \
     const char* path),                                                                            \
    (section, key, fallback, buffer, size, path))                                                  \
  /* Registry */                                                                                   \
  X(LONG, RegOpenKeyExA,                                                                           \
    (HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key),                      \
    (root, subKey, options, access, key))                                                          \
  X(LONG, RegCreateKeyExA,                                                                         \
    (HKEY root, const char* subKey, DWORD reserved, char* keyClass, DWORD options,                 \
     REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* key, DWORD* disposition),                 \
    (root, subKey, reserved, keyClass, options, access, security, key, disposition))               \
  X(LONG, RegCloseKey, (HKEY key), (key))                                                          \
  X(LONG, RegQueryInfoKeyA,                                                                        \
    (HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,                              \
     DWORD* maxValueNameLength, DWORD* maxValueLength),                                            \
    (key, subKeys, maxSubKeyLength, values, maxValueNameLength, maxValueLength))                   \
  X(LONG, RegEnumValueA,                                                                           \
    (HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type,             \
     BYTE* data, DWORD* dataSize),                                                                 \
    (key, index, name, nameSize, reserved, type, data, dataSize))                                  \
  X(LONG, RegEnumKeyExA,                                                                           \
    (HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* keyClass,          \
     DWORD* classSize, FILETIME* lastWrite),                                                       \
    (key, index, name, nameSize, reserved, keyClass, classSize, lastWrite))                        \
  X(LONG, RegQueryValueExA,                                                                        \
    (HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize),       \
    (key, name, reserved, type, data, dataSize))                                                   \
  X(LONG, RegSetValueExA,                                                                          \
    (HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,                     \
     DWORD dataSize),                                                                              \
    (key, name, reserved, type, data, dataSize))                                                   \
  X(LONG, RegDeleteValueA, (HKEY key, const char* name), (key, name))                              \
  /* Files and folders */                                                                          \
  X(HANDLE, FindFirstFileA, (const char* pattern, WIN32_FIND_DATAA* found), (pattern, found))      \
  X(BOOL, FindNextFileA, (HANDLE search, WIN32_FIND_DATAA* found), (search, found))                \
  X(BOOL, FindClose, (HANDLE search), (search))                                                    \
  X(BOOL, CreateDirectoryA, (const char* path, SECURITY_ATTRIBUTES* security),                     \
    (path, security))                                                                              \
  X(BOOL, RemoveDirectoryA, (const char* path), (path))                                            \
  X(BOOL, MoveFileA, (const char* from, const char* to), (from, to))                               \
  X(BOOL, CopyFileA, (const char* from, const char* to, BOOL failIfExists),                        \
    (from, to, failIfExists))                                                                      \
  X(BOOL, DeleteFileA, (const char* path), (path))                                                 \
  X(BOOL, SetFileAttributesA, (const char* path, DWORD attributes), (path, attributes))            \
  X(DWORD, GetFileAttributesA, (const char* path), (path))                                         \
  X(HANDLE, CreateFileA,                                                                           \
    (const char* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,                   \
     DWORD disposition, DWORD flags, HANDLE templateFile),                                         \
    (path, access, share, security, disposition, flags, templateFile))                             \
  X(BOOL, ReadFile,                                                                                \
    (HANDLE file, void* buffer, DWORD size, DWORD* read, OVERLAPPED* overlapped),                  \
    (file, buffer, size, read, overlapped))                                                        \
  X(BOOL, WriteFile,                                                                               \
    (HANDLE file, const void* buffer, DWORD size, DWORD* written, OVERLAPPED* overlapped),         \
    (file, buffer, size, written, overlapped))                                                     \
  X(BOOL, FlushFileBuffers, (HANDLE file), (file))                                                 \
  X(DWORD, GetFileSize, (HANDLE file, DWORD* high), (file, high))                                  \
  X(BOOL, CloseHandle, (HANDLE handle), (handle))                                                  \
  /* Restart */                                                                                    \
  X(HANDLE, GetCurrentProcess, (), ())                                                             \
  X(BOOL, OpenProcessToken, (HANDLE process, DWORD access, HANDLE* token),                         \
    (process, access, token))                                                                      \
  X(BOOL, LookupPrivilegeValueA, (const char* system, const char* name, LUID* luid),               \
    (system, name, luid))                                                                          \
  X(BOOL, AdjustTokenPrivileges,                                                                   \
    (HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD size,                           \
     TOKEN_PRIVILEGES* previous, DWORD* returned),                                                 \
    (token, disableAll, state, size, previous, returned))                                          \
  X(BOOL, ExitWindowsEx, (UINT flags, DWORD reason), (flags, reason))                              \
  /* The list's background brush is made once at start with the locations. */                      \
  X(HBRUSH, CreateSolidBrush, (COLORREF colour), (colour))

// Calls of DLLs the program does not import: each is found the first time
// it is made (DllFunction), so a DLL loads only when a command needs it and
// start-up stays short. One row a call:
//   L(X, dll, result type, name, (parameters), (arguments), result when the
//     DLL or the function is missing)
// X passes through for PLATFORM_CALLS; the Win32 forwarder uses the rest.
#define PLATFORM_LOADED_CALLS(L, X)                                                                \
  /* Remove deletes whole keys */                                                                  \
  L(X, "shlwapi.dll", LONG, SHDeleteKeyA, (HKEY root, const char* subKey), (root, subKey),         \
    ERROR_CALL_NOT_IMPLEMENTED)                                                                    \
  /* The program check: version resources and shortcuts */                                        \
  L(X, "version.dll", DWORD, GetFileVersionInfoSizeA, (const char* path, DWORD* handle),           \
    (path, handle), 0)                                                                             \
  L(X, "version.dll", BOOL, GetFileVersionInfoA,                                                   \
    (const char* path, DWORD handle, DWORD size, void* data), (path, handle, size, data), FALSE)   \
  L(X, "version.dll", BOOL, VerQueryValueA,                                                        \
    (const void* block, const char* subBlock, void** value, UINT* length),                         \
    (block, subBlock, value, length), FALSE)                                                       \
  L(X, "ole32.dll", HRESULT, CoInitialize, (void* reserved), (reserved),                           \
    HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND))                                                      \
  L(X, "ole32.dll", HRESULT, CoCreateInstance,                                                     \
    (REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId, void** object),         \
    (classId, outer, context, interfaceId, object), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND))

#define PLATFORM_LOADED_AS_CALL(X, dll, result, name, parameters, arguments, missing) \
  X(result, name, parameters, arguments)
#define PLATFORM_CALLS(X) PLATFORM_LINKED_CALLS(X) PLATFORM_LOADED_CALLS(PLATFORM_LOADED_AS_CALL, X)
// clang-format on

#include "platform/Platform.h"

#include <windows.h>

BOOL Win32Platform::GetVersionExA(OSVERSIONINFOA* info) { return ::GetVersionExA(info); }
UINT Win32Platform::GetWindowsDirectoryA(char* buffer, UINT size) {
  return ::GetWindowsDirectoryA(buffer, size);
}
BOOL Win32Platform::GetUserNameA(char* buffer, DWORD* size) { return ::GetUserNameA(buffer, size); }
void Win32Platform::GetLocalTime(SYSTEMTIME* time) { ::GetLocalTime(time); }
DWORD Win32Platform::GetLastError() { return ::GetLastError(); }
void Win32Platform::SetLastError(DWORD error) { ::SetLastError(error); }

DWORD Win32Platform::GetProfileStringA(const char* section, const char* key, const char* fallback,
                                       char* buffer, DWORD size) {
  return ::GetProfileStringA(section, key, fallback, buffer, size);
}
BOOL Win32Platform::WriteProfileStringA(const char* section, const char* key, const char* value) {
  return ::WriteProfileStringA(section, key, value);
}
DWORD Win32Platform::GetPrivateProfileStringA(const char* section, const char* key,
                                              const char* fallback, char* buffer, DWORD size,
                                              const char* path) {
  return ::GetPrivateProfileStringA(section, key, fallback, buffer, size, path);
}

LONG Win32Platform::RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access,
                                  HKEY* key) {
  return ::RegOpenKeyExA(root, subKey, options, access, key);
}
LONG Win32Platform::RegCreateKeyExA(HKEY root, const char* subKey, DWORD reserved, char* keyClass,
                                    DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security,
                                    HKEY* key, DWORD* disposition) {
  return ::RegCreateKeyExA(root, subKey, reserved, keyClass, options, access, security, key,
                           disposition);
}
LONG Win32Platform::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }
LONG Win32Platform::RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength,
                                     DWORD* values, DWORD* maxValueNameLength,
                                     DWORD* maxValueLength) {
  return ::RegQueryInfoKeyA(key, NULL, NULL, NULL, subKeys, maxSubKeyLength, NULL, values,
                            maxValueNameLength, maxValueLength, NULL, NULL);
}
LONG Win32Platform::RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize,
                                  DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
  return ::RegEnumValueA(key, index, name, nameSize, reserved, type, data, dataSize);
}
LONG Win32Platform::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize,
                                  DWORD* reserved, char* keyClass, DWORD* classSize,
                                  FILETIME* lastWrite) {
  return ::RegEnumKeyExA(key, index, name, nameSize, reserved, keyClass, classSize, lastWrite);
}
LONG Win32Platform::RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type,
                                     BYTE* data, DWORD* dataSize) {
  return ::RegQueryValueExA(key, name, reserved, type, data, dataSize);
}
LONG Win32Platform::RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type,
                                   const BYTE* data, DWORD dataSize) {
  return ::RegSetValueExA(key, name, reserved, type, data, dataSize);
}
LONG Win32Platform::RegDeleteValueA(HKEY key, const char* name) {
  return ::RegDeleteValueA(key, name);
}
LONG Win32Platform::SHDeleteKeyA(HKEY root, const char* subKey) {
  // SHLWAPI is loaded on first use, by Remove: the program starts faster without it.
  typedef LONG(WINAPI * DeleteKeyProc)(HKEY, const char*);
  static DeleteKeyProc deleteKey = nullptr;
  if (!deleteKey) {
    HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
    if (shlwapi)
      deleteKey = reinterpret_cast<DeleteKeyProc>(
          reinterpret_cast<void*>(GetProcAddress(shlwapi, "SHDeleteKeyA")));
  }
  return deleteKey ? deleteKey(root, subKey) : ERROR_CALL_NOT_IMPLEMENTED;
}

HANDLE Win32Platform::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) {
  return ::FindFirstFileA(pattern, found);
}
BOOL Win32Platform::FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) {
  return ::FindNextFileA(search, found);
}
BOOL Win32Platform::FindClose(HANDLE search) { return ::FindClose(search); }
BOOL Win32Platform::CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* security) {
  return ::CreateDirectoryA(path, security);
}
BOOL Win32Platform::RemoveDirectoryA(const char* path) { return ::RemoveDirectoryA(path); }
BOOL Win32Platform::MoveFileA(const char* from, const char* to) { return ::MoveFileA(from, to); }
BOOL Win32Platform::CopyFileA(const char* from, const char* to, BOOL failIfExists) {
  return ::CopyFileA(from, to, failIfExists);
}
BOOL Win32Platform::DeleteFileA(const char* path) { return ::DeleteFileA(path); }
BOOL Win32Platform::SetFileAttributesA(const char* path, DWORD attributes) {
  return ::SetFileAttributesA(path, attributes);
}
DWORD Win32Platform::GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }
HANDLE Win32Platform::CreateFileA(const char* path, DWORD access, DWORD share,
                                  SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                                  HANDLE templateFile) {
  return ::CreateFileA(path, access, share, security, disposition, flags, templateFile);
}
BOOL Win32Platform::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read,
                             OVERLAPPED* overlapped) {
  return ::ReadFile(file, buffer, size, read, overlapped);
}
BOOL Win32Platform::WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written,
                              OVERLAPPED* overlapped) {
  return ::WriteFile(file, buffer, size, written, overlapped);
}
BOOL Win32Platform::FlushFileBuffers(HANDLE file) { return ::FlushFileBuffers(file); }
DWORD Win32Platform::GetFileSize(HANDLE file, DWORD* high) { return ::GetFileSize(file, high); }
BOOL Win32Platform::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

HANDLE Win32Platform::GetCurrentProcess() { return ::GetCurrentProcess(); }
BOOL Win32Platform::OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
  return ::OpenProcessToken(process, access, token);
}
BOOL Win32Platform::LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) {
  return ::LookupPrivilegeValueA(system, name, luid);
}
BOOL Win32Platform::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                          DWORD size, TOKEN_PRIVILEGES* previous,
                                          DWORD* returned) {
  return ::AdjustTokenPrivileges(token, disableAll, state, size, previous, returned);
}
BOOL Win32Platform::ExitWindowsEx(UINT flags, DWORD reason) {
  return ::ExitWindowsEx(flags, reason);
}
HBRUSH Win32Platform::CreateSolidBrush(COLORREF colour) { return ::CreateSolidBrush(colour); }

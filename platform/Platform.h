// The engine's only way to the operating system. Every call keeps the
// signature and the meaning of the Win32 function of the same name, so the
// engine reads like plain Win32 code; tests wrap one Platform in another to
// make a chosen call fail while the rest run for real.
#pragma once

#include <windows.h>

class Platform {
 public:
  virtual ~Platform() {}

  // System
  virtual BOOL GetVersionExA(OSVERSIONINFOA* info) = 0;
  virtual UINT GetWindowsDirectoryA(char* buffer, UINT size) = 0;
  virtual BOOL GetUserNameA(char* buffer, DWORD* size) = 0;
  virtual void GetLocalTime(SYSTEMTIME* time) = 0;
  virtual DWORD GetLastError() = 0;
  virtual void SetLastError(DWORD error) = 0;

  // win.ini and ini files
  virtual DWORD GetProfileStringA(const char* section, const char* key, const char* fallback,
                                  char* buffer, DWORD size) = 0;
  virtual BOOL WriteProfileStringA(const char* section, const char* key, const char* value) = 0;
  virtual DWORD GetPrivateProfileStringA(const char* section, const char* key,
                                         const char* fallback, char* buffer, DWORD size,
                                         const char* path) = 0;

  // Registry
  virtual LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access,
                             HKEY* key) = 0;
  virtual LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD reserved, char* keyClass,
                               DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security,
                               HKEY* key, DWORD* disposition) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;
  virtual LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength,
                                DWORD* values, DWORD* maxValueNameLength,
                                DWORD* maxValueLength) = 0;
  virtual LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize,
                             DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) = 0;
  virtual LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize,
                             DWORD* reserved, char* keyClass, DWORD* classSize,
                             FILETIME* lastWrite) = 0;
  virtual LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type,
                                BYTE* data, DWORD* dataSize) = 0;
  virtual LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type,
                              const BYTE* data, DWORD dataSize) = 0;
  virtual LONG RegDeleteValueA(HKEY key, const char* name) = 0;
  virtual LONG SHDeleteKeyA(HKEY root, const char* subKey) = 0;

  // Files and folders
  virtual HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) = 0;
  virtual BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) = 0;
  virtual BOOL FindClose(HANDLE search) = 0;
  virtual BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* security) = 0;
  virtual BOOL RemoveDirectoryA(const char* path) = 0;
  virtual BOOL MoveFileA(const char* from, const char* to) = 0;
  virtual BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) = 0;
  virtual BOOL DeleteFileA(const char* path) = 0;
  virtual BOOL SetFileAttributesA(const char* path, DWORD attributes) = 0;
  virtual DWORD GetFileAttributesA(const char* path) = 0;
  virtual HANDLE CreateFileA(const char* path, DWORD access, DWORD share,
                             SECURITY_ATTRIBUTES* security, DWORD disposition,
                             DWORD flags, HANDLE templateFile) = 0;
  virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read,
                        OVERLAPPED* overlapped) = 0;
  virtual BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written,
                         OVERLAPPED* overlapped) = 0;
  virtual BOOL FlushFileBuffers(HANDLE file) = 0;
  virtual DWORD GetFileSize(HANDLE file, DWORD* high) = 0;
  virtual BOOL CloseHandle(HANDLE handle) = 0;

  // Restart
  virtual HANDLE GetCurrentProcess() = 0;
  virtual BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) = 0;
  virtual BOOL LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) = 0;
  virtual BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                     DWORD size, TOKEN_PRIVILEGES* previous,
                                     DWORD* returned) = 0;
  virtual BOOL ExitWindowsEx(UINT flags, DWORD reason) = 0;

  // The list's background brush is made once at start with the locations.
  virtual HBRUSH CreateSolidBrush(COLORREF colour) = 0;
};

// Forwards every call to Windows.
class Win32Platform : public Platform {
 public:
  BOOL GetVersionExA(OSVERSIONINFOA* info) override;
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
  BOOL GetUserNameA(char* buffer, DWORD* size) override;
  void GetLocalTime(SYSTEMTIME* time) override;
  DWORD GetLastError() override;
  void SetLastError(DWORD error) override;
  DWORD GetProfileStringA(const char* section, const char* key, const char* fallback,
                          char* buffer, DWORD size) override;
  BOOL WriteProfileStringA(const char* section, const char* key, const char* value) override;
  DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* fallback,
                                 char* buffer, DWORD size, const char* path) override;
  LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access,
                     HKEY* key) override;
  LONG RegCreateKeyExA(HKEY root, const char* subKey, DWORD reserved, char* keyClass,
                       DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* key,
                       DWORD* disposition) override;
  LONG RegCloseKey(HKEY key) override;
  LONG RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,
                        DWORD* maxValueNameLength, DWORD* maxValueLength) override;
  LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                     DWORD* type, BYTE* data, DWORD* dataSize) override;
  LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                     char* keyClass, DWORD* classSize, FILETIME* lastWrite) override;
  LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                        DWORD* dataSize) override;
  LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                      DWORD dataSize) override;
  LONG RegDeleteValueA(HKEY key, const char* name) override;
  LONG SHDeleteKeyA(HKEY root, const char* subKey) override;
  HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) override;
  BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) override;
  BOOL FindClose(HANDLE search) override;
  BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* security) override;
  BOOL RemoveDirectoryA(const char* path) override;
  BOOL MoveFileA(const char* from, const char* to) override;
  BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) override;
  BOOL DeleteFileA(const char* path) override;
  BOOL SetFileAttributesA(const char* path, DWORD attributes) override;
  DWORD GetFileAttributesA(const char* path) override;
  HANDLE CreateFileA(const char* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                     DWORD disposition, DWORD flags, HANDLE templateFile) override;
  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read,
                OVERLAPPED* overlapped) override;
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written,
                 OVERLAPPED* overlapped) override;
  BOOL FlushFileBuffers(HANDLE file) override;
  DWORD GetFileSize(HANDLE file, DWORD* high) override;
  BOOL CloseHandle(HANDLE handle) override;
  HANDLE GetCurrentProcess() override;
  BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) override;
  BOOL LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) override;
  BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD size,
                             TOKEN_PRIVILEGES* previous, DWORD* returned) override;
  BOOL ExitWindowsEx(UINT flags, DWORD reason) override;
  HBRUSH CreateSolidBrush(COLORREF colour) override;
};

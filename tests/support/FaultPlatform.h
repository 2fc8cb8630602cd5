// A Platform for tests: forwards every call to the real one, records it, and
// makes chosen calls fail (or answer chosen values) while the rest run for real.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

enum class Call {
  GetVersionExA, GetWindowsDirectoryA, GetUserNameA, GetLocalTime,
  GetProfileStringA, WriteProfileStringA, GetPrivateProfileStringA,
  RegOpenKeyExA, RegCreateKeyExA, RegCloseKey, RegQueryInfoKeyA, RegEnumValueA, RegEnumKeyExA,
  RegQueryValueExA, RegSetValueExA, RegDeleteValueA, SHDeleteKeyA,
  FindFirstFileA, FindNextFileA, FindClose, CreateDirectoryA, RemoveDirectoryA, MoveFileA,
  DeleteFileA, SetFileAttributesA, GetFileAttributesA, CreateFileA, ReadFile, WriteFile,
  FlushFileBuffers, GetFileSize, CloseHandle,
  GetCurrentProcess, OpenProcessToken, LookupPrivilegeValueA, AdjustTokenPrivileges,
  ExitWindowsEx, CreateSolidBrush, CopyFileA,
};

const char* callName(Call call);

struct CallRecord {
  Call call;
  std::string arg;  // the path, key path ("HKCU\\Software\\...") or name the call is about
  bool failed;      // failed by an injected fault
};

class FaultPlatform : public Platform {
 public:
  explicit FaultPlatform(Platform& real);

  // Makes calls of that kind whose argument contains `match` (case-insensitive;
  // empty matches all) fail with `error`: after `skip` matching calls pass,
  // for `times` calls (-1: every one). A failed WriteFile or ReadFile with
  // `partial` set writes or reads half its bytes and reports success with the
  // short count.
  void fail(Call call, const std::string& match, DWORD error, int skip = 0, int times = -1,
            bool partial = false);
  // Makes ReadFile or WriteFile calls on a file whose path contains `match`
  // go through but change the first byte of what they read or write,
  // reporting success all the same (a disk that lies).
  void corrupt(Call call, const std::string& match, int skip = 0, int times = -1);
  // Makes the call that will stand at `index` in the log fail with `error`,
  // whatever call it is (a call that cannot fail is passed over).
  void failAt(size_t index, DWORD error) { failAt_ = index, failAtError_ = error; }
  void clearFaults() {
    faults_.clear();
    failAt_ = kNoIndex;
  }

  // Every call, in order.
  std::vector<CallRecord> log;
  int count(Call call, const std::string& match = "") const;
  bool called(Call call, const std::string& match = "") const { return count(call, match) > 0; }

  // Runs after every call that reached the real platform, with its success.
  std::function<void(Call, const std::string& arg, bool succeeded)> afterCall;
  // Runs when a failure is injected, before the call answers: a test can
  // make the failure part-way (a key deletion that took some subkeys).
  std::function<void(Call, const std::string& arg)> onFault;

  // Answers in place of the real system when set.
  std::function<BOOL(OSVERSIONINFOA*)> version;
  std::function<UINT(char*, UINT)> windowsDirectory;
  // After a successful AdjustTokenPrivileges, GetLastError reports this (e.g.
  // ERROR_NOT_ALL_ASSIGNED for a user without the privilege).
  DWORD adjustTokenLastError = ERROR_SUCCESS;
  // ExitWindowsEx is recorded (its flags in decimal as the argument) and
  // answered TRUE without restarting unless set.
  bool reallyRestart = false;

  // Sets an OS version answer.
  void setVersion(DWORD platformId, DWORD major, DWORD minor);

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

 private:
  struct Fault {
    Call call;
    std::string match;
    DWORD error;
    int skip;
    int times;
    bool partial;
    bool corrupt;
  };
  // Records the call; returns the fault to inject, or null.
  const Fault* enter(Call call, const std::string& arg);
  void leave(Call call, const std::string& arg, bool succeeded);
  std::string keyPath(HKEY key) const;
  std::string handlePath(HANDLE handle) const;

  static const size_t kNoIndex = static_cast<size_t>(-1);
  Platform& real_;
  std::vector<Fault> faults_;
  size_t failAt_ = kNoIndex;
  DWORD failAtError_ = 0;
  Fault failAtFault_{};
  std::map<HKEY, std::string> keys_;
  std::map<HANDLE, std::string> handles_;
};

#include "tests/support/FaultPlatform.h"

#include <algorithm>
#include <cctype>

namespace {

const char* const callNames[] = {
#define FAULT_PLATFORM_CALL_NAME(result, name, parameters, arguments) #name,
    PLATFORM_CALLS(FAULT_PLATFORM_CALL_NAME)
#undef FAULT_PLATFORM_CALL_NAME
};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool contains(const std::string& text, const std::string& match) {
  return match.empty() || lower(text).find(lower(match)) != std::string::npos;
}

std::string str(const char* text) { return text ? text : "(null)"; }

std::string rootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_USERS) return "HKU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  return "";
}

}  // namespace

const char* callName(Call call) { return callNames[static_cast<int>(call)]; }

FaultPlatform::FaultPlatform(Platform& real) : real_(real) {}

void FaultPlatform::fail(Call call, const std::string& match, DWORD error, int skip, int times,
                         bool partial) {
  faults_.push_back(Fault{call, match, error, skip, times, partial, false, false});
}

void FaultPlatform::corrupt(Call call, const std::string& match, int skip, int times) {
  faults_.push_back(Fault{call, match, ERROR_SUCCESS, skip, times, false, true, false});
}

int FaultPlatform::count(Call call, const std::string& match) const {
  int n = 0;
  for (const CallRecord& record : log)
    if (record.call == call && contains(record.arg, match)) ++n;
  return n;
}

void FaultPlatform::setVersion(DWORD platformId, DWORD major, DWORD minor) {
  version = [=](OSVERSIONINFOA* info) {
    if (info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return FALSE;
    info->dwPlatformId = platformId;
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = 0;
    return TRUE;
  };
}

bool FaultPlatform::canLie(Call call) {
  switch (call) {
    case Call::RegSetValueExA:
    case Call::RegDeleteValueA:
    case Call::WriteProfileStringA:
    case Call::WriteFile:
    case Call::MoveFileA:
    case Call::DeleteFileA:
      return true;
    default:
      return false;
  }
}

const FaultPlatform::Fault* FaultPlatform::enter(Call call, const std::string& arg) {
  if (log.size() == lieAt_) {
    lieAt_ = kNoIndex;
    if (canLie(call)) {
      atFault_ = Fault{call, "", ERROR_SUCCESS, 0, 0, false, false, true};
      log.push_back(CallRecord{call, arg, false, true});
      return &atFault_;
    }
  }
  if (log.size() == failAt_) {
    failAt_ = kNoIndex;
    atFault_ = Fault{call, "", failAtError_, 0, 0, false, false, false};
    log.push_back(CallRecord{call, arg, true, false});
    if (onFault) onFault(call, arg);
    real_.SetLastError(failAtError_);
    return &atFault_;
  }
  for (Fault& fault : faults_) {
    if (fault.call != call || fault.times == 0 || !contains(arg, fault.match)) continue;
    if (fault.skip > 0) {
      --fault.skip;
      continue;
    }
    if (fault.times > 0) --fault.times;
    log.push_back(CallRecord{call, arg, !fault.corrupt, fault.corrupt});
    if (fault.corrupt) return &fault;
    if (onFault) onFault(call, arg);
    real_.SetLastError(fault.error);
    return &fault;
  }
  log.push_back(CallRecord{call, arg, false, false});
  return nullptr;
}

void FaultPlatform::leave(Call call, const std::string& arg, bool succeeded) {
  if (afterCall) {
    DWORD error = real_.GetLastError();
    afterCall(call, arg, succeeded);
    real_.SetLastError(error);
  }
}

std::string FaultPlatform::keyPath(HKEY key) const {
  std::string root = rootName(key);
  if (!root.empty()) return root;
  auto found = keys_.find(key);
  return found == keys_.end() ? "?" : found->second;
}

std::string FaultPlatform::handlePath(HANDLE handle) const {
  auto found = handles_.find(handle);
  return found == handles_.end() ? "?" : found->second;
}

// Each call: record, inject or forward, tell afterCall. A call that can lie
// answers LIED_RESULT without forwarding.
#define FAULTY_OR_LYING(CALL, ARG, FAILED_RESULT, LIED_RESULT, FORWARD, SUCCEEDED) \
  std::string arg_ = (ARG);                                                        \
  if (const Fault* fault_ = enter(Call::CALL, arg_)) {                             \
    return fault_->lie ? LIED_RESULT : FAILED_RESULT;                              \
  }                                                                                \
  auto result_ = FORWARD;                                                          \
  leave(Call::CALL, arg_, SUCCEEDED);                                              \
  return result_;
#define FAULTY(CALL, ARG, FAILED_RESULT, FORWARD, SUCCEEDED) \
  FAULTY_OR_LYING(CALL, ARG, FAILED_RESULT, FAILED_RESULT, FORWARD, SUCCEEDED)

BOOL FaultPlatform::GetVersionExA(OSVERSIONINFOA* info){
    FAULTY(GetVersionExA, "", FALSE, version ? version(info) : real_.GetVersionExA(info),
           result_ != FALSE)}

UINT FaultPlatform::GetWindowsDirectoryA(char* buffer, UINT size){
    FAULTY(GetWindowsDirectoryA, "", 0u,
           windowsDirectory ? windowsDirectory(buffer, size)
                            : real_.GetWindowsDirectoryA(buffer, size),
           result_ != 0)}

DWORD FaultPlatform::FormatMessageA(DWORD flags, const void* source, DWORD messageId,
                                    DWORD languageId, char* buffer, DWORD size,
                                    va_list* arguments) {
  FAULTY(FormatMessageA, "", 0ul,
         real_.FormatMessageA(flags, source, messageId, languageId, buffer, size, arguments),
         result_ != 0)
}

UINT FaultPlatform::GetSystemDirectoryA(char* buffer, UINT size) {
  FAULTY(GetSystemDirectoryA, "", 0u, real_.GetSystemDirectoryA(buffer, size), result_ != 0)
}

DWORD FaultPlatform::GetEnvironmentVariableA(const char* name, char* buffer, DWORD size) {
  FAULTY(GetEnvironmentVariableA, str(name), 0ul,
         real_.GetEnvironmentVariableA(name, buffer, size), result_ != 0)
}

DWORD FaultPlatform::ExpandEnvironmentStringsA(const char* source, char* buffer, DWORD size) {
  FAULTY(ExpandEnvironmentStringsA, str(source), 0ul,
         real_.ExpandEnvironmentStringsA(source, buffer, size), result_ != 0)
}

int FaultPlatform::MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length,
                                       WCHAR* wide, int wideSize) {
  FAULTY(MultiByteToWideChar, text && length >= 0 ? std::string(text, length) : str(text), 0,
         real_.MultiByteToWideChar(codePage, flags, text, length, wide, wideSize), result_ != 0)
}

int FaultPlatform::WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide,
                                       int wideLength, char* text, int size,
                                       const char* fallback, BOOL* usedFallback) {
  FAULTY(WideCharToMultiByte, "", 0,
         real_.WideCharToMultiByte(codePage, flags, wide, wideLength, text, size, fallback,
                                   usedFallback),
         result_ != 0)
}

BOOL FaultPlatform::GetUserNameA(char* buffer, DWORD* size) {
  FAULTY(GetUserNameA, "", FALSE, real_.GetUserNameA(buffer, size), result_ != FALSE)
}

void FaultPlatform::GetLocalTime(SYSTEMTIME* time) {
  log.push_back(CallRecord{Call::GetLocalTime, "", false, false});
  real_.GetLocalTime(time);
}

// Waits and the clock pass straight through, unrecorded: a sweep that
// failed them would only make a lock wait longer or shorter.
void FaultPlatform::Sleep(DWORD milliseconds) { real_.Sleep(milliseconds); }
DWORD FaultPlatform::GetTickCount() { return real_.GetTickCount(); }
DWORD FaultPlatform::GetLastError() { return real_.GetLastError(); }
void FaultPlatform::SetLastError(DWORD error) { real_.SetLastError(error); }
int FaultPlatform::lstrcmpiA(const char* first, const char* second) {
  return real_.lstrcmpiA(first, second);
}

DWORD FaultPlatform::GetProfileStringA(const char* section, const char* key, const char* fallback,
                                       char* buffer, DWORD size) {
  if (const Fault* fault = enter(Call::GetProfileStringA, str(section) + "\\" + str(key))) {
    (void)fault;
    if (size) buffer[0] = '\0';
    return 0;
  }
  DWORD result = real_.GetProfileStringA(section, key, fallback, buffer, size);
  leave(Call::GetProfileStringA, str(section) + "\\" + str(key), true);
  return result;
}

BOOL FaultPlatform::WriteProfileStringA(const char* section, const char* key, const char* value){
    FAULTY_OR_LYING(WriteProfileStringA, str(section) + "\\" + str(key), FALSE, TRUE,
                    real_.WriteProfileStringA(section, key, value), result_ != FALSE)}

DWORD FaultPlatform::GetPrivateProfileStringA(const char* section, const char* key,
                                              const char* fallback, char* buffer, DWORD size,
                                              const char* path) {
  if (enter(Call::GetPrivateProfileStringA, str(path) + "|" + str(section) + "\\" + str(key))) {
    if (size) buffer[0] = '\0';
    return 0;
  }
  DWORD result = real_.GetPrivateProfileStringA(section, key, fallback, buffer, size, path);
  leave(Call::GetPrivateProfileStringA, str(path), true);
  return result;
}

LONG FaultPlatform::RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access,
                                  HKEY* key) {
  std::string path = keyPath(root) + "\\" + str(subKey);
  if (const Fault* fault = enter(Call::RegOpenKeyExA, path)) return static_cast<LONG>(fault->error);
  LONG result = real_.RegOpenKeyExA(root, subKey, options, access, key);
  if (result == ERROR_SUCCESS) keys_[*key] = path;
  leave(Call::RegOpenKeyExA, path, result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegCreateKeyExA(HKEY root, const char* subKey, DWORD reserved, char* keyClass,
                                    DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security,
                                    HKEY* key, DWORD* disposition) {
  std::string path = keyPath(root) + "\\" + str(subKey);
  if (const Fault* fault = enter(Call::RegCreateKeyExA, path))
    return static_cast<LONG>(fault->error);
  LONG result = real_.RegCreateKeyExA(root, subKey, reserved, keyClass, options, access, security,
                                      key, disposition);
  if (result == ERROR_SUCCESS) keys_[*key] = path;
  leave(Call::RegCreateKeyExA, path, result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegCloseKey(HKEY key) {
  std::string path = keyPath(key);
  keys_.erase(key);
  // A close that fails still lets go of the handle, as Windows does.
  if (const Fault* fault = enter(Call::RegCloseKey, path)) {
    real_.RegCloseKey(key);
    return static_cast<LONG>(fault->error);
  }
  LONG result = real_.RegCloseKey(key);
  leave(Call::RegCloseKey, path, result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegQueryInfoKeyA(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength,
                                     DWORD* values, DWORD* maxValueNameLength,
                                     DWORD* maxValueLength) {
  if (const Fault* fault = enter(Call::RegQueryInfoKeyA, keyPath(key)))
    return static_cast<LONG>(fault->error);
  LONG result = real_.RegQueryInfoKeyA(key, subKeys, maxSubKeyLength, values, maxValueNameLength,
                                       maxValueLength);
  leave(Call::RegQueryInfoKeyA, keyPath(key), result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize,
                                  DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
  if (const Fault* fault = enter(Call::RegEnumValueA, keyPath(key)))
    return static_cast<LONG>(fault->error);
  LONG result = real_.RegEnumValueA(key, index, name, nameSize, reserved, type, data, dataSize);
  leave(Call::RegEnumValueA, keyPath(key), result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize,
                                  DWORD* reserved, char* keyClass, DWORD* classSize,
                                  FILETIME* lastWrite) {
  if (const Fault* fault = enter(Call::RegEnumKeyExA, keyPath(key)))
    return static_cast<LONG>(fault->error);
  LONG result =
      real_.RegEnumKeyExA(key, index, name, nameSize, reserved, keyClass, classSize, lastWrite);
  leave(Call::RegEnumKeyExA, keyPath(key), result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type,
                                     BYTE* data, DWORD* dataSize) {
  std::string path = keyPath(key) + "\\" + str(name);
  if (const Fault* fault = enter(Call::RegQueryValueExA, path))
    return static_cast<LONG>(fault->error);
  LONG result = real_.RegQueryValueExA(key, name, reserved, type, data, dataSize);
  leave(Call::RegQueryValueExA, path, result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type,
                                   const BYTE* data, DWORD dataSize) {
  std::string path = keyPath(key) + "\\" + str(name);
  if (const Fault* fault = enter(Call::RegSetValueExA, path))
    return fault->lie ? ERROR_SUCCESS : static_cast<LONG>(fault->error);
  LONG result = real_.RegSetValueExA(key, name, reserved, type, data, dataSize);
  leave(Call::RegSetValueExA, path, result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::RegDeleteValueA(HKEY key, const char* name) {
  std::string path = keyPath(key) + "\\" + str(name);
  if (const Fault* fault = enter(Call::RegDeleteValueA, path))
    return fault->lie ? ERROR_SUCCESS : static_cast<LONG>(fault->error);
  LONG result = real_.RegDeleteValueA(key, name);
  leave(Call::RegDeleteValueA, path, result == ERROR_SUCCESS);
  return result;
}

LONG FaultPlatform::SHDeleteKeyA(HKEY root, const char* subKey) {
  std::string path = keyPath(root) + "\\" + str(subKey);
  if (const Fault* fault = enter(Call::SHDeleteKeyA, path)) return static_cast<LONG>(fault->error);
  LONG result = real_.SHDeleteKeyA(root, subKey);
  leave(Call::SHDeleteKeyA, path, result == ERROR_SUCCESS);
  return result;
}

HANDLE FaultPlatform::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) {
  std::string path = str(pattern);
  if (enter(Call::FindFirstFileA, path)) return INVALID_HANDLE_VALUE;
  HANDLE result = real_.FindFirstFileA(pattern, found);
  if (result != INVALID_HANDLE_VALUE) handles_[result] = path;
  leave(Call::FindFirstFileA, path, result != INVALID_HANDLE_VALUE);
  return result;
}

BOOL FaultPlatform::FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found){
    FAULTY(FindNextFileA, handlePath(search), FALSE, real_.FindNextFileA(search, found),
           result_ != FALSE)}

BOOL FaultPlatform::FindClose(HANDLE search) {
  std::string path = handlePath(search);
  handles_.erase(search);
  if (enter(Call::FindClose, path)) {
    real_.FindClose(search);
    return FALSE;
  }
  BOOL result = real_.FindClose(search);
  leave(Call::FindClose, path, result != FALSE);
  return result;
}

BOOL FaultPlatform::CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* security){
    FAULTY(CreateDirectoryA, str(path), FALSE, real_.CreateDirectoryA(path, security),
           result_ != FALSE)}

BOOL FaultPlatform::RemoveDirectoryA(const char* path){
    FAULTY(RemoveDirectoryA, str(path), FALSE, real_.RemoveDirectoryA(path), result_ != FALSE)}

BOOL FaultPlatform::MoveFileA(const char* from, const char* to){
    FAULTY_OR_LYING(MoveFileA, str(from) + "|" + str(to), FALSE, TRUE, real_.MoveFileA(from, to),
                    result_ != FALSE)}

BOOL FaultPlatform::CopyFileA(const char* from, const char* to, BOOL failIfExists){
    FAULTY(CopyFileA, str(from) + "|" + str(to), FALSE, real_.CopyFileA(from, to, failIfExists),
           result_ != FALSE)}

BOOL FaultPlatform::DeleteFileA(const char* path){
    FAULTY_OR_LYING(DeleteFileA, str(path), FALSE, TRUE, real_.DeleteFileA(path), result_ != FALSE)}

BOOL FaultPlatform::SetFileAttributesA(const char* path, DWORD attributes){
    FAULTY(SetFileAttributesA, str(path), FALSE, real_.SetFileAttributesA(path, attributes),
           result_ != FALSE)}

DWORD FaultPlatform::GetFileAttributesA(const char* path){
    FAULTY(GetFileAttributesA, str(path), INVALID_FILE_ATTRIBUTES, real_.GetFileAttributesA(path),
           result_ != INVALID_FILE_ATTRIBUTES)}

HANDLE FaultPlatform::CreateFileA(const char* path, DWORD access, DWORD share,
                                  SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                                  HANDLE templateFile) {
  std::string name = str(path);
  if (enter(Call::CreateFileA, name)) return INVALID_HANDLE_VALUE;
  HANDLE result =
      real_.CreateFileA(path, access, share, security, disposition, flags, templateFile);
  if (result != INVALID_HANDLE_VALUE) handles_[result] = name;
  leave(Call::CreateFileA, name, result != INVALID_HANDLE_VALUE);
  return result;
}

BOOL FaultPlatform::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read,
                             OVERLAPPED* overlapped) {
  std::string path = handlePath(file);
  const Fault* fault = enter(Call::ReadFile, path);
  if (fault && !fault->corrupt && !fault->partial) return FALSE;
  BOOL result =
      real_.ReadFile(file, buffer, fault && fault->partial ? size / 2 : size, read, overlapped);
  if (fault && fault->corrupt && result && *read > 0) static_cast<BYTE*>(buffer)[0] ^= 0x20;
  leave(Call::ReadFile, path, result != FALSE);
  return result;
}

BOOL FaultPlatform::WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written,
                              OVERLAPPED* overlapped) {
  std::string path = handlePath(file);
  if (const Fault* fault = enter(Call::WriteFile, path)) {
    if (fault->lie) {
      *written = size;
      return TRUE;
    }
    if (fault->corrupt) {
      std::vector<BYTE> changed(static_cast<const BYTE*>(buffer),
                                static_cast<const BYTE*>(buffer) + size);
      if (size > 0) changed[0] ^= 0x20;
      BOOL result = real_.WriteFile(file, changed.data(), size, written, overlapped);
      leave(Call::WriteFile, path, result != FALSE);
      return result;
    }
    if (!fault->partial) return FALSE;
    BOOL result = real_.WriteFile(file, buffer, size / 2, written, overlapped);
    leave(Call::WriteFile, path, result != FALSE);
    return result;
  }
  BOOL result = real_.WriteFile(file, buffer, size, written, overlapped);
  leave(Call::WriteFile, path, result != FALSE);
  return result;
}

BOOL FaultPlatform::FlushFileBuffers(HANDLE file){FAULTY(FlushFileBuffers, handlePath(file), FALSE,
                                                         real_.FlushFileBuffers(file),
                                                         result_ != FALSE)}

DWORD FaultPlatform::GetFileSize(HANDLE file, DWORD* high){
    FAULTY(GetFileSize, handlePath(file), INVALID_FILE_SIZE, real_.GetFileSize(file, high),
           result_ != INVALID_FILE_SIZE)}

BOOL FaultPlatform::CloseHandle(HANDLE handle) {
  std::string path = handlePath(handle);
  handles_.erase(handle);
  if (const Fault* fault = enter(Call::CloseHandle, path)) {
    real_.CloseHandle(handle);
    real_.SetLastError(fault->error);
    return FALSE;
  }
  BOOL result = real_.CloseHandle(handle);
  leave(Call::CloseHandle, path, result != FALSE);
  return result;
}

HANDLE FaultPlatform::GetCurrentProcess() {
  log.push_back(CallRecord{Call::GetCurrentProcess, "", false, false});
  return real_.GetCurrentProcess();
}

BOOL FaultPlatform::OpenProcessToken(HANDLE process, DWORD access, HANDLE* token){
    FAULTY(OpenProcessToken, "", FALSE, real_.OpenProcessToken(process, access, token),
           result_ != FALSE)}

BOOL FaultPlatform::LookupPrivilegeValueA(const char* system, const char* name, LUID* luid){
    FAULTY(LookupPrivilegeValueA, str(name), FALSE, real_.LookupPrivilegeValueA(system, name, luid),
           result_ != FALSE)}

BOOL FaultPlatform::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                          DWORD size, TOKEN_PRIVILEGES* previous, DWORD* returned) {
  if (enter(Call::AdjustTokenPrivileges, "")) return FALSE;
  BOOL result = real_.AdjustTokenPrivileges(token, disableAll, state, size, previous, returned);
  leave(Call::AdjustTokenPrivileges, "", result != FALSE);
  if (result) real_.SetLastError(adjustTokenLastError);
  return result;
}

BOOL FaultPlatform::ExitWindowsEx(UINT flags, DWORD reason) {
  // The flags in decimal, so a test can tell a forced reboot ("6") apart.
  std::string arg = std::to_string(flags);
  if (enter(Call::ExitWindowsEx, arg)) return FALSE;
  BOOL result = reallyRestart ? real_.ExitWindowsEx(flags, reason) : TRUE;
  leave(Call::ExitWindowsEx, arg, result != FALSE);
  return result;
}

HBRUSH FaultPlatform::CreateSolidBrush(COLORREF colour) {
  FAULTY(CreateSolidBrush, "", static_cast<HBRUSH>(NULL), real_.CreateSolidBrush(colour),
         result_ != NULL)
}

DWORD FaultPlatform::GetFileVersionInfoSizeA(const char* path, DWORD* handle) {
  FAULTY(GetFileVersionInfoSizeA, str(path), 0ul, real_.GetFileVersionInfoSizeA(path, handle),
         result_ != 0)
}

BOOL FaultPlatform::GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) {
  FAULTY(GetFileVersionInfoA, str(path), FALSE,
         real_.GetFileVersionInfoA(path, handle, size, data), result_ != FALSE)
}

BOOL FaultPlatform::VerQueryValueA(const void* block, const char* subBlock, void** value,
                                   UINT* length) {
  FAULTY(VerQueryValueA, str(subBlock), FALSE,
         real_.VerQueryValueA(block, subBlock, value, length), result_ != FALSE)
}

// A failed COM call answers the injected error as an HRESULT (a Win32 code
// becomes one, an HRESULT stays as it is).
HRESULT FaultPlatform::CoInitialize(void* reserved) {
  FAULTY(CoInitialize, "", HRESULT_FROM_WIN32(fault_->error), real_.CoInitialize(reserved),
         SUCCEEDED(result_))
}

HRESULT FaultPlatform::CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context,
                                        REFIID interfaceId, void** object) {
  if (const Fault* fault = enter(Call::CoCreateInstance, "")) {
    *object = nullptr;
    return HRESULT_FROM_WIN32(fault->error);
  }
  HRESULT result = real_.CoCreateInstance(classId, outer, context, interfaceId, object);
  leave(Call::CoCreateInstance, "", SUCCEEDED(result));
  return result;
}

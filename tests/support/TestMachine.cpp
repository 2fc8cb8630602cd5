#include "tests/support/TestMachine.h"

#include <shlwapi.h>

#include "engine/Places.h"

#include <algorithm>

namespace machine {

const char* const kRunKeyPrefix = "Software\\Microsoft\\Windows\\CurrentVersion\\";

void setValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& bytes) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, name.empty() ? NULL : name.c_str(), 0, type,
                 reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  RegCloseKey(handle);
}

void setString(HKEY root, const std::string& key, const std::string& name,
               const std::string& text) {
  setValue(root, key, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void createKey(HKEY root, const std::string& key) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL) ==
      ERROR_SUCCESS)
    RegCloseKey(handle);
}

void deleteKey(HKEY root, const std::string& key) { SHDeleteKeyA(root, key.c_str()); }

bool keyExists(HKEY root, const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

const char* runKeyName(int name) { return listName(places[runKeyRow(HKEY_LOCAL_MACHINE, name)]); }

void clearRunKeys() {
  for (const Place& place : places)
    if (place.kind == PLACE_VALUE_LIST) deleteKey(rootKey(place.root), place.key);
}

// The fixed part, the running instance count, the program and its
// parameters as counted wide strings, then no triggers.
std::string taskFile(const std::string& program, const std::string& parameters, bool disabled) {
  std::string bytes(0x44, '\0');
  auto word = [&](size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
  };
  auto counted = [&](const std::string& text) {
    size_t at = bytes.size();
    bytes.resize(at + 2 + 2 * (text.size() + 1), '\0');
    word(at, static_cast<unsigned>(text.size() + 1));
    for (size_t i = 0; i < text.size(); ++i) word(at + 2 + 2 * i, static_cast<unsigned char>(text[i]));
  };
  word(0x02, 1);     // file version
  word(0x14, 0x46);  // where the program's name is
  if (disabled) bytes[0x30] = 0x04;
  bytes.resize(0x46, '\0');  // running instance count
  counted(program);
  counted(parameters);
  word(0x16, static_cast<unsigned>(bytes.size()));  // the triggers: none
  bytes.resize(bytes.size() + 2, '\0');
  return bytes;
}

namespace {
const std::string kNt = "Software\\Microsoft\\Windows NT\\CurrentVersion\\";
const std::string kService = "System\\CurrentControlSet\\Services\\StartlullTest";
const std::string kClassId = "{0DEC0DE0-5EED-4C1A-8000-000000000001}";
std::string windowsDir() {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  return windows;
}
}  // namespace

std::vector<PlaceSeed> seedOtherPlaces() {
  const std::string cv = kRunKeyPrefix, windows = windowsDir();
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    setString(root, cv + "RunServicesOnce", "Once", "C:\\once.exe");
    setString(root, cv + "Policies\\Explorer\\Run", "Policy", "C:\\policy.exe");
  }
  setString(HKEY_LOCAL_MACHINE, cv + "ShellServiceObjectDelayLoad", "Tray", kClassId);
  setString(HKEY_CLASSES_ROOT, "CLSID\\" + kClassId + "\\InprocServer32", "", "C:\\helper.dll");
  WritePrivateProfileStringA("boot", "shell", "other.exe", "system.ini");
  setString(HKEY_LOCAL_MACHINE, kNt + "Winlogon", "Shell", "other.exe");
  setString(HKEY_LOCAL_MACHINE, kNt + "Winlogon", "Userinit", "C:\\init.exe");
  setString(HKEY_LOCAL_MACHINE, kNt + "Windows", "AppInit_DLLs", "hook.dll");
  setValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
           "BootExecute", REG_MULTI_SZ, std::string("autocheck autochk *\0\0", 21));
  createKey(HKEY_LOCAL_MACHINE, cv + "Explorer\\Browser Helper Objects\\" + kClassId);
  setString(HKEY_LOCAL_MACHINE, cv + "Explorer\\ShellExecuteHooks", kClassId, "");
  setString(HKEY_LOCAL_MACHINE, kNt + "Winlogon\\Notify\\Notice", "DllName", "notice.dll");
  makeDir(windows + "\\Tasks");
  writeFile(windows + "\\Tasks\\Backup.job", taskFile("C:\\backup.exe", "/all", true));
  setString(HKEY_LOCAL_MACHINE, kService, "DisplayName", "Startlull Test");
  setValue(HKEY_LOCAL_MACHINE, kService, "ImagePath", REG_EXPAND_SZ,
           std::string("\\SystemRoot\\system32\\svc.exe -k", 32));
  setValue(HKEY_LOCAL_MACHINE, kService, "Start", REG_DWORD, std::string("\x02\0\0\0", 4));
  setValue(HKEY_LOCAL_MACHINE, kService, "Type", REG_DWORD, std::string("\x10\0\0\0", 4));
  return {
      {"[Registry - local_machine, RunServicesOnce]", "Once = C:\\once.exe", false},
      {"[Registry - current_user, RunServicesOnce]", "Once = C:\\once.exe", false},
      {"[Registry - local_machine, Policies\\Explorer\\Run]", "Policy = C:\\policy.exe", false},
      {"[Registry - current_user, Policies\\Explorer\\Run]", "Policy = C:\\policy.exe", false},
      {"[Registry - local_machine, ShellServiceObjectDelayLoad]", "Tray = " + kClassId, false},
      {"[System.ini - boot]", "shell = other.exe", true},
      {"[Registry - local_machine, Winlogon: Shell]", "Shell = other.exe", true},
      {"[Registry - local_machine, Winlogon: Userinit]", "Userinit = C:\\init.exe", true},
      {"[Registry - local_machine, Windows: AppInit_DLLs]", "AppInit_DLLs = hook.dll", true},
      {"[Registry - local_machine, Session Manager: BootExecute]",
       "BootExecute = autocheck autochk *", false},
      {"[Registry - local_machine, Browser Helper Objects]", kClassId + " = C:\\helper.dll", false},
      {"[Registry - local_machine, ShellExecuteHooks]", kClassId + " = C:\\helper.dll", false},
      {"[Registry - local_machine, Winlogon\\Notify]", "Notice = notice.dll", false},
      {"[Scheduled tasks]", "Backup.job (disabled) = C:\\backup.exe /all", false},
      {"[Services]", "Startlull Test = " + windows + "\\system32\\svc.exe -k", false},
  };
}

void clearOtherPlaces() {
  const std::string cv = kRunKeyPrefix;
  for (int row = RUN_KEY_COUNT; row < PLACE_COUNT; ++row)
    if (places[row].kind == PLACE_VALUE_LIST) deleteKey(rootKey(places[row].root), places[row].key);
  deleteKey(HKEY_CLASSES_ROOT, "CLSID\\" + kClassId);
  WritePrivateProfileStringA("boot", "shell", NULL, "system.ini");
  setString(HKEY_LOCAL_MACHINE, kNt + "Winlogon", "Shell", "explorer.exe");
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kNt + "Winlogon").c_str(), 0, KEY_ALL_ACCESS, &key) == 0) {
    RegDeleteValueA(key, "Userinit");
    RegCloseKey(key);
  }
  setString(HKEY_LOCAL_MACHINE, kNt + "Windows", "AppInit_DLLs", "");
  HKEY session;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_ALL_ACCESS, &session) == 0) {
    RegDeleteValueA(session, "BootExecute");
    RegCloseKey(session);
  }
  deleteKey(HKEY_LOCAL_MACHINE, cv + "Explorer\\Browser Helper Objects");
  deleteKey(HKEY_LOCAL_MACHINE, cv + "Explorer\\ShellExecuteHooks");
  deleteKey(HKEY_LOCAL_MACHINE, kNt + "Winlogon\\Notify");
  removeTree(windowsDir() + "\\Tasks");
  deleteKey(HKEY_LOCAL_MACHINE, kService);
}

std::string profileValue(const char* key) {
  std::string value(1 << 16, '\0');
  DWORD length = GetProfileStringA("windows", key, "", &value[0], static_cast<DWORD>(value.size()));
  value.resize(length);
  return value;
}

void setProfileValue(const char* key, const char* value) {
  WriteProfileStringA("windows", key, value);
}

bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFile(const std::string& path, const std::string& content, DWORD attributes) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, NULL);
  CloseHandle(file);
  if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

std::string readFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string content(GetFileSize(file, NULL), '\0');
  DWORD read = 0;
  if (!content.empty())
    ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, NULL);
  CloseHandle(file);
  content.resize(read);
  return content;
}

void makeDir(const std::string& path) { CreateDirectoryA(path.c_str(), NULL); }

void emptyDir(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string child = path + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      removeTree(child);
    } else {
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(child.c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void removeTree(const std::string& path) {
  if (path.size() < 4) return;  // never a drive's root
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    return;
  }
  emptyDir(path);
  RemoveDirectoryA(path.c_str());
}

std::vector<std::string> listDir(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string stringValue(HKEY root, const std::string& key, const std::string& name) {
  HKEY handle;
  std::string value;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return value;
  char buffer[MAX_PATH] = "";
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(handle, name.c_str(), NULL, NULL, reinterpret_cast<BYTE*>(buffer), &size) ==
      ERROR_SUCCESS)
    value = buffer;
  RegCloseKey(handle);
  return value;
}

static std::string shellFolder(HKEY root, const char* name) {
  return stringValue(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     name);
}

std::string startupDir() { return shellFolder(HKEY_CURRENT_USER, "Startup"); }
std::string commonStartupDir() { return shellFolder(HKEY_LOCAL_MACHINE, "Common Startup"); }

std::string parentOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace machine

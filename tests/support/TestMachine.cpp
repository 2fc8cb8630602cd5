#include "tests/support/TestMachine.h"

#include "util/pure/SettingsRecord.h"
#include <shlwapi.h>

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

void clearRunKeys() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    for (const char* name : valueListKeys) deleteKey(root, std::string(kRunKeyPrefix) + name);
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

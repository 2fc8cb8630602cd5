// Which Windows this is, and where startup entries and our own data live.
#include "engine/Engine.h"
#include "engine/RunKeys.h"
#include "platform/Held.h"
#include "util/Paths.h"

namespace {

const char kShellFoldersKey[] = CURRENT_VERSION_PREFIX "Explorer\\Shell Folders";
const char kInactiveName[] = "Startup-Inactive";
const char kSettingsName[] = "\\Startlull.ini";
const char kDefaultRescuePath[] = "C:\\Startlull.ini";

const char* const systemNames[] = {"not supported.", "Windows 98.", "Windows 2000.", "Windows XP."};

void folderBeside(char* folder, const char* startup, const char* name) {
  copyText(folder, PATH_SIZE, startup);
  stripFileName(folder);
  appendText(folder, PATH_SIZE, name);
}

void inactiveBeside(char* inactive, const char* startup) {
  folderBeside(inactive, startup, kInactiveName);
}

// No store without its Startup folder: an empty path would put it in the
// current folder.
void disabledBeside(char* disabled, const char* startup) {
  disabled[0] = '\0';
  if (startup[0] != '\0') folderBeside(disabled, startup, kDisabledFolderName);
}

}  // namespace

void Engine::probeSystem() {
  systemKind = UNSUPPORTED;
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;  // the basic record, 148 bytes
  if (!platform.GetVersionExA(&info)) return;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    if (info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion != 0))
      systemKind = WINDOWS_98;
  } else if (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5) {
    if (info.dwMinorVersion == 0) systemKind = WINDOWS_2000;
    if (info.dwMinorVersion == 1) systemKind = WINDOWS_XP;
  }
}

void Engine::computeLocations() {
  probeSystem();
  restoreAvailable = 0;
  listBackgroundBrush = platform.CreateSolidBrush(listBackgroundColour);  // failure ignored

  if (systemKind >= WINDOWS_98 && systemKind <= WINDOWS_XP) {
    HeldKey key(platform);
    if (key.open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ) == ERROR_SUCCESS)
      readRegistryString(key.key, "Startup", startupDir, PATH_SIZE, "");
    key.close();
    inactiveBeside(inactiveDir, startupDir);
    copyText(settingsPath, PATH_SIZE, inactiveDir);
    appendText(settingsPath, PATH_SIZE, kSettingsName);

    if (key.open(HKEY_LOCAL_MACHINE, kShellFoldersKey, KEY_READ) == ERROR_SUCCESS)
      readRegistryString(key.key, "Common Startup", commonStartupDir, PATH_SIZE, "");
    key.close();
    inactiveBeside(commonInactiveDir, commonStartupDir);
    disabledBeside(disabledDir, startupDir);
    disabledBeside(commonDisabledDir, commonStartupDir);
  }

  // GetWindowsDirectoryA answers the size it needs, without writing, when the
  // buffer is too small; an untouched buffer then has no backslash.
  rescueIniPath[0] = '\0';
  UINT length = platform.GetWindowsDirectoryA(rescueIniPath, RESCUE_PATH_SIZE);
  if (length == 0) {
    systemKind = UNSUPPORTED;
  } else {
    if (length >= RESCUE_PATH_SIZE) rescueIniPath[0] = '\0';
    rescueIniPath[RESCUE_PATH_SIZE - 1] = '\0';
    int backslash = findChar(rescueIniPath, '\\');
    if (backslash >= 0) {
      rescueIniPath[backslash] = '\0';
      appendText(rescueIniPath, RESCUE_PATH_SIZE, kSettingsName);
    } else {
      copyText(rescueIniPath, RESCUE_PATH_SIZE, kDefaultRescuePath);
    }
  }

  // An empty Startup folder path leaves the bare relative "Startup-Inactive";
  // only an inactive folder beside a real Startup folder means a Remove to undo.
  if (startupDir[0] != '\0' && pathExists(inactiveDir)) {
    host.EnableCommand(COMMAND_RESTORE, 1);
    restoreAvailable = 1;
  }
}

void Engine::osNameLine(char* line) {
  copyText(line, LINE_SIZE, "Your Operating system is ");
  int kind = systemKind >= WINDOWS_98 && systemKind <= WINDOWS_XP ? systemKind : UNSUPPORTED;
  appendText(line, LINE_SIZE, systemNames[kind]);
}

void Engine::userNameLine(char* line) {
  static const char kLabel[] = "Current user:  ";
  const size_t labelLength = sizeof kLabel - 1;
  copyText(line, LINE_SIZE, kLabel);
  DWORD size = static_cast<DWORD>(LINE_SIZE - labelLength);
  if (!platform.GetUserNameA(line + labelLength, &size)) line[labelLength] = '\0';
  line[LINE_SIZE - 1] = '\0';
}

bool Engine::readRegistryString(HKEY key, const char* name, char* buffer, DWORD size,
                                const char* fallback) {
  if (size == 0) return false;
  DWORD dataSize = size;
  if (platform.RegQueryValueExA(key, name, NULL, NULL, reinterpret_cast<BYTE*>(buffer),
                                &dataSize) != ERROR_SUCCESS) {
    copyText(buffer, size, fallback);
    return false;
  }
  // The stored bytes need not end in a NUL.
  buffer[dataSize < size ? dataSize : size - 1] = '\0';
  return true;
}

bool Engine::pathExists(const char* path) {
  WIN32_FIND_DATAA found;
  HANDLE search = platform.FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  platform.FindClose(search);
  return true;
}

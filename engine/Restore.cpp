// Restore: everything a Remove took away, back from the settings file and
// the inactive folders. Each part that can come back does, whatever else fails.
#include "engine/RunKeys.h"
#include "engine/SettingsFile.h"
#include "resources/resource.h"
#include "util/StrBuf.h"

namespace {

const char kCaption[] = "Startlull";
const HKEY kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
const char kSettingsName[] = "\\Startlull.ini";

void reportWithRescuePath(Engine& engine, const char* firstLine) {
  StrBuf message;
  message.append(firstLine);
  message.append("\r\nThe old settings are in the file ");
  message.append(engine.rescueIniPath);
  message.append(".\r\nYou can restore them manually.");
  engine.host.reportError(message.c_str(), kCaption);
}

// An older rescue copy gives way to this one.
bool moveToRescuePath(Engine& engine) {
  Platform& platform = engine.platform;
  if (platform.MoveFileA(engine.settingsPath, engine.rescueIniPath)) return true;
  if (platform.GetLastError() != ERROR_ALREADY_EXISTS) return false;
  platform.DeleteFileA(engine.rescueIniPath);
  return platform.MoveFileA(engine.settingsPath, engine.rescueIniPath) != FALSE;
}

// The settings file could not go to the rescue path, so it stayed in the
// user's inactive folder and the folder move took it along: say where it is.
void reportWhereSettingsAre(Engine& engine) {
  StrBuf carried;
  carried.append(engine.startupDir);
  carried.append(kSettingsName);
  const char* where = engine.settingsPath;
  if (engine.platform.GetFileAttributesA(engine.settingsPath) == INVALID_FILE_ATTRIBUTES &&
      engine.platform.GetFileAttributesA(carried.c_str()) != INVALID_FILE_ATTRIBUTES)
    where = carried.c_str();
  StrBuf message;
  message.append("Since there was a problem putting the settings back,\r\n"
                 " the old settings could not be saved in ");
  message.append(engine.rescueIniPath);
  message.append(".\r\nThey are in the file ");
  message.append(where);
  message.append(".");
  engine.host.reportError(message.c_str(), kCaption);
}

}  // namespace

int Engine::restoreStartupEntries() {
  if (!host.IsCommandEnabled(IDM_RESTORE)) return 0;
  int restored = 0;
  int problem = 0;
  bool rescued = true;

  int loaded = loadListingFromFile(settingsPath);
  if (!loaded)
    host.reportError("Unable to retrieve old settings, only startup folder will be restored.",
                     settingsPath);
  unparkBootFiles();

  if (loaded) {
    if (savedRecord.state == RECORD_DAMAGED) {
      // Nothing is written from a record that cannot be trusted.
      problem = 1;
      reportWithRescuePath(*this, "The saved registry and Win.ini settings are damaged"
                                  " and were not restored.");
    } else {
      if (restoreWinIniValues() == 1) {
        restored = 1;
      } else {
        problem = 1;
        reportWithRescuePath(*this, "An error occured while writing to the Win.ini.");
      }
      registryWriteFailed = 0;
      for (int name = RUN; name <= RUN_SERVICES; ++name) {
        for (const HKEY root : kRoots) {
          const char* keyName = runKeyNames[name];
          if (savedRecord.holdsKey(recordRootName(root), keyName) ||
              findRegistrySection(root, keyName) != 0)
            restored |= restoreRegistryKey(root, keyName);
        }
      }
      if (registryWriteFailed) {
        problem = 1;
        reportWithRescuePath(*this, "An error occured while writing to the registry.");
      }
    }
    if (problem) {
      rescued = moveToRescuePath(*this);
      if (rescued) {
        StrBuf message;
        message.append("Since there was a problem putting the settings back,\r\n"
                       " the old settings will be saved in ");
        message.append(rescueIniPath);
        host.reportError(message.c_str(), kCaption);
      }
    } else {
      platform.DeleteFileA(settingsPath);
    }
  } else {
    platform.DeleteFileA(settingsPath);
  }
  deleteLeftoverSettings(*this);

  moveBackAndRemove(*this, commonInactiveDir, commonStartupDir);
  if (moveBackAndRemove(*this, inactiveDir, startupDir)) restored = 1;
  if (!rescued) reportWhereSettingsAre(*this);

  if (!restored) return 0;
  if (host.successDialog(0)) {
    restartWindows();
    return 0;
  }
  return 1;
}

// Restore: everything a Remove took away, back from the settings file and
// the inactive folders. Each part that can come back does, whatever else fails.
#include "engine/RunKeys.h"
#include "engine/SettingsFile.h"
#include "util/StrBuf.h"

namespace {

void reportWithRescuePath(Engine& engine, const char* firstLine) {
  StrBuf message;
  message.append(firstLine);
  message.append("\r\nThe old settings are in the file ");
  message.append(engine.rescueIniPath);
  message.append(".\r\nYou can restore them manually.");
  engine.host.reportError(message.c_str(), programCaption);
}

// An older rescue copy gives way to this one.
bool moveToRescuePath(Engine& engine) {
  Platform& platform = engine.platform;
  if (platform.MoveFileA(engine.settingsPath, engine.rescueIniPath)) return true;
  if (platform.GetLastError() != ERROR_ALREADY_EXISTS) return false;
  platform.DeleteFileA(engine.rescueIniPath);
  return platform.MoveFileA(engine.settingsPath, engine.rescueIniPath) != FALSE;
}

// The settings file could not go to the rescue path, so it stayed where it
// is, in the user's inactive folder (the folder move never takes it).
void reportWhereSettingsAre(Engine& engine) {
  StrBuf message;
  message.append(
      "Since there was a problem putting the settings back,\r\n"
      " the old settings could not be saved in ");
  message.append(engine.rescueIniPath);
  message.append(".\r\nThey are in the file ");
  message.append(engine.settingsPath);
  message.append(".");
  engine.host.reportError(message.c_str(), programCaption);
}

// A settings file that is there but cannot be read now is all there is of
// what Remove took away: nothing is touched, and Restore stays available.
void reportUnreadable(Engine& engine) {
  StrBuf message;
  message.append("Unable to read the old settings in the file ");
  message.append(engine.settingsPath);
  message.append(
      ".\r\nNothing was restored and the file was kept.\r\n"
      "Close any program that is using it, then choose Restore again.");
  engine.host.reportError(message.c_str(), programCaption);
}

// win.ini and the keys back from a file that was read; 1 when there was a
// problem (something could not be written, or the record is damaged).
int restoreSettings(Engine& engine, int* restored) {
  if (engine.savedRecord.state == RECORD_DAMAGED) {
    // Nothing is written from a record that cannot be trusted.
    reportWithRescuePath(engine,
                         "The saved registry and Win.ini settings are damaged"
                         " and were not restored.");
    return 1;
  }
  int problem = 0;
  if (engine.restoreWinIniValues() == 1) {
    *restored = 1;
  } else {
    problem = 1;
    reportWithRescuePath(engine, "An error occured while writing to the Win.ini.");
  }
  engine.registryWriteFailed = 0;
  for (int name = 0; name < RUN_KEY_NAME_COUNT; ++name) {
    for (const HKEY root : runKeyRoots) {
      const char* keyName = listName(places[runKeyRow(root, name)]);
      if (engine.savedRecord.holdsKey(recordRootName(root), keyName) ||
          engine.findRegistrySection(root, keyName) != 0)
        *restored |= engine.restoreRegistryKey(root, keyName);
    }
  }
  if (engine.registryWriteFailed) {
    problem = 1;
    reportWithRescuePath(engine, "An error occured while writing to the registry.");
  }
  return problem;
}

// What becomes of the settings file. After a write that failed, a later
// Restore may succeed: the file stays where it keeps Restore available, and
// a copy goes to the rescue path. One that can never restore (damaged, or
// empty or not ours, which is not ours to delete) moves there.
enum SettingsFate { DELETE_IT, KEEP_AND_COPY, MOVE_TO_RESCUE, NOTHING };

SettingsFate settingsFate(const Engine& engine, SettingsRead read, int problem) {
  if (read == SETTINGS_NOT_OURS) return MOVE_TO_RESCUE;
  if (read != SETTINGS_READ) return NOTHING;
  if (engine.savedRecord.state == RECORD_DAMAGED) return MOVE_TO_RESCUE;
  return problem ? KEEP_AND_COPY : DELETE_IT;
}

// The rescue copy, and the message that names it; false when it could not
// be made (the file then stays where it is).
bool rescueSettings(Engine& engine, SettingsFate fate) {
  if (fate != KEEP_AND_COPY && fate != MOVE_TO_RESCUE) return true;
  bool rescued =
      fate == MOVE_TO_RESCUE
          ? moveToRescuePath(engine)
          : engine.platform.CopyFileA(engine.settingsPath, engine.rescueIniPath, FALSE) != FALSE;
  if (rescued) {
    StrBuf message;
    message.append(
        "Since there was a problem putting the settings back,\r\n"
        " the old settings will be saved in ");
    message.append(engine.rescueIniPath);
    engine.host.reportError(message.c_str(), programCaption);
  }
  return rescued;
}

}  // namespace

int Engine::restoreStartupEntries() {
  if (!host.IsCommandEnabled(COMMAND_RESTORE)) return 0;
  int restored = 0;

  SettingsRead read =
      takeOverProvenSettings(*this) ? readSettingsFile(*this, settingsPath) : SETTINGS_UNREADABLE;
  if (read == SETTINGS_UNREADABLE) {
    reportUnreadable(*this);
    return 0;
  }
  settingsFileInPlace = read != SETTINGS_MISSING;
  if (read != SETTINGS_READ)
    host.reportError("Unable to retrieve old settings, only startup folder will be restored.",
                     settingsPath);
  int bootFilesBack = unparkBootFiles();

  int problem = read == SETTINGS_READ ? restoreSettings(*this, &restored) : 0;
  SettingsFate fate = settingsFate(*this, read, problem || !bootFilesBack);
  bool rescued = rescueSettings(*this, fate);
  deleteLeftoverSettings(*this);

  // The settings file holds the items' attributes: it goes once every item
  // is back, and the user's inactive folder with it.
  bool commonGone;
  itemsLeftBehind = 0;
  int userBack = moveItemsBack(*this, &commonGone);
  if (userBack) restored = 1;
  if (userBack && commonGone && itemsLeftBehind == 0) {
    if (fate == DELETE_IT) platform.DeleteFileA(settingsPath);
    platform.RemoveDirectoryA(inactiveDir);  // fails, without a word, when files remain
  }
  if (!rescued) reportWhereSettingsAre(*this);

  if (!restored) return 0;
  if (host.successDialog(0)) {
    restartWindows();
    return 0;
  }
  return 1;
}

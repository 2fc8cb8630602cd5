// Remove: every listed startup entry out of the startup, once the settings
// file that holds all of it is proven on disk.
#include "engine/MachineAccess.h"
#include "engine/RunKeys.h"
#include "engine/SettingsFile.h"
#include "util/StrBuf.h"

namespace {

// Run keys first, then RunOnce, RunOnceEx and RunServices, each root in turn.
const RunKeyLocation restoreOrder[RUN_KEY_COUNT] = {
    {HKEY_LOCAL_MACHINE, RUN},          {HKEY_CURRENT_USER, RUN},
    {HKEY_LOCAL_MACHINE, RUN_ONCE},     {HKEY_CURRENT_USER, RUN_ONCE},
    {HKEY_LOCAL_MACHINE, RUN_ONCE_EX},  {HKEY_CURRENT_USER, RUN_ONCE_EX},
    {HKEY_LOCAL_MACHINE, RUN_SERVICES}, {HKEY_CURRENT_USER, RUN_SERVICES},
};

// After a failed win.ini or registry step. When everything the settings
// file holds is back, as read back from win.ini and the keys, the file goes
// and the folders come back. Otherwise nothing more is undone: the user's
// inactive folder with the file in it keeps Restore available.
void rollBack(Engine& engine, bool everythingBack) {
  if (everythingBack && machineHoldsRecord(engine)) {
    engine.platform.DeleteFileA(engine.settingsPath);
    moveBothFoldersBack(engine);
    return;
  }
  StrBuf message;
  message.append("Not every setting could be put back.\r\nThe saved settings are in the file ");
  message.append(engine.settingsPath);
  message.append(".\r\nRestore will put everything back at the next start.");
  engine.host.reportError(message.c_str(), programCaption);
}

}  // namespace

int Engine::removeStartupEntries() {
  if (!host.IsCommandEnabled(COMMAND_REMOVE)) return 0;
  if (!host.removeOptionsDialog(&removeConfigSys, &removeAutoexecBat)) return 0;
  savedRecord.clear();
  settingsFileInPlace = false;

  // Without a Startup folder path there is no inactive folder to hold the
  // settings file and to offer Restore at the next start.
  if (startupDir[0] == '\0' || !platform.CreateDirectoryA(inactiveDir, NULL)) {
    host.reportError("Unable to create inactive folder", startupDir);
    return 0;
  }
  moveFolderContents(startupDir, inactiveDir);  // files the user skipped stay

  // An empty All Users path would move the files of a drive's root: skipped.
  if (commonStartupDir[0] != '\0') {
    if (!platform.CreateDirectoryA(commonInactiveDir, NULL)) {
      host.reportError("Unable to create the \"All Users\" inactive folder", commonInactiveDir);
      moveBackAndRemove(*this, inactiveDir, startupDir, kUserItems);
      return 0;
    }
    moveFolderContents(commonStartupDir, commonInactiveDir);
  }

  if (!saveSettingsFile(*this)) {
    moveBothFoldersBack(*this);
    host.reportError("Can't save current settings, remove operation aborted.", programCaption);
    return 0;
  }

  if (!blankWinIniValues()) {
    host.reportError("Unable to remove ini settings, startup setting will be restored.",
                     programCaption);
    rollBack(*this, restoreWinIniValues() == 1);
    return 0;
  }

  if (!removeRegistryKeys()) {
    host.reportError("Unable to remove registry settings, startup settings will be restored.",
                     programCaption);
    bool keysBack = registryWriteFailed == 0;
    rollBack(*this, restoreWinIniValues() == 1 && keysBack);
    return 0;
  }

  plainMovedItems(*this);
  parkBootFiles();

  if (host.successDialog(1)) {
    restartWindows();
    return 0;
  }
  return 1;
}

int Engine::blankWinIniValues() {
  // The empty text, not a null value: the keys stay, empty. Each is read
  // back: a write that answered success and did nothing leaves it starting.
  for (const char* key : winIniKeys) {
    StrBuf value;
    if (!platform.WriteProfileStringA("windows", key, "") ||
        !readWholeProfileValue(platform, key, value) || value.length() != 0)
      return 0;
  }
  return 1;
}

int Engine::removeRegistryKeys() {
  for (int slot = 0; slot < RUN_KEY_COUNT; ++slot) keyDeleted[slot] = 0;
  for (const HKEY root : runKeyRoots) {
    for (int name = RUN; name <= RUN_SERVICES; ++name) {
      int slot = runKeySlot(root, name);
      if (entryCounts[slot] == 0) continue;
      if (!deleteRunKey(root, CURRENT_VERSION_KEY, runKeyNames[name])) {
        restoreDeletedKeys();
        // SHDeleteKeyA can fail part way, after some of the key's subkeys
        // went: what is missing comes back, what is there stays.
        if (savedRecord.holdsKey(recordRootName(root), runKeyNames[name]))
          refillRegistryKey(*this, root, runKeyNames[name]);
        return 0;
      }
      keyDeleted[slot] = 1;
    }
  }
  return 1;
}

int Engine::deleteRunKey(HKEY root, const char* parent, const char* keyName) {
  HKEY parentKey;
  if (platform.RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS, &parentKey) == ERROR_SUCCESS) {
    LONG deleted = platform.SHDeleteKeyA(parentKey, keyName);
    platform.RegCloseKey(parentKey);
    if (deleted == ERROR_SUCCESS) return 1;
  }
  StrBuf caption;
  caption.append(parent);
  caption.appendChar('\\');
  caption.append(keyName);
  host.reportError("Failed to remove this key", caption.c_str());
  return 0;
}

void Engine::restoreDeletedKeys() {
  // Afterwards registryWriteFailed tells whether anything saved failed to
  // come back; a key with nothing saved ("Can't find section") lost nothing.
  int lost = 0;
  for (const RunKeyLocation& location : restoreOrder) {
    if (!keyDeleted[runKeySlot(location.root, location.name)]) continue;
    const char* name = runKeyNames[location.name];
    bool saved = savedRecord.holdsKey(recordRootName(location.root), name) ||
                 findRegistrySection(location.root, name) != 0;
    if (restoreRegistryKey(location.root, name) == 0 && saved) lost = 1;
  }
  registryWriteFailed = lost;
}

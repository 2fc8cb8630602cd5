// Remove: every listed startup entry out of the startup, once the settings
// file that holds all of it is proven on disk.
#include "engine/MachineAccess.h"
#include "engine/RunKeys.h"
#include "engine/SettingsFile.h"
#include "platform/Held.h"
#include "util/StrBuf.h"

namespace {

// After a failed win.ini or registry step. When everything the settings
// file holds is back, as read back from win.ini and the keys, the file goes
// and the folders come back. Otherwise nothing more is undone: the user's
// inactive folder with the file in it keeps Restore available.
void rollBack(Engine& engine, bool everythingBack) {
  if (everythingBack && machineHoldsRecord(engine)) {
    engine.platform.DeleteFileA(engine.settingsPath);
    // An update of the settings file whose rename failed left it under the
    // temporary name: it must not follow the items into the Startup folder.
    deleteLeftoverSettings(engine);
    moveBothFoldersBack(engine);
    return;
  }
  StrBuf message;
  message.append("Not every setting could be put back.\r\nThe saved settings are in the file ");
  message.append(engine.settingsPath);
  message.append(".\r\nRestore will put everything back at the next start.");
  engine.host.reportError(message.c_str(), programCaption);
}

// Deletes a key found empty, neither a value nor a subkey in it, by its name
// below parent; a key that holds anything stays. *gone tells which.
bool deleteIfEmpty(Platform& platform, HKEY parent, const char* name, HKEY key, bool* gone) {
  DWORD subKeys = 0, values = 0;
  *gone = false;
  if (platform.RegQueryInfoKeyA(key, &subKeys, NULL, &values, NULL, NULL) != ERROR_SUCCESS)
    return false;
  if (subKeys > 0 || values > 0) return true;
  // Straight after the look: SHDeleteKeyA takes whatever came in since.
  *gone = platform.SHDeleteKeyA(parent, name) == ERROR_SUCCESS;
  return *gone;
}

// A recorded subkey that is gone already is no failure.
bool deleteSubkeyIfEmpty(Platform& platform, HKEY runKey, const char* path) {
  HeldKey sub(platform);
  LONG opened = sub.open(runKey, path, KEY_READ);
  bool gone;
  return opened == ERROR_FILE_NOT_FOUND ||
         (opened == ERROR_SUCCESS && deleteIfEmpty(platform, runKey, path, sub.key, &gone));
}

// Deletes the recorded values of a Run-type key that still hold exactly
// their recorded type and bytes, one by one, then its recorded subkeys that
// are left empty, deepest first. Anything else stays where it is: a value
// another program changed or added since it was recorded is not ours to
// lose. Each recorded value found changed goes to changed (without data).
// Without deleting, it looks again at a key that stayed: a recorded value
// still there as recorded is a deletion that answered success and did
// nothing, which would otherwise pass for another program's value.
bool deleteRecordedContent(Engine& engine, HKEY root, const char* keyName, HKEY key,
                           RecordWriter& changed, bool deleting) {
  Platform& platform = engine.platform;
  RecordCursor cursor(engine.savedRecord.lines.c_str(), engine.savedRecord.lines.length());
  if (!seekRecordedKey(platform, cursor, root, keyName)) return true;
  // The subkeys' paths, each ended by a zero, in record order: a key comes
  // before the keys below it.
  StrBuf subkeys;
  HeldKey sub(platform);
  HKEY current = key;
  RecordEntry entry;
  bool ok = changed.key(recordRootName(root), keyName);
  while (ok && cursor.next(entry) &&
         (entry.kind == RecordEntry::SUBKEY || entry.kind == RecordEntry::VALUE)) {
    if (entry.kind == RecordEntry::SUBKEY) {
      // A subkey gone meanwhile took its values with it.
      LONG opened = sub.open(key, entry.name.c_str(), KEY_ALL_ACCESS);
      current = sub.key;
      ok = (opened == ERROR_SUCCESS || opened == ERROR_FILE_NOT_FOUND) &&
           subkeys.append(entry.name.c_str(), entry.name.length() + 1) &&
           changed.subkey(entry.name.c_str(), entry.name.length());
    } else if (current) {
      ValueState state = valueState(platform, current, entry);
      if (state == VALUE_SAME && !deleting) state = VALUE_UNREADABLE;
      if (state == VALUE_SAME) {
        LONG deleted = platform.RegDeleteValueA(current, entry.name.c_str());
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) state = VALUE_UNREADABLE;
      }
      ok = state != VALUE_UNREADABLE &&
           (state != VALUE_CHANGED ||
            changed.value(entry.type, entry.name.c_str(), entry.name.length(), "", 0));
    }
  }
  sub.close();
  if (!deleting) return ok;
  // Backwards, so that every subkey goes before the key above it.
  const char* paths = subkeys.c_str();
  for (size_t end = subkeys.length(); ok && end > 0;) {
    size_t start = end - 1;
    while (start > 0 && paths[start - 1] != '\0') --start;
    ok = deleteSubkeyIfEmpty(platform, key, paths + start);
    end = start;
  }
  return ok;
}

// One message naming every value the keys still held after Remove deleted
// what it recorded: another program changed or added them meanwhile.
void reportLeftValues(Engine& engine, const SavedRecord& left) {
  StrBuf message;
  message.append(
      "Another program changed or added these values while Remove ran.\r\n"
      "They were left where they are, and Restore will not change them:\r\n");
  PlaceCursor cursor(left);
  RecordEntry entry;
  bool named = false;
  while (cursor.next(entry)) {
    if (entry.kind != RecordEntry::VALUE) continue;
    named = true;
    message.append("\r\n");
    message.append(cursor.place().c_str());
    message.append(": ");
    message.append(entry.name.length() > 0 ? entry.name.c_str() : "(Default)");
  }
  if (named) engine.host.reportError(message.c_str(), programCaption);
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
  // What the keys held after the deletions, and the recorded values found
  // changed: the first for the message, both to leave the record.
  RecordWriter stayed, changed;
  HKEY failedRoot = NULL;
  const char* failedName = NULL;
  for (const HKEY root : runKeyRoots) {
    for (int name = 0; name < RUN_KEY_NAME_COUNT && !failedName; ++name) {
      int row = runKeyRow(root, name);
      if (entryCounts[row] == 0) continue;
      if (deleteRunKey(root, CURRENT_VERSION_KEY, listName(places[row]), stayed, changed)) {
        keyDeleted[row] = 1;
      } else {
        failedRoot = root;
        failedName = listName(places[row]);
      }
    }
  }
  SavedRecord left, found;
  if (stayed.finish()) left.load(stayed.text().c_str(), stayed.text().length());
  if (changed.finish()) found.load(changed.text().c_str(), changed.text().length());
  // Before any roll-back, which must not write old bytes over what stayed.
  bool forgotten = left.valid() && found.valid() && forgetLeftValues(*this, left, found);
  if (failedName || !forgotten) {
    restoreDeletedKeys();
    // A key can fail part way, after some of its values and subkeys went:
    // what is missing comes back, what is there stays.
    if (failedName && savedRecord.holdsKey(recordRootName(failedRoot), failedName))
      refillRegistryKey(*this, failedRoot, failedName);
    return 0;
  }
  reportLeftValues(*this, left);
  return 1;
}

int Engine::deleteRunKey(HKEY root, const char* parent, const char* keyName, RecordWriter& stayed,
                         RecordWriter& changed) {
  HeldKey parentKey(platform), key(platform);
  bool ok = parentKey.open(root, parent, KEY_ALL_ACCESS) == ERROR_SUCCESS &&
            key.open(parentKey.key, keyName, KEY_ALL_ACCESS) == ERROR_SUCCESS;
  bool gone = false;
  if (ok)
    ok = deleteRecordedContent(*this, root, keyName, key.key, changed, true) &&
         deleteIfEmpty(platform, parentKey.key, keyName, key.key, &gone) &&
         (gone || deleteRecordedContent(*this, root, keyName, key.key, changed, false));
  // What the key still holds is named to the user and taken out of the
  // record, also after a failure, for the roll-back.
  if (key.key && !gone && !recordRunKey(platform, root, keyName, stayed)) ok = false;
  if (ok) return 1;
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
  // Run keys first, then RunOnce, RunOnceEx and RunServices, each root in turn.
  for (int name = 0; name < RUN_KEY_NAME_COUNT; ++name)
    for (HKEY root : runKeyRoots) {
      int row = runKeyRow(root, name);
      if (!keyDeleted[row]) continue;
      const char* keyName = listName(places[row]);
      bool recorded = savedRecord.holdsKey(recordRootName(root), keyName);
      bool saved = recorded || findRegistrySection(root, keyName) != 0;
      registryWriteFailed = 0;
      // Only what is missing comes back: what is there was never taken, as a
      // value another program changed meanwhile.
      if (recorded)
        refillRegistryKey(*this, root, keyName);
      else
        restoreRegistryKey(root, keyName);
      if (saved && registryWriteFailed) lost = 1;
    }
  registryWriteFailed = lost;
}

// The settings file: the listing of the last Find, line for line, followed by
// our record of the whole keys and win.ini values that Remove takes away.
#include "engine/SettingsFile.h"

#include <string.h>

#include "engine/MachineAccess.h"
#include "engine/RunKeys.h"
#include "util/Paths.h"
#include "util/StrBuf.h"
#include "util/TextBuffer.h"

const char kUserItems[] = "user";
const char kCommonItems[] = "common";

namespace {

const unsigned kReserveSize = 64000;
const unsigned kGrowthStep = 32000;
const char kTempSuffix[] = ".tmp";
// What every settings file begins with: Find's first two lines.
const char kSettingsStart[] = "\r\n[Win.ini]\r\n";
// The registry's own limit: key names of 255 characters.
const DWORD kMaxKeyName = 256;
const int kLineBufferSize = 260;
const char kWinIniHeading[] = "[Win.ini]";
// Find's listing begins: "", "[Win.ini]", the run line, the load line.
const int kWinIniLines = 4;
const char kRegistryHeadingStart[] = "[Registry - ";

const DWORD kNotPlain = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool tempPath(const Engine& engine, char* path) {
  return copyText(path, PATH_SIZE, engine.settingsPath) && appendText(path, PATH_SIZE, kTempSuffix);
}

// Every value of one key, with its type and exact bytes.
class RecordedValues : public ValueSink {
 public:
  explicit RecordedValues(RecordWriter& record) : record_(record) {}
  bool take(const RegistryValue& value) override {
    return record_.value(value.type, value.name, value.nameSize, value.data, value.dataSize);
  }

 private:
  RecordWriter& record_;
};

// The values of a key and every key below it, depth first; path is the
// key's place below the Run-type key ("" for the Run-type key itself).
bool recordTree(Platform& platform, HKEY key, const StrBuf& path, RecordWriter& record) {
  RecordedValues values(record);
  DWORD count;
  if (!readKeyValues(platform, key, values, &count)) return false;
  for (DWORD index = 0;; ++index) {
    char name[kMaxKeyName];
    DWORD nameSize = kMaxKeyName;
    LONG result = platform.RegEnumKeyExA(key, index, name, &nameSize, NULL, NULL, NULL, NULL);
    if (result == ERROR_NO_MORE_ITEMS) return true;
    if (result != ERROR_SUCCESS) return false;
    StrBuf childPath;
    if (path.length() > 0 && !(childPath.append(path.c_str()) && childPath.appendChar('\\')))
      return false;
    if (!childPath.append(name, nameSize)) return false;
    if (!record.subkey(childPath.c_str(), childPath.length())) return false;
    HKEY child;
    if (platform.RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) return false;
    bool ok = recordTree(platform, child, childPath, record);
    platform.RegCloseKey(child);
    if (!ok) return false;
  }
}

// Whether Find's listing shows the win.ini value with a value ("run = x"),
// in the listing's fixed place under "[Win.ini]".
bool listedWithValue(Engine& engine, const char* key) {
  StrBuf line, shape;
  shape.append(key);
  shape.append(" = ");
  for (int index = 0; index < kWinIniLines && engine.host.listingLine(index, line); ++index)
    if (line.length() > shape.length() && memcmp(line.c_str(), shape.c_str(), shape.length()) == 0)
      return true;
  return false;
}

// The items just moved into an inactive folder, with the attributes they
// had in the Startup folder (the move keeps them; Remove clears them later).
bool recordFolderItems(Platform& platform, const char* folder, const char* recordedAs,
                       RecordWriter& record) {
  // A listing cut short by an error would leave items unrecorded.
  return walkFolder(platform, folder, [&](const WIN32_FIND_DATAA& found) {
           return record.file(recordedAs, found.cFileName, strlen(found.cFileName),
                              found.dwFileAttributes);
         }) == ERROR_SUCCESS;
}

// Everything Remove is about to take away outside the Startup folders: both
// win.ini values and every key that existed at the last Find, whole; and
// the attributes of the items it has moved out of the Startup folders.
bool recordMachine(Engine& engine, RecordWriter& record) {
  for (const char* key : winIniKeys) {
    StrBuf value;
    if (!readWholeProfileValue(engine.platform, key, value)) return false;
    // A profile read that fails answers the empty text, like an empty value:
    // a value Find listed must not be recorded as empty and then blanked.
    if (value.length() == 0 && listedWithValue(engine, key)) return false;
    if (!record.iniValue(key, value.c_str(), value.length())) return false;
  }
  for (HKEY root : runKeyRoots)
    for (int name = 0; name < RUN_KEY_NAME_COUNT; ++name) {
      int row = runKeyRow(root, name);
      if (engine.entryCounts[row] != 0 &&
          !recordRunKey(engine.platform, root, listName(places[row]), record))
        return false;
    }
  if (!recordFolderItems(engine.platform, engine.inactiveDir, kUserItems, record)) return false;
  if (engine.commonStartupDir[0] != '\0' &&
      !recordFolderItems(engine.platform, engine.commonInactiveDir, kCommonItems, record))
    return false;
  return record.finish();
}

// The settings file's text: Find's listing, line for line, then the record.
bool settingsText(Engine& engine, const StrBuf& record, TextBuffer& text) {
  text.reserve(kReserveSize, kGrowthStep);
  StrBuf line;
  for (int index = 0; engine.host.listingLine(index, line); ++index) {
    text.append(line.c_str(), static_cast<unsigned>(line.length()));
    text.append("\r\n", 2);
  }
  text.append(record.c_str(), static_cast<unsigned>(record.length()));
  return !text.failed && !line.failed();
}

// Written under a temporary name and renamed once proven, so that a process
// that dies half way leaves no settings file that Restore would trust. With
// replace the settings file there goes first (Windows 98 cannot rename over
// a file): from then until the rename the proven temporary file is the
// settings file, and stays when the rename fails.
bool placeSettingsFile(Engine& engine, TextBuffer& text, bool replace, DWORD* error) {
  Platform& platform = engine.platform;
  char temp[PATH_SIZE];
  *error = ERROR_BUFFER_OVERFLOW;
  if (!tempPath(engine, temp)) return false;
  // A file of that name came from the Startup folder: never write over it.
  *error = ERROR_ALREADY_EXISTS;
  if (platform.GetFileAttributesA(temp) != INVALID_FILE_ATTRIBUTES) return false;
  // Only a whole record goes to disk: the bytes read back are compared with these.
  SavedRecord parsed;
  parsed.load(text.data, text.length);
  *error = ERROR_INVALID_DATA;
  if (!parsed.valid()) return false;
  *error = writeDurably(platform, engine.settingsPath, temp, text, replace);
  return *error == ERROR_SUCCESS;
}

bool holdsAnyValue(const SavedRecord& record) {
  RecordCursor cursor(record.lines.c_str(), record.lines.length());
  RecordEntry entry;
  while (cursor.next(entry))
    if (entry.kind == RecordEntry::VALUE) return true;
  return false;
}

// Whether a record holds a value of that name at that place.
bool holdsValueAt(Platform& platform, const SavedRecord& record, const StrBuf& place,
                  const StrBuf& name) {
  PlaceCursor cursor(record);
  RecordEntry entry;
  while (cursor.next(entry))
    if (entry.kind == RecordEntry::VALUE &&
        platform.lstrcmpiA(entry.name.c_str(), name.c_str()) == 0 &&
        platform.lstrcmpiA(cursor.place().c_str(), place.c_str()) == 0)
      return true;
  return false;
}

// Values and keys already there are overwritten, or with keepExisting kept
// as they are; nothing is deleted.
int restoreKeyFromRecord(Engine& engine, HKEY root, const char* keyName, bool keepExisting) {
  Platform& platform = engine.platform;
  RecordCursor cursor(engine.savedRecord.lines.c_str(), engine.savedRecord.lines.length());
  RecordEntry entry;
  StrBuf path;
  HKEY key;
  if (!seekRecordedKey(platform, cursor, root, keyName) || !runKeyPath(path, keyName) ||
      createKey(platform, root, path.c_str(), &key) != ERROR_SUCCESS) {
    engine.registryWriteFailed = 1;
    return 0;
  }
  HKEY current = key;
  int count = 0;
  bool ok = true;
  while (ok && cursor.next(entry) &&
         (entry.kind == RecordEntry::SUBKEY || entry.kind == RecordEntry::VALUE)) {
    if (entry.kind == RecordEntry::SUBKEY) {
      if (current != key) platform.RegCloseKey(current);
      current = key;
      ok = createKey(platform, key, entry.name.c_str(), &current) == ERROR_SUCCESS;
      if (!ok) current = key;
    } else if (keepExisting && platform.RegQueryValueExA(current, entry.name.c_str(), NULL, NULL,
                                                         NULL, NULL) == ERROR_SUCCESS) {
      continue;
    } else {
      // Read back: a write that answers success and writes nothing would let
      // Restore delete the settings file that is the value's only copy.
      ok = platform.RegSetValueExA(current, entry.name.c_str(), 0, entry.type,
                                   reinterpret_cast<const BYTE*>(entry.data.c_str()),
                                   static_cast<DWORD>(entry.data.length())) == ERROR_SUCCESS &&
           valueMatches(platform, current, entry);
    }
    if (ok) ++count;
  }
  if (current != key) platform.RegCloseKey(current);
  platform.RegCloseKey(key);
  if (!ok) {
    engine.registryWriteFailed = 1;
    return 0;
  }
  return count;
}

HKEY openRecordedKey(Platform& platform, const RecordEntry& entry) {
  StrBuf path;
  HKEY key;
  HKEY root =
      platform.lstrcmpiA(entry.root.c_str(), "HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  if (!runKeyPath(path, entry.name.c_str()) ||
      platform.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return NULL;
  return key;
}

}  // namespace

// A key that is gone has nothing to lose (deleting it will fail and say so);
// a key without values or subkeys is not recorded either, so it is no more
// re-created than the listing would re-create it. What Remove leaves in a
// key is recorded the same way.
bool recordRunKey(Platform& platform, HKEY root, const char* keyName, RecordWriter& record) {
  StrBuf path;
  if (!runKeyPath(path, keyName)) return false;
  HKEY key;
  LONG opened = platform.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  DWORD subKeys = 0, values = 0;
  bool ok = platform.RegQueryInfoKeyA(key, &subKeys, NULL, &values, NULL, NULL) == ERROR_SUCCESS;
  if (ok && (subKeys > 0 || values > 0)) {
    StrBuf top;
    ok = record.key(recordRootName(root), keyName) && recordTree(platform, key, top, record);
  }
  platform.RegCloseKey(key);
  return ok;
}

bool seekRecordedKey(Platform& platform, RecordCursor& cursor, HKEY root, const char* keyName) {
  RecordEntry entry;
  while (cursor.next(entry))
    if (entry.kind == RecordEntry::KEY &&
        platform.lstrcmpiA(entry.root.c_str(), recordRootName(root)) == 0 &&
        platform.lstrcmpiA(entry.name.c_str(), keyName) == 0)
      return true;
  return false;
}

PlaceCursor::PlaceCursor(const SavedRecord& record)
    : cursor_(record.lines.c_str(), record.lines.length()) {}

bool PlaceCursor::next(RecordEntry& entry) {
  if (!cursor_.next(entry)) return false;
  if (entry.kind == RecordEntry::KEY) {
    key_.clear();
    key_.append(entry.root.c_str());
    key_.appendChar('\\');
    key_.append(CURRENT_VERSION_PREFIX);
    key_.append(entry.name.c_str());
  }
  if (entry.kind == RecordEntry::KEY || entry.kind == RecordEntry::SUBKEY) {
    place_.clear();
    place_.append(key_.c_str(), key_.length());
    if (entry.kind == RecordEntry::SUBKEY) {
      place_.appendChar('\\');
      place_.append(entry.name.c_str(), entry.name.length());
    }
  }
  return true;
}

ValueState valueState(Platform& platform, HKEY key, const RecordEntry& entry) {
  // One read, with room for the recorded bytes and to spare (a size answered
  // for a string may count a terminator): a longer value answers
  // ERROR_MORE_DATA, so it differs. Restore reads back every value it writes.
  DWORD type = REG_NONE, size = static_cast<DWORD>(entry.data.length()) + 2;
  StrBuf data;
  char* room = data.reserveTail(size);
  if (!room) return VALUE_UNREADABLE;
  LONG result = platform.RegQueryValueExA(key, entry.name.c_str(), NULL, &type,
                                          reinterpret_cast<BYTE*>(room), &size);
  if (result == ERROR_FILE_NOT_FOUND) return VALUE_GONE;
  if (result == ERROR_MORE_DATA) return VALUE_CHANGED;
  if (result != ERROR_SUCCESS) return VALUE_UNREADABLE;
  if (type != entry.type) return VALUE_CHANGED;
  size_t length = entry.data.length();
  const char* recorded = entry.data.c_str();
  if (size == length) return memcmp(room, recorded, length) == 0 ? VALUE_SAME : VALUE_CHANGED;
  // A string written without its terminating zero may be kept with one
  // added: that form, and no other, is the same value.
  bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
  bool same = text && size == length + 1 && (length == 0 || recorded[length - 1] != '\0') &&
              room[length] == '\0' && memcmp(room, recorded, length) == 0;
  return same ? VALUE_SAME : VALUE_CHANGED;
}

bool valueMatches(Platform& platform, HKEY key, const RecordEntry& entry) {
  return valueState(platform, key, entry) == VALUE_SAME;
}

bool missingFile(Platform& platform, const char* path) {
  if (platform.GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
  DWORD error = platform.GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool machineHoldsRecord(Engine& engine) {
  Platform& platform = engine.platform;
  const SavedRecord& saved = engine.savedRecord;
  if (!saved.valid()) return false;
  RecordCursor cursor(saved.lines.c_str(), saved.lines.length());
  RecordEntry entry;
  HKEY key = NULL, current = NULL;
  bool ok = true;
  while (ok && cursor.next(entry)) {
    switch (entry.kind) {
      case RecordEntry::INI: {
        StrBuf value;
        ok = readWholeProfileValue(platform, entry.name.c_str(), value) &&
             value.length() == entry.data.length() &&
             memcmp(value.c_str(), entry.data.c_str(), value.length()) == 0;
        break;
      }
      case RecordEntry::KEY:
        if (current && current != key) platform.RegCloseKey(current);
        if (key) platform.RegCloseKey(key);
        key = current = openRecordedKey(platform, entry);
        ok = key != NULL;
        break;
      case RecordEntry::SUBKEY:
        if (current && current != key) platform.RegCloseKey(current);
        current = NULL;
        ok = key && platform.RegOpenKeyExA(key, entry.name.c_str(), 0, KEY_READ, &current) ==
                        ERROR_SUCCESS;
        break;
      case RecordEntry::VALUE:
        ok = current && valueMatches(platform, current, entry);
        break;
      default:
        break;
    }
  }
  if (current && current != key) platform.RegCloseKey(current);
  if (key) platform.RegCloseKey(key);
  return ok;
}

int refillRegistryKey(Engine& engine, HKEY root, const char* keyName) {
  return restoreKeyFromRecord(engine, root, keyName, true);
}

const char* recordRootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU"; }

int saveSettingsFile(Engine& engine) {
  RecordWriter record;
  TextBuffer text;
  DWORD error;
  if (!recordMachine(engine, record) || !settingsText(engine, record.text(), text) ||
      !placeSettingsFile(engine, text, false, &error))
    return 0;
  engine.settingsFileInPlace = true;
  engine.savedRecord.load(text.data, text.length);
  return engine.savedRecord.valid() ? 1 : 0;
}

int forgetLeftValues(Engine& engine, const SavedRecord& left, const SavedRecord& changed) {
  Platform& platform = engine.platform;
  // Nearly always nothing stayed: then the record is not copied for nothing.
  if (!holdsAnyValue(left) && !holdsAnyValue(changed)) return 1;
  RecordWriter kept;
  PlaceCursor cursor(engine.savedRecord);
  RecordEntry entry;
  bool dropped = false;
  while (cursor.next(entry)) {
    if (entry.kind == RecordEntry::VALUE &&
        (holdsValueAt(platform, left, cursor.place(), entry.name) ||
         holdsValueAt(platform, changed, cursor.place(), entry.name)))
      dropped = true;
    else if (!kept.entry(entry))
      return 0;
  }
  if (!dropped) return 1;
  SavedRecord shorter;
  if (cursor.failed() || !kept.finish()) return 0;
  shorter.load(kept.text().c_str(), kept.text().length());
  if (!shorter.valid()) return 0;
  // Shorter than the record it replaces, so the copy needs no memory: a
  // roll-back has the whole record either way.
  engine.savedRecord.lines.clear();
  engine.savedRecord.lines.append(shorter.lines.c_str(), shorter.lines.length());

  TextBuffer text;
  DWORD error = ERROR_NOT_ENOUGH_MEMORY;
  if (settingsText(engine, kept.text(), text) && placeSettingsFile(engine, text, true, &error))
    return 1;
  StrBuf message;
  message.append("Unable to update the settings file ");
  message.append(engine.settingsPath);
  message.append(":\r\n");
  appendSystemError(platform, error, message);
  engine.host.reportError(message.c_str(), programCaption);
  return 0;
}

bool takeOverProvenSettings(Engine& engine) {
  Platform& platform = engine.platform;
  char temp[PATH_SIZE];
  if (!tempPath(engine, temp) || !missingFile(platform, engine.settingsPath)) return true;
  TextBuffer file;
  SavedRecord record;
  if (file.loadFile(platform, temp, 1)) record.load(file.data, file.length);
  return !record.valid() || platform.MoveFileA(temp, engine.settingsPath);
}

void deleteLeftoverSettings(Engine& engine) {
  char temp[PATH_SIZE];
  if (!tempPath(engine, temp)) return;
  TextBuffer leftover;
  if (!leftover.loadFile(engine.platform, temp, 1)) return;
  // Only a file of ours: empty, or starting the way every settings file does.
  size_t compared =
      leftover.length < sizeof kSettingsStart - 1 ? leftover.length : sizeof kSettingsStart - 1;
  if (memcmp(leftover.data, kSettingsStart, compared) == 0) engine.platform.DeleteFileA(temp);
}

int moveBackAndRemove(Engine& engine, const char* inactive, const char* startup,
                      const char* recordedAs) {
  if (inactive[0] == '\0' || startup[0] == '\0') return 0;
  if (engine.moveFolderContents(inactive, startup, recordedAs) != 1) return 0;
  engine.platform.RemoveDirectoryA(inactive);  // fails, without a word, when files remain
  return 1;
}

int moveItemsBack(Engine& engine, bool* commonGone) {
  moveBackAndRemove(engine, engine.commonInactiveDir, engine.commonStartupDir, kCommonItems);
  // The user's inactive folder is what offers Restore at the next start: it
  // has to stay while the All Users one is still there, with items in it.
  Platform& platform = engine.platform;
  *commonGone =
      engine.commonStartupDir[0] == '\0' || missingFile(platform, engine.commonInactiveDir);
  if (engine.inactiveDir[0] == '\0' || engine.startupDir[0] == '\0') return 0;
  return engine.moveFolderContents(engine.inactiveDir, engine.startupDir, kUserItems);
}

void moveBothFoldersBack(Engine& engine) {
  bool commonGone;
  if (moveItemsBack(engine, &commonGone) == 1 && commonGone)
    engine.platform.RemoveDirectoryA(
        engine.inactiveDir);  // fails, without a word, when files remain
}

void plainMovedItems(Engine& engine) {
  RecordCursor cursor(engine.savedRecord.lines.c_str(), engine.savedRecord.lines.length());
  RecordEntry entry;
  StrBuf path;
  while (cursor.next(entry)) {
    // Only what a plain item lacks needs clearing: one call per item would
    // double the folder's share of Remove.
    if (entry.kind != RecordEntry::FILE_ITEM || !(entry.type & kNotPlain)) continue;
    path.clear();
    path.append(engine.platform.lstrcmpiA(entry.root.c_str(), kUserItems) == 0
                    ? engine.inactiveDir
                    : engine.commonInactiveDir);
    path.appendChar('\\');
    // Result ignored: the record holds the attributes either way.
    if (path.append(entry.name.c_str()))
      engine.platform.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

SettingsRead readSettingsFile(Engine& engine, const char* path) {
  Platform& platform = engine.platform;
  engine.host.resetListing();
  engine.listingSectionCount = 0;
  engine.savedRecord.clear();
  TextBuffer file;
  if (!file.open(platform, path, kLineBufferSize)) {
    // Only a file that is not there may be passed over; one that is there
    // but cannot be read now (held by another program, no memory) may hold
    // everything Remove took away.
    return missingFile(platform, path) ? SETTINGS_MISSING : SETTINGS_UNREADABLE;
  }
  engine.savedRecord.load(file.data, file.length);
  // The listing is the file's lines up to our record; tabs and long lines
  // come back as they were written.
  file.expandTabs = 0;
  file.readEnd = file.data + findRecordHeading(file.data, file.length);
  StrBuf line;
  // An empty or foreign file restores nothing and must say so, rather than
  // end in a Success dialog for a machine left without its settings.
  bool ours = engine.savedRecord.state != RECORD_NONE;
  while (!file.atEnd()) {
    if (!file.readLine(line)) {
      engine.host.resetListing();
      engine.savedRecord.clear();
      return SETTINGS_UNREADABLE;
    }
    char start[sizeof kRegistryHeadingStart];
    copyText(start, sizeof start, line.c_str());  // cut to the heading's start on purpose
    ours = ours || engine.platform.lstrcmpiA(line.c_str(), kWinIniHeading) == 0 ||
           engine.platform.lstrcmpiA(start, kRegistryHeadingStart) == 0;
    engine.addLine(line.c_str(), plainColour);
  }
  if (!ours) engine.host.resetListing();
  return ours ? SETTINGS_READ : SETTINGS_NOT_OURS;
}

int Engine::loadListingFromFile(const char* path) {
  return readSettingsFile(*this, path) == SETTINGS_READ ? 1 : 0;
}

int Engine::restoreWinIniValues() {
  int result = 1;
  for (const char* key : winIniKeys) {
    StrBuf value;
    if (!savedRecord.iniValue(key, value)) {
      char text[LINE_SIZE];
      DWORD length =
          platform.GetPrivateProfileStringA("win.ini", key, "", text, LINE_SIZE, settingsPath);
      value.append(text, length);
    }
    // An empty value writes nothing: win.ini is left as it is.
    if (value.length() == 0) continue;
    // Read back, as the registry's values are: the settings file goes once
    // the value is written, so a write that only says so would lose it.
    StrBuf back;
    if (value.failed() || !platform.WriteProfileStringA("windows", key, value.c_str()) ||
        !readWholeProfileValue(platform, key, back) || back.length() != value.length() ||
        memcmp(back.c_str(), value.c_str(), value.length()) != 0)
      result = 0;
  }
  return result;
}

int Engine::findRegistrySection(HKEY root, const char* keyName) {
  int row = valueListRow(platform, root, keyName);
  if (row < 0) return 0;
  const char* heading = places[row].heading;
  StrBuf line;
  for (int index = 0; host.listingLine(index, line); ++index)
    if (platform.lstrcmpiA(line.c_str(), heading) == 0) return index + 1;
  return 0;
}

int Engine::restoreRegistryKey(HKEY root, const char* keyName) {
  if (savedRecord.holdsKey(recordRootName(root), keyName))
    return restoreKeyFromRecord(*this, root, keyName, false);

  int start = findRegistrySection(root, keyName);
  if (start == 0) {
    int row = valueListRow(platform, root, keyName);
    host.reportError("Can't find section", row < 0 ? keyName : places[row].heading);
    registryWriteFailed = 1;
    return 0;
  }
  StrBuf path;
  HKEY key;
  if (!runKeyPath(path, keyName) ||
      createKey(platform, root, path.c_str(), &key) != ERROR_SUCCESS) {
    registryWriteFailed = 1;
    return 0;
  }
  int count = 0;
  StrBuf line;
  for (int index = start; host.listingLine(index, line); ++index) {
    if (line.c_str()[0] == '[') break;
    TextSpan name, data;
    if (!splitListingLine(line.c_str(), line.length(), &name, &data)) continue;
    StrBuf valueName;
    // The data runs to the end of the line, so it is already NUL-terminated.
    if (!valueName.append(name.text, name.length) ||
        platform.RegSetValueExA(key, valueName.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(data.text),
                                static_cast<DWORD>(data.length + 1)) != ERROR_SUCCESS) {
      platform.RegCloseKey(key);
      registryWriteFailed = 1;
      return 0;
    }
    ++count;
  }
  platform.RegCloseKey(key);
  return count;
}

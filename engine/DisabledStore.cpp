// The store of disabled entries: beside each Startup folder a folder that
// holds the disabled items themselves and a record file of the disabled
// registry and win.ini values, in the settings file's record format.
//
// A process that dies at any point leaves each entry in its place or in the
// store, never in neither: the store is written and proven before an entry
// leaves its place, and an entry is back and proven before it leaves the
// store. One found in both is dropped from the store at the next Find.
//
// Another process may change the same places at the same moment: a second
// window, another user's for the All Users store, an installer or updater.
// Every change to a store is made under a lock file in it, held without
// sharing from a fresh read to the last write (the system lets go of it when
// a process dies), and nothing leaves its place unless the place still
// holds exactly what was stored.
#include <string.h>

#include "engine/Engine.h"
#include "engine/MachineAccess.h"
#include "engine/RunKeys.h"
#include "engine/SettingsFile.h"
#include "platform/Held.h"
#include "util/Paths.h"
#include "util/TextBuffer.h"

const char kDisabledHeading[] = "[Disabled by Startlull]";
const char kDisabledFolderName[] = "Startup-Disabled";
const char kDisabledRecordName[] = "Startlull.ini";

namespace {

const char kTempSuffix[] = ".tmp";
// Held open without sharing while a process changes the store.
const char kLockName[] = "Startlull.lck";
// Where a Startup item that an Enable replaces waits until the enabled one
// is back, so that a move that fails can put it back.
const char kAsideName[] = "Startlull.old";
const DWORD kLockRetry = 50;
const char kWindowsSection[] = "windows";
const DWORD kNotPlain = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// One disabled value as a store keeps it: a win.ini value (kind INI, name
// the key, data the value) or a registry value (kind VALUE) of a Run-type key.
struct StoredValue {
  RecordEntry value;
  HKEY root;
  int row;  // of the place table; -1 for win.ini
};

enum StoreState { STORE_NONE, STORE_SOUND, STORE_DAMAGED, STORE_UNREADABLE };

// A store's record file, or its temporary name while a new one is proven.
bool storeFile(const char* dir, bool temp, StrBuf& path) {
  path.clear();
  return dir[0] != '\0' && path.append(dir) && path.appendChar('\\') &&
         path.append(kDisabledRecordName) && (!temp || path.append(kTempSuffix));
}

bool isStoreFileName(Platform& platform, const char* name) {
  StrBuf temp;
  static const char* const seen[] = {kSeenName, kSeenTempName, kSeenAsideName};
  for (const char* ours : seen)
    if (platform.lstrcmpiA(name, ours) == 0) return true;
  return platform.lstrcmpiA(name, kDisabledRecordName) == 0 ||
         platform.lstrcmpiA(name, kLockName) == 0 || platform.lstrcmpiA(name, kAsideName) == 0 ||
         (temp.append(kDisabledRecordName) && temp.append(kTempSuffix) &&
          platform.lstrcmpiA(name, temp.c_str()) == 0);
}

bool storeName(const char* dir, const char* name, StrBuf& path) {
  path.clear();
  return path.append(dir) && path.appendChar('\\') && path.append(name);
}

// The store's lock: its folder made when missing, then the lock file opened
// without sharing, tried again while another process holds it, up to the
// engine's wait. Let go of in the destructor, and the file and the folder
// removed when nothing else is in the folder.
class StoreLock {
 public:
  StoreLock(Engine& engine, const char* dir)
      : error(ERROR_SUCCESS), platform_(engine.platform), dir_(dir), file_(INVALID_HANDLE_VALUE) {
    if (dir[0] == '\0' || !storeName(dir, kLockName, path_)) {
      error = ERROR_NOT_ENOUGH_MEMORY;
      return;
    }
    DWORD start = platform_.GetTickCount();
    for (;;) {
      if (!platform_.CreateDirectoryA(dir, NULL) &&
          platform_.GetLastError() != ERROR_ALREADY_EXISTS) {
        error = platform_.GetLastError();
        return;
      }
      file_ = platform_.CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, NULL);
      if (file_ != INVALID_HANDLE_VALUE) return;
      error = platform_.GetLastError();
      // Held by another process, or its folder removed by one letting go.
      bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                  error == ERROR_PATH_NOT_FOUND;
      if (!busy || platform_.GetTickCount() - start >= engine.storeLockWait) return;
      platform_.Sleep(kLockRetry);
    }
  }
  ~StoreLock() {
    if (!held()) return;
    platform_.CloseHandle(file_);
    // Both fail, without a word, while another process holds the lock or
    // anything else is in the folder.
    platform_.DeleteFileA(path_.c_str());
    platform_.RemoveDirectoryA(dir_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  bool held() const { return file_ != INVALID_HANDLE_VALUE; }
  DWORD error;

 private:
  Platform& platform_;
  const char* dir_;
  HANDLE file_;
  StrBuf path_;
};

bool isCommonStore(const Engine& engine, const char* dir) { return dir == engine.commonDisabledDir; }

// Machine-wide entries go to the All Users store, where there is one.
const char* storeFor(Engine& engine, const ListedEntry& entry) {
  bool machine = entry.place == ENTRY_COMMON_STARTUP ||
                 (entry.place == ENTRY_REGISTRY && entry.root == HKEY_LOCAL_MACHINE);
  return machine && engine.commonDisabledDir[0] != '\0' ? engine.commonDisabledDir
                                                        : engine.disabledDir;
}

// Walks a store's record value by value. A record that names anything but
// a value of one of the eight keys or win.ini's run and load, or a root the
// store does not keep, is foreign: Enable never writes from it.
class StoreCursor {
 public:
  StoreCursor(Engine& engine, const char* dir, const SavedRecord& record)
      : foreign(false), engine_(engine), common_(isCommonStore(engine, dir)),
        cursor_(record.lines.c_str(), record.lines.length()) {}

  bool next(StoredValue& stored) {
    RecordEntry& entry = stored.value;
    if (!cursor_.next(entry)) return false;
    Platform& platform = engine_.platform;
    if (entry.kind == RecordEntry::INI) {
      stored.root = NULL;
      stored.row = -1;
      // win.ini holds a value as one line of text: a zero byte would cut
      // it, a line break would make it two.
      const char* data = entry.data.c_str();
      size_t length = entry.data.length();
      if (memchr(data, 0, length) || memchr(data, '\r', length) || memchr(data, '\n', length))
        return fail();
      for (const char* key : winIniKeys)
        if (!common_ && platform.lstrcmpiA(entry.name.c_str(), key) == 0) return true;
      return fail();
    }
    if (entry.kind != RecordEntry::KEY) return fail();
    bool machine = platform.lstrcmpiA(entry.root.c_str(), "HKLM") == 0;
    if (!machine && platform.lstrcmpiA(entry.root.c_str(), "HKCU") != 0) return fail();
    // HKLM values are kept by the All Users store, or by the user's where
    // the system had no All Users Startup folder when they were disabled
    // (it may have one now); HKCU values by the user's only.
    if (!machine && common_) return fail();
    stored.root = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    stored.row = valueListRow(platform, stored.root, entry.name.c_str());
    if (stored.row < 0) return fail();
    return (cursor_.next(entry) && entry.kind == RecordEntry::VALUE) || fail();
  }

  bool foreign;

 private:
  bool fail() {
    foreign = true;
    return false;
  }

  Engine& engine_;
  bool common_;
  RecordCursor cursor_;
};

bool appendStored(RecordWriter& writer, const StoredValue& stored) {
  const RecordEntry& entry = stored.value;
  if (entry.kind == RecordEntry::INI)
    return writer.iniValue(entry.name.c_str(), entry.data.c_str(), entry.data.length());
  return writer.key(recordRootName(stored.root), listName(places[stored.row])) &&
         writer.value(entry.type, entry.name.c_str(), entry.name.length(), entry.data.c_str(),
                      entry.data.length());
}

// What Find shows of a value: "run = value", "name = data" (the data up to
// its first zero byte).
bool appendShown(StrBuf& line, const RecordEntry& entry) {
  const char* data = entry.data.c_str();
  size_t length = entry.data.length();
  const void* zero = memchr(data, 0, length);
  if (zero) length = static_cast<const char*>(zero) - data;
  return line.append(entry.name.c_str(), entry.name.length()) && line.append(" = ") &&
         line.append(data, length);
}

bool disabledLine(StrBuf& line, const StoredValue& stored) {
  EntryPlace place = stored.value.kind == RecordEntry::INI ? ENTRY_WIN_INI : ENTRY_REGISTRY;
  entryPlaceName(line, place, stored.row);
  return line.append(": ") && appendShown(line, stored.value);
}

// Reads a store's record. Under its lock it first finishes or drops what a
// process that died while writing it left: a proven temporary file with no
// record file beside it becomes the record file; one beside a record file
// was never put in place, and goes. Without the lock it only reads: the
// proven temporary file is the record while a writer is between its
// deletion of the old record and the rename.
StoreState readStore(Engine& engine, const char* dir, SavedRecord& record, bool locked) {
  Platform& platform = engine.platform;
  record.clear();
  StrBuf path, temp;
  if (!storeFile(dir, false, path) || !storeFile(dir, true, temp)) return STORE_NONE;
  if (missingFile(platform, path.c_str())) {
    TextBuffer left;
    if (left.loadFile(platform, temp.c_str(), 1)) {
      record.load(left.data, left.length);
      if (!locked) {
        if (!record.valid()) return STORE_NONE;
        path.clear();
        path.append(temp.c_str());
      } else {
        if (record.valid() && !platform.MoveFileA(temp.c_str(), path.c_str()))
          return STORE_UNREADABLE;
        if (!record.valid()) platform.DeleteFileA(temp.c_str());
      }
      record.clear();
    }
    if (missingFile(platform, path.c_str())) return STORE_NONE;
  } else if (locked && !missingFile(platform, temp.c_str())) {
    platform.DeleteFileA(temp.c_str());
  }
  TextBuffer file;
  if (!file.loadFile(platform, path.c_str(), 1)) return STORE_UNREADABLE;
  record.load(file.data, file.length);
  if (!record.valid()) return STORE_DAMAGED;
  StoreCursor cursor(engine, dir, record);
  StoredValue stored;
  while (cursor.next(stored)) {
  }
  return cursor.foreign ? STORE_DAMAGED : STORE_SOUND;
}

// Puts a new record in place of a store's: written under the temporary
// name, flushed, read back and compared, and only then renamed. An empty
// record deletes the file, and the folder when nothing else is in it.
bool writeStore(Engine& engine, const char* dir, const RecordWriter& writer, bool empty,
                DWORD* error) {
  Platform& platform = engine.platform;
  StrBuf path, temp;
  *error = ERROR_NOT_ENOUGH_MEMORY;
  if (!storeFile(dir, false, path) || !storeFile(dir, true, temp)) return false;
  if (empty) {
    if (!platform.DeleteFileA(path.c_str()) && !missingFile(platform, path.c_str())) {
      *error = platform.GetLastError();
      return false;
    }
    return true;  // the folder goes with the lock when nothing else is in it
  }
  const StrBuf& text = writer.text();
  TextBuffer out;
  if (!out.reserve(static_cast<unsigned>(text.length()) + 1, 4096)) return false;
  out.append(text.c_str(), static_cast<unsigned>(text.length()));
  if (out.failed) return false;
  platform.DeleteFileA(temp.c_str());  // one a process that died left
  *error = writeDurably(platform, path.c_str(), temp.c_str(), out, true);
  return *error == ERROR_SUCCESS;
}

bool sameBytes(const StrBuf& one, const StrBuf& other) {
  return one.length() == other.length() && memcmp(one.c_str(), other.c_str(), one.length()) == 0;
}

bool sameStored(const StoredValue& one, const StoredValue& other) {
  const RecordEntry &a = one.value, &b = other.value;
  return a.kind == b.kind && one.root == other.root && one.row == other.row &&
         (a.kind == RecordEntry::INI || a.type == b.type) && sameBytes(a.name, b.name) &&
         sameBytes(a.data, b.data);
}

// A copy of the store's record without its value number skip (-1: none),
// with extra added at its end (null: none).
bool rewriteRecord(Engine& engine, const char* dir, const SavedRecord& record, int skip,
                   const StoredValue* extra, RecordWriter& writer, bool* empty) {
  StoreCursor cursor(engine, dir, record);
  StoredValue stored;
  bool ok = true;
  *empty = true;
  for (int index = 0; ok && cursor.next(stored); ++index) {
    // A copy of the value being added (kept since a change that died with
    // the value back in its place) is kept once.
    if (index == skip || (extra && sameStored(stored, *extra))) continue;
    ok = appendStored(writer, stored);
    *empty = false;
  }
  if (extra) {
    ok = ok && appendStored(writer, *extra);
    *empty = false;
  }
  return ok && !cursor.foreign && writer.finish();
}

// Opens a value list's key into the holder; the opening call's own answer.
LONG openRunKey(HeldKey& key, HKEY root, int row, REGSAM access) {
  return key.open(root, places[row].key, access);
}

// Byte for byte: data may hold any byte but zero once cut where Find cuts it.
bool sameText(const StrBuf& text, const char* other) {
  size_t length = strlen(other);
  return text.length() == length && memcmp(text.c_str(), other, length) == 0;
}

// Whether a value's place holds it exactly (type and bytes; win.ini: the text).
bool placeHolds(Engine& engine, const StoredValue& stored) {
  Platform& platform = engine.platform;
  const RecordEntry& entry = stored.value;
  if (entry.kind == RecordEntry::INI) {
    StrBuf value;
    return readWholeProfileValue(platform, entry.name.c_str(), value) && value.length() > 0 &&
           value.length() == entry.data.length() &&
           memcmp(value.c_str(), entry.data.c_str(), value.length()) == 0;
  }
  HeldKey key(platform);
  return openRunKey(key, stored.root, stored.row, KEY_READ) == ERROR_SUCCESS &&
         valueMatches(platform, key.key, entry);
}

// Whether the place already holds something the value would replace.
bool placeTaken(Engine& engine, const StoredValue& stored) {
  Platform& platform = engine.platform;
  if (stored.value.kind == RecordEntry::INI) {
    StrBuf value;
    return !readWholeProfileValue(platform, stored.value.name.c_str(), value) ||
           value.length() > 0;
  }
  HeldKey key(platform);
  return openRunKey(key, stored.root, stored.row, KEY_READ) == ERROR_SUCCESS &&
         platform.RegQueryValueExA(key.key, stored.value.name.c_str(), NULL, NULL, NULL, NULL) ==
             ERROR_SUCCESS;
}

// Writes a value back to its place and proves it there. A place that was
// free when the user was asked, and is taken by the time of the write
// (another program wrote it meanwhile), is left to that program: the
// answer ERROR_ALREADY_EXISTS.
DWORD writeBack(Engine& engine, const StoredValue& stored, bool mayReplace) {
  Platform& platform = engine.platform;
  const RecordEntry& entry = stored.value;
  if (entry.kind == RecordEntry::INI) {
    if (!mayReplace && placeTaken(engine, stored)) return ERROR_ALREADY_EXISTS;
    if (!platform.WriteProfileStringA(kWindowsSection, entry.name.c_str(), entry.data.c_str()))
      return platform.GetLastError();
  } else {
    HeldKey key(platform);
    LONG result = key.create(stored.root, places[stored.row].key);
    if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
    if (!mayReplace &&
        platform.RegQueryValueExA(key.key, entry.name.c_str(), NULL, NULL, NULL, NULL) !=
            ERROR_FILE_NOT_FOUND)
      return ERROR_ALREADY_EXISTS;
    result = platform.RegSetValueExA(key.key, entry.name.c_str(), 0, entry.type,
                                     reinterpret_cast<const BYTE*>(entry.data.c_str()),
                                     static_cast<DWORD>(entry.data.length()));
    if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
    key.close();
  }
  return placeHolds(engine, stored) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

// Takes a value out of its place: win.ini's is blanked, as Remove blanks
// it; a registry value is deleted. Proven gone. Only what was stored goes:
// a place that holds anything else by then (*changed) is left as it is.
DWORD takeOut(Engine& engine, const StoredValue& stored, bool* changed) {
  Platform& platform = engine.platform;
  const RecordEntry& entry = stored.value;
  *changed = false;
  if (entry.kind == RecordEntry::INI) {
    StrBuf value;
    if (!placeHolds(engine, stored)) {
      *changed = true;
      return ERROR_SUCCESS;
    }
    if (!platform.WriteProfileStringA(kWindowsSection, entry.name.c_str(), ""))
      return platform.GetLastError();
    return readWholeProfileValue(platform, entry.name.c_str(), value) && value.length() == 0
               ? ERROR_SUCCESS
               : ERROR_WRITE_FAULT;
  }
  HeldKey key(platform);
  LONG result = openRunKey(key, stored.root, stored.row, KEY_READ | KEY_SET_VALUE);
  if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
  if (!valueMatches(platform, key.key, entry)) {
    *changed = true;
    return ERROR_SUCCESS;
  }
  result = platform.RegDeleteValueA(key.key, entry.name.c_str());
  if (result == ERROR_SUCCESS &&
      platform.RegQueryValueExA(key.key, entry.name.c_str(), NULL, NULL, NULL, NULL) !=
          ERROR_FILE_NOT_FOUND)
    result = ERROR_WRITE_FAULT;
  return static_cast<DWORD>(result);
}

// Finds, among a key's values, the one a listing line shows.
class ShownValue : public ValueSink {
 public:
  ShownValue(const char* shown, StoredValue& stored) : found(false), shown_(shown), stored_(stored) {}
  bool take(const RegistryValue& value) override {
    if (found || value.nameSize == 0) return true;
    RecordEntry& entry = stored_.value;
    entry.name.clear();
    entry.data.clear();
    StrBuf line;
    if (!entry.name.append(value.name, value.nameSize) ||
        !entry.data.append(reinterpret_cast<const char*>(value.data), value.dataSize) ||
        !appendShown(line, entry))
      return false;
    entry.type = value.type;
    found = sameText(line, shown_);
    return true;
  }
  bool found;

 private:
  const char* shown_;
  StoredValue& stored_;
};

// The entry's value as its place holds it now, when that is what the line shows.
bool currentValue(Engine& engine, const ListedEntry& entry, const char* shown,
                  StoredValue& stored) {
  Platform& platform = engine.platform;
  stored.root = entry.root;
  stored.row = entry.row;
  RecordEntry& value = stored.value;
  if (entry.place == ENTRY_WIN_INI) {
    value.kind = RecordEntry::INI;
    value.name.clear();
    value.data.clear();
    return value.name.append(entry.name.c_str()) &&
           readWholeProfileValue(platform, entry.name.c_str(), value.data) &&
           value.data.length() > 0 && sameText(value.data, entry.command.c_str());
  }
  value.kind = RecordEntry::VALUE;
  HeldKey key(platform);
  if (openRunKey(key, entry.root, entry.row, KEY_READ) != ERROR_SUCCESS) return false;
  ShownValue finder(shown, stored);
  DWORD count;
  readKeyValues(platform, key.key, finder, &count);
  return finder.found;
}

// A message about an entry: its opening line, the entry, the step with the
// system's words for what went wrong, and what became of the entry.
void reportEntry(Engine& engine, const char* opening, const char* line, const char* step,
                 const char* where, DWORD error, const char* outcome) {
  StrBuf text;
  text.append(opening);
  text.append("\r\n");
  text.append(line);
  text.append("\r\n");
  text.append(step);
  text.append(where);
  if (error != ERROR_SUCCESS) {
    text.append(": ");
    appendSystemError(engine.platform, error, text);
  }
  text.append("\r\n");
  text.append(outcome);
  engine.host.reportError(text.c_str(), programCaption);
}

// "Unable to disable this entry: ..." with the step and the system's word on it.
void reportFailure(Engine& engine, const char* action, const char* line, const char* step,
                   const char* where, DWORD error, const char* outcome) {
  StrBuf opening;
  opening.append("Unable to ");
  opening.append(action);
  opening.append(" this entry:");
  reportEntry(engine, opening.c_str(), line, step, where, error, outcome);
}

const char kLeftInPlace[] = "It was left where it was.";
const char kLeftInStore[] = "It was left among the disabled entries.";
const char kBusy[] = "Another Startlull window or program is changing the disabled entries in ";

bool askToReplace(Engine& engine, const char* line) {
  StrBuf text;
  text.append("Its place is taken by another entry of the same name:\r\n");
  text.append(line);
  text.append("\r\nDo you want to replace that entry with the disabled one?");
  return engine.host.messageBox(text.c_str(), programCaption,
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

const char* itemFolder(Engine& engine, EntryPlace place) {
  return place == ENTRY_STARTUP ? engine.startupDir : engine.commonStartupDir;
}

// Moves an item and proves it: gone from where it was, there where it
// went (a move that answers success and does nothing moved nothing).
DWORD moveItem(Platform& platform, const char* from, const char* to) {
  if (!platform.MoveFileA(from, to)) return platform.GetLastError();
  return missingFile(platform, from) && !missingFile(platform, to) ? ERROR_SUCCESS
                                                                   : ERROR_WRITE_FAULT;
}

void deleteAnyway(Platform& platform, const char* path) {
  DWORD attributes = platform.GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotPlain))
    platform.SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  platform.DeleteFileA(path);
}

int disableItem(Engine& engine, const ListedEntry& entry, const char* line) {
  Platform& platform = engine.platform;
  const char* dir = storeFor(engine, entry);
  StoreLock lock(engine, dir);
  if (!lock.held()) {
    reportFailure(engine, "disable", line, kBusy, dir, lock.error, kLeftInPlace);
    return 0;
  }
  // A folder in an item's place is not an item: its contents do not start.
  DWORD attributes = platform.GetFileAttributesA(entry.file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    reportFailure(engine, "disable", line, "It is a folder, and only files are taken out of ",
                  itemFolder(engine, entry.place), ERROR_SUCCESS, kLeftInPlace);
    return 0;
  }
  StrBuf to;
  storeName(dir, entry.name.c_str(), to);
  if (isStoreFileName(platform, entry.name.c_str()) || !missingFile(platform, to.c_str())) {
    reportFailure(engine, "disable", line, "A file of that name is already in ", dir,
                  ERROR_SUCCESS, kLeftInPlace);
    return 0;
  }
  DWORD error = moveItem(platform, entry.file.c_str(), to.c_str());
  if (error != ERROR_SUCCESS) {
    reportFailure(engine, "disable", line, "Moving it to ", dir, error, kLeftInPlace);
    return 0;
  }
  return 1;
}

// A replaced item waits aside in the store until the enabled one is back,
// and comes back itself when that fails.
int enableItem(Engine& engine, const ListedEntry& entry, const char* line) {
  Platform& platform = engine.platform;
  const char* folder = itemFolder(engine, entry.place);
  const char* dir = storeFor(engine, entry);
  StoreLock lock(engine, dir);
  if (!lock.held()) {
    reportFailure(engine, "enable", line, kBusy, dir, lock.error, kLeftInStore);
    return 0;
  }
  StrBuf to, aside;
  storeName(folder, entry.name.c_str(), to);
  storeName(dir, kAsideName, aside);
  if (missingFile(platform, entry.file.c_str())) {
    reportFailure(engine, "enable", line, "It is no longer kept in ", dir, ERROR_SUCCESS,
                  "Choose Find to see the entries as they are now.");
    return 0;
  }
  bool replacing = !missingFile(platform, to.c_str());
  if (replacing) {
    if (!askToReplace(engine, line)) return 0;
    // One left aside by a replace that died was given up by its user.
    deleteAnyway(platform, aside.c_str());
    DWORD error = moveItem(platform, to.c_str(), aside.c_str());
    if (error != ERROR_SUCCESS) {
      reportFailure(engine, "enable", line, "Moving the file in its place aside, to ", dir, error,
                    kLeftInStore);
      return 0;
    }
  }
  DWORD error = moveItem(platform, entry.file.c_str(), to.c_str());
  if (error != ERROR_SUCCESS) {
    StrBuf outcome;
    outcome.append(kLeftInStore);
    if (replacing && moveItem(platform, aside.c_str(), to.c_str()) != ERROR_SUCCESS) {
      outcome.append("\r\nThe file that was in its place is kept as ");
      outcome.append(aside.c_str());
    }
    reportFailure(engine, "enable", line, "Moving it back to ", folder, error, outcome.c_str());
    return 0;
  }
  if (replacing) deleteAnyway(platform, aside.c_str());  // the user chose to replace it
  return 1;
}

// A value's place in full; items are named by their folder elsewhere.
void describePlace(const ListedEntry& entry, StrBuf& where) {
  if (entry.place == ENTRY_WIN_INI) {
    where.append("win.ini");
    return;
  }
  if (entry.place != ENTRY_REGISTRY) return;
  where.append(entry.root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\");
  where.append(places[entry.row].key);
}

// What Disable and Enable start from: the entry a line names, the line,
// the entry's store, and the names their messages give them.
struct EntryCommand {
  ListedEntry entry;
  StrBuf text;
  const char* dir;
  StrBuf recordPath;
  StrBuf where;
};

bool readEntryCommand(Engine& engine, int line, bool disabled, EntryCommand& command) {
  if (!engine.entryCommandsAvailable() || !engine.entryAt(line, command.entry) ||
      command.entry.disabled != disabled || (!disabled && !engine.canDisable(command.entry)) ||
      !engine.host.listingLine(line, command.text))
    return false;
  command.dir = storeFor(engine, command.entry);
  storeFile(command.dir, false, command.recordPath);
  describePlace(command.entry, command.where);
  return true;
}

const char kStoreDamaged[] =
    "The record of disabled entries is damaged or names a place that is no startup entry's: ";

// Takes out of a store, under its lock and from a fresh read, the values
// back in their place (a Disable or Enable that died between its two
// steps), so that nothing starts twice.
void dropValuesInPlace(Engine& engine, const char* dir) {
  StoreLock lock(engine, dir);
  SavedRecord record;
  if (!lock.held() || readStore(engine, dir, record, true) != STORE_SOUND) return;
  StoreCursor cursor(engine, dir, record);
  StoredValue stored;
  RecordWriter writer;
  int kept = 0, dropped = 0;
  bool ok = true;
  while (cursor.next(stored)) {
    if (placeHolds(engine, stored)) {
      ++dropped;
      continue;
    }
    ++kept;
    ok = ok && appendStored(writer, stored);
  }
  DWORD error;
  if (dropped > 0 && ok && writer.finish()) writeStore(engine, dir, writer, kept == 0, &error);
}

// Enable of a value from one store, under its lock. *kept: whether this
// store keeps the entry (or cannot be read to tell); when not, the caller
// may look in another.
int enableFromStore(Engine& engine, const EntryCommand& command, const char* dir, bool* kept) {
  const char* text = command.text.c_str();
  StrBuf recordPath;
  storeFile(dir, false, recordPath);
  *kept = true;
  StoreLock lock(engine, dir);
  if (!lock.held()) {
    reportFailure(engine, "enable", text, kBusy, dir, lock.error, kLeftInStore);
    return 0;
  }
  SavedRecord record;
  StoreState state = readStore(engine, dir, record, true);
  if (state == STORE_DAMAGED || state == STORE_UNREADABLE) {
    reportFailure(engine, "enable", text, state == STORE_DAMAGED ? kStoreDamaged : "Reading ",
                  recordPath.c_str(), state == STORE_DAMAGED ? ERROR_SUCCESS : ERROR_READ_FAULT,
                  kLeftInStore);
    return 0;
  }
  StoreCursor cursor(engine, dir, record);
  StoredValue stored;
  int found = -1;
  StrBuf shown;
  for (int index = 0; found < 0 && state == STORE_SOUND && cursor.next(stored); ++index)
    if (disabledLine(shown, stored) && sameText(shown, text)) found = index;
  if (found < 0) {
    *kept = false;
    return 0;
  }
  bool taken = placeTaken(engine, stored);
  if (taken && !askToReplace(engine, text)) return 0;
  DWORD error = writeBack(engine, stored, taken);
  // A proof whose reading failed is tried once more before the entry is
  // called not back.
  if (error == ERROR_WRITE_FAULT && placeHolds(engine, stored)) error = ERROR_SUCCESS;
  if (error == ERROR_ALREADY_EXISTS) {
    reportFailure(engine, "enable", text, "Another program wrote an entry of that name meanwhile in ",
                  command.where.c_str(), ERROR_SUCCESS, kLeftInStore);
    return 0;
  }
  // What failed its proof stays as it is: it may be another program's by now.
  if (error != ERROR_SUCCESS) {
    reportFailure(engine, "enable", text, "Writing it back to ", command.where.c_str(), error,
                  kLeftInStore);
    return 0;
  }
  // Back in its place. A store that cannot give up its copy says so; Find
  // never lists a copy whose place holds it.
  RecordWriter writer;
  bool empty;
  error = ERROR_NOT_ENOUGH_MEMORY;
  if (!rewriteRecord(engine, dir, record, found, nullptr, writer, &empty) ||
      !writeStore(engine, dir, writer, empty, &error))
    reportEntry(engine, "This entry is back in its place:", text,
                "But its copy could not be taken out of ", recordPath.c_str(), error,
                "Find takes it out when it can.");
  return 1;
}

}  // namespace

int Engine::disableEntry(int line) {
  EntryCommand command;
  if (!readEntryCommand(*this, line, false, command)) return 0;
  const ListedEntry& entry = command.entry;
  const char* shown = command.text.c_str();
  if (entry.place == ENTRY_STARTUP || entry.place == ENTRY_COMMON_STARTUP)
    return disableItem(*this, entry, shown);

  const char* dir = command.dir;
  const StrBuf &recordPath = command.recordPath, &where = command.where;
  StoreLock lock(*this, dir);
  if (!lock.held()) {
    reportFailure(*this, "disable", shown, kBusy, dir, lock.error, kLeftInPlace);
    return 0;
  }
  StoredValue stored;
  if (!currentValue(*this, entry, shown, stored)) {
    reportFailure(*this, "disable", shown, "It is no longer as the listing shows it in ",
                  where.c_str(), ERROR_SUCCESS, "Choose Find to see it as it is now.");
    return 0;
  }
  SavedRecord record;
  StoreState state = readStore(*this, dir, record, true);
  if (state == STORE_DAMAGED || state == STORE_UNREADABLE) {
    reportFailure(*this, "disable", shown,
                  state == STORE_DAMAGED ? kStoreDamaged : "Reading ", recordPath.c_str(),
                  state == STORE_DAMAGED ? ERROR_SUCCESS : ERROR_READ_FAULT, kLeftInPlace);
    return 0;
  }
  RecordWriter writer;
  bool empty;
  DWORD error = ERROR_NOT_ENOUGH_MEMORY;
  if (!rewriteRecord(*this, dir, record, -1, &stored, writer, &empty) ||
      !writeStore(*this, dir, writer, false, &error)) {
    reportFailure(*this, "disable", shown, "Saving it in ", recordPath.c_str(), error,
                  kLeftInPlace);
    return 0;
  }
  bool changed;
  error = takeOut(*this, stored, &changed);
  if (error == ERROR_SUCCESS && !changed) return 1;
  // The store gives it up again when its place holds it whole, or holds
  // what another program wrote there meanwhile; a deletion that went
  // through but could not be proven keeps it stored. Should the store's
  // write fail too, the next Find finds it in both and drops the copy.
  RecordWriter previous;
  if ((changed || placeHolds(*this, stored)) &&
      rewriteRecord(*this, dir, record, -1, nullptr, previous, &empty)) {
    DWORD ignored;
    writeStore(*this, dir, previous, empty, &ignored);
  }
  if (changed)
    reportFailure(*this, "disable", shown, "It changed while it was being disabled, in ",
                  where.c_str(), ERROR_SUCCESS, "It was left where it is, as it is now.");
  else
    reportFailure(*this, "disable", shown, "Taking it out of ", where.c_str(), error,
                  kLeftInPlace);
  return 0;
}

int Engine::enableEntry(int line) {
  EntryCommand command;
  if (!readEntryCommand(*this, line, true, command)) return 0;
  const ListedEntry& entry = command.entry;
  if (entry.place == ENTRY_STARTUP || entry.place == ENTRY_COMMON_STARTUP)
    return enableItem(*this, entry, command.text.c_str());
  // A machine-wide value disabled while the system had no All Users
  // Startup folder is kept by the user's store.
  const char* stores[] = {command.dir, command.dir != disabledDir ? disabledDir : ""};
  for (const char* dir : stores) {
    bool kept;
    if (dir[0] == '\0') continue;
    int enabled = enableFromStore(*this, command, dir, &kept);
    if (kept) return enabled;
  }
  reportFailure(*this, "enable", command.text.c_str(), "It is no longer kept in ",
                command.recordPath.c_str(), ERROR_SUCCESS,
                "Choose Find to see the entries as they are now.");
  return 0;
}

void Engine::listDisabledEntries() {
  int first = -1, end = -1;
  auto add = [&](const char* line) {
    if (first < 0) {
      addLine("", plainColour);
      addLine(kDisabledHeading, headingColour);
    }
    int index = addLine(line, disabledColour);
    if (index >= 0 && first < 0) first = index;
    if (index >= 0) end = index + 1;
  };
  const char* stores[] = {disabledDir, commonDisabledDir};
  for (const char* dir : stores) {
    if (dir[0] == '\0') continue;
    SavedRecord record;
    StoreState state = readStore(*this, dir, record, false);
    StrBuf line, path;
    if (state == STORE_SOUND) {
      // A value back in its place is not listed again here, and leaves the
      // store under its lock.
      StoreCursor cursor(*this, dir, record);
      StoredValue stored;
      bool inPlace = false;
      while (cursor.next(stored)) {
        if (placeHolds(*this, stored))
          inPlace = true;
        else if (disabledLine(line, stored))
          add(line.c_str());
      }
      if (inPlace) dropValuesInPlace(*this, dir);
    } else if (state != STORE_NONE && storeFile(dir, false, path)) {
      line.append(path.c_str());
      line.append(state == STORE_DAMAGED ? ": damaged, left as it is" : ": cannot be read now");
      add(line.c_str());
    }
    // The items themselves.
    EntryPlace place = dir == commonDisabledDir ? ENTRY_COMMON_STARTUP : ENTRY_STARTUP;
    walkFolder(platform, dir, [&](const WIN32_FIND_DATAA& found) {
      if (isStoreFileName(platform, found.cFileName)) return true;
      entryPlaceName(line, place, -1);
      if (line.append(": ") && line.append(found.cFileName)) add(line.c_str());
      return true;
    });
  }
  addSection(first, end, ENTRY_STARTUP, true, -1);
}

// The settings file: the listing of the last Find, line for line, followed by
// our record of the whole keys and win.ini values that Remove takes away.
#include "engine/SettingsFile.h"

#include <string.h>

#include "engine/RunKeys.h"
#include "util/Paths.h"
#include "util/StrBuf.h"
#include "util/TextBuffer.h"

namespace {

const unsigned kReserveSize = 64000;
const unsigned kGrowthStep = 32000;
const char kTempSuffix[] = ".tmp";
// What every settings file begins with: Find's first two lines.
const char kSettingsStart[] = "\r\n[Win.ini]\r\n";
// The registry's own limits: value names of 16,383 characters, key names of 255.
const DWORD kMaxValueName = 16384;
const DWORD kMaxKeyName = 256;
const DWORD kFirstRoom = 260;
const int kEnumRetries = 3;
const DWORD kMaxProfileValue = 1u << 24;
const int kLineBufferSize = 260;
const char kWinIniHeading[] = "[Win.ini]";
const char kRegistryHeadingStart[] = "[Registry - ";

const char* const iniKeys[] = {"run", "load"};
const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

bool runKeyPath(StrBuf& path, const char* keyName) {
  path.clear();
  return path.append(CURRENT_VERSION_PREFIX) && path.append(keyName);
}

bool tempPath(const Engine& engine, char* path) {
  return copyText(path, PATH_SIZE, engine.settingsPath) &&
         appendText(path, PATH_SIZE, kTempSuffix);
}

// GetProfileStringA fills the buffer up to size - 1 characters when the value
// does not fit, so only a shorter answer is known to be whole.
bool readWholeProfileValue(Platform& platform, const char* key, StrBuf& value) {
  for (DWORD room = kFirstRoom; room <= kMaxProfileValue; room *= 2) {
    value.clear();
    char* buffer = value.reserveTail(room);
    if (!buffer) return false;
    DWORD length = platform.GetProfileStringA("windows", key, "", buffer, room);
    if (length + 1 < room) {
      value.commit(length);
      return true;
    }
  }
  return false;
}

// Every value of one key, with its type and exact bytes.
bool recordValues(Platform& platform, HKEY key, RecordWriter& record) {
  DWORD maxName = 0, maxData = 0;
  if (platform.RegQueryInfoKeyA(key, NULL, NULL, NULL, &maxName, &maxData) != ERROR_SUCCESS)
    return false;
  DWORD nameRoom = maxName + 1 > kFirstRoom ? maxName + 1 : kFirstRoom;
  DWORD dataRoom = maxData + 1 > kFirstRoom ? maxData + 1 : kFirstRoom;
  StrBuf name, data;
  for (DWORD index = 0;; ++index) {
    for (int attempt = 0;; ++attempt) {
      char* nameBuffer = name.reserveTail(nameRoom);
      char* dataBuffer = data.reserveTail(dataRoom);
      if (!nameBuffer || !dataBuffer) return false;
      DWORD nameSize = nameRoom, dataSize = dataRoom, type = REG_NONE;
      LONG result = platform.RegEnumValueA(key, index, nameBuffer, &nameSize, NULL, &type,
                                           reinterpret_cast<BYTE*>(dataBuffer), &dataSize);
      if (result == ERROR_NO_MORE_ITEMS) return true;
      // A value that grew since the key was measured: make room and read it again.
      if (result == ERROR_MORE_DATA && attempt < kEnumRetries) {
        nameRoom = kMaxValueName;
        dataRoom = dataSize >= dataRoom ? dataSize + 1 : dataRoom * 2;
        continue;
      }
      if (result != ERROR_SUCCESS) return false;
      if (!record.value(type, nameBuffer, nameSize, dataBuffer, dataSize)) return false;
      break;
    }
  }
}

// The values of a key and every key below it, depth first; path is the
// key's place below the Run-type key ("" for the Run-type key itself).
bool recordTree(Platform& platform, HKEY key, const StrBuf& path, RecordWriter& record) {
  if (!recordValues(platform, key, record)) return false;
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

// A key that is gone has nothing to lose (deleting it will fail and say so);
// a key without values or subkeys is not recorded either, so it is no more
// re-created than the listing would re-create it.
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

// Everything Remove is about to take away outside the Startup folders: both
// win.ini values and every key that existed at the last Find, whole.
bool recordMachine(Engine& engine, RecordWriter& record) {
  for (const char* key : iniKeys) {
    StrBuf value;
    if (!readWholeProfileValue(engine.platform, key, value)) return false;
    if (!record.iniValue(key, value.c_str(), value.length())) return false;
  }
  for (HKEY root : roots)
    for (int name = RUN; name <= RUN_SERVICES; ++name)
      if (engine.entryCounts[runKeySlot(root, name)] != 0 &&
          !recordRunKey(engine.platform, root, runKeyNames[name], record))
        return false;
  return record.finish();
}

// The file on disk must be exactly what was written, and its record whole:
// byte for byte the keys and values read a moment ago, which are what the
// removal deletes. (Reading the keys once more would not close the moment
// between any read and the deletion, and doubles the registry work.)
bool proveSettingsFile(Engine& engine, const char* path, const TextBuffer& written) {
  TextBuffer back;
  if (!back.loadFile(engine.platform, path, 1)) return false;
  if (back.length != written.length || memcmp(back.data, written.data, written.length) != 0)
    return false;
  SavedRecord parsed;
  parsed.load(back.data, back.length);
  return parsed.valid();
}

int restoreKeyFromRecord(Engine& engine, HKEY root, const char* keyName) {
  Platform& platform = engine.platform;
  RecordCursor cursor(engine.savedRecord.lines.c_str(), engine.savedRecord.lines.length());
  RecordEntry entry;
  bool found = false;
  while (!found && cursor.next(entry))
    found = entry.kind == RecordEntry::KEY && lstrcmpiA(entry.root.c_str(), recordRootName(root)) == 0 &&
            lstrcmpiA(entry.name.c_str(), keyName) == 0;
  StrBuf path;
  HKEY key;
  if (!found || !runKeyPath(path, keyName) ||
      platform.RegCreateKeyExA(root, path.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS) {
    engine.registryWriteFailed = 1;
    return 0;
  }
  // Values and keys already there are overwritten or kept; nothing is deleted.
  HKEY current = key;
  int count = 0;
  bool ok = true;
  while (ok && cursor.next(entry) && entry.kind != RecordEntry::KEY &&
         entry.kind != RecordEntry::INI) {
    if (entry.kind == RecordEntry::SUBKEY) {
      if (current != key) platform.RegCloseKey(current);
      current = key;
      ok = platform.RegCreateKeyExA(key, entry.name.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, NULL, &current, NULL) == ERROR_SUCCESS;
      if (!ok) current = key;
    } else {
      ok = platform.RegSetValueExA(current, entry.name.c_str(), 0, entry.type,
                                   reinterpret_cast<const BYTE*>(entry.data.c_str()),
                                   static_cast<DWORD>(entry.data.length())) == ERROR_SUCCESS;
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

}  // namespace

const char* recordRootName(HKEY root) { return root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU"; }

int saveSettingsFile(Engine& engine) {
  Platform& platform = engine.platform;
  TextBuffer text;
  text.reserve(kReserveSize, kGrowthStep);
  StrBuf line;
  for (int index = 0; engine.host.listingLine(index, line); ++index) {
    text.append(line.c_str(), static_cast<unsigned>(line.length()));
    text.append("\r\n", 2);
  }
  RecordWriter record;
  if (!recordMachine(engine, record)) return 0;
  text.append(record.text().c_str(), static_cast<unsigned>(record.text().length()));
  if (text.failed || line.failed()) return 0;

  // Written under a temporary name and renamed once proven, so that a
  // process that dies half way leaves no settings file that Restore would trust.
  char temp[PATH_SIZE];
  if (!tempPath(engine, temp)) return 0;
  // A file of that name came from the Startup folder: never write over it.
  if (platform.GetFileAttributesA(temp) != INVALID_FILE_ATTRIBUTES) return 0;
  if (!text.writeTo(platform, temp) || !proveSettingsFile(engine, temp, text) ||
      !platform.MoveFileA(temp, engine.settingsPath)) {
    platform.DeleteFileA(temp);
    return 0;
  }
  engine.savedRecord.load(text.data, text.length);
  return engine.savedRecord.valid() ? 1 : 0;
}

void deleteLeftoverSettings(Engine& engine) {
  char temp[PATH_SIZE];
  if (!tempPath(engine, temp)) return;
  TextBuffer leftover;
  if (!leftover.loadFile(engine.platform, temp, 1)) return;
  // Only a file of ours: empty, or starting the way every settings file does.
  size_t compared = leftover.length < sizeof kSettingsStart - 1 ? leftover.length
                                                                 : sizeof kSettingsStart - 1;
  if (memcmp(leftover.data, kSettingsStart, compared) == 0) engine.platform.DeleteFileA(temp);
}

int moveBackAndRemove(Engine& engine, const char* inactive, const char* startup) {
  if (inactive[0] == '\0' || startup[0] == '\0') return 0;
  if (engine.moveFolderContents(inactive, startup) != 1) return 0;
  engine.platform.RemoveDirectoryA(inactive);  // fails, without a word, when files remain
  return 1;
}

int Engine::loadListingFromFile(const char* path) {
  host.resetListing();
  savedRecord.clear();
  TextBuffer file;
  if (!file.open(platform, path, kLineBufferSize)) return 0;
  savedRecord.load(file.data, file.length);
  // The listing is the file's lines up to our record; tabs and long lines
  // come back as they were written.
  file.expandTabs = 0;
  file.readEnd = file.data + findRecordHeading(file.data, file.length);
  StrBuf line;
  // An empty or foreign file restores nothing and must say so, rather than
  // end in a Success dialog for a machine left without its settings.
  bool ours = savedRecord.state != RECORD_NONE;
  while (!file.atEnd()) {
    if (!file.readLine(line)) {
      host.resetListing();
      savedRecord.clear();
      return 0;
    }
    char start[sizeof kRegistryHeadingStart];
    copyText(start, sizeof start, line.c_str());  // cut to the heading's start on purpose
    ours = ours || lstrcmpiA(line.c_str(), kWinIniHeading) == 0 ||
           lstrcmpiA(start, kRegistryHeadingStart) == 0;
    addLine(line.c_str(), plainColour);
  }
  if (!ours) host.resetListing();
  return ours ? 1 : 0;
}

int Engine::restoreWinIniValues() {
  int result = 1;
  for (const char* key : iniKeys) {
    StrBuf value;
    if (!savedRecord.iniValue(key, value)) {
      char text[LINE_SIZE];
      DWORD length = platform.GetPrivateProfileStringA("win.ini", key, "", text, LINE_SIZE,
                                                       settingsPath);
      value.append(text, length);
    }
    // An empty value writes nothing: win.ini is left as it is.
    if (value.length() == 0) continue;
    if (value.failed() || !platform.WriteProfileStringA("windows", key, value.c_str())) result = 0;
  }
  return result;
}

int Engine::findRegistrySection(HKEY root, const char* keyName) {
  char heading[HEADING_SIZE];
  registryHeading(heading, root, keyName);
  StrBuf line;
  for (int index = 0; host.listingLine(index, line); ++index)
    if (lstrcmpiA(line.c_str(), heading) == 0) return index + 1;
  return 0;
}

int Engine::restoreRegistryKey(HKEY root, const char* keyName) {
  if (savedRecord.holdsKey(recordRootName(root), keyName))
    return restoreKeyFromRecord(*this, root, keyName);

  int start = findRegistrySection(root, keyName);
  if (start == 0) {
    char heading[HEADING_SIZE];
    registryHeading(heading, root, keyName);
    host.reportError("Can't find section", heading);
    registryWriteFailed = 1;
    return 0;
  }
  StrBuf path;
  HKEY key;
  if (!runKeyPath(path, keyName) ||
      platform.RegCreateKeyExA(root, path.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS) {
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

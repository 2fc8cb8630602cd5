// What a startup entry starts: the program its command or shortcut names,
// whether it is there, and its version resource's description.
#include "engine/ProgramCheck.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include "engine/Engine.h"
#include "engine/RunKeys.h"
#include "util/Paths.h"
#include "util/pure/CommandLine.h"

namespace {

// The shell's own identifiers, written out: the uuid library that defines
// them is not linked into the program.
const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

const char kShortcutExtension[] = ".lnk";
const char kTranslationQuery[] = "\\VarFileInfo\\Translation";
const char kStringQuery[] = "\\StringFileInfo\\";
// Where a file has no translation table, or its strings are not under it:
// US English in the Windows code page, then in Unicode.
const char* const kFallbackLanguages[] = {"040904E4", "040904B0"};
enum { LANGUAGE_SIZE = 9, GROW_ATTEMPTS = 4 };
// Room for "\StringFileInfo\llllcccc\FileDescription" and its terminator, and to spare.
enum { QUERY_SIZE = 64 };

const char kNoProgram[] = "no program";
const char kNotCommand[] = "Not a command: ";
const char kBinaryData[] = "binary data";
const char kNumber[] = "a number";
// RunOnceEx reads these two values at its root itself; only its subkeys
// hold commands.
const char kRunOnceExTitleName[] = "Title";
const char kRunOnceExTitle[] = "the title RunOnceEx shows";
const char kRunOnceExFlagsName[] = "Flags";
const char kRunOnceExFlags[] = "the flags of RunOnceEx";
const char kNotFound[] = " - not found";
const char kShortcutArrow[] = " -> ";
const char kDescriptionDash[] = " - ";
const char kCompanySeparator[] = ", ";

class PlatformFiles : public FileProbe {
 public:
  explicit PlatformFiles(Platform& platform) : platform_(platform) {}
  bool isFile(const char* path) override {
    DWORD attributes = platform_.GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

 private:
  Platform& platform_;
};

// The calls that answer their text's length, or the room they need when the
// buffer is too small.
enum AnsweringCall { WINDOWS_DIRECTORY, SYSTEM_DIRECTORY, ENVIRONMENT_VARIABLE, EXPANSION };

// Appends the text of one such call, growing the room while the text grows.
// False when the call failed or gave nothing.
bool appendAnswer(Platform& platform, AnsweringCall call, const char* argument, StrBuf& text) {
  DWORD room = MAX_PATH;
  for (int attempt = 0; attempt < GROW_ATTEMPTS; ++attempt) {
    char* buffer = text.reserveTail(room);
    if (!buffer) return false;
    buffer[0] = '\0';
    DWORD answer = 0;
    switch (call) {
      case WINDOWS_DIRECTORY:
        answer = platform.GetWindowsDirectoryA(buffer, room);
        break;
      case SYSTEM_DIRECTORY:
        answer = platform.GetSystemDirectoryA(buffer, room);
        break;
      case ENVIRONMENT_VARIABLE:
        answer = platform.GetEnvironmentVariableA(argument, buffer, room);
        break;
      case EXPANSION:
        answer = platform.ExpandEnvironmentStringsA(argument, buffer, room);
        break;
    }
    if (answer == 0) return false;
    // ExpandEnvironmentStringsA counts the terminator and the others do not,
    // so an answer that fills the room exactly is read again with more.
    if (answer < room) {
      size_t length = strlen(buffer);
      text.commit(length);
      return length > 0;
    }
    room = answer > room ? answer + 1 : room * 2;
  }
  return false;
}

// Where a bare program name is looked for: the Windows folder, the System
// folder, then each folder of PATH, each ended by a zero byte; the text's own
// terminator ends the list.
void findSearchDirs(Platform& platform, StrBuf& dirs) {
  const AnsweringCall folders[] = {WINDOWS_DIRECTORY, SYSTEM_DIRECTORY};
  for (AnsweringCall folder : folders)
    if (appendAnswer(platform, folder, nullptr, dirs)) dirs.appendChar('\0');
  StrBuf path;
  if (!appendAnswer(platform, ENVIRONMENT_VARIABLE, "PATH", path)) return;
  for (const char* folder = path.c_str();;) {
    const char* end = strchr(folder, ';');
    size_t length = end ? static_cast<size_t>(end - folder) : strlen(folder);
    // An empty folder would end the list.
    if (length > 0) {
      dirs.append(folder, length);
      dirs.appendChar('\0');
    }
    if (!end) return;
    folder = end + 1;
  }
}

// The type of the entry's value as its key holds it now; false when it
// cannot be read.
bool registryType(Platform& platform, const ListedEntry& entry, DWORD* type) {
  if (entry.row < 0 || entry.row >= PLACE_COUNT) return false;
  HKEY key;
  if (platform.RegOpenKeyExA(entry.root, places[entry.row].key, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return false;
  // The type alone: without a data buffer any length of value answers.
  LONG result = platform.RegQueryValueExA(key, entry.name.c_str(), NULL, type, NULL, NULL);
  platform.RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

// A registry entry's type, asked for at most once per check. A disabled
// entry's value is no longer in its key (another value of that name there
// now would not be it), so its type is never known.
class ValueType {
 public:
  ValueType(Platform& platform, const ListedEntry& entry)
      : platform_(platform), entry_(entry), asked_(false), known_(false), type_(REG_NONE) {}
  // False when the type is not known.
  bool get(DWORD* type) {
    if (!asked_ && entry_.place == ENTRY_REGISTRY && !entry_.disabled)
      known_ = registryType(platform_, entry_, &type_);
    asked_ = true;
    *type = type_;
    return known_;
  }

 private:
  Platform& platform_;
  const ListedEntry& entry_;
  bool asked_, known_;
  DWORD type_;
};

// What a registry value that holds no command is, or null. Windows runs
// only text from a Run-type key.
const char* notCommandName(Platform& platform, const ListedEntry& entry) {
  if (entry.place != ENTRY_REGISTRY || places[entry.row].taken != RUN_ONCE_EX) return nullptr;
  if (platform.lstrcmpiA(entry.name.c_str(), kRunOnceExTitleName) == 0) return kRunOnceExTitle;
  if (platform.lstrcmpiA(entry.name.c_str(), kRunOnceExFlagsName) == 0) return kRunOnceExFlags;
  return nullptr;
}

const char* notCommandType(ValueType& valueType) {
  DWORD type;
  if (!valueType.get(&type)) return nullptr;
  if (type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN) return kNumber;
  if (type == REG_BINARY) return kBinaryData;
  return nullptr;
}

enum Expansion { KEEP_TEXT, EXPAND, EXPAND_IF_FOUND };

// A registry command's %VARIABLES% are expanded as its value's type says;
// without a type they count only where they lead to a file.
Expansion registryExpansion(const ListedEntry& entry, ValueType& valueType) {
  if (!strchr(entry.command.c_str(), '%')) return KEEP_TEXT;
  DWORD type;
  if (!valueType.get(&type)) return EXPAND_IF_FOUND;
  return type == REG_EXPAND_SZ ? EXPAND : KEEP_TEXT;
}

// A registry value's command, or the first program of win.ini's list.
void checkCommand(Platform& platform, const ListedEntry& entry, ValueType& valueType,
                  ProgramInfo& info) {
  const char* command = entry.command.c_str();
  size_t length = entry.command.length();
  Expansion expansion = KEEP_TEXT;
  if (entry.place == ENTRY_WIN_INI) {
    size_t start;
    if (!firstListedProgram(command, length, &start, &length)) return;
    command += start;
  } else {
    expansion = registryExpansion(entry, valueType);
  }
  // A shell service object's value names a class: the file is its DLL.
  StrBuf loaded;
  if (entry.place == ENTRY_REGISTRY && places[entry.row].form == DATA_NAMES_CLASS) {
    classFile(platform, command, loaded);
    command = loaded.c_str();
    length = loaded.length();
  }
  StrBuf dirs;
  findSearchDirs(platform, dirs);
  PlatformFiles probe(platform);
  StrBuf expanded;
  if (expansion != KEEP_TEXT && appendAnswer(platform, EXPANSION, command, expanded)) {
    info.found =
        resolveCommandLine(expanded.c_str(), expanded.length(), dirs.c_str(), probe, info.path);
    if (info.found || expansion == EXPAND) return;
  }
  info.found = resolveCommandLine(command, length, dirs.c_str(), probe, info.path);
}

void startCom(Platform& platform) {
  // Started once and kept for the life of the process: the shell's dialogs
  // run on the same thread, and a CoUninitialize here would stop COM under
  // them. A start that failed is tried again by the next shortcut.
  static bool started = false;
  if (started) return;
  HRESULT result = platform.CoInitialize(NULL);
  // RPC_E_CHANGED_MODE: the thread already runs COM, which serves as it is.
  started = SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
}

// The file a shortcut points at; false when the shortcut cannot be read or
// points at no file (an advertised or Internet shortcut).
bool shortcutTarget(Platform& platform, const char* file, StrBuf& target) {
  WCHAR widePath[MAX_PATH];
  if (platform.MultiByteToWideChar(CP_ACP, 0, file, -1, widePath, MAX_PATH) == 0) return false;
  startCom(platform);
  IShellLinkA* link = nullptr;
  if (FAILED(platform.CoCreateInstance(kShellLinkClass, NULL, CLSCTX_INPROC_SERVER,
                                       kShellLinkInterface, reinterpret_cast<void**>(&link))) ||
      !link)
    return false;
  bool read = false;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&persist))) &&
      persist) {
    char path[MAX_PATH];
    path[0] = '\0';
    // GetPath answers S_FALSE, not an error, for a shortcut to no file.
    if (SUCCEEDED(persist->Load(widePath, STGM_READ)) &&
        link->GetPath(path, MAX_PATH, NULL, 0) == S_OK) {
      path[MAX_PATH - 1] = '\0';
      read = path[0] != '\0' && target.assign(path);
    }
    persist->Release();
  }
  link->Release();
  return read;
}

bool isShortcut(Platform& platform, const StrBuf& file) {
  size_t length = sizeof kShortcutExtension - 1;
  return file.length() > length &&
         platform.lstrcmpiA(file.c_str() + file.length() - length, kShortcutExtension) == 0;
}

void checkFolderItem(Platform& platform, const ListedEntry& entry, ProgramInfo& info) {
  if (entry.file.length() == 0) return;
  // A shortcut's target may be a folder: the shortcut opens it, so it counts.
  if (!isShortcut(platform, entry.file) || !shortcutTarget(platform, entry.file.c_str(), info.path))
    info.path.assign(entry.file.c_str());
  info.found = platform.GetFileAttributesA(info.path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One string of the version resource's block for a language ("040904E4");
// false when it is not there or empty.
bool readVersionString(Platform& platform, const void* block, const char* language,
                       const char* name, StrBuf& text) {
  char query[QUERY_SIZE];
  copyText(query, QUERY_SIZE, kStringQuery);
  appendText(query, QUERY_SIZE, language);
  appendText(query, QUERY_SIZE, "\\");
  appendText(query, QUERY_SIZE, name);
  void* value = nullptr;
  UINT length = 0;
  if (!platform.VerQueryValueA(block, query, &value, &length) || !value) return false;
  // The length counts the terminator on some systems, not on others.
  const char* chars = static_cast<const char*>(value);
  size_t count = 0;
  while (count < length && chars[count] != '\0') ++count;
  while (count > 0 && chars[count - 1] == ' ') --count;
  text.clear();
  char* out = text.reserveTail(count);
  if (!out) return false;
  // The status bar shows one line: a line break or tab of the file's is a blank.
  for (size_t index = 0; index < count; ++index)
    out[index] = static_cast<unsigned char>(chars[index]) < ' ' ? ' ' : chars[index];
  text.commit(count);
  return count > 0;
}

void readVersionStrings(Platform& platform, ProgramInfo& info) {
  const char* path = info.path.c_str();
  DWORD handle = 0;
  DWORD size = platform.GetFileVersionInfoSizeA(path, &handle);
  StrBuf block;
  char* data = size ? block.reserveTail(size) : nullptr;
  if (!data || !platform.GetFileVersionInfoA(path, 0, size, data)) return;

  char translated[LANGUAGE_SIZE] = "";
  void* table = nullptr;
  UINT tableLength = 0;
  if (platform.VerQueryValueA(data, kTranslationQuery, &table, &tableLength) && table &&
      tableLength >= 2 * sizeof(WORD)) {
    // "llllcccc": the language, then the code page, in hex.
    const WORD* words = static_cast<const WORD*>(table);
    unsigned long code = static_cast<unsigned long>(words[0]) << 16 | words[1];
    for (int digit = 0; digit < 8; ++digit)
      translated[digit] = "0123456789ABCDEF"[(code >> (28 - 4 * digit)) & 0xF];
    translated[8] = '\0';
  }
  const char* languages[] = {translated, kFallbackLanguages[0], kFallbackLanguages[1]};
  for (const char* language : languages) {
    if (language[0] == '\0') continue;
    bool described =
        readVersionString(platform, data, language, "FileDescription", info.description);
    bool named = readVersionString(platform, data, language, "CompanyName", info.company);
    if (described || named) return;
  }
}

}  // namespace

bool checkProgram(Engine& engine, const ListedEntry& entry, bool readVersion, ProgramInfo& info) {
  Platform& platform = engine.platform;
  info.path.clear();
  info.found = false;
  info.description.clear();
  info.company.clear();
  info.notCommand = notCommandName(platform, entry);
  if (info.notCommand) return false;
  ValueType valueType(platform, entry);
  if (entry.place == ENTRY_STARTUP || entry.place == ENTRY_COMMON_STARTUP)
    checkFolderItem(platform, entry, info);
  else
    checkCommand(platform, entry, valueType, info);
  // A program that is there is drawn as one without asking the registry;
  // the status bar always asks.
  if (entry.place == ENTRY_REGISTRY && (readVersion || !info.found))
    info.notCommand = notCommandType(valueType);
  if (info.notCommand) {
    info.path.clear();
    info.found = false;
    return false;
  }
  if (info.path.length() == 0) return false;
  if (info.found && readVersion) readVersionStrings(platform, info);
  return true;
}

void programStatusText(const ListedEntry& entry, const ProgramInfo& info, StrBuf& text) {
  text.clear();
  if (info.notCommand) {
    text.append(kNotCommand);
    text.append(info.notCommand);
    return;
  }
  if (info.path.length() == 0) {
    text.append(kNoProgram);
    return;
  }
  bool item = entry.place == ENTRY_STARTUP || entry.place == ENTRY_COMMON_STARTUP;
  if (item && (info.path.length() != entry.file.length() ||
               memcmp(info.path.c_str(), entry.file.c_str(), info.path.length()) != 0)) {
    text.append(entry.name.c_str());
    text.append(kShortcutArrow);
  }
  text.append(info.path.c_str());
  if (!info.found) {
    text.append(kNotFound);
    return;
  }
  if (info.description.length() == 0 && info.company.length() == 0) return;
  text.append(kDescriptionDash);
  text.append(info.description.c_str());
  if (info.description.length() > 0 && info.company.length() > 0) text.append(kCompanySeparator);
  text.append(info.company.c_str());
}

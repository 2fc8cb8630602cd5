// Find: everything that starts with Windows, as the coloured listing.
#include <string.h>

#include "engine/Engine.h"
#include "engine/MachineAccess.h"
#include "engine/RunKeys.h"
#include "platform/Held.h"
#include "util/Paths.h"
#include "util/StrBuf.h"
#include "util/TextBuffer.h"
#include "util/pure/TaskFile.h"

namespace {

void listFolder(Engine& engine, const char* folder, EntryPlace place) {
  int first = -1, end = -1;
  // A folder that cannot be listed whole lists what it gave.
  walkFolder(engine.platform, folder, [&](const WIN32_FIND_DATAA& found) {
    int index = engine.addLine(found.cFileName, plainColour);
    if (index >= 0 && first < 0) first = index;
    if (index >= 0) end = index + 1;
    return true;
  });
  engine.addSection(first, end, place, false, -1);
}

// A section of the listing: a blank line and its heading come with its
// first line, so a place with nothing in it shows nothing.
class Section {
 public:
  Section(Engine& engine, const char* heading)
      : first(-1), end(-1), engine_(engine), heading_(heading) {}
  void add(const StrBuf& line, COLORREF colour) {
    if (line.failed()) return;
    if (first < 0 && end < 0) {
      engine_.addLine("", plainColour);
      engine_.addLine(heading_, headingColour);
      end = 0;
    }
    int index = engine_.addLine(line.c_str(), colour);
    if (index >= 0 && first < 0) first = index;
    if (index >= 0) end = index + 1;
  }
  int first, end;

 private:
  Engine& engine_;
  const char* heading_;
};

// "name = text": the text up to its first zero byte.
void appendNameAndText(StrBuf& line, const char* name, size_t nameLength, const BYTE* data,
                       DWORD size) {
  DWORD textLength = 0;
  while (textLength < size && data[textLength] != 0) ++textLength;
  line.clear();
  line.append(name, nameLength);
  line.append(" = ");
  line.append(reinterpret_cast<const char*>(data), textLength);
}

// Lists each named value of a key as "name = data", the data as text: its
// bytes up to the first zero byte.
class ValueLines : public ValueSink {
 public:
  explicit ValueLines(Section& section) : section_(section) {}
  bool take(const RegistryValue& value) override {
    if (value.nameSize == 0) return true;  // the default value has no line
    StrBuf line;
    appendNameAndText(line, value.name, value.nameSize, value.data, value.dataSize);
    section_.add(line, plainColour);
    return true;
  }

 private:
  Section& section_;
};

// A string value of an open key, whole; empty when it is not there. Most
// fit the first room, so most take one call.
void readString(Platform& platform, HKEY key, const char* name, StrBuf& text) {
  text.clear();
  DWORD size = MAX_PATH;
  for (int attempt = 0; attempt < 2; ++attempt) {
    char* room = text.reserveTail(size + 1);
    if (!room) return;
    LONG result =
        platform.RegQueryValueExA(key, name, NULL, NULL, reinterpret_cast<BYTE*>(room), &size);
    if (result == ERROR_MORE_DATA) continue;  // size now says what it needs
    if (result != ERROR_SUCCESS) return;
    DWORD length = 0;
    while (length < size && room[length] != '\0') ++length;
    text.commit(length);
    return;
  }
}

}  // namespace

void classFile(Platform& platform, const char* classId, StrBuf& file) {
  StrBuf path;
  HeldKey key(platform);
  file.clear();
  if (path.append("CLSID\\") && path.append(classId) && path.append("\\InprocServer32") &&
      key.open(HKEY_CLASSES_ROOT, path.c_str(), KEY_READ) == ERROR_SUCCESS)
    readString(platform, key.key, NULL, file);
}

namespace {

class ClassLines : public ValueSink {
 public:
  ClassLines(Platform& platform, Section& section) : platform_(platform), section_(section) {}
  bool take(const RegistryValue& value) override {
    if (value.nameSize == 0) return true;
    StrBuf file, line;
    classFile(platform_, value.name, file);
    line.append(value.name, value.nameSize);
    line.append(" = ");
    line.append(file.c_str(), file.length());
    section_.add(line, plainColour);
    return true;
  }

 private:
  Platform& platform_;
  Section& section_;
};

// A single value Windows needs: each of its strings a line, in a colour of
// its own when the value is not Windows' default.
void listSingleValue(Engine& engine, const Place& place, Section& section) {
  Platform& platform = engine.platform;
  StrBuf value, expected, line;
  if (place.root == IN_WINDOWS_FOLDER) {
    char text[1024];
    DWORD length = platform.GetPrivateProfileStringA(place.key, place.value, "", text,
                                                     sizeof text, "system.ini");
    value.append(text, length);
  } else {
    HeldKey key(platform);
    if (key.open(rootKey(place.root), place.key, KEY_READ) != ERROR_SUCCESS) return;
    DWORD size = 0, type = REG_NONE;
    if (platform.RegQueryValueExA(key.key, place.value, NULL, &type, NULL, &size) != ERROR_SUCCESS)
      return;
    char* room = value.reserveTail(size + 2);
    if (!room) return;
    room[size] = room[size + 1] = '\0';
    if (platform.RegQueryValueExA(key.key, place.value, NULL, &type, reinterpret_cast<BYTE*>(room),
                                  &size) != ERROR_SUCCESS)
      return;
    // A list of strings (BootExecute) keeps its zeros between them, up to
    // the list's end.
    size_t length = 0;
    if (type == REG_MULTI_SZ)
      while (length < size && room[length] != '\0') length += strlen(room + length) + 1;
    else
      length = strlen(room);
    while (length > 0 && room[length - 1] == '\0') --length;
    value.commit(length);
  }
  if (value.length() == 0) return;  // an empty AppInit_DLLs loads nothing
  if (defaultInSystemFolder(place)) {
    char system[MAX_PATH];
    UINT length = platform.GetSystemDirectoryA(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH) expected.append(system);
    expected.appendChar('\\');
  }
  expected.append(place.windowsDefault);
  COLORREF colour =
      platform.lstrcmpiA(value.c_str(), expected.c_str()) == 0 ? plainColour : changedDefaultColour;
  for (const char* text = value.c_str(); text < value.c_str() + value.length();
       text += strlen(text) + 1) {
    appendNameAndText(line, place.value, strlen(place.value),
                      reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text)));
    section.add(line, colour);
  }
}

// Every subkey name of an open key, to a function.
template <class Take>
void eachSubkey(Platform& platform, HKEY key, Take take) {
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof name;
    if (platform.RegEnumKeyExA(key, index, name, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
      return;
    take(name, size);
  }
}

void listComponents(Engine& engine, const Place& place, Section& section) {
  Platform& platform = engine.platform;
  HeldKey key(platform);
  if (key.open(rootKey(place.root), place.key, KEY_READ) != ERROR_SUCCESS) return;
  if (place.form == VALUES_NAMED_BY_CLASS) {
    ClassLines lines(platform, section);
    DWORD count;
    readKeyValues(platform, key.key, lines, &count);
    return;
  }
  eachSubkey(platform, key.key, [&](const char* name, DWORD size) {
    StrBuf file, line;
    if (place.form == SUBKEYS_NAMED_BY_CLASS) {
      classFile(platform, name, file);
    } else {
      HeldKey component(platform);
      if (component.open(key.key, name, KEY_READ) == ERROR_SUCCESS)
        readString(platform, component.key, place.value, file);
    }
    line.append(name, size);
    line.append(" = ");
    line.append(file.c_str(), file.length());
    section.add(line, plainColour);
  });
}

// A task file's text in the system's code page.
void appendTaskText(Platform& platform, const TaskText& text, StrBuf& line) {
  if (text.length == 0) return;
  // The file's bytes are on the heap, aligned for WCHAR, and every text
  // starts at an even offset: the text is a terminated wide string.
  const WCHAR* wide = reinterpret_cast<const WCHAR*>(text.bytes);
  int length = static_cast<int>(text.length);
  int need = platform.WideCharToMultiByte(CP_ACP, 0, wide, length, NULL, 0, NULL, NULL);
  char* room = need > 0 ? line.reserveTail(static_cast<size_t>(need)) : nullptr;
  if (room) line.commit(platform.WideCharToMultiByte(CP_ACP, 0, wide, length, room, need, NULL, NULL));
}

// Each .job file of the Windows folder's Tasks folder: "name = program
// parameters", "(disabled)" after the name of a task switched off in it.
void listTasks(Engine& engine, Section& section) {
  Platform& platform = engine.platform;
  char folder[MAX_PATH];
  UINT length = platform.GetWindowsDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || !appendText(folder, MAX_PATH, "\\Tasks")) return;
  walkFolder(platform, folder, [&](const WIN32_FIND_DATAA& found) {
    const char* name = found.cFileName;
    size_t nameLength = strlen(name);
    if (nameLength < 4 || platform.lstrcmpiA(name + nameLength - 4, ".job") != 0) return true;
    StrBuf path, line;
    TextBuffer file;
    TaskFile task;
    line.append(name);
    if (path.append(folder) && path.appendChar('\\') && path.append(name) &&
        file.loadFile(platform, path.c_str(), 2) && readTaskFile(file.data, file.length, &task)) {
      if (task.disabled) line.append(" (disabled)");
      line.append(" = ");
      appendTaskText(platform, task.application, line);
      if (task.parameters.length > 0) line.appendChar(' ');
      appendTaskText(platform, task.parameters, line);
    } else {
      line.append(": damaged, or not a task file Startlull can read");
    }
    section.add(line, plainColour);
    return true;
  });
}

// The command of a service's ImagePath as the service manager reads it:
// "\SystemRoot\" is the Windows folder, "\??\" names a path as it is.
void serviceCommand(Engine& engine, const StrBuf& image, StrBuf& command) {
  Platform& platform = engine.platform;
  static const char kSystemRoot[] = "\\SystemRoot\\";
  const size_t systemRootLength = sizeof kSystemRoot - 1;
  const char* path = image.c_str();
  command.clear();
  char windows[MAX_PATH], start[sizeof kSystemRoot];
  copyText(start, sizeof start, path);  // cut to the prefix's length on purpose
  if (platform.lstrcmpiA(start, kSystemRoot) == 0) {
    UINT length = platform.GetWindowsDirectoryA(windows, MAX_PATH);
    if (length > 0 && length < MAX_PATH) command.append(windows);
    path += systemRootLength - 1;
  } else if (image.length() >= 4 && memcmp(path, "\\??\\", 4) == 0) {
    path += 4;
  }
  StrBuf expanded;
  DWORD need = platform.ExpandEnvironmentStringsA(path, NULL, 0);
  char* room = need ? expanded.reserveTail(need) : nullptr;
  if (room && platform.ExpandEnvironmentStringsA(path, room, need) == need) {
    expanded.commit(need - 1);
    command.append(expanded.c_str());
  } else {
    command.append(path);
  }
}

void listServices(Engine& engine, const Place& place, Section& section) {
  Platform& platform = engine.platform;
  HeldKey services(platform);
  if (services.open(rootKey(place.root), place.key, KEY_READ) != ERROR_SUCCESS) return;
  const DWORD kAutoStart = 2, kProcessTypes = SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS;
  eachSubkey(platform, services.key, [&](const char* name, DWORD size) {
    HeldKey service(platform);
    if (service.open(services.key, name, KEY_READ) != ERROR_SUCCESS) return;
    DWORD start = 0, type = 0, length = sizeof(DWORD);
    if (platform.RegQueryValueExA(service.key, "Start", NULL, NULL, reinterpret_cast<BYTE*>(&start),
                                  &length) != ERROR_SUCCESS || start != kAutoStart)
      return;
    length = sizeof(DWORD);
    if (platform.RegQueryValueExA(service.key, "Type", NULL, NULL, reinterpret_cast<BYTE*>(&type),
                                  &length) != ERROR_SUCCESS || !(type & kProcessTypes))
      return;
    StrBuf display, image, command, line;
    readString(platform, service.key, "DisplayName", display);
    readString(platform, service.key, "ImagePath", image);
    serviceCommand(engine, image, command);
    if (display.length() > 0)
      line.append(display.c_str());
    else
      line.append(name, size);
    line.append(" = ");
    line.append(command.c_str(), command.length());
    section.add(line, plainColour);
  });
}

}  // namespace

void Engine::findStartupEntries() {
  host.resetListing();
  listingSectionCount = 0;
  addLine("", plainColour);
  addLine("[Win.ini]", headingColour);

  for (const char* key : winIniKeys) {
    StrBuf value, line;
    if (readWholeProfileValue(platform, key, value) && value.length() > 0) {
      line.append(key);
      line.append(" = ");
      line.append(value.c_str(), value.length());
    } else {
      line.append(key);
      line.append("=");
    }
    int index = addLine(line.c_str(), plainColour);
    if (value.length() > 0) addSection(index, index + 1, ENTRY_WIN_INI, false, -1);
  }

  addLine("", plainColour);
  addLine("[Startup folder]", headingColour);
  listFolder(*this, startupDir, ENTRY_STARTUP);
  addLine("", plainColour);
  addLine("[All Users Startup folder]", headingColour);
  listFolder(*this, commonStartupDir, ENTRY_COMMON_STARTUP);

  listPlaces();
  listDisabledEntries();
  markChanges();

  if (restoreAvailable == 0 && systemKind >= WINDOWS_98 && systemKind <= WINDOWS_XP) {
    host.EnableCommand(COMMAND_REMOVE, 1);
    host.EnableCommand(COMMAND_SAVE, 1);
  }
}

void Engine::listPlaces() {
  for (int row = 0; row < PLACE_COUNT; ++row) {
    const Place& place = places[row];
    if (row < RUN_KEY_COUNT) entryCounts[row] = 0;
    if (!placeOnSystem(place, systemKind)) continue;
    Section section(*this, place.heading);
    switch (place.kind) {
      case PLACE_VALUE_LIST: {
        HeldKey key(platform);
        if (key.open(rootKey(place.root), place.key, KEY_READ) != ERROR_SUCCESS) continue;
        // What could be read is listed, however the reading ended.
        ValueLines lines(section);
        DWORD values;
        readKeyValues(platform, key.key, lines, &values);
        // A Run-type key's count tells Remove that the key is there.
        if (row < RUN_KEY_COUNT) entryCounts[row] = static_cast<int>(values) + 1;
        addSection(section.first, section.end, ENTRY_REGISTRY, false, row);
        continue;
      }
      case PLACE_SINGLE_VALUE:
        listSingleValue(*this, place, section);
        break;
      case PLACE_COMPONENTS:
        listComponents(*this, place, section);
        break;
      case PLACE_SERVICES:
        listServices(*this, place, section);
        break;
      case PLACE_TASKS:
        listTasks(*this, section);
        break;
    }
    addSection(section.first, section.end, ENTRY_OTHER, false, row);
  }
}

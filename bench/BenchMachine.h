// The machine the benchmark programs measure on: seeded at scale (values in
// each Run-type key, files in both Startup folders, win.ini's run and load;
// once, the other places: 1,000 values in each other value list, 500
// scheduled tasks, 300 services), checked whole or removed, and the bare
// Win32 work that Find, Remove and Restore cannot do without.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/RunKeys.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestMachine.h"

namespace bench {

const int kFileBytes = 120;
const char kRunValue[] = "C:\\Bench\\tray.exe /background";
const char kLoadValue[] = "C:\\Bench\\load.exe";
const HKEY kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

struct Location {
  HKEY root;
  std::string key;  // full path below the root
};

inline std::vector<Location> runKeys() {
  std::vector<Location> keys;
  for (int row = 0; row < RUN_KEY_COUNT; ++row)
    keys.push_back({rootKey(places[row].root), places[row].key});
  return keys;
}

struct Value {
  std::string name;
  std::string data;  // with its terminating zero
};

struct Paths {
  std::string startup, commonStartup, inactive, commonInactive, settings, disabled;
  int systemKind;
  // What Find lists of the other places, and the entries the bare work
  // sees there: the same however the Run keys and folders are seeded.
  size_t otherLines, otherSeen;
};

const int kOtherValues = 1000, kTasks = 500, kServices = 300;

[[noreturn]] inline void fail(const std::string& why) {
  printf("FAILED %s\n", why.c_str());
  fflush(stdout);
  exit(1);
}

// Where this prefix keeps the Startup folders and the engine its data; both
// Startup folders made. Fails when Wine reports a Windows the engine does
// not support.
inline Paths machinePaths(Platform& platform);

inline std::vector<Value> valuesFor(int perKey) {
  std::vector<Value> values;
  char name[32], data[96];
  for (int i = 0; i < perKey; ++i) {
    snprintf(name, sizeof name, "Bench%05d", i);
    snprintf(data, sizeof data, "C:\\Program Files\\Bench Tools\\tool%05d.exe /quiet /tray", i);
    values.push_back({name, std::string(data, strlen(data) + 1)});
  }
  return values;
}

inline std::vector<std::string> fileNamesFor(int perFolder) {
  std::vector<std::string> names;
  char name[32];
  for (int i = 0; i < perFolder; ++i) {
    snprintf(name, sizeof name, "Bench item %05d.lnk", i);
    names.push_back(name);
  }
  return names;
}

// The same values in each of the eight keys, made when missing.
inline void writeValues(const std::vector<Value>& values) {
  for (const Location& location : runKeys()) {
    HKEY key;
    if (RegCreateKeyExA(location.root, location.key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
      fail("cannot create " + location.key);
    for (const Value& value : values)
      RegSetValueExA(key, value.name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.data.data()),
                     static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
  }
}

// What the last Find remembered goes with the machine it listed: the first
// Find on a new machine marks nothing, and the next ones compare with a
// listing of their own size.
inline void clearMachine(const Paths& paths) {
  DeleteFileA((paths.disabled + "\\" + kSeenName).c_str());
  for (const Location& location : runKeys()) machine::deleteKey(location.root, location.key);
  machine::setProfileValue("run", "");
  machine::setProfileValue("load", "");
  machine::emptyDir(paths.startup);
  machine::emptyDir(paths.commonStartup);
  machine::removeTree(paths.inactive);
  machine::removeTree(paths.commonInactive);
}

inline DWORD valueCount(const Location& location) {
  HKEY key;
  if (RegOpenKeyExA(location.root, location.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return 0;
  DWORD values = 0;
  RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
  RegCloseKey(key);
  return values;
}

// What a finished Restore must leave: everything seeded, in place.
inline void checkSeeded(const Paths& paths, size_t perLocation, const char* after) {
  for (const Location& location : runKeys())
    if (valueCount(location) != perLocation)
      fail(std::string("after ") + after + ": " + location.key + " holds " +
           std::to_string(valueCount(location)) + " values");
  if (machine::listDir(paths.startup).size() != perLocation ||
      machine::listDir(paths.commonStartup).size() != perLocation)
    fail(std::string("after ") + after + ": the Startup folders are not whole");
  if (machine::profileValue("run") != kRunValue || machine::profileValue("load") != kLoadValue)
    fail(std::string("after ") + after + ": win.ini's values are not back");
  if (machine::exists(paths.inactive) || machine::exists(paths.commonInactive))
    fail(std::string("after ") + after + ": an inactive folder is left");
}

inline void checkRemoved(const Paths& paths, const char* after) {
  for (const Location& location : runKeys())
    if (machine::keyExists(location.root, location.key))
      fail(std::string("after ") + after + ": " + location.key + " is still there");
  if (!machine::listDir(paths.startup).empty() || !machine::listDir(paths.commonStartup).empty())
    fail(std::string("after ") + after + ": the Startup folders are not empty");
}

// A clean machine, then perLocation entries in each of the ten locations.
// The wineserver of this run is already up, so Wine's own start-up cannot
// run the RunOnce values seeded here.
inline void seedMachine(const Paths& paths, const std::vector<Value>& values, int perLocation) {
  clearMachine(paths);
  writeValues(values);
  machine::setProfileValue("run", kRunValue);
  machine::setProfileValue("load", kLoadValue);
  std::string content(kFileBytes, 'x');
  for (const std::string& name : fileNamesFor(perLocation)) {
    machine::writeFile(paths.startup + "\\" + name, content);
    machine::writeFile(paths.commonStartup + "\\" + name, content);
  }
  checkSeeded(paths, perLocation, "seeding");
}

// Lines Find lists for perLocation entries in each location: its eight
// fixed lines, the files of both folders, a blank line, a heading and the
// values of each key, then the other places.
const size_t kFixedLines = 8;
inline size_t findLineCount(const Paths& paths, size_t perLocation) {
  return kFixedLines + 2 * perLocation + RUN_KEY_COUNT * (2 + perLocation) + paths.otherLines;
}

// ---- the bare work ----------------------------------------------------------

// The other places as Find must read them: every value of the other value
// lists (a shell service object's class followed to its DLL), every task
// file read whole, and each service's start type, its type and, for those
// that start automatically, its program and name. The few single values
// and components of a plain machine are left out.
inline size_t rawOtherPlaces(int systemKind) {
  size_t seen = 0;
  char name[260], windows[MAX_PATH];
  BYTE data[1024];
  GetWindowsDirectoryA(windows, MAX_PATH);
  for (const Place& place : places) {
    if (place.taken != NOT_TAKEN || !placeOnSystem(place, systemKind)) continue;
    if (place.kind == PLACE_VALUE_LIST) {
      HKEY key;
      if (RegOpenKeyExA(rootKey(place.root), place.key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        continue;
      for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1;
        LONG result = RegEnumValueA(key, index, name, &nameSize, NULL, NULL, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) continue;
        ++seen;
        if (place.form != DATA_NAMES_CLASS) continue;
        data[dataSize] = 0;
        std::string server = "CLSID\\" + std::string(reinterpret_cast<char*>(data)) +
                             "\\InprocServer32";
        HKEY classKey;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_READ, &classKey) !=
            ERROR_SUCCESS)
          continue;
        DWORD size = sizeof name;
        RegQueryValueExA(classKey, NULL, NULL, NULL, reinterpret_cast<BYTE*>(name), &size);
        RegCloseKey(classKey);
      }
      RegCloseKey(key);
    } else if (place.kind == PLACE_TASKS) {
      std::string folder = std::string(windows) + "\\" + place.key;
      WIN32_FIND_DATAA found;
      HANDLE search = FindFirstFileA((folder + "\\*.job").c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) continue;
      do {
        HANDLE file = CreateFileA((folder + "\\" + found.cFileName).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE) continue;
        DWORD read = 0;
        ReadFile(file, data, sizeof data, &read, NULL);
        CloseHandle(file);
        ++seen;
      } while (FindNextFileA(search, &found));
      FindClose(search);
    } else if (place.kind == PLACE_SERVICES) {
      HKEY services;
      if (RegOpenKeyExA(rootKey(place.root), place.key, 0, KEY_READ, &services) != ERROR_SUCCESS)
        continue;
      for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name;
        LONG result = RegEnumKeyExA(services, index, name, &nameSize, NULL, NULL, NULL, NULL);
        if (result == ERROR_NO_MORE_ITEMS) break;
        HKEY service;
        if (result != ERROR_SUCCESS ||
            RegOpenKeyExA(services, name, 0, KEY_READ, &service) != ERROR_SUCCESS)
          continue;
        DWORD start = 0, type = 0, size = sizeof start;
        RegQueryValueExA(service, "Start", NULL, NULL, reinterpret_cast<BYTE*>(&start), &size);
        size = sizeof type;
        RegQueryValueExA(service, "Type", NULL, NULL, reinterpret_cast<BYTE*>(&type), &size);
        if (start == 2 && (type & (SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS))) {
          size = sizeof data;
          RegQueryValueExA(service, "ImagePath", NULL, NULL, data, &size);
          size = sizeof data;
          RegQueryValueExA(service, "DisplayName", NULL, NULL, data, &size);
          ++seen;
        }
        RegCloseKey(service);
      }
      RegCloseKey(services);
    }
  }
  return seen;
}

// Every value of the eight keys and every entry of the two folders, read
// into buffers and thrown away.
inline size_t rawFind(const Paths& paths) {
  size_t seen = rawOtherPlaces(paths.systemKind);
  char name[260];
  BYTE data[260];
  for (const Location& location : runKeys()) {
    HKEY key;
    if (RegOpenKeyExA(location.root, location.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      continue;
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = sizeof name, dataSize = sizeof data;
      LONG result = RegEnumValueA(key, index, name, &nameSize, NULL, NULL, data, &dataSize);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result == ERROR_SUCCESS) ++seen;
    }
    RegCloseKey(key);
  }
  for (const std::string* folder : {&paths.startup, &paths.commonStartup}) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((*folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++seen;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return seen;
}

inline void moveAll(const std::string& from, const std::string& to) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  char source[MAX_PATH], destination[MAX_PATH];
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    snprintf(source, sizeof source, "%s\\%s", from.c_str(), found.cFileName);
    snprintf(destination, sizeof destination, "%s\\%s", to.c_str(), found.cFileName);
    MoveFileA(source, destination);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

inline void writeWhole(const std::string& path, const std::string& bytes) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) fail("cannot write " + path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
  // Durable, as a settings file must be before anything is deleted.
  FlushFileBuffers(file);
  CloseHandle(file);
}

inline std::string readWhole(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) fail("cannot read " + path);
  std::string bytes(GetFileSize(file, NULL), '\0');
  DWORD read = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, NULL);
  CloseHandle(file);
  return bytes;
}

// Files aside, the settings written and read back, win.ini blanked, each
// value looked at (it must still be as recorded) and deleted, the emptied
// keys deleted.
inline void rawRemove(const Paths& paths, const std::string& settings,
                      const std::vector<Value>& values) {
  CreateDirectoryA(paths.inactive.c_str(), NULL);
  moveAll(paths.startup, paths.inactive);
  CreateDirectoryA(paths.commonInactive.c_str(), NULL);
  moveAll(paths.commonStartup, paths.commonInactive);
  writeWhole(paths.settings, settings);
  if (readWhole(paths.settings).size() != settings.size()) fail("raw settings file");
  WriteProfileStringA("windows", "run", "");
  WriteProfileStringA("windows", "load", "");
  for (HKEY root : kRoots) {
    HKEY parent;
    if (RegOpenKeyExA(root, CURRENT_VERSION_KEY, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS)
      fail("cannot open the Run keys' parent");
    for (int row = 0; row < RUN_KEY_COUNT; ++row) {
      if (rootKey(places[row].root) != root) continue;
      const char* name = listName(places[row]);
      HKEY key;
      if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        fail(std::string("cannot open ") + name);
      char data[96];
      for (const Value& value : values) {
        DWORD size = sizeof data;
        RegQueryValueExA(key, value.name.c_str(), NULL, NULL, reinterpret_cast<BYTE*>(data), &size);
        RegDeleteValueA(key, value.name.c_str());
      }
      RegCloseKey(key);
      SHDeleteKeyA(parent, name);
    }
    RegCloseKey(parent);
  }
}

// The settings read, win.ini and every value written back, the file
// deleted, the files moved home and the inactive folders removed.
inline void rawRestore(const Paths& paths, const std::vector<Value>& values) {
  readWhole(paths.settings);
  WriteProfileStringA("windows", "run", kRunValue);
  WriteProfileStringA("windows", "load", kLoadValue);
  writeValues(values);
  DeleteFileA(paths.settings.c_str());
  moveAll(paths.commonInactive, paths.commonStartup);
  RemoveDirectoryA(paths.commonInactive.c_str());
  moveAll(paths.inactive, paths.startup);
  RemoveDirectoryA(paths.inactive.c_str());
}

// ---- the engine --------------------------------------------------------------

// The engine's Remove with its dialogs answered OK and Exit, as the user
// would; the machine is checked removed after it.
inline void removeWithEngine(Engine& engine, RecordingHost& host, const Paths& paths) {
  int removed = engine.removeStartupEntries();
  if (removed != 1 || !host.errors().empty())
    fail("Remove answered " + std::to_string(removed) +
         (host.errors().empty() ? "" : ": " + host.errors()[0].text));
  checkRemoved(paths, "Remove");
}

// ---- the other places ---------------------------------------------------------

inline std::string benchName(const char* format, int i) {
  char name[64];
  snprintf(name, sizeof name, format, i);
  return name;
}

// The other places at their scale, in the values of this run's prefix;
// seeding again writes the same names.
inline void seedOtherPlaces() {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  for (const Place& place : places) {
    if (place.taken != NOT_TAKEN || place.kind != PLACE_VALUE_LIST) continue;
    for (int i = 0; i < kOtherValues; ++i) {
      std::string name = benchName("Other%05d", i);
      if (place.form == DATA_NAMES_CLASS) {
        std::string id = benchName("{5A1E0000-0000-0000-0000-%012d}", i);
        machine::setString(rootKey(place.root), place.key, name, id);
        machine::setString(HKEY_CLASSES_ROOT, "CLSID\\" + id + "\\InprocServer32", "",
                           benchName("C:\\Bench\\shell%05d.dll", i));
      } else {
        machine::setString(rootKey(place.root), place.key, name,
                           benchName("C:\\Program Files\\Bench Tools\\other%05d.exe /tray", i));
      }
    }
  }
  std::string tasks = std::string(windows) + "\\Tasks";
  machine::makeDir(tasks);
  for (int i = 0; i < kTasks; ++i)
    machine::writeFile(tasks + benchName("\\Bench task %05d.job", i),
                       machine::taskFile(benchName("C:\\Bench\\task%05d.exe", i), "/now", i % 2));
  const std::string services = "System\\CurrentControlSet\\Services\\";
  for (int i = 0; i < kServices; ++i) {
    std::string key = services + benchName("StartlullBench%03d", i);
    machine::setString(HKEY_LOCAL_MACHINE, key, "DisplayName", benchName("Bench service %03d", i));
    machine::setValue(HKEY_LOCAL_MACHINE, key, "ImagePath", REG_EXPAND_SZ,
                      benchName("%%SystemRoot%%\\system32\\bench%03d.exe", i) + '\0');
    machine::setValue(HKEY_LOCAL_MACHINE, key, "Start", REG_DWORD, std::string("\x02\0\0\0", 4));
    machine::setValue(HKEY_LOCAL_MACHINE, key, "Type", REG_DWORD, std::string("\x10\0\0\0", 4));
  }
}

// Takes the other places' seeds out again: services that start
// automatically must not meet the prefix's next start.
inline void clearOtherPlaces() {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  for (const Place& place : places)
    if (place.taken == NOT_TAKEN && place.kind == PLACE_VALUE_LIST)
      machine::deleteKey(rootKey(place.root), place.key);
  for (int i = 0; i < kOtherValues; ++i)
    machine::deleteKey(HKEY_CLASSES_ROOT,
                       "CLSID\\" + benchName("{5A1E0000-0000-0000-0000-%012d}", i));
  for (int i = 0; i < kTasks; ++i)
    DeleteFileA((std::string(windows) + benchName("\\Tasks\\Bench task %05d.job", i)).c_str());
  for (int i = 0; i < kServices; ++i)
    machine::deleteKey(HKEY_LOCAL_MACHINE,
                       benchName("System\\CurrentControlSet\\Services\\StartlullBench%03d", i));
}

// Where this prefix keeps the Startup folders and the engine its data; both
// Startup folders made, the other places seeded and what Find lists of them
// counted. Fails when Wine reports a Windows the engine does not support,
// or Find lists less of the other places than was seeded.
inline Paths machinePaths(Platform& platform) {
  RecordingHost host;
  Engine probe(platform, host);
  probe.computeLocations();
  if (probe.systemKind == UNSUPPORTED) fail("Wine reports an unsupported Windows version");
  Paths paths{probe.startupDir,   probe.commonStartupDir, probe.inactiveDir,
              probe.commonInactiveDir, probe.settingsPath,   probe.disabledDir,
              probe.systemKind,  0,                      0};
  machine::makeDir(paths.startup);
  machine::makeDir(paths.commonStartup);
  clearMachine(paths);
  seedOtherPlaces();
  probe.findStartupEntries();
  paths.otherLines = host.lines.size() - kFixedLines;  // no Run key is there yet
  paths.otherSeen = rawOtherPlaces(paths.systemKind);
  // Tasks and services have one heading each; each value list its own.
  size_t entries = kTasks + kServices, headings = 2 * 2;
  for (const Place& place : places)
    if (place.taken == NOT_TAKEN && place.kind == PLACE_VALUE_LIST &&
        placeOnSystem(place, paths.systemKind)) {
      entries += kOtherValues;
      headings += 2;
    }
  if (paths.otherLines < entries + headings || paths.otherSeen < entries) {
    // Each section's heading with its number of lines, to see which fell short.
    size_t count = 0;
    for (size_t line = host.lines.size(); line-- > 0;) {
      const std::string& text = host.lines[line].text;
      if (!text.empty() && text[0] == '[' && host.lines[line].colour == headingColour) {
        printf("%s: %u lines\n", text.c_str(), static_cast<unsigned>(count));
        count = 0;
      } else if (!text.empty()) {
        ++count;
      }
    }
    fail("Find listed " + std::to_string(paths.otherLines) + " lines of the other places and " +
         "the bare work saw " + std::to_string(paths.otherSeen) + " entries; " +
         std::to_string(entries) + " were seeded");
  }
  return paths;
}

}  // namespace bench

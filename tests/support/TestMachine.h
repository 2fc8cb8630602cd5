// Helpers that set up and inspect the real machine (the test's Wine prefix):
// registry values, win.ini, files and folders.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace machine {

extern const char* const kRunKeyPrefix;  // "Software\\Microsoft\\Windows\\CurrentVersion\\"

// Registry
void setValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& bytes);
void setString(HKEY root, const std::string& key, const std::string& name, const std::string& text);
void createKey(HKEY root, const std::string& key);
void deleteKey(HKEY root, const std::string& key);
bool keyExists(HKEY root, const std::string& key);
// A string value of up to MAX_PATH bytes, or "" when the key or value is missing.
std::string stringValue(HKEY root, const std::string& key, const std::string& name);
// The name below Software\Microsoft\Windows\CurrentVersion of a Run-type
// key (RUN, RUN_ONCE, ...), as the place table names it.
const char* runKeyName(int name);
// Deletes every value list of the place table: the Run-type keys and the others.
void clearRunKeys();

// One entry in each of the other places Find lists (engine/Places.h), in
// the table's order: its section's heading and the line it shows there.
// notDefault: a value Windows needs, seeded other than Windows' own.
struct PlaceSeed {
  std::string heading, line;
  bool notDefault;
};
std::vector<PlaceSeed> seedOtherPlaces();
// Takes those entries out again; Winlogon's Shell goes back to Wine's own.
void clearOtherPlaces();
// A task file of the layout Task Scheduler 1.0 writes.
std::string taskFile(const std::string& program, const std::string& parameters, bool disabled);

// win.ini [windows]: value or "" when absent.
std::string profileValue(const char* key);
void setProfileValue(const char* key, const char* value);  // null deletes

// Files and folders
bool exists(const std::string& path);
void writeFile(const std::string& path, const std::string& content, DWORD attributes = 0);
std::string readFile(const std::string& path);
void makeDir(const std::string& path);
// Deletes a folder with everything in it; a missing folder is fine.
void removeTree(const std::string& path);
// Empties a folder, keeping it.
void emptyDir(const std::string& path);
// Names of the entries of a folder (no "." and ".."), sorted.
std::vector<std::string> listDir(const std::string& path);

// The Startup folders the prefix's Shell Folders name.
std::string startupDir();
std::string commonStartupDir();
std::string parentOf(const std::string& path);

}  // namespace machine

// The eight Run-type registry locations and their listing headings.
#pragma once

#include <windows.h>

class StrBuf;

#define CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"
#define CURRENT_VERSION_PREFIX CURRENT_VERSION_KEY "\\"

enum RunKeyName { RUN = 0, RUN_ONCE = 1, RUN_ONCE_EX = 2, RUN_SERVICES = 3 };

enum { RUN_KEY_COUNT = 8, HEADING_SIZE = 100 };

extern const char* const runKeyNames[4];
extern const HKEY runKeyRoots[2];

// Slot of a location in entryCounts and keyDeleted: HKEY_LOCAL_MACHINE's
// Run, RunOnce, RunOnceEx, RunServices, then HKEY_CURRENT_USER's.
int runKeySlot(HKEY root, int name);

struct RunKeyLocation {
  HKEY root;
  int name;
};

// Listing order: each root's RunServices, Run, RunOnce, RunOnceEx.
extern const RunKeyLocation findOrder[RUN_KEY_COUNT];

// "Software\Microsoft\Windows\CurrentVersion\" and the key name; false
// when memory runs out.
bool runKeyPath(StrBuf& path, const char* keyName);

// "[Registry - local_machine, Run]" and the like.
void registryHeading(char* heading, HKEY root, const char* keyName);

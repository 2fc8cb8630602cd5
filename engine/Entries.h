// Single startup entries: which listing line names which entry, what its
// program is, and taking one entry out of the startup (Disable) or putting
// it back (Enable) through a store of Startlull's own.
#pragma once

#include <windows.h>

#include "util/StrBuf.h"

class Engine;

// Where an entry starts from.
// ENTRY_REGISTRY: a value list of the place table, whose entries Disable
// and Enable move; ENTRY_OTHER: any other row of it.
enum EntryPlace { ENTRY_WIN_INI, ENTRY_STARTUP, ENTRY_COMMON_STARTUP, ENTRY_REGISTRY, ENTRY_OTHER };

// One entry as a line of Find's listing names it.
struct ListedEntry {
  EntryPlace place;
  // A line of the "[Disabled by Startlull]" section: the entry is in the store.
  bool disabled;
  HKEY root;  // ENTRY_REGISTRY: HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
  int row;    // ENTRY_REGISTRY and ENTRY_OTHER: its row of the place table
  StrBuf name;     // "run" or "load", the item's file name, or the value's name
  StrBuf command;  // win.ini and registry: the command as listed; items: empty
  StrBuf file;     // items: the item's full path where it is now
};

// Lines of the section Find adds when the store holds anything.
extern const char kDisabledHeading[];  // "[Disabled by Startlull]"
const COLORREF disabledColour = 0x808080;

// The store beside each Startup folder: the items themselves, and a record
// file of the registry and win.ini values.
extern const char kDisabledFolderName[];  // "Startup-Disabled"
extern const char kDisabledRecordName[];  // the record file's name in that folder
// What the last Find listed, in the user's store folder: the file, its
// temporary name while it is written, and the name a damaged one is set
// aside under. None of them is a disabled entry.
extern const char kSeenName[], kSeenTempName[], kSeenAsideName[];

// "Win.ini", "Startup folder", "All Users Startup folder" or a key's heading
// without its brackets ("Registry - current_user, Run"): what a line of the
// disabled section starts with, before ": " and the entry as Find lists it.
void entryPlaceName(StrBuf& name, EntryPlace place, int row);
// The place a disabled section's line names; *rest: the entry's text after it.
bool disabledLinePlace(const char* line, ListedEntry& entry, const char** rest);

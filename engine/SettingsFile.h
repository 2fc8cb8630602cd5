// The settings file as Remove and Restore share it: written, proven and put
// in place in one step, and its temporary name cleaned up after a crash.
#pragma once

#include "engine/Engine.h"

// How the record names the items of the user's and the All Users Startup folder.
extern const char kUserItems[];
extern const char kCommonItems[];

// "HKLM" or "HKCU", as the record names a root.
const char* recordRootName(HKEY root);

// Writes the listing and the record of everything Remove is about to take
// away to a temporary file beside settingsPath, reads it back, checks that
// it holds exactly the machine's current keys and win.ini values, and only
// then renames it to settingsPath. On success savedRecord holds the record.
// On failure nothing is left at either name (a file that was already at
// settingsPath stays untouched).
int saveSettingsFile(Engine& engine);

// Deletes a temporary settings file left by a Remove that died while
// writing it, so the inactive folder can be emptied and removed.
void deleteLeftoverSettings(Engine& engine);

// The folder move of a roll-back or a Restore: from an inactive folder back
// to its Startup folder, each item given the attributes the saved record
// holds for it under recordedAs ("user" or "common"), then the inactive
// folder removed when the move ran to its end. A folder with an empty path
// is left alone: nothing moves from or to a drive's root. Returns 1 when
// the move ran to its end, 0 when it was cancelled or skipped.
int moveBackAndRemove(Engine& engine, const char* inactive, const char* startup,
                      const char* recordedAs);

// Both folder moves of a roll-back or a Restore, the All Users folder first
// and removed when emptied. Returns the user's folder move's result (1 when
// it ran to its end); *commonGone tells whether the All Users inactive
// folder is gone: only then may the user's, which offers Restore at the
// next start, go too.
int moveItemsBack(Engine& engine, bool* commonGone);

// moveItemsBack, then the user's inactive folder removed when it may go.
void moveBothFoldersBack(Engine& engine);

// Clears the attributes of the items Remove moved into the inactive
// folders, once the settings file that records them is in place.
void plainMovedItems(Engine& engine);

// Adds to a Run-type key what the saved record holds and the key lacks,
// keeping every value that is there: for a key whose deletion failed part
// way. Returns the number of values and keys written, 0 on a failure (and
// then sets registryWriteFailed).
int refillRegistryKey(Engine& engine, HKEY root, const char* keyName);

// Whether nothing is at path: true only for "not found", never for a file
// that is there but cannot be looked at now.
bool missingFile(Platform& platform, const char* path);

// Whether the value of that name in key holds exactly the recorded type and bytes.
bool valueMatches(Platform& platform, HKEY key, const RecordEntry& entry);

// Whether win.ini and the keys hold everything the saved record holds:
// every recorded value there with its type and bytes (others may be there too).
bool machineHoldsRecord(Engine& engine);

enum SettingsRead {
  SETTINGS_READ,        // ours: the listing and any record are loaded
  SETTINGS_MISSING,     // no file at that path
  SETTINGS_UNREADABLE,  // there, but it cannot be read now
  SETTINGS_NOT_OURS,    // empty, or not a settings file
};

// loadListingFromFile, telling why a file was not loaded.
SettingsRead readSettingsFile(Engine& engine, const char* path);

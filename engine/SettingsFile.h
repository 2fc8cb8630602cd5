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

// How the value of that name in key stands against the recorded one.
enum ValueState {
  VALUE_SAME,        // exactly the recorded type and bytes
  VALUE_CHANGED,     // there, with another type or other bytes
  VALUE_GONE,        // not there
  VALUE_UNREADABLE,  // could not be read now
};
ValueState valueState(Platform& platform, HKEY key, const RecordEntry& entry);

// Whether the value of that name in key holds exactly the recorded type and bytes.
bool valueMatches(Platform& platform, HKEY key, const RecordEntry& entry);

// Adds a Run-type key's line and everything it holds, values and subkeys at
// every depth, to record; nothing for a key that is gone or empty. False
// when it could not be read whole.
bool recordRunKey(Platform& platform, HKEY root, const char* keyName, RecordWriter& record);

// Moves cursor past the line of that Run-type key; false when the record has none.
bool seekRecordedKey(Platform& platform, RecordCursor& cursor, HKEY root, const char* keyName);

// A record's entries, each with the place of the values that follow it:
// "HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnceEx\0001".
class PlaceCursor {
 public:
  explicit PlaceCursor(const SavedRecord& record);
  bool next(RecordEntry& entry);
  const StrBuf& place() const { return place_; }
  // Memory ran out for a place: the places given may be wrong.
  bool failed() const { return key_.failed() || place_.failed(); }

 private:
  RecordCursor cursor_;
  StrBuf key_;
  StrBuf place_;
};

// Takes out of savedRecord, and then of the settings file on disk, every
// recorded value whose place left (what Remove found in the keys after
// deleting) or changed (the recorded values it found changed) holds a value
// of that name: those were left where they are, and neither a roll-back nor
// a later Restore may write old bytes over them. Returns 1 when done or when
// nothing was to be taken out; 0 when the record could not be rebuilt, or
// the file not updated (said, with the error).
int forgetLeftValues(Engine& engine, const SavedRecord& left, const SavedRecord& changed);

// Before Restore reads: a Remove that died after deleting the settings file
// it replaced left the proven new one under the temporary name, and that
// becomes the settings file. False when it is there and could not be renamed.
bool takeOverProvenSettings(Engine& engine);

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

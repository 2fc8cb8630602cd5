// The settings file as Remove and Restore share it: written, proven and put
// in place in one step, and its temporary name cleaned up after a crash.
#pragma once

#include "engine/Engine.h"

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
// to its Startup folder, then the inactive folder removed when the move ran
// to its end. A folder with an empty path is left alone: nothing moves from
// or to a drive's root. Returns 1 when the move ran to its end, 0 when it
// was cancelled or skipped.
int moveBackAndRemove(Engine& engine, const char* inactive, const char* startup);

// Moves the files of one folder into another: how Startup-folder items leave
// the startup and come back.
#include "engine/Engine.h"
#include "engine/MachineAccess.h"
#include "engine/SettingsFile.h"
#include "util/Paths.h"
#include "util/StrBuf.h"
#include "util/pure/NumberText.h"

namespace {

const UINT kCopyErrorStyle = MB_OKCANCEL | MB_ICONEXCLAMATION;

// folder + "\" + name, whatever the length: a path past the platform's limit
// then fails in MoveFileA with the platform's own error instead of being cut
// into the name of some other file.
bool joinPath(StrBuf& path, const char* folder, const char* name) {
  path.clear();
  return path.append(folder) && path.appendChar('\\') && path.append(name);
}

// The error of a call that failed; never ERROR_SUCCESS, which would pass
// for an item that arrived.
DWORD failure(Platform& platform) {
  DWORD error = platform.GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

// Moves one item of the source folder; ERROR_SUCCESS when it arrived or
// was dropped as a duplicate, else the error to show.
DWORD moveItem(Engine& engine, const WIN32_FIND_DATAA& item, const char* from, const char* to,
               const char* recordedAs, size_t* recordHint) {
  const char* name = item.cFileName;
  Platform& platform = engine.platform;
  StrBuf source, destination;
  if (!joinPath(source, from, name) || !joinPath(destination, to, name))
    return ERROR_NOT_ENOUGH_MEMORY;
  // The settings file lives in the user's inactive folder and only its own
  // step moves or deletes it: a folder move never carries it off.
  if (engine.settingsFileInPlace && platform.lstrcmpiA(source.c_str(), engine.settingsPath) == 0)
    return ERROR_SUCCESS;
  // Attributes go with the item (MoveFileA keeps them), so they are given
  // back before it moves: an item that cannot have them stays behind, and
  // with it the inactive folder that offers Restore again.
  unsigned long attributes;
  if (recordedAs && engine.savedRecord.fileAttributes(recordedAs, name, &attributes, recordHint) &&
      attributes != item.dwFileAttributes &&
      !platform.SetFileAttributesA(source.c_str(), attributes))
    return failure(platform);
  if (platform.MoveFileA(source.c_str(), destination.c_str())) {
    // A move that answers success and leaves the item where it was would
    // pass for done: Remove would leave it to start, Restore would delete
    // the settings file that holds its attributes. So the item must have
    // arrived. (Asked of the new name: Wine looks for a name that is not
    // there through the whole folder, which for every item of a large
    // folder is slow.)
    return missingFile(platform, destination.c_str()) ? ERROR_WRITE_FAULT : ERROR_SUCCESS;
  }
  DWORD error = failure(platform);
  if (error != ERROR_ALREADY_EXISTS) return error;
  // The destination's copy wins; results ignored, as a file that will not
  // go simply stays behind. A read-only file would refuse to go.
  platform.SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
  platform.DeleteFileA(source.c_str());
  return ERROR_SUCCESS;
}

// The copy error message; true when the user chose Cancel.
bool cancelledAfterError(Engine& engine, DWORD error, const char* caption) {
  char message[40];
  copyText(message, sizeof message, "Can't copy - error #");
  appendDecimal(message, sizeof message, error);
  return engine.host.messageBox(message, caption, kCopyErrorStyle) == IDCANCEL;
}

}  // namespace

int Engine::moveFolderContents(const char* from, const char* to, const char* recordedAs) {
  // An empty path would mean the root folder of the current drive.
  if (from[0] == '\0' || to[0] == '\0') return 1;

  size_t recordHint = 0;
  DWORD listed = walkFolder(platform, from, [&](const WIN32_FIND_DATAA& found) {
    // Hidden, system and read-only files move; subfolders stay.
    DWORD error = moveItem(*this, found, from, to, recordedAs, &recordHint);
    if (error == ERROR_SUCCESS) return true;
    ++itemsLeftBehind;
    return !cancelledAfterError(*this, error, found.cFileName);
  });
  if (listed == ERROR_CANCELLED) return 0;
  // A folder that is not there has nothing to move; one that is there but
  // cannot be listed, or whose listing breaks off, has not been moved whole.
  if (listed == ERROR_SUCCESS || listed == ERROR_FILE_NOT_FOUND || listed == ERROR_PATH_NOT_FOUND)
    return 1;
  cancelledAfterError(*this, listed, from);
  return 0;
}

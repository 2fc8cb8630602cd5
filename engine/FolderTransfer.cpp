// Moves the files of one folder into another: how Startup-folder items leave
// the startup and come back.
#include "engine/Engine.h"
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

}  // namespace

int Engine::moveFolderContents(const char* from, const char* to) {
  // An empty path would mean the root folder of the current drive.
  if (from[0] == '\0' || to[0] == '\0') return 1;

  StrBuf pattern;
  if (!pattern.append(from) || !pattern.append("\\*.*")) return 1;
  WIN32_FIND_DATAA found;
  HANDLE search = platform.FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 1;

  int result = 1;
  StrBuf source, destination;
  do {
    // Skips ".", ".." and subfolders; hidden, system and read-only files move.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;

    DWORD error;
    if (joinPath(source, from, found.cFileName) &&
        joinPath(destination, to, found.cFileName)) {
      if (platform.MoveFileA(source.c_str(), destination.c_str())) {
        // Result ignored: the file has arrived either way.
        platform.SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        continue;
      }
      error = platform.GetLastError();
      if (error == ERROR_ALREADY_EXISTS) {
        // The destination's copy wins; result ignored, as a file that will
        // not go simply stays behind.
        platform.DeleteFileA(source.c_str());
        continue;
      }
    } else {
      error = ERROR_NOT_ENOUGH_MEMORY;
    }

    char message[40];
    copyText(message, sizeof message, "Can't copy - error #");
    appendDecimal(message, sizeof message, error);
    if (host.messageBox(message, found.cFileName, kCopyErrorStyle) == IDCANCEL) {
      result = 0;
      break;
    }
  } while (platform.FindNextFileA(search, &found));

  platform.FindClose(search);
  return result;
}

// Takes c:\config.sys and c:\autoexec.bat out of the boot sequence by
// renaming them, and back. The parked files are their own record.
#include "engine/Engine.h"

namespace {

const char kConfigSys[] = "c:\\config.sys";
const char kConfigHld[] = "c:\\config.hld";
const char kAutoexecBat[] = "c:\\autoexec.bat";
const char kAutoexecHld[] = "c:\\autoexec.hld";
const UINT kOverwriteStyle = MB_YESNO | MB_ICONQUESTION;

// A rename that answers success and leaves the file at its old name would
// have Remove report a boot file parked that still runs, or Restore one
// back that is not: the old name must be gone.
bool renamed(Engine& engine, const char* from, const char* to) {
  return engine.platform.MoveFileA(from, to) && !engine.pathExists(from);
}

}  // namespace

// Whether a boot file is there; false also when it cannot be told (and then
// *unsure is set), so that no boot file is passed over in silence.
bool Engine::fileFound(const char* path, int* unsure) {
  if (pathExists(path)) return true;
  DWORD error = platform.GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) *unsure = 1;
  return false;
}

void Engine::parkBootFiles() {
  struct BootFile {
    int remove;
    const char* path;
    const char* parked;
    const char* failure;
  };
  const BootFile files[] = {
      {removeConfigSys, kConfigSys, kConfigHld, "Unable to rename config.sys to config.hld."},
      {removeAutoexecBat, kAutoexecBat, kAutoexecHld,
       "Unable to rename autoexec.bat to autoexec.hld."},
  };
  for (const BootFile& file : files) {
    // An older parked copy makes room only for a boot file that is really
    // parked now: without one, that copy may be the user's only one.
    if (!file.remove) continue;
    int unsure = 0;
    if (!fileFound(file.path, &unsure)) {
      if (unsure) host.reportError(file.failure, programCaption);
      continue;
    }
    platform.DeleteFileA(file.parked);
    if (!renamed(*this, file.path, file.parked)) host.reportError(file.failure, programCaption);
  }
}

int Engine::unparkBootFiles() {
  int failed = 0;
  if (fileFound(kConfigHld, &failed)) {
    bool replace = true;
    if (pathExists(kConfigSys)) {
      replace = host.messageBox("Config.sys exists, overwrite it?", programCaption,
                                kOverwriteStyle) == IDYES;
      if (replace) platform.DeleteFileA(kConfigSys);
    }
    if (replace && renamed(*this, kConfigHld, kConfigSys)) {
      addLine("", plainColour);
      addLine("", plainColour);
      addLine("Config.hld renamed to config.sys", plainColour);
    } else if (replace) {
      failed = 1;
    }
  }
  if (failed) host.reportError("Unable to rename config.hld to config.sys.", programCaption);
  int configFailed = failed;

  failed = 0;
  if (fileFound(kAutoexecHld, &failed)) {
    if (pathExists(kAutoexecBat)) {
      if (host.messageBox("Autoexec.bat exists, overwrite it?", programCaption, kOverwriteStyle) !=
          IDYES)
        return configFailed ? 0 : 1;
      platform.DeleteFileA(kAutoexecBat);
    }
    if (renamed(*this, kAutoexecHld, kAutoexecBat))
      addLine("Autoexec.hld renamed to autoexec.bat", plainColour);
    else
      failed = 1;
  }
  if (failed) host.reportError("Unable to rename autoexec.hld to autoexec.bat.", programCaption);
  return configFailed || failed ? 0 : 1;
}

// Restarts Windows so that a changed startup takes effect at once.
#include "engine/Engine.h"

void Engine::restartWindows() {
  if (systemKind == WINDOWS_2000 || systemKind == WINDOWS_XP) {
    HANDLE token;
    if (!platform.OpenProcessToken(platform.GetCurrentProcess(),
                                   TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
      return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Result ignored: a failed look-up shows up below as a privilege that
    // could not be enabled.
    platform.LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    // AdjustTokenPrivileges succeeds even when the user lacks the privilege;
    // only the last error tells (ERROR_NOT_ALL_ASSIGNED).
    platform.SetLastError(ERROR_SUCCESS);
    platform.AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
    DWORD error = platform.GetLastError();
    platform.CloseHandle(token);
    if (error != ERROR_SUCCESS) return;
  }
  // Windows 9x has no shutdown privilege to enable. The result is ignored:
  // a refused restart leaves the program open, which is all the user sees.
  platform.ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}

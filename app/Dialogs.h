// The two dialogs that frame Remove and Restore. Both are templates among
// the program's resources, owned by the main window and centred over it.
#pragma once

#include <windows.h>

// Where the Remove dialog stores its check boxes when the user presses OK.
struct RemoveOptions {
  int* removeConfigSys;
  int* removeAutoexecBat;
};

// Opened with a RemoveOptions as parameter. Ends with 1 for OK (the two
// flags then set from the boxes), 0 for Cancel (the flags untouched).
INT_PTR CALLBACK RemoveDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// Opened with 1 after a Remove, 0 after a Restore. Ends with 1 for
// "&Restart", 0 for "Exit".
INT_PTR CALLBACK SuccessDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The parameter the Success dialog was last opened with.
extern int successMode;

const char removedMessage[] = "Startup programs were removed.";
const char restoredMessage[] = "Startup programs were restored.";

// Prepares and runs the system's save-file dialog.
#pragma once

#include <windows.h>

#include <commdlg.h>

class FileNameDialog {
 public:
  // filter: pairs of description and pattern, each zero-terminated, the
  // list ending with an empty entry. defaultExtension with its dot: ".txt".
  FileNameDialog(const char* filter, int filterIndex, const char* defaultExtension);

  // True when the user chose a file: fileName then holds its path, with
  // whatever extension was typed replaced by the default one. False when the
  // user cancelled, the dialog failed, or the forced name would not fit.
  bool Run(HWND owner, char* fileName, int size);

 private:
  const char* filter;
  int filterIndex;
  const char* extension;  // without the dot
};

// The record as Windows 95, 98 and NT 4 know it (76 bytes in the 32-bit
// program); the fields Windows 2000 added are left out so that the same
// program shows the dialog everywhere.
const DWORD classicOpenFileNameSize = OPENFILENAME_SIZE_VERSION_400A;
// Overwrite prompt, no read-only box, an existing folder, no read-only file.
const DWORD saveDialogFlags =
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;

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
  // user cancelled, the dialog failed, the forced name would not fit, or the
  // user would not have an existing file of that name replaced.
  bool Run(HWND owner, char* fileName, int size);

  // What follows the dialog, given the name it returned: the extension is
  // forced, and when that names another file than the one the dialog asked
  // about and that file exists, askReplace asks the user. True when
  // fileName may be written.
  bool AcceptChosenName(HWND owner, char* fileName, int size);

  // Asks whether the existing file at path may be replaced; IDYES when it
  // may. AskReplaceFile unless a test puts its own here.
  int (*askReplace)(HWND owner, const char* path);

 private:
  const char* filter;
  int filterIndex;
  const char* extension;  // without the dot
};

// The system's open-file dialog for a file that exists; true with its path.
bool ChooseFileToOpen(HWND owner, const char* filter, char* fileName, int size);

// The standard question, in the save dialog's own words, in a message box
// owned by owner: Yes replaces, No (the default button) keeps the file.
int AskReplaceFile(HWND owner, const char* path);

// The record as Windows 95, 98 and NT 4 know it (76 bytes in the 32-bit
// program); the fields Windows 2000 added are left out so that the same
// program shows the dialog everywhere.
const DWORD classicOpenFileNameSize = OPENFILENAME_SIZE_VERSION_400A;
// Overwrite prompt, no read-only box, an existing folder, no read-only file.
const DWORD saveDialogFlags =
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;

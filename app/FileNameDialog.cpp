#include "app/FileNameDialog.h"

#include <commdlg.h>

#include "framework/WindowBase.h"
#include "util/Paths.h"

FileNameDialog::FileNameDialog(const char* filterText, int index, const char* defaultExtension)
    : filter(filterText), filterIndex(index), extension(defaultExtension) {
  if (extension && *extension == '.') ++extension;
}

bool FileNameDialog::Run(HWND owner, char* fileName, int size) {
  OPENFILENAMEA dialog;
  ZeroMemory(&dialog, sizeof dialog);
  dialog.lStructSize = classicOpenFileNameSize;
  dialog.hwndOwner = owner;
  dialog.hInstance = appInstance;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = filterIndex;
  dialog.lpstrFile = fileName;
  dialog.nMaxFile = size;
  dialog.lpstrTitle = "";
  dialog.Flags = saveDialogFlags;
  dialog.lpstrDefExt = extension;
  // COMDLG32 is loaded on first use: the program starts faster without it.
  typedef BOOL(WINAPI * GetSaveFileNameProc)(OPENFILENAMEA*);
  static GetSaveFileNameProc getSaveFileName = nullptr;
  if (!getSaveFileName) {
    HMODULE dialogs = LoadLibraryA("comdlg32.dll");
    if (dialogs)
      getSaveFileName = reinterpret_cast<GetSaveFileNameProc>(
          reinterpret_cast<void*>(GetProcAddress(dialogs, "GetSaveFileNameA")));
  }
  if (!getSaveFileName || !getSaveFileName(&dialog)) return false;

  stripExtension(fileName);
  return appendText(fileName, size, ".") && appendText(fileName, size, extension);
}

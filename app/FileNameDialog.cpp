#include "app/FileNameDialog.h"

#include <commdlg.h>

#include "framework/WindowBase.h"
#include "platform/DllFunction.h"
#include "util/Paths.h"

namespace {
const char replaceQuestion[] = " already exists.\r\nDo you want to replace it?";
const char replaceCaption[] = "Save As";
}  // namespace

int AskReplaceFile(HWND owner, const char* path) {
  char question[MAX_PATH + sizeof replaceQuestion];
  copyText(question, sizeof question, path);
  appendText(question, sizeof question, replaceQuestion);
  return MessageBoxA(owner, question, replaceCaption,
                     MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
}

FileNameDialog::FileNameDialog(const char* filterText, int index, const char* defaultExtension)
    : askReplace(AskReplaceFile), filter(filterText), filterIndex(index),
      extension(defaultExtension) {
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
  static DllFunction<GetSaveFileNameProc> getSaveFileName;
  GetSaveFileNameProc ask = getSaveFileName.get("comdlg32.dll", "GetSaveFileNameA");
  if (!ask || !ask(&dialog)) return false;
  return AcceptChosenName(owner, fileName, size);
}

bool ChooseFileToOpen(HWND owner, const char* filter, char* fileName, int size) {
  OPENFILENAMEA dialog;
  ZeroMemory(&dialog, sizeof dialog);
  dialog.lStructSize = classicOpenFileNameSize;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName;
  dialog.nMaxFile = size;
  dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  typedef BOOL(WINAPI * GetOpenFileNameProc)(OPENFILENAMEA*);
  static DllFunction<GetOpenFileNameProc> getOpenFileName;
  GetOpenFileNameProc ask = getOpenFileName.get("comdlg32.dll", "GetOpenFileNameA");
  return ask && ask(&dialog);
}

bool FileNameDialog::AcceptChosenName(HWND owner, char* fileName, int size) {
  // The dialog asked about the name it returned. A name too long to keep
  // here counts as another name: one question too many, never one too few.
  char asked[MAX_PATH];
  if (!copyText(asked, sizeof asked, fileName)) asked[0] = '\0';
  stripExtension(fileName);
  if (!appendText(fileName, size, ".") || !appendText(fileName, size, extension)) return false;
  if (lstrcmpiA(asked, fileName) == 0) return true;
  if (GetFileAttributesA(fileName) == INVALID_FILE_ATTRIBUTES) return true;
  return askReplace(owner, fileName) == IDYES;
}

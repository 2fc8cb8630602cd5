#include "app/Dialogs.h"

#include "framework/CentreWindow.h"
#include "resources/resource.h"

int successMode = 0;

namespace {

int Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

void PaintSuccessMessage(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  RECT band;
  GetClientRect(dialog, &band);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  // The message sits in a band twice as high as the buttons, above them.
  RECT button;
  GetWindowRect(GetDlgItem(dialog, IDCANCEL), &button);
  band.bottom = 2 * (button.bottom - button.top);
  DrawTextA(dc, successMode ? removedMessage : restoredMessage, -1, &band,
            DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK RemoveDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      CentreWindow(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        const RemoveOptions* options =
            reinterpret_cast<const RemoveOptions*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (options) {
          *options->removeConfigSys = Checked(dialog, IDC_REMOVE_CONFIG_SYS);
          *options->removeAutoexecBat = Checked(dialog, IDC_REMOVE_AUTOEXEC_BAT);
        }
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK SuccessDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      successMode = static_cast<int>(lParam);
      CentreWindow(dialog);
      return TRUE;
    case WM_PAINT:
      PaintSuccessMessage(dialog);
      return FALSE;
    case WM_COMMAND:
      // Esc and the close box arrive as IDCANCEL, the "Exit" button's id.
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_RESTART) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

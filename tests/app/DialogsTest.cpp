// The Remove and Success dialogs, opened for real from the program's own
// templates and answered the way a user would.
#include <windows.h>

#include <functional>
#include <string>

#include "app/Dialogs.h"
#include "framework/WindowBase.h"
#include "gtest/gtest.h"
#include "resources/resource.h"

namespace {

// What the user does once the dialog shows; called inside its modal loop.
std::function<void(HWND)> userAction;
const char* dialogTitle;

VOID CALLBACK ActWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA("#32770", dialogTitle);
  if (!dialog || !IsWindowVisible(dialog)) return;
  KillTimer(0, timer);
  userAction(dialog);
}

INT_PTR Open(int templateId, const char* title, DLGPROC procedure, LPARAM parameter,
             std::function<void(HWND)> action) {
  appInstance = GetModuleHandleA(0);
  userAction = action;
  dialogTitle = title;
  SetTimer(0, 0, 20, ActWhenShown);
  return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(templateId), 0, procedure, parameter);
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void Escape(HWND dialog) {
  PostMessageA(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}
void CloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST(SuccessDialog, EndsWithRestartOnlyForTheRestartButton) {
  struct Case {
    const char* name;
    std::function<void(HWND)> action;
    INT_PTR result;
  } const cases[] = {
      {"&Restart", [](HWND d) { Click(d, IDC_RESTART); }, 1},
      {"Exit", [](HWND d) { Click(d, IDCANCEL); }, 0},
      {"Esc", Escape, 0},
      {"close box", CloseBox, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.result, Open(IDD_SUCCESS, "Success", SuccessDialogProc, 1, c.action));
  }
}

TEST(SuccessDialog, RemembersWhatItWasOpenedFor) {
  const LPARAM modes[] = {1, 0, 1};
  for (LPARAM mode : modes) {
    int seen = -1;
    Open(IDD_SUCCESS, "Success", SuccessDialogProc, mode, [&seen](HWND d) {
      seen = successMode;
      Click(d, IDCANCEL);
    });
    EXPECT_EQ(mode, seen);
    EXPECT_EQ(mode, successMode) << "kept after the dialog closed";
  }
}

// Pixels of the dialog's client area above its buttons that differ from a
// reference drawing of message, centred in a band twice the buttons' height
// on the button face, in the display's default font.
int PixelsUnlike(HWND dialog, const char* message) {
  UpdateWindow(dialog);
  RECT client, button;
  GetClientRect(dialog, &client);
  GetWindowRect(GetDlgItem(dialog, IDCANCEL), &button);
  POINT buttonTop = {button.left, button.top};
  ScreenToClient(dialog, &buttonTop);
  RECT band = client;
  band.bottom = 2 * (button.bottom - button.top);

  HDC window = GetDC(dialog);
  HDC reference = CreateCompatibleDC(window);
  HBITMAP bitmap = CreateCompatibleBitmap(window, client.right, client.bottom);
  HGDIOBJ previous = SelectObject(reference, bitmap);
  HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  FillRect(reference, &client, face);
  DeleteObject(face);
  SetBkColor(reference, GetSysColor(COLOR_BTNFACE));
  DrawTextA(reference, message, -1, &band, DT_SINGLELINE | DT_VCENTER | DT_CENTER);

  int unlike = 0;
  for (int y = 0; y < buttonTop.y; ++y) {
    for (int x = 0; x < client.right; ++x) {
      if (GetPixel(window, x, y) != GetPixel(reference, x, y)) ++unlike;
    }
  }
  SelectObject(reference, previous);
  DeleteObject(bitmap);
  DeleteDC(reference);
  ReleaseDC(dialog, window);
  return unlike;
}

TEST(SuccessDialog, PaintsWhichOperationSucceededCentredAboveTheButtons) {
  struct Case {
    LPARAM mode;
    const char* message;
    const char* other;
  } const cases[] = {{1, removedMessage, restoredMessage},
                     {0, restoredMessage, removedMessage},
                     {7, removedMessage, restoredMessage}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    int unlikeMessage = -1, unlikeOther = -1;
    Open(IDD_SUCCESS, "Success", SuccessDialogProc, c.mode, [&](HWND d) {
      unlikeMessage = PixelsUnlike(d, c.message);
      unlikeOther = PixelsUnlike(d, c.other);
      Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, unlikeMessage);
    EXPECT_GT(unlikeOther, 0);
  }
}

TEST(SuccessDialog, EnterOnAnOkThatDoesNotExistKeepsItOpen) {
  int stillOpen = 0;
  INT_PTR result = Open(IDD_SUCCESS, "Success", SuccessDialogProc, 0, [&stillOpen](HWND d) {
    SendMessageA(d, WM_COMMAND, IDOK, 0);
    stillOpen = IsWindow(d) && IsWindowVisible(d);
    Click(d, IDC_RESTART);
  });
  EXPECT_EQ(1, stillOpen);
  EXPECT_EQ(1, result);
}

TEST(RemoveDialog, OkStoresBothBoxesAndCancelStoresNothing) {
  struct Case {
    const char* name;
    bool tickConfigSys;
    bool tickAutoexecBat;
    bool ok;
    int configSys;
    int autoexecBat;
  } const cases[] = {
      // Flags start at 7 so that a write of 0 shows.
      {"OK, none ticked", false, false, true, 0, 0},    {"OK, config.sys", true, false, true, 1, 0},
      {"OK, autoexec.bat", false, true, true, 0, 1},    {"OK, both", true, true, true, 1, 1},
      {"Cancel, both ticked", true, true, false, 7, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int configSys = 7, autoexecBat = 7;
    RemoveOptions options = {&configSys, &autoexecBat};
    bool startedUnticked = false;
    INT_PTR result = Open(IDD_REMOVE, "Remove", RemoveDialogProc,
                          reinterpret_cast<LPARAM>(&options), [&](HWND d) {
                            startedUnticked = !IsDlgButtonChecked(d, IDC_REMOVE_CONFIG_SYS) &&
                                              !IsDlgButtonChecked(d, IDC_REMOVE_AUTOEXEC_BAT);
                            if (c.tickConfigSys) Click(d, IDC_REMOVE_CONFIG_SYS);
                            if (c.tickAutoexecBat) Click(d, IDC_REMOVE_AUTOEXEC_BAT);
                            Click(d, c.ok ? IDOK : IDCANCEL);
                          });
    EXPECT_TRUE(startedUnticked);
    EXPECT_EQ(c.ok ? 1 : 0, result);
    EXPECT_EQ(c.configSys, configSys);
    EXPECT_EQ(c.autoexecBat, autoexecBat);
  }
}

TEST(RemoveDialog, EscAndCloseBoxCancel) {
  const std::function<void(HWND)> ways[] = {Escape, CloseBox};
  for (const auto& way : ways) {
    int configSys = 5, autoexecBat = 5;
    RemoveOptions options = {&configSys, &autoexecBat};
    EXPECT_EQ(
        0, Open(IDD_REMOVE, "Remove", RemoveDialogProc, reinterpret_cast<LPARAM>(&options), way));
    EXPECT_EQ(5, configSys);
    EXPECT_EQ(5, autoexecBat);
  }
}

TEST(RemoveDialog, ShowsItsIconAndCentresOverItsOwner) {
  appInstance = GetModuleHandleA(0);
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 80, 600, 400, 0, 0,
                               appInstance, 0);
  ASSERT_TRUE(owner);
  int configSys = 0, autoexecBat = 0;
  RemoveOptions options = {&configSys, &autoexecBat};
  RECT dialogRect = {}, ownerRect = {};
  HICON icon = 0;
  userAction = [&](HWND d) {
    GetWindowRect(d, &dialogRect);
    GetWindowRect(owner, &ownerRect);
    icon = reinterpret_cast<HICON>(SendMessageA(GetDlgItem(d, IDC_REMOVE_ICON), STM_GETICON, 0, 0));
    Click(d, IDCANCEL);
  };
  dialogTitle = "Remove";
  SetTimer(0, 0, 20, ActWhenShown);
  DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_REMOVE), owner, RemoveDialogProc,
                  reinterpret_cast<LPARAM>(&options));
  DestroyWindow(owner);
  EXPECT_TRUE(icon != 0);
  int ownerMiddle = (ownerRect.left + ownerRect.right) / 2;
  int dialogMiddle = (dialogRect.left + dialogRect.right) / 2;
  EXPECT_LE(abs(ownerMiddle - dialogMiddle), 2);
}

}  // namespace

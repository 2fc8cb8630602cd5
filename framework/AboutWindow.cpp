#include "framework/AboutWindow.h"

#include <math.h>

#include "framework/GdiObjects.h"

#include "platform/DllFunction.h"

namespace {
const DWORD plainPopup = WS_POPUP | WS_VISIBLE;
const DWORD linkButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
const COLORREF rimColour = RGB(255, 0, 0);
const int rimWidth = 3;
const COLORREF linkColour = RGB(0, 0, 128);
const char linkFace[] = "MS Sans Serif";
const int linkPoints = 12;
const int iconTop = 18;
// Room in lines for the icon, the gaps and the button, with and without the link.
const int extraLinesWithLink = 10;
const int extraLinesWithoutLink = 8;
}  // namespace

void OpenLinkWithShell(HWND owner, const char* link) {
  // SHELL32 is loaded on the first click: without it in the imports the
  // program starts faster. Nothing is reported when the link cannot be opened.
  typedef HINSTANCE(WINAPI * ShellExecuteProc)(HWND, const char*, const char*, const char*,
                                               const char*, INT);
  static DllFunction<ShellExecuteProc> shellExecute;
  if (ShellExecuteProc open = shellExecute.get("shell32.dll", "ShellExecuteA")) open(owner, "open", link, "", "", SW_SHOWNORMAL);
}

AboutWindow::AboutWindow()
    : linkLaidOut(0), windowWidth(0), windowHeight(0), linkRect(), openLink(OpenLinkWithShell) {}

SIZE AboutWindow::MeasureLink(HDC dc) {
  linkFont.logFont.lfUnderline = 1;
  linkFont.textColour = linkColour;
  linkFont.SetFaceAndSize(dc, linkFace, linkPoints);
  SelectedObject font(dc, linkFont.UseIn(dc));
  return TextExtent(dc, caption, lstrlenA(caption));
}

int AboutWindow::WidthForLink(int height) {
  DisplayFont display;
  if (!display.dc) return 0;
  SIZE size = MeasureLink(display.dc);

  // The link's lower edge is the row farther from the middle; the ellipse
  // there must still hold the link and a margin on either side.
  double halfHeight = height / 2.0;
  double linkBottom = 2 * lineHeight + msgIconSize + (lineCount + 1) * lineHeight + size.cy;
  double offset = (linkBottom - halfHeight) / halfHeight;
  double share = 1.0 - offset * offset;
  if (share <= 0.0) return 0;
  return static_cast<int>((size.cx + 2 * maxCharWidth) / sqrt(share)) + 1;
}

void AboutWindow::CreateMsgWindow() {
  RECT ownerClient = {};
  if (owner) GetClientRect(owner, &ownerClient);
  style = plainPopup;
  int width = textWidth + 4 * maxCharWidth;
  int lines = lineCount + (caption[0] ? extraLinesWithLink : extraLinesWithoutLink);
  int height = lineHeight * lines;
  if (caption[0]) {
    // A link wider than the text lines would be cut off by the round edge.
    int linkWidth = WidthForLink(height);
    if (linkWidth > width) width = linkWidth;
  }
  CreateWindowHandle(msgClassName, owner, 0, "", ownerClient.right / 2, ownerClient.bottom / 2,
                     width, height);
  linkLaidOut = 0;
}

void AboutWindow::CreateButtons() {
  RECT client;
  GetClientRect(hwnd, &client);
  windowWidth = client.right - client.left + 1;
  windowHeight = client.bottom - client.top + 1;
  HRGN region = CreateEllipticRgn(0, 0, windowWidth, windowHeight);
  // On success the system owns the region.
  if (region && !SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
  SetWindowPos(hwnd, 0, 0, 0, windowWidth, windowHeight, SWP_NOMOVE);
  msgButtons[0].Create(hwnd, 0, "&Ok", client.right / 2 - msgButtonWidth / 2,
                       client.bottom - 3 * lineHeight, msgButtonWidth, msgButtonHeight);
  buttonResults[0] = IDOK;
  msgButtonCount = 1;
}

void AboutWindow::OnDestroy() {
  // The link button goes with the window, and its font with it.
  linkFont.ReleaseFont();
}

void AboutWindow::LayOutLink(HDC dc, int y) {
  SIZE size = MeasureLink(dc);

  linkRect.left = (windowWidth - size.cx) / 2;
  linkRect.right = linkRect.left + size.cx;
  linkRect.top = y + lineHeight;
  linkRect.bottom = linkRect.top + size.cy;
  linkButton.style = linkButtonStyle;
  linkButton.Create(hwnd, 0, "", linkRect.left, linkRect.top, size.cx, size.cy);
  linkLaidOut = 1;
}

void AboutWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  {
    OwnedObject face(CreateSolidBrush(backColour));
    OwnedObject rim(CreatePen(PS_SOLID, rimWidth, rimColour));
    SelectedObject brush(dc, face.object), pen(dc, rim.object);
    Ellipse(dc, 1, 1, windowWidth - 2, windowHeight - 2);
  }

  if (icon) DrawIcon(dc, windowWidth / 2 - msgIconSize / 2, iconTop, icon);
  SetTextColor(dc, textColour);
  SetBkColor(dc, backColour);
  int y = DrawLines(dc, 0, windowWidth, 2 * lineHeight + msgIconSize);
  if (caption[0] && !linkLaidOut) LayOutLink(dc, y);
  EndPaint(hwnd, &paint);
}

void AboutWindow::OnDrawItem(WPARAM, LPARAM lParam) {
  if (!linkButton.id) return;
  const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  SelectedObject font(item->hDC, linkFont.UseIn(item->hDC));
  SetBkColor(item->hDC, backColour);
  TextOutA(item->hDC, 0, 0, caption, lstrlenA(caption));
}

void AboutWindow::OnOtherCommand(int, LPARAM lParam) {
  if (!lParam || reinterpret_cast<HWND>(lParam) != linkButton.hwnd) return;
  if (openLink) openLink(GetParent(hwnd), caption);
  // Closes as if "&Ok" had been pressed.
  SendMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(msgButtons[0].id), 0);
}

#include "app/Application.h"

#include "framework/CentreWindow.h"
#include "platform/Platform.h"
#include "resources/resource.h"

// Construction order matters: the message window registers the class that
// the About window then reuses, and the main window keeps references to the
// objects above it.
// Win32Platform holds nothing but its table of functions, which no call
// changes: a const one is laid out with the constant data, and the program
// has no writable data in its file.
__attribute__((section(".rdata"))) const Win32Platform constWindowsPlatform{};
Win32Platform& windowsPlatform = const_cast<Win32Platform&>(constWindowsPlatform);
MsgWindow errorWindow;
AboutWindow aboutWindow;
StatusBar statusBar;
ButtonBar buttonBar;
ListingBox listBox;
MainWindow mainWindow(windowsPlatform, listBox, errorWindow, aboutWindow);

namespace {

struct CommandButton {
  const char* label;
  int width;
  int commandId;
  int startsDisabled;
  const char* helpText;
};

const CommandButton commandButtons[] = {
    {"&Find", 64, IDM_FIND, 0, "Find the startup programs."},
    {"&Remove", 66, IDM_REMOVE, 1, "Remove the startup programs."},
    {"Re&store", 64, IDM_RESTORE, 1, "Restore the startup programs."},
    {"&Locations", 78, IDM_LOCATIONS, 0, "Information on Startlull settings."},
    {"Sa&ve", 64, IDM_SAVE, 1, "Save the startup info to a file."},
    {"&About", 64, IDM_ABOUT, 0, "Information about this program."},
    {"E&xit", 64, IDM_EXIT, 0, "Exit the program."},
};
const int commandButtonCount = sizeof commandButtons / sizeof commandButtons[0];

const int statusPartWidth = 80;

}  // namespace

int StartMainWindow(HINSTANCE instance, int showCommand) {
  appInstance = instance;
  buttonCursor = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDC_BUTTON_CURSOR));
  statusBar.ReserveParts(1);
  statusBar.AddPart(statusPartWidth, 0);
  listBox.style = listingStyle;
  if (!mainWindow.CreateFrame(&listBox, &buttonBar, &statusBar)) return 0;

  buttonBar.Reserve(commandButtonCount);
  int added = 0;
  // Without one of the first six buttons the program is still usable; only
  // a missing Exit stops it.
  for (const CommandButton& button : commandButtons) {
    added = buttonBar.AddButton(button.label, button.width, button.commandId, button.startsDisabled,
                                button.helpText);
  }
  if (!added) return -1;

  mainWindow.engine.computeLocations();
  CentreWindow(mainWindow.hwnd);
  // The usage text goes in before the window shows, so that the first paint
  // has it and the list is not painted a second time.
  mainWindow.showUsageText();
  mainWindow.Show(showCommand);
  mainWindow.LoadAccelerators(MAKEINTRESOURCEA(IDR_ACCEL1));  // none: the buttons still work
  return 1;
}

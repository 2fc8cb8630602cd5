#include <windows.h>

#include "app/Application.h"
#include "app/Script.h"
#include "resources/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand) {
  Switches switches;
  parseSwitches(arguments, leadByte, switches);
  if (switches.action != SWITCHES_WINDOW && switches.action != SWITCHES_FIND)
    return RunSwitches(windowsPlatform, switches);
  int started = StartMainWindow(instance, showCommand);
  if (started != 1) return started;
  if (switches.action == SWITCHES_FIND) PostMessageA(mainWindow.hwnd, WM_COMMAND, IDM_FIND, 0);
  return mainWindow.MessageLoop();
}

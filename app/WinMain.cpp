#include <windows.h>

#include "app/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  int started = StartMainWindow(instance, showCommand);
  if (started != 1) return started;
  return mainWindow.MessageLoop();
}

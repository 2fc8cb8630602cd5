// Startlull run from a batch file (/save, /compare, /?): no window, an exit
// code.
#pragma once

#include "util/pure/Switches.h"

class Platform;

// Whether a byte starts a two-byte character in the code page in use.
bool leadByte(unsigned char byte);
// Runs what the switches ask for and gives the program's exit code: 0 done
// (nothing new or changed, for /compare), 2 something new or changed, 1 a
// failure or a wrong switch.
int RunSwitches(Platform& platform, const Switches& switches);

// The Run-type registry keys' paths. Which keys they are, and their
// headings, is the place table's (engine/Places.h).
#pragma once

#include <windows.h>

#include "util/pure/PlaceTable.h"

class StrBuf;

#define CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"
#define CURRENT_VERSION_PREFIX PLACE_CV

extern const HKEY runKeyRoots[2];

// "Software\Microsoft\Windows\CurrentVersion\" and the key name; false
// when memory runs out.
bool runKeyPath(StrBuf& path, const char* keyName);

// The Run-type registry keys: their paths and listing headings. Which keys
// they are is the place table's (engine/Places.h).
#pragma once

#include <windows.h>

#include "util/pure/PlaceTable.h"

class StrBuf;

#define CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"
#define CURRENT_VERSION_PREFIX PLACE_CV

enum { HEADING_SIZE = 100 };

extern const HKEY runKeyRoots[2];

// "Software\Microsoft\Windows\CurrentVersion\" and the key name; false
// when memory runs out.
bool runKeyPath(StrBuf& path, const char* keyName);

// "[Registry - local_machine, Run]" and the like.
void registryHeading(char* heading, HKEY root, const char* keyName);

// The places of the table (util/pure/PlaceTable.h) as the engine reaches
// them: their registry roots, and what the status bar says of them.
#pragma once

#include <windows.h>

#include "util/pure/PlaceTable.h"

class StrBuf;
class Platform;
struct ListedEntry;

inline HKEY rootKey(PlaceRoot root) {
  return root == IN_LOCAL_MACHINE ? HKEY_LOCAL_MACHINE
                                  : root == IN_CURRENT_USER ? HKEY_CURRENT_USER : NULL;
}

// Userinit: Windows' own value is its default after the system folder.
bool defaultInSystemFolder(const Place& place);
bool placeOnSystem(const Place& place, int systemKind);

// The row of the value list of that root and name (any letter case), or -1.
// A store keeps values of these places only.
int valueListRow(Platform& platform, HKEY root, const char* name);
// The row of a Run-type key Remove takes.
int runKeyRow(HKEY root, int name);

// The file a class id loads: its InprocServer32's default value; empty when
// there is none.
void classFile(Platform& platform, const char* classId, StrBuf& file);
// After an entry's status text: the place in full for the other places'
// entries, and why Startlull leaves those it does not disable where they are.
void appendPlaceStatus(const ListedEntry& entry, StrBuf& text);
// Where a row's entries are, in full: "HKEY_LOCAL_MACHINE\Software\...\Winlogon,
// value Shell", "system.ini, [boot] shell=", "the Tasks folder".
void describeOtherPlace(const Place& place, StrBuf& where);

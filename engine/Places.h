// The places Find looks at beyond win.ini, the Startup folders and the
// eight Run-type keys: one row each, in Find's order. What lists, counts or
// checks them walks this table.
#pragma once

#include <windows.h>

enum PlaceKind {
  PLACE_VALUE_LIST,    // values that are commands, as in the Run keys
  PLACE_SINGLE_VALUE,  // one value Windows needs, with its default
  PLACE_COMPONENTS,    // components, each with the file it loads
  PLACE_TASKS,         // the .job files of the Windows folder's Tasks folder
  PLACE_SERVICES,      // services that start automatically
};

// How a component list names its components.
enum ComponentForm {
  NO_COMPONENTS,
  SUBKEYS_NAMED_BY_CLASS,  // each subkey's name is a class id
  VALUES_NAMED_BY_CLASS,   // each value's name is a class id
  SUBKEYS_WITH_FILE,       // each subkey holds the file in the place's value
  DATA_NAMES_CLASS,        // a value list whose values' data are class ids
};

// Systems a place exists on, by SystemKind bit.
enum { ON_98 = 1 << 1, ON_2000 = 1 << 2, ON_XP = 1 << 3, ON_NT = ON_2000 | ON_XP, ON_ALL = ON_98 | ON_NT };

struct Place {
  PlaceKind kind;
  HKEY root;            // NULL for a file or folder of the Windows folder
  const char* key;      // the key; system.ini: its section
  const char* value;    // single value: its name; SUBKEYS_WITH_FILE: the file's value
  ComponentForm form;
  unsigned systems;
  const char* heading;  // its section's heading in the listing
  const char* windowsDefault;  // single value: Windows' own (userinit: after the system folder)
};

extern const Place otherPlaces[];
enum { OTHER_PLACE_COUNT = 15 };

// Userinit: Windows' own value is its default after the system folder.
bool defaultInSystemFolder(const Place& place);
bool placeOnSystem(const Place& place, int systemKind);

// Whether a root has that value list (an index of valueListKeys): the Run
// keys in both, the others where a row names them. A store keeps values of
// these places only.
bool isValueListPlace(HKEY root, int list);

// The row of a value list beyond the Run keys, or null.
const Place* valueListPlace(HKEY root, int list);

class StrBuf;
class Platform;
struct ListedEntry;
// The file a class id loads: its InprocServer32's default value; empty when
// there is none.
void classFile(Platform& platform, const char* classId, StrBuf& file);
// After an entry's status text: the place in full for the other places'
// entries, and why Startlull leaves those it does not disable where they are.
void appendPlaceStatus(const ListedEntry& entry, StrBuf& text);
// Where a row's entries are, in full: "HKEY_LOCAL_MACHINE\Software\...\Winlogon,
// value Shell", "system.ini, [boot] shell=", "the Tasks folder".
void describeOtherPlace(const Place& place, StrBuf& where);

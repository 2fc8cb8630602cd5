#include "engine/Places.h"

#include <string.h>

#include "engine/Entries.h"
#include "util/StrBuf.h"
#include "util/pure/SettingsRecord.h"

#define CV "Software\\Microsoft\\Windows\\CurrentVersion\\"
#define NT_CV "Software\\Microsoft\\Windows NT\\CurrentVersion\\"

const Place otherPlaces[] = {
    {PLACE_VALUE_LIST, HKEY_LOCAL_MACHINE, CV "RunServicesOnce", NULL, NO_COMPONENTS, ON_98,
     "[Registry - local_machine, RunServicesOnce]", NULL},
    {PLACE_VALUE_LIST, HKEY_CURRENT_USER, CV "RunServicesOnce", NULL, NO_COMPONENTS, ON_98,
     "[Registry - current_user, RunServicesOnce]", NULL},
    {PLACE_VALUE_LIST, HKEY_LOCAL_MACHINE, CV "Policies\\Explorer\\Run", NULL, NO_COMPONENTS, ON_NT,
     "[Registry - local_machine, Policies\\Explorer\\Run]", NULL},
    {PLACE_VALUE_LIST, HKEY_CURRENT_USER, CV "Policies\\Explorer\\Run", NULL, NO_COMPONENTS, ON_NT,
     "[Registry - current_user, Policies\\Explorer\\Run]", NULL},
    {PLACE_VALUE_LIST, HKEY_LOCAL_MACHINE, CV "ShellServiceObjectDelayLoad", NULL, DATA_NAMES_CLASS,
     ON_ALL, "[Registry - local_machine, ShellServiceObjectDelayLoad]", NULL},
    {PLACE_SINGLE_VALUE, NULL, "boot", "shell", NO_COMPONENTS, ON_98, "[System.ini - boot]",
     "Explorer.exe"},
    {PLACE_SINGLE_VALUE, HKEY_LOCAL_MACHINE, NT_CV "Winlogon", "Shell", NO_COMPONENTS, ON_NT,
     "[Registry - local_machine, Winlogon: Shell]", "Explorer.exe"},
    {PLACE_SINGLE_VALUE, HKEY_LOCAL_MACHINE, NT_CV "Winlogon", "Userinit", NO_COMPONENTS, ON_NT,
     "[Registry - local_machine, Winlogon: Userinit]", "userinit.exe,"},
    {PLACE_SINGLE_VALUE, HKEY_LOCAL_MACHINE, NT_CV "Windows", "AppInit_DLLs", NO_COMPONENTS, ON_NT,
     "[Registry - local_machine, Windows: AppInit_DLLs]", ""},
    {PLACE_SINGLE_VALUE, HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
     "BootExecute", NO_COMPONENTS, ON_NT, "[Registry - local_machine, Session Manager: BootExecute]",
     "autocheck autochk *"},
    {PLACE_COMPONENTS, HKEY_LOCAL_MACHINE, CV "Explorer\\Browser Helper Objects", NULL,
     SUBKEYS_NAMED_BY_CLASS, ON_ALL, "[Registry - local_machine, Browser Helper Objects]", NULL},
    {PLACE_COMPONENTS, HKEY_LOCAL_MACHINE, CV "Explorer\\ShellExecuteHooks", NULL,
     VALUES_NAMED_BY_CLASS, ON_ALL, "[Registry - local_machine, ShellExecuteHooks]", NULL},
    {PLACE_COMPONENTS, HKEY_LOCAL_MACHINE, NT_CV "Winlogon\\Notify", "DllName", SUBKEYS_WITH_FILE,
     ON_NT, "[Registry - local_machine, Winlogon\\Notify]", NULL},
    {PLACE_TASKS, NULL, "Tasks", NULL, NO_COMPONENTS, ON_ALL, "[Scheduled tasks]", NULL},
    {PLACE_SERVICES, HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services", NULL, NO_COMPONENTS,
     ON_NT, "[Services]", NULL},
};

const Place* valueListPlace(HKEY root, int list) {
  if (list < RUN_TYPE_KEY_COUNT || list >= VALUE_LIST_KEY_COUNT) return NULL;
  for (const Place& place : otherPlaces)
    if (place.kind == PLACE_VALUE_LIST && place.root == root) {
      // The names are the program's own: spelled alike, byte for byte.
      const char* name = place.key + sizeof CV - 1;
      size_t length = strlen(name);
      if (length == strlen(valueListKeys[list]) && memcmp(name, valueListKeys[list], length) == 0)
        return &place;
    }
  return NULL;
}

bool isValueListPlace(HKEY root, int list) {
  return list < RUN_TYPE_KEY_COUNT || valueListPlace(root, list) != NULL;
}

bool defaultInSystemFolder(const Place& place) {
  // The table's own spelling, so a byte compare is enough.
  return place.value && memcmp(place.value, "Userinit", sizeof "Userinit") == 0;
}

bool placeOnSystem(const Place& place, int systemKind) {
  return (place.systems & (1u << systemKind)) != 0;
}

static_assert(sizeof otherPlaces / sizeof otherPlaces[0] == OTHER_PLACE_COUNT, "one row a place");

void describeOtherPlace(const Place& place, StrBuf& where) {
  if (place.kind == PLACE_TASKS) {
    where.append("the Tasks folder of the Windows folder");
    return;
  }
  if (!place.root) {
    where.append("system.ini, [");
    where.append(place.key);
    where.append("] ");
    where.append(place.value);
    return;
  }
  where.append(place.root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\");
  where.append(place.key);
  if (place.kind == PLACE_SINGLE_VALUE) {
    where.append(", value ");
    where.append(place.value);
  }
}

void appendPlaceStatus(const ListedEntry& entry, StrBuf& text) {
  const Place* place = NULL;
  if (entry.place == ENTRY_OTHER && entry.keyName >= 0 && entry.keyName < OTHER_PLACE_COUNT)
    place = &otherPlaces[entry.keyName];
  else if (entry.place == ENTRY_REGISTRY)
    place = valueListPlace(entry.root, entry.keyName);
  if (!place) return;
  text.append(" - in ");
  describeOtherPlace(*place, text);
  if (place->kind == PLACE_VALUE_LIST) return;
  if (place->kind != PLACE_SINGLE_VALUE) {
    text.append("; shown only, not disabled by Startlull");
    return;
  }
  text.append("; Windows needs this value, so Startlull never blanks it. Windows' own: ");
  if (defaultInSystemFolder(*place)) text.append("the system folder's ");
  text.append(*place->windowsDefault ? place->windowsDefault : "empty");
}

// Every place Find looks at beyond win.ini and the two Startup folders: one
// row each, in Find's order. The Run-type keys that Remove takes away and
// Restore puts back come first. Whatever lists, counts, records or stores
// the places walks this table, so a new place is one more row.
#pragma once

enum PlaceKind {
  PLACE_VALUE_LIST,    // values that are commands, as in the Run keys
  PLACE_SINGLE_VALUE,  // one value Windows needs, with its default
  PLACE_COMPONENTS,    // components, each with the file it loads
  PLACE_TASKS,         // the .job files of the Windows folder's Tasks folder
  PLACE_SERVICES,      // services that start automatically
};

// Where a row lives: a registry root, or the Windows folder.
enum PlaceRoot { IN_WINDOWS_FOLDER, IN_LOCAL_MACHINE, IN_CURRENT_USER };

// How a row's entries are read beyond its values' names and data.
enum ComponentForm {
  PLAIN_VALUES,
  SUBKEYS_NAMED_BY_CLASS,  // each subkey's name is a class id
  VALUES_NAMED_BY_CLASS,   // each value's name is a class id
  SUBKEYS_WITH_FILE,       // each subkey holds the file in the row's value
  DATA_NAMES_CLASS,        // a value list whose values' data are class ids
};

// The Run-type keys by name; Restore puts them back in this order, each
// root in turn. NOT_TAKEN: a row Remove and Restore leave alone.
enum RunKeyName {
  NOT_TAKEN = -1,
  RUN,
  RUN_ONCE,
  RUN_ONCE_EX,
  RUN_SERVICES,
  RUN_KEY_NAME_COUNT
};

// Systems a row exists on, by bit of the engine's system kind (unsupported,
// 98, 2000, XP).
enum {
  ON_98 = 1 << 1,
  ON_2000 = 1 << 2,
  ON_XP = 1 << 3,
  ON_NT = ON_2000 | ON_XP,
  ON_ALL = ON_98 | ON_NT,
  ON_ANY = 1 | ON_ALL,
};

struct Place {
  PlaceKind kind;
  PlaceRoot root;
  const char* key;    // the key; system.ini: its section; tasks: the folder
  const char* value;  // single value: its name; SUBKEYS_WITH_FILE: the file's value
  ComponentForm form;
  unsigned systems;
  RunKeyName taken;            // the Run-type key Remove takes, or NOT_TAKEN
  const char* heading;         // its section's heading in the listing
  const char* windowsDefault;  // single value: Windows' own (Userinit: after the system folder)
};

#define PLACE_CV "Software\\Microsoft\\Windows\\CurrentVersion\\"
#define PLACE_NT_CV "Software\\Microsoft\\Windows NT\\CurrentVersion\\"

// The table, one PLACE_ROW(kind, root, key, value, form, systems, taken,
// heading, Windows' default) a place: expanded once into the table of
// PlaceTable.cpp, and into the counts below.
#define PLACE_TABLE(PLACE_ROW)                                                                    \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "RunServices", nullptr, PLAIN_VALUES,    \
            ON_ANY, RUN_SERVICES, "[Registry - local_machine, RunServices]", nullptr)              \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "Run", nullptr, PLAIN_VALUES, ON_ANY,    \
            RUN, "[Registry - local_machine, Run]", nullptr)                                       \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "RunOnce", nullptr, PLAIN_VALUES,        \
            ON_ANY, RUN_ONCE, "[Registry - local_machine, RunOnce]", nullptr)                      \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "RunOnceEx", nullptr, PLAIN_VALUES,      \
            ON_ANY, RUN_ONCE_EX, "[Registry - local_machine, RunOnceEx]", nullptr)                 \
  PLACE_ROW(PLACE_VALUE_LIST, IN_CURRENT_USER, PLACE_CV "RunServices", nullptr, PLAIN_VALUES,     \
            ON_ANY, RUN_SERVICES, "[Registry - current_user, RunServices]", nullptr)               \
  PLACE_ROW(PLACE_VALUE_LIST, IN_CURRENT_USER, PLACE_CV "Run", nullptr, PLAIN_VALUES, ON_ANY,     \
            RUN, "[Registry - current_user, Run]", nullptr)                                        \
  PLACE_ROW(PLACE_VALUE_LIST, IN_CURRENT_USER, PLACE_CV "RunOnce", nullptr, PLAIN_VALUES, ON_ANY, \
            RUN_ONCE, "[Registry - current_user, RunOnce]", nullptr)                               \
  PLACE_ROW(PLACE_VALUE_LIST, IN_CURRENT_USER, PLACE_CV "RunOnceEx", nullptr, PLAIN_VALUES,       \
            ON_ANY, RUN_ONCE_EX, "[Registry - current_user, RunOnceEx]", nullptr)                  \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "RunServicesOnce", nullptr,              \
            PLAIN_VALUES, ON_98, NOT_TAKEN, "[Registry - local_machine, RunServicesOnce]",         \
            nullptr)                                                                               \
  PLACE_ROW(PLACE_VALUE_LIST, IN_CURRENT_USER, PLACE_CV "RunServicesOnce", nullptr, PLAIN_VALUES, \
            ON_98, NOT_TAKEN, "[Registry - current_user, RunServicesOnce]", nullptr)               \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "Policies\\Explorer\\Run", nullptr,      \
            PLAIN_VALUES, ON_NT, NOT_TAKEN, "[Registry - local_machine, Policies\\Explorer\\Run]", \
            nullptr)                                                                               \
  PLACE_ROW(PLACE_VALUE_LIST, IN_CURRENT_USER, PLACE_CV "Policies\\Explorer\\Run", nullptr,       \
            PLAIN_VALUES, ON_NT, NOT_TAKEN, "[Registry - current_user, Policies\\Explorer\\Run]",  \
            nullptr)                                                                               \
  PLACE_ROW(PLACE_VALUE_LIST, IN_LOCAL_MACHINE, PLACE_CV "ShellServiceObjectDelayLoad", nullptr,  \
            DATA_NAMES_CLASS, ON_ALL, NOT_TAKEN,                                                   \
            "[Registry - local_machine, ShellServiceObjectDelayLoad]", nullptr)                    \
  PLACE_ROW(PLACE_SINGLE_VALUE, IN_WINDOWS_FOLDER, "boot", "shell", PLAIN_VALUES, ON_98,          \
            NOT_TAKEN, "[System.ini - boot]", "Explorer.exe")                                      \
  PLACE_ROW(PLACE_SINGLE_VALUE, IN_LOCAL_MACHINE, PLACE_NT_CV "Winlogon", "Shell", PLAIN_VALUES,  \
            ON_NT, NOT_TAKEN, "[Registry - local_machine, Winlogon: Shell]", "Explorer.exe")       \
  PLACE_ROW(PLACE_SINGLE_VALUE, IN_LOCAL_MACHINE, PLACE_NT_CV "Winlogon", "Userinit",             \
            PLAIN_VALUES, ON_NT, NOT_TAKEN, "[Registry - local_machine, Winlogon: Userinit]",      \
            "userinit.exe,")                                                                       \
  PLACE_ROW(PLACE_SINGLE_VALUE, IN_LOCAL_MACHINE, PLACE_NT_CV "Windows", "AppInit_DLLs",          \
            PLAIN_VALUES, ON_NT, NOT_TAKEN, "[Registry - local_machine, Windows: AppInit_DLLs]",   \
            "")                                                                                    \
  PLACE_ROW(PLACE_SINGLE_VALUE, IN_LOCAL_MACHINE,                                                 \
            "System\\CurrentControlSet\\Control\\Session Manager", "BootExecute", PLAIN_VALUES,    \
            ON_NT, NOT_TAKEN, "[Registry - local_machine, Session Manager: BootExecute]",          \
            "autocheck autochk *")                                                                 \
  PLACE_ROW(PLACE_COMPONENTS, IN_LOCAL_MACHINE, PLACE_CV "Explorer\\Browser Helper Objects",      \
            nullptr, SUBKEYS_NAMED_BY_CLASS, ON_ALL, NOT_TAKEN,                                    \
            "[Registry - local_machine, Browser Helper Objects]", nullptr)                         \
  PLACE_ROW(PLACE_COMPONENTS, IN_LOCAL_MACHINE, PLACE_CV "Explorer\\ShellExecuteHooks", nullptr,  \
            VALUES_NAMED_BY_CLASS, ON_ALL, NOT_TAKEN,                                              \
            "[Registry - local_machine, ShellExecuteHooks]", nullptr)                              \
  PLACE_ROW(PLACE_COMPONENTS, IN_LOCAL_MACHINE, PLACE_NT_CV "Winlogon\\Notify", "DllName",        \
            SUBKEYS_WITH_FILE, ON_NT, NOT_TAKEN, "[Registry - local_machine, Winlogon\\Notify]",   \
            nullptr)                                                                               \
  PLACE_ROW(PLACE_TASKS, IN_WINDOWS_FOLDER, "Tasks", nullptr, PLAIN_VALUES, ON_ALL, NOT_TAKEN,    \
            "[Scheduled tasks]", nullptr)                                                          \
  PLACE_ROW(PLACE_SERVICES, IN_LOCAL_MACHINE, "System\\CurrentControlSet\\Services", nullptr,     \
            PLAIN_VALUES, ON_NT, NOT_TAKEN, "[Services]", nullptr)

#define PLACE_COUNT_ROW(kind, root, key, value, form, systems, taken, heading, windowsDefault) +1
#define PLACE_TAKEN_ROW(kind, root, key, value, form, systems, taken, heading, windowsDefault) \
  +((taken) != NOT_TAKEN)
enum {
  PLACE_COUNT = 0 PLACE_TABLE(PLACE_COUNT_ROW),
  // The rows Remove takes come first (PlaceTable.cpp proves it), so they
  // are also the slots of what Remove counts and deletes per key.
  RUN_KEY_COUNT = 0 PLACE_TABLE(PLACE_TAKEN_ROW),
};
#undef PLACE_COUNT_ROW
#undef PLACE_TAKEN_ROW

extern const Place places[PLACE_COUNT];

// A value list's name below Software\Microsoft\Windows\CurrentVersion, as
// the settings file and the stores name it.
inline const char* listName(const Place& place) { return place.key + sizeof PLACE_CV - 1; }

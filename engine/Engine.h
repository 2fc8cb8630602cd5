// The startup entry engine: its state and its operations. The main window
// owns one Engine; everything it shows or asks goes through the Host, and
// everything it does to the machine goes through the Platform.
#pragma once

#include <windows.h>

#include "engine/Entries.h"
#include "engine/Host.h"
#include "engine/Places.h"
#include "engine/RunKeys.h"
#include "platform/Platform.h"
#include "util/pure/ListingCompare.h"
#include "util/pure/SettingsRecord.h"

class StrBuf;

enum SystemKind { UNSUPPORTED = 0, WINDOWS_98 = 1, WINDOWS_2000 = 2, WINDOWS_XP = 3 };

const COLORREF headingColour = 0xFF0000;
const COLORREF plainColour = 0x000000;
const COLORREF titleColour = 0x0000FF;
const COLORREF listBackgroundColour = 0xE0FFFF;
// A value Windows needs that differs from Windows' own default.
const COLORREF changedDefaultColour = 0x0060C0;

enum { PATH_SIZE = 260, RESCUE_PATH_SIZE = 80, LINE_SIZE = 260 };

// A run of entry lines in Find's listing, all from one place: lines first to
// end - 1. Headings, blank lines and the win.ini lines without a value are
// in none.
struct ListingSection {
  int first;
  int end;
  EntryPlace place;
  bool disabled;
  int row;  // of the place table; -1 for win.ini and the Startup folders
};
// win.ini's two values, two Startup folders, the Run-type keys, the other
// places, the disabled entries.
enum { MOST_SECTIONS = 2 + 2 + PLACE_COUNT + 1 };

// The caption of the engine's messages.
const char programCaption[] = "Startlull";
// The two values of win.ini's [windows] section that start programs.
const char* const winIniKeys[] = {"run", "load"};

class Engine {
 public:
  Engine(Platform& platform, Host& host);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // System probe and storage locations
  void computeLocations();
  void probeSystem();
  void osNameLine(char* line);
  void userNameLine(char* line);
  bool readRegistryString(HKEY key, const char* name, char* buffer, DWORD size,
                          const char* fallback);
  bool pathExists(const char* path);

  // Find
  int addLine(const char* text, COLORREF colour);
  void findStartupEntries();
  // Find's entries against the last Find's, or the report reportToCompare
  // names: what is new or changed by line, and what is gone listed last.
  void markChanges();
  ChangeKind lineChange(int line, TextPiece* earlierData);
  bool isGoneLine(int line);
  // Find, compared with a report the user picks.
  void compareWithReport();
  // The other places' sections, after the Run-type keys.
  void listPlaces();

  // Settings file
  int loadListingFromFile(const char* path);
  int restoreWinIniValues();
  int findRegistrySection(HKEY root, const char* keyName);
  int restoreRegistryKey(HKEY root, const char* keyName);

  // Remove
  int removeStartupEntries();
  int blankWinIniValues();
  int removeRegistryKeys();
  // Takes out of a Run-type key what the saved record holds, still as
  // recorded; adds to stayed whatever the key holds afterwards, and to
  // changed the recorded values found changed.
  int deleteRunKey(HKEY root, const char* parent, const char* keyName, RecordWriter& stayed,
                   RecordWriter& changed);
  void restoreDeletedKeys();

  // Restore
  int restoreStartupEntries();

  // Startup folder transfer. recordedAs ("user" or "common"): the items come
  // back from an inactive folder and get the attributes savedRecord holds.
  int moveFolderContents(const char* from, const char* to, const char* recordedAs = nullptr);

  // Boot files
  void parkBootFiles();
  // 1 when every parked file found is back or kept by the user's answer; 0
  // (after saying so) when one could not be renamed back or looked for.
  int unparkBootFiles();
  bool fileFound(const char* path, int* unsure);

  // Report file
  // True when the report was written (or the user chose none).
  bool saveReport();

  // Locations listing
  void showLocations();
  void shellLine(char* line);

  // Restart
  void restartWindows();

  // Single entries. entryAt: whether a line of the current listing names an
  // entry, and which (only a Find's listing does). disableEntry and
  // enableEntry act on the entry a line names and return 1 when it moved,
  // 0 when it stayed where it was (after saying why, unless the user chose
  // to keep it). The caller finds the listing again afterwards.
  bool entryAt(int line, ListedEntry& entry);
  // Notes lines first to end - 1 as entries of one place; nothing when empty.
  void addSection(int first, int end, EntryPlace place, bool disabled, int row);
  // Whether Disable can take the entry out: the places Windows needs, the
  // components, tasks and services are shown, never taken out.
  bool canDisable(const ListedEntry& entry) const;
  int disableEntry(int line);
  int enableEntry(int line);
  // Disable and Enable wait while a Remove waits to be restored.
  bool entryCommandsAvailable();
  // Find's listing of the store; drops entries that are back in their place.
  void listDisabledEntries();

  Platform& platform;
  Host& host;

  int restoreAvailable;
  int removeAutoexecBat;
  int removeConfigSys;
  int registryWriteFailed;
  // Per Run-type key, by its row of the place table.
  int keyDeleted[RUN_KEY_COUNT];
  int entryCounts[RUN_KEY_COUNT];
  int systemKind;
  HBRUSH listBackgroundBrush;
  char startupDir[PATH_SIZE];
  char inactiveDir[PATH_SIZE];
  char rescueIniPath[RESCUE_PATH_SIZE];
  char settingsPath[PATH_SIZE];
  char commonStartupDir[PATH_SIZE];
  char commonInactiveDir[PATH_SIZE];
  // The store of disabled entries beside each Startup folder; the All Users
  // one is empty when the system has no All Users Startup folder.
  char disabledDir[PATH_SIZE];
  char commonDisabledDir[PATH_SIZE];

  // Where Find's entries are in the listing; 0 sections for any other listing.
  ListingSection listingSections[MOST_SECTIONS];
  int listingSectionCount;

  // The record of the settings file last written by Remove or read by
  // Restore: whole keys and win.ini values, for roll-back and Restore.
  SavedRecord savedRecord;
  // Set while the file at settingsPath is our settings file (Remove wrote
  // it, or Restore read it): no folder move carries it off then. Before a
  // Remove has saved, a file of that name is an item of the user's.
  bool settingsFileInPlace;
  // Items folder moves left where they were after an error the user passed
  // with OK; a caller that needs to know resets it before it moves.
  int itemsLeftBehind;
  // How long a change to a store waits for another process (a second
  // window, another user's) to let go of it, in milliseconds.
  DWORD storeLockWait;

  ListingEntries listedNow, listedBefore;
  GrowArray<int> entryLines;  // the line of each entry of listedNow
  ListingComparison changes;
  bool comparedEntries;
  int goneFirst;  // the first gone line, or -1
  char changesSince[LISTING_TIME_TEXT_SIZE];
  StrBuf reportToCompare;
  // Set for the Find that follows a Disable or Enable: it compares with the
  // user's last Find as that one did, and leaves what it remembered.
  bool keepRemembered;
};

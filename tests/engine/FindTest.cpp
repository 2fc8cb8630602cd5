#include <algorithm>
#include <string>
#include <vector>

#include "engine/ProgramCheck.h"
#include "engine/RunKeys.h"
#include "resources/resource.h"
#include "tests/engine/EngineFixture.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kPrefix = machine::kRunKeyPrefix;

const Lines kEmptyListing = {
    "", "[Win.ini]", "run=", "load=", "", "[Startup folder]", "", "[All Users Startup folder]"};

class FindTest : public EngineTest {
 protected:
  void find() {
    engine.computeLocations();
    engine.findStartupEntries();
  }
  int count(HKEY root, int name) const { return engine.entryCounts[runKeyRow(root, name)]; }
};

TEST_F(FindTest, NothingStartingGivesTheEightFixedLines) {
  find();
  EXPECT_EQ(kEmptyListing, listing());
  const COLORREF colours[] = {plainColour, headingColour, plainColour, plainColour,
                              plainColour, headingColour, plainColour, headingColour};
  ASSERT_LE(8u, host.lines.size());  // the other places may follow
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(colours[i], host.lines[i].colour) << "line " << i;
  for (int count : engine.entryCounts) EXPECT_EQ(0, count);
}

TEST_F(FindTest, WinIniValuesAreShownWithBlanksAroundTheEqualsSign) {
  machine::setProfileValue("run", "a.exe b.exe");
  machine::setProfileValue("load", "");
  find();
  Lines got = listing();
  EXPECT_EQ("run = a.exe b.exe", got[2]);
  EXPECT_EQ("load=", got[3]);
}

TEST_F(FindTest, LongWinIniValueIsListedWhole) {
  std::string value(700, 'v');
  value += "\\tail.exe";
  machine::setProfileValue("load", value.c_str());
  find();
  EXPECT_EQ("load = " + value, listing()[3]);
}

TEST_F(FindTest, RegistrySectionsFollowTheFoldersInKeyOrder) {
  machine::setString(HKEY_CURRENT_USER, kPrefix + "RunOnce", "Once", "c:\\once.exe");
  machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "Run", "Tray", "C:\\PROGRA~1\\TRAY\\TRAY.EXE");
  machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "RunServices", "Svc", "");
  find();
  Lines expected = kEmptyListing;
  for (const char* line : {"", "[Registry - local_machine, RunServices]", "Svc = ", "",
                           "[Registry - local_machine, Run]", "Tray = C:\\PROGRA~1\\TRAY\\TRAY.EXE",
                           "", "[Registry - current_user, RunOnce]", "Once = c:\\once.exe"})
    expected.push_back(line);
  EXPECT_EQ(expected, listing());
  EXPECT_EQ(headingColour, host.lines[9].colour);
  EXPECT_EQ(plainColour, host.lines[10].colour);
  EXPECT_EQ(2, count(HKEY_LOCAL_MACHINE, RUN));
  EXPECT_EQ(2, count(HKEY_LOCAL_MACHINE, RUN_SERVICES));
  EXPECT_EQ(2, count(HKEY_CURRENT_USER, RUN_ONCE));
  EXPECT_EQ(0, count(HKEY_CURRENT_USER, RUN));
}

TEST_F(FindTest, CountsTellWhichKeysExist) {
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "", "default only");
  machine::createKey(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx");
  machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "Run", "a", "1");
  machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "Run", "b", "2");
  machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "Run", "c", "3");
  find();
  EXPECT_EQ(2, count(HKEY_CURRENT_USER, RUN));           // the default value alone
  EXPECT_EQ(1, count(HKEY_LOCAL_MACHINE, RUN_ONCE_EX));  // an empty key
  EXPECT_EQ(4, count(HKEY_LOCAL_MACHINE, RUN));
  EXPECT_EQ(0, count(HKEY_CURRENT_USER, RUN_ONCE_EX));  // missing
  Lines got = listing();
  // Neither the default value nor the empty key gets a section.
  EXPECT_EQ(kEmptyListing.size() + 5, got.size());
  EXPECT_EQ("[Registry - local_machine, Run]", got[9]);
}

TEST_F(FindTest, ValuesOfAnyTypeShowTheirBytesAsText) {
  machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "dword", REG_DWORD,
                    std::string("ABC\0", 4));
  machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "multi", REG_MULTI_SZ,
                    std::string("one\0two\0\0", 9));
  machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "raw", REG_BINARY, "xyz");
  find();
  Lines got = listing();
  ASSERT_EQ(kEmptyListing.size() + 5, got.size());
  EXPECT_EQ("dword = ABC", got[10]);
  EXPECT_EQ("multi = one", got[11]);
  EXPECT_EQ("raw = xyz", got[12]);
}

TEST_F(FindTest, OverlongNamesAndDataAreListedWhole) {
  std::string longName = "N" + std::string(400, 'n');
  std::string longData = "C:\\" + std::string(5000, 'd') + ".exe";
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", longName, "short.exe");
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Big", longData);
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Small", "small.exe");
  find();
  Lines got = listing();
  ASSERT_EQ(kEmptyListing.size() + 5, got.size());
  EXPECT_EQ("Big = " + longData, got[10]);
  EXPECT_EQ(longName + " = short.exe", got[11]);
  EXPECT_EQ("Small = small.exe", got[12]);
  EXPECT_EQ(4, count(HKEY_CURRENT_USER, RUN));
}

TEST_F(FindTest, KeyDeletedWhileListedEndsItsListing) {
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "a", "1");
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "b", "2");
  machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "Run", "c", "3");
  // A handle to a deleted key answers this for every index, never the end.
  platform.fail(Call::RegEnumValueA, "HKCU", ERROR_KEY_DELETED, 1);
  find();
  EXPECT_EQ(2, platform.count(Call::RegEnumValueA, "HKCU"));
  Lines got = listing();
  ASSERT_EQ(kEmptyListing.size() + 6, got.size());
  EXPECT_EQ("c = 3", got[10]);
  EXPECT_EQ("a = 1", got[13]);
  EXPECT_EQ(2, count(HKEY_CURRENT_USER, RUN));  // the key is there, as far as Find saw
}

TEST_F(FindTest, FoldersListTheirFilesButNoSubfolders) {
  machine::writeFile(startup + "\\Notes.lnk", "shortcut");
  machine::writeFile(startup + "\\desktop.ini", "[.ShellClassInfo]",
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  machine::makeDir(startup + "\\Sub");
  machine::writeFile(startup + "\\Sub\\inner.lnk", "x");
  machine::writeFile(commonStartup + "\\Common.lnk", "y");
  find();
  Lines got = listing();
  Lines expected = {"",
                    "[Win.ini]",
                    "run=",
                    "load=",
                    "",
                    "[Startup folder]",
                    "desktop.ini",
                    "Notes.lnk",
                    "",
                    "[All Users Startup folder]",
                    "Common.lnk"};
  EXPECT_EQ(expected, got);
}

// One entry seeded in every other place; each system lists the places it
// has and no others.
TEST_F(FindTest, EachSystemListsTheOtherPlacesItHas) {
  const std::vector<machine::PlaceSeed> expected = machine::seedOtherPlaces();
  ASSERT_EQ(static_cast<size_t>(PLACE_COUNT - RUN_KEY_COUNT), expected.size());
  struct System {
    int kind;
    DWORD platformId, major, minor;
  };
  for (const System& system : {System{WINDOWS_98, VER_PLATFORM_WIN32_WINDOWS, 4, 10},
                               System{WINDOWS_2000, VER_PLATFORM_WIN32_NT, 5, 0},
                               System{WINDOWS_XP, VER_PLATFORM_WIN32_NT, 5, 1}}) {
    platform.setVersion(system.platformId, system.major, system.minor);
    find();
    ASSERT_EQ(system.kind, engine.systemKind);
    Lines got = host.texts();
    for (int row = RUN_KEY_COUNT; row < PLACE_COUNT; ++row) {
      const Place& place = places[row];
      const machine::PlaceSeed& seed = expected[row - RUN_KEY_COUNT];
      SCOPED_TRACE(std::to_string(system.kind) + ": " + seed.heading);
      auto heading = std::find(got.begin(), got.end(), seed.heading);
      bool listed = heading != got.end();
      EXPECT_EQ(placeOnSystem(place, system.kind), listed);
      if (!listed) continue;
      auto line = std::find(heading, got.end(), seed.line);
      ASSERT_NE(got.end(), line);
      // Values that differ from Windows' own are drawn in their own colour.
      EXPECT_EQ(seed.notDefault ? changedDefaultColour : plainColour,
                host.lines[line - got.begin()].colour);
      // Its status names the place, and why a value Windows needs stays.
      ListedEntry entry;
      ASSERT_TRUE(engine.entryAt(static_cast<int>(line - got.begin()), entry));
      StrBuf status;
      appendPlaceStatus(entry, status);
      std::string text = status.c_str();
      EXPECT_EQ(0u, text.find(" - in ")) << text;
      EXPECT_EQ(place.kind == PLACE_SINGLE_VALUE,
                text.find("never blanks it. Windows' own: ") != std::string::npos) << text;
      EXPECT_EQ(engine.canDisable(entry), place.kind == PLACE_VALUE_LIST);
      ProgramInfo info;
      checkProgram(engine, entry, false, info);
      if (place.form == DATA_NAMES_CLASS) EXPECT_STREQ("C:\\helper.dll", info.path.c_str());
    }
  }
  machine::clearOtherPlaces();
}

TEST_F(FindTest, EnablesRemoveAndSaveOnASupportedSystem) {
  find();
  EXPECT_EQ(1, host.IsCommandEnabled(COMMAND_REMOVE));
  EXPECT_EQ(1, host.IsCommandEnabled(COMMAND_SAVE));
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_RESTORE));
}

TEST_F(FindTest, PendingRestoreKeepsRemoveAndSaveDisabled) {
  machine::makeDir(machine::parentOf(startup) + "\\Startup-Inactive");
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "x", "y");
  find();
  machine::removeTree(machine::parentOf(startup) + "\\Startup-Inactive");
  EXPECT_EQ(1, engine.restoreAvailable);
  EXPECT_EQ(1, host.IsCommandEnabled(COMMAND_RESTORE));
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_REMOVE));
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_SAVE));
  EXPECT_EQ("x = y", listing().back());  // everything is still listed
}

TEST_F(FindTest, UnsupportedSystemListsNoFilesAndEnablesNothing) {
  platform.setVersion(VER_PLATFORM_WIN32_NT, 6, 1);
  machine::writeFile(startup + "\\Notes.lnk", "shortcut");
  machine::writeFile("C:\\rootfile.txt", "must not be listed");
  SetCurrentDirectoryA("C:\\");
  find();
  DeleteFileA("C:\\rootfile.txt");
  EXPECT_EQ(UNSUPPORTED, engine.systemKind);
  EXPECT_EQ(kEmptyListing, listing());
  EXPECT_FALSE(platform.called(Call::FindFirstFileA, "*.*"));
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_REMOVE));
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_SAVE));
}

TEST_F(FindTest, UnreadableShellFoldersNeverListTheDriveRoot) {
  platform.fail(Call::RegOpenKeyExA, "Shell Folders", ERROR_ACCESS_DENIED);
  machine::writeFile("C:\\rootfile.txt", "must not be listed");
  SetCurrentDirectoryA("C:\\");
  find();
  DeleteFileA("C:\\rootfile.txt");
  EXPECT_STREQ("", engine.startupDir);
  EXPECT_STREQ("Startup-Inactive", engine.inactiveDir);
  EXPECT_EQ(kEmptyListing, listing());
}

}  // namespace

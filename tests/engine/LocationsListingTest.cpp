#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "resources/resource.h"
#include "tests/support/FaultPlatform.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestMachine.h"

namespace {

const COLORREF H = headingColour;
const COLORREF P = plainColour;
const std::string kIndent = "    ";
const std::string kRunPrefix = "Software\\Microsoft\\Windows\\CurrentVersion\\";

std::string userName() {
  char user[256] = "";
  DWORD size = sizeof user;
  GetUserNameA(user, &size);
  return user;
}

std::string windowsDirectory() {
  char directory[MAX_PATH] = "";
  GetWindowsDirectoryA(directory, sizeof directory);
  return directory;
}

std::string winlogonShell() {
  return machine::stringValue(HKEY_LOCAL_MACHINE,
                              "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell");
}

class LocationsListingTest : public ::testing::Test {
 protected:
  void expectListing(const std::string& system, const std::string& shell) {
    const std::vector<ListingLine> expected = {
        {"", P},
        {"Your Operating system is " + system, P},
        {"Current user:  " + userName(), P},
        {"Windows shell:  " + shell, P},
        {"", P},
        {"Windows ini file:", H},
        {kIndent + windowsDirectory() + "\\win.ini", P},
        {"", P},
        {"Startup folder:", H},
        {kIndent + engine.startupDir, P},
        {"All users Startup Folder:", H},
        {kIndent + engine.commonStartupDir, P},
        {"", P},
        {"Registry run locations:", H},
        {kIndent + "HKEY_LOCAL_MACHINE\\" + kRunPrefix + "RunServices", P},
        {kIndent + "HKEY_LOCAL_MACHINE\\" + kRunPrefix + "Run", P},
        {kIndent + "HKEY_LOCAL_MACHINE\\" + kRunPrefix + "RunOnce", P},
        {kIndent + "HKEY_LOCAL_MACHINE\\" + kRunPrefix + "RunOnceEx", P},
        {kIndent + "HKEY_CURRENT_USER\\" + kRunPrefix + "RunServices", P},
        {kIndent + "HKEY_CURRENT_USER\\" + kRunPrefix + "Run", P},
        {kIndent + "HKEY_CURRENT_USER\\" + kRunPrefix + "RunOnce", P},
        {kIndent + "HKEY_CURRENT_USER\\" + kRunPrefix + "RunOnceEx", P},
        {"", P},
        {"Locations where Startlull stores its settings:", H},
        {"", P},
        {"Inactive folder:", P},
        {kIndent + engine.inactiveDir, P},
        {"All Users Inactive folder", P},
        {kIndent + engine.commonInactiveDir, P},
        {"Ini file with the startup settings:", P},
        {kIndent + engine.settingsPath, P},
        {"Location of data if restore fails:", P},
        {kIndent + engine.rescueIniPath, P},
        {"Folder of disabled entries:", P},
        {kIndent + engine.disabledDir, P},
        {"All Users folder of disabled entries:", P},
        {kIndent + engine.commonDisabledDir, P},
        {"", P},
        {"Other places from which Windows starts programs:", H},
    };
    // Then one line for each other place the system has.
    size_t others = 0;
    for (int row = RUN_KEY_COUNT; row < PLACE_COUNT; ++row)
      others += placeOnSystem(places[row], engine.systemKind);
    ASSERT_EQ(expected.size() + others, host.lines.size());
    if (others > 0) {
      EXPECT_EQ(kIndent + "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services",
                host.lines.back().text);
    }
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(expected[i].text, host.lines[i].text) << "row " << i + 1;
      EXPECT_EQ(expected[i].colour, host.lines[i].colour) << "row " << i + 1;
    }
  }

  Win32Platform real;
  FaultPlatform platform{real};
  RecordingHost host;
  Engine engine{platform, host};
};

TEST_F(LocationsListingTest, ShowsTheSystemsPlacesAndOurs) {
  platform.setVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  engine.computeLocations();
  ASSERT_NE('\0', engine.startupDir[0]);
  host.addListingLine("left from Find", P);
  host.EnableCommand(COMMAND_REMOVE, 1);
  host.EnableCommand(COMMAND_SAVE, 1);
  host.EnableCommand(COMMAND_RESTORE, 1);

  engine.showLocations();
  expectListing("Windows XP.", winlogonShell());
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_REMOVE));
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_SAVE));
  EXPECT_EQ(1, host.IsCommandEnabled(COMMAND_RESTORE));

  engine.showLocations();
  expectListing("Windows XP.", winlogonShell());
}

TEST_F(LocationsListingTest, UnsupportedSystemHasNoFoldersButARescuePath) {
  platform.setVersion(VER_PLATFORM_WIN32_NT, 6, 1);
  engine.computeLocations();
  ASSERT_EQ(UNSUPPORTED, engine.systemKind);

  engine.showLocations();
  expectListing("not supported.", winlogonShell());
  for (size_t row : {10u, 12u, 27u, 29u, 31u}) EXPECT_EQ(kIndent, host.lines[row - 1].text);
  EXPECT_EQ(kIndent + windowsDirectory().substr(0, 2) + "\\Startlull.ini", host.lines[32].text);
}

TEST_F(LocationsListingTest, ShellLineIsItsLabelWithoutTheValue) {
  struct Case {
    const char* name;
    Call call;
    const char* match;
  };
  const Case cases[] = {
      {"no Winlogon key", Call::RegOpenKeyExA, "Winlogon"},
      {"no Shell value", Call::RegQueryValueExA, "Winlogon\\Shell"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.clearFaults();
    platform.fail(c.call, c.match, ERROR_FILE_NOT_FOUND);
    char line[LINE_SIZE];
    memset(line, '#', sizeof line);
    engine.shellLine(line);
    EXPECT_STREQ("Windows shell:  ", line);
  }
  // The key is closed again when the value is missing.
  EXPECT_EQ(platform.count(Call::RegOpenKeyExA, "Winlogon"),
            platform.count(Call::RegCloseKey, "Winlogon") + 1);
}

TEST_F(LocationsListingTest, FullLengthPathsShowWhole) {
  platform.setVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  engine.computeLocations();
  const std::string longPath = "C:\\" + std::string(PATH_SIZE - 4, 'p');
  strcpy(engine.startupDir, longPath.c_str());
  strcpy(engine.settingsPath, longPath.c_str());

  engine.showLocations();
  ASSERT_LE(33u, host.lines.size());  // the other places follow
  EXPECT_EQ(kIndent + longPath, host.lines[9].text);
  EXPECT_EQ(kIndent + longPath, host.lines[30].text);
}

}  // namespace

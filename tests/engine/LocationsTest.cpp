#include <stdlib.h>

#include <string>

#include "resources/resource.h"
#include "tests/engine/EngineFixture.h"

namespace {

struct VersionCase {
  DWORD platformId, major, minor;
  int kind;
};

class LocationsTest : public EngineTest {};

TEST_F(LocationsTest, ProbeSystemKnowsTheThreeSupportedSystems) {
  const VersionCase cases[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, UNSUPPORTED},  // Windows 95
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, WINDOWS_98},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, WINDOWS_98},  // Me counts as 98
      {VER_PLATFORM_WIN32_NT, 4, 0, UNSUPPORTED},
      {VER_PLATFORM_WIN32_NT, 5, 0, WINDOWS_2000},
      {VER_PLATFORM_WIN32_NT, 5, 1, WINDOWS_XP},
      {VER_PLATFORM_WIN32_NT, 5, 2, UNSUPPORTED},
      {VER_PLATFORM_WIN32_NT, 6, 0, UNSUPPORTED},
      {VER_PLATFORM_WIN32s, 4, 10, UNSUPPORTED},
  };
  for (const VersionCase& c : cases) {
    platform.setVersion(c.platformId, c.major, c.minor);
    engine.systemKind = 99;
    engine.probeSystem();
    EXPECT_EQ(c.kind, engine.systemKind)
        << "platform " << c.platformId << " version " << c.major << "." << c.minor;
  }
  platform.fail(Call::GetVersionExA, "", ERROR_INVALID_PARAMETER);
  engine.probeSystem();
  EXPECT_EQ(UNSUPPORTED, engine.systemKind);
}

TEST_F(LocationsTest, ProbeAsksForTheBasicVersionRecord) {
  DWORD size = 0;
  platform.version = [&](OSVERSIONINFOA* info) {
    size = info->dwOSVersionInfoSize;
    return FALSE;
  };
  engine.probeSystem();
  EXPECT_EQ(148u, size);
}

// The test script runs this once per Wine version, naming the kind it expects.
TEST_F(LocationsTest, ProbeSystemOnTheRealVersion) {
  const char* expected = getenv("STARTLULL_EXPECT_KIND");
  if (!expected) GTEST_SKIP() << "STARTLULL_EXPECT_KIND not set";
  Engine realEngine(real, host);
  realEngine.probeSystem();
  EXPECT_EQ(atoi(expected), realEngine.systemKind);
}

TEST_F(LocationsTest, PathsFollowTheStartupFolders) {
  engine.computeLocations();
  std::string inactive = machine::parentOf(startup) + "\\Startup-Inactive";
  EXPECT_EQ(startup, engine.startupDir);
  EXPECT_EQ(inactive, engine.inactiveDir);
  EXPECT_EQ(inactive + "\\Startlull.ini", engine.settingsPath);
  EXPECT_EQ(commonStartup, engine.commonStartupDir);
  EXPECT_EQ(machine::parentOf(commonStartup) + "\\Startup-Inactive", engine.commonInactiveDir);
  EXPECT_STREQ("C:\\Startlull.ini", engine.rescueIniPath);
  EXPECT_EQ(0, engine.restoreAvailable);
  EXPECT_EQ(0, host.IsCommandEnabled(COMMAND_RESTORE));
  EXPECT_TRUE(platform.called(Call::CreateSolidBrush));
}

TEST_F(LocationsTest, StartupValueEndingInABackslashPutsTheInactiveFolderInside) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  machine::setString(HKEY_CURRENT_USER, key, "Startup", "C:\\X\\StartUp\\");
  engine.computeLocations();
  machine::setString(HKEY_CURRENT_USER, key, "Startup", startup);
  EXPECT_STREQ("C:\\X\\StartUp\\Startup-Inactive", engine.inactiveDir);
  EXPECT_STREQ("C:\\X\\StartUp\\Startup-Inactive\\Startlull.ini", engine.settingsPath);
}

TEST_F(LocationsTest, RescuePathIsOnTheWindowsDrive) {
  struct {
    const char* windowsDirectory;
    const char* rescue;
  } cases[] = {
      {"D:\\WINNT", "D:\\Startlull.ini"},
      {"C:\\WINDOWS", "C:\\Startlull.ini"},
      {"E:", "C:\\Startlull.ini"},  // no backslash at all
  };
  for (const auto& c : cases) {
    platform.windowsDirectory = [&](char* buffer, UINT size) {
      lstrcpynA(buffer, c.windowsDirectory, static_cast<int>(size));
      return static_cast<UINT>(lstrlenA(c.windowsDirectory));
    };
    engine.computeLocations();
    EXPECT_STREQ(c.rescue, engine.rescueIniPath) << c.windowsDirectory;
    EXPECT_NE(UNSUPPORTED, engine.systemKind);
  }
}

TEST_F(LocationsTest, WindowsDirectoryTooLongForTheRescueBuffer) {
  std::string longDirectory = "D:\\" + std::string(100, 'w');
  platform.windowsDirectory = [&](char* buffer, UINT size) {
    // Like Windows: a buffer too small gets nothing and the size needed comes back.
    if (longDirectory.size() + 1 > size) return static_cast<UINT>(longDirectory.size() + 1);
    lstrcpyA(buffer, longDirectory.c_str());
    return static_cast<UINT>(longDirectory.size());
  };
  engine.computeLocations();
  EXPECT_STREQ("C:\\Startlull.ini", engine.rescueIniPath);
}

TEST_F(LocationsTest, UnreadableWindowsDirectoryMeansUnsupported) {
  platform.fail(Call::GetWindowsDirectoryA, "", ERROR_ACCESS_DENIED);
  engine.computeLocations();
  EXPECT_EQ(UNSUPPORTED, engine.systemKind);
  EXPECT_EQ(startup, engine.startupDir);  // already set before the failure
}

TEST_F(LocationsTest, AnythingNamedStartupInactiveOffersRestore) {
  std::string inactive = machine::parentOf(startup) + "\\Startup-Inactive";
  machine::writeFile(inactive, "a file, not a folder");
  engine.computeLocations();
  machine::removeTree(inactive);
  EXPECT_EQ(1, engine.restoreAvailable);
  EXPECT_EQ(1, host.IsCommandEnabled(COMMAND_RESTORE));
}

TEST_F(LocationsTest, UnsupportedSystemHasNoFolderPaths) {
  platform.setVersion(VER_PLATFORM_WIN32_NT, 6, 1);
  engine.computeLocations();
  EXPECT_STREQ("", engine.startupDir);
  EXPECT_STREQ("", engine.inactiveDir);
  EXPECT_STREQ("", engine.settingsPath);
  EXPECT_STREQ("", engine.commonStartupDir);
  EXPECT_STREQ("", engine.commonInactiveDir);
  EXPECT_STREQ("C:\\Startlull.ini", engine.rescueIniPath);
  EXPECT_EQ(0, engine.restoreAvailable);
}

TEST_F(LocationsTest, ARelativeInactiveFolderNeverOffersRestore) {
  platform.fail(Call::RegOpenKeyExA, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
                ERROR_ACCESS_DENIED);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  SetCurrentDirectoryA(temp);
  machine::makeDir(std::string(temp) + "Startup-Inactive");
  engine.computeLocations();
  machine::removeTree(std::string(temp) + "Startup-Inactive");
  EXPECT_STREQ("Startup-Inactive", engine.inactiveDir);
  EXPECT_EQ(0, engine.restoreAvailable);
  EXPECT_EQ(commonStartup, engine.commonStartupDir);
}

TEST_F(LocationsTest, InformationLines) {
  char line[LINE_SIZE];
  const struct {
    int kind;
    const char* text;
  } names[] = {{UNSUPPORTED, "Your Operating system is not supported."},
               {WINDOWS_98, "Your Operating system is Windows 98."},
               {WINDOWS_2000, "Your Operating system is Windows 2000."},
               {WINDOWS_XP, "Your Operating system is Windows XP."},
               {7, "Your Operating system is not supported."}};
  for (const auto& name : names) {
    engine.systemKind = name.kind;
    engine.osNameLine(line);
    EXPECT_STREQ(name.text, line);
  }

  char user[256];
  DWORD size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &size));
  engine.userNameLine(line);
  EXPECT_EQ(std::string("Current user:  ") + user, line);
  platform.fail(Call::GetUserNameA, "", ERROR_MORE_DATA);
  engine.userNameLine(line);
  EXPECT_STREQ("Current user:  ", line);
}

TEST_F(LocationsTest, ReadRegistryStringFallsBack) {
  const std::string key = "Software\\StartlullTest";
  machine::setString(HKEY_CURRENT_USER, key, "short", "value");
  machine::setString(HKEY_CURRENT_USER, key, "long", std::string(300, 'x'));
  machine::setValue(HKEY_CURRENT_USER, key, "unterminated", REG_BINARY, "abcd");
  HKEY handle;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle));
  char buffer[260];
  EXPECT_TRUE(engine.readRegistryString(handle, "short", buffer, 260, ""));
  EXPECT_STREQ("value", buffer);
  EXPECT_FALSE(engine.readRegistryString(handle, "long", buffer, 260, "fallback"));
  EXPECT_STREQ("fallback", buffer);
  EXPECT_FALSE(engine.readRegistryString(handle, "missing", buffer, 260, ""));
  EXPECT_STREQ("", buffer);
  memset(buffer, '#', sizeof buffer);
  EXPECT_TRUE(engine.readRegistryString(handle, "unterminated", buffer, 260, ""));
  EXPECT_STREQ("abcd", buffer);
  RegCloseKey(handle);
  machine::deleteKey(HKEY_CURRENT_USER, key);
}

}  // namespace

// win.ini's [windows] values on both paths: the registry mapping that
// Windows 2000 and XP use, and the file itself as on Windows 98.
#include <string>

#include "tests/engine/EngineFixture.h"

namespace {

// The mapping of win.ini's [windows] section.
const char kMappingKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\win.ini\\windows";
const char kMappedValues[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

std::string windowsDirectory() {
  char buffer[MAX_PATH];
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

using Lines = std::vector<std::string>;

class WinIniTest : public EngineTest {};

TEST_F(WinIniTest, MappedValuesLiveInTheRegistry) {
  ASSERT_TRUE(machine::keyExists(HKEY_LOCAL_MACHINE, kMappingKey));
  machine::setString(HKEY_CURRENT_USER, kMappedValues, "run", "mapped.exe");
  engine.computeLocations();
  engine.findStartupEntries();
  EXPECT_EQ("run = mapped.exe", listing()[2]);
  machine::setProfileValue("run", nullptr);
}

TEST_F(WinIniTest, WithoutTheMappingTheFileIsUsed) {
  // Keep the mapping's values to put them back afterwards.
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMappingKey, 0, KEY_READ, &key));
  std::vector<std::pair<std::string, std::string>> values;
  char name[256];
  char data[1024];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data;
    if (RegEnumValueA(key, i, name, &nameSize, NULL, NULL, reinterpret_cast<BYTE*>(data),
                      &dataSize) != ERROR_SUCCESS)
      break;
    values.emplace_back(name, data);
  }
  RegCloseKey(key);
  machine::deleteKey(HKEY_LOCAL_MACHINE, kMappingKey);

  const std::string iniPath = windowsDirectory() + "\\win.ini";
  std::string before = machine::readFile(iniPath);
  machine::writeFile(iniPath, "[windows]\r\nrun=from the file.exe\r\nload=\r\n");
  engine.computeLocations();
  engine.findStartupEntries();
  Lines got = listing();
  WriteProfileStringA("windows", "load", "written.exe");
  std::string after = machine::readFile(iniPath);

  machine::writeFile(iniPath, before);
  for (const auto& value : values)
    machine::setString(HKEY_LOCAL_MACHINE, kMappingKey, value.first, value.second);

  EXPECT_EQ("run = from the file.exe", got[2]);
  EXPECT_EQ("load=", got[3]);
  EXPECT_NE(std::string::npos, after.find("load=written.exe"));
}

}  // namespace

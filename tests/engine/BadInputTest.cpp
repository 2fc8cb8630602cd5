// Restore from settings files that are not what Remove wrote: empty,
// binary, cut short, with a damaged record, a repeated heading or a heading
// of a key that is none of ours. Each must say so, bring back what can be
// brought back, and write nowhere but the eight Run-type keys and win.ini's
// run and load. And values at the registry's own limits, whole through
// Find, Remove and Restore.
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/engine/RemoveRestoreFixture.h"
#include "util/pure/SettingsRecord.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kWinlogonKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

std::string lines(const std::vector<std::string>& texts) {
  std::string text;
  for (const std::string& line : texts) text += line + "\r\n";
  return text;
}

// Find's listing for a machine with one value in each Run key and a file
// in the Startup folder.
std::string typicalListing() {
  return lines({"", "[Win.ini]", "run = saved.exe", "load=", "", "[Startup folder]", "Notes.lnk",
                "", "[All Users Startup folder]", "", "[Registry - local_machine, Run]",
                "Tray = C:\\tray.exe", "", "[Registry - current_user, Run]",
                "Mine = C:\\mine.exe"});
}

std::string typicalRecord() {
  RecordWriter record;
  record.iniValue("run", "saved.exe", 9);
  record.iniValue("load", "", 0);
  record.key("HKLM", "Run");
  record.value(REG_SZ, "Tray", 4, "C:\\tray.exe", 12);
  record.key("HKCU", "Run");
  record.value(REG_SZ, "Mine", 4, "C:\\mine.exe", 12);
  record.finish();
  return std::string(record.text().c_str(), record.text().length());
}

// Both Run keys' values, then one more key with one string value.
std::string recordWithExtraKey(const char* root, const char* key, const char* name,
                               const char* data) {
  RecordWriter record;
  record.key("HKLM", "Run");
  record.value(REG_SZ, "Tray", 4, "C:\\tray.exe", 12);
  record.key("HKCU", "Run");
  record.value(REG_SZ, "Mine", 4, "C:\\mine.exe", 12);
  record.key(root, key);
  record.value(REG_SZ, name, strlen(name), data, strlen(data) + 1);
  record.finish();
  return std::string(record.text().c_str(), record.text().length());
}

std::string typicalSettings() { return typicalListing() + typicalRecord(); }

// The typical record with one of its lines replaced.
std::string recordWith(const std::string& from, const std::string& to) {
  std::string text = typicalSettings();
  size_t at = text.find(from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no '" << from << "' in the record";
    return text;
  }
  return text.replace(at, from.size(), to);
}

std::string binaryBytes() {
  std::string bytes;
  unsigned state = 12345;
  for (int i = 0; i < 8192; ++i) {
    state = state * 1103515245 + 12345;
    bytes += static_cast<char>(state >> 16);
  }
  return bytes;
}

enum Outcome { RESTORED, RESCUED };

struct BadInputCase {
  const char* name;
  std::string content;
  const char* message;  // part of an error report that must appear ("" for none)
  Outcome settings;     // where the settings file ends up
  bool runKeysBack;     // HKLM Run Tray and HKCU Run Mine are written back
};

std::vector<BadInputCase> badInputCases() {
  const std::string whole = typicalSettings();
  const size_t recordAt = typicalListing().size();
  return {
      // Not ours to delete: kept as the rescue copy.
      {"empty", "", "Unable to retrieve old settings", RESCUED, false},
      {"binary", binaryBytes(), "Unable to retrieve old settings", RESCUED, false},
      {"record cut in the middle", whole.substr(0, recordAt + (whole.size() - recordAt) / 2),
       "damaged", RESCUED, false},
      {"record with odd hex", recordWith("5472617", "547261"), "damaged", RESCUED, false},
      {"record with a bad hex digit", recordWith("5472617", "54726G7"), "damaged", RESCUED, false},
      {"record with a wrong line count", recordWith("end 6 ", "end 9 "), "damaged", RESCUED, false},
      {"listing with a heading repeated",
       typicalListing() + lines({"", "[Registry - local_machine, Run]", "Other = C:\\other.exe"}),
       "", RESTORED, true},
      {"record with a key repeated",
       typicalListing() + recordWithExtraKey("HKLM", "Run", "Other", "C:\\other.exe"), "", RESTORED,
       true},
      {"listing with a heading of another key",
       typicalListing() +
           lines({"", "[Registry - local_machine, Winlogon]", "Shell = evil.exe",
                  "[Registry - local_machine, Run\\..\\..\\Policies]", "Evil = evil.exe"}),
       "", RESTORED, true},
      // Our record never names another key: one that does is not ours to trust.
      {"record with a key outside the eight",
       typicalListing() + recordWithExtraKey("HKLM", "Winlogon", "Shell", "evil.exe"), "damaged",
       RESCUED, false},
      {"record with a root outside the two",
       typicalListing() + recordWithExtraKey("HKU", "Run", "Evil", "evil.exe"), "damaged", RESCUED,
       false},
  };
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         lstrcmpiA(text.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

// Whether a key path of the platform's log ("HKLM\Software\...\Run\sub",
// or that with "\value name" after it) lies in one of the eight keys.
bool underRunKey(const std::string& path) {
  for (int row = 0; row < RUN_KEY_COUNT; ++row) {
    std::string key = (places[row].root == IN_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") +
                      std::string(places[row].key);
    if (lstrcmpiA(path.c_str(), key.c_str()) == 0 || startsWithNoCase(path, key + "\\"))
      return true;
  }
  return false;
}

class BadInputTest : public RemoveRestoreTest {
 protected:
  void SetUp() override {
    RemoveRestoreTest::SetUp();
    engine.computeLocations();
    ASSERT_TRUE(CreateDirectoryA(engine.inactiveDir, NULL));
    machine::writeFile(inactive() + "\\Notes.lnk", "notes");
    host.enabled[COMMAND_RESTORE] = 1;
  }

  int restoreFrom(const std::string& content) {
    machine::writeFile(settings(), content);
    platform.log.clear();
    return engine.restoreStartupEntries();
  }

  void expectWritesOnlyToOurPlaces(const std::string& where) {
    for (const CallRecord& record : platform.log) {
      switch (record.call) {
        case Call::RegCreateKeyExA:
        case Call::RegSetValueExA:
        case Call::RegDeleteValueA:
        case Call::SHDeleteKeyA:
          EXPECT_TRUE(underRunKey(record.arg))
              << where << ": " << callName(record.call) << " " << record.arg;
          break;
        case Call::WriteProfileStringA:
          EXPECT_TRUE(lstrcmpiA(record.arg.c_str(), "windows\\run") == 0 ||
                      lstrcmpiA(record.arg.c_str(), "windows\\load") == 0)
              << where << ": WriteProfileStringA " << record.arg;
          break;
        default:
          break;
      }
    }
  }
};

TEST_F(BadInputTest, EachBadSettingsFileIsReportedAndRestoresWhatItCan) {
  for (const BadInputCase& bad : badInputCases()) {
    SCOPED_TRACE(bad.name);
    machine::clearRunKeys();
    machine::setProfileValue("run", "");
    machine::emptyDir(startup);
    machine::removeTree(rescue());
    CreateDirectoryA(engine.inactiveDir, NULL);
    machine::writeFile(inactive() + "\\Notes.lnk", "notes");
    host.events.clear();

    restoreFrom(bad.content);

    std::vector<HostEvent> reported = errors();
    if (bad.message[0]) {
      bool said = false;
      for (const HostEvent& event : reported)
        said |= event.text.find(bad.message) != std::string::npos;
      EXPECT_TRUE(said) << "no report containing '" << bad.message << "'";
    } else {
      for (const HostEvent& event : reported)
        ADD_FAILURE() << "unexpected report: " << event.text << " | " << event.caption;
    }
    expectWritesOnlyToOurPlaces(bad.name);
    EXPECT_NE("evil.exe", machine::stringValue(HKEY_LOCAL_MACHINE, kWinlogonKey, "Shell"));

    // The folders come back whatever the file held.
    EXPECT_EQ(std::vector<std::string>{"Notes.lnk"}, machine::listDir(startup));
    EXPECT_FALSE(fileExists(settings()));
    EXPECT_EQ(bad.settings == RESCUED, fileExists(rescue()));
    if (bad.settings == RESCUED) {
      EXPECT_EQ(bad.content, fileContent(rescue()));
    }

    std::string tray = machine::stringValue(HKEY_LOCAL_MACHINE, kRunKey, "Tray");
    std::string mine = machine::stringValue(HKEY_CURRENT_USER, kRunKey, "Mine");
    EXPECT_EQ(bad.runKeysBack ? "C:\\tray.exe" : "", tray);
    EXPECT_EQ(bad.runKeysBack ? "C:\\mine.exe" : "", mine);
    if (bad.runKeysBack) {
      EXPECT_EQ("saved.exe", machine::profileValue("run"));
    }
    // A repeated heading or key is taken at its first place.
    EXPECT_EQ("", machine::stringValue(HKEY_LOCAL_MACHINE, kRunKey, "Other"));
  }
}

}  // namespace

namespace {

class RegistryLimitsTest : public RemoveRestoreTest {};

TEST_F(RegistryLimitsTest, LongestNameAndMegabyteDataAreListedRemovedAndRestoredWhole) {
  const std::string runKey = std::string(machine::kRunKeyPrefix) + "Run";
  const std::string runOnceKey = std::string(machine::kRunKeyPrefix) + "RunOnce";
  std::string longName(16383, 'n');
  longName.front() = 'A';
  longName.back() = 'Z';
  std::string bigText(1 << 20, 'x');
  bigText.back() = 'y';
  std::string bigBinary(1 << 20, '\0');
  for (size_t i = 0; i < bigBinary.size(); ++i) bigBinary[i] = static_cast<char>(i * 7 % 251);
  machine::setValue(HKEY_LOCAL_MACHINE, runKey, longName, REG_SZ, bigText + '\0');
  machine::setValue(HKEY_CURRENT_USER, runOnceKey, "Blob", REG_BINARY, bigBinary);
  MachinePicture before = takePicture();
  ASSERT_EQ(bigText + '\0', before.keys[runKeyRow(HKEY_LOCAL_MACHINE, RUN)][""][longName].data);

  find();
  std::vector<std::string> listed = listing();
  // The binary data reads as text up to its first zero byte, which is its first.
  EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), longName + " = " + bigText));
  EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), "Blob = "));

  ASSERT_EQ(1, engine.removeStartupEntries());
  EXPECT_TRUE(errors().empty());
  EXPECT_FALSE(machine::keyExists(HKEY_LOCAL_MACHINE, runKey));
  EXPECT_FALSE(machine::keyExists(HKEY_CURRENT_USER, runOnceKey));

  std::unique_ptr<Engine> next = nextStart();
  host.enabled[COMMAND_RESTORE] = 1;
  EXPECT_EQ(1, next->restoreStartupEntries());
  EXPECT_TRUE(errors().empty());
  expectSameMachine(before, takePicture());
}

}  // namespace

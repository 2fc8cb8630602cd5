// Generated machines through Find, Disable of some entries, Remove, Restore
// and Enable of the rest: every key, value type, byte, subkey, file and
// win.ini value comes back as it was.
#include <random>

#include "tests/engine/RemoveRestoreFixture.h"

namespace {

const std::string kPrefix = machine::kRunKeyPrefix;
const char kChildVariable[] = "STARTLULL_ROUND_TRIP_CHILD";
const unsigned kSeed = 20260;
const int kMachines = 200;
const int kMachinesRestoredInAChild = 4;

class MachineMaker {
 public:
  explicit MachineMaker(unsigned seed) : random_(seed) {}

  void make(const std::string& startup, const std::string& commonStartup) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      for (int name = RUN; name < RUN_KEY_NAME_COUNT; ++name) {
        if (chance(40)) continue;
        std::string key = kPrefix + machine::runKeyName(name);
        machine::createKey(root, key);
        values(root, key);
        if (name == RUN_ONCE_EX || chance(10)) {
          for (int i = number(0, 2); i >= 0; --i) {
            std::string sub =
                key + "\\" + pick({"0001", "Depend", "a b=c", "[x]"}) + std::to_string(i);
            machine::createKey(root, sub);
            values(root, sub);
            if (chance(50)) values(root, sub + "\\" + "Level two " + std::to_string(i));
          }
        }
      }
    }
    for (const char* key : {"run", "load"})
      machine::setProfileValue(key, chance(30) ? "" : iniText().c_str());
    files(startup);
    files(commonStartup);
  }

 private:
  bool chance(int percent) { return number(1, 100) <= percent; }
  int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::string pick(std::initializer_list<const char*> choices) {
    return *(choices.begin() + number(0, static_cast<int>(choices.size()) - 1));
  }

  // Text with blanks, tabs, line breaks, "=" and "[".
  std::string text(size_t length) {
    static const char extra[] = " \t\r\n=[]";
    std::string out;
    for (size_t i = 0; i < length; ++i)
      out += chance(10) ? extra[number(0, sizeof extra - 2)] : static_cast<char>(number(33, 126));
    return out;
  }
  size_t dataLength() {
    switch (number(0, 4)) {
      case 0:
        return 0;
      case 1:
        return static_cast<size_t>(number(261, 600));
      case 2:
        return static_cast<size_t>(number(4097, 5000));
      default:
        return static_cast<size_t>(number(1, 60));
    }
  }
  std::string valueName() {
    if (chance(15)) return "";  // the default value
    std::string name =
        pick({"", "a=b", "x = y", "[Run", " lead", "trail "}) + std::to_string(number(0, 99999));
    for (int i = number(0, 8); i > 0; --i) name += static_cast<char>(number(32, 126));
    return name;
  }
  void values(HKEY root, const std::string& key) {
    for (int i = number(0, 5); i > 0; --i) {
      std::string name = valueName();
      switch (number(0, 4)) {
        case 0:
          machine::setValue(root, key, name, REG_SZ, text(dataLength()) + '\0');
          break;
        case 1:
          machine::setValue(root, key, name, REG_EXPAND_SZ,
                            "%windir%\\" + text(dataLength()) + '\0');
          break;
        case 2: {
          std::string multi;
          for (int part = number(1, 3); part > 0; --part) multi += text(number(1, 300)) + '\0';
          machine::setValue(root, key, name, REG_MULTI_SZ, multi + '\0');
          break;
        }
        case 3: {
          std::string bytes;
          for (size_t n = dataLength(); n > 0; --n) bytes += static_cast<char>(number(0, 255));
          machine::setValue(root, key, name, REG_BINARY, bytes);
          break;
        }
        default: {
          std::string dword(4, '\0');
          for (char& c : dword) c = static_cast<char>(number(0, 255));
          machine::setValue(root, key, name, REG_DWORD, dword);
        }
      }
    }
  }
  // What win.ini keeps as it is: no blanks or quotes at either end.
  std::string iniText() {
    std::string value = "x" + text(chance(30) ? number(261, 900) : number(0, 40)) + "x";
    for (char& c : value)
      if (c == '\r' || c == '\n' || c == '\t') c = '_';
    return value;
  }
  void files(const std::string& folder) {
    for (int i = number(0, 4); i > 0; --i) {
      std::string name = pick({"App ", "desktop", "[x] = y", "Tool"}) + std::to_string(i) +
                         pick({".lnk", ".ini", ".exe", ""});
      DWORD attributes = 0;
      if (chance(30)) attributes |= FILE_ATTRIBUTE_HIDDEN;
      if (chance(20)) attributes |= FILE_ATTRIBUTE_SYSTEM;
      if (chance(20)) attributes |= FILE_ATTRIBUTE_READONLY;
      machine::writeFile(folder + "\\" + name, text(number(0, 3000)), attributes);
    }
    if (chance(15)) {
      machine::makeDir(folder + "\\Sub folder");
      machine::writeFile(folder + "\\Sub folder\\inside.txt", "stays");
    }
  }

  std::mt19937 random_;
};

class RoundTripTest : public RemoveRestoreTest {
 protected:
  void clearMachine() {
    machine::clearRunKeys();
    machine::removeTree(inactive());
    machine::removeTree(commonInactive());
    if (engine.disabledDir[0]) machine::removeTree(engine.disabledDir);
    if (engine.commonDisabledDir[0]) machine::removeTree(engine.commonDisabledDir);
    machine::emptyDir(startup);
    machine::emptyDir(commonStartup);
  }
};

TEST_F(RoundTripTest, GeneratedMachinesComeBackExactly) {
  engine.computeLocations();
  MachineMaker maker(kSeed);
  int totalDisabled = 0;
  for (int index = 0; index < kMachines; ++index) {
    SCOPED_TRACE("machine " + std::to_string(index));
    clearMachine();
    host.events.clear();
    maker.make(startup, commonStartup);
    MachinePicture before = takePicture();
    // A key with nothing in it is deleted and, having nothing saved, not re-created.
    for (int slot = 0; slot < RUN_KEY_COUNT; ++slot) {
      if (before.keys[slot].size() == 1 && before.keys[slot][""].empty()) {
        before.keyExists[slot] = false;
        before.keys[slot].clear();
      }
    }

    find();
    // Some entries disabled first: Remove and Restore leave them in the store.
    std::mt19937 choose(kSeed + index);
    int disabled = 0;
    for (int line = 0; line < static_cast<int>(host.lines.size()); ++line) {
      ListedEntry entry;
      if (!engine.entryAt(line, entry) || !engine.canDisable(entry) || choose() % 3 != 0)
        continue;
      ASSERT_EQ(1, engine.disableEntry(line)) << host.lines[line].text;
      ++disabled;
    }
    find();
    ASSERT_EQ(1, engine.removeStartupEntries());
    for (int slot = 0; slot < RUN_KEY_COUNT; ++slot)
      EXPECT_EQ(engine.entryCounts[slot] != 0, engine.keyDeleted[slot] != 0);

    std::vector<std::string> events = {"dialog:remove", "dialog:success 1"};
    if (index < kMachinesRestoredInAChild) {
      EXPECT_EQ(0u, runTestInChild("RoundTripChild.RestoreAtTheNextStart", kChildVariable, "1"));
    } else {
      std::unique_ptr<Engine> next = nextStart();
      ASSERT_EQ(1, next->restoreAvailable);
      EXPECT_EQ(1, next->restoreStartupEntries());
      events.push_back("dialog:success 0");
    }
    EXPECT_EQ(events, eventTexts());
    host.events.clear();
    enableAll(engine);
    expectSameMachine(before, takePicture());
    totalDisabled += disabled;
    EXPECT_FALSE(fileExists(inactive()));
    EXPECT_FALSE(fileExists(commonInactive()));
    EXPECT_TRUE(host.events.empty());
    if (HasFailure()) break;
  }
  printf("%d machines, %d entries disabled across Remove and Restore\n", kMachines,
         totalDisabled);
  clearMachine();
}

// Run by the test above in a new process: a Restore at the program's next start.
TEST(RoundTripChild, RestoreAtTheNextStart) {
  if (environmentValue(kChildVariable).empty()) GTEST_SKIP() << "run by RoundTripTest";
  ChildEngine child;
  RecordingHost& host = child.host;
  Engine& engine = child.engine;
  ASSERT_EQ(1, engine.restoreAvailable);
  EXPECT_EQ(1, engine.restoreStartupEntries());
  EXPECT_EQ(1u, host.events.size());  // the Success dialog alone
}

}  // namespace

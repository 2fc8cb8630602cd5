// Single entries disabled and enabled against the real prefix: every kind
// comes back exactly, Remove and Restore leave the store alone, a taken
// place is asked about, a planted or damaged store is refused, a failing or
// lying call leaves the entry where it was or where it was reported sent,
// and a process killed after any change leaves each entry in its place or
// in the store, once.
#include <string.h>

#include "tests/engine/RemoveRestoreFixture.h"

namespace {

const std::string kPrefix = machine::kRunKeyPrefix;
const char kKillVariable[] = "STARTLULL_STORE_KILL";

class DisabledStoreTest : public RemoveRestoreTest {
 protected:
  // Every place and kind: values of each type in each of the eight keys,
  // names with "=", win.ini's two values, items with attributes.
  void seedEveryKind() {
    seedTypical();
    machine::writeFile(commonStartup + "\\Locked.bat", "locked", FILE_ATTRIBUTE_READONLY);
    int slot = 0;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      for (const char* name : {"Run", "RunOnce", "RunOnceEx", "RunServices"}) {
        std::string key = kPrefix + name, n = std::to_string(slot++);
        machine::setValue(root, key, "Expand" + n, REG_EXPAND_SZ,
                          "%windir%\\x" + n + std::string(".exe\0", 5));
        machine::setValue(root, key, "Blank" + n, REG_EXPAND_SZ, std::string());
        machine::setValue(root, key, "a=b " + n, REG_BINARY, std::string("\x01\x00\x02", 3));
      }
    machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "Multi", REG_MULTI_SZ,
                      std::string("one\0two\0\0", 9));
    machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "Empty", REG_EXPAND_SZ, "");
    machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "Word", REG_DWORD,
                      std::string("\x2a\x00\x00\x00", 4));
    // The value lists that are not Run-type keys, in both roots where they exist.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      machine::setString(root, kPrefix + "Policies\\Explorer\\Run", "Policy", "C:\\policy.exe");
    machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "ShellServiceObjectDelayLoad", "Loader",
                      REG_EXPAND_SZ, std::string("{0DEC0DE0-5EED-4C1A-8000-000000000002}\0", 39));
  }

  // The first entry line, enabled or disabled, of the current listing; -1.
  int firstEntry(bool disabled) {
    ListedEntry entry;
    for (int line = 0; line < static_cast<int>(host.lines.size()); ++line)
      if (engine.entryAt(line, entry) && entry.disabled == disabled &&
          (disabled || engine.canDisable(entry)))
        return line;
    return -1;
  }
  int lineOf(const std::string& text) {
    for (size_t line = 0; line < host.lines.size(); ++line)
      if (host.lines[line].text == text) return static_cast<int>(line);
    return -1;
  }
  // Disables (or enables) every entry, one at a time, Find after each.
  int toggleAll(bool disable) {
    int count = 0;
    for (engine.findStartupEntries(); count < 100; engine.findStartupEntries()) {
      int line = firstEntry(!disable);
      if (line < 0) break;
      std::string text = host.lines[line].text;
      EXPECT_EQ(1, disable ? engine.disableEntry(line) : engine.enableEntry(line)) << text;
      if (::testing::Test::HasFailure()) break;
      ++count;
    }
    return count;
  }
  // Lines that show the entry, in its place or in the store.
  int occurrences(const std::string& shown) const {
    int found = 0;
    for (const ListingLine& line : host.lines)
      if (line.text.size() >= shown.size() &&
          line.text.compare(line.text.size() - shown.size(), std::string::npos, shown) == 0)
        ++found;
    return found;
  }
  // Whether Find shows the entry in the store.
  bool shownDisabled(const std::string& shown) const {
    for (const ListingLine& line : host.lines)
      if (line.colour == disabledColour && line.text.size() >= shown.size() &&
          line.text.compare(line.text.size() - shown.size(), std::string::npos, shown) == 0)
        return true;
    return false;
  }
  // Disable (or Enable) of one entry of each kind, rerun with each fault
  // faultsOf makes of the clean run's calls. After each, a failure said is
  // said of its entry (sawError gets its text), an entry reported done is
  // where it was sent, every entry is once in its place or in the store,
  // and everything enabled is the machine as seeded.
  void toggleWithEachFault(
      bool disable, const char* kind,
      const std::function<std::vector<SweptFault>(const std::vector<CallRecord>&)>& faultsOf,
      const std::function<void(const std::string&)>& sawError);
  std::string disabledFolder() const { return engine.disabledDir; }
  std::string commonDisabledFolder() const { return engine.commonDisabledDir; }
};

TEST_F(DisabledStoreTest, EveryKindLeavesItsPlaceAndComesBackExactly) {
  seedEveryKind();
  MachinePicture before = takePicture();
  find();
  int disabled = toggleAll(true);
  // 2 win.ini values, 3 + 3 items, 24 + 3 values, 3 of the other value lists.
  EXPECT_EQ(38, disabled);
  const std::vector<std::pair<HKEY, std::string>> others = {
      {HKEY_LOCAL_MACHINE, "Policies\\Explorer\\Run"},
      {HKEY_CURRENT_USER, "Policies\\Explorer\\Run"},
      {HKEY_LOCAL_MACHINE, "ShellServiceObjectDelayLoad"}};
  for (const auto& other : others)
    EXPECT_TRUE(readTree(other.first, kPrefix + other.second)[""].empty()) << other.second;
  EXPECT_EQ("", machine::profileValue("run"));
  EXPECT_EQ("", machine::profileValue("load"));
  EXPECT_TRUE(machine::listDir(startup).empty());
  EXPECT_TRUE(machine::listDir(commonStartup).empty());
  EXPECT_EQ("", machine::stringValue(HKEY_CURRENT_USER, kPrefix + "Run", "Mine"));

  // Find lists the store last: its heading, then each entry after its place.
  int heading = lineOf("[Disabled by Startlull]");
  ASSERT_GT(heading, 0);
  EXPECT_EQ("", host.lines[heading - 1].text);
  EXPECT_EQ(headingColour, host.lines[heading].colour);
  EXPECT_EQ(heading + 1 + disabled, static_cast<int>(host.lines.size()));
  for (const char* shown :
       {"Registry - current_user, Run: Mine = C:\\mine.exe", "Win.ini: run = run.exe /a",
        "Startup folder: Notes.lnk", "All Users Startup folder: Locked.bat",
        "Registry - local_machine, RunServices: Expand3 = %windir%\\x3.exe"}) {
    int line = lineOf(shown);
    EXPECT_GT(line, heading) << shown;
    if (line > heading) {
      EXPECT_EQ(disabledColour, host.lines[line].colour) << shown;
    }
  }

  EXPECT_EQ(disabled, toggleAll(false));
  expectSameMachine(before, takePicture());
  EXPECT_EQ((RegValue{REG_SZ, std::string("C:\\policy.exe\0", 14)}),
            readTree(HKEY_CURRENT_USER, kPrefix + others[1].second)[""]["Policy"]);
  EXPECT_EQ((RegValue{REG_EXPAND_SZ, std::string("{0DEC0DE0-5EED-4C1A-8000-000000000002}\0", 39)}),
            readTree(HKEY_LOCAL_MACHINE, kPrefix + others[2].second)[""]["Loader"]);
  EXPECT_TRUE(host.errors().empty());
  EXPECT_EQ(-1, lineOf("[Disabled by Startlull]"));
  EXPECT_FALSE(fileExists(disabledFolder()));
  EXPECT_FALSE(fileExists(commonDisabledFolder()));
}

TEST_F(DisabledStoreTest, RemoveAndRestoreLeaveDisabledEntriesAlone) {
  seedEveryKind();
  MachinePicture before = takePicture();
  find();
  for (const char* shown : {"Mine = C:\\mine.exe", "Tray = C:\\tray.exe", "run = run.exe /a",
                            "Notes.lnk", "Locked.bat"}) {
    ASSERT_EQ(1, engine.disableEntry(lineOf(shown))) << shown;
    engine.findStartupEntries();
  }
  std::vector<std::string> store = machine::listDir(disabledFolder());
  std::string record = fileContent(disabledFolder() + "\\Startlull.ini");

  ASSERT_EQ(1, engine.removeStartupEntries());
  // While the Remove waits, single entries wait too.
  EXPECT_FALSE(engine.entryCommandsAvailable());
  engine.findStartupEntries();
  EXPECT_EQ(0, engine.enableEntry(lineOf("Startup folder: Notes.lnk")));
  EXPECT_TRUE(fileExists(disabledFolder() + "\\Notes.lnk"));

  std::unique_ptr<Engine> next = nextStart();
  ASSERT_EQ(1, next->restoreStartupEntries());
  EXPECT_EQ(store, machine::listDir(disabledFolder()));
  EXPECT_EQ(record, fileContent(disabledFolder() + "\\Startlull.ini"));
  EXPECT_EQ("", machine::stringValue(HKEY_CURRENT_USER, kPrefix + "Run", "Mine"));
  EXPECT_EQ("", machine::profileValue("run"));

  EXPECT_EQ(5, toggleAll(false));
  expectSameMachine(before, takePicture());
}

TEST_F(DisabledStoreTest, EnablingOverATakenPlaceAsksAndNoKeepsBoth) {
  struct Case {
    const char* name;
    const char* disabledLine;
    std::function<void()> takePlace;
    std::function<std::string()> place;
    const char* taken;
    const char* original;
  };
  const std::vector<Case> cases = {
      {"registry value", "Registry - current_user, Run: Mine = C:\\mine.exe",
       [] { machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Mine", "C:\\other.exe"); },
       [] { return machine::stringValue(HKEY_CURRENT_USER, kPrefix + "Run", "Mine"); },
       "C:\\other.exe", "C:\\mine.exe"},
      {"win.ini value", "Win.ini: run = run.exe /a",
       [] { machine::setProfileValue("run", "other.exe"); },
       [] { return machine::profileValue("run"); }, "other.exe", "run.exe /a"},
      {"item", "Startup folder: Notes.lnk",
       [this] { machine::writeFile(startup + "\\Notes.lnk", "other"); },
       [this] { return machine::readFile(startup + "\\Notes.lnk"); }, "other", "notes"},
  };
  for (const Case& c : cases)
    for (int answer : {IDNO, IDYES}) {
      SCOPED_TRACE(std::string(c.name) + (answer == IDYES ? ", Yes" : ", No"));
      seedTypical();
      find();
      std::string shown = c.disabledLine;
      ASSERT_EQ(1, engine.disableEntry(lineOf(shown.substr(shown.find(": ") + 2))));
      c.takePlace();
      engine.findStartupEntries();
      host.events.clear();
      host.messageBoxAnswers = {answer};
      EXPECT_EQ(answer == IDYES ? 1 : 0, engine.enableEntry(lineOf(c.disabledLine)));
      ASSERT_EQ(1u, host.events.size());
      EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
                host.events[0].type);
      EXPECT_EQ(answer == IDYES ? c.original : c.taken, c.place());
      engine.findStartupEntries();
      EXPECT_EQ(answer == IDNO, lineOf(c.disabledLine) > 0);
      TearDown();
      SetUp();
    }
}

TEST_F(DisabledStoreTest, WithoutAnAllUsersFolderTheUsersStoreKeepsMachineEntries) {
  seedTypical();
  MachinePicture before = takePicture();
  engine.computeLocations();
  // As on a Windows 98 without user profiles.
  engine.commonStartupDir[0] = engine.commonDisabledDir[0] = '\0';
  engine.findStartupEntries();
  ASSERT_EQ(1, engine.disableEntry(lineOf("Tray = C:\\tray.exe")));
  engine.findStartupEntries();
  EXPECT_GT(lineOf("Registry - local_machine, Run: Tray = C:\\tray.exe"), 0);
  EXPECT_TRUE(fileExists(disabledFolder() + "\\Startlull.ini"));
  EXPECT_EQ(1, engine.enableEntry(lineOf("Registry - local_machine, Run: Tray = C:\\tray.exe")));
  expectSameMachine(before, takePicture());
}

// Odd places and failures: each leaves every entry once, in its place or
// in the store, and (but for the string whose terminator the system adds)
// enabling everything afterwards gives the seeded machine back.
TEST_F(DisabledStoreTest, OddPlacesAndFailuresLeaveEachEntryOnce) {
  const std::string tray = "Tray = C:\\tray.exe", mine = "Mine = C:\\mine.exe";
  auto errorHas = [this](const std::string& text) {
    for (const HostEvent& error : host.errors())
      if (error.text.find(text) != std::string::npos) return true;
    return false;
  };
  struct Case {
    const char* name;
    std::function<void()> body;
    bool sameMachine;
  };
  const std::vector<Case> cases = {
      {"a string without its terminating zero",
       [&] {
         // Kept so in the store (as a system that keeps such strings
         // stored it); written back, this one adds the zero.
         RecordWriter writer;
         writer.key("HKCU", "Run");
         writer.value(REG_SZ, "Bare", 4, "abcdefghij", 10);
         writer.finish();
         machine::makeDir(disabledFolder());
         machine::writeFile(disabledFolder() + "\\Startlull.ini", writer.text().c_str());
         engine.findStartupEntries();
         EXPECT_EQ(1, engine.enableEntry(lineOf("Registry - current_user, Run: Bare = abcdefghij")));
         EXPECT_TRUE(host.errors().empty());
         EXPECT_EQ("abcdefghij", machine::stringValue(HKEY_CURRENT_USER, kPrefix + "Run", "Bare"));
         engine.findStartupEntries();
         EXPECT_EQ(1, occurrences("Bare = abcdefghij"));
       },
       false},
      {"a refused machine-wide write",
       [&] {
         // The first open reads the value, the second would take it out.
         platform.fail(Call::RegOpenKeyExA, "HKLM\\" + kPrefix + "Run", ERROR_ACCESS_DENIED, 1, 1);
         EXPECT_EQ(0, engine.disableEntry(lineOf(tray)));
         EXPECT_TRUE(errorHas("(error 5)"));
         EXPECT_FALSE(errorHas("(error 2)"));
       },
       true},
      {"an All Users folder that appears after machine-wide values were stored",
       [&] {
         engine.commonStartupDir[0] = engine.commonDisabledDir[0] = '\0';
         engine.findStartupEntries();
         ASSERT_EQ(1, engine.disableEntry(lineOf(tray)));
         engine.computeLocations();
         engine.findStartupEntries();
         EXPECT_EQ(1, engine.disableEntry(lineOf(mine)));
         engine.findStartupEntries();
         EXPECT_EQ(1, engine.enableEntry(lineOf("Registry - local_machine, Run: " + tray)));
         EXPECT_EQ("C:\\tray.exe", machine::stringValue(HKEY_LOCAL_MACHINE, kPrefix + "Run", "Tray"));
         EXPECT_TRUE(host.errors().empty());
       },
       true},
      {"a replace whose move back fails",
       [&] {
         ASSERT_EQ(1, engine.disableEntry(lineOf("Notes.lnk")));
         machine::writeFile(startup + "\\Notes.lnk", "other");
         engine.findStartupEntries();
         host.messageBoxAnswers = {IDYES};
         platform.fail(Call::MoveFileA, "Startup-Disabled\\Notes.lnk|", ERROR_ACCESS_DENIED);
         EXPECT_EQ(0, engine.enableEntry(lineOf("Startup folder: Notes.lnk")));
         platform.clearFaults();
         EXPECT_EQ("other", machine::readFile(startup + "\\Notes.lnk"));
         EXPECT_EQ((std::vector<std::string>{"Notes.lnk"}), machine::listDir(disabledFolder()));
         machine::writeFile(startup + "\\Notes.lnk", "");
         DeleteFileA((startup + "\\Notes.lnk").c_str());
       },
       true},
      {"a folder in a listed item's place",
       [&] {
         DeleteFileA((startup + "\\Notes.lnk").c_str());
         machine::makeDir(startup + "\\Notes.lnk");
         machine::writeFile(startup + "\\Notes.lnk\\inside.txt", "inside");
         EXPECT_EQ(0, engine.disableEntry(lineOf("Notes.lnk")));
         EXPECT_TRUE(errorHas("It is a folder"));
         EXPECT_EQ("inside", machine::readFile(startup + "\\Notes.lnk\\inside.txt"));
         machine::removeTree(startup + "\\Notes.lnk");
         machine::writeFile(startup + "\\Notes.lnk", "notes");
       },
       true},
      {"a store that cannot be updated after an Enable",
       [&] {
         ASSERT_EQ(1, engine.disableEntry(lineOf(mine)));
         std::string record = disabledFolder() + "\\Startlull.ini";
         SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_READONLY);
         engine.findStartupEntries();
         EXPECT_EQ(1, engine.enableEntry(lineOf("Registry - current_user, Run: " + mine)));
         EXPECT_TRUE(errorHas("This entry is back in its place"));
         engine.findStartupEntries();
         EXPECT_EQ(1, occurrences(mine));
         SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_NORMAL);
       },
       true},
      {"a store another process holds",
       [&] {
         machine::makeDir(disabledFolder());
         HANDLE held = CreateFileA((disabledFolder() + "\\Startlull.lck").c_str(),
                                   GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
         ASSERT_NE(INVALID_HANDLE_VALUE, held);
         engine.storeLockWait = 200;
         EXPECT_EQ(0, engine.disableEntry(lineOf(mine)));
         EXPECT_TRUE(errorHas("Another Startlull window or program is changing"));
         CloseHandle(held);
         engine.findStartupEntries();
         EXPECT_EQ(1, engine.disableEntry(lineOf(mine)));
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seedTypical();
    MachinePicture before = takePicture();
    find();
    c.body();
    platform.clearFaults();
    host.events.clear();
    engine.computeLocations();
    engine.findStartupEntries();
    for (const char* shown : {"Tray = C:\\tray.exe", "Mine = C:\\mine.exe", "run = run.exe /a",
                              "load = load.exe", "Notes.lnk", "Common.lnk"})
      EXPECT_EQ(1, occurrences(shown)) << shown;
    if (c.sameMachine) {
      enableAll(engine);
      expectSameMachine(before, takePicture());
    }
    TearDown();
    SetUp();
  }
}

// A record file put in a store by hand: a value anywhere but the eight
// keys, a key below one, a user's value in the All Users store, bytes
// changed after writing. Nothing is written from it, nothing is stored on
// top of it, and Find says so.
TEST_F(DisabledStoreTest, StoreRecordsNamingOtherPlacesOrDamagedAreRefused) {
  auto valueRecord = [](const char* root, const char* key, const char* sub) {
    RecordWriter writer;
    writer.key(root, key);
    if (sub) writer.subkey(sub, strlen(sub));
    writer.value(REG_SZ, "Planted", 7, "C:\\planted.exe", 15);
    writer.finish();
    return std::string(writer.text().c_str());
  };
  auto iniRecord = [](const std::string& text) {
    RecordWriter writer;
    writer.iniValue("run", text.data(), text.size());
    writer.finish();
    return std::string(writer.text().c_str());
  };
  std::string damaged = valueRecord("HKCU", "Run", nullptr);
  damaged[damaged.find("value ") + 8] ^= 1;  // a hex digit of the name: the checksum fails
  struct Case {
    const char* name;
    bool common;
    std::string record;
  };
  const std::vector<Case> cases = {
      {"another key", false, valueRecord("HKCU", "Explorer", nullptr)},
      {"a key below", false, valueRecord("HKCU", "Run", "Explorer")},
      {"user's value in the All Users store", true, valueRecord("HKCU", "Run", nullptr)},
      {"damaged", false, damaged},
      // win.ini keeps one line of text: no zero byte, no line break.
      {"win.ini text with a zero byte", false, iniRecord(std::string("run.exe\0planted.exe", 19))},
      {"win.ini text with a CR", false, iniRecord("run.exe\rplanted.exe")},
      {"win.ini text with a LF", false, iniRecord("run.exe\nplanted.exe")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seedTypical();
    machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "Run", "Second", "C:\\second.exe");
    find();
    std::string first = c.common ? "Tray = C:\\tray.exe" : "Mine = C:\\mine.exe";
    std::string second = c.common ? "Second = C:\\second.exe" : "run = run.exe /a";
    std::string place = c.common ? "Registry - local_machine, Run: " : "Registry - current_user, Run: ";
    // A sound store first, so that Find lists an entry to enable...
    ASSERT_EQ(1, engine.disableEntry(lineOf(first)));
    engine.findStartupEntries();
    int line = lineOf(place + first);
    ASSERT_GT(line, 0);
    // ...then the planted record in its place.
    std::string record = (c.common ? commonDisabledFolder() : disabledFolder()) + "\\Startlull.ini";
    machine::writeFile(record, c.record);
    host.events.clear();
    EXPECT_EQ(0, engine.enableEntry(line));
    ASSERT_EQ(1u, host.errors().size());
    EXPECT_NE(std::string::npos, host.errors()[0].text.find(place + first));

    host.events.clear();
    engine.findStartupEntries();
    EXPECT_GT(lineOf(record + ": damaged, left as it is"), 0);
    EXPECT_EQ(0, engine.disableEntry(lineOf(second)));
    EXPECT_EQ(1u, host.errors().size());
    EXPECT_EQ(c.record, fileContent(record));
    EXPECT_EQ("run.exe /a", machine::profileValue("run"));
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      for (const char* key : {"Run", "Explorer", "Run\\Explorer"})
        EXPECT_EQ("", machine::stringValue(root, kPrefix + key, "Planted")) << key;
    TearDown();
    SetUp();
  }
}

const char* const kEveryKind[] = {"Tray = C:\\tray.exe", "Mine = C:\\mine.exe", "run = run.exe /a",
                                  "Notes.lnk", "Common.lnk"};

// What the child does before it is killed: disables or enables one entry of
// each kind, the other kinds already in the store. Returns the entries it
// reported done.
std::vector<std::string> toggleEveryKind(Engine& engine, RecordingHost& host, bool disable,
                                         bool expectDone = true) {
  std::vector<std::string> done;
  for (const char* shown : kEveryKind) {
    engine.findStartupEntries();
    for (size_t line = 0; line < host.lines.size(); ++line) {
      const std::string& text = host.lines[line].text;
      bool disabledLine = host.lines[line].colour == disabledColour;
      if (disabledLine != !disable || text.size() < strlen(shown) ||
          text.compare(text.size() - strlen(shown), std::string::npos, shown) != 0)
        continue;
      int result = disable ? engine.disableEntry(static_cast<int>(line))
                           : engine.enableEntry(static_cast<int>(line));
      if (expectDone) {
        EXPECT_EQ(1, result) << text;
      }
      if (result == 1) done.push_back(shown);
      break;
    }
  }
  return done;
}

void DisabledStoreTest::toggleWithEachFault(
    bool disable, const char* kind,
    const std::function<std::vector<SweptFault>(const std::vector<CallRecord>&)>& faultsOf,
    const std::function<void(const std::string&)>& sawError) {
  auto prepare = [&] {
    seedTypical();
    find();
    if (!disable) toggleEveryKind(engine, host, true);
    platform.log.clear();
  };
  prepare();
  toggleEveryKind(engine, host, disable);
  std::vector<SweptFault> faults = faultsOf(platform.log);
  int survived =
      sweepFaults(disable ? "Disable" : "Enable", kind, faults, [&](const SweptFault& fault) {
        TearDown();
        SetUp();
        MachinePicture before = (seedTypical(), takePicture());
        prepare();
        fault.arm(platform);
        std::vector<std::string> done = toggleEveryKind(engine, host, disable, false);
        platform.clearFaults();
        if (!faultWentOff(platform.log, fault)) return false;
        for (const HostEvent& error : host.errors()) {
          bool named = false;
          for (const char* shown : kEveryKind)
            named = named || error.text.find(shown) != std::string::npos;
          EXPECT_TRUE(named) << error.text;
          sawError(error.text);
        }
        host.events.clear();
        engine.findStartupEntries();
        for (const std::string& shown : done)
          EXPECT_EQ(disable, shownDisabled(shown))
              << shown << " reported " << (disable ? "disabled" : "enabled");
        for (const char* shown : kEveryKind) EXPECT_EQ(1, occurrences(shown)) << shown;
        enableAll(engine);
        expectSameMachine(before, takePicture());
        EXPECT_TRUE(host.errors().empty());
        return true;
      });
  EXPECT_EQ(static_cast<int>(faults.size()), survived);
}

TEST_F(DisabledStoreTest, KilledAfterEveryChangeEachEntryIsInItsPlaceOrStoredOnce) {
  for (bool disable : {true, false}) {
    int killed = 0;
    for (int change = 1; change <= 200; ++change) {
      SCOPED_TRACE(std::string(disable ? "Disable" : "Enable") + " killed after change " +
                   std::to_string(change));
      seedTypical();
      MachinePicture before = takePicture();
      if (!disable) {
        find();
        toggleEveryKind(engine, host, true);
      }
      std::string kill = (disable ? "disable:" : "enable:") + std::to_string(change);
      DWORD code = runTestInChild("DisabledStoreChild.ToggleUntilKilled", kKillVariable, kill);
      ASSERT_TRUE(code == kKilledExitCode || code == 0) << code;

      std::unique_ptr<Engine> next = nextStart();
      host.events.clear();
      next->findStartupEntries();
      for (const char* shown : kEveryKind) EXPECT_EQ(1, occurrences(shown)) << shown;
      // Everything enabled again is the machine as seeded.
      enableAll(*next);
      expectSameMachine(before, takePicture());
      EXPECT_TRUE(host.errors().empty());
      bool done = code == 0;
      TearDown();
      SetUp();
      if (HasFailure() || done) break;
      ++killed;
    }
    // The store's steps and each entry's own, for each kind.
    printf("%s: killed after each of %d changes\n", disable ? "Disable" : "Enable", killed);
    EXPECT_GE(killed, 15);
  }
}

TEST_F(DisabledStoreTest, WhicheverCallFailsEachEntryIsInItsPlaceOrStoredOnce) {
  for (bool disable : {true, false}) {
    int withSystemWords = 0;
    toggleWithEachFault(
        disable, "failing",
        [](const std::vector<CallRecord>& calls) {
          return failingCalls(calls, [](Call) { return DWORD(ERROR_ACCESS_DENIED); });
        },
        [&](const std::string& error) {
          withSystemWords += error.find("Access denied. (error 5)") != std::string::npos;
        });
    EXPECT_GT(withSystemWords, 0);
  }
}

// At every call one engine makes during Disable, Enable or Find, a second
// party does a whole thing of its own to the same machine: a second
// window's Find, Disable of another entry, Enable of another, Disable of
// the same entry; another program rewriting the same value or adding one to
// its key. Afterwards each entry is listed once, in its place or in the
// store, with its last writer's data, and nothing the second party wrote is
// lost.
TEST_F(DisabledStoreTest, AnotherPartyAtEveryCallLosesNothing) {
  const std::string mine = "Mine = C:\\mine.exe", rewritten = "Mine = C:\\mine2.exe",
                    added = "New = C:\\new.exe";
  const std::vector<std::string> seeded = {"Tray = C:\\tray.exe", "run = run.exe /a",
                                           "load = load.exe", "Notes.lnk", "Common.lnk"};
  RecordingHost secondHost;
  auto secondParty = [&](const std::function<void(Engine&)>& act) {
    return [&, act] {
      Engine second(real, secondHost);
      second.storeLockWait = 0;  // the other window gives up at once rather than wait
      second.computeLocations();
      second.findStartupEntries();
      act(second);
    };
  };
  auto lineIn = [&](const std::string& text) {
    for (size_t line = 0; line < secondHost.lines.size(); ++line)
      if (secondHost.lines[line].text == text) return static_cast<int>(line);
    return -1;
  };
  struct Party {
    const char* name;
    std::function<void()> act;
    bool writesMine;  // Mine ends with the other program's data
    bool addsValue;
  };
  const std::vector<Party> parties = {
      {"Find", secondParty([](Engine&) {}), false, false},
      {"Disable of another entry",
       secondParty([&](Engine& second) { second.disableEntry(lineIn("run = run.exe /a")); }),
       false, false},
      {"Enable of another entry", secondParty([&](Engine& second) {
         second.enableEntry(lineIn("Win.ini: load = load.exe"));
       }),
       false, false},
      {"Disable of the same entry",
       secondParty([&](Engine& second) { second.disableEntry(lineIn(mine)); }), false, false},
      {"another program rewriting it",
       [] { machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Mine", "C:\\mine2.exe"); },
       true, false},
      {"another program adding a value",
       [] { machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "New", "C:\\new.exe"); },
       false, true},
  };
  struct Operation {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> run;
  };
  const std::vector<Operation> operations = {
      {"Disable", [] {}, [&] { engine.disableEntry(lineOf(mine)); }},
      {"Enable", [&] { ASSERT_EQ(1, engine.disableEntry(lineOf(mine))); },
       [&] { engine.enableEntry(lineOf("Registry - current_user, Run: " + mine)); }},
      // Mine back in its place while the store still keeps it: Find's
      // clean-up drops the copy.
      {"Find",
       [&] {
         ASSERT_EQ(1, engine.disableEntry(lineOf(mine)));
         machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Mine", "C:\\mine.exe");
       },
       [&] { engine.findStartupEntries(); }},
  };
  for (const Operation& operation : operations) {
    size_t calls = 0;
    int sweeps = 0, refused = 0, unclosable = 0;
    for (size_t at = 1; at == 1 || at <= calls; ++at) {
      for (const Party& party : parties) {
        SCOPED_TRACE(std::string(operation.name) + " at call " + std::to_string(at) + ", " +
                     party.name);
        seedTypical();
        find();
        // "load" waits in the store for the second party's Enable.
        ASSERT_EQ(1, engine.disableEntry(lineOf("load = load.exe")));
        engine.findStartupEntries();
        operation.prepare();
        engine.findStartupEntries();
        size_t count = 0, logAt = 0;
        bool ran = false;
        secondHost.events.clear();
        platform.afterCall = [&](Call call, const std::string& arg, bool) {
          if (readsAnOtherPlace(CallRecord{call, arg, false})) return;
          if (++count == at && !ran) {
            ran = true;
            logAt = platform.log.size();
            party.act();
          }
        };
        operation.run();
        platform.afterCall = nullptr;
        calls = std::max(calls, count);
        if (!ran) {  // this run made fewer calls
          TearDown();
          SetUp();
          continue;
        }
        for (const HostEvent& error : secondHost.errors())
          refused += error.text.find("Another Startlull window") != std::string::npos;

        host.events.clear();
        std::unique_ptr<Engine> next = nextStart();
        next->findStartupEntries();
        for (const std::string& shown : seeded) EXPECT_EQ(1, occurrences(shown)) << shown;
        // Between the last look at a value and its deletion or writing no
        // registry call of these systems can stand: a rewrite at that one
        // moment is lost.
        bool lastMoment = logAt < platform.log.size() &&
                          (platform.log[logAt].call == Call::RegDeleteValueA ||
                           platform.log[logAt].call == Call::RegSetValueExA);
        if (party.writesMine && lastMoment) {
          ++unclosable;
          EXPECT_EQ(1, occurrences(mine));
        } else if (party.writesMine) {
          EXPECT_EQ(1, occurrences(rewritten));
          EXPECT_GE(1, occurrences(mine));
        } else {
          EXPECT_EQ(1, occurrences(mine));
        }
        EXPECT_EQ(party.addsValue ? 1 : 0, occurrences(added));
        ++sweeps;
        TearDown();
        SetUp();
        if (HasFailure()) break;
      }
      if (HasFailure()) break;
    }
    printf("%s: another party at each of %zu calls, %d runs, %d times told to wait, %d rewrites "
           "at the moment before a deletion\n",
           operation.name, calls, sweeps, refused, unclosable);
    EXPECT_GE(1, unclosable);
    EXPECT_GT(calls, 10u);
  }
}

TEST_F(DisabledStoreTest, WhicheverCallLiesEachEntryIsInItsPlaceOrStoredOnce) {
  for (bool disable : {true, false})
    toggleWithEachFault(disable, "lying", lyingCalls, [](const std::string&) {});
}

// Run by the test above in a new process: Disable or Enable of each kind,
// ended right after the change the environment names.
TEST(DisabledStoreChild, ToggleUntilKilled) {
  std::string kill = environmentValue(kKillVariable);
  if (kill.empty()) GTEST_SKIP() << "run by DisabledStoreTest";
  ChildEngine child;
  child.killAfterChanges(std::stoi(kill.substr(kill.find(':') + 1)));
  toggleEveryKind(child.engine, child.host, kill.compare(0, 7, "disable") == 0);
}

}  // namespace

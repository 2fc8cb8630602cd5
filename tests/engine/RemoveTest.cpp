// Remove on the real prefix: each failure row with its message, caption,
// order and what is undone, and the settings file it leaves.
#include <stdio.h>
#include <string.h>

#include "tests/engine/RemoveRestoreFixture.h"
#include "util/Paths.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kPrefix = machine::kRunKeyPrefix;
const char kSaveFailed[] = "Can't save current settings, remove operation aborted.|Startlull";
const char kIniFailed[] =
    "Unable to remove ini settings, startup setting will be restored.|Startlull";
const char kRegistryFailed[] =
    "Unable to remove registry settings, startup settings will be restored.|Startlull";

const char kNotEverythingBack[] = "Not every setting could be put back.";
const char kLeftValues[] =
    "Another program changed or added these values while Remove ran.\r\n"
    "They were left where they are, and Restore will not change them:\r\n";
const char kWritten[] = "C:\\updated.exe";
const size_t kNever = static_cast<size_t>(-1);

// A string value another program writes into a Run-type key or its subkey.
struct Written {
  HKEY root;
  int runKey;
  const char* sub;
  const char* name;
  std::string key() const { return kPrefix + machine::runKeyName(runKey) + (*sub ? "\\" : "") + sub; }
  std::string place() const { return (root == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") + key(); }
  void write() const { machine::setString(root, key(), name, kWritten); }
  void addTo(MachinePicture& picture) const {
    int slot = runKeyRow(root, runKey);
    picture.keyExists[slot] = true;
    picture.keys[slot][sub][name] = RegValue{REG_SZ, std::string(kWritten) + '\0'};
  }
};

class RemoveTest : public RemoveRestoreTest {
 protected:
  // Nothing of a Remove is left on the machine.
  void expectNoTrace() {
    EXPECT_FALSE(fileExists(inactive())) << inactive();
    EXPECT_FALSE(fileExists(commonInactive())) << commonInactive();
  }
  // seedTypical on emptied keys, with a second value in HKCU's Run and a RunOnceEx subkey.
  void seedMore() {
    machine::clearRunKeys();
    seedTypical();
    machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Other", "C:\\other.exe");
    machine::setString(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx\\0001", "1", "C:\\setup.exe");
  }
  // Remove, with what.write() run right after the call at index moment of
  // its log (none when at the end), then Remove's calls.
  std::vector<CallRecord> removeWriting(const Written& what, size_t moment) {
    find();
    host.events.clear();
    platform.log.clear();
    platform.afterCall = [&](Call, const std::string&, bool) {
      if (platform.log.size() == moment + 1) what.write();
    };
    EXPECT_EQ(1, engine.removeStartupEntries());
    platform.afterCall = nullptr;
    return platform.log;
  }
};

// The registry cannot delete a value or key only if it is still what was
// checked: a write landing between the last look and that deletion is lost.
bool deletesRightAfter(const CallRecord& next, const std::string& value) {
  if (next.call != Call::RegDeleteValueA && next.call != Call::SHDeleteKeyA) return false;
  return value == next.arg || value.compare(0, next.arg.size() + 1, next.arg + "\\") == 0;
}

TEST_F(RemoveTest, CancelOrDisabledChangesNothing) {
  seedTypical();
  MachinePicture before = takePicture();
  find();
  host.removeDialogAnswers = {0};
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_EQ(Lines{"dialog:remove"}, eventTexts());

  host.events.clear();
  host.EnableCommand(COMMAND_REMOVE, 0);
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_TRUE(host.events.empty());
  EXPECT_FALSE(platform.called(Call::CreateDirectoryA));
  expectSameMachine(before, takePicture());
  expectNoTrace();
}

TEST_F(RemoveTest, CompletedRemoveLeavesTheListingAndItsRecordOnDisk) {
  seedTypical();
  machine::createKey(HKEY_CURRENT_USER, kPrefix + "RunServices");  // exists, empty
  find();
  Lines listing = host.texts();
  EXPECT_EQ(1, engine.removeStartupEntries());
  EXPECT_EQ((Lines{"dialog:remove", "dialog:success 1"}), eventTexts());

  std::string file = fileContent(settings());
  std::string expected;
  for (const std::string& line : listing) expected += line + "\r\n";
  ASSERT_EQ(expected, file.substr(0, expected.size()));
  EXPECT_EQ(std::string(kRecordHeading) + "\r\n",
            file.substr(expected.size(), strlen(kRecordHeading) + 2));
  EXPECT_FALSE(fileExists(settings() + ".tmp"));
  // The platform's own ini reader still finds [Win.ini] in it.
  char value[MAX_PATH];
  GetPrivateProfileStringA("win.ini", "run", "", value, MAX_PATH, settings().c_str());
  EXPECT_STREQ("run.exe /a", value);

  EXPECT_EQ("", machine::profileValue("run"));
  EXPECT_EQ("", machine::profileValue("load"));
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    for (const char* name : {"Run", "RunServices"})
      EXPECT_FALSE(machine::keyExists(root, kPrefix + name)) << name;
  EXPECT_EQ((Lines{"Notes.lnk", "Startlull.ini", "desktop.ini"}), machine::listDir(inactive()));
  EXPECT_EQ(Lines{"Common.lnk"}, machine::listDir(commonInactive()));
  EXPECT_TRUE(machine::listDir(startup).empty());
}

TEST_F(RemoveTest, RestartInTheSuccessDialogRestartsAndKeepsTheWindow) {
  find();
  host.successDialogAnswers = {1};
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_TRUE(platform.called(Call::ExitWindowsEx));
}

TEST_F(RemoveTest, InactiveFolderThatExistsStopsBeforeAnyChange) {
  seedTypical();
  MachinePicture before = takePicture();
  find();
  machine::makeDir(inactive());
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_EQ((Lines{"dialog:remove", "Unable to create inactive folder|" + startup}), eventTexts());
  expectSameMachine(before, takePicture());
  EXPECT_TRUE(machine::listDir(inactive()).empty());
}

TEST_F(RemoveTest, AllUsersInactiveFolderThatExistsPutsTheUsersItemsBack) {
  seedTypical();
  MachinePicture before = takePicture();
  find();
  machine::makeDir(commonInactive());
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_EQ((Lines{"dialog:remove",
                   "Unable to create the \"All Users\" inactive folder|" + commonInactive()}),
            eventTexts());
  expectSameMachine(before, takePicture());
  EXPECT_FALSE(fileExists(inactive()));
  EXPECT_TRUE(fileExists(commonInactive()));  // it was there before
}

TEST_F(RemoveTest, EverySaveFailureRollsBackBeforeAnythingElseChanges) {
  enum Mode { FAILS, SHORT, CHANGED };
  struct Case {
    const char* what;
    Call call;
    const char* match;
    Mode mode;
    DWORD error;
  } cases[] = {
      {"temporary file not created", Call::CreateFileA, "Startlull.ini.tmp", FAILS,
       ERROR_ACCESS_DENIED},
      {"write fails", Call::WriteFile, "Startlull.ini.tmp", FAILS, ERROR_DISK_FULL},
      {"short write", Call::WriteFile, "Startlull.ini.tmp", SHORT, ERROR_DISK_FULL},
      {"bytes changed on the way to disk", Call::WriteFile, "Startlull.ini.tmp", CHANGED, 0},
      {"flush fails", Call::FlushFileBuffers, "Startlull.ini.tmp", FAILS, ERROR_DISK_FULL},
      {"read back fails", Call::ReadFile, "Startlull.ini.tmp", FAILS, ERROR_SHARING_VIOLATION},
      {"bytes changed on the way back", Call::ReadFile, "Startlull.ini.tmp", CHANGED, 0},
      {"rename fails", Call::MoveFileA, "Startlull.ini.tmp|", FAILS, ERROR_ACCESS_DENIED},
      {"a key cannot be read whole", Call::RegEnumValueA, "HKLM", FAILS, ERROR_ACCESS_DENIED},
      {"a key deleted while it is read", Call::RegEnumValueA, "HKCU", FAILS, ERROR_KEY_DELETED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    seedTypical();
    MachinePicture before = takePicture();
    find();
    host.events.clear();
    // After Find, so that only the save sees the fault.
    if (c.mode == CHANGED)
      platform.corrupt(c.call, c.match);
    else
      platform.fail(c.call, c.match, c.error, 0, -1, c.mode == SHORT);
    EXPECT_EQ(0, engine.removeStartupEntries());
    platform.clearFaults();
    EXPECT_EQ((Lines{"dialog:remove", kSaveFailed}), eventTexts());
    expectSameMachine(before, takePicture());
    expectNoTrace();
    EXPECT_FALSE(platform.called(Call::SHDeleteKeyA));
    EXPECT_EQ(0, platform.count(Call::WriteProfileStringA));
  }
}

TEST_F(RemoveTest, StartupFilesNamedLikeTheSettingsFileAreNeverWrittenOver) {
  for (const char* name : {"Startlull.ini", "Startlull.ini.tmp"}) {
    SCOPED_TRACE(name);
    seedTypical();
    machine::writeFile(startup + "\\" + name, "the user's own file");
    MachinePicture before = takePicture();
    find();
    host.events.clear();
    EXPECT_EQ(0, engine.removeStartupEntries());
    EXPECT_EQ((Lines{"dialog:remove", kSaveFailed}), eventTexts());
    expectSameMachine(before, takePicture());
    expectNoTrace();
    machine::emptyDir(startup);
  }
}

TEST_F(RemoveTest, WinIniThatCannotBeBlankedIsWrittenBack) {
  seedTypical();
  machine::setProfileValue("run", std::string(600, 'r').c_str());
  MachinePicture before = takePicture();
  find();
  // "run" is blanked, then "load" fails.
  platform.fail(Call::WriteProfileStringA, "windows\\load", ERROR_ACCESS_DENIED, 0, 1);
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_EQ((Lines{"dialog:remove", kIniFailed}), eventTexts());
  expectSameMachine(before, takePicture());
  expectNoTrace();
  EXPECT_FALSE(platform.called(Call::SHDeleteKeyA));
}

TEST_F(RemoveTest, KeyThatWillNotDeleteBringsBackTheKeysAlreadyDeleted) {
  seedTypical();
  // HKLM: Run with values, RunOnce with only its default value, RunOnceEx with
  // only subkeys, RunServices empty; HKCU: Run and RunOnce with values.
  machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "RunOnce", "", REG_EXPAND_SZ,
                    std::string("%windir%\\x.exe\0", 15));
  machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx\\0001", "1", REG_SZ,
                    std::string("a\0", 2));
  machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx\\0001\\Depend", "d", REG_DWORD,
                    std::string("\x01\x00\x00\x00", 4));
  machine::createKey(HKEY_LOCAL_MACHINE, kPrefix + "RunServices");
  machine::setValue(HKEY_CURRENT_USER, kPrefix + "RunOnce", "Once", REG_BINARY,
                    std::string("\x00\xff", 2));
  machine::setString(HKEY_CURRENT_USER, kPrefix + "RunOnce\\Later", "Then", "then.exe");
  MachinePicture before = takePicture();
  find();
  platform.fail(Call::SHDeleteKeyA, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                ERROR_ACCESS_DENIED, 0, 1);
  // It fails part way: the subkey and the value are gone already.
  platform.onFault = [&](Call, const std::string&) {
    machine::deleteKey(HKEY_CURRENT_USER, kPrefix + "RunOnce\\Later");
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, (kPrefix + "RunOnce").c_str(), 0, KEY_ALL_ACCESS, &key);
    RegDeleteValueA(key, "Once");
    RegCloseKey(key);
  };
  EXPECT_EQ(0, engine.removeStartupEntries());
  platform.clearFaults();
  platform.onFault = nullptr;

  EXPECT_EQ(
      (Lines{"dialog:remove",
             "Failed to remove this key|Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
             "Can't find section|[Registry - local_machine, RunServices]", kRegistryFailed}),
      eventTexts());
  // Re-created in the roll-back order, the key that failed last; the empty
  // key had nothing to bring back.
  Lines created;
  for (const CallRecord& record : platform.log)
    if (record.call == Call::RegCreateKeyExA) created.push_back(record.arg);
  EXPECT_EQ(
      (Lines{"HKLM\\" + kPrefix + "Run", "HKCU\\" + kPrefix + "Run", "HKLM\\" + kPrefix + "RunOnce",
             "HKLM\\" + kPrefix + "RunOnceEx", "HKLM\\" + kPrefix + "RunOnceEx\\0001",
             "HKLM\\" + kPrefix + "RunOnceEx\\0001\\Depend", "HKCU\\" + kPrefix + "RunOnce",
             "HKCU\\" + kPrefix + "RunOnce\\Later"}),
      created);
  MachinePicture after = takePicture();
  int services = runKeyRow(HKEY_LOCAL_MACHINE, RUN_SERVICES);
  EXPECT_FALSE(after.keyExists[services]);
  before.keyExists[services] = false;
  before.keys[services].clear();
  expectSameMachine(before, after);
  expectNoTrace();
}

TEST_F(RemoveTest, KeyGoneSinceFindIsReportedAndTheOthersComeBack) {
  seedTypical();
  MachinePicture before = takePicture();
  find();
  machine::deleteKey(HKEY_CURRENT_USER, kPrefix + "Run");
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_EQ((Lines{"dialog:remove",
                   "Failed to remove this key|Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   kRegistryFailed}),
            eventTexts());
  int mine = runKeyRow(HKEY_CURRENT_USER, RUN);
  before.keyExists[mine] = false;
  before.keys[mine].clear();
  expectSameMachine(before, takePicture());
  expectNoTrace();
}

TEST_F(RemoveTest, ParentKeyThatWillNotOpenFailsTheDelete) {
  seedTypical();
  MachinePicture before = takePicture();
  find();
  bool armed = false;
  // Once HKLM's keys are deleting, HKCU's parent refuses to open.
  platform.afterCall = [&](Call call, const std::string&, bool) {
    if (call == Call::SHDeleteKeyA && !armed) {
      armed = true;
      platform.fail(Call::RegOpenKeyExA, "HKCU\\Software", ERROR_ACCESS_DENIED, 0, 1);
    }
  };
  EXPECT_EQ(0, engine.removeStartupEntries());
  platform.afterCall = nullptr;
  EXPECT_EQ((Lines{"dialog:remove",
                   "Failed to remove this key|Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                   kRegistryFailed}),
            eventTexts());
  expectSameMachine(before, takePicture());
  expectNoTrace();
}

TEST_F(RemoveTest, RollBackThatCannotPutEverythingBackKeepsTheSettingsForRestore) {
  struct Fault {
    Call call;
    const char* match;
    int skip;
  };
  struct Case {
    const char* what;
    std::vector<Fault> faults;
    Lines messages;
    const char* vanishes = "";  // HKLM Run's value that is gone again right after its write
  } cases[] = {
      // The blank of "load" fails, and so does putting "run" back.
      {"win.ini",
       {{Call::WriteProfileStringA, "windows\\load", 0},
        {Call::WriteProfileStringA, "windows\\run", 1}},
       {"dialog:remove", kIniFailed}},
      // HKCU's Run will not go, and HKLM's Run will not come back.
      {"registry",
       {{Call::SHDeleteKeyA, "HKCU", 0}, {Call::RegCreateKeyExA, "HKLM", 0}},
       {"dialog:remove",
        "Failed to remove this key|Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        kRegistryFailed}},
      // Every write succeeds, but what is read back lacks a value.
      {"registry read back",
       {{Call::SHDeleteKeyA, "HKCU", 0}},
       {"dialog:remove",
        "Failed to remove this key|Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        kRegistryFailed},
       "Tray"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    seedTypical();
    MachinePicture before = takePicture();
    find();
    host.events.clear();
    for (const Fault& fault : c.faults)
      platform.fail(fault.call, fault.match, ERROR_ACCESS_DENIED, fault.skip, 1);
    platform.afterCall = [&](Call call, const std::string& arg, bool) {
      std::string tail = std::string("Run\\") + c.vanishes;
      if (call != Call::RegSetValueExA || !c.vanishes[0] ||
          arg.compare(arg.size() - tail.size(), tail.size(), tail) != 0)
        return;
      HKEY key;
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kPrefix + "Run").c_str(), 0, KEY_ALL_ACCESS, &key);
      RegDeleteValueA(key, c.vanishes);
      RegCloseKey(key);
    };
    EXPECT_EQ(0, engine.removeStartupEntries());
    platform.clearFaults();
    platform.afterCall = nullptr;
    Lines expected = c.messages;
    expected.push_back(
        "Not every setting could be put back.\r\nThe saved settings are in the file " + settings() +
        ".\r\nRestore will put everything back at the next start.|Startlull");
    EXPECT_EQ(expected, eventTexts());
    // Nothing more was undone: the folders hold the items and the settings.
    EXPECT_EQ((Lines{"Notes.lnk", "Startlull.ini", "desktop.ini"}), machine::listDir(inactive()));

    std::unique_ptr<Engine> next = nextStart();
    ASSERT_EQ(1, next->restoreAvailable);
    EXPECT_EQ(1, next->restoreStartupEntries());
    expectSameMachine(before, takePicture());
    expectNoTrace();
  }
}

TEST_F(RemoveTest, EmptyStartupFolderPathsAreNeverTheDrivesRoot) {
  seedTypical();
  MachinePicture before = takePicture();
  find();
  engine.commonStartupDir[0] = '\0';
  copyText(engine.commonInactiveDir, PATH_SIZE, "Startup-Inactive");
  EXPECT_EQ(1, engine.removeStartupEntries());
  EXPECT_EQ(1, platform.count(Call::CreateDirectoryA));
  EXPECT_EQ(before.commonFiles, takePicture().commonFiles);

  std::unique_ptr<Engine> next = nextStart();
  next->commonStartupDir[0] = '\0';
  copyText(next->commonInactiveDir, PATH_SIZE, "Startup-Inactive");
  EXPECT_EQ(1, next->restoreStartupEntries());
  expectSameMachine(before, takePicture());

  // Without the user's Startup folder there is nowhere to keep the settings.
  host.events.clear();
  find();
  engine.startupDir[0] = '\0';
  EXPECT_EQ(0, engine.removeStartupEntries());
  EXPECT_EQ((Lines{"dialog:remove", "Unable to create inactive folder|"}), eventTexts());
  expectSameMachine(before, takePicture());
}

// Another program writes into a Run-type key at each of Remove's calls in
// turn, from the start of its reading of the machine until it deletes that
// key. Written before the key was read, the value is recorded, goes, and
// comes back with Restore; written after, it stays with the other program's
// bytes, is named in one message before the Success dialog, and Restore
// leaves it so. Everything else comes back.
TEST_F(RemoveTest, ValueAnotherProgramWritesWhileRemoveRunsIsNeverLost) {
  const Written cases[] = {
      {HKEY_CURRENT_USER, RUN, "", "Mine"},            // an updater rewrites its value
      {HKEY_LOCAL_MACHINE, RUN, "", "Updater"},        // an installer adds one
      {HKEY_LOCAL_MACHINE, RUN_ONCE_EX, "0002", "1"},  // and a RunOnceEx subkey
  };
  for (const Written& what : cases) {
    SCOPED_TRACE(what.place() + "\\" + what.name);
    seedMore();
    std::vector<CallRecord> calls = removeWriting(what, kNever);
    ASSERT_EQ(1, nextStart()->restoreStartupEntries());
    size_t first = 0, last = 0;
    std::string runKey = what.place().substr(0, 5) + kPrefix + machine::runKeyName(what.runKey);
    for (size_t index = calls.size(); index-- > 0;) {
      if (calls[index].call == Call::GetProfileStringA) first = index;
      if (calls[index].call == Call::SHDeleteKeyA && calls[index].arg == runKey) last = index;
    }
    ASSERT_LT(first, last);
    int left = 0, taken = 0;
    for (size_t moment = first; moment < last && !HasFailure(); ++moment) {
      if (deletesRightAfter(calls[moment + 1], what.place() + "\\" + what.name)) continue;
      SCOPED_TRACE("written after call " + std::to_string(moment) + ": " +
                   callName(calls[moment].call) + " " + calls[moment].arg);
      seedMore();
      MachinePicture expected = takePicture();
      what.addTo(expected);
      removeWriting(what, moment);
      if (machine::stringValue(what.root, what.key(), what.name).empty()) {
        ++taken;
        EXPECT_EQ((Lines{"dialog:remove", "dialog:success 1"}), eventTexts());
      } else {
        ++left;
        EXPECT_EQ(kWritten, machine::stringValue(what.root, what.key(), what.name));
        EXPECT_EQ((Lines{"dialog:remove",
                         kLeftValues + ("\r\n" + what.place()) + ": " + what.name + "|Startlull",
                         "dialog:success 1"}),
                  eventTexts());
      }
      EXPECT_EQ(1, nextStart()->restoreStartupEntries());
      expectSameMachine(expected, takePicture());
      expectNoTrace();
    }
    printf("%s: %d moments left it in place, %d took it with the rest\n", what.name, left, taken);
    EXPECT_GT(left, 0);
    EXPECT_GT(taken, 0);
  }
}

// HKCU's Run value rewritten by another program once the settings file is
// in place, then a failure: the roll-back brings back everything taken and
// keeps the other program's value, and so does a Restore after a roll-back
// that could not put everything back.
TEST_F(RemoveTest, ValueChangedMeanwhileOutlivesTheRollBack) {
  const Written mine = {HKEY_CURRENT_USER, RUN, "", "Mine"};
  struct Case {
    const char* what;
    Call call;
    const char* match;
    DWORD error;        // the settings file's update fails with it; 0: the key's deletion fails
    bool putBackFails;  // and HKLM's Run cannot be written back
  } cases[] = {
      {"new settings not written", Call::WriteFile, "Startlull.ini.tmp", ERROR_DISK_FULL, false},
      {"old settings not deleted", Call::DeleteFileA, "Startlull.ini", ERROR_SHARING_VIOLATION,
       false},
      {"new settings not renamed", Call::MoveFileA, "Startlull.ini.tmp|", ERROR_ACCESS_DENIED,
       false},
      {"nor HKLM's Run put back", Call::MoveFileA, "Startlull.ini.tmp|", ERROR_ACCESS_DENIED, true},
      {"the key's other value will not go", Call::RegDeleteValueA, "Run\\Other", 0, false},
      {"what stays in the key cannot be read", Call::RegEnumValueA, "HKCU", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    seedMore();
    MachinePicture expected = takePicture();
    mine.addTo(expected);
    find();
    host.events.clear();
    bool armed = false;
    platform.afterCall = [&](Call call, const std::string& arg, bool) {
      if (armed || call != Call::MoveFileA || arg.find("Startlull.ini.tmp|") == std::string::npos)
        return;
      armed = true;
      mine.write();
      platform.fail(c.call, c.match, c.error ? c.error : ERROR_ACCESS_DENIED, 0, 1);
      if (c.putBackFails) platform.fail(Call::RegCreateKeyExA, "HKLM", ERROR_ACCESS_DENIED, 0, 1);
    };
    EXPECT_EQ(0, engine.removeStartupEntries());
    platform.afterCall = nullptr;
    platform.clearFaults();

    Lines events = eventTexts();
    std::string failure =
        c.error ? "Unable to update the settings file " + settings() + ":\r\n"
                : "Failed to remove this key|Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::string number = "(error " + std::to_string(c.error) + ")|Startlull";
    ASSERT_EQ(c.putBackFails ? 4u : 3u, events.size());
    EXPECT_EQ(failure, events[1].substr(0, failure.size()));
    if (c.error) EXPECT_EQ(number, events[1].substr(events[1].size() - number.size()));
    EXPECT_EQ(kRegistryFailed, events[2]);
    if (c.putBackFails) {
      EXPECT_EQ(kNotEverythingBack, events[3].substr(0, strlen(kNotEverythingBack)));
      host.events.clear();
      EXPECT_EQ(1, nextStart()->restoreStartupEntries());
      EXPECT_EQ(Lines{"dialog:success 0"}, eventTexts());
    }
    expectSameMachine(expected, takePicture());
    expectNoTrace();
  }
}

}  // namespace

// Remove and Restore with each platform call they make failing in turn, as a
// real failure would fail it, and with each call that changes the machine
// lying in turn (answering success and doing nothing, or writing or reading
// the settings file's bytes changed). After each run the machine is whole:
// as it was, or Restore is offered and a Restore without faults makes it
// so. No run ends in a Success dialog, without a word of trouble, for a
// machine that is not as that dialog says.
#include <functional>

#include "tests/engine/RemoveRestoreFixture.h"
#include "util/pure/SettingsRecord.h"

namespace {

using Files = std::map<std::string, std::string>;
const std::string kPrefix = machine::kRunKeyPrefix;
const char* const kBootFiles[] = {"c:\\config.sys", "c:\\config.hld", "c:\\autoexec.bat",
                                  "c:\\autoexec.hld"};

// The error a real failure of that call gives.
DWORD realError(Call call) {
  switch (call) {
    case Call::RegEnumValueA:
    case Call::RegEnumKeyExA:
    case Call::RegQueryInfoKeyA:
      return ERROR_KEY_DELETED;
    case Call::WriteFile:
    case Call::FlushFileBuffers:
    case Call::CopyFileA:
      return ERROR_DISK_FULL;
    case Call::CreateFileA:
    case Call::ReadFile:
    case Call::MoveFileA:
    case Call::DeleteFileA:
      return ERROR_SHARING_VIOLATION;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

Files bootFiles() {
  Files files;
  for (const char* path : kBootFiles)
    if (fileExists(path)) files[path] = fileContent(path);
  return files;
}

class FailEveryCallTest : public RemoveRestoreTest {
 protected:
  void TearDown() override {
    clear();
    RemoveRestoreTest::TearDown();
  }

  void clear() {
    machine::clearRunKeys();
    machine::emptyDir(startup);
    machine::emptyDir(commonStartup);
    machine::removeTree(inactive());
    machine::removeTree(commonInactive());
    machine::removeTree(rescue());
    for (const char* path : kBootFiles) machine::removeTree(path);
  }

  // Every value type, a default value, RunOnceEx subkeys, data that looks
  // like the settings file's own lines, win.ini values, items with
  // attributes in both Startup folders, and both boot files to park.
  void seed() {
    clear();
    seedTypical();
    machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "Run", "", REG_EXPAND_SZ,
                      std::string("%windir%\\default.exe\0", 21));
    machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx\\0001", "1", REG_MULTI_SZ,
                      std::string("a\0b c\0\0", 7));
    machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx\\0001\\Depend", "d", REG_DWORD,
                      std::string("\x01\x00\x00\x80", 4));
    machine::setValue(HKEY_CURRENT_USER, kPrefix + "RunOnce", "Blob", REG_BINARY,
                      std::string("\x00\xff\r\n", 4));
    machine::setString(HKEY_CURRENT_USER, kPrefix + "RunServices", "Look-alike",
                       std::string("x\r\n") + kRecordHeading + "\r\nend 0 811C9DC5\r\n");
    machine::writeFile(startup + "\\Locked.lnk", "locked", FILE_ATTRIBUTE_READONLY);
    machine::writeFile(commonStartup + "\\desktop.ini", "[.ShellClassInfo]",
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    machine::writeFile("c:\\config.sys", "FILES=40\r\n");
    machine::writeFile("c:\\autoexec.bat", "@ECHO OFF\r\n");
    host.removeDialogConfigSys = 1;
    host.removeDialogAutoexecBat = 1;
  }

  bool warned() const {
    for (const HostEvent& event : host.events)
      if (event.kind == HostEvent::ERROR_REPORT || event.kind == HostEvent::MESSAGE_BOX)
        return true;
    return false;
  }

  bool successShown(const char* which) const {
    for (const HostEvent& event : host.events)
      if (event.kind == HostEvent::SUCCESS_DIALOG && event.text == which) return true;
    return false;
  }

  // Whole again, if need be by a Restore without faults.
  void expectWhole(const MachinePicture& before, const Files& boot) {
    std::unique_ptr<Engine> next = nextStart();
    if (next->restoreAvailable) {
      host.events.clear();
      EXPECT_EQ(1, next->restoreStartupEntries());
    }
    expectSameMachine(before, takePicture());
    EXPECT_EQ(boot, bootFiles());
    EXPECT_FALSE(fileExists(inactive()));
    EXPECT_FALSE(fileExists(commonInactive()));
  }

  // For each fault in turn: the machine seeded, `prepare` run without
  // faults, `operation` run with the fault armed, `check` given the machine
  // as seeded, then the machine whole again. Every fault has to survive.
  void sweep(const char* what, const char* kind, const std::vector<SweptFault>& faults,
             const std::function<void()>& prepare, const std::function<void()>& operation,
             const std::function<void(const MachinePicture&, const Files&)>& check) {
    int survived = sweepFaults(what, kind, faults, [&](const SweptFault& fault) {
      seed();
      MachinePicture before = takePicture();
      Files boot = bootFiles();
      prepare();
      host.events.clear();
      platform.log.clear();
      fault.arm(platform);
      operation();
      platform.clearFaults();
      if (!faultWentOff(platform.log, fault)) return false;
      check(before, boot);
      expectWhole(before, boot);
      return true;
    });
    EXPECT_EQ(static_cast<int>(faults.size()), survived);
  }

  std::vector<CallRecord> removeCalls() {
    seed();
    find();
    platform.log.clear();
    EXPECT_EQ(1, engine.removeStartupEntries());
    return platform.log;
  }

  std::vector<CallRecord> restoreCalls() {
    removeCalls();
    std::unique_ptr<Engine> next = nextStart();
    platform.log.clear();
    EXPECT_EQ(1, next->restoreStartupEntries());
    return platform.log;
  }

  void sweepRemove(const char* kind, const std::vector<SweptFault>& faults) {
    int result = 0;
    sweep(
        "Remove", kind, faults, [&] { find(); }, [&] { result = engine.removeStartupEntries(); },
        [&](const MachinePicture&, const Files&) {
          // No other program writes here: a call that failed is not a change.
          for (const HostEvent& event : host.errors())
            EXPECT_EQ(std::string::npos, event.text.find("Another program"));
          // Success without a word of trouble means everything is out.
          if (result != 1 || warned()) return;
          MachinePicture after = takePicture();
          for (int slot = 0; slot < RUN_KEY_COUNT; ++slot) EXPECT_FALSE(after.keyExists[slot]);
          EXPECT_EQ("", after.run);
          EXPECT_EQ("", after.load);
          EXPECT_TRUE(after.startupFiles.empty());
          EXPECT_TRUE(after.commonFiles.empty());
          EXPECT_FALSE(fileExists("c:\\config.sys"));
          EXPECT_FALSE(fileExists("c:\\autoexec.bat"));
        });
  }

  void sweepRestore(const char* kind, const std::vector<SweptFault>& faults) {
    std::unique_ptr<Engine> next;
    sweep(
        "Restore", kind, faults,
        [&] {
          find();
          ASSERT_EQ(1, engine.removeStartupEntries());
          next = nextStart();
        },
        [&] { next->restoreStartupEntries(); },
        [&](const MachinePicture& before, const Files& boot) {
          // Success without a word of trouble means everything is back.
          if (!successShown("0") || warned()) return;
          expectSameMachine(before, takePicture());
          EXPECT_EQ(boot, bootFiles());
        });
  }
};

TEST_F(FailEveryCallTest, RemoveLeavesAWayBackWhicheverCallFails) {
  sweepRemove("failing", failingCalls(removeCalls(), realError));
}

TEST_F(FailEveryCallTest, RestoreLeavesAWayBackWhicheverCallFails) {
  sweepRestore("failing", failingCalls(restoreCalls(), realError));
}

TEST_F(FailEveryCallTest, RemoveLeavesAWayBackWhicheverCallLies) {
  sweepRemove("lying", lyingCalls(removeCalls()));
}

TEST_F(FailEveryCallTest, RestoreLeavesAWayBackWhicheverCallLies) {
  sweepRestore("lying", lyingCalls(restoreCalls()));
}

}  // namespace

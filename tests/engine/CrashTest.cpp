// A Remove whose process dies right after any one change it makes to the
// machine: the next start finds the machine as it was, or offers Restore,
// and Restore gives the machine back whole.
#include "tests/engine/RemoveRestoreFixture.h"

namespace {

const std::string kPrefix = machine::kRunKeyPrefix;
const char kKillVariable[] = "STARTLULL_KILL_AFTER_CHANGE";
const int kMostChanges = 200;

class CrashTest : public RemoveRestoreTest {
 protected:
  void seed() {
    seedTypical();
    machine::writeFile(startup + "\\Second.lnk", "second", FILE_ATTRIBUTE_READONLY);
    machine::setValue(HKEY_LOCAL_MACHINE, kPrefix + "RunOnceEx\\0001\\Depend", "", REG_BINARY,
                      std::string("\x00\x01\x02", 3));
    machine::setValue(HKEY_CURRENT_USER, kPrefix + "RunServices", "Svc", REG_EXPAND_SZ,
                      std::string("%windir%\\svc.exe\0", 17));
    machine::writeFile("c:\\config.sys", "FILES=40\r\n");
  }
  void TearDown() override {
    machine::removeTree("c:\\config.sys");
    machine::removeTree("c:\\config.hld");
    RemoveRestoreTest::TearDown();
  }
};

TEST_F(CrashTest, RemoveKilledAfterEveryChangeCanBeUndone) {
  engine.computeLocations();
  int killed = 0;
  for (int change = 1; change <= kMostChanges; ++change) {
    SCOPED_TRACE("killed after change " + std::to_string(change));
    seed();
    MachinePicture before = takePicture();

    DWORD code =
        runTestInChild("CrashChild.RemoveUntilKilled", kKillVariable, std::to_string(change));
    ASSERT_TRUE(code == kKilledExitCode || code == 0) << code;

    host.events.clear();
    std::unique_ptr<Engine> next = nextStart();
    if (next->restoreAvailable) {
      EXPECT_EQ(1, next->restoreStartupEntries());
      // The only message a Restore may show here is a settings file not
      // yet in place, which also means nothing else had changed yet.
      for (const HostEvent& event : host.errors())
        EXPECT_EQ("Unable to retrieve old settings, only startup folder will be restored.",
                  event.text);
    }
    expectSameMachine(before, takePicture());
    EXPECT_EQ("FILES=40\r\n", fileContent("c:\\config.sys"));
    EXPECT_FALSE(fileExists("c:\\config.hld"));
    EXPECT_FALSE(fileExists(inactive()));
    EXPECT_FALSE(fileExists(commonInactive()));
    EXPECT_FALSE(fileExists(rescue()));
    machine::clearRunKeys();
    machine::emptyDir(startup);
    machine::emptyDir(commonStartup);
    if (HasFailure() || code == 0) break;
    ++killed;
  }
  // Folders, files, the settings file's steps, win.ini, keys, the boot file.
  EXPECT_GE(killed, 20);
}

// Run by the test above in a new process: Remove, ended right after the
// change named by the environment.
TEST(CrashChild, RemoveUntilKilled) {
  std::string killAfter = environmentValue(kKillVariable);
  if (killAfter.empty()) GTEST_SKIP() << "run by CrashTest";
  ChildEngine child;
  Engine& engine = child.engine;
  child.host.removeDialogConfigSys = 1;
  engine.findStartupEntries();
  child.killAfterChanges(std::stoi(killAfter));
  EXPECT_EQ(1, engine.removeStartupEntries());
}

}  // namespace

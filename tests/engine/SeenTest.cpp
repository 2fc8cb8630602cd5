// What Find marks new, changed and gone since the last Find, against the
// remembered file on the real prefix: what other programs change is marked,
// what Startlull moves itself is not.
#include "tests/engine/RemoveRestoreFixture.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kRun = std::string(machine::kRunKeyPrefix) + "Run";

class SeenTest : public RemoveRestoreTest {
 protected:
  void SetUp() override {
    RemoveRestoreTest::SetUp();
    host.remembers = true;
  }
  std::string seenFile() const { return std::string(engine.disabledDir) + "\\" + kSeenName; }
  int lineOf(const std::string& text) const {
    Lines all = host.texts();
    for (size_t line = 0; line < all.size(); ++line)
      if (all[line] == text) return static_cast<int>(line);
    return -1;
  }
  // Each marked line as "new: line" or "changed: line (was data)", then the
  // gone section's lines as "gone: line".
  Lines marks() {
    Lines marked, all = host.texts();
    for (size_t line = 0; line < all.size(); ++line) {
      TextPiece earlier = {"", 0};
      ChangeKind kind = engine.lineChange(static_cast<int>(line), &earlier);
      if (kind == ENTRY_NEW) marked.push_back("new: " + all[line]);
      if (kind == ENTRY_CHANGED)
        marked.push_back("changed: " + all[line] + " (was " +
                         std::string(earlier.text, earlier.length) + ")");
      if (engine.isGoneLine(static_cast<int>(line))) {
        EXPECT_EQ(disabledColour, host.lines[line].colour);
        marked.push_back("gone: " + all[line]);
      }
    }
    return marked;
  }
};

TEST_F(SeenTest, WhatOthersChangeIsMarkedWhatStartlullMovesIsNot) {
  struct Case {
    const char* what;
    std::function<void()> between;
    Lines marked;
  };
  const Case cases[] = {
      {"nothing", [] {}, {}},
      {"a value added",
       [] { machine::setString(HKEY_CURRENT_USER, kRun, "Added", "C:\\added.exe"); },
       {"new: Added = C:\\added.exe"}},
      {"a value deleted", [] { machine::deleteKey(HKEY_CURRENT_USER, kRun); },
       {"gone: Mine = C:\\mine.exe"}},
      {"a value changed",
       [] { machine::setString(HKEY_CURRENT_USER, kRun, "Mine", "C:\\other.exe"); },
       {"changed: Mine = C:\\other.exe (was C:\\mine.exe)"}},
      {"an item added",
       [this] { machine::writeFile(startup + "\\Later.lnk", "later"); },
       {"new: Later.lnk"}},
      {"a Disable and an Enable",
       [this] {
         ASSERT_EQ(1, engine.disableEntry(lineOf("Mine = C:\\mine.exe")));
         engine.findStartupEntries();
         ASSERT_EQ(Lines{}, marks());
         enableAll(engine);
       },
       {}},
      {"a Disable alone",
       [this] { ASSERT_EQ(1, engine.disableEntry(lineOf("Notes.lnk"))); }, {}},
      {"a Remove and its Restore",
       [this] {
         ASSERT_EQ(1, engine.removeStartupEntries());
         const std::string remembered = fileContent(seenFile());
         std::unique_ptr<Engine> next = nextStart();
         // While the Remove waits, its Find marks nothing and remembers nothing.
         next->findStartupEntries();
         EXPECT_FALSE(next->comparedEntries);
         EXPECT_EQ(-1, next->goneFirst);
         EXPECT_EQ(remembered, fileContent(seenFile()));
         host.events.clear();
         ASSERT_EQ(1, next->restoreStartupEntries());
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    seedTypical();
    machine::removeTree(seenFile());
    find();
    // The very first Find marks nothing, and remembers what it listed.
    EXPECT_EQ(Lines{}, marks());
    EXPECT_FALSE(engine.comparedEntries);
    EXPECT_TRUE(fileExists(seenFile()));
    c.between();
    host.events.clear();
    find();
    EXPECT_TRUE(engine.comparedEntries);
    EXPECT_EQ(c.marked, marks());
    EXPECT_TRUE(host.errors().empty());
    // The first gone line says since when; so does a new entry's status.
    if (!c.marked.empty() && c.marked[0].compare(0, 6, "gone: ") == 0)
      EXPECT_EQ(std::string("[Gone since ") + engine.changesSince + "]",
                host.texts()[engine.goneFirst - 1]);
    ASSERT_EQ(16u, strlen(engine.changesSince)) << engine.changesSince;  // "2026/12/09 13:05"
    // Compared again, nothing has changed since.
    find();
    EXPECT_EQ(Lines{}, marks());
    TearDown();
    SetUp();
  }
}

// The Find after a Disable (as the window runs it) keeps the user's last
// Find's "before": what was new stays new, disabled or not, and the file
// stays the one the user's Find wrote.
TEST_F(SeenTest, MarksStayOverADisableUntilTheNextFind) {
  seedTypical();
  find();
  machine::setString(HKEY_CURRENT_USER, kRun, "Added", "C:\\added.exe");
  find();
  const std::string remembered = fileContent(seenFile());
  ASSERT_EQ(Lines{"new: Added = C:\\added.exe"}, marks());
  ASSERT_EQ(1, engine.disableEntry(lineOf("Added = C:\\added.exe")));
  engine.keepRemembered = true;
  engine.findStartupEntries();
  engine.keepRemembered = false;
  EXPECT_EQ(Lines{"new: Registry - current_user, Run: Added = C:\\added.exe"}, marks());
  EXPECT_EQ(remembered, fileContent(seenFile()));
  find();
  EXPECT_EQ(Lines{}, marks());
}

// A remembered file that is not whole is set aside, said once, and never
// trusted; a report compares the same way, and a file that is none is said.
TEST_F(SeenTest, DamagedFileIsSetAsideAndReportsCompareToo) {
  seedTypical();
  find();
  std::string whole = fileContent(seenFile());
  machine::writeFile(seenFile(), whole.substr(0, whole.size() / 2));
  machine::setString(HKEY_CURRENT_USER, kRun, "Added", "C:\\added.exe");
  host.events.clear();
  find();
  EXPECT_EQ(Lines{}, marks());
  ASSERT_EQ(1u, host.events.size());
  EXPECT_NE(std::string::npos, host.events[0].text.find("It was set aside as "));
  EXPECT_EQ(whole.substr(0, whole.size() / 2), fileContent(seenFile() + ".damaged"));
  // The next Find compares with the file this one wrote.
  host.events.clear();
  find();
  EXPECT_TRUE(engine.comparedEntries);
  EXPECT_TRUE(host.events.empty());

  // Save's report of now, then a value gone and one added since.
  const std::string report = startup + "\\..\\report.txt";
  host.saveDialogPath = report;
  ASSERT_TRUE(engine.saveReport());
  machine::setString(HKEY_CURRENT_USER, kRun, "Later", "C:\\later.exe");
  machine::removeTree(commonStartup + "\\Common.lnk");
  host.openDialogPath = report;
  engine.compareWithReport();
  EXPECT_EQ((Lines{"new: Later = C:\\later.exe", "gone: Common.lnk"}), marks());
  EXPECT_EQ(10u, strlen(engine.changesSince));  // the report's date
  // A file that is not a report.
  host.events.clear();
  host.openDialogPath = seenFile();
  engine.compareWithReport();
  ASSERT_EQ(1u, host.events.size());
  EXPECT_EQ(0u, host.events[0].text.find("This file is not a report that Startlull saved: "));
  EXPECT_EQ(Lines{}, marks());
  machine::removeTree(report);
}

// Whichever call of a remembering Find fails or lies, and wherever such a
// Find is killed, the next Find finds a whole remembered file (the last one
// or the new one), says nothing, and lists none of it as disabled.
TEST_F(SeenTest, WhicheverCallFailsOrLiesOrIsKilledTheNextFindTrustsTheFile) {
  seedTypical();
  find();
  const std::string first = fileContent(seenFile());
  machine::setString(HKEY_CURRENT_USER, kRun, "Added", "C:\\added.exe");
  auto expectWhole = [&] {
    host.events.clear();
    find();
    EXPECT_TRUE(engine.comparedEntries);
    EXPECT_TRUE(host.events.empty()) << host.events[0].text;
    EXPECT_EQ(-1, lineOf("[Disabled by Startlull]"));
  };
  // Each run starts from the first Find's file and nothing beside it.
  auto reset = [&] {
    machine::writeFile(seenFile(), first);
    machine::removeTree(seenFile() + ".tmp");
    machine::removeTree(seenFile() + ".damaged");
  };
  reset();
  platform.log.clear();
  engine.findStartupEntries();
  const std::vector<CallRecord> calls = platform.log;
  for (bool lying : {false, true}) {
    std::vector<SweptFault> faults =
        lying ? lyingCalls(calls)
              : failingCalls(calls, [](Call) { return DWORD(ERROR_ACCESS_DENIED); });
    int survived = sweepFaults("Find", lying ? "lying" : "failing", faults,
                               [&](const SweptFault& fault) {
                                 reset();
                                 platform.log.clear();
                                 fault.arm(platform);
                                 engine.findStartupEntries();
                                 platform.clearFaults();
                                 if (!faultWentOff(platform.log, fault)) return false;
                                 expectWhole();
                                 return true;
                               });
    EXPECT_EQ(static_cast<int>(faults.size()), survived);
  }
  int killed = 0;
  for (int change = 1; change <= 50; ++change) {
    SCOPED_TRACE("killed after change " + std::to_string(change));
    reset();
    DWORD code = runTestInChild("SeenChild.FindUntilKilled", "STARTLULL_SEEN_KILL",
                                std::to_string(change));
    ASSERT_TRUE(code == kKilledExitCode || code == 0) << code;
    expectWhole();
    if (code == 0) break;
    ++killed;
  }
  EXPECT_GT(killed, 2);
  printf("Find: killed after each of %d changes\n", killed);
}

// Run by the test above in a new process: a remembering Find, ended right
// after the change the environment names.
TEST(SeenChild, FindUntilKilled) {
  std::string kill = environmentValue("STARTLULL_SEEN_KILL");
  if (kill.empty()) GTEST_SKIP() << "run by SeenTest";
  ChildEngine child;
  child.host.remembers = true;
  child.killAfterChanges(std::stoi(kill));
  child.engine.findStartupEntries();
}

}  // namespace

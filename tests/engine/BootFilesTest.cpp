#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/support/FaultPlatform.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestMachine.h"

namespace {

const char* const kBootFiles[] = {"c:\\config.sys", "c:\\config.hld", "c:\\autoexec.bat",
                                  "c:\\autoexec.hld"};

// Which of the four files exist, and with what content.
using Files = std::map<std::string, std::string>;
using Texts = std::vector<std::string>;

class BootFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { clean(); }
  void TearDown() override { clean(); }
  static void clean() {
    for (const char* path : kBootFiles) machine::removeTree(path);
  }
  static void seed(const Files& files) {
    for (const auto& file : files) machine::writeFile(file.first, file.second);
  }
  static Files present() {
    Files files;
    for (const char* path : kBootFiles)
      if (machine::exists(path)) files[path] = machine::readFile(path);
    return files;
  }
  std::vector<HostEvent> questions() const {
    std::vector<HostEvent> found;
    for (const HostEvent& event : host.events)
      if (event.kind == HostEvent::MESSAGE_BOX) found.push_back(event);
    return found;
  }

  Win32Platform real;
  FaultPlatform platform{real};
  RecordingHost host;
  Engine engine{platform, host};
};

TEST_F(BootFilesTest, ParkRenamesTickedFilesAndDropsOldParkedCopies) {
  struct Case {
    const char* name;
    int configSys, autoexecBat;
    Files before, after;
  };
  const Case cases[] = {
      {"config ticked, old parked copy replaced",
       1,
       0,
       {{"c:\\config.sys", "new"}, {"c:\\config.hld", "old"}},
       {{"c:\\config.hld", "new"}}},
      {"config ticked, no config.sys: the parked copy is kept",
       1,
       0,
       {{"c:\\config.hld", "old"}},
       {{"c:\\config.hld", "old"}}},
      {"nothing ticked",
       0,
       0,
       {{"c:\\config.sys", "c"}, {"c:\\autoexec.bat", "a"}, {"c:\\autoexec.hld", "old"}},
       {{"c:\\config.sys", "c"}, {"c:\\autoexec.bat", "a"}, {"c:\\autoexec.hld", "old"}}},
      {"both ticked",
       1,
       1,
       {{"c:\\config.sys", "c"}, {"c:\\autoexec.bat", "a"}},
       {{"c:\\config.hld", "c"}, {"c:\\autoexec.hld", "a"}}},
      {"autoexec ticked only",
       0,
       1,
       {{"c:\\config.sys", "c"}, {"c:\\autoexec.bat", "a"}},
       {{"c:\\config.sys", "c"}, {"c:\\autoexec.hld", "a"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clean();
    seed(c.before);
    engine.removeConfigSys = c.configSys;
    engine.removeAutoexecBat = c.autoexecBat;
    engine.parkBootFiles();
    EXPECT_EQ(c.after, present());
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.lines.empty());
  }
}

TEST_F(BootFilesTest, ParkReportsARenameThatFailsAndGoesOn) {
  seed({{"c:\\config.sys", "c"}, {"c:\\autoexec.bat", "a"}});
  platform.fail(Call::MoveFileA, "config.sys", ERROR_ACCESS_DENIED);
  engine.removeConfigSys = engine.removeAutoexecBat = 1;

  engine.parkBootFiles();

  ASSERT_EQ(1u, host.events.size());
  EXPECT_EQ(HostEvent::ERROR_REPORT, host.events[0].kind);
  EXPECT_EQ("Unable to rename config.sys to config.hld.", host.events[0].text);
  EXPECT_EQ("Startlull", host.events[0].caption);
  EXPECT_EQ(Files({{"c:\\config.sys", "c"}, {"c:\\autoexec.hld", "a"}}), present());
}

TEST_F(BootFilesTest, UnparkAsksBeforeReplacingAndReportsInTheListing) {
  struct Case {
    const char* name;
    Files before;
    std::vector<int> answers;
    Texts questions;
    Files after;
    Texts lines;
  };
  const char* const configQuestion = "Config.sys exists, overwrite it?";
  const char* const autoexecQuestion = "Autoexec.bat exists, overwrite it?";
  const char* const configDone = "Config.hld renamed to config.sys";
  const char* const autoexecDone = "Autoexec.hld renamed to autoexec.bat";
  const Case cases[] = {
      {"nothing parked", {{"c:\\config.sys", "c"}}, {}, {}, {{"c:\\config.sys", "c"}}, {}},
      {"both parked",
       {{"c:\\config.hld", "c"}, {"c:\\autoexec.hld", "a"}},
       {},
       {},
       {{"c:\\config.sys", "c"}, {"c:\\autoexec.bat", "a"}},
       {"", "", configDone, autoexecDone}},
      {"config: No keeps both, autoexec still comes back",
       {{"c:\\config.hld", "parked"}, {"c:\\config.sys", "new"}, {"c:\\autoexec.hld", "a"}},
       {IDNO},
       {configQuestion},
       {{"c:\\config.hld", "parked"}, {"c:\\config.sys", "new"}, {"c:\\autoexec.bat", "a"}},
       {autoexecDone}},
      {"config: Yes replaces",
       {{"c:\\config.hld", "parked"}, {"c:\\config.sys", "new"}},
       {IDYES},
       {configQuestion},
       {{"c:\\config.sys", "parked"}},
       {"", "", configDone}},
      {"only autoexec.hld: no question",
       {{"c:\\autoexec.hld", "a"}},
       {},
       {},
       {{"c:\\autoexec.bat", "a"}},
       {autoexecDone}},
      {"autoexec: No keeps both",
       {{"c:\\autoexec.hld", "parked"}, {"c:\\autoexec.bat", "new"}},
       {IDNO},
       {autoexecQuestion},
       {{"c:\\autoexec.hld", "parked"}, {"c:\\autoexec.bat", "new"}},
       {}},
      {"both asked, both Yes",
       {{"c:\\config.hld", "pc"},
        {"c:\\config.sys", "nc"},
        {"c:\\autoexec.hld", "pa"},
        {"c:\\autoexec.bat", "na"}},
       {IDYES, IDYES},
       {configQuestion, autoexecQuestion},
       {{"c:\\config.sys", "pc"}, {"c:\\autoexec.bat", "pa"}},
       {"", "", configDone, autoexecDone}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clean();
    seed(c.before);
    host.events.clear();
    host.lines.clear();
    host.messageBoxAnswers.assign(c.answers.begin(), c.answers.end());

    engine.unparkBootFiles();

    EXPECT_EQ(c.after, present());
    Texts asked;
    for (const HostEvent& question : questions()) {
      asked.push_back(question.text);
      EXPECT_EQ("Startlull", question.caption);
      EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), question.type);
    }
    EXPECT_EQ(c.questions, asked);
    EXPECT_EQ(c.lines, host.texts());
    for (const ListingLine& line : host.lines) EXPECT_EQ(plainColour, line.colour);
  }
}

TEST_F(BootFilesTest, UnparkSaysWhenAParkedFileCannotComeBack) {
  struct Case {
    const char* what;
    Call call;
    const char* match;
    DWORD error;
    std::vector<std::string> reports;
  } cases[] = {
      {"renames fail",
       Call::MoveFileA,
       "hld",
       ERROR_ACCESS_DENIED,
       {"Unable to rename config.hld to config.sys.",
        "Unable to rename autoexec.hld to autoexec.bat."}},
      {"a parked file cannot be looked for",
       Call::FindFirstFileA,
       "autoexec.hld",
       ERROR_ACCESS_DENIED,
       {"Unable to rename autoexec.hld to autoexec.bat."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    seed({{"c:\\config.hld", "c"}, {"c:\\autoexec.hld", "a"}});
    host.events.clear();
    host.lines.clear();
    platform.fail(c.call, c.match, c.error);

    EXPECT_EQ(0, engine.unparkBootFiles());
    platform.clearFaults();

    std::vector<std::string> reported;
    for (const HostEvent& event : host.events) reported.push_back(event.text);
    EXPECT_EQ(c.reports, reported);
  }
  EXPECT_EQ(Files({{"c:\\config.sys", "c"}, {"c:\\autoexec.hld", "a"}}), present());
}

}  // namespace

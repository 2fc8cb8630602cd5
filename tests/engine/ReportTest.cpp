#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/support/FaultPlatform.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestMachine.h"
#include "util/StrBuf.h"

namespace {

const char kFolder[] = "C:\\report-test";
const char kReport[] = "C:\\report-test\\StartlullData.txt";

// A listing store that cannot hand out one of its lines.
class UnreadableLineHost : public RecordingHost {
 public:
  int unreadable = -1;
  bool listingLine(int index, StrBuf& text) override {
    if (index == unreadable) return false;
    return RecordingHost::listingLine(index, text);
  }
};

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine::removeTree(kFolder);
    machine::makeDir(kFolder);
    platform.setVersion(VER_PLATFORM_WIN32_NT, 5, 1);
    engine.probeSystem();
    host.saveDialogPath = kReport;
  }
  void TearDown() override { machine::removeTree(kFolder); }

  void list(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) host.addListingLine(line.c_str(), headingColour);
  }

  // The three heading lines and the empty line, built from the system.
  static std::string heading(const SYSTEMTIME& day) {
    char date[16];
    wsprintfA(date, "%04u/%02u/%02u", day.wYear, day.wMonth, day.wDay);
    char user[256] = "";
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    return std::string(date) +
           "\r\nYour Operating system is Windows XP.\r\nCurrent user:  " + user + "\r\n\r\n";
  }
  // Saves, and compares with the heading of the day before or after the save.
  void expectReport(const std::string& body) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    engine.saveReport();
    GetLocalTime(&after);
    std::string written = machine::readFile(kReport);
    if (written != heading(before) + body) {
      EXPECT_EQ(heading(after) + body, written);
    }
  }

  Win32Platform real;
  FaultPlatform platform{real};
  UnreadableLineHost host;
  Engine engine{platform, host};
};

TEST_F(ReportTest, EmptyListingWritesTheHeadingOnly) { expectReport(""); }

TEST_F(ReportTest, EveryLineWholeWithCrLfAndNothingAfter) {
  const std::string longLine(600, 'v');
  list({"", "[Win.ini]", "run=", "", "[Registry - current_user, Run]", "Tool = " + longLine});
  expectReport("\r\n[Win.ini]\r\nrun=\r\n\r\n[Registry - current_user, Run]\r\nTool = " + longLine +
               "\r\n");
}

TEST_F(ReportTest, ListingLargerThanTheFirstReservationIsWrittenWhole) {
  std::string body;
  for (int i = 0; i < 400; ++i) {
    std::string line = std::to_string(i) + std::string(300, 'x');
    host.addListingLine(line.c_str(), plainColour);
    body += line + "\r\n";
  }
  expectReport(body);
}

TEST_F(ReportTest, ReplacesAnExistingFile) {
  machine::writeFile(kReport, std::string(5000, 'o'));
  list({"only"});
  expectReport("only\r\n");
}

TEST_F(ReportTest, CancelWritesNothing) {
  host.saveDialogPath.clear();
  list({"line"});
  engine.saveReport();
  EXPECT_FALSE(platform.called(Call::CreateFileA));
  EXPECT_EQ(std::vector<std::string>(), machine::listDir(kFolder));
  ASSERT_EQ(1u, host.events.size());
  EXPECT_EQ(HostEvent::SAVE_DIALOG, host.events[0].kind);
}

TEST_F(ReportTest, OfferedNameIsTheDefault) {
  struct NameCheckingHost : UnreadableLineHost {
    std::string offered;
    bool saveFileDialog(char* path, int size) override {
      offered = path;
      EXPECT_EQ(260, size);
      return false;
    }
  } checking;
  Engine other(platform, checking);
  other.saveReport();
  EXPECT_EQ("StartlullData.txt", checking.offered);
}

TEST_F(ReportTest, UnreadableLineWritesNoHalfReport) {
  list({"one", "two", "three"});
  host.unreadable = 1;
  engine.saveReport();
  EXPECT_FALSE(machine::exists(kReport));
}

TEST_F(ReportTest, SaysNothingWhenTheFileCannotBeWritten) {
  platform.fail(Call::CreateFileA, "StartlullData", ERROR_ACCESS_DENIED);
  list({"line"});
  engine.saveReport();
  EXPECT_FALSE(machine::exists(kReport));
  EXPECT_EQ(1u, host.events.size());  // the dialog alone
}

}  // namespace

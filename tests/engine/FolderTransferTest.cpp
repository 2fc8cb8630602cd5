#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/support/FaultPlatform.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestMachine.h"

namespace {

const char kRoot[] = "C:\\transfer-test";
const char kFrom[] = "C:\\transfer-test\\Startup";
const char kTo[] = "C:\\transfer-test\\Startup-Inactive";
const DWORD kHiddenSystemReadOnly =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;

using Names = std::vector<std::string>;

class FolderTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine::removeTree(kRoot);
    machine::makeDir(kRoot);
    machine::makeDir(kFrom);
    machine::makeDir(kTo);
  }
  void TearDown() override { machine::removeTree(kRoot); }

  static std::string in(const char* folder, const std::string& name) {
    return std::string(folder) + "\\" + name;
  }
  void seed(const Names& names) {
    for (const std::string& name : names) machine::writeFile(in(kFrom, name), name);
  }

  Win32Platform real;
  FaultPlatform platform{real};
  RecordingHost host;
  Engine engine{platform, host};
};

TEST_F(FolderTransferTest, EmptyFolderMovesNothing) {
  EXPECT_EQ(1, engine.moveFolderContents(kFrom, kTo));
  EXPECT_FALSE(platform.called(Call::MoveFileA));
  EXPECT_TRUE(host.events.empty());
}

TEST_F(FolderTransferTest, MovesFilesNotFoldersKeepingAttributes) {
  seed({"a.lnk", "b.lnk"});
  machine::writeFile(in(kFrom, "desktop.ini"), "[.ShellClassInfo]", kHiddenSystemReadOnly);
  machine::makeDir(in(kFrom, "Sub"));
  machine::writeFile(in(kFrom, "Sub\\inner.lnk"), "inner");

  ASSERT_EQ(kHiddenSystemReadOnly,
            GetFileAttributesA(in(kFrom, "desktop.ini").c_str()) & kHiddenSystemReadOnly);

  EXPECT_EQ(1, engine.moveFolderContents(kFrom, kTo));

  EXPECT_EQ(Names({"Sub"}), machine::listDir(kFrom));
  EXPECT_EQ(Names({"inner.lnk"}), machine::listDir(in(kFrom, "Sub")));
  EXPECT_EQ(Names({"a.lnk", "b.lnk", "desktop.ini"}), machine::listDir(kTo));
  EXPECT_EQ("[.ShellClassInfo]", machine::readFile(in(kTo, "desktop.ini")));
  // Wine shows every plain file as archive, so only these bits can tell.
  EXPECT_EQ(0u, GetFileAttributesA(in(kTo, "a.lnk").c_str()) & kHiddenSystemReadOnly);
  EXPECT_EQ(kHiddenSystemReadOnly,
            GetFileAttributesA(in(kTo, "desktop.ini").c_str()) & kHiddenSystemReadOnly);
  EXPECT_TRUE(host.events.empty());

  // And back again, still as they were.
  EXPECT_EQ(1, engine.moveFolderContents(kTo, kFrom));
  EXPECT_EQ(Names({"Sub", "a.lnk", "b.lnk", "desktop.ini"}), machine::listDir(kFrom));
  EXPECT_EQ(kHiddenSystemReadOnly,
            GetFileAttributesA(in(kFrom, "desktop.ini").c_str()) & kHiddenSystemReadOnly);
}

TEST_F(FolderTransferTest, FileInUseAsksAndOkOrCancelDecide) {
  struct Case {
    int answer;
    int result;
    Names leftInSource;
    Names arrived;
  };
  const Case cases[] = {
      {IDOK, 1, {"b.lnk"}, {"a.lnk", "c.lnk"}},
      {IDCANCEL, 0, {"b.lnk", "c.lnk"}, {"a.lnk"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer == IDOK ? "OK" : "Cancel");
    SetUp();
    host.events.clear();
    seed({"a.lnk", "b.lnk", "c.lnk"});
    HANDLE held =
        CreateFileA(in(kFrom, "b.lnk").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    host.messageBoxAnswers = {c.answer};

    EXPECT_EQ(c.result, engine.moveFolderContents(kFrom, kTo));
    CloseHandle(held);

    ASSERT_EQ(1u, host.events.size());
    EXPECT_EQ(HostEvent::MESSAGE_BOX, host.events[0].kind);
    EXPECT_EQ("Can't copy - error #32", host.events[0].text);
    EXPECT_EQ("b.lnk", host.events[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION), host.events[0].type);
    EXPECT_EQ(c.leftInSource, machine::listDir(kFrom));
    EXPECT_EQ(c.arrived, machine::listDir(kTo));
    // The search is closed on the Cancel path too.
    EXPECT_EQ(1, platform.count(Call::FindClose));
    platform.log.clear();
  }
}

TEST_F(FolderTransferTest, DuplicateKeepsDestinationAndDropsSource) {
  machine::writeFile(in(kTo, "a.lnk"), "already there");
  seed({"b.lnk"});
  machine::writeFile(in(kFrom, "a.lnk"), "a.lnk", FILE_ATTRIBUTE_READONLY);  // goes all the same

  EXPECT_EQ(1, engine.moveFolderContents(kFrom, kTo));

  EXPECT_EQ(Names(), machine::listDir(kFrom));
  EXPECT_EQ(Names({"a.lnk", "b.lnk"}), machine::listDir(kTo));
  EXPECT_EQ("already there", machine::readFile(in(kTo, "a.lnk")));
  EXPECT_TRUE(host.events.empty());
}

TEST_F(FolderTransferTest, OtherMoveErrorsNameTheirNumber) {
  seed({"a.lnk"});
  platform.fail(Call::MoveFileA, "a.lnk", ERROR_ACCESS_DENIED);

  EXPECT_EQ(1, engine.moveFolderContents(kFrom, kTo));

  ASSERT_EQ(1u, host.events.size());
  EXPECT_EQ("Can't copy - error #5", host.events[0].text);
  EXPECT_EQ(Names({"a.lnk"}), machine::listDir(kFrom));
}

TEST_F(FolderTransferTest, NothingToSearchMovesNothing) {
  struct Case {
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"C:\\transfer-test\\missing", kTo},
      {"", kTo},
      {kFrom, ""},
      {"", ""},
  };
  seed({"a.lnk"});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
    platform.log.clear();
    EXPECT_EQ(1, engine.moveFolderContents(c.from, c.to));
    EXPECT_FALSE(platform.called(Call::MoveFileA));
    EXPECT_FALSE(platform.called(Call::DeleteFileA));
  }
  // An empty path never turns into the drive's root.
  for (const CallRecord& call : platform.log) EXPECT_NE("\\*.*", call.arg);
  EXPECT_EQ(Names({"a.lnk"}), machine::listDir(kFrom));
  EXPECT_TRUE(host.events.empty());
}

TEST_F(FolderTransferTest, JoinedPathsLongerThanMaxPathAreNotCut) {
  // Folder and name fit MAX_PATH each, but not together. The move must name
  // the real file: Wine takes such paths; Windows refuses them with an error
  // that is then shown. A cut name would move the wrong file, or none.
  const std::string longName(200, 'n');
  const std::string deepTo = std::string(kTo) + "\\" + std::string(100, 'd');
  machine::makeDir(deepTo);
  machine::writeFile(in(kFrom, longName), "x");
  ASSERT_TRUE(machine::exists(in(kFrom, longName)));

  EXPECT_EQ(1, engine.moveFolderContents(kFrom, deepTo.c_str()));

  if (host.events.empty()) {
    EXPECT_EQ(Names(), machine::listDir(kFrom));
    EXPECT_EQ(Names({longName}), machine::listDir(deepTo));
    // Wine's DeleteFileA takes no path past MAX_PATH; the wide call does.
    const std::string arrived = deepTo + "\\" + longName;
    EXPECT_TRUE(DeleteFileW(std::wstring(arrived.begin(), arrived.end()).c_str()));
  } else {
    EXPECT_EQ(0u, host.events[0].text.find("Can't copy - error #"));
    EXPECT_EQ(Names({longName}), machine::listDir(kFrom));
    EXPECT_EQ(Names(), machine::listDir(deepTo));
  }
}

}  // namespace

// TextBuffer's files, through the platform, on the real file system.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/FaultPlatform.h"
#include "tests/support/TestMachine.h"
#include "util/StrBuf.h"
#include "util/TextBuffer.h"

namespace {

class TextBufferFileTest : public ::testing::Test {
 protected:
  TextBufferFileTest() : platform(real) {}
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + "textbuffer-test.txt";
    DeleteFileA(path.c_str());
  }
  void TearDown() override { DeleteFileA(path.c_str()); }

  Win32Platform real;
  FaultPlatform platform;
  std::string path;
};

TEST_F(TextBufferFileTest, WritesExactlyTheTextAndReadsItBack) {
  TextBuffer out;
  ASSERT_EQ(1, out.reserve(64000, 32000));
  out.append("\r\n[Win.ini]\r\nrun = a.exe\tb.exe\r\n");
  ASSERT_EQ(1, out.writeTo(platform, path.c_str()));
  EXPECT_EQ("\r\n[Win.ini]\r\nrun = a.exe\tb.exe\r\n", machine::readFile(path));
  EXPECT_TRUE(platform.called(Call::FlushFileBuffers));

  TextBuffer in;
  ASSERT_EQ(1, in.open(platform, path.c_str(), 260));
  EXPECT_EQ(2u + in.length, in.capacity);
  char line[260];
  in.readLine(line);
  EXPECT_STREQ("", line);
  in.readLine(line);
  EXPECT_STREQ("[Win.ini]", line);
  in.readLine(line);
  EXPECT_STREQ("run = a.exe     b.exe", line);
  EXPECT_TRUE(in.atEnd());
}

TEST_F(TextBufferFileTest, AnEmptyBufferEmptiesTheFile) {
  machine::writeFile(path, "old content");
  TextBuffer out;
  ASSERT_EQ(1, out.reserve(64000, 32000));
  EXPECT_EQ(1, out.writeTo(platform, path.c_str()));
  EXPECT_TRUE(machine::exists(path));
  EXPECT_EQ("", machine::readFile(path));
}

TEST_F(TextBufferFileTest, ShortOrUnflushedWritesAreFailures) {
  TextBuffer out;
  ASSERT_EQ(1, out.reserve(64, 32));
  out.append("0123456789");
  platform.fail(Call::WriteFile, "textbuffer-test", ERROR_DISK_FULL, 0, 1, true);
  EXPECT_EQ(0, out.writeTo(platform, path.c_str()));
  EXPECT_EQ("01234", machine::readFile(path));  // what the disk took is left
  platform.fail(Call::FlushFileBuffers, "textbuffer-test", ERROR_DISK_FULL, 0, 1);
  EXPECT_EQ(0, out.writeTo(platform, path.c_str()));
  platform.fail(Call::CreateFileA, "textbuffer-test", ERROR_ACCESS_DENIED, 0, 1);
  EXPECT_EQ(0, out.writeTo(platform, path.c_str()));
  EXPECT_EQ(1, out.writeTo(platform, path.c_str()));
  EXPECT_EQ("0123456789", machine::readFile(path));
}

TEST_F(TextBufferFileTest, OpeningMissingEmptyAndUnreadableFiles) {
  TextBuffer in;
  EXPECT_EQ(0, in.open(platform, path.c_str(), 260));
  EXPECT_EQ(nullptr, in.data);

  machine::writeFile(path, "");
  EXPECT_EQ(1, in.open(platform, path.c_str(), 260));
  EXPECT_TRUE(in.atEnd());

  machine::writeFile(path, "text");
  platform.fail(Call::ReadFile, "textbuffer-test", ERROR_READ_FAULT, 0, 1);
  EXPECT_EQ(0, in.open(platform, path.c_str(), 260));
  EXPECT_EQ(nullptr, in.data);
  EXPECT_EQ(2, platform.count(Call::CloseHandle));  // every handle opened is closed
}

}  // namespace

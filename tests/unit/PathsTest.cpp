#include "util/Paths.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

std::string stripped(const char* path) {
  char buffer[300];
  copyText(buffer, sizeof buffer, path);
  stripFileName(buffer);
  return buffer;
}

std::string withoutExtension(const char* name) {
  char buffer[300];
  copyText(buffer, sizeof buffer, name);
  stripExtension(buffer);
  return buffer;
}

TEST(Paths, StripFileName) {
  EXPECT_EQ("C:\\A\\", stripped("C:\\A\\B"));
  EXPECT_EQ("C:\\A\\B\\", stripped("C:\\A\\B\\"));
  EXPECT_EQ("C:", stripped("C:B"));
  EXPECT_EQ("", stripped("B"));
  EXPECT_EQ("", stripped("\\B"));  // the first character is never a separator
  EXPECT_EQ("a/", stripped("a/b"));
  EXPECT_EQ("", stripped(""));
}

TEST(Paths, StripExtension) {
  EXPECT_EQ("report", withoutExtension("report"));
  EXPECT_EQ("report", withoutExtension("report.log"));
  EXPECT_EQ("my.data", withoutExtension("my.data.csv"));
  EXPECT_EQ("C:\\Data.old\\report", withoutExtension("C:\\Data.old\\report"));
  EXPECT_EQ("", withoutExtension(".profile"));
  EXPECT_EQ("", withoutExtension(""));
}

TEST(Paths, FindChar) {
  EXPECT_EQ(2, findChar("C:\\WINDOWS", '\\'));
  EXPECT_EQ(-1, findChar("C:", '\\'));
  EXPECT_EQ(-1, findChar("", '\\'));
}

TEST(Paths, BoundedCopiesNeverOverflow) {
  char buffer[8];
  memset(buffer, '#', sizeof buffer);
  EXPECT_TRUE(copyText(buffer, 8, "1234567"));
  EXPECT_STREQ("1234567", buffer);
  EXPECT_FALSE(copyText(buffer, 8, "123456789"));
  EXPECT_STREQ("1234567", buffer);
  EXPECT_TRUE(copyText(buffer, 8, "ab"));
  EXPECT_FALSE(appendText(buffer, 8, "cdefghij"));
  EXPECT_STREQ("abcdefg", buffer);
  EXPECT_FALSE(appendText(buffer, 8, "x"));
  EXPECT_STREQ("abcdefg", buffer);
}

}  // namespace

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "util/pure/NumberText.h"

namespace {

TEST(NumberText, FormatDate) {
  struct Case {
    unsigned year;
    int month, day;
    const char* expected;
  };
  const Case cases[] = {
      {2006, 3, 7, "2006/03/07"},   {2006, 12, 25, "2006/12/25"},   {1999, 1, 1, "1999/01/01"},
      {2000, 10, 31, "2000/10/31"}, {65535, 12, 31, "65535/12/31"},
  };
  for (const Case& c : cases) {
    char out[DATE_TEXT_SIZE];
    memset(out, '#', sizeof out);
    formatDate(c.year, c.month, c.day, out, sizeof out);
    EXPECT_STREQ(c.expected, out);
  }
}

TEST(NumberText, FormatDateStaysInsideItsBuffer) {
  char out[8];
  memset(out, '#', sizeof out);
  formatDate(2006, 3, 7, out, 6);
  EXPECT_STREQ("2006/", out);
  EXPECT_EQ('#', out[6]);
}

TEST(NumberText, TwoDigits) {
  struct Case {
    int number;
    const char* expected;
  };
  const Case cases[] = {{0, "00"}, {7, "07"}, {10, "10"}, {99, "99"}, {123, "23"}};
  for (const Case& c : cases) {
    char out[4] = "###";
    char* end = twoDigits(c.number, out);
    EXPECT_EQ(out + 2, end);
    EXPECT_EQ('#', out[2]);
    out[2] = '\0';
    EXPECT_STREQ(c.expected, out) << c.number;
  }
}

TEST(NumberText, AppendDecimal) {
  struct Case {
    const char* start;
    unsigned long value;
    size_t size;
    const char* expected;
    bool whole;
  };
  const Case cases[] = {
      {"error #", 32, 20, "error #32", true},
      {"", 0, 20, "0", true},
      {"", 4294967295ul, 20, "4294967295", true},
      {"#", 12345, 4, "#12", false},
  };
  for (const Case& c : cases) {
    char out[24];
    strcpy(out, c.start);
    EXPECT_EQ(c.whole, appendDecimal(out, c.size, c.value));
    EXPECT_STREQ(c.expected, out);
  }
}

}  // namespace

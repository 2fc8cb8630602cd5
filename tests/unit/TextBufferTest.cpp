#include "util/TextBuffer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "util/StrBuf.h"

namespace {

// Reads every line of text through the fixed-size reader.
std::vector<std::string> lines(const std::string& text, int lineSize,
                               std::vector<int>* truncated = nullptr, bool tabs = true) {
  TextBuffer buffer;
  buffer.maxLineSize = lineSize;
  buffer.expandTabs = tabs ? 1 : 0;
  EXPECT_EQ(1, buffer.loadBytes(text.data(), static_cast<unsigned>(text.size()), 2));
  std::vector<std::string> result;
  std::vector<char> out(static_cast<size_t>(lineSize) + 16, '#');
  while (!buffer.atEnd()) {
    buffer.readLine(out.data());
    result.push_back(out.data());
    if (truncated) truncated->push_back(buffer.lineTruncated);
  }
  return result;
}

using Lines = std::vector<std::string>;

TEST(TextBufferBuilding, GrowsOnceWhenTheTerminatorNoLongerFits) {
  TextBuffer buffer;
  ASSERT_EQ(1, buffer.reserve(64000, 32000));
  std::string chunk(999, 'x');
  for (int i = 0; i < 64; ++i) buffer.append(chunk.c_str());  // 63936 bytes
  buffer.append(std::string(63, 'y').c_str());                // 63999: one byte short
  EXPECT_EQ(64000u, buffer.capacity);
  EXPECT_EQ(63999u, buffer.length);
  buffer.append("z");
  EXPECT_EQ(96000u, buffer.capacity);
  EXPECT_EQ(64000u, buffer.length);
  EXPECT_EQ(0, buffer.failed);
  EXPECT_EQ('\0', buffer.data[buffer.length]);
}

void* failingRealloc(void* block, size_t size) {
  return block == nullptr ? realloc(block, size) : nullptr;  // first block only
}

TEST(TextBufferBuilding, FailedGrowthKeepsTheTextAndStaysFailed) {
  TextBuffer buffer;
  buffer.reallocate = failingRealloc;
  ASSERT_EQ(1, buffer.reserve(8, 8));
  buffer.append("abcdef");
  buffer.append("ghij");  // needs growth, which fails
  EXPECT_EQ(1, buffer.failed);
  EXPECT_STREQ("abcdef", buffer.data);
  buffer.append("k");  // fits without growth
  EXPECT_STREQ("abcdefk", buffer.data);
  EXPECT_EQ(1, buffer.failed);
}

TEST(TextBufferBuilding, AppendWithoutBlockFails) {
  TextBuffer buffer;
  buffer.append("x");
  EXPECT_EQ(1, buffer.failed);
}

TEST(TextBufferBuilding, TextLongerThanTheStepStillFits) {
  TextBuffer buffer;
  ASSERT_EQ(1, buffer.reserve(16, 8));
  std::string big(100, 'q');
  buffer.append(big.c_str());
  EXPECT_EQ(0, buffer.failed);
  EXPECT_EQ(big, std::string(buffer.data, buffer.length));
}

TEST(TextBufferReading, LineEnds) {
  EXPECT_EQ((Lines{"abc", "def"}), lines("abc\r\ndef", 260));
  EXPECT_EQ((Lines{"ab"}), lines("a\rb\n", 260));
  EXPECT_EQ((Lines{"one", "", "three"}), lines("one\r\n\r\nthree\r\n", 260));
  EXPECT_EQ((Lines{"last"}), lines("last", 260));
  EXPECT_EQ((Lines{}), lines("", 260));
}

TEST(TextBufferReading, TabsExpandToStopsOfEight) {
  EXPECT_EQ((Lines{"abc     d"}), lines("abc\td", 260));
  EXPECT_EQ((Lines{"12345678        x"}), lines("12345678\tx", 260));
  EXPECT_EQ((Lines{"a\tb"}), lines("a\tb", 260, nullptr, false));
}

TEST(TextBufferReading, FullLinesAreHandedOutInPieces) {
  std::vector<int> truncated;
  Lines got = lines(std::string(300, 'a') + "\r\n", 260, &truncated);
  ASSERT_EQ(2u, got.size());
  EXPECT_EQ(259u, got[0].size());
  EXPECT_EQ(41u, got[1].size());
  EXPECT_EQ((std::vector<int>{1, 0}), truncated);

  truncated.clear();
  got = lines(std::string(259, 'b') + "\r\n", 260, &truncated);
  EXPECT_EQ((Lines{std::string(259, 'b'), ""}), got);
  EXPECT_EQ((std::vector<int>{1, 0}), truncated);
}

TEST(TextBufferReading, TabThatFillsTheLineIsConsumed) {
  std::vector<int> truncated;
  Lines got = lines("abcdef\tz", 8, &truncated);
  EXPECT_EQ((Lines{"abcdef ", "z"}), got);
  EXPECT_EQ((std::vector<int>{1, 0}), truncated);
}

TEST(TextBufferReading, WholeLinesOfAnyLength) {
  std::string longLine(100000, 'x');
  std::string text = longLine + "\r\nshort\tand tabbed\r\n";
  TextBuffer buffer;
  buffer.expandTabs = 0;
  ASSERT_EQ(1, buffer.loadBytes(text.data(), static_cast<unsigned>(text.size()), 2));
  StrBuf line;
  ASSERT_TRUE(buffer.readLine(line));
  EXPECT_EQ(longLine, line.c_str());
  ASSERT_TRUE(buffer.readLine(line));
  EXPECT_STREQ("short\tand tabbed", line.c_str());
  EXPECT_TRUE(buffer.atEnd());
}

}  // namespace

#include "util/pure/Switches.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string str(const StrBuf& text) { return std::string(text.c_str(), text.length()); }

std::vector<std::string> split(const char* arguments, LeadByteTest isLeadByte = nullptr) {
  std::vector<std::string> out;
  StrBuf argument;
  const char* pos = arguments;
  while (nextArgument(&pos, isLeadByte, argument)) out.push_back(str(argument));
  EXPECT_EQ('\0', *pos);
  return out;
}

// As MSVCRT 6 splits them for main(): the C runtime of Windows 98, 2000 and XP.
TEST(Switches, SplitsArgumentsAsTheCRuntime) {
  struct Case {
    const char* line;
    std::vector<std::string> arguments;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"a b", {"a", "b"}},
      {" \ta\t\tb  ", {"a", "b"}},
      {"\"abc\" d e", {"abc", "d", "e"}},
      {"\"C:\\My Reports\\today.txt\"", {"C:\\My Reports\\today.txt"}},
      {"C:\\\\\"My Reports\"\\today.txt", {"C:\\My Reports\\today.txt"}},
      {"C:\\\"My Reports\"\\today.txt", {"C:\"My", "Reports\\today.txt"}},
      {"a\\\\b d\"e f\"g h", {"a\\\\b", "de fg", "h"}},
      {"a\\\\\\\"b c d", {"a\\\"b", "c", "d"}},
      {"a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e"}},
      {"\"C:\\Reports\\\\\" x", {"C:\\Reports\\", "x"}},
      {"\"C:\\Reports\\\" x", {"C:\\Reports\" x"}},  // \" is a quote kept: still quoted
      {"\"\"", {""}},
      {"\"\" a", {"", "a"}},
      {"a\"\"b", {"ab"}},
      {"\"a\"\"b c\" d", {"a\"b", "c d"}},  // "" inside quotes: a quote, and the quotes end
      {"\"a b", {"a b"}},                   // an unclosed quote runs to the end
      {"a\\", {"a\\"}},
      {"\\\\server\\share\\x.txt", {"\\\\server\\share\\x.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(c.arguments, split(c.line));
  }
}

bool shiftJisLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A trail byte can be a backslash (0x5C) in a two-byte code page: it is no
// escape there.
TEST(Switches, ATwoByteCharacterIsNeverAnEscape) {
  const char line[] = "\"C:\\\x95\\\" next";  // "C:\<0x95 0x5C>" next
  EXPECT_EQ(std::vector<std::string>({"C:\\\x95\\", "next"}), split(line, shiftJisLead));
  EXPECT_EQ(std::vector<std::string>({"C:\\\x95\" next"}), split(line, nullptr));
  // A lead byte at the very end takes no terminator with it.
  EXPECT_EQ(std::vector<std::string>({"a\x95"}), split("a\x95", shiftJisLead));
}

TEST(Switches, SkipsTheProgramName) {
  struct Case {
    const char* line;
    const char* rest;
  } cases[] = {
      {"startlull.exe /find", " /find"},
      {"\"C:\\Program Files\\Startlull\\startlull.exe\" /save \"a b.txt\"", " /save \"a b.txt\""},
      {"\"C:\\Tools\\\" /find", " /find"},  // no escape in the program's name
      {"\"startlull\"/find", "/find"},
      {"startlull\t/find", "\t/find"},
      {"startlull", ""},
      {"\"start lull", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_STREQ(c.rest, skipProgramName(c.line, nullptr));
  }
  const char twoByte[] = "\"C:\\\x95\"x\" /find";  // the quote after 0x95 is its trail byte
  EXPECT_STREQ(" /find", skipProgramName(twoByte, shiftJisLead));
}

struct SwitchCase {
  const char* line;
  SwitchesAction action;
  SwitchesError error;
  const char* named;
  const char* saveFile;
  const char* compareFile;
  bool quiet;
};

TEST(Switches, ReadsEachFormAndEachFault) {
  SwitchCase cases[] = {
      {"", SWITCHES_WINDOW, SWITCHES_FINE, "", "", "", false},
      {"/find", SWITCHES_FIND, SWITCHES_FINE, "", "", "", false},
      {"-FIND", SWITCHES_FIND, SWITCHES_FINE, "", "", "", false},
      {"/Save out.txt", SWITCHES_SAVE, SWITCHES_FINE, "", "out.txt", "", false},
      {"/save \"C:\\My Reports\\a b.txt\" /quiet", SWITCHES_SAVE, SWITCHES_FINE, "",
       "C:\\My Reports\\a b.txt", "", true},
      {"/compare old.txt", SWITCHES_COMPARE, SWITCHES_FINE, "", "", "old.txt", false},
      {"-compare old.txt -save diff.txt -quiet", SWITCHES_COMPARE, SWITCHES_FINE, "", "diff.txt",
       "old.txt", true},
      {"/QUIET /save a /COMPARE b", SWITCHES_COMPARE, SWITCHES_FINE, "", "a", "b", true},
      {"/save -out.txt", SWITCHES_SAVE, SWITCHES_FINE, "", "-out.txt", "", false},
      {"/save /reports/out.txt", SWITCHES_SAVE, SWITCHES_FINE, "", "/reports/out.txt", "", false},
      {"/?", SWITCHES_HELP, SWITCHES_FINE, "", "", "", false},
      {"-?", SWITCHES_HELP, SWITCHES_FINE, "", "", "", false},
      {"/x /?", SWITCHES_HELP, SWITCH_UNKNOWN, "/x", "", "", false},
      {"/x", SWITCHES_WRONG, SWITCH_UNKNOWN, "/x", "", "", false},
      {"/", SWITCHES_WRONG, SWITCH_UNKNOWN, "/", "", "", false},
      {"--save a", SWITCHES_WRONG, SWITCH_UNKNOWN, "--save", "", "", false},
      {"/save:a.txt", SWITCHES_WRONG, SWITCH_UNKNOWN, "/save:a.txt", "", "", false},
      {"/save", SWITCHES_WRONG, SWITCH_NEEDS_FILE, "/save", "", "", false},
      {"/Compare /quiet", SWITCHES_WRONG, SWITCH_NEEDS_FILE, "/Compare", "", "", true},
      {"/save \"\" x", SWITCHES_WRONG, SWITCH_NEEDS_FILE, "/save", "", "", false},
      {"/find /save a", SWITCHES_WRONG, SWITCH_FIND_AND_FILE, "/find", "a", "", false},
      {"/compare a /find", SWITCHES_WRONG, SWITCH_FIND_AND_FILE, "/find", "", "a", false},
      {"/save a /save b", SWITCHES_WRONG, SWITCH_TWICE, "/save", "a", "", false},
      {"/find -Find", SWITCHES_WRONG, SWITCH_TWICE, "-Find", "", "", false},
      {"/quiet", SWITCHES_WRONG, SWITCH_QUIET_ALONE, "/quiet", "", "", true},
      {"/find /quiet", SWITCHES_WRONG, SWITCH_QUIET_ALONE, "/quiet", "", "", true},
      {"report.txt", SWITCHES_WRONG, SWITCH_NOT_A_SWITCH, "report.txt", "", "", false},
      {"/save a b", SWITCHES_WRONG, SWITCH_NOT_A_SWITCH, "b", "a", "", false},
      {"/x /save", SWITCHES_WRONG, SWITCH_UNKNOWN, "/x", "", "", false},  // the first fault
      {"/bad /quiet /save a", SWITCHES_WRONG, SWITCH_UNKNOWN, "/bad", "a", "", true},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.line);
    Switches switches;
    switches.saveFile.assign("left over");
    parseSwitches(c.line, nullptr, switches);
    EXPECT_EQ(c.action, switches.action);
    EXPECT_EQ(c.error, switches.error);
    EXPECT_EQ(c.named, str(switches.named));
    EXPECT_EQ(c.saveFile, str(switches.saveFile));
    EXPECT_EQ(c.compareFile, str(switches.compareFile));
    EXPECT_EQ(c.quiet, switches.quiet);
  }
}

TEST(Switches, ReadTheWholeCommandLinePastTheProgramName) {
  Switches switches;
  parseSwitches(
      skipProgramName("\"C:\\Start Lull\\startlull.exe\" /save \"C:\\a b\\r.txt\"", nullptr),
      nullptr, switches);
  EXPECT_EQ(SWITCHES_SAVE, switches.action);
  EXPECT_EQ("C:\\a b\\r.txt", str(switches.saveFile));
}

TEST(Switches, SaysWhatIsWrong) {
  struct Case {
    const char* line;
    const char* message;
  } cases[] = {
      {"/x", "Unknown switch: /x"},
      {"/save", "/save needs a file name after it."},
      {"/find /find", "/find is given more than once."},
      {"/find /compare a", "/find opens the window: it goes with neither /save nor /compare."},
      {"/quiet", "/quiet goes with /save or /compare."},
      {"a.txt", "Not a switch: a.txt"},
      {"/save a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Switches switches;
    parseSwitches(c.line, nullptr, switches);
    StrBuf message;
    ASSERT_TRUE(appendSwitchesError(message, switches));
    EXPECT_EQ(c.message, str(message));
  }
  // The list names every switch.
  for (const char* name : {"/find", "/save FILE", "/compare FILE", "/quiet", "/?"})
    EXPECT_NE(nullptr, strstr(kSwitchesHelp, name)) << name;
}

}  // namespace

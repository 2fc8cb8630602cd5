#include "util/pure/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A file system of the given files (names compared case-insensitively);
// remembers every path asked about, in order.
class FakeFiles : public FileProbe {
 public:
  explicit FakeFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) files_.insert(lower(file));
  }
  bool isFile(const char* path) override {
    asked.push_back(path);
    return files_.count(lower(path)) > 0;
  }
  std::vector<std::string> asked;

 private:
  std::set<std::string> files_;
};

// The literal's own terminator ends the list.
const char kDirs[] = "C:\\WINDOWS\0C:\\WINDOWS\\SYSTEM\0C:\\Tools\\\0";
const std::string kZeta = "C:\\Program Files\\Zeta\\z.exe";
const std::string kSystem = "C:\\WINDOWS\\SYSTEM\\";

TEST(CommandLine, ResolvesAsWindowsStartsIt) {
  struct Case {
    const char* name;
    std::string command;
    std::vector<std::string> files;
    bool found;
    std::string program;
  } cases[] = {
      {"quoted path with arguments", "\"" + kZeta + "\" /min", {kZeta}, true, kZeta},
      {"quoted path missing", "\"" + kZeta + "\" /min", {}, false, kZeta},
      {"quoted path with blanks inside the quotes", "\"" + kZeta + "  \" -x", {kZeta}, true, kZeta},
      {"unquoted path with blanks", kZeta + " /min", {kZeta}, true, kZeta},
      {"shortest name that is there wins",
       kZeta + " /min",
       {kZeta, "C:\\Program.exe"},
       true,
       "C:\\Program.exe"},
      {"unquoted missing: the name up to its .exe", kZeta + " /min", {}, false, kZeta},
      {"unquoted missing: the first name that ends like a program",
       kZeta + " /log C:\\z.log.exe",
       {},
       false,
       kZeta},
      {"unquoted missing, no extension: first word",
       "C:\\Program Files\\Zeta\\z /min",
       {},
       false,
       "C:\\Program.exe"},
      {"two blanks inside the path",
       "C:\\Program  Files\\z.exe -a",
       {"C:\\Program  Files\\z.exe"},
       true,
       "C:\\Program  Files\\z.exe"},
      {"tab ends a name", "C:\\Zeta\\z.exe\t/min", {"C:\\Zeta\\z.exe"}, true, "C:\\Zeta\\z.exe"},
      {"whole line is the name",
       "C:\\Program Files\\Zeta Tool",
       {"C:\\Program Files\\Zeta Tool"},
       true,
       "C:\\Program Files\\Zeta Tool"},
      {"missing .exe added", "C:\\Zeta\\z /min", {"C:\\Zeta\\z.exe"}, true, "C:\\Zeta\\z.exe"},
      {".exe wins over the bare file",
       "C:\\Zeta\\z",
       {"C:\\Zeta\\z", "C:\\Zeta\\z.exe"},
       true,
       "C:\\Zeta\\z.exe"},
      {"file without extension", "C:\\Zeta\\z -a", {"C:\\Zeta\\z"}, true, "C:\\Zeta\\z"},
      {"no .exe after an extension",
       "C:\\Zeta\\z.bat",
       {"C:\\Zeta\\z.bat.exe"},
       false,
       "C:\\Zeta\\z.bat"},
      {"a dot in a folder is no extension",
       "C:\\Ze.ta\\z",
       {"C:\\Ze.ta\\z.exe"},
       true,
       "C:\\Ze.ta\\z.exe"},
      {"forward slashes", "C:/Zeta/z.exe -a", {"C:/Zeta/z.exe"}, true, "C:/Zeta/z.exe"},
      {"leading blanks", "  \t C:\\Zeta\\z.exe", {"C:\\Zeta\\z.exe"}, true, "C:\\Zeta\\z.exe"},
      {"bare name: first folder first",
       "notepad readme.txt",
       {"C:\\WINDOWS\\notepad.exe", kSystem + "notepad.exe"},
       true,
       "C:\\WINDOWS\\notepad.exe"},
      {"bare name: later folder, its own backslash kept",
       "zeta -a",
       {"C:\\Tools\\zeta.exe"},
       true,
       "C:\\Tools\\zeta.exe"},
      {"bare name with an extension",
       "zeta.com /x",
       {kSystem + "zeta.com"},
       true,
       kSystem + "zeta.com"},
      {"bare name missing", "zeta -a", {"C:\\zeta.exe"}, false, "zeta.exe"},
      {"relative path is not searched",
       "bin\\zeta.exe",
       {"C:\\WINDOWS\\bin\\zeta.exe"},
       false,
       "bin\\zeta.exe"},
      {"drive-relative path is not searched",
       "C:zeta.exe",
       {"C:\\WINDOWS\\zeta.exe"},
       false,
       "C:zeta.exe"},
      {"rundll32 follows to the library",
       "rundll32.exe shell32.dll,Control_RunDLL x.cpl",
       {kSystem + "rundll32.exe", kSystem + "shell32.dll"},
       true,
       kSystem + "shell32.dll"},
      {"rundll32 library missing",
       "rundll32.exe zeta.dll,Run",
       {kSystem + "rundll32.exe"},
       false,
       "zeta.dll"},
      {"rundll library without extension",
       "RUNDLL setupx,InstallHinfSection 132 C:\\x.inf",
       {"C:\\WINDOWS\\RUNDLL.EXE", kSystem + "setupx.dll"},
       true,
       kSystem + "setupx.dll"},
      {"rundll32 library path with blanks",
       "rundll32 C:\\Program Files\\Zeta\\z.dll,Run",
       {"C:\\Program Files\\Zeta\\z.dll"},
       true,
       "C:\\Program Files\\Zeta\\z.dll"},
      {"quoted host and quoted library with a comma",
       "\"C:\\WINDOWS\\rundll32.exe\" \"C:\\Zeta\\z,1.dll\",Run",
       {"C:\\Zeta\\z,1.dll"},
       true,
       "C:\\Zeta\\z,1.dll"},
      {"rundll32 missing library path with blanks",
       "rundll32 C:\\Program Files\\z.dll,Run",
       {},
       false,
       "C:\\Program Files\\z.dll"},
      {"rundll32 alone is the program",
       "rundll32.exe  ",
       {kSystem + "rundll32.exe"},
       true,
       kSystem + "rundll32.exe"},
      {"rundll32 with a bare comma",
       "rundll32.exe ,Run",
       {kSystem + "rundll32.exe"},
       true,
       kSystem + "rundll32.exe"},
      {"a name merely ending in rundll32.exe is no host",
       "myrundll32.exe zeta.dll,Run",
       {kSystem + "myrundll32.exe", kSystem + "zeta.dll"},
       true,
       kSystem + "myrundll32.exe"},
      {"empty line", "", {}, false, ""},
      {"blank line", "  \t ", {}, false, ""},
      {"empty quotes", "\"\" zeta.exe", {kSystem + "zeta.exe"}, false, ""},
      {"unterminated quote runs to the end",
       "\"C:\\Zeta\\z.exe",
       {"C:\\Zeta\\z.exe"},
       true,
       "C:\\Zeta\\z.exe"},
      {"unterminated quote missing", "\"" + kZeta + " /min", {kZeta}, false, kZeta + " /min"},
      {"a zero byte ends the line",
       std::string("C:\\Zeta\\z.exe\0 x", 16),
       {"C:\\Zeta\\z.exe"},
       true,
       "C:\\Zeta\\z.exe"},
      {"zero byte in front of the name",
       std::string("\0C:\\Zeta\\z.exe", 14),
       {"C:\\Zeta\\z.exe"},
       false,
       ""},
      {"name longer than any path is never found",
       "C:\\" + std::string(260, 'z') + ".exe",
       {"C:\\" + std::string(260, 'z') + ".exe"},
       false,
       "C:\\" + std::string(260, 'z') + ".exe"},
      {"bare name too long for any folder",
       std::string(253, 'z') + ".exe",
       {kSystem + std::string(253, 'z') + ".exe"},
       false,
       std::string(253, 'z') + ".exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFiles files(c.files);
    StrBuf program;
    program.assign("stale");
    EXPECT_EQ(c.found,
              resolveCommandLine(c.command.data(), c.command.size(), kDirs, files, program));
    EXPECT_EQ(c.program, std::string(program.c_str(), program.length()));
    if (c.found) EXPECT_FALSE(files.asked.empty());
    for (const std::string& asked : files.asked) EXPECT_LE(asked.size(), kLongestPath) << asked;
  }
}

TEST(CommandLine, TriesEachBlankShortestFirst) {
  struct Case {
    const char* name;
    const char* command;
    std::vector<std::string> asked;
  } cases[] = {
      {"path with a blank, then arguments",
       "C:\\Program Files\\z.exe  -a",
       {"C:\\Program.exe", "C:\\Program", "C:\\Program Files\\z.exe",
        "C:\\Program Files\\z.exe  -a"}},
      {"bare words: each folder, .exe first",
       "zeta x",
       {"C:\\WINDOWS\\zeta.exe", "C:\\WINDOWS\\zeta", "C:\\WINDOWS\\SYSTEM\\zeta.exe",
        "C:\\WINDOWS\\SYSTEM\\zeta", "C:\\Tools\\zeta.exe", "C:\\Tools\\zeta",
        "C:\\WINDOWS\\zeta x.exe", "C:\\WINDOWS\\zeta x", "C:\\WINDOWS\\SYSTEM\\zeta x.exe",
        "C:\\WINDOWS\\SYSTEM\\zeta x", "C:\\Tools\\zeta x.exe", "C:\\Tools\\zeta x"}},
      {"quoted: the quoted name alone", "\"C:\\Zeta\\z\" a b", {"C:\\Zeta\\z.exe", "C:\\Zeta\\z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFiles files({});
    StrBuf program;
    EXPECT_FALSE(resolveCommandLine(c.command, strlen(c.command), kDirs, files, program));
    EXPECT_EQ(c.asked, files.asked);
  }
}

TEST(CommandLine, NoFoldersOrNoLine) {
  FakeFiles files({"C:\\WINDOWS\\zeta.exe"});
  StrBuf program;
  EXPECT_FALSE(resolveCommandLine("zeta", 4, nullptr, files, program));
  EXPECT_EQ(std::string("zeta.exe"), program.c_str());
  EXPECT_FALSE(resolveCommandLine("zeta", 4, "", files, program));
  EXPECT_TRUE(files.asked.empty());
  EXPECT_FALSE(resolveCommandLine(nullptr, 10, kDirs, files, program));
  EXPECT_EQ(0u, program.length());
}

TEST(CommandLine, FirstListedProgram) {
  struct Case {
    std::string list;
    bool listed;
    std::string program;
  } cases[] = {
      {"a.exe b.exe", true, "a.exe"},
      {" ,, a.exe,b.exe", true, "a.exe"},
      {"a.exe,b.exe", true, "a.exe"},
      {"\tC:\\Zeta\\z.exe\tb.exe", true, "C:\\Zeta\\z.exe"},
      {"\"C:\\Program Files\\z.exe\" b.exe", true, "\"C:\\Program Files\\z.exe\""},
      {"\"C:\\Program Files,z.exe", true, "\"C:\\Program Files,z.exe"},
      {"", false, ""},
      {" , \t,", false, ""},
      {std::string("\0a.exe", 6), false, ""},
      {std::string("a.exe\0b", 7), true, "a.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    size_t start = 99, count = 99;
    EXPECT_EQ(c.listed, firstListedProgram(c.list.data(), c.list.size(), &start, &count));
    ASSERT_LE(start + count, c.list.size());
    EXPECT_EQ(c.program, c.list.substr(start, count));
  }
}

}  // namespace

#include "util/pure/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The given files (names compared case-insensitively); remembers every path asked about.
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
      {"quoted path", "\"" + kZeta + "\" /min", {kZeta}, true, kZeta},
      {"unquoted path with blanks", kZeta + " /min", {kZeta}, true, kZeta},
      {"shortest name there wins",
       kZeta + " /min",
       {kZeta, "C:\\Program.exe"},
       true,
       "C:\\Program.exe"},
      {"missing: up to the first name ending like a program",
       kZeta + " /o C:\\z.log.exe",
       {},
       false,
       kZeta},
      {"missing, no such name: the first word",
       "C:\\Program Files\\z /min",
       {},
       false,
       "C:\\Program.exe"},
      {".exe added", "C:\\Zeta\\z /min", {"C:\\Zeta\\z.exe"}, true, "C:\\Zeta\\z.exe"},
      {".exe before the bare file",
       "C:\\Zeta\\z",
       {"C:\\Zeta\\z", "C:\\Zeta\\z.exe"},
       true,
       "C:\\Zeta\\z.exe"},
      {"bare name: first folder first",
       "zeta x.txt",
       {"C:\\WINDOWS\\zeta.exe", kSystem + "zeta.exe"},
       true,
       "C:\\WINDOWS\\zeta.exe"},
      {"bare name: folder ending in a backslash",
       "zeta",
       {"C:\\Tools\\zeta.exe"},
       true,
       "C:\\Tools\\zeta.exe"},
      {"relative path is not searched",
       "bin\\zeta.exe",
       {"C:\\WINDOWS\\bin\\zeta.exe"},
       false,
       "bin\\zeta.exe"},
      {"rundll32 followed to its library",
       "rundll32.exe shell32.dll,Control_RunDLL x.cpl",
       {kSystem + "rundll32.exe", kSystem + "shell32.dll"},
       true,
       kSystem + "shell32.dll"},
      {"rundll library missing, no extension", "RUNDLL setupx,Install", {}, false, "setupx.dll"},
      {"quoted library with a comma",
       "rundll32 \"C:\\Z\\z,1.dll\",Run",
       {"C:\\Z\\z,1.dll"},
       true,
       "C:\\Z\\z,1.dll"},
      {"blank line", "  \t ", {}, false, ""},
      {"empty quotes", "\"\" zeta.exe", {kSystem + "zeta.exe"}, false, ""},
      {"unterminated quote runs to the end",
       "\"" + kZeta + " /min",
       {kZeta},
       false,
       kZeta + " /min"},
      {"a zero byte ends the line",
       std::string("C:\\z.exe\0 x", 11),
       {"C:\\z.exe"},
       true,
       "C:\\z.exe"},
      {"too long with its folder",
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
  }
}

TEST(CommandLine, TriesEachBlankShortestFirst) {
  FakeFiles files({});
  StrBuf program;
  const char command[] = "C:\\Program Files\\z.exe  -a";
  EXPECT_FALSE(resolveCommandLine(command, sizeof command - 1, kDirs, files, program));
  const std::vector<std::string> asked = {"C:\\Program.exe", "C:\\Program",
                                          "C:\\Program Files\\z.exe", command};
  EXPECT_EQ(asked, files.asked);
}

TEST(CommandLine, FirstListedProgram) {
  struct Case {
    std::string list;
    bool listed;
    std::string program;
  } cases[] = {
      {" ,, a.exe,b.exe", true, "a.exe"},
      {"\tC:\\z.exe\tb.exe", true, "C:\\z.exe"},
      {"\"C:\\Program Files\\z.exe\" b.exe", true, "\"C:\\Program Files\\z.exe\""},
      {" , \t,", false, ""},
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

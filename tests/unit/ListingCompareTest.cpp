#include "util/pure/ListingCompare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string str(TextPiece piece) { return std::string(piece.text, piece.length); }
std::string str(const StrBuf& text) { return std::string(text.c_str(), text.length()); }
TextPiece piece(const std::string& text) { return TextPiece{text.data(), text.size()}; }

// An entry as "place|name|data", "+" after it for a disabled one.
std::string describe(const ListingEntry& entry) {
  return str(entry.place) + "|" + str(entry.name) + "|" + str(entry.data) +
         (entry.disabled ? "+" : "");
}

std::vector<std::string> describeAll(const ListingEntries& entries) {
  std::vector<std::string> out;
  for (size_t index = 0; index < entries.count(); ++index)
    out.push_back(describe(entries.at(index)));
  return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void read(const std::vector<std::string>& lines, ListingEntries& entries) {
  std::string text = joinLines(lines);
  ASSERT_TRUE(readListing(text.data(), text.size(), entries));
}

const char kRun[] = "Registry - local_machine, Run";

// Builds a set from "name=data" entries separated by ';': "+" after one is
// disabled, "place>" before one names its place (else kRun). The line is
// the one Find would show.
void build(const std::string& described, ListingEntries& entries) {
  size_t start = 0;
  while (start < described.size()) {
    size_t stop = described.find(';', start);
    if (stop == std::string::npos) stop = described.size();
    std::string entry = described.substr(start, stop - start), place = kRun;
    start = stop + 1;
    bool disabled = entry.back() == '+';
    if (disabled) entry.pop_back();
    size_t arrow = entry.find('>');
    if (arrow != std::string::npos) place = entry.substr(0, arrow);
    entry = entry.substr(arrow == std::string::npos ? 0 : arrow + 1);
    std::string name = entry.substr(0, entry.find('=')), data = entry.substr(entry.find('=') + 1);
    std::string line = (disabled ? place + ": " : "") + name + " = " + data;
    ASSERT_TRUE(entries.add(piece(place), piece(name), piece(data), piece(line), disabled));
  }
}

const std::vector<std::string> kUsageText = {
    "",
    "Startlull for Windows 98, 2000 and XP",
    "",
    "Purpose:",
    "   Run Windows without any unneeded programs starting automatically.",
    "",
    "Usage:",
    "   Press the Find button to list the startup programs. If you want"};

const std::vector<std::string> kEmptyFind = {
    "", "[Win.ini]", "run=", "load=", "", "[Startup folder]", "", "[All Users Startup folder]"};

// Every kind of line Find shows.
const std::vector<std::string> kFullFind = {
    "",
    "[Win.ini]",
    "run = a.exe b.exe",
    "load=",
    "",
    "[Startup folder]",
    "[Notes].lnk",  // a file name in brackets, right after the heading
    "desktop.ini",
    "",
    "[All Users Startup folder]",
    "Common.lnk",
    "",
    "[Registry - local_machine, Run]",
    "Tray = C:\\PROGRA~1\\TRAY\\TRAY.EXE",
    "Svc = ",
    "a = b = c",
    "",
    "[System.ini - boot]",
    "shell = Explorer.exe",
    "",
    "[Registry - local_machine, Session Manager: BootExecute]",
    "BootExecute = autocheck autochk *",
    "BootExecute = other",
    "",
    "[Scheduled tasks]",
    "Tune up (weekly).job (disabled) = C:\\TUNE.EXE /auto",
    "Cut.job: damaged, or not a task file Startlull can read",
    "",
    "[Disabled by Startlull]",
    "Registry - current_user, Run: Mine = C:\\mine.exe",
    "Win.ini: run = run.exe /a",
    "Startup folder: Notes.lnk",
    "All Users Startup folder: Common.lnk",
    "Registry - current_user, Policies\\Explorer\\Run: P = p.exe",
    "C:\\WINDOWS\\Start Menu\\Programs\\Startup-Disabled\\Startlull.dat: damaged, left as it is",
    "Startup folder: ",
    "Win.ini: load=",
    "",
    "[Gone since 2006/03/07 14:05]",
    "Registry - local_machine, Run: Old = old.exe",
};

const std::vector<std::string> kFullEntries = {
    "Win.ini|run|a.exe b.exe",
    "Startup folder|[Notes].lnk|",
    "Startup folder|desktop.ini|",
    "All Users Startup folder|Common.lnk|",
    "Registry - local_machine, Run|Tray|C:\\PROGRA~1\\TRAY\\TRAY.EXE",
    "Registry - local_machine, Run|Svc|",
    "Registry - local_machine, Run|a|b = c",
    "System.ini - boot|shell|Explorer.exe",
    "Registry - local_machine, Session Manager: BootExecute|BootExecute|autocheck autochk *",
    "Registry - local_machine, Session Manager: BootExecute|BootExecute|other",
    "Scheduled tasks|Tune up (weekly).job|(disabled) = C:\\TUNE.EXE /auto",
    "Scheduled tasks|Cut.job|damaged, or not a task file Startlull can read",
    "Registry - current_user, Run|Mine|C:\\mine.exe+",
    "Win.ini|run|run.exe /a+",
    "Startup folder|Notes.lnk|+",
    "All Users Startup folder|Common.lnk|+",
    "Registry - current_user, Policies\\Explorer\\Run|P|p.exe+",
};

TEST(ListingCompare, ReadsTheEntriesOfAListing) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::vector<std::string> entries;
  } cases[] = {
      {"nothing starts", kEmptyFind, {}},
      {"the usage text", kUsageText, {}},
      {"every kind of line", kFullFind, kFullEntries},
      {"a heading only after a blank line",
       {"", "[Registry - current_user, Run]", "[a] = x", "[b]", "", "[c]", "d = e"},
       {"Registry - current_user, Run|[a]|x", "Registry - current_user, Run|[b]|", "c|d|e"}},
      {"headings in other letter case",
       {"", "[WIN.INI]", "Run = x", "", "[startup FOLDER]", "x.lnk", "", "[disabled by startlull]",
        "Startup folder: y.lnk"},
       {"WIN.INI|Run|x", "startup FOLDER|x.lnk|", "Startup folder|y.lnk|+"}},
      {"lines before the first heading",
       {"2006/03/07", "Your Operating system is Windows XP.", "Current user:  me", "", "",
        "[Win.ini]", "load = l.exe"},
       {"Win.ini|load|l.exe"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ListingEntries entries;
    read(c.lines, entries);
    EXPECT_EQ(c.entries, describeAll(entries));
  }
}

TEST(ListingCompare, KeepsEachLineAsShownAndGivesItWithItsPlace) {
  ListingEntries entries;
  read(kFullFind, entries);
  ASSERT_EQ(kFullEntries.size(), entries.count());
  struct Case {
    size_t entry;
    const char* line;
    const char* placed;
  } cases[] = {
      {0, "run = a.exe b.exe", "Win.ini: run = a.exe b.exe"},
      {1, "[Notes].lnk", "Startup folder: [Notes].lnk"},
      {5, "Svc = ", "Registry - local_machine, Run: Svc = "},
      {10, "Tune up (weekly).job (disabled) = C:\\TUNE.EXE /auto",
       "Scheduled tasks: Tune up (weekly).job (disabled) = C:\\TUNE.EXE /auto"},
      {12, "Registry - current_user, Run: Mine = C:\\mine.exe",
       "Registry - current_user, Run: Mine = C:\\mine.exe"},
      {14, "Startup folder: Notes.lnk", "Startup folder: Notes.lnk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ListingEntry entry = entries.at(c.entry);
    EXPECT_EQ(c.line, str(entry.line));
    StrBuf placed;
    ASSERT_TRUE(appendPlacedLine(placed, entry));
    EXPECT_EQ(c.placed, str(placed));
  }
}

// The result as text: per entry of the later set "s" (same), "n" (new) or
// "c" (changed), the first two with the earlier entry's index; then "|" and
// the gone entries of the earlier set.
std::string describe(const ListingComparison& comparison) {
  std::string out;
  for (size_t index = 0; index < comparison.changeCount(); ++index) {
    const EntryChange& change = comparison.change(index);
    out += "snc"[change.kind];
    if (change.kind != ENTRY_NEW) out += std::to_string(change.before);
    out += ' ';
  }
  out += '|';
  for (size_t index = 0; index < comparison.goneCount(); ++index)
    out += ' ' + std::to_string(comparison.gone(index));
  return out;
}

TEST(ListingCompare, ComparesTwoSets) {
  struct Case {
    const char* what;
    const char* before;
    const char* now;
    const char* result;
  } cases[] = {
      {"both empty", "", "", "|"},
      {"all new", "", "A=a;B=b", "n n |"},
      {"all gone", "A=a;B=b", "", "| 0 1"},
      {"the same, in another order", "A=a;Win.ini>run=r", "Win.ini>run=r;A=a", "s1 s0 |"},
      {"one new among the same", "A=a;C=c", "A=a;B=b;C=c", "s0 n s1 |"},
      {"gone, in the earlier order", "C=c;A=a;B=b", "A=a", "s1 | 0 2"},
      {"changed data keeps the earlier entry", "A=old", "A=new", "c0 |"},
      {"a Disable moves, nothing more", "A=a", "A=a+", "s0 |"},
      {"an Enable moves, nothing more", "A=a+", "A=a", "s0 |"},
      {"a name in other letter case", "TRAY=t", "Tray=t", "s0 |"},
      {"a place in other letter case", "Registry - LOCAL_MACHINE, RUN>A=a", "A=a", "s0 |"},
      {"data in other letter case is a change", "A=C:\\A.EXE", "A=c:\\a.exe", "c0 |"},
      {"the same name in another place", "A=a", "Registry - current_user, Run>A=a", "n | 0"},
      {"a list of strings, one changed", "Boot=autocheck;Boot=x", "Boot=autocheck;Boot=y",
       "s0 c1 |"},
      {"duplicates, one fewer", "D=d;D=d;D=d", "D=d;D=d", "s0 s1 | 2"},
      {"duplicates, one more", "D=d", "D=d;D=d", "s0 n |"},
      {"equal data pairs before a change", "D=b;D=a", "D=a;D=z", "s1 c0 |"},
      {"disabled and listed again: the same state first", "M=m", "M=m;M=m+", "s0 n |"},
      {"a Disable beside a change of that name", "M=a;M=b+", "M=a+;M=c", "s0 c1 |"},
      {"empty data against some", "S=", "S=s", "c0 |"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ListingEntries before, now;
    build(c.before, before);
    build(c.now, now);
    ListingComparison comparison;
    ASSERT_TRUE(comparison.compare(before, now));
    EXPECT_EQ(c.result, describe(comparison));
    size_t counts[3] = {};
    for (size_t index = 0; index < comparison.changeCount(); ++index)
      ++counts[comparison.change(index).kind];
    EXPECT_EQ(counts[ENTRY_SAME], comparison.sameCount());
    EXPECT_EQ(counts[ENTRY_NEW], comparison.newCount());
    EXPECT_EQ(counts[ENTRY_CHANGED], comparison.changedCount());
  }
}

// Startlull's own moves, read from listings as Find shows them.
TEST(ListingCompare, DisableAndEnableBetweenTwoFindsMarkNothing) {
  const std::vector<std::string> enabled = {"",
                                            "[Win.ini]",
                                            "run = run.exe /a",
                                            "load=",
                                            "",
                                            "[Startup folder]",
                                            "Notes.lnk",
                                            "",
                                            "[All Users Startup folder]",
                                            "Common.lnk",
                                            "",
                                            "[Registry - current_user, Run]",
                                            "Mine = C:\\mine.exe"};
  const std::vector<std::string> disabled = {"",
                                             "[Win.ini]",
                                             "run=",
                                             "load=",
                                             "",
                                             "[Startup folder]",
                                             "",
                                             "[All Users Startup folder]",
                                             "",
                                             "[Disabled by Startlull]",
                                             "Registry - current_user, Run: Mine = C:\\mine.exe",
                                             "Win.ini: run = run.exe /a",
                                             "Startup folder: Notes.lnk",
                                             "All Users Startup folder: Common.lnk"};
  for (int direction = 0; direction < 2; ++direction) {
    SCOPED_TRACE(direction == 0 ? "Disable" : "Enable");
    ListingEntries before, now;
    read(direction == 0 ? enabled : disabled, before);
    read(direction == 0 ? disabled : enabled, now);
    ListingComparison comparison;
    ASSERT_TRUE(comparison.compare(before, now));
    EXPECT_EQ(4u, now.count());
    EXPECT_EQ(4u, comparison.sameCount());
    EXPECT_EQ(0u, comparison.goneCount());
  }
}

// At the size the benchmark times (bench/), every kind of change at once.
TEST(ListingCompare, TenThousandAgainstTenThousand) {
  const size_t kCount = 10000;
  ListingEntries before, now;
  for (size_t index = 0; index < kCount; ++index) {
    // Every tenth changed, every hundredth gone and replaced by a new name.
    std::string name = "Value" + std::to_string(index * 7919 % kCount);
    std::string data = "C:\\Program Files\\App\\app" + std::to_string(index) + ".exe";
    std::string line = name + " = " + data;
    ASSERT_TRUE(before.add(piece(std::string(kRun)), piece(name), piece(data), piece(line), false));
    std::string newName = index % 100 == 0 ? "Other" + name : name;
    std::string newData = index % 10 == 3 ? data + " /changed" : data;
    std::string newLine = newName + " = " + newData;
    ASSERT_TRUE(
        now.add(piece(std::string(kRun)), piece(newName), piece(newData), piece(newLine), false));
  }
  ListingComparison comparison;
  ASSERT_TRUE(comparison.compare(before, now));
  EXPECT_EQ(100u, comparison.newCount());
  EXPECT_EQ(100u, comparison.goneCount());
  EXPECT_EQ(1000u, comparison.changedCount());
  EXPECT_EQ(8900u, comparison.sameCount());
}

TEST(ListingCompare, StatusTextsAndTheGoneHeading) {
  ListingTime time{2006, 3, 2, 7, 9, 5, 59, 999};
  char since[LISTING_TIME_TEXT_SIZE];
  formatListingTime(time, since, sizeof since);
  EXPECT_STREQ("2006/03/07 09:05", since);
  struct Case {
    ChangeKind kind;
    const char* earlier;
    const char* status;
  } cases[] = {
      {ENTRY_NEW, "", "New since 2006/03/07 09:05"},
      {ENTRY_CHANGED, "C:\\old.exe /a", "Changed since 2006/03/07 09:05; was: C:\\old.exe /a"},
      {ENTRY_CHANGED, "", "Changed since 2006/03/07 09:05; was: "},
      {ENTRY_SAME, "x", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    StrBuf status;
    ASSERT_TRUE(appendChangeStatus(status, c.kind, since, piece(std::string(c.earlier))));
    EXPECT_EQ(c.status, str(status));
  }
  StrBuf heading;
  ASSERT_TRUE(appendGoneHeading(heading, since));
  EXPECT_EQ("[Gone since 2006/03/07 09:05]", str(heading));
  char small[11];
  formatListingTime(time, small, sizeof small);
  EXPECT_STREQ("2006/03/07", small);  // cut, never overflowed
}

// ---- The remembered file

const ListingTime kFindTime{2006, 12, 1, 25, 23, 59, 58, 7};

// A listing with bytes a line structure must survive: tabs, "=", "[", a
// byte above 127, a blank inside a name, an empty value.
const std::vector<std::string> kAwkward = {
    "",
    "[Win.ini]",
    "run = a.exe b.exe",
    "",
    "[Startup folder]",
    "Notes.lnk",
    "[x].lnk",
    "",
    "[Registry - local_machine, Run]",
    "Tab\tbed = d\t=[x]\xFF",
    " = ",
    "",
    "[Scheduled tasks]",
    "Tune.job (disabled) = x",
    "",
    "[Disabled by Startlull]",
    "Registry - local_machine, Run: Mine = C:\\mine.exe",
    "Startup folder: Item - here.lnk",
};

std::string remembered(const std::vector<std::string>& lines) {
  StrBuf file;
  SeenWriter writer(file, kFindTime);
  for (const std::string& line : lines) EXPECT_TRUE(writer.line(line.data(), line.size()));
  EXPECT_TRUE(writer.finish());
  return str(file);
}

TEST(ListingCompare, RememberedFileGivesTheEntriesOfItsListing) {
  const std::string file = remembered(kAwkward);
  ListingEntries listed, back;
  read(kAwkward, listed);
  ListingTime time{};
  ASSERT_TRUE(parseSeen(file.data(), file.size(), back, &time));
  EXPECT_EQ(describeAll(listed), describeAll(back));
  EXPECT_EQ(8u, back.count());
  const unsigned fields[] = {time.year, time.month,  time.dayOfWeek, time.day,
                             time.hour, time.minute, time.second,    time.milliseconds};
  EXPECT_EQ(std::vector<unsigned>({2006, 12, 1, 25, 23, 59, 58, 7}),
            std::vector<unsigned>(fields, fields + 8));
  EXPECT_EQ(0u, file.find(std::string(kSeenHeading) + "\r\ntime 2006 12 1 25 23 59 58 7\r\n"
                          "line -\r\nline 5B57696E2E696E695D\r\n"));
  // No entries, and line ends of LF alone.
  ASSERT_TRUE(parseSeen(remembered({}).data(), remembered({}).size(), back, &time));
  EXPECT_EQ(0u, back.count());
  std::string lf;
  for (char c : file)
    if (c != '\r') lf += c;
  EXPECT_TRUE(parseSeen(lf.data(), lf.size(), back, &time));
  EXPECT_EQ(8u, back.count());
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(std::string::npos, at) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(ListingCompare, RememberedFileDamagedOrForeignIsRefused) {
  const std::string good = remembered(kAwkward);
  const std::string endLine = good.substr(good.rfind("end "));
  const std::string winIni = "line 5B57696E2E696E695D\r\n";
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"another heading", replaced(good, "version 1]", "version 2]")},
      {"a settings file", "\r\n[Win.ini]\r\nrun=\r\n"},
      {"no end line", good.substr(0, good.size() - endLine.size())},
      {"something after the end line", good + "line 41\r\n"},
      {"a blank line after the end line", good + "\r\n"},
      {"a line taken out", replaced(good, winIni, "")},
      {"a count one off", replaced(good, "end 19", "end 20")},
      {"an odd hex field", replaced(good, winIni, "line 5B57696E2E696E695\r\n")},
      {"not hex", replaced(good, winIni, "line 5B57696E2E696E69GG\r\n")},
      {"two blanks", replaced(good, winIni, "line  5B57696E2E696E695D\r\n")},
      {"a line end inside a line", replaced(good, winIni, "line 5B570D0A6E2E696E695D\r\n")},
      {"an unknown line", replaced(good, winIni, "value 5B57696E2E696E695D\r\n")},
      {"a month 13", replaced(good, "time 2006 12", "time 2006 13")},
      {"a minute 60", replaced(good, "23 59 58", "23 60 58")},
      {"a time field missing", replaced(good, "23 59 58 7", "23 59 58")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ListingEntries back;
    build("left=over", back);
    ListingTime time = kFindTime;
    time.year = 1999;
    EXPECT_FALSE(parseSeen(c.text.data(), c.text.size(), back, &time));
    EXPECT_EQ(0u, back.count());
    EXPECT_EQ(1999u, time.year);  // untouched
  }
}

// Whatever a crash or a disk cuts off, or a byte a disk changes, the file is refused.
TEST(ListingCompare, RememberedFileCutOrWithAnyByteChangedIsRefused) {
  const std::string good = remembered(kAwkward);
  ListingEntries back;
  ListingTime time;
  size_t accepted = 0;
  // Only the last line end may go: the end line is then still whole.
  for (size_t cut = 0; cut + 2 < good.size(); ++cut)
    if (parseSeen(good.data(), cut, back, &time)) {
      ++accepted;
      ADD_FAILURE() << "accepted when cut to " << cut << " bytes";
    }
  for (size_t at = 0; at < good.size(); ++at) {
    std::string changed = good;
    changed[at] ^= 0x01;
    if (parseSeen(changed.data(), changed.size(), back, &time)) {
      ++accepted;
      ADD_FAILURE() << "accepted with byte " << at << " changed";
    }
  }
  EXPECT_EQ(0u, accepted);
}

// ---- Reports

TEST(ListingCompare, ReadsAReportBackToItsListing) {
  const std::string heading =
      "2006/03/07\r\nYour Operating system is Windows XP.\r\nCurrent user:  operator\r\n\r\n";
  const std::string listing = joinLines(kFullFind);
  const std::string gone =
      "\r\n[Gone since 2006/03/01 10:00]\r\nRegistry - current_user, Run: B = b\r\n";
  struct Case {
    const char* what;
    std::string file;
    bool report;
    std::string listing;
  } cases[] = {
      {"a report of a Find", heading + listing, true, listing},
      {"a gone section at the end", heading + listing + gone, true, listing + gone},
      {"an empty listing", heading, true, ""},
      {"no user name", replaced(heading, "operator", "") + "x\r\n", true, "x\r\n"},
      {"an unsupported system", replaced(heading, "Windows XP.", "not supported.") + listing, true,
       listing},
      {"a year of five digits", "12345/01/31" + heading.substr(10), true, ""},
      {"line ends of LF alone",
       "2006/03/07\nYour Operating system is Windows 98.\nCurrent user:  \n\n[Win.ini]\n", true,
       "[Win.ini]\n"},
      {"empty", "", false, ""},
      {"a listing alone", listing, false, ""},
      {"the heading cut", heading.substr(0, heading.size() - 2), false, ""},
      {"no empty line after the user", replaced(heading, "\r\n\r\n", "\r\n") + "[Win.ini]\r\n",
       false, ""},
      {"a month without its zero", replaced(heading, "2006/03/07", "2006/3/07"), false, ""},
      {"a month 13", replaced(heading, "2006/03/07", "2006/13/07"), false, ""},
      {"a day 0", replaced(heading, "2006/03/07", "2006/03/00"), false, ""},
      {"a date in another order", replaced(heading, "2006/03/07", "07/03/2006"), false, ""},
      {"another system line", replaced(heading, "Your Operating", "Your operating"), false, ""},
      {"another user line", replaced(heading, "Current user:  ", "User: "), false, ""},
      {"a zero byte", heading + std::string("a\0b\r\n", 5), false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportHeading report{};
    ASSERT_EQ(c.report, readReport(c.file.data(), c.file.size(), &report));
    if (!c.report) continue;
    EXPECT_EQ(c.listing, str(report.listing));
  }
  // The gone lines are no entries.
  for (const std::string& after : {std::string(), gone}) {
    ReportHeading report{};
    std::string file = heading + listing + after;
    ASSERT_TRUE(readReport(file.data(), file.size(), &report));
    EXPECT_EQ(2006u, report.year);
    EXPECT_EQ(3u, report.month);
    EXPECT_EQ(7u, report.day);
    ListingEntries entries;
    ASSERT_TRUE(readListing(report.listing.text, report.listing.length, entries));
    EXPECT_EQ(kFullEntries, describeAll(entries));
  }
}

}  // namespace

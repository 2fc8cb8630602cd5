#include "util/pure/SettingsRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string str(const StrBuf& text) { return std::string(text.c_str(), text.length()); }
std::string str(TextSpan span) { return std::string(span.text, span.length); }

TEST(SettingsRecord, SplitListingLine) {
  struct Case {
    const char* line;
    bool split;
    const char* name;
    const char* data;
  } cases[] = {
      {"Tray = C:\\PROGRA~1\\TRAY\\TRAY.EXE", true, "Tray", "C:\\PROGRA~1\\TRAY\\TRAY.EXE"},
      {"Empty = ", true, "Empty", ""},
      {"Cut =", true, "Cut", ""},
      {"abc=def = x", true, "ab", "ef = x"},  // split at the first "="
      {"a= default", true, "", "default"},    // second character "=": the default value
      {"a=", true, "", ""},
      {"run=", true, "ru", ""},
      {"=abc", false, "", ""},
      {"no equals sign", false, "", ""},
      {"", false, "", ""},
      {"tab\t= a\tb", true, "tab", "a\tb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TextSpan name{nullptr, 0}, data{nullptr, 0};
    ASSERT_EQ(c.split, splitListingLine(c.line, strlen(c.line), &name, &data));
    if (!c.split) continue;
    EXPECT_EQ(c.name, str(name));
    EXPECT_EQ(c.data, str(data));
  }
}

struct Value {
  unsigned long type;
  std::string name;
  std::string data;
};

std::string sampleRecord() {
  RecordWriter writer;
  const std::string runValue = "a.exe\tb.exe = [x]";
  EXPECT_TRUE(writer.iniValue("run", runValue.data(), runValue.size()));
  EXPECT_TRUE(writer.iniValue("load", "", 0));
  EXPECT_TRUE(writer.key("HKLM", "Run"));
  const std::string binary("\0\r\n\t=[ ]\xff", 9);
  EXPECT_TRUE(writer.value(3, "bin ary", 7, binary.data(), binary.size()));
  EXPECT_TRUE(writer.value(1, "", 0, "default\0", 8));
  EXPECT_TRUE(writer.value(4, " = [", 4, "\x01\x02\x03\x04", 4));
  EXPECT_TRUE(writer.key("HKCU", "RunOnceEx"));
  EXPECT_TRUE(writer.subkey("0001", 4));
  EXPECT_TRUE(writer.value(1, "", 0, "", 0));
  EXPECT_TRUE(writer.subkey("0001\\Depend ent", 15));
  EXPECT_TRUE(writer.file("user", "desktop.ini", 11, 0x26));
  EXPECT_TRUE(writer.file("common", "A b.lnk", 7, 0));
  EXPECT_TRUE(writer.finish());
  return str(writer.text());
}

TEST(SettingsRecord, WrittenRecordReadsBackEntryForEntry) {
  std::string listing = "\r\n[Win.ini]\r\nrun=\r\nload=\r\n";
  std::string file = listing + sampleRecord();
  SavedRecord saved;
  saved.load(file.data(), file.size());
  ASSERT_EQ(RECORD_VALID, saved.state);

  struct Expected {
    RecordEntry::Kind kind;
    const char* root;
    std::string name;
    std::string data;
    unsigned long type;
  } expected[] = {
      {RecordEntry::INI, "", "run", "a.exe\tb.exe = [x]", 0},
      {RecordEntry::INI, "", "load", "", 0},
      {RecordEntry::KEY, "HKLM", "Run", "", 0},
      {RecordEntry::VALUE, "", "bin ary", std::string("\0\r\n\t=[ ]\xff", 9), 3},
      {RecordEntry::VALUE, "", "", std::string("default\0", 8), 1},
      {RecordEntry::VALUE, "", " = [", "\x01\x02\x03\x04", 4},
      {RecordEntry::KEY, "HKCU", "RunOnceEx", "", 0},
      {RecordEntry::SUBKEY, "", "0001", "", 0},
      {RecordEntry::VALUE, "", "", "", 1},
      {RecordEntry::SUBKEY, "", "0001\\Depend ent", "", 0},
      {RecordEntry::FILE_ITEM, "user", "desktop.ini", "", 0x26},
      {RecordEntry::FILE_ITEM, "common", "A b.lnk", "", 0},
  };
  RecordCursor cursor(saved.lines.c_str(), saved.lines.length());
  RecordEntry entry;
  for (const Expected& want : expected) {
    ASSERT_TRUE(cursor.next(entry));
    EXPECT_EQ(want.kind, entry.kind);
    EXPECT_EQ(want.root, str(entry.root));
    EXPECT_EQ(want.name, str(entry.name));
    EXPECT_EQ(want.data, str(entry.data));
    EXPECT_EQ(want.type, entry.type);
  }
  EXPECT_FALSE(cursor.next(entry));
  // Copied entry by entry, it is the same record.
  RecordWriter copy;
  RecordCursor again(saved.lines.c_str(), saved.lines.length());
  while (again.next(entry)) EXPECT_TRUE(copy.entry(entry));
  EXPECT_TRUE(copy.finish());
  EXPECT_EQ(sampleRecord(), str(copy.text()));

  EXPECT_TRUE(saved.holdsKey("HKLM", "Run"));
  EXPECT_TRUE(saved.holdsKey("hkcu", "runonceex"));
  EXPECT_FALSE(saved.holdsKey("HKCU", "Run"));
  StrBuf value;
  EXPECT_TRUE(saved.iniValue("RUN", value));
  EXPECT_EQ("a.exe\tb.exe = [x]", str(value));
  EXPECT_TRUE(saved.iniValue("load", value));
  EXPECT_EQ("", str(value));

  // Attributes by folder and name, found again from wherever the last search ended.
  struct Item {
    const char* folder;
    const char* name;
    bool found;
    unsigned long attributes;
  } items[] = {{"common", "a B.LNK", true, 0},
               {"user", "DESKTOP.INI", true, 0x26},
               {"common", "desktop.ini", false, 0},
               {"user", "A b.lnk", false, 0}};
  size_t hint = 0;
  for (const Item& item : items) {
    SCOPED_TRACE(item.name);
    unsigned long attributes = 99;
    EXPECT_EQ(item.found, saved.fileAttributes(item.folder, item.name, &attributes, &hint));
    if (item.found) {
      EXPECT_EQ(item.attributes, attributes);
    }
  }
}

TEST(SettingsRecord, ListingAloneHasNoRecord) {
  std::string file =
      "\r\n[Win.ini]\r\nrun = a.exe\r\n\r\n[Registry - local_machine, Run]\r\n"
      "[Saved data = x\r\n";
  SavedRecord saved;
  saved.load(file.data(), file.size());
  EXPECT_EQ(RECORD_NONE, saved.state);
  EXPECT_EQ(file.size(), findRecordHeading(file.data(), file.size()));
  EXPECT_FALSE(saved.holdsKey("HKLM", "Run"));
  StrBuf value;
  EXPECT_FALSE(saved.iniValue("run", value));
}

TEST(SettingsRecord, HeadingFoundOnlyAsAWholeLine) {
  std::string record = sampleRecord();
  std::string listing = "\r\n[Win.ini]\r\nrun=\r\n";
  std::string file = listing + record;
  EXPECT_EQ(listing.size(), findRecordHeading(file.data(), file.size()));
  // A line that merely starts like the heading is not it.
  std::string longer = listing + std::string(kRecordHeading) + "x\r\n";
  EXPECT_EQ(longer.size(), findRecordHeading(longer.data(), longer.size()));

  // Registry data can hold line breaks, so a listing line can be the heading,
  // even followed by a whole record of its own: the last whole record is ours.
  std::string lookAlike = "x\r\n" + std::string(kRecordHeading) + "\r\nend 0 811C9DC5\r\n";
  for (const std::string& before : {lookAlike, lookAlike + lookAlike}) {
    std::string faked = listing + "Value = " + before;
    std::string whole = faked + record;
    EXPECT_EQ(faked.size(), findRecordHeading(whole.data(), whole.size()));
    SavedRecord saved;
    saved.load(whole.data(), whole.size());
    EXPECT_EQ(RECORD_VALID, saved.state);
    EXPECT_TRUE(saved.holdsKey("HKLM", "Run"));
    // With our own record damaged, the file is damaged, not a look-alike's.
    std::string damaged = whole.substr(0, whole.size() - 3) + "\r\n";
    saved.load(damaged.data(), damaged.size());
    EXPECT_EQ(RECORD_DAMAGED, saved.state);
  }
}

TEST(SettingsRecord, EveryTruncationAndEveryChangedByteIsDetected) {
  std::string record = sampleRecord();
  size_t body = record.find('\n') + 1;  // after the heading
  std::string lines = record.substr(body);
  ASSERT_EQ(RECORD_VALID, checkRecord(lines.data(), lines.size()));
  // Losing only the final line break loses nothing; any shorter text is damaged.
  for (size_t length = 0; length + 2 < lines.size(); ++length)
    EXPECT_EQ(RECORD_DAMAGED, checkRecord(lines.data(), length)) << length;
  for (size_t at = 0; at < lines.size(); ++at) {
    std::string changed = lines;
    changed[at] = static_cast<char>(changed[at] ^ 1);
    EXPECT_NE(RECORD_VALID, checkRecord(changed.data(), changed.size())) << at;
  }
  std::string extra = lines + "ini run -\r\n";
  EXPECT_EQ(RECORD_DAMAGED, checkRecord(extra.data(), extra.size()));
}

TEST(SettingsRecord, MalformedLinesAreRejected) {
  const char* lines[] = {
      "",
      "value 1 ABC -",          // odd hex
      "value 1 GG -",           // not hex
      "value x - -",            // type not a number
      "value 99999999999 - -",  // type past 32 bits
      "value 1 - - extra",
      "value  1 - -",  // empty field
      "key HKLM",
      "key HKU Run",  // only the two roots and the eight keys are ever recorded
      "key HKLM Winlogon",
      "key HKLM run",
      "sub -",  // a subkey needs a path
      "file user -",
      "file user - 1",    // an item needs a name
      "file other 41 1",  // only the two Startup folders
      "file user 41 x",
      "ini run",
      "end 1 123",  // checksum needs eight digits
      "end -1 00000000",
      "nothing 1 2",
  };
  RecordEntry entry;
  for (const char* line : lines) EXPECT_FALSE(parseRecordLine(line, strlen(line), entry)) << line;
  const char good[] = "value 4294967295 - 00";
  ASSERT_TRUE(parseRecordLine(good, strlen(good), entry));
  EXPECT_EQ(4294967295UL, entry.type);
  EXPECT_EQ(std::string("\0", 1), str(entry.data));
}

TEST(SettingsRecord, DamagedRecordHoldsNothing) {
  std::string file = sampleRecord();
  file[file.size() / 2] = static_cast<char>(file[file.size() / 2] ^ 1);
  SavedRecord saved;
  saved.load(file.data(), file.size());
  EXPECT_EQ(RECORD_DAMAGED, saved.state);
  EXPECT_FALSE(saved.holdsKey("HKLM", "Run"));
  StrBuf value;
  EXPECT_FALSE(saved.iniValue("run", value));
}

}  // namespace

#include "util/pure/TaskFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

void put16(Bytes& out, unsigned value) {
  out.push_back(value & 0xFF);
  out.push_back(value >> 8 & 0xFF);
}
void put32(Bytes& out, unsigned long value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}
// A counted string; null leaves it out (a count of 0).
void putText(Bytes& out, const char16_t* text) {
  std::u16string units = text ? std::u16string(text) + u'\0' : std::u16string();
  put16(out, units.size());
  for (char16_t unit : units) put16(out, unit);
}

const char16_t kApp[] = u"C:\\WINDOWS\\SYSTEM\\TUNEUP.EXE";
const char16_t kArgs[] = u"/auto /quiet";
const char16_t kWide[] = u"\u00C9t\u00E9\\\u4E2D.exe";

struct Fields {
  unsigned long flags = 0;
  const char16_t* application = kApp;
  const char16_t* parameters = kArgs;
  unsigned triggers = 2;
};

struct Built {
  Bytes bytes;
  size_t parametersAt;  // the parameters' count
  size_t triggersAt;    // the trigger count

  void setTriggerOffset(size_t offset) {
    bytes[0x16] = offset & 0xFF;
    bytes[0x17] = offset >> 8;
  }
};

// A task file as Task Scheduler writes one, every field in its place.
Built build(const Fields& fields) {
  Built built;
  Bytes& out = built.bytes;
  put16(out, 0x0501);
  put16(out, 1);
  for (int index = 0; index < 16; ++index) out.push_back(0xA0 + index);
  put16(out, 0x46);
  put16(out, 0);  // trigger offset, set below
  for (int index = 0; index < 4; ++index) put16(out, 0);
  put32(out, 0x20);
  put32(out, 72 * 3600 * 1000);
  put32(out, 0);
  put32(out, 0x41300);
  put32(out, fields.flags);
  out.resize(0x44, 0);
  put16(out, 0);
  putText(out, fields.application);
  built.parametersAt = out.size();
  putText(out, fields.parameters);
  putText(out, u"C:\\WINDOWS");
  putText(out, u"HOME\\Owner");
  putText(out, u"");
  put16(out, 0);
  put16(out, 8);
  out.resize(out.size() + 8, 0);
  built.triggersAt = out.size();
  built.setTriggerOffset(out.size());
  put16(out, fields.triggers);
  for (unsigned index = 0; index < fields.triggers; ++index) {
    put16(out, 0x30);
    out.resize(out.size() + 0x2E, 0);
  }
  return built;
}

std::u16string units(const TaskText& text) {
  std::u16string out;
  for (size_t index = 0; index < text.length; ++index) out += char16_t(text.unit(index));
  EXPECT_EQ(0u, text.unit(text.length)) << "no terminator after the text";
  return out;
}

struct Read {
  bool read;
  std::u16string application, parameters;
  bool disabled;
};

// Reads from an address skew bytes past an aligned one: nothing may read the
// units as aligned words. A buffer of the file's own length, so ASan sees its end.
Read readAt(const Bytes& bytes, size_t skew) {
  Bytes buffer(skew);
  buffer.insert(buffer.end(), bytes.begin(), bytes.end());
  TaskFile task;
  task.disabled = skew == 0;
  task.application.length = 0xDEAD;
  Read result{readTaskFile(buffer.data() + skew, bytes.size(), &task), u"", u"", false};
  if (!result.read) {
    EXPECT_EQ(0xDEADu, task.application.length) << "written though damaged";
    return result;
  }
  result.application = units(task.application);
  result.parameters = units(task.parameters);
  result.disabled = task.disabled;
  return result;
}

Read read(const Built& built) {
  Read aligned = readAt(built.bytes, 0), odd = readAt(built.bytes, 1);
  EXPECT_TRUE(aligned.read == odd.read && aligned.application == odd.application &&
              aligned.parameters == odd.parameters && aligned.disabled == odd.disabled);
  return aligned;
}

const Fields kPlain;

TEST(TaskFile, ReadsWhatTheFileHolds) {
  struct Case {
    const char* name;
    Fields fields;
    std::function<void(Built&)> change;
    const char16_t* application;
    const char16_t* parameters;
    bool disabled;
  } cases[] = {
      {"plain", kPlain, nullptr, kApp, kArgs, false},
      {"disabled", {0x4}, nullptr, kApp, kArgs, true},
      {"every flag but disabled", {~0x4ul}, nullptr, kApp, kArgs, false},
      {"0x4 in other flag bytes, status, last run",
       {0x04040400},
       [](Built& b) { b.bytes[0x2C] = b.bytes[0x34] = 4; },
       kApp,
       kArgs,
       false},
      {"parameters left out", {0, kApp, nullptr}, nullptr, kApp, u"", false},
      {"parameters empty", {0, kApp, u""}, nullptr, kApp, u"", false},
      {"application left out", {0, nullptr}, nullptr, u"", kArgs, false},
      {"units beyond ASCII kept whole", {0, kWide}, nullptr, kWide, kArgs, false},
      {"a text ends at its first zero unit", kPlain, [](Built& b) { b.bytes[0x48 + 2 * 3] = 0; },
       u"C:\\", kArgs, false},
      {"no triggers", {0, kApp, kArgs, 0}, nullptr, kApp, kArgs, false},
      {"a signature after the triggers", kPlain,
       [](Built& b) { b.bytes.resize(b.bytes.size() + 68); }, kApp, kArgs, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built built = build(c.fields);
    if (c.change) c.change(built);
    Read result = read(built);
    ASSERT_TRUE(result.read);
    EXPECT_EQ(c.application, result.application);
    EXPECT_EQ(c.parameters, result.parameters);
    EXPECT_EQ(c.disabled, result.disabled);
  }
}

TEST(TaskFile, DamagedOrAnotherKind) {
  struct Case {
    const char* name;
    Fields fields;
    std::function<void(Built&)> change;
  } cases[] = {
      {"zero-length file", kPlain, [](Built& b) { b.bytes.clear(); }},
      {"another kind of file", kPlain,
       [](Built& b) {
         std::string text = "[Task]\r\nRun=C:\\WINDOWS\\TUNEUP.EXE /auto\r\n";
         b.bytes.assign(text.begin(), text.end());
         b.bytes.resize(0x200, ' ');
       }},
      {"another file version", kPlain, [](Built& b) { b.bytes[0x02] = 2; }},
      {"application count past the end", kPlain,
       [](Built& b) { b.bytes[0x46] = b.bytes[0x47] = 0xFF; }},
      {"parameters count past the end", kPlain,
       [](Built& b) { b.bytes[b.parametersAt + 1] = 0x7F; }},
      {"application without its terminator", kPlain,
       [](Built& b) { b.bytes[b.parametersAt - 2] = 'x'; }},
      {"parameters without their terminator",
       {0, u"", u"/x"},
       [](Built& b) { b.bytes[b.parametersAt + 6] = 'x'; }},
      {"application offset elsewhere", kPlain, [](Built& b) { b.bytes[0x14] = 0x48; }},
      {"trigger offset past the end", kPlain, [](Built& b) { b.setTriggerOffset(b.bytes.size()); }},
      {"trigger offset on the last byte", kPlain,
       [](Built& b) { b.setTriggerOffset(b.bytes.size() - 1); }},
      {"trigger offset before the strings", kPlain, [](Built& b) { b.setTriggerOffset(0x44); }},
      {"more triggers than the file holds", kPlain, [](Built& b) { b.bytes[b.triggersAt]++; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built built = build(c.fields);
    c.change(built);
    EXPECT_FALSE(read(built).read);
  }
  // Every cut short of the whole file, the strings whole or not.
  const Built whole = build(kPlain);
  for (size_t length = 0; length < whole.bytes.size(); ++length) {
    SCOPED_TRACE(length);
    Built cut = whole;
    cut.bytes.resize(length);
    EXPECT_FALSE(read(cut).read);
  }
}

}  // namespace

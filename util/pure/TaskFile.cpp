#include "util/pure/TaskFile.h"

// The layout, little-endian throughout (Microsoft's .JOB file format, in the
// Task Scheduler remoting protocol's documentation):
//   fixed-length section, 0x44 bytes:
//     0x00 u16 product version (differs between Windows versions: not checked)
//     0x02 u16 file version, 1
//     0x04 16  job UUID
//     0x14 u16 offset of the application name's count
//     0x16 u16 offset of the triggers
//     0x18 u16 error retry count, 0x1A u16 error retry interval
//     0x1C u16 idle deadline,     0x1E u16 idle wait
//     0x20 u32 priority, 0x24 u32 maximum run time, 0x28 u32 exit code
//     0x2C u32 status
//     0x30 u32 task flags (TASK_FLAG_DISABLED 0x4)
//     0x34 16  last run time (SYSTEMTIME)
//   variable-length section, from 0x44:
//     u16 running instance count
//     counted strings: application name, parameters, working directory,
//       author, comment; each a u16 count of code units that includes the
//       terminating zero unit, then the units; a count of 0 (no units) is a
//       string left out
//     user data, reserved data, then at the trigger offset a u16 trigger
//       count and that many 0x30-byte triggers; an optional signature after.
namespace {

const size_t kFileVersionAt = 0x02;
const size_t kApplicationOffsetAt = 0x14;
const size_t kTriggerOffsetAt = 0x16;
const size_t kFlagsAt = 0x30;
const size_t kApplicationAt = 0x46;  // past the fixed section and the instance count
const unsigned kFileVersion = 1;
const unsigned long kTaskFlagDisabled = 0x4;
const size_t kTriggerSize = 0x30;

// What a string the file leaves out reads as: empty, and terminated like the others.
alignas(2) const unsigned char kNoText[2] = {0, 0};

unsigned read16(const unsigned char* at) { return at[0] | at[1] << 8; }

unsigned long read32(const unsigned char* at) {
  return read16(at) | static_cast<unsigned long>(read16(at + 2)) << 16;
}

// The counted string at *position (at most length), which moves past it.
bool readCountedText(const unsigned char* file, size_t length, size_t* position, TaskText* text) {
  if (length - *position < 2) return false;
  size_t start = *position + 2;
  size_t count = read16(file + *position);
  if (count > (length - start) / 2) return false;
  *position = start + 2 * count;
  text->bytes = kNoText;
  text->length = 0;
  if (count == 0) return true;
  const unsigned char* units = file + start;
  if (read16(units + 2 * (count - 1)) != 0) return false;
  text->bytes = units;
  // Ends at the latest at the terminator checked above.
  while (read16(units + 2 * text->length) != 0) ++text->length;
  return true;
}

}  // namespace

bool readTaskFile(const void* bytes, size_t length, TaskFile* task) {
  const unsigned char* file = static_cast<const unsigned char*>(bytes);
  if (length < kApplicationAt) return false;
  if (read16(file + kFileVersionAt) != kFileVersion) return false;
  if (read16(file + kApplicationOffsetAt) != kApplicationAt) return false;
  TaskFile found;
  size_t position = kApplicationAt;
  if (!readCountedText(file, length, &position, &found.application) ||
      !readCountedText(file, length, &position, &found.parameters))
    return false;
  // The triggers come after the strings; a file cut anywhere before their
  // end is damaged even where the part read here is whole.
  size_t triggers = read16(file + kTriggerOffsetAt);
  if (triggers < position || triggers > length || length - triggers < 2) return false;
  if (read16(file + triggers) > (length - triggers - 2) / kTriggerSize) return false;
  found.disabled = (read32(file + kFlagsAt) & kTaskFlagDisabled) != 0;
  *task = found;
  return true;
}

// Any bytes as a startup entry's command: the resolution must never read
// out of bounds, never ask about a path longer than Windows can open, and
// answer "found" only with a path it asked about and was told is there.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "util/pure/CommandLine.h"

namespace {

// Says a path is there by a rule of its bytes, so some names are found and
// some are not; remembers the last path it said yes to.
class HashProbe : public FileProbe {
 public:
  explicit HashProbe(uint8_t seed) : seed_(seed) {}
  bool isFile(const char* path) override {
    size_t length = strlen(path);
    if (length > kLongestPath) __builtin_trap();
    unsigned hash = seed_;
    for (size_t index = 0; index < length; ++index)
      hash = hash * 31 + static_cast<uint8_t>(path[index]);
    bool there = hash % 5 == 0;
    if (there) lastYes.assign(path);
    return there;
  }
  StrBuf lastYes;

 private:
  uint8_t seed_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  const char dirs[] = "C:\\WINDOWS\0C:\\WINDOWS\\SYSTEM\\\0D:\0";
  HashProbe probe(size > 0 ? data[0] : 0);
  StrBuf program;
  bool found = resolveCommandLine(text, size, dirs, probe, program);
  if (strlen(program.c_str()) > program.length()) __builtin_trap();
  if (found && strcmp(program.c_str(), probe.lastYes.c_str()) != 0) __builtin_trap();

  size_t start, count;
  if (firstListedProgram(text, size, &start, &count) && (count == 0 || start + count > size))
    __builtin_trap();
  return 0;
}

// The settings file and reports are read back through TextBuffer: any bytes,
// any line buffer size, with and without tab expansion.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "util/StrBuf.h"
#include "util/TextBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 2) return 0;
  const int lineSize = 2 + bytes[0] % 300;
  const int expandTabs = bytes[1] & 1;
  const char* text = reinterpret_cast<const char*>(bytes + 2);
  const unsigned count = static_cast<unsigned>(size - 2);

  TextBuffer fixed;
  fixed.maxLineSize = lineSize;
  fixed.expandTabs = expandTabs;
  if (!fixed.loadBytes(text, count, 2)) return 0;
  std::vector<char> line(static_cast<size_t>(lineSize));
  size_t fixedCharacters = 0;
  while (!fixed.atEnd()) {
    fixed.readLine(line.data());
    size_t length = strlen(line.data());
    if (length > static_cast<size_t>(lineSize - 1)) __builtin_trap();
    fixedCharacters += length;
  }

  TextBuffer whole;
  whole.expandTabs = expandTabs;
  whole.loadBytes(text, count, 2);
  StrBuf out;
  size_t wholeCharacters = 0;
  while (!whole.atEnd()) {
    if (!whole.readLine(out)) __builtin_trap();
    wholeCharacters += out.length();
  }
  // Without tabs both readers hand out every byte but CR and LF, and a
  // NUL inside a line ends it only for the fixed reader.
  if (!expandTabs && !memchr(text, 0, count) && fixedCharacters != wholeCharacters)
    __builtin_trap();

  TextBuffer built;
  if (built.reserve(16, 8)) {
    std::vector<char> piece(text, text + count);
    piece.push_back('\0');
    built.append(piece.data());
    built.append(piece.data(), count);
  }
  return 0;
}

// The name and path helpers on any text, into buffers of any size.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "util/Paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 1) return 0;
  const size_t bufferSize = bytes[0];
  std::string text(reinterpret_cast<const char*>(bytes + 1), size - 1);
  text = text.c_str();  // up to the first NUL, as the program's texts are

  std::vector<char> buffer(bufferSize + 1, '#');
  bool whole = copyText(buffer.data(), bufferSize, text.c_str());
  if (bufferSize > 0) {
    size_t length = strlen(buffer.data());
    if (length >= bufferSize || whole != (length == text.size())) __builtin_trap();
    appendText(buffer.data(), bufferSize, text.c_str());
    if (strlen(buffer.data()) >= bufferSize) __builtin_trap();
  }
  if (buffer[bufferSize] != '#') __builtin_trap();  // nothing written past the end

  std::string path = text;
  stripFileName(&path[0]);
  if (strlen(path.c_str()) > text.size()) __builtin_trap();
  std::string name = text;
  stripExtension(&name[0]);
  if (text.compare(0, strlen(name.c_str()), name.c_str()) != 0) __builtin_trap();
  findChar(text.c_str(), '\\');
  return 0;
}

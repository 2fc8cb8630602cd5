// Any bytes as a task file: the reader must never read out of bounds, and
// what it accepts must be texts inside the file, each ended by its first
// zero unit.
#include <stddef.h>
#include <stdint.h>

#include "util/pure/TaskFile.h"

namespace {

void checkText(const TaskText& text, const uint8_t* data, size_t size) {
  if (text.length == 0 && text.unit(0) == 0) return;  // a string left out may read as ours
  if (text.bytes < data || static_cast<size_t>(text.bytes - data) % 2 != 0) __builtin_trap();
  size_t room = (size - static_cast<size_t>(text.bytes - data)) / 2;
  if (text.length >= room) __builtin_trap();
  for (size_t index = 0; index < text.length; ++index)
    if (text.unit(index) == 0) __builtin_trap();
  if (text.unit(text.length) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TaskFile task;
  if (readTaskFile(data, size, &task)) {
    checkText(task.application, data, size);
    checkText(task.parameters, data, size);
  }
  return 0;
}

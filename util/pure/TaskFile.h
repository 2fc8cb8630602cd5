// A scheduled task's file (a .job file of Task Scheduler 1.0, as Windows 98,
// 2000 and XP write them in the Tasks folder) read from its bytes alone: the
// program it starts and whether the task is switched off.
#pragma once

#include <stddef.h>

// UTF-16LE code units inside the file's bytes (not copied). A zero unit
// always follows the text. Every text starts at an even offset in the file,
// so when the file's bytes are aligned for WCHAR the text is a terminated
// LPCWSTR as it stands; otherwise read it through unit().
struct TaskText {
  const unsigned char* bytes;
  size_t length;  // code units, the terminator not included
  unsigned unit(size_t index) const { return bytes[2 * index] | bytes[2 * index + 1] << 8; }
};

struct TaskFile {
  TaskText application;
  TaskText parameters;
  bool disabled;
};

// Reads a whole task file's bytes (any bytes). False, with *task untouched,
// when they are not a task file of that layout or are damaged: cut short, a
// string or the triggers running past the end, a string without its
// terminator, an offset that points elsewhere than the layout puts it. A
// string the file leaves out is given as empty; a string stops at its first
// zero unit, as a program reading it as a terminated string sees it.
bool readTaskFile(const void* bytes, size_t length, TaskFile* task);

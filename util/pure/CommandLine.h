// A command line read as Windows reads it to start a program: which file it
// starts. The file system is asked only through a FileProbe, so the rules
// run anywhere and can be tried against any set of files.
#pragma once

#include <stddef.h>

#include "util/StrBuf.h"

class FileProbe {
 public:
  virtual ~FileProbe() {}
  // Whether path names an existing file (a folder is not one).
  virtual bool isFile(const char* path) = 0;
};

// The longest path the ANSI file calls of Windows 98, 2000 and XP accept
// (MAX_PATH less its terminator): no longer name is ever tried.
const size_t kLongestPath = 259;

// Resolves the program a command line starts, as CreateProcess does: a quoted
// name is the program; an unquoted one is tried at each blank in turn,
// shortest first; a name without an extension is tried with ".exe" first; a
// bare name (no '\', '/' or ':') is looked for in searchDirs, in order. A
// rundll32.exe or rundll.exe host gives way to the file it loads (its first
// argument, up to the comma; ".dll" by default). True when the file is
// there; false when it is not (program then holds the likeliest reading of
// the name) or when the line names nothing (program empty). Any bytes are
// accepted; a zero byte ends the line.
// searchDirs: the folders, each ended by a zero byte, the list by an empty
// one ("C:\\WINDOWS\0C:\\WINDOWS\\SYSTEM\0\0"); null for none.
bool resolveCommandLine(const char* command, size_t length, const char* searchDirs,
                        FileProbe& probe, StrBuf& program);

// The first program of win.ini's run= or load= list, whose programs are
// separated by blanks or commas (a quoted one keeps its quotes). False when
// the list holds none.
bool firstListedProgram(const char* list, size_t length, size_t* start, size_t* count);

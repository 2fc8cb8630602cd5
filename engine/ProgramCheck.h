// What a startup entry starts: its command line resolved to the program
// file the way Windows resolves it, whether that file is there, and what
// its version resource says of it.
#pragma once

#include "engine/Entries.h"
#include "util/StrBuf.h"

class Engine;

struct ProgramInfo {
  StrBuf path;         // the program file, or the best reading of it when not found
  bool found;          // the file is there
  StrBuf description;  // FileDescription of its version resource, or empty
  StrBuf company;      // CompanyName, or empty
  // A registry value that holds no command ("binary data"); null otherwise.
  const char* notCommand = nullptr;
};

// Resolves the entry's program. readVersion: also read the version resource
// (for the status bar; drawing only needs found, and asks the registry for
// a value's type only when its program is not found). False when the entry
// names no program at all (an empty command) or is no command (notCommand).
bool checkProgram(Engine& engine, const ListedEntry& entry, bool readVersion, ProgramInfo& info);

// The status bar's text for the entry's program, "not found" included:
//   C:\Zeta\z.exe - Zeta Tool, Zeta Corp.      (the version's description and company)
//   C:\Zeta\z.exe                             (no version resource)
//   C:\Zeta\z.exe - not found
//   Notes.lnk -> C:\Notes\notes.exe - ...     (a shortcut and its target)
//   no program                                (an empty command)
//   Not a command: a number                   (REG_DWORD data, RunOnceEx's Title...)
void programStatusText(const ListedEntry& entry, const ProgramInfo& info, StrBuf& text);

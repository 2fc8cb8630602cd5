// Startlull's command line: /save FILE, /compare FILE, /find, /quiet and /?,
// split into arguments as the C runtime of Windows 98, 2000 and XP (MSVCRT)
// splits them for main(). No Windows call: the code page's lead bytes come
// from the caller.
#pragma once

#include <stddef.h>

#include "util/StrBuf.h"

// Whether a byte starts a two-byte character in the code page in use
// (IsDBCSLeadByte); null for a single-byte code page.
typedef bool (*LeadByteTest)(unsigned char byte);

// Where the arguments start in a whole command line (GetCommandLineA): past
// the program's name, which ends at its closing quote when it starts with
// one, else at the first blank or tab. Backslashes mean nothing in it.
const char* skipProgramName(const char* commandLine, LeadByteTest isLeadByte);

// The next argument from *pos, into argument (cleared first), as MSVCRT
// reads it: arguments are separated by blanks and tabs outside quotes; a
// quote opens or closes a quoted part and is dropped; 2n backslashes before
// a quote give n backslashes, 2n+1 give n and a quote kept as it is; other
// backslashes are kept; inside a quoted part "" gives one quote and closes
// the part. False when no argument is left (or memory ran out: argument's
// failed() says which). "" is an argument, the empty one.
bool nextArgument(const char** pos, LeadByteTest isLeadByte, StrBuf& argument);

enum SwitchesAction {
  SWITCHES_WINDOW,   // none given: the window as always
  SWITCHES_FIND,     // /find: the window, and Find at once
  SWITCHES_SAVE,     // /save FILE alone: Find and the report, no window
  SWITCHES_COMPARE,  // /compare FILE, perhaps with /save FILE: no window
  SWITCHES_HELP,     // /?: the list of the switches, exit code 0
  SWITCHES_WRONG,    // see error: the list of the switches, exit code 1
};

enum SwitchesError {
  SWITCHES_FINE,
  SWITCH_UNKNOWN,        // a switch we do not have
  SWITCH_NEEDS_FILE,     // /save or /compare as the last argument, or before a switch or ""
  SWITCH_TWICE,          // the same switch given again
  SWITCH_FIND_AND_FILE,  // /find with /save or /compare
  SWITCH_QUIET_ALONE,    // /quiet without /save or /compare
  SWITCH_NOT_A_SWITCH,   // an argument that is neither a switch nor a switch's file
  SWITCHES_NO_MEMORY,
};

struct Switches {
  Switches()
      : action(SWITCHES_WINDOW), error(SWITCHES_FINE), save(false), compare(false), find(false),
        quiet(false) {}
  Switches(const Switches&) = delete;
  Switches& operator=(const Switches&) = delete;

  SwitchesAction action;
  SwitchesError error;
  StrBuf named;  // the argument the error is about, as given
  bool save, compare, find, quiet;
  StrBuf saveFile, compareFile;  // as given; a path may hold blanks
};

// Reads the arguments (the text after the program's name). A switch starts
// with '/' or '-' and is taken in any letter case. The argument after /save
// or /compare is its file, whatever it looks like, unless it is one of our
// switches or empty. The first fault found is the error; /? anywhere gives
// SWITCHES_HELP all the same, and quiet is set when /quiet is anywhere, so
// a batch file that asks for silence gets it whatever else is wrong.
void parseSwitches(const char* arguments, LeadByteTest isLeadByte, Switches& switches);

// What the switches are, for the message that lists them; CR LF between lines.
extern const char kSwitchesHelp[];
// The fault in words: "Unknown switch: /x". Nothing when there is none.
bool appendSwitchesError(StrBuf& out, const Switches& switches);

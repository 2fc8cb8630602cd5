#include "util/pure/Switches.h"

#include <string.h>

const char kSwitchesHelp[] =
    "startlull [/find | [/save FILE] [/compare FILE] [/quiet] | /?]\r\n"
    "\r\n"
    "/find\topens the window and runs Find at once.\r\n"
    "/save FILE\truns Find and writes its report to FILE, without the window;\r\n"
    "\texit code 0 when written, 1 on any failure.\r\n"
    "/compare FILE\truns Find and compares it with the report FILE: exit code 0\r\n"
    "\twhen nothing is new or changed, 2 when something is, 1 on failure.\r\n"
    "\tWith /save OUT as well, the differences are written to OUT.\r\n"
    "/quiet\twith /save or /compare: no message on failure, the exit code only.\r\n"
    "/?\tthis list.\r\n"
    "\r\n"
    "A file name with blanks goes in quotes: /save \"C:\\My Reports\\today.txt\"";

namespace {

enum SwitchName { SAVE, COMPARE, FIND, QUIET, HELP, SWITCH_COUNT, NOT_OURS = SWITCH_COUNT };
const char* const kSwitchNames[SWITCH_COUNT] = {"save", "compare", "find", "quiet", "?"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isLead(LeadByteTest isLeadByte, char c) {
  return isLeadByte && isLeadByte(static_cast<unsigned char>(c));
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool looksLikeSwitch(const StrBuf& argument) {
  return argument.length() > 0 && (argument.c_str()[0] == '/' || argument.c_str()[0] == '-');
}

SwitchName switchName(const StrBuf& argument) {
  if (!looksLikeSwitch(argument)) return NOT_OURS;
  const char* name = argument.c_str() + 1;
  size_t length = argument.length() - 1;
  for (int index = 0; index < SWITCH_COUNT; ++index) {
    const char* ours = kSwitchNames[index];
    if (strlen(ours) != length) continue;
    size_t i = 0;
    while (i < length && lowerAscii(name[i]) == ours[i]) ++i;
    if (i == length) return static_cast<SwitchName>(index);
  }
  return NOT_OURS;
}

// The first fault is kept; later ones do not replace it.
void fault(Switches& switches, SwitchesError error, const StrBuf& argument) {
  if (switches.error != SWITCHES_FINE) return;
  switches.error = error;
  switches.named.assign(argument.c_str());
}

}  // namespace

const char* skipProgramName(const char* commandLine, LeadByteTest isLeadByte) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') p += isLead(isLeadByte, *p) && p[1] != '\0' ? 2 : 1;
    if (*p == '"') ++p;
    return p;
  }
  while (*p != '\0' && !isBlank(*p)) p += isLead(isLeadByte, *p) && p[1] != '\0' ? 2 : 1;
  return p;
}

bool nextArgument(const char** pos, LeadByteTest isLeadByte, StrBuf& argument) {
  argument.clear();
  const char* p = *pos;
  while (isBlank(*p)) ++p;
  if (*p == '\0') {
    *pos = p;
    return false;
  }
  bool quoted = false;
  for (;;) {
    size_t slashes = 0;
    while (*p == '\\') {
      ++p;
      ++slashes;
    }
    bool keep = true;
    if (*p == '"') {
      if (slashes % 2 == 0) {
        // MSVCRT before Visual C++ 2008: "" inside quotes is a quote, and
        // the quoted part ends there.
        if (quoted && p[1] == '"')
          ++p;
        else
          keep = false;
        quoted = !quoted;
      }
      slashes /= 2;
    }
    for (; slashes > 0; --slashes) argument.appendChar('\\');
    if (*p == '\0' || (!quoted && isBlank(*p))) break;
    if (keep) {
      if (isLead(isLeadByte, *p) && p[1] != '\0') argument.appendChar(*p++);
      argument.appendChar(*p);
    }
    ++p;
  }
  *pos = p;
  return !argument.failed();
}

void parseSwitches(const char* arguments, LeadByteTest isLeadByte, Switches& switches) {
  switches.action = SWITCHES_WINDOW;
  switches.error = SWITCHES_FINE;
  switches.named.clear();
  switches.save = switches.compare = switches.find = switches.quiet = false;
  switches.saveFile.clear();
  switches.compareFile.clear();
  bool given[SWITCH_COUNT] = {};
  StrBuf argument, file;
  const char* pos = arguments;
  while (nextArgument(&pos, isLeadByte, argument)) {
    SwitchName name = switchName(argument);
    if (name == NOT_OURS) {
      fault(switches, looksLikeSwitch(argument) ? SWITCH_UNKNOWN : SWITCH_NOT_A_SWITCH, argument);
      continue;
    }
    if (given[name]) fault(switches, SWITCH_TWICE, argument);
    given[name] = true;
    if (name != SAVE && name != COMPARE) continue;
    // The file: the next argument, unless the user left it out.
    const char* next = pos;
    if (!nextArgument(&next, isLeadByte, file) || file.length() == 0 ||
        switchName(file) != NOT_OURS) {
      if (file.failed()) break;
      fault(switches, SWITCH_NEEDS_FILE, argument);
      continue;
    }
    pos = next;
    StrBuf& target = name == SAVE ? switches.saveFile : switches.compareFile;
    if (target.length() == 0) target.assign(file.c_str());
  }
  if (argument.failed() || file.failed() || switches.saveFile.failed() ||
      switches.compareFile.failed() || switches.named.failed()) {
    switches.error = SWITCHES_NO_MEMORY;
    switches.named.clear();
  }
  switches.save = given[SAVE];
  switches.compare = given[COMPARE];
  switches.find = given[FIND];
  switches.quiet = given[QUIET];
  StrBuf spelled;
  if (switches.find && (switches.save || switches.compare)) {
    spelled.assign("/find");
    fault(switches, SWITCH_FIND_AND_FILE, spelled);
  }
  if (switches.quiet && !switches.save && !switches.compare) {
    spelled.assign("/quiet");
    fault(switches, SWITCH_QUIET_ALONE, spelled);
  }
  if (given[HELP])
    switches.action = SWITCHES_HELP;
  else if (switches.error != SWITCHES_FINE)
    switches.action = SWITCHES_WRONG;
  else if (switches.compare)
    switches.action = SWITCHES_COMPARE;
  else if (switches.save)
    switches.action = SWITCHES_SAVE;
  else if (switches.find)
    switches.action = SWITCHES_FIND;
}

bool appendSwitchesError(StrBuf& out, const Switches& switches) {
  const char* named = switches.named.c_str();
  switch (switches.error) {
    case SWITCH_UNKNOWN:
      return out.append("Unknown switch: ") && out.append(named);
    case SWITCH_NEEDS_FILE:
      return out.append(named) && out.append(" needs a file name after it.");
    case SWITCH_TWICE:
      return out.append(named) && out.append(" is given more than once.");
    case SWITCH_FIND_AND_FILE:
      return out.append(named) &&
             out.append(" opens the window: it goes with neither /save nor /compare.");
    case SWITCH_QUIET_ALONE:
      return out.append(named) && out.append(" goes with /save or /compare.");
    case SWITCH_NOT_A_SWITCH:
      return out.append("Not a switch: ") && out.append(named);
    case SWITCHES_NO_MEMORY:
      return out.append("Not enough memory to read the command line.");
    default:
      return true;
  }
}

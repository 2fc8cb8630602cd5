#include "util/pure/CommandLine.h"

#include <string.h>

namespace {

const char kProgramExtension[] = ".exe";
const char kLibraryExtension[] = ".dll";
// What a name that is not there most likely ends with, when its end is not
// marked by quotes.
const char* const kRunnableExtensions[] = {".exe", ".com", ".bat", ".cmd", ".pif", ".scr"};
// Programs whose first argument names the file they start.
const char* const kHosts[] = {"rundll32.exe", "rundll.exe"};

struct Span {
  const char* text;
  size_t length;
};

Span after(Span span, size_t offset) { return Span{span.text + offset, span.length - offset}; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares as the file system does for the names in question (plain ASCII).
bool sameName(Span span, const char* text) {
  if (span.length != strlen(text)) return false;
  for (size_t index = 0; index < span.length; ++index)
    if (lowerAscii(span.text[index]) != lowerAscii(text[index])) return false;
  return true;
}

Span skipBlanks(Span span) {
  size_t start = 0;
  while (start < span.length && isBlank(span.text[start])) ++start;
  return after(span, start);
}

Span trimEnd(Span span) {
  while (span.length > 0 && isBlank(span.text[span.length - 1])) --span.length;
  return span;
}

Span fileName(Span path) {
  size_t start = path.length;
  while (start > 0 && !isSeparator(path.text[start - 1])) --start;
  return after(path, start);
}

// The file name's extension, its dot included; empty when it has none.
Span extension(Span path) {
  Span name = fileName(path);
  for (size_t index = name.length; index > 0; --index)
    if (name.text[index - 1] == '.') return after(name, index - 1);
  return after(name, name.length);
}

bool isBare(Span name) {
  for (size_t index = 0; index < name.length; ++index)
    if (isSeparator(name.text[index])) return false;
  return true;
}

bool endsLikeProgram(Span name, const char* defaultExtension) {
  Span found = extension(name);
  if (sameName(found, defaultExtension)) return true;
  for (const char* runnable : kRunnableExtensions)
    if (sameName(found, runnable)) return true;
  return false;
}

class Resolver {
 public:
  Resolver(const char* dirs, FileProbe& probe) : dirs_(dirs ? dirs : ""), probe_(probe) {}

  // Reads one program name from the start of command: true when its file is
  // there. *rest: the text after the name.
  bool resolve(Span command, const char* defaultExtension, StrBuf& program, Span* rest);

 private:
  bool tryName(Span name, const char* defaultExtension, StrBuf& found);
  bool tryPath(const char* dir, Span name, const char* extension, StrBuf& found);

  const char* dirs_;
  FileProbe& probe_;
};

bool Resolver::tryPath(const char* dir, Span name, const char* extension, StrBuf& found) {
  found.clear();
  if (dir) {
    size_t dirLength = strlen(dir);
    found.append(dir, dirLength);
    if (dir[dirLength - 1] != '\\' && dir[dirLength - 1] != '/') found.appendChar('\\');
  }
  found.append(name.text, name.length);
  if (extension) found.append(extension);
  return !found.failed() && found.length() <= kLongestPath && probe_.isFile(found.c_str());
}

bool Resolver::tryName(Span name, const char* defaultExtension, StrBuf& found) {
  if (name.length == 0 || name.length > kLongestPath) return false;
  // Where both are there, "zeta" starts zeta.exe, not a file named zeta.
  const char* added = extension(name).length == 0 ? defaultExtension : nullptr;
  if (!isBare(name))
    return (added && tryPath(nullptr, name, added, found)) ||
           tryPath(nullptr, name, nullptr, found);
  for (const char* dir = dirs_; *dir; dir += strlen(dir) + 1)
    if ((added && tryPath(dir, name, added, found)) || tryPath(dir, name, nullptr, found))
      return true;
  return false;
}

bool Resolver::resolve(Span command, const char* defaultExtension, StrBuf& program, Span* rest) {
  command = skipBlanks(command);
  program.clear();
  *rest = after(command, command.length);
  if (command.length == 0) return false;

  if (command.text[0] == '"') {
    // An unterminated quote runs to the end of the line.
    const void* close = memchr(command.text + 1, '"', command.length - 1);
    size_t end = close ? static_cast<size_t>(static_cast<const char*>(close) - command.text)
                       : command.length;
    Span name = trimEnd(Span{command.text + 1, end - 1});
    *rest = after(command, close ? end + 1 : end);
    if (tryName(name, defaultExtension, program)) return true;
    program.clear();
    program.append(name.text, name.length);
    return false;
  }

  // "C:\Program Files\Zeta\z.exe /min": each blank may end the name, and the
  // shortest name that is there wins, as CreateProcess decides. For a name
  // that is not there, the likeliest is the shortest that ends like a program
  // (the path above, not "C:\Program"), else the first word.
  size_t reading = 0;
  for (size_t end = 1; end <= command.length && end <= kLongestPath; ++end) {
    if (end < command.length && !isBlank(command.text[end])) continue;
    if (isBlank(command.text[end - 1])) continue;  // a run of blanks ends the same name
    Span name{command.text, end};
    if (tryName(name, defaultExtension, program)) {
      *rest = after(command, end);
      return true;
    }
    if (reading == 0 && endsLikeProgram(name, defaultExtension)) reading = end;
  }
  if (reading == 0)
    while (reading < command.length && !isBlank(command.text[reading])) ++reading;
  program.clear();
  program.append(command.text, reading);
  if (extension(Span{command.text, reading}).length == 0) program.append(defaultExtension);
  *rest = after(command, reading);
  return false;
}

bool isHost(const StrBuf& program) {
  Span name = fileName(Span{program.c_str(), program.length()});
  for (const char* host : kHosts)
    if (sameName(name, host)) return true;
  return false;
}

// A host's first argument: "shell32.dll,Control_RunDLL x.cpl" loads
// shell32.dll. A comma inside quotes belongs to the name.
Span hostArgument(Span arguments) {
  arguments = skipBlanks(arguments);
  bool quoted = false;
  size_t end = 0;
  for (; end < arguments.length; ++end) {
    if (arguments.text[end] == '"') quoted = !quoted;
    if (arguments.text[end] == ',' && !quoted) break;
  }
  return Span{arguments.text, end};
}

size_t textLength(const char* text, size_t length) {
  const void* zero = memchr(text, '\0', length);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : length;
}

}  // namespace

bool resolveCommandLine(const char* command, size_t length, const char* searchDirs,
                        FileProbe& probe, StrBuf& program) {
  program.clear();
  if (!command) return false;
  Resolver resolver(searchDirs, probe);
  Span rest;
  bool found = resolver.resolve(Span{command, textLength(command, length)}, kProgramExtension,
                                program, &rest);
  if (program.length() == 0 || !isHost(program)) return found;
  Span argument = hostArgument(rest);
  if (argument.length == 0) return found;
  StrBuf loaded;
  Span unused;
  bool loadedFound = resolver.resolve(argument, kLibraryExtension, loaded, &unused);
  if (loaded.length() == 0) return found;
  program.clear();
  program.append(loaded.c_str(), loaded.length());
  return loadedFound;
}

bool firstListedProgram(const char* list, size_t length, size_t* start, size_t* count) {
  *start = *count = 0;
  if (!list) return false;
  length = textLength(list, length);
  size_t begin = 0;
  while (begin < length && (isBlank(list[begin]) || list[begin] == ',')) ++begin;
  size_t end = begin;
  if (begin < length && list[begin] == '"') {
    const void* close = memchr(list + begin + 1, '"', length - begin - 1);
    end = close ? static_cast<size_t>(static_cast<const char*>(close) - list) + 1 : length;
  } else {
    while (end < length && !isBlank(list[end]) && list[end] != ',') ++end;
  }
  *start = begin;
  *count = end - begin;
  return end > begin;
}

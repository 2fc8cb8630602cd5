// The engine's compound reads and writes of the registry and win.ini, each
// in one place: a key's values read whole, a win.ini value read whole, a
// key created.
#pragma once

#include "platform/Platform.h"

class StrBuf;

// One value as RegEnumValueA gives it: nameSize characters of name (a NUL
// after them), the type and the data bytes.
struct RegistryValue {
  const char* name;
  DWORD nameSize;
  DWORD type;
  const BYTE* data;
  DWORD dataSize;
};

class ValueSink {
 public:
  virtual ~ValueSink() {}
  // False stops the reading (memory ran out).
  virtual bool take(const RegistryValue& value) = 0;
};

// Every value of an open key, in index order, each whole: buffers sized from
// RegQueryInfoKeyA and grown for a value that has grown since. True when the
// key was read to its end; false when anything ended it early: an error (a
// key deleted meanwhile answers ERROR_KEY_DELETED for every index, never the
// end), a value that kept growing, memory, or the sink. *count: the values
// taken.
bool readKeyValues(Platform& platform, HKEY key, ValueSink& sink, DWORD* count);

// A win.ini [windows] value, however long; false when memory runs out.
bool readWholeProfileValue(Platform& platform, const char* key, StrBuf& value);

class TextBuffer;

// The one durable write of the settings file and the stores: the text goes
// to temp, is flushed, read back and compared byte for byte, and only then
// renamed to path. With replace the file at path is deleted first (Windows
// 98 cannot rename over a file): from then until the rename the proven temp
// file stands for it, and stays when the rename fails; before that a failure
// leaves nothing at temp. A rename must leave nothing under temp (one that
// answers success and does nothing would leave the only copy under a name
// that is cleaned up as a leftover). ERROR_SUCCESS, or the failing call's
// error; ERROR_WRITE_FAULT for bytes that read back other than written.
DWORD writeDurably(Platform& platform, const char* path, const char* temp, TextBuffer& text,
                   bool replace);

// Takes each file of a folder in turn; false stops the walk.
class FileSink {
 public:
  virtual ~FileSink() {}
  virtual bool take(const WIN32_FIND_DATAA& file) = 0;
};

// The files of a folder (not its subfolders), in the listing's order.
// ERROR_SUCCESS when it was listed to its end; ERROR_FILE_NOT_FOUND or
// ERROR_PATH_NOT_FOUND when there is no such folder (or an empty path);
// ERROR_CANCELLED when the sink stopped it; any other error when the
// folder could not be listed or its listing broke off, which is never its end.
DWORD walkFolder(Platform& platform, const char* folder, FileSink& sink);

template <class Take>
class FileFunction : public FileSink {
 public:
  explicit FileFunction(Take take) : take_(take) {}
  bool take(const WIN32_FIND_DATAA& file) override { return take_(file); }

 private:
  Take take_;
};

template <class Take>
DWORD walkFolder(Platform& platform, const char* folder, Take take) {
  FileFunction<Take> sink(take);
  return walkFolder(platform, folder, static_cast<FileSink&>(sink));
}

// Creates or opens a key below parent with every access, as Restore writes it.
LONG createKey(Platform& platform, HKEY parent, const char* path, HKEY* key);

// The system's words for an error, and its number: "Access is denied. (error 5)".
void appendSystemError(Platform& platform, DWORD error, StrBuf& text);

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

// Creates or opens a key below parent with every access, as Restore writes it.
LONG createKey(Platform& platform, HKEY parent, const char* path, HKEY* key);

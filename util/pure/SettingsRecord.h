// The settings file's text, apart from any file or registry: the split of a
// listing line into value name and data, and our own record of everything a
// Remove takes away (whole registry keys and the win.ini values), which
// follows the listing under a heading of its own.
//
// The record's lines, after the heading:
//   ini <key> <value hex>                 a win.ini [windows] value, whole
//   key <HKLM|HKCU> <key name>            a Run-type key: its values follow
//   sub <path hex>                        a key below it (path relative to it)
//   value <type> <name hex> <data hex>    a value of the last key or sub
//   file <user|common> <name hex> <attr>  an item moved out of a Startup folder
//   end <line count> <checksum hex>       count and FNV-1a of the lines above
// An empty field is written "-". Hex keeps every byte (tabs, line breaks,
// zero bytes, "=" and "[") out of the line structure.
#pragma once

#include <stddef.h>

#include "util/StrBuf.h"
#include "util/pure/HexText.h"

// A line that no listing can hold: ':' never appears in a file name, and no
// other listing line starts with "[Saved".
extern const char kRecordHeading[];

// The record's name for a piece of text (util/pure/HexText.h).
using TextSpan = TextPiece;

// The listing rule for a registry value line: split at the first "=", the
// name without the character before it, the data from two characters after
// it. False when there is no "=" or it is the first character.
bool splitListingLine(const char* line, size_t length, TextSpan* name, TextSpan* data);

struct RecordEntry;

// Builds the record: the heading, the lines, and at finish() the end line.
// Each line ends in CR LF. A false result means memory ran out.
class RecordWriter {
 public:
  RecordWriter();
  bool iniValue(const char* key, const char* value, size_t length);
  bool key(const char* root, const char* name);
  bool subkey(const char* path, size_t length);
  bool value(unsigned long type, const char* name, size_t nameLength, const void* data,
             size_t dataLength);
  bool file(const char* folder, const char* name, size_t nameLength, unsigned long attributes);
  // Any entry but the end line, as a cursor gave it: a record copied entry by entry.
  bool entry(const RecordEntry& entry);
  bool finish();
  const StrBuf& text() const { return text_; }

 private:
  bool line(const StrBuf& body);

  StrBuf text_;
  unsigned long lines_;
  unsigned long checksum_;
};

struct RecordEntry {
  enum Kind { INI, KEY, SUBKEY, VALUE, FILE_ITEM, END } kind;
  StrBuf root;  // KEY: "HKLM" or "HKCU"; FILE_ITEM: "user" or "common"
  StrBuf name;  // INI: key; KEY: key name; SUBKEY: path; VALUE: value name; FILE_ITEM: file name
  StrBuf data;  // INI: value; VALUE: data bytes
  unsigned long type;      // VALUE: registry type; FILE_ITEM: file attributes
  unsigned long count;     // END
  unsigned long checksum;  // END
};

// Decodes one record line (no line break). False for anything malformed.
bool parseRecordLine(const char* line, size_t length, RecordEntry& entry);

enum RecordState { RECORD_NONE = 0, RECORD_VALID = 1, RECORD_DAMAGED = 2 };

// Where the record starts in a settings file's bytes: the offset of the last
// heading line whose record checks whole, else of the last heading line (a
// damaged record), or length when the file has none (the listing alone).
// A listing line can equal the heading (registry data may hold line breaks);
// the record's own lines are hex and never do, so the real record is found
// by its structure, not by its first look-alike.
size_t findRecordHeading(const char* text, size_t length);

// Checks the record's lines (the text after the heading line): every line
// decodes, the end line is the last one and its count and checksum match.
RecordState checkRecord(const char* text, size_t length);

// Walks the lines of a checked record.
class RecordCursor {
 public:
  RecordCursor(const char* text, size_t length);
  // The next entry; false at the end line or at the end of the text.
  bool next(RecordEntry& entry);

 private:
  const char* pos_;
  const char* end_;
};

// The record of the last settings file written or read, kept for Remove's
// roll-back and for Restore.
class SavedRecord {
 public:
  SavedRecord() : state(RECORD_NONE) {}
  SavedRecord(const SavedRecord&) = delete;
  SavedRecord& operator=(const SavedRecord&) = delete;

  // Takes the record from a whole settings file's bytes.
  void load(const char* file, size_t length);
  void clear();
  bool valid() const { return state == RECORD_VALID; }
  // Whether a valid record holds that key ("HKLM"/"HKCU", "Run"...).
  bool holdsKey(const char* root, const char* name) const;
  // A win.ini value of a valid record; false when it holds none.
  bool iniValue(const char* key, StrBuf& value) const;
  // The attributes recorded for an item of a Startup folder ("user" or
  // "common"); false when the record holds none. *hint is where the last
  // search ended (start with 0): items are recorded in the order a folder
  // lists them, so a move that lists the folder again finds each at once.
  bool fileAttributes(const char* folder, const char* name, unsigned long* attributes,
                      size_t* hint) const;

  StrBuf lines;  // the record's text after its heading line
  RecordState state;
};

#include "util/pure/SettingsRecord.h"

#include <string.h>

#include "util/pure/HexText.h"
#include "util/pure/PlaceTable.h"

const char kRecordHeading[] = "[Saved data: registry keys and win.ini values]";

namespace {

const unsigned long kFnvOffset = kFnvStart;
const char* const kEmptyField = kEmptyHexField;

// The record's own names for the shared hex, number and checksum helpers.
unsigned long fnv(unsigned long hash, const char* bytes, size_t count) {
  return fnvOf(hash, bytes, count);
}
bool appendHex(StrBuf& out, const void* bytes, size_t count) {
  return appendHexBytes(out, static_cast<const char*>(bytes), count);
}
bool appendNumber(StrBuf& out, unsigned long value, unsigned base, int minDigits) {
  return appendNumberText(out, value, base, minDigits);
}
bool decodeHex(TextSpan field, StrBuf& out) { return decodeHexBytes(field, out); }
bool parseNumber(TextSpan field, unsigned base, size_t exactDigits, unsigned long* value) {
  return parseNumberText(field, base, exactDigits, value);
}

bool sameText(TextSpan field, const char* text) {
  size_t length = strlen(text);
  return field.length == length && memcmp(field.text, text, length) == 0;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isRecordedRoot(TextSpan field) { return sameText(field, "HKLM") || sameText(field, "HKCU"); }

bool isRecordedKey(TextSpan field) {
  for (const Place& place : places)
    if (place.kind == PLACE_VALUE_LIST && sameText(field, listName(place))) return true;
  return false;
}

bool sameTextNoCase(const char* a, size_t aLength, const char* b) {
  size_t bLength = strlen(b);
  if (aLength != bLength) return false;
  for (size_t i = 0; i < aLength; ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

// Fields separated by single blanks; false when there are not exactly count.
bool splitFields(const char* line, size_t length, TextSpan* fields, size_t count) {
  return splitBlankFields(TextPiece{line, length}, fields, count) == count;
}

bool nextLine(const char** pos, const char* end, TextSpan* line) {
  return nextTextLine(pos, end, line);
}

}  // namespace

bool splitListingLine(const char* line, size_t length, TextSpan* name, TextSpan* data) {
  const char* equals = static_cast<const char*>(memchr(line, '=', length));
  if (!equals || equals == line) return false;
  size_t i = static_cast<size_t>(equals - line);
  name->text = line;
  name->length = i - 1;
  data->text = line + (i + 2 < length ? i + 2 : length);
  data->length = i + 2 < length ? length - (i + 2) : 0;
  return true;
}

RecordWriter::RecordWriter() : lines_(0), checksum_(kFnvOffset) {
  text_.append(kRecordHeading);
  text_.append("\r\n");
}

bool RecordWriter::line(const StrBuf& body) {
  if (body.failed() || text_.failed()) return false;
  checksum_ = fnv(checksum_, body.c_str(), body.length());
  checksum_ = fnv(checksum_, "\n", 1);
  ++lines_;
  return text_.append(body.c_str(), body.length()) && text_.append("\r\n");
}

bool RecordWriter::iniValue(const char* key, const char* value, size_t length) {
  StrBuf body;
  body.append("ini ");
  body.append(key);
  body.appendChar(' ');
  appendHex(body, value, length);
  return line(body);
}

bool RecordWriter::key(const char* root, const char* name) {
  StrBuf body;
  body.append("key ");
  body.append(root);
  body.appendChar(' ');
  body.append(name);
  return line(body);
}

bool RecordWriter::subkey(const char* path, size_t length) {
  StrBuf body;
  body.append("sub ");
  appendHex(body, path, length);
  return line(body);
}

bool RecordWriter::value(unsigned long type, const char* name, size_t nameLength, const void* data,
                         size_t dataLength) {
  StrBuf body;
  body.append("value ");
  appendNumber(body, type, 10, 1);
  body.appendChar(' ');
  appendHex(body, name, nameLength);
  body.appendChar(' ');
  appendHex(body, data, dataLength);
  return line(body);
}

bool RecordWriter::file(const char* folder, const char* name, size_t nameLength,
                        unsigned long attributes) {
  StrBuf body;
  body.append("file ");
  body.append(folder);
  body.appendChar(' ');
  appendHex(body, name, nameLength);
  body.appendChar(' ');
  appendNumber(body, attributes, 10, 1);
  return line(body);
}

bool RecordWriter::entry(const RecordEntry& entry) {
  const StrBuf& name = entry.name;
  switch (entry.kind) {
    case RecordEntry::INI:
      return iniValue(name.c_str(), entry.data.c_str(), entry.data.length());
    case RecordEntry::KEY:
      return key(entry.root.c_str(), name.c_str());
    case RecordEntry::SUBKEY:
      return subkey(name.c_str(), name.length());
    case RecordEntry::VALUE:
      return value(entry.type, name.c_str(), name.length(), entry.data.c_str(),
                   entry.data.length());
    case RecordEntry::FILE_ITEM:
      return file(entry.root.c_str(), name.c_str(), name.length(), entry.type);
    default:
      return false;
  }
}

bool RecordWriter::finish() {
  StrBuf body;
  body.append("end ");
  appendNumber(body, lines_, 10, 1);
  body.appendChar(' ');
  appendNumber(body, checksum_, 16, 8);
  if (body.failed()) return false;
  return text_.append(body.c_str(), body.length()) && text_.append("\r\n");
}

bool parseRecordLine(const char* line, size_t length, RecordEntry& entry) {
  TextSpan fields[4];
  entry.root.clear();
  entry.name.clear();
  entry.data.clear();
  entry.type = entry.count = entry.checksum = 0;
  if (splitFields(line, length, fields, 3)) {
    if (sameText(fields[0], "ini")) {
      entry.kind = RecordEntry::INI;
      return entry.name.append(fields[1].text, fields[1].length) &&
             decodeHex(fields[2], entry.data);
    }
    if (sameText(fields[0], "key")) {
      // Remove records only the eight Run-type keys; a record naming any
      // other key was not written by us and is not trusted.
      entry.kind = RecordEntry::KEY;
      return isRecordedRoot(fields[1]) && isRecordedKey(fields[2]) &&
             entry.root.append(fields[1].text, fields[1].length) &&
             entry.name.append(fields[2].text, fields[2].length);
    }
    if (sameText(fields[0], "end")) {
      entry.kind = RecordEntry::END;
      return parseNumber(fields[1], 10, 0, &entry.count) &&
             parseNumber(fields[2], 16, 8, &entry.checksum);
    }
    return false;
  }
  if (splitFields(line, length, fields, 2) && sameText(fields[0], "sub")) {
    entry.kind = RecordEntry::SUBKEY;
    return decodeHex(fields[1], entry.name) && entry.name.length() > 0;
  }
  if (splitFields(line, length, fields, 4) && sameText(fields[0], "value")) {
    entry.kind = RecordEntry::VALUE;
    return parseNumber(fields[1], 10, 0, &entry.type) && decodeHex(fields[2], entry.name) &&
           decodeHex(fields[3], entry.data);
  }
  if (splitFields(line, length, fields, 4) && sameText(fields[0], "file")) {
    entry.kind = RecordEntry::FILE_ITEM;
    return (sameText(fields[1], "user") || sameText(fields[1], "common")) &&
           entry.root.append(fields[1].text, fields[1].length) &&
           decodeHex(fields[2], entry.name) && entry.name.length() > 0 &&
           parseNumber(fields[3], 10, 0, &entry.type);
  }
  return false;
}

size_t findRecordHeading(const char* text, size_t length) {
  const char* pos = text;
  const char* end = text + length;
  size_t last = length, lastWhole = length;
  TextSpan line;
  const char* start = pos;
  while (nextLine(&pos, end, &line)) {
    if (sameText(line, kRecordHeading)) {
      last = static_cast<size_t>(start - text);
      if (checkRecord(pos, static_cast<size_t>(end - pos)) == RECORD_VALID) lastWhole = last;
    }
    start = pos;
  }
  return lastWhole != length ? lastWhole : last;
}

RecordState checkRecord(const char* text, size_t length) {
  const char* pos = text;
  const char* end = text + length;
  unsigned long lines = 0, checksum = kFnvOffset;
  TextSpan line;
  RecordEntry entry;
  while (nextLine(&pos, end, &line)) {
    if (!parseRecordLine(line.text, line.length, entry)) return RECORD_DAMAGED;
    if (entry.kind == RecordEntry::END) {
      bool whole = entry.count == lines && entry.checksum == checksum && pos == end;
      return whole ? RECORD_VALID : RECORD_DAMAGED;
    }
    checksum = fnv(checksum, line.text, line.length);
    checksum = fnv(checksum, "\n", 1);
    ++lines;
  }
  return RECORD_DAMAGED;
}

RecordCursor::RecordCursor(const char* text, size_t length) : pos_(text), end_(text + length) {}

bool RecordCursor::next(RecordEntry& entry) {
  TextSpan line;
  if (!nextLine(&pos_, end_, &line)) return false;
  if (!parseRecordLine(line.text, line.length, entry) || entry.kind == RecordEntry::END) {
    pos_ = end_;
    return false;
  }
  return true;
}

void SavedRecord::load(const char* file, size_t length) {
  clear();
  size_t heading = findRecordHeading(file, length);
  if (heading == length) return;
  const char* pos = file + heading;
  TextSpan line;
  nextLine(&pos, file + length, &line);
  size_t rest = length - static_cast<size_t>(pos - file);
  state = checkRecord(pos, rest);
  if (state == RECORD_VALID && !lines.append(pos, rest)) state = RECORD_DAMAGED;
}

void SavedRecord::clear() {
  lines.clear();
  state = RECORD_NONE;
}

bool SavedRecord::holdsKey(const char* root, const char* name) const {
  if (!valid()) return false;
  RecordCursor cursor(lines.c_str(), lines.length());
  RecordEntry entry;
  while (cursor.next(entry))
    if (entry.kind == RecordEntry::KEY &&
        sameTextNoCase(entry.root.c_str(), entry.root.length(), root) &&
        sameTextNoCase(entry.name.c_str(), entry.name.length(), name))
      return true;
  return false;
}

bool SavedRecord::fileAttributes(const char* folder, const char* name, unsigned long* attributes,
                                 size_t* hint) const {
  if (!valid() || *hint > lines.length()) return false;
  // From the hint to the end, then from the start up to the hint.
  for (int pass = 0; pass < 2; ++pass) {
    size_t from = pass == 0 ? *hint : 0;
    size_t to = pass == 0 ? lines.length() : *hint;
    const char* pos = lines.c_str() + from;
    const char* end = lines.c_str() + to;
    TextSpan line;
    RecordEntry entry;
    while (nextLine(&pos, end, &line)) {
      // Most lines are values: look at the kind before decoding.
      if (line.length < 5 || memcmp(line.text, "file ", 5) != 0) continue;
      if (!parseRecordLine(line.text, line.length, entry)) continue;
      if (sameTextNoCase(entry.root.c_str(), entry.root.length(), folder) &&
          sameTextNoCase(entry.name.c_str(), entry.name.length(), name)) {
        *attributes = entry.type;
        *hint = static_cast<size_t>(pos - lines.c_str());
        return true;
      }
    }
  }
  return false;
}

bool SavedRecord::iniValue(const char* key, StrBuf& value) const {
  value.clear();
  if (!valid()) return false;
  RecordCursor cursor(lines.c_str(), lines.length());
  RecordEntry entry;
  while (cursor.next(entry))
    if (entry.kind == RecordEntry::INI &&
        sameTextNoCase(entry.name.c_str(), entry.name.length(), key))
      return value.append(entry.data.c_str(), entry.data.length());
  return false;
}

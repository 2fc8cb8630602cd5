#include "util/pure/HexText.h"

#include <string.h>

const char kEmptyHexField[] = "-";
const unsigned long kFnvStart = 2166136261UL;

namespace {

const unsigned long kFnvPrime = 16777619UL;
const unsigned long kWordMask = 0xFFFFFFFFUL;
const size_t kMostDigits = 10;
const char kHexDigits[] = "0123456789ABCDEF";

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

unsigned long fnvOf(unsigned long hash, const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash = (hash * kFnvPrime) & kWordMask;
  }
  return hash;
}

bool appendHexBytes(StrBuf& out, const char* bytes, size_t count) {
  if (count == 0) return out.append(kEmptyHexField);
  if (count > static_cast<size_t>(-1) / 4) return false;
  char* room = out.reserveTail(count * 2);
  if (!room) return false;
  for (size_t i = 0; i < count; ++i) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    room[2 * i] = kHexDigits[byte >> 4];
    room[2 * i + 1] = kHexDigits[byte & 0xF];
  }
  out.commit(count * 2);
  return true;
}

bool appendNumberText(StrBuf& out, unsigned long value, unsigned base, int minDigits) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = kHexDigits[value % base];
    value /= base;
  } while ((value != 0 || count < minDigits) && count < static_cast<int>(sizeof digits));
  while (count > 0)
    if (!out.appendChar(digits[--count])) return false;
  return true;
}

bool decodeHexBytes(TextPiece field, StrBuf& out) {
  out.clear();
  if (samePiece(field, kEmptyHexField)) return true;
  if (field.length == 0 || field.length % 2 != 0) return false;
  char* room = out.reserveTail(field.length / 2);
  if (!room) return false;
  for (size_t i = 0; i < field.length; i += 2) {
    int high = digitValue(field.text[i]), low = digitValue(field.text[i + 1]);
    if (high < 0 || low < 0) return false;
    room[i / 2] = static_cast<char>(high * 16 + low);
  }
  out.commit(field.length / 2);
  return true;
}

bool parseNumberText(TextPiece field, unsigned base, size_t exactDigits, unsigned long* value) {
  if (field.length == 0 || field.length > kMostDigits) return false;
  if (exactDigits && field.length != exactDigits) return false;
  unsigned long long result = 0;
  for (size_t i = 0; i < field.length; ++i) {
    int digit = digitValue(field.text[i]);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
    result = result * base + static_cast<unsigned>(digit);
    if (result > kWordMask) return false;
  }
  *value = static_cast<unsigned long>(result);
  return true;
}

size_t splitBlankFields(TextPiece line, TextPiece* fields, size_t most) {
  size_t field = 0, start = 0;
  for (size_t i = 0; i <= line.length; ++i) {
    if (i < line.length && line.text[i] != ' ') continue;
    if (field == most || i == start) return 0;
    fields[field].text = line.text + start;
    fields[field].length = i - start;
    ++field;
    start = i + 1;
  }
  return field;
}

bool nextTextLine(const char** pos, const char* end, TextPiece* line) {
  if (*pos >= end) return false;
  const char* start = *pos;
  const char* stop =
      static_cast<const char*>(memchr(start, '\n', static_cast<size_t>(end - start)));
  const char* after = stop ? stop + 1 : end;
  if (!stop) stop = end;
  if (stop > start && stop[-1] == '\r') --stop;
  line->text = start;
  line->length = static_cast<size_t>(stop - start);
  *pos = after;
  return true;
}

bool samePiece(TextPiece piece, const char* text) {
  size_t length = strlen(text);
  return piece.length == length && memcmp(piece.text, text, length) == 0;
}

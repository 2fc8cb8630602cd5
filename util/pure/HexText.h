// Bytes as hex digits, decimal numbers and the FNV-1a checksum, for the
// program's own files: hex keeps every byte (tabs, line breaks, zero bytes,
// "=" and "[") out of a file's line structure.
#pragma once

#include <stddef.h>

#include "util/StrBuf.h"

// A piece of a text, not copied.
struct TextPiece {
  const char* text;
  size_t length;
};

// The empty field of a line: "-", as no hex text is empty.
extern const char kEmptyHexField[];

// FNV-1a, 32 bits, over count bytes, from hash (start with kFnvStart).
extern const unsigned long kFnvStart;
unsigned long fnvOf(unsigned long hash, const char* bytes, size_t count);

// Two upper-case digits a byte; kEmptyHexField for none. False when memory
// runs out.
bool appendHexBytes(StrBuf& out, const char* bytes, size_t count);
// Decimal, or hex with at least minDigits digits.
bool appendNumberText(StrBuf& out, unsigned long value, unsigned base, int minDigits);

// The reverse, into out (cleared first). False for an odd count, a digit
// that is not hex, or memory running out; kEmptyHexField gives no bytes.
bool decodeHexBytes(TextPiece field, StrBuf& out);
// At most 10 digits of that base and no more than 32 bits; exactDigits 0
// for any count.
bool parseNumberText(TextPiece field, unsigned base, size_t exactDigits, unsigned long* value);

// Fields separated by single blanks: how many, or 0 when one is empty or
// there are more than most.
size_t splitBlankFields(TextPiece line, TextPiece* fields, size_t most);
// The next line from *pos: its body without CR LF or LF. False at end.
bool nextTextLine(const char** pos, const char* end, TextPiece* line);
bool samePiece(TextPiece piece, const char* text);

#include "util/TextBuffer.h"

#include <stdlib.h>
#include <string.h>

#include "util/StrBuf.h"

TextBuffer::TextBuffer()
    : data(nullptr), readPos(nullptr), readEnd(nullptr), capacity(0), length(0), lineTruncated(0),
      expandTabs(1), tabWidth(8), maxLineSize(0), failed(0), growStep(0), reallocate(realloc) {}

TextBuffer::~TextBuffer() { release(); }

void TextBuffer::release() {
  free(data);
  data = nullptr;
  readPos = readEnd = nullptr;
}

int TextBuffer::reserve(unsigned initialSize, unsigned growthStep) {
  release();
  data = static_cast<char*>(reallocate(nullptr, initialSize ? initialSize : 1));
  if (!data) {
    failed = 1;
    capacity = 0;
    return 0;
  }
  data[0] = '\0';
  length = 0;
  failed = 0;
  growStep = growthStep;
  capacity = initialSize;
  return 1;
}

void TextBuffer::append(const char* text) { append(text, static_cast<unsigned>(strlen(text))); }

void TextBuffer::append(const char* text, unsigned count) {
  if (!data) {
    failed = 1;
    return;
  }
  if (count + length >= capacity) {
    // One step normally suffices; a text longer than the step takes what it needs.
    unsigned newCapacity = capacity + growStep;
    if (count + length >= newCapacity) newCapacity = count + length + 1 + growStep;
    if (newCapacity <= capacity) {
      failed = 1;
      return;
    }
    char* grown = static_cast<char*>(reallocate(data, newCapacity));
    if (!grown) {
      failed = 1;
      return;
    }
    data = grown;
    capacity = newCapacity;
  }
  memcpy(data + length, text, count);
  length += count;
  data[length] = '\0';
}

int TextBuffer::loadBytes(const char* bytes, unsigned count, unsigned spare) {
  release();
  if (count + spare < count) return 0;
  data = static_cast<char*>(reallocate(nullptr, count + spare ? count + spare : 1));
  if (!data) return 0;
  memcpy(data, bytes, count);
  memset(data + count, 0, spare);
  length = count;
  capacity = count + spare;
  readPos = data;
  readEnd = data + count;
  return 1;
}

void TextBuffer::readLine(char* out) {
  lineTruncated = 0;
  int column = 0;
  const int limit = maxLineSize > 1 ? maxLineSize - 1 : 0;
  while (readPos < readEnd) {
    if (column >= limit) {
      lineTruncated = 1;
      break;
    }
    char c = *readPos++;
    if (c == '\r') continue;
    if (c == '\n') break;
    if (c == '\t' && expandTabs) {
      int spaces = tabWidth - (column % tabWidth);
      while (spaces-- > 0 && column < limit) out[column++] = ' ';
    } else {
      out[column++] = c;
    }
    if (column >= limit) {
      lineTruncated = 1;
      break;
    }
  }
  if (maxLineSize > 0) out[column] = '\0';
}

bool TextBuffer::readLine(StrBuf& out) {
  out.clear();
  lineTruncated = 0;
  size_t column = 0;
  while (readPos < readEnd) {
    char c = *readPos++;
    if (c == '\n') break;
    if (c == '\r') continue;
    if (c == '\t' && expandTabs) {
      size_t spaces = static_cast<size_t>(tabWidth) - (column % static_cast<size_t>(tabWidth));
      for (size_t i = 0; i < spaces; ++i)
        if (!out.appendChar(' ')) return false;
      column += spaces;
      continue;
    }
    if (!out.appendChar(c)) return false;
    ++column;
  }
  return true;
}

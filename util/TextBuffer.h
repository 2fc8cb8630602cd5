// A block of text built up and written to a file in one call, or loaded from
// a file in one call and handed out line by line.
#pragma once

#include <stddef.h>

class Platform;
class StrBuf;

class TextBuffer {
 public:
  typedef void* (*Reallocate)(void* block, size_t size);

  TextBuffer();
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  // Building
  int reserve(unsigned initialSize, unsigned growthStep);
  void append(const char* text);
  void append(const char* text, unsigned count);

  // Reading
  int loadBytes(const char* bytes, unsigned count, unsigned spare);
  int atEnd() const { return readPos == readEnd; }
  // Copies the next line into out (maxLineSize bytes), tabs expanded when
  // expandTabs is set and CRs dropped; a full line sets lineTruncated.
  void readLine(char* out);
  // The next line whole, whatever its length; CRs dropped, tabs expanded
  // only when expandTabs is set. Returns false when memory runs out.
  bool readLine(StrBuf& out);

  void release();

  // Files (Win32 builds only): one CreateFileA, one read or write.
  // writeTo also fails on a short write and flushes the file to disk.
  int writeTo(Platform& platform, const char* path);
  int loadFile(Platform& platform, const char* path, unsigned spare);
  int open(Platform& platform, const char* path, int lineBufferSize);

  char* data;
  char* readPos;
  char* readEnd;
  unsigned capacity;
  unsigned length;
  int lineTruncated;
  int expandTabs;
  int tabWidth;
  int maxLineSize;
  int failed;
  unsigned growStep;
  // realloc unless a test puts in one that fails.
  Reallocate reallocate;
};

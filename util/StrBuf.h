// A growable, always NUL-terminated text for lines of any length.
// The program keeps the C++ library out (size, Windows 98 imports), so this
// is the one place that grows text on the heap.
#pragma once

#include <stddef.h>

class StrBuf {
 public:
  StrBuf();
  ~StrBuf();
  StrBuf(const StrBuf&) = delete;
  StrBuf& operator=(const StrBuf&) = delete;

  // Each returns false, and sets failed(), when memory cannot be had;
  // the text then stays as it was.
  bool append(const char* text);
  bool append(const char* text, size_t count);
  bool appendChar(char c);
  bool assign(const char* text);
  // Makes room for count more characters and returns where they go;
  // commit() then adds the characters actually written.
  char* reserveTail(size_t count);
  void commit(size_t count);

  void clear();
  const char* c_str() const { return data_ ? data_ : ""; }
  size_t length() const { return length_; }
  bool failed() const { return failed_; }

 private:
  bool grow(size_t needed);

  char* data_;
  size_t length_;
  size_t capacity_;
  bool failed_;
};

#include "util/StrBuf.h"

#include <stdlib.h>
#include <string.h>

StrBuf::StrBuf() : data_(nullptr), length_(0), capacity_(0), failed_(false) {}

StrBuf::~StrBuf() { free(data_); }

bool StrBuf::grow(size_t needed) {
  if (needed < length_ || needed == static_cast<size_t>(-1)) {
    failed_ = true;
    return false;
  }
  if (needed + 1 <= capacity_) return true;
  size_t capacity = capacity_ ? capacity_ : 64;
  while (capacity < needed + 1) {
    if (capacity > static_cast<size_t>(-1) / 2) {
      capacity = needed + 1;
      break;
    }
    capacity *= 2;
  }
  char* data = static_cast<char*>(realloc(data_, capacity));
  if (!data) {
    failed_ = true;
    return false;
  }
  data_ = data;
  capacity_ = capacity;
  return true;
}

bool StrBuf::append(const char* text, size_t count) {
  if (!grow(length_ + count)) return false;
  memcpy(data_ + length_, text, count);
  length_ += count;
  data_[length_] = '\0';
  return true;
}

bool StrBuf::append(const char* text) { return append(text, strlen(text)); }

bool StrBuf::appendChar(char c) { return append(&c, 1); }

bool StrBuf::assign(const char* text) {
  clear();
  return append(text);
}

char* StrBuf::reserveTail(size_t count) {
  if (!grow(length_ + count)) return nullptr;
  return data_ + length_;
}

void StrBuf::commit(size_t count) {
  length_ += count;
  data_[length_] = '\0';
}

void StrBuf::clear() {
  length_ = 0;
  if (data_) data_[0] = '\0';
}

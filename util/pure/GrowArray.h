// A growable array of plain values (no constructors or destructors run) on
// the heap: the C++ library stays out of the program, as for StrBuf.
#pragma once

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

template <class T>
class GrowArray {
 public:
  GrowArray() : items_(nullptr), count_(0), capacity_(0), failed_(false) {}
  ~GrowArray() { free(items_); }
  GrowArray(const GrowArray&) = delete;
  GrowArray& operator=(const GrowArray&) = delete;

  // False, and failed() set, when memory cannot be had; the array then
  // stays as it was.
  bool push(const T& item) {
    if (count_ == capacity_ && !reserve(capacity_ ? capacity_ * 2 : 16)) return false;
    items_[count_++] = item;
    return true;
  }
  // Room for count items in all, the items beyond the present ones unset.
  bool reserve(size_t count) {
    if (count <= capacity_) return true;
    if (count > static_cast<size_t>(-1) / sizeof(T)) {
      failed_ = true;
      return false;
    }
    T* items = static_cast<T*>(realloc(items_, count * sizeof(T)));
    if (!items) {
      failed_ = true;
      return false;
    }
    items_ = items;
    capacity_ = count;
    return true;
  }
  // count items, each a copy of fill.
  bool assign(size_t count, const T& fill) {
    clear();
    if (!reserve(count)) return false;
    for (size_t index = 0; index < count; ++index) items_[index] = fill;
    count_ = count;
    return true;
  }
  void clear() { count_ = 0; }

  T& operator[](size_t index) { return items_[index]; }
  const T& operator[](size_t index) const { return items_[index]; }
  T* data() { return items_; }
  size_t count() const { return count_; }
  bool failed() const { return failed_; }

 private:
  T* items_;
  size_t count_;
  size_t capacity_;
  bool failed_;
};

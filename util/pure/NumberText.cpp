#include "util/pure/NumberText.h"

#include "util/Paths.h"

bool appendDecimal(char* destination, size_t size, unsigned long value) {
  char digits[24];
  char* position = digits + sizeof digits;
  *--position = '\0';
  do {
    *--position = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return appendText(destination, size, position);
}

char* twoDigits(int number, char* out) {
  if (number < 0) number = -number;
  number %= 100;
  *out++ = static_cast<char>('0' + number / 10);
  *out++ = static_cast<char>('0' + number % 10);
  return out;
}

void formatDate(unsigned year, int month, int day, char* out, size_t size) {
  if (size == 0) return;
  out[0] = '\0';
  appendDecimal(out, size, year);
  char monthAndDay[7];
  char* position = monthAndDay;
  *position++ = '/';
  position = twoDigits(month, position);
  *position++ = '/';
  position = twoDigits(day, position);
  *position = '\0';
  appendText(out, size, monthAndDay);
}

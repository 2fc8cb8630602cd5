// Numbers and dates as text, into bounded buffers.
#pragma once

#include <stddef.h>

enum { DATE_TEXT_SIZE = 12 };

// Appends value in decimal; a text that does not fit is cut (see appendText).
bool appendDecimal(char* destination, size_t size, unsigned long value);

// Writes number (0 to 99; larger ones keep their last two digits) as two
// digits, a leading '0' below 10, and returns the position after them.
char* twoDigits(int number, char* out);

// "YYYY/MM/DD": the year with as many digits as it has, month and day as two
// digits each. size is the room at out, terminator included.
void formatDate(unsigned year, int month, int day, char* out, size_t size);

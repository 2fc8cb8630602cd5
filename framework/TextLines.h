// Cuts a text into lines at '\n'. An empty text has no lines and a final
// '\n' does not start an empty last line.
#pragma once

class TextLines {
 public:
  explicit TextLines(const char* text) : cursor(text ? text : "") {}

  // The next line's start and length; false when there is none.
  bool Next(const char** line, int* length) {
    if (!*cursor) return false;
    const char* end = cursor;
    while (*end && *end != '\n') ++end;
    *line = cursor;
    *length = static_cast<int>(end - cursor);
    cursor = *end ? end + 1 : end;
    return true;
  }

 private:
  const char* cursor;
};

#include "util/Paths.h"

#include <string.h>

void stripFileName(char* path) {
  size_t length = strlen(path);
  for (size_t i = length; i-- > 1;) {
    char c = path[i];
    if (c == '\\' || c == ':' || c == '/') {
      path[i + 1] = '\0';
      return;
    }
  }
  path[0] = '\0';
}

int findChar(const char* text, char c) {
  const char* found = strchr(text, c);
  if (!found || c == '\0') return -1;
  return static_cast<int>(found - text);
}

void stripExtension(char* name) {
  size_t length = strlen(name);
  if (length == 0) return;
  size_t i = length - 1;
  while (i > 0 && name[i] != '.' && name[i] != '\\' && name[i] != ':') --i;
  if (name[i] == '.') name[i] = '\0';
}

bool copyText(char* destination, size_t size, const char* text) {
  if (size == 0) return false;
  destination[0] = '\0';
  return appendText(destination, size, text);
}

bool appendText(char* destination, size_t size, const char* text) {
  if (size == 0) return false;
  size_t used = 0;
  while (used < size && destination[used] != '\0') ++used;
  if (used >= size) {
    destination[size - 1] = '\0';
    return false;
  }
  size_t room = size - 1 - used;
  size_t length = strlen(text);
  size_t count = length < room ? length : room;
  memcpy(destination + used, text, count);
  destination[used + count] = '\0';
  return count == length;
}

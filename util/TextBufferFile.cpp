// The file side of TextBuffer, through the platform layer.
#include "platform/Platform.h"
#include "util/TextBuffer.h"

int TextBuffer::writeTo(Platform& platform, const char* path) {
  HANDLE file = platform.CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD written = 0;
  BOOL ok = platform.WriteFile(file, data, length, &written, NULL);
  // A short write is a failure too, and the bytes must be on disk before
  // anyone relies on them.
  if (ok && written != length) ok = FALSE;
  if (ok && !platform.FlushFileBuffers(file)) ok = FALSE;
  if (!platform.CloseHandle(file)) ok = FALSE;
  return ok ? 1 : 0;
}

int TextBuffer::loadFile(Platform& platform, const char* path, unsigned spare) {
  HANDLE file = platform.CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD size = platform.GetFileSize(file, NULL);
  release();
  if (size == INVALID_FILE_SIZE || size + spare < size) {
    platform.CloseHandle(file);
    return 0;
  }
  data = static_cast<char*>(reallocate(nullptr, size + spare ? size + spare : 1));
  if (!data) {
    platform.CloseHandle(file);
    return 0;
  }
  for (unsigned i = 0; i < size + spare; ++i) data[i] = 0;
  capacity = size + spare;
  DWORD read = 0;
  BOOL ok = platform.ReadFile(file, data, size, &read, NULL);
  platform.CloseHandle(file);
  // A short read is a failure: half a file must never pass for a whole one.
  if (!ok || read != size) {
    release();
    return 0;
  }
  length = read;
  readPos = data;
  readEnd = data + read;
  return 1;
}

int TextBuffer::open(Platform& platform, const char* path, int lineBufferSize) {
  maxLineSize = lineBufferSize;
  return loadFile(platform, path, 2);
}

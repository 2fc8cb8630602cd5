// The file side of TextBuffer, through the platform layer.
#include "platform/Held.h"
#include "util/TextBuffer.h"

int TextBuffer::writeTo(Platform& platform, const char* path) {
  HeldFile file(platform, platform.CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, NULL));
  if (!file.held()) return 0;
  DWORD written = 0;
  BOOL ok = platform.WriteFile(file.handle, data, length, &written, NULL);
  // A short write is a failure too, and the bytes must be on disk before
  // anyone relies on them.
  if (ok && written != length) ok = FALSE;
  if (ok && !platform.FlushFileBuffers(file.handle)) ok = FALSE;
  if (!file.close()) ok = FALSE;
  return ok ? 1 : 0;
}

int TextBuffer::loadFile(Platform& platform, const char* path, unsigned spare) {
  HeldFile file(platform, platform.CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
  if (!file.held()) return 0;
  DWORD size = platform.GetFileSize(file.handle, NULL);
  release();
  if (size == INVALID_FILE_SIZE || size + spare < size) return 0;
  data = static_cast<char*>(reallocate(nullptr, size + spare ? size + spare : 1));
  if (!data) return 0;
  for (unsigned i = 0; i < size + spare; ++i) data[i] = 0;
  capacity = size + spare;
  DWORD read = 0;
  BOOL ok = platform.ReadFile(file.handle, data, size, &read, NULL);
  file.close();
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

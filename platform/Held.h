// Holders for what the engine opens through the platform: a registry key,
// a file, a folder search. Each is closed through the platform (so the
// tests' fault wrapper sees the call) when its holder goes, on every way out.
#pragma once

#include "platform/Platform.h"

class HeldKey {
 public:
  explicit HeldKey(Platform& platform) : key(NULL), platform_(platform) {}
  ~HeldKey() { close(); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

  // Opens path below root in place of what the holder held; the call's own answer.
  LONG open(HKEY root, const char* path, REGSAM access) {
    HKEY opened;
    LONG result = platform_.RegOpenKeyExA(root, path, 0, access, &opened);
    close();
    if (result == ERROR_SUCCESS) key = opened;
    return result;
  }
  // Creates or opens path below root with every access, as Restore writes it.
  LONG create(HKEY root, const char* path) {
    HKEY made;
    LONG result = platform_.RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, NULL, &made, NULL);
    close();
    if (result == ERROR_SUCCESS) key = made;
    return result;
  }
  void close() {
    if (key) platform_.RegCloseKey(key);  // a failed close still lets go of the handle
    key = NULL;
  }

  HKEY key;

 private:
  Platform& platform_;
};

class HeldFile {
 public:
  HeldFile(Platform& platform, HANDLE handle) : handle(handle), platform_(platform) {}
  ~HeldFile() { close(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle != INVALID_HANDLE_VALUE; }
  // False when closing failed: what was written may not be whole.
  bool close() {
    if (!held()) return true;
    BOOL closed = platform_.CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    return closed != FALSE;
  }

  HANDLE handle;

 private:
  Platform& platform_;
};

class HeldSearch {
 public:
  HeldSearch(Platform& platform, const char* pattern, WIN32_FIND_DATAA* found)
      : handle(platform.FindFirstFileA(pattern, found)), platform_(platform) {}
  ~HeldSearch() {
    if (handle != INVALID_HANDLE_VALUE) platform_.FindClose(handle);
  }
  HeldSearch(const HeldSearch&) = delete;
  HeldSearch& operator=(const HeldSearch&) = delete;

  HANDLE handle;

 private:
  Platform& platform_;
};

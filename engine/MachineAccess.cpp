#include "engine/MachineAccess.h"

#include "platform/Held.h"
#include "util/Paths.h"
#include "util/StrBuf.h"
#include "util/TextBuffer.h"

#include <string.h>
#include "util/pure/NumberText.h"

namespace {

// The registry's own limit: value names of 16,383 characters.
const DWORD kMaxValueName = 16384;
const DWORD kFirstRoom = 260;
const int kGrowRetries = 3;
const DWORD kMaxProfileValue = 1u << 24;

DWORD atLeastFirstRoom(DWORD size) { return size > kFirstRoom ? size : kFirstRoom; }

}  // namespace

bool readKeyValues(Platform& platform, HKEY key, ValueSink& sink, DWORD* count) {
  *count = 0;
  DWORD maxName = 0, maxData = 0;
  // Without the sizes the key is still read, but not known to be whole.
  bool whole =
      platform.RegQueryInfoKeyA(key, NULL, NULL, NULL, &maxName, &maxData) == ERROR_SUCCESS;
  if (!whole) maxName = maxData = 0;
  DWORD nameRoom = atLeastFirstRoom(maxName + 1), dataRoom = atLeastFirstRoom(maxData + 1);
  StrBuf name, data;
  for (DWORD index = 0;; ++index) {
    RegistryValue value;
    LONG result;
    for (int attempt = 0;; ++attempt) {
      char* nameBuffer = name.reserveTail(nameRoom);
      char* dataBuffer = data.reserveTail(dataRoom);
      if (!nameBuffer || !dataBuffer) return false;
      value = RegistryValue{nameBuffer, nameRoom, REG_NONE,
                            reinterpret_cast<const BYTE*>(dataBuffer), dataRoom};
      result = platform.RegEnumValueA(key, index, nameBuffer, &value.nameSize, NULL, &value.type,
                                      reinterpret_cast<BYTE*>(dataBuffer), &value.dataSize);
      if (result != ERROR_MORE_DATA || attempt == kGrowRetries) break;
      // A value that grew since the key was measured: make room, read it again.
      nameRoom = kMaxValueName;
      dataRoom = value.dataSize >= dataRoom ? value.dataSize + 1 : dataRoom * 2;
    }
    if (result == ERROR_NO_MORE_ITEMS) return whole;
    if (result != ERROR_SUCCESS || !sink.take(value)) return false;
    ++*count;
  }
}

bool readWholeProfileValue(Platform& platform, const char* key, StrBuf& value) {
  // GetProfileStringA fills the buffer up to room - 1 characters when the
  // value does not fit, so only a shorter answer is known to be whole.
  for (DWORD room = kFirstRoom; room <= kMaxProfileValue; room *= 2) {
    value.clear();
    char* buffer = value.reserveTail(room);
    if (!buffer) return false;
    DWORD length = platform.GetProfileStringA("windows", key, "", buffer, room);
    if (length + 1 < room) {
      value.commit(length);
      return true;
    }
  }
  return false;
}

LONG createKey(Platform& platform, HKEY parent, const char* path, HKEY* key) {
  return platform.RegCreateKeyExA(parent, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  NULL, key, NULL);
}

DWORD walkFolder(Platform& platform, const char* folder, FileSink& sink) {
  // An empty path would list the root of the current drive.
  if (folder[0] == '\0') return ERROR_PATH_NOT_FOUND;
  StrBuf pattern;
  if (!pattern.append(folder) || !pattern.append("\\*.*")) return ERROR_NOT_ENOUGH_MEMORY;
  WIN32_FIND_DATAA found;
  HeldSearch search(platform, pattern.c_str(), &found);
  if (search.handle == INVALID_HANDLE_VALUE) {
    DWORD error = platform.GetLastError();
    return error == ERROR_SUCCESS ? ERROR_READ_FAULT : error;
  }
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !sink.take(found))
      return ERROR_CANCELLED;
  } while (platform.FindNextFileA(search.handle, &found));
  DWORD error = platform.GetLastError();
  return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS
         : error == ERROR_SUCCESS     ? ERROR_READ_FAULT
                                      : error;
}

void appendSystemError(Platform& platform, DWORD error, StrBuf& text) {
  char words[256];
  DWORD length = platform.FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                         NULL, error, 0, words, sizeof words, NULL);
  if (length >= sizeof words) length = 0;
  while (length > 0 &&
         (words[length - 1] == '\r' || words[length - 1] == '\n' || words[length - 1] == ' '))
    --length;
  if (length > 0) {
    text.append(words, length);
    text.appendChar(' ');
  }
  char number[16] = "(error ";
  appendDecimal(number, sizeof number, error);
  appendText(number, sizeof number, ")");
  text.append(number);
}

DWORD writeDurably(Platform& platform, const char* path, const char* temp, TextBuffer& text,
                   bool replace) {
  platform.SetLastError(ERROR_SUCCESS);
  TextBuffer back;
  DWORD error = ERROR_SUCCESS;
  if (!text.writeTo(platform, temp)) {
    error = platform.GetLastError();
  } else if (!back.loadFile(platform, temp, 1) || back.length != text.length ||
             memcmp(back.data, text.data, text.length) != 0) {
    error = platform.GetLastError();
    if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;  // other bytes than written
  } else if (replace && !platform.DeleteFileA(path) &&
             platform.GetLastError() != ERROR_FILE_NOT_FOUND) {
    error = platform.GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    platform.DeleteFileA(temp);
    return error;
  }
  BOOL moved = platform.MoveFileA(temp, path);
  error = moved ? ERROR_WRITE_FAULT : platform.GetLastError();
  if (moved && platform.GetFileAttributesA(temp) == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
  if (!replace) platform.DeleteFileA(temp);
  return error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error;
}

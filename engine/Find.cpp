// Find: everything that starts with Windows, as the coloured listing.
#include <stdlib.h>

#include "engine/Engine.h"
#include "engine/RunKeys.h"
#include "util/StrBuf.h"

namespace {

// Limits of the registry itself: a value name has at most 16,383 characters.
const DWORD kMaxValueName = 16384;
const DWORD kFirstBufferSize = 260;

// A win.ini value, however long.
bool readProfileValue(Platform& platform, const char* key, StrBuf& value) {
  value.clear();
  for (DWORD size = kFirstBufferSize; size <= (1u << 24); size *= 2) {
    char* room = value.reserveTail(size);
    if (!room) return false;
    DWORD length = platform.GetProfileStringA("windows", key, "", room, size);
    // A full buffer (size - 1 characters) may mean the value was cut.
    if (length < size - 1) {
      value.commit(length);
      return true;
    }
  }
  return false;
}

void listFolder(Engine& engine, const char* folder) {
  // An empty path would search the root of the current drive.
  if (folder[0] == '\0') return;
  StrBuf pattern;
  if (!pattern.append(folder) || !pattern.append("\\*.*")) return;
  WIN32_FIND_DATAA found;
  HANDLE search = engine.platform.FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      engine.addLine(found.cFileName, plainColour);
  } while (engine.platform.FindNextFileA(search, &found));
  engine.platform.FindClose(search);
}

// Enumeration buffers that grow to whatever a value needs.
struct ValueBuffers {
  char* name = nullptr;
  DWORD nameCapacity = 0;
  BYTE* data = nullptr;
  DWORD dataCapacity = 0;
  ~ValueBuffers() {
    free(name);
    free(data);
  }
  bool fit(DWORD nameSize, DWORD dataSize) {
    if (nameSize > nameCapacity) {
      char* grown = static_cast<char*>(realloc(name, nameSize));
      if (!grown) return false;
      name = grown;
      nameCapacity = nameSize;
    }
    if (dataSize > dataCapacity) {
      BYTE* grown = static_cast<BYTE*>(realloc(data, dataSize));
      if (!grown) return false;
      data = grown;
      dataCapacity = dataSize;
    }
    return true;
  }
};

}  // namespace

void Engine::findStartupEntries() {
  host.resetListing();
  addLine("", plainColour);
  addLine("[Win.ini]", headingColour);

  static const char* const iniKeys[] = {"run", "load"};
  for (const char* key : iniKeys) {
    StrBuf value, line;
    if (readProfileValue(platform, key, value) && value.length() > 0) {
      line.append(key);
      line.append(" = ");
      line.append(value.c_str(), value.length());
    } else {
      line.append(key);
      line.append("=");
    }
    addLine(line.c_str(), plainColour);
  }

  addLine("", plainColour);
  addLine("[Startup folder]", headingColour);
  listFolder(*this, startupDir);
  addLine("", plainColour);
  addLine("[All Users Startup folder]", headingColour);
  listFolder(*this, commonStartupDir);

  for (const RunKeyLocation& location : findOrder)
    entryCounts[runKeySlot(location.root, location.name)] =
        listRegistryKey(location.root, runKeyNames[location.name]);

  if (restoreAvailable == 0 && systemKind >= WINDOWS_98 && systemKind <= WINDOWS_XP) {
    host.EnableCommand(COMMAND_REMOVE, 1);
    host.EnableCommand(COMMAND_SAVE, 1);
  }
}

int Engine::listRegistryKey(HKEY root, const char* keyName) {
  StrBuf path;
  if (!path.append(CURRENT_VERSION_PREFIX) || !path.append(keyName)) return 0;
  HKEY key;
  if (platform.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;

  DWORD maxName = 0, maxData = 0;
  if (platform.RegQueryInfoKeyA(key, NULL, NULL, NULL, &maxName, &maxData) != ERROR_SUCCESS)
    maxName = maxData = 0;
  ValueBuffers buffers;
  buffers.fit(maxName + 1 > kFirstBufferSize ? maxName + 1 : kFirstBufferSize,
              maxData + 1 > kFirstBufferSize ? maxData + 1 : kFirstBufferSize);

  DWORD index = 0;
  bool headingWritten = false;
  for (;;) {
    DWORD nameSize = buffers.nameCapacity, dataSize = buffers.dataCapacity;
    LONG result = platform.RegEnumValueA(key, index, buffers.name, &nameSize, NULL, NULL,
                                         buffers.data, &dataSize);
    // A value that grew since the key was measured: make room and read it again.
    for (int retry = 0; result == ERROR_MORE_DATA && retry < 3; ++retry) {
      DWORD wantData = dataSize + 1 > buffers.dataCapacity ? dataSize + 1 : buffers.dataCapacity;
      if (!buffers.fit(kMaxValueName, wantData)) break;
      nameSize = buffers.nameCapacity;
      dataSize = buffers.dataCapacity;
      result = platform.RegEnumValueA(key, index, buffers.name, &nameSize, NULL, NULL,
                                      buffers.data, &dataSize);
    }
    ++index;
    // A value that keeps growing is skipped; any other error ends the key:
    // a key deleted while it is listed answers ERROR_KEY_DELETED for every
    // index, never ERROR_NO_MORE_ITEMS.
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;
    if (result != ERROR_SUCCESS || buffers.name == nullptr || nameSize == 0) continue;

    if (!headingWritten) {
      char heading[HEADING_SIZE];
      registryHeading(heading, root, keyName);
      addLine("", plainColour);
      addLine(heading, headingColour);
      headingWritten = true;
    }
    // The data as text: its bytes up to the first zero byte.
    DWORD textLength = 0;
    while (textLength < dataSize && buffers.data[textLength] != 0) ++textLength;
    StrBuf line;
    line.append(buffers.name, nameSize);
    line.append(" = ");
    line.append(reinterpret_cast<const char*>(buffers.data), textLength);
    if (!line.failed()) addLine(line.c_str(), plainColour);
  }
  platform.RegCloseKey(key);
  return static_cast<int>(index);
}

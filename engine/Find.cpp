// Find: everything that starts with Windows, as the coloured listing.
#include "engine/Engine.h"
#include "engine/MachineAccess.h"
#include "engine/RunKeys.h"
#include "platform/Held.h"
#include "util/StrBuf.h"

namespace {

void listFolder(Engine& engine, const char* folder, EntryPlace place) {
  int first = -1, end = -1;
  // A folder that cannot be listed whole lists what it gave.
  walkFolder(engine.platform, folder, [&](const WIN32_FIND_DATAA& found) {
    int index = engine.addLine(found.cFileName, plainColour);
    if (index >= 0 && first < 0) first = index;
    if (index >= 0) end = index + 1;
    return true;
  });
  engine.addSection(first, end, place, false, NULL, 0);
}

// Lists each named value of a key as "name = data", the data as text: its
// bytes up to the first zero byte. The section's heading comes with the
// first line.
class ValueLines : public ValueSink {
 public:
  ValueLines(Engine& engine, HKEY root, const char* keyName)
      : first(-1), end(-1), engine_(engine), root_(root), keyName_(keyName), headingWritten_(false) {}
  bool take(const RegistryValue& value) override {
    if (value.nameSize == 0) return true;  // the default value has no line
    if (!headingWritten_) {
      char heading[HEADING_SIZE];
      registryHeading(heading, root_, keyName_);
      engine_.addLine("", plainColour);
      engine_.addLine(heading, headingColour);
      headingWritten_ = true;
    }
    DWORD textLength = 0;
    while (textLength < value.dataSize && value.data[textLength] != 0) ++textLength;
    StrBuf line;
    line.append(value.name, value.nameSize);
    line.append(" = ");
    line.append(reinterpret_cast<const char*>(value.data), textLength);
    int index = line.failed() ? -1 : engine_.addLine(line.c_str(), plainColour);
    if (index >= 0 && first < 0) first = index;
    if (index >= 0) end = index + 1;
    return true;
  }

  // The value lines' place in the listing.
  int first, end;

 private:
  Engine& engine_;
  HKEY root_;
  const char* keyName_;
  bool headingWritten_;
};

}  // namespace

void Engine::findStartupEntries() {
  host.resetListing();
  listingSectionCount = 0;
  addLine("", plainColour);
  addLine("[Win.ini]", headingColour);

  for (const char* key : winIniKeys) {
    StrBuf value, line;
    if (readWholeProfileValue(platform, key, value) && value.length() > 0) {
      line.append(key);
      line.append(" = ");
      line.append(value.c_str(), value.length());
    } else {
      line.append(key);
      line.append("=");
    }
    int index = addLine(line.c_str(), plainColour);
    if (value.length() > 0) addSection(index, index + 1, ENTRY_WIN_INI, false, NULL, 0);
  }

  addLine("", plainColour);
  addLine("[Startup folder]", headingColour);
  listFolder(*this, startupDir, ENTRY_STARTUP);
  addLine("", plainColour);
  addLine("[All Users Startup folder]", headingColour);
  listFolder(*this, commonStartupDir, ENTRY_COMMON_STARTUP);

  for (const RunKeyLocation& location : findOrder)
    entryCounts[runKeySlot(location.root, location.name)] =
        listRegistryKey(location.root, runKeyNames[location.name]);
  listDisabledEntries();

  if (restoreAvailable == 0 && systemKind >= WINDOWS_98 && systemKind <= WINDOWS_XP) {
    host.EnableCommand(COMMAND_REMOVE, 1);
    host.EnableCommand(COMMAND_SAVE, 1);
  }
}

int Engine::listRegistryKey(HKEY root, const char* keyName) {
  StrBuf path;
  if (!runKeyPath(path, keyName)) return 0;
  HeldKey key(platform);
  if (key.open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS) return 0;
  // What could be read is listed, however the reading ended.
  ValueLines lines(*this, root, keyName);
  DWORD values;
  readKeyValues(platform, key.key, lines, &values);
  key.close();
  for (int name = RUN; name <= RUN_SERVICES; ++name)
    if (platform.lstrcmpiA(keyName, runKeyNames[name]) == 0)
      addSection(lines.first, lines.end, ENTRY_REGISTRY, false, root, name);
  return static_cast<int>(values) + 1;
}

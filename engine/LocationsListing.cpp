// Locations: where Windows keeps its startup settings and where we keep ours.
#include "engine/Engine.h"
#include "engine/RunKeys.h"
#include "platform/Held.h"
#include "util/Paths.h"
#include "util/StrBuf.h"

namespace {

const char kIndent[] = "    ";
const size_t kIndentLength = sizeof kIndent - 1;
const char kWinIniName[] = "\\win.ini";
const size_t kWinIniNameLength = sizeof kWinIniName - 1;
const char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

enum RowKind {
  TEXT_ROW,
  PATH_ROW,
  OS_ROW,
  USER_ROW,
  SHELL_ROW,
  WIN_INI_ROW,
  REGISTRY_ROWS,
  OTHER_PLACE_ROWS
};

struct Row {
  RowKind kind;
  const char* text;  // the label, or the path field shown indented
  COLORREF colour;
};

// The Windows folder's win.ini, indented.
void winIniLine(Engine& engine, char* line) {
  copyText(line, LINE_SIZE, kIndent);
  const UINT room = LINE_SIZE - kIndentLength - kWinIniNameLength;
  UINT length = engine.platform.GetWindowsDirectoryA(line + kIndentLength, room);
  // Too small a room gets the needed size back and nothing usable.
  if (length == 0 || length >= room) line[kIndentLength] = '\0';
  appendText(line, LINE_SIZE, kWinIniName);
}

void addRegistryRows(Engine& engine, COLORREF colour) {
  char line[LINE_SIZE];
  for (int row = 0; row < RUN_KEY_COUNT; ++row) {
    copyText(line, LINE_SIZE, kIndent);
    appendText(line, LINE_SIZE,
               places[row].root == IN_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\");
    appendText(line, LINE_SIZE, places[row].key);
    engine.addLine(line, colour);
  }
}

// The other places this system has, each indented.
void addOtherPlaceRows(Engine& engine, COLORREF colour) {
  for (int row = RUN_KEY_COUNT; row < PLACE_COUNT; ++row) {
    if (!placeOnSystem(places[row], engine.systemKind)) continue;
    StrBuf line;
    line.append(kIndent);
    describeOtherPlace(places[row], line);
    if (!line.failed()) engine.addLine(line.c_str(), colour);
  }
}

// Adds one row's lines.
void addRow(Engine& engine, const Row& row) {
  // A path field may fill its 260 characters; with the indent it still
  // shows whole.
  char line[kIndentLength + PATH_SIZE];
  switch (row.kind) {
    case TEXT_ROW:
      engine.addLine(row.text, row.colour);
      return;
    case PATH_ROW:
      copyText(line, sizeof line, kIndent);
      appendText(line, sizeof line, row.text);
      break;
    case OS_ROW:
      engine.osNameLine(line);
      break;
    case USER_ROW:
      engine.userNameLine(line);
      break;
    case SHELL_ROW:
      engine.shellLine(line);
      break;
    case WIN_INI_ROW:
      winIniLine(engine, line);
      break;
    case REGISTRY_ROWS:
      addRegistryRows(engine, row.colour);
      return;
    case OTHER_PLACE_ROWS:
      addOtherPlaceRows(engine, row.colour);
      return;
  }
  engine.addLine(line, row.colour);
}

}  // namespace

void Engine::showLocations() {
  host.EnableCommand(COMMAND_REMOVE, 0);
  host.EnableCommand(COMMAND_SAVE, 0);
  host.resetListing();
  listingSectionCount = 0;

  const Row rows[] = {
      {TEXT_ROW, "", plainColour},
      {OS_ROW, nullptr, plainColour},
      {USER_ROW, nullptr, plainColour},
      {SHELL_ROW, nullptr, plainColour},
      {TEXT_ROW, "", plainColour},
      {TEXT_ROW, "Windows ini file:", headingColour},
      {WIN_INI_ROW, nullptr, plainColour},
      {TEXT_ROW, "", plainColour},
      {TEXT_ROW, "Startup folder:", headingColour},
      {PATH_ROW, startupDir, plainColour},
      {TEXT_ROW, "All users Startup Folder:", headingColour},
      {PATH_ROW, commonStartupDir, plainColour},
      {TEXT_ROW, "", plainColour},
      {TEXT_ROW, "Registry run locations:", headingColour},
      {REGISTRY_ROWS, nullptr, plainColour},
      {TEXT_ROW, "", plainColour},
      {TEXT_ROW, "Locations where Startlull stores its settings:", headingColour},
      {TEXT_ROW, "", plainColour},
      {TEXT_ROW, "Inactive folder:", plainColour},
      {PATH_ROW, inactiveDir, plainColour},
      {TEXT_ROW, "All Users Inactive folder", plainColour},
      {PATH_ROW, commonInactiveDir, plainColour},
      {TEXT_ROW, "Ini file with the startup settings:", plainColour},
      {PATH_ROW, settingsPath, plainColour},
      {TEXT_ROW, "Location of data if restore fails:", plainColour},
      {PATH_ROW, rescueIniPath, plainColour},
      {TEXT_ROW, "Folder of disabled entries:", plainColour},
      {PATH_ROW, disabledDir, plainColour},
      {TEXT_ROW, "All Users folder of disabled entries:", plainColour},
      {PATH_ROW, commonDisabledDir, plainColour},
      {TEXT_ROW, "", plainColour},
      {TEXT_ROW, "Other places from which Windows starts programs:", headingColour},
      {OTHER_PLACE_ROWS, nullptr, plainColour},
  };

  for (const Row& row : rows) addRow(*this, row);
}

void Engine::shellLine(char* line) {
  static const char kLabel[] = "Windows shell:  ";
  const size_t labelLength = sizeof kLabel - 1;
  copyText(line, LINE_SIZE, kLabel);
  HeldKey key(platform);
  if (key.open(HKEY_LOCAL_MACHINE, kWinlogonKey, KEY_READ) == ERROR_SUCCESS)
    readRegistryString(key.key, "Shell", line + labelLength, LINE_SIZE - labelLength, "");
}

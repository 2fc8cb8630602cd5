// Which line of Find's listing names which entry.
#include "engine/Entries.h"

#include <string.h>

#include "engine/Engine.h"
#include "engine/Places.h"

namespace {

const char kPlaceSeparator[] = ": ";
const char kValueSeparator[] = " = ";

// The first " = " of a line: a registry line is "name = data" and a win.ini
// line "run = value". -1 when there is none.
int valueSeparator(const char* text) {
  for (int index = 0; text[index] != '\0'; ++index)
    if (strncmp(text + index, kValueSeparator, sizeof kValueSeparator - 1) == 0) return index;
  return -1;
}

// Reads a line's entry from its text, the place already known.
bool readEntryText(Engine& engine, const char* text, ListedEntry& entry) {
  entry.name.clear();
  entry.command.clear();
  entry.file.clear();
  if (entry.place == ENTRY_STARTUP || entry.place == ENTRY_COMMON_STARTUP) {
    const char* folder;
    if (entry.place == ENTRY_STARTUP)
      folder = entry.disabled ? engine.disabledDir : engine.startupDir;
    else
      folder = entry.disabled ? engine.commonDisabledDir : engine.commonStartupDir;
    if (text[0] == '\0' || folder[0] == '\0') return false;
    return entry.name.append(text) && entry.file.append(folder) && entry.file.appendChar('\\') &&
           entry.file.append(text);
  }
  int separator = valueSeparator(text);
  if (separator <= 0) return false;
  if (!entry.name.append(text, separator) ||
      !entry.command.append(text + separator + sizeof kValueSeparator - 1))
    return false;
  if (entry.place != ENTRY_WIN_INI) return true;
  for (const char* key : winIniKeys)
    if (engine.platform.lstrcmpiA(entry.name.c_str(), key) == 0) return true;
  return false;
}

}  // namespace

void entryPlaceName(StrBuf& name, EntryPlace place, int row) {
  name.clear();
  switch (place) {
    case ENTRY_WIN_INI:
      name.append("Win.ini");
      break;
    case ENTRY_STARTUP:
      name.append("Startup folder");
      break;
    case ENTRY_COMMON_STARTUP:
      name.append("All Users Startup folder");
      break;
    default: {
      // The heading without its brackets.
      const char* heading = places[row].heading;
      name.append(heading + 1, strlen(heading) - 2);
      break;
    }
  }
}

bool disabledLinePlace(const char* line, ListedEntry& entry, const char** rest) {
  StrBuf prefix;
  // The three places of their own, then every value list of the table.
  for (int slot = -3; slot < PLACE_COUNT; ++slot) {
    EntryPlace place = slot < 0 ? static_cast<EntryPlace>(slot + 3) : ENTRY_REGISTRY;
    if (slot >= 0 && places[slot].kind != PLACE_VALUE_LIST) continue;
    entryPlaceName(prefix, place, slot);
    if (!prefix.append(kPlaceSeparator)) return false;
    if (strncmp(line, prefix.c_str(), prefix.length()) != 0) continue;
    entry.place = place;
    entry.row = slot;
    entry.root = slot < 0 ? NULL : rootKey(places[slot].root);
    *rest = line + prefix.length();
    return true;
  }
  return false;
}

void Engine::addSection(int first, int end, EntryPlace place, bool disabled, int row) {
  if (first < 0 || end <= first || listingSectionCount >= MOST_SECTIONS) return;
  ListingSection& section = listingSections[listingSectionCount++];
  section.first = first;
  section.end = end;
  section.place = place;
  section.disabled = disabled;
  section.row = row;
}

bool Engine::entryAt(int line, ListedEntry& entry) {
  const ListingSection* section = nullptr;
  for (int index = 0; index < listingSectionCount && !section; ++index)
    if (line >= listingSections[index].first && line < listingSections[index].end)
      section = &listingSections[index];
  StrBuf text;
  if (!section || !host.listingLine(line, text)) return false;
  entry.disabled = section->disabled;
  const char* rest = text.c_str();
  if (entry.disabled) {
    if (!disabledLinePlace(text.c_str(), entry, &rest)) return false;
  } else {
    entry.place = section->place;
    entry.row = section->row;
    entry.root = section->row < 0 ? NULL : rootKey(places[section->row].root);
  }
  return readEntryText(*this, rest, entry);
}

bool Engine::canDisable(const ListedEntry& entry) const { return entry.place != ENTRY_OTHER; }

bool Engine::entryCommandsAvailable() {
  // The user's inactive folder is what a Remove leaves to be restored; a
  // Remove of this run leaves it too, before restoreAvailable would know.
  return restoreAvailable == 0 && !(startupDir[0] != '\0' && pathExists(inactiveDir));
}

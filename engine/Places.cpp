#include "engine/Places.h"

#include <string.h>

#include "engine/Entries.h"
#include "platform/Platform.h"
#include "util/StrBuf.h"

int valueListRow(Platform& platform, HKEY root, const char* name) {
  for (int row = 0; row < PLACE_COUNT; ++row)
    if (places[row].kind == PLACE_VALUE_LIST && rootKey(places[row].root) == root &&
        platform.lstrcmpiA(listName(places[row]), name) == 0)
      return row;
  return -1;
}

int runKeyRow(HKEY root, int name) {
  int row = 0;
  while (row < RUN_KEY_COUNT - 1 && (places[row].taken != name || rootKey(places[row].root) != root))
    ++row;
  return row;
}

bool defaultInSystemFolder(const Place& place) {
  // The table's own spelling, so a byte compare is enough.
  return place.value && memcmp(place.value, "Userinit", sizeof "Userinit") == 0;
}

bool placeOnSystem(const Place& place, int systemKind) {
  return (place.systems & (1u << systemKind)) != 0;
}

void describeOtherPlace(const Place& place, StrBuf& where) {
  if (place.kind == PLACE_TASKS) {
    where.append("the Tasks folder of the Windows folder");
    return;
  }
  if (place.root == IN_WINDOWS_FOLDER) {
    where.append("system.ini, [");
    where.append(place.key);
    where.append("] ");
    where.append(place.value);
    return;
  }
  where.append(place.root == IN_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\");
  where.append(place.key);
  if (place.kind == PLACE_SINGLE_VALUE) {
    where.append(", value ");
    where.append(place.value);
  }
}

void appendPlaceStatus(const ListedEntry& entry, StrBuf& text) {
  if (entry.place < ENTRY_REGISTRY || entry.row < 0 || entry.row >= PLACE_COUNT) return;
  // The Run-type keys' entries need no more than their heading says.
  const Place* place = &places[entry.row];
  if (place->taken != NOT_TAKEN) return;
  text.append(" - in ");
  describeOtherPlace(*place, text);
  if (place->kind == PLACE_VALUE_LIST) return;
  if (place->kind != PLACE_SINGLE_VALUE) {
    text.append("; shown only, not disabled by Startlull");
    return;
  }
  text.append("; Windows needs this value, so Startlull never blanks it. Windows' own: ");
  if (defaultInSystemFolder(*place)) text.append("the system folder's ");
  text.append(*place->windowsDefault ? place->windowsDefault : "empty");
}

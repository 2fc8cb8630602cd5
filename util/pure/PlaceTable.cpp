#include "util/pure/PlaceTable.h"

#define PLACE_ROW(kind, root, key, value, form, systems, taken, heading, windowsDefault) \
  {kind, root, key, value, form, systems, taken, heading, windowsDefault},
constexpr Place places[PLACE_COUNT] = {PLACE_TABLE(PLACE_ROW)};
#undef PLACE_ROW

namespace {

constexpr bool takenRowsFirst() {
  for (int row = 0; row < PLACE_COUNT; ++row)
    if ((places[row].taken != NOT_TAKEN) != (row < RUN_KEY_COUNT)) return false;
  return true;
}
static_assert(takenRowsFirst(), "the Run-type keys Remove takes are the first rows");

// Each key Remove takes is there once for each root.
constexpr bool eachRunKeyOncePerRoot() {
  for (int name = 0; name < RUN_KEY_NAME_COUNT; ++name)
    for (int root = IN_LOCAL_MACHINE; root <= IN_CURRENT_USER; ++root) {
      int rows = 0;
      for (const Place& place : places) rows += place.taken == name && place.root == root;
      if (rows != 1) return false;
    }
  return RUN_KEY_COUNT == 2 * RUN_KEY_NAME_COUNT;
}
static_assert(eachRunKeyOncePerRoot(), "every Run-type key in both roots");

}  // namespace

// Any bytes as a settings file: the record reader must never read out of
// bounds, and whatever it accepts must walk to its end.
#include <stddef.h>
#include <stdint.h>

#include "util/pure/SettingsRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  SavedRecord saved;
  saved.load(text, size);
  if (saved.valid()) {
    RecordCursor cursor(saved.lines.c_str(), saved.lines.length());
    RecordEntry entry;
    while (cursor.next(entry)) {
    }
    saved.holdsKey("HKLM", "Run");
    StrBuf value;
    saved.iniValue("run", value);
  }
  TextSpan name, value;
  splitListingLine(text, size, &name, &value);
  return 0;
}

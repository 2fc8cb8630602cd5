// Any bytes as a command line, with and without a two-byte code page: the
// reader must stop at the line's end and never read past it.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "util/pure/Switches.h"

namespace {

bool anyHighByteLeads(unsigned char byte) { return byte >= 0x81; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A command line ends at its first zero byte.
  char* line = static_cast<char*>(malloc(size + 1));
  if (!line) return 0;
  memcpy(line, data, size);
  line[size] = '\0';
  const LeadByteTest tests[] = {nullptr, &anyHighByteLeads};
  for (LeadByteTest test : tests) {
    const char* arguments = skipProgramName(line, test);
    if (arguments < line || arguments > line + strlen(line)) __builtin_trap();
    Switches switches;
    parseSwitches(arguments, test, switches);
    if ((switches.action == SWITCHES_WRONG) !=
        (switches.error != SWITCHES_FINE && switches.action != SWITCHES_HELP))
      __builtin_trap();
    StrBuf message;
    appendSwitchesError(message, switches);
  }
  free(line);
  return 0;
}

// Placeholder until the program check lands.
#include "engine/ProgramCheck.h"

bool checkProgram(Engine&, const ListedEntry&, bool, ProgramInfo& info) {
  info.found = false;
  return false;
}

void programStatusText(const ListedEntry&, const ProgramInfo&, StrBuf& text) { text.clear(); }

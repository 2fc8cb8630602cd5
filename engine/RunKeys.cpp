#include "engine/RunKeys.h"

#include "util/Paths.h"
#include "util/StrBuf.h"

const HKEY runKeyRoots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

bool runKeyPath(StrBuf& path, const char* keyName) {
  path.clear();
  return path.append(CURRENT_VERSION_PREFIX) && path.append(keyName);
}

void registryHeading(char* heading, HKEY root, const char* keyName) {
  copyText(heading, HEADING_SIZE, "[Registry - ");
  appendText(heading, HEADING_SIZE,
             root == HKEY_LOCAL_MACHINE ? "local_machine, " : "current_user, ");
  appendText(heading, HEADING_SIZE, keyName);
  appendText(heading, HEADING_SIZE, "]");
}

#include "engine/RunKeys.h"

#include "util/StrBuf.h"

const HKEY runKeyRoots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

bool runKeyPath(StrBuf& path, const char* keyName) {
  path.clear();
  return path.append(CURRENT_VERSION_PREFIX) && path.append(keyName);
}

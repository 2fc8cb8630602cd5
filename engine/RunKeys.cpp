#include "engine/RunKeys.h"

#include "util/Paths.h"
#include "util/StrBuf.h"

const char* const runKeyNames[4] = {"Run", "RunOnce", "RunOnceEx", "RunServices"};
const HKEY runKeyRoots[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

bool runKeyPath(StrBuf& path, const char* keyName) {
  path.clear();
  return path.append(CURRENT_VERSION_PREFIX) && path.append(keyName);
}

const RunKeyLocation findOrder[RUN_KEY_COUNT] = {
    {HKEY_LOCAL_MACHINE, RUN_SERVICES}, {HKEY_LOCAL_MACHINE, RUN},
    {HKEY_LOCAL_MACHINE, RUN_ONCE},     {HKEY_LOCAL_MACHINE, RUN_ONCE_EX},
    {HKEY_CURRENT_USER, RUN_SERVICES},  {HKEY_CURRENT_USER, RUN},
    {HKEY_CURRENT_USER, RUN_ONCE},      {HKEY_CURRENT_USER, RUN_ONCE_EX},
};

int runKeySlot(HKEY root, int name) { return (root == HKEY_LOCAL_MACHINE ? 0 : 4) + name; }

void registryHeading(char* heading, HKEY root, const char* keyName) {
  copyText(heading, HEADING_SIZE, "[Registry - ");
  appendText(heading, HEADING_SIZE,
             root == HKEY_LOCAL_MACHINE ? "local_machine, " : "current_user, ");
  appendText(heading, HEADING_SIZE, keyName);
  appendText(heading, HEADING_SIZE, "]");
}

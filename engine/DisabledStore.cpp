// The store of disabled entries.
#include "engine/Engine.h"

const char kDisabledHeading[] = "[Disabled by Startlull]";
const char kDisabledFolderName[] = "Startup-Disabled";
const char kDisabledRecordName[] = "Startlull.ini";

int Engine::disableEntry(int) { return 0; }
int Engine::enableEntry(int) { return 0; }
void Engine::listDisabledEntries() {}

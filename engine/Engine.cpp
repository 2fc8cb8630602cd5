#include "engine/Engine.h"

Engine::Engine(Platform& platform, Host& host)
    : platform(platform), host(host), restoreAvailable(0), removeAutoexecBat(0), removeConfigSys(0),
      registryWriteFailed(0), keyDeleted(), entryCounts(), systemKind(UNSUPPORTED),
      listBackgroundBrush(NULL), startupDir(), inactiveDir(), rescueIniPath(), settingsPath(),
      commonStartupDir(), commonInactiveDir(), disabledDir(), commonDisabledDir(), listingSections(),
      listingSectionCount(0), settingsFileInPlace(false), itemsLeftBehind(0),
      storeLockWait(5000), comparedEntries(false), goneFirst(-1), changesSince(),
      keepRemembered(false) {}

int Engine::addLine(const char* text, COLORREF colour) { return host.addListingLine(text, colour); }

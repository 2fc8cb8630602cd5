// Times the engine's Find, Remove and Restore on a machine seeded at scale,
// each against the bare Win32 calls that the same work cannot do without.
// Both run in this one process, repetition after repetition, alternating
// which goes first, so that both see the same machine and the same noise.
//
//   bench_engine.exe <reps> <entries per location>...
//
// prints, for each size, lines of the form
//   RESULT <op> <per location> <engine ms> <raw ms>   (medians)
// and "FAILED <why>" (exit code 1) when a run did not do its work.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "bench/BenchMachine.h"
#include "bench/BenchTiming.h"
#include "engine/Engine.h"
#include "tests/support/RecordingHost.h"

using namespace bench;

namespace {

// Every value of the eight keys with its type and whole data: what saving
// them whole cannot do without; Remove does it once, for its record. Shown
// beside the figures.
size_t readAllValues() {
  size_t seen = 0;
  std::vector<char> name, data;
  for (const Location& location : runKeys()) {
    HKEY key;
    if (RegOpenKeyExA(location.root, location.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      continue;
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &maxName, &maxData, NULL, NULL);
    name.resize(maxName + 1);
    data.resize(maxData + 1);
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      LONG result = RegEnumValueA(key, index, name.data(), &nameSize, NULL, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &dataSize);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result == ERROR_SUCCESS) ++seen;
    }
    RegCloseKey(key);
  }
  return seen;
}

// ---- the engine --------------------------------------------------------------

struct EngineTimes {
  double find, remove, restore;
};

EngineTimes engineCycle(Platform& platform, const Paths& paths, size_t perLocation,
                        std::string* settings) {
  EngineTimes times;
  RecordingHost host;
  // As the window does: Find compares with what the last Find remembered,
  // a listing of the same size, and remembers its own.
  host.remembers = true;
  Engine engine(platform, host);
  engine.computeLocations();
  double start = nowMs();
  engine.findStartupEntries();
  times.find = nowMs() - start;
  size_t expected = findLineCount(paths, perLocation);
  if (host.lines.size() != expected)
    fail("Find listed " + std::to_string(host.lines.size()) + " lines, not " +
         std::to_string(expected));

  start = nowMs();
  removeWithEngine(engine, host, paths);
  times.remove = nowMs() - start;
  if (settings) *settings = readWhole(paths.settings);

  // Restore as at the program's next start.
  RecordingHost nextHost;
  nextHost.enabled[COMMAND_RESTORE] = 1;
  Engine next(platform, nextHost);
  next.computeLocations();
  start = nowMs();
  int restored = next.restoreStartupEntries();
  times.restore = nowMs() - start;
  if (restored != 1 || !nextHost.errors().empty())
    fail("Restore answered " + std::to_string(restored) +
         (nextHost.errors().empty() ? "" : ": " + nextHost.errors()[0].text));
  checkSeeded(paths, perLocation, "Restore");
  return times;
}

void benchSize(Platform& platform, const Paths& paths, int perLocation, int reps) {
  std::vector<Value> values = valuesFor(perLocation);
  seedMachine(paths, values, perLocation);

  // One untimed round warms the caches and gives the settings file's bytes.
  std::string settings;
  engineCycle(platform, paths, perLocation, &settings);
  rawRemove(paths, settings, values);
  rawRestore(paths, values);
  checkSeeded(paths, perLocation, "the bare restore");

  std::vector<double> engineFind, rawFindTimes, engineRemove, rawRemoveTimes, engineRestore,
      rawRestoreTimes, readTimes;
  for (int rep = 0; rep < reps; ++rep) {
    auto bare = [&] {
      double start = nowMs();
      size_t seen = rawFind(paths);
      rawFindTimes.push_back(nowMs() - start);
      if (seen != 10u * perLocation + paths.otherSeen) fail("the bare Find saw " + std::to_string(seen));
      start = nowMs();
      readAllValues();
      readTimes.push_back(nowMs() - start);
      start = nowMs();
      rawRemove(paths, settings, values);
      rawRemoveTimes.push_back(nowMs() - start);
      checkRemoved(paths, "the bare remove");
      start = nowMs();
      rawRestore(paths, values);
      rawRestoreTimes.push_back(nowMs() - start);
      checkSeeded(paths, perLocation, "the bare restore");
    };
    auto ours = [&] {
      EngineTimes times = engineCycle(platform, paths, perLocation, nullptr);
      engineFind.push_back(times.find);
      engineRemove.push_back(times.remove);
      engineRestore.push_back(times.restore);
    };
    if (rep % 2) {
      bare();
      ours();
    } else {
      ours();
      bare();
    }
  }
  printf("RESULT find %d %.2f %.2f\n", perLocation, median(engineFind), median(rawFindTimes));
  printf("RESULT remove %d %.2f %.2f\n", perLocation, median(engineRemove), median(rawRemoveTimes));
  printf("RESULT restore %d %.2f %.2f\n", perLocation, median(engineRestore),
         median(rawRestoreTimes));
  printf("RESULT readkeys %d %.2f 0\n", perLocation, median(readTimes));
  fflush(stdout);
  clearMachine(paths);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: bench_engine.exe <reps> <entries per location>...\n");
    return 2;
  }
  int reps = atoi(argv[1]);
  Win32Platform platform;
  Paths paths = machinePaths(platform);
  for (int i = 2; i < argc; ++i) benchSize(platform, paths, atoi(argv[i]), reps);
  clearOtherPlaces();
  return 0;
}

// Remove and Restore against the real prefix: a picture of everything they
// touch (the eight keys whole, win.ini's two values, both Startup folders)
// to compare before and after, and a fixture that leaves no inactive
// folder, settings file or rescue copy behind.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/RunKeys.h"
#include "resources/resource.h"
#include "tests/engine/EngineFixture.h"

struct RegValue {
  DWORD type;
  std::string data;
  bool operator==(const RegValue& other) const { return type == other.type && data == other.data; }
};

// Values of a key and of every key below it: path below the key ("" for
// the key itself) -> value name -> value. Empty when the key is missing.
using KeyTree = std::map<std::string, std::map<std::string, RegValue>>;

struct MachinePicture {
  bool keyExists[RUN_KEY_COUNT];
  KeyTree keys[RUN_KEY_COUNT];  // by runKeySlot
  std::string run, load;
  std::map<std::string, std::string> startupFiles, commonFiles;  // name -> content
};

KeyTree readTree(HKEY root, const std::string& key);
MachinePicture takePicture();
// Adds a failure for every difference, naming where it is.
void expectSameMachine(const MachinePicture& expected, const MachinePicture& actual);
// The pictured files as they come back when nothing records their
// attributes: plain.
void forgetAttributes(std::map<std::string, std::string>& files);
// A file's bytes, or "" when missing.
std::string fileContent(const std::string& path);
bool fileExists(const std::string& path);

// What a test's child process works with: the real machine, reported as
// Windows XP, a recording host, and an engine with its locations computed.
struct ChildEngine {
  ChildEngine() : platform(real), engine(platform, host) {
    platform.setVersion(VER_PLATFORM_WIN32_NT, 5, 1);
    engine.computeLocations();
  }
  Win32Platform real;
  FaultPlatform platform;
  RecordingHost host;
  Engine engine;
  // Ends this process with kKilledExitCode right after the limit-th call
  // that changes the machine.
  void killAfterChanges(int limit);
  int changes = 0;
};

// The exit code of a child process ended by killAfterChanges.
const unsigned kKilledExitCode = 77;

// Calls that change the machine (or may: a file opened for writing): the
// points a process is killed after in the crash tests.
bool changesMachine(Call call);

// One case of a sweep: the call of a clean run it falls on, and how the
// platform is armed for the rerun so that this call, and only it, goes wrong.
struct SweptFault {
  size_t index;
  std::string what;  // "call 12: MoveFileA a|b lies", for the trace
  std::function<void(FaultPlatform&)> arm;
};
// Each call of a clean run failing, with the error errorOf gives it (the
// calls that cannot fail left out).
// Whether a call only reads one of the other places Find lists (services,
// Winlogon, components, tasks, system.ini), which no operation changes: the
// sweeps pass over them.
bool readsAnOtherPlace(const CallRecord& record);
std::vector<SweptFault> failingCalls(const std::vector<CallRecord>& calls,
                                     const std::function<DWORD(Call)>& errorOf);
// Each call of a clean run that can lie answering success and doing
// nothing; and each read and write of a settings or store file
// (Startlull.ini and its .tmp) with its bytes changed on the way.
std::vector<SweptFault> lyingCalls(const std::vector<CallRecord>& calls);
// Runs each case in turn, within its trace: `attempt` reruns with the case
// armed and answers whether the fault went off in that rerun. A case
// survives when it went off and added no failure; the others are listed.
// Prints "what: N kind calls survived of M" and returns N.
int sweepFaults(const char* what, const char* kind, const std::vector<SweptFault>& faults,
                const std::function<bool(const SweptFault&)>& attempt);
// Whether the fault went off in the run whose log this is.
bool faultWentOff(const std::vector<CallRecord>& log, const SweptFault& fault);

// Runs this test executable again, in a process of its own, with only the
// named test and the environment variable set; returns its exit code.
DWORD runTestInChild(const char* testName, const char* variable, const std::string& value);
// The value of an environment variable, or "".
std::string environmentValue(const char* variable);

class RemoveRestoreTest : public EngineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // win.ini values, files in both Startup folders, a value in HKLM's and
  // HKCU's Run.
  void seedTypical();
  // Locations and Find, as the user would press them.
  void find();
  // A new engine on the same machine, as at the program's next start, with
  // its locations computed.
  std::unique_ptr<Engine> nextStart();
  // Enables every entry Find lists as disabled, one at a time, Find after each.
  void enableAll(Engine& on);
  std::string inactive() const { return engine.inactiveDir; }
  std::string commonInactive() const { return engine.commonInactiveDir; }
  std::string settings() const { return engine.settingsPath; }
  std::string rescue() const { return engine.rescueIniPath; }
  std::vector<HostEvent> errors() const { return host.errors(); }
  // Messages and dialogs in order, as "text|caption" ("dialog:success 1" for the dialogs).
  std::vector<std::string> eventTexts() const;
};

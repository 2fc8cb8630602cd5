#include "tests/engine/RemoveRestoreFixture.h"

#include <stdio.h>

#include <algorithm>

namespace {

// The settings file and both stores' record files, and their temporary names.
const char kRecordFileName[] = "startlull.ini";

const HKEY kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

void readInto(HKEY key, const std::string& path, KeyTree& tree) {
  DWORD maxName = 0, maxData = 0;
  RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &maxName, &maxData, NULL, NULL);
  auto& values = tree[path];
  std::string name(maxName + 2, '\0');
  std::string data(maxData + 2, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    LONG result = RegEnumValueA(key, index, &name[0], &nameSize, NULL, &type,
                                reinterpret_cast<BYTE*>(&data[0]), &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot read value " << index << " of " << path << ": " << result;
      break;
    }
    values[name.substr(0, nameSize)] = RegValue{type, data.substr(0, dataSize)};
  }
  for (DWORD index = 0;; ++index) {
    char child[256];
    DWORD size = sizeof child;
    if (RegEnumKeyExA(key, index, child, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) break;
    HKEY handle;
    if (RegOpenKeyExA(key, child, 0, KEY_READ, &handle) != ERROR_SUCCESS) continue;
    readInto(handle, path.empty() ? child : path + "\\" + child, tree);
    RegCloseKey(handle);
  }
}

const char kPlain[] = "plain: ";

// A file's attributes that tell (Wine shows every plain file as archive),
// then its content: "hidden system: [.ShellClassInfo]".
std::map<std::string, std::string> folderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : machine::listDir(folder)) {
    std::string path = folder + "\\" + name;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      files[name] = "<folder>";
      continue;
    }
    std::string shown;
    if (attributes & FILE_ATTRIBUTE_READONLY) shown += "read-only ";
    if (attributes & FILE_ATTRIBUTE_HIDDEN) shown += "hidden ";
    if (attributes & FILE_ATTRIBUTE_SYSTEM) shown += "system ";
    if (shown.empty()) shown = "plain ";
    shown.back() = ':';
    files[name] = shown + " " + machine::readFile(path);
  }
  return files;
}

std::string printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out.size() > 120 ? out.substr(0, 120) + "..." : out;
}

void expectSameFiles(const char* what, const std::map<std::string, std::string>& expected,
                     const std::map<std::string, std::string>& actual) {
  for (const auto& file : expected) {
    auto found = actual.find(file.first);
    if (found == actual.end())
      ADD_FAILURE() << what << ": missing " << file.first;
    else if (found->second != file.second)
      ADD_FAILURE() << what << ": " << file.first << " is " << printable(found->second)
                    << ", expected " << printable(file.second);
  }
  for (const auto& file : actual)
    if (!expected.count(file.first)) ADD_FAILURE() << what << ": extra " << file.first;
}

std::string callText(const std::vector<CallRecord>& calls, size_t index) {
  return "call " + std::to_string(index) + ": " + callName(calls[index].call) + " " +
         calls[index].arg;
}

bool namesRecordFile(const CallRecord& call) {
  std::string arg = call.arg;
  std::transform(arg.begin(), arg.end(), arg.begin(),
                 [](unsigned char c) { return static_cast<char>(tolower(c)); });
  return arg.find(kRecordFileName) != std::string::npos;
}

// Failures the running test has had so far.
int failuresSoFar() {
  const ::testing::TestResult* result =
      ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failures = 0;
  for (int part = 0; part < result->total_part_count(); ++part)
    failures += result->GetTestPartResult(part).failed() ? 1 : 0;
  return failures;
}

}  // namespace

// Failing each of these in turn would multiply the sweeps by Find's length
// and only ever cost the other places' own lines.
bool readsAnOtherPlace(const CallRecord& record) {
  auto has = [&](const std::string& part) {
    std::string arg = record.arg, what = part;
    for (std::string* text : {&arg, &what})
      for (char& c : *text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return arg.find(what) != std::string::npos;
  };
  if (has("CLSID\\")) return true;
  for (int row = RUN_KEY_COUNT; row < PLACE_COUNT; ++row) {
    const Place& place = places[row];
    if (place.kind == PLACE_VALUE_LIST) continue;  // Disable and Enable change these
    if (place.root != IN_WINDOWS_FOLDER ? has(place.key) : has(place.kind == PLACE_TASKS ? "\\Tasks" : "system.ini"))
      return true;
  }
  return false;
}

std::vector<SweptFault> failingCalls(const std::vector<CallRecord>& calls,
                                     const std::function<DWORD(Call)>& errorOf) {
  std::vector<SweptFault> faults;
  for (size_t index = 0; index < calls.size(); ++index) {
    Call call = calls[index].call;
    if (call == Call::GetLocalTime || call == Call::GetCurrentProcess) continue;
    if (readsAnOtherPlace(calls[index])) continue;
    DWORD error = errorOf(call);
    faults.push_back(SweptFault{index, callText(calls, index) + " fails",
                                [=](FaultPlatform& platform) { platform.failAt(index, error); }});
  }
  return faults;
}

std::vector<SweptFault> lyingCalls(const std::vector<CallRecord>& calls) {
  std::vector<SweptFault> faults;
  int reads = 0, writes = 0;
  for (size_t index = 0; index < calls.size(); ++index) {
    Call call = calls[index].call;
    if (FaultPlatform::canLie(call))
      faults.push_back(SweptFault{index, callText(calls, index) + " lies",
                                  [=](FaultPlatform& platform) { platform.lieAt(index); }});
    if ((call != Call::ReadFile && call != Call::WriteFile) || !namesRecordFile(calls[index]))
      continue;
    // The how-manyth read or write of such a file this is, for corrupt's skip.
    int skip = call == Call::ReadFile ? reads++ : writes++;
    faults.push_back(SweptFault{
        index, callText(calls, index) + " changes the bytes",
        [=](FaultPlatform& platform) { platform.corrupt(call, kRecordFileName, skip, 1); }});
  }
  return faults;
}

int sweepFaults(const char* what, const char* kind, const std::vector<SweptFault>& faults,
                const std::function<bool(const SweptFault&)>& attempt) {
  int survived = 0;
  std::vector<std::string> failed;
  for (const SweptFault& fault : faults) {
    SCOPED_TRACE(fault.what);
    int failuresBefore = failuresSoFar();
    bool wentOff = attempt(fault);
    if (failuresSoFar() > failuresBefore)
      failed.push_back(fault.what);
    else if (!wentOff)
      failed.push_back(fault.what + " (did not go off)");
    else
      ++survived;
  }
  printf("%s: %d %s calls survived of %zu\n", what, survived, kind, faults.size());
  for (const std::string& fault : failed) printf("  not survived: %s\n", fault.c_str());
  return survived;
}

bool faultWentOff(const std::vector<CallRecord>& log, const SweptFault& fault) {
  return fault.index < log.size() && (log[fault.index].failed || log[fault.index].lied);
}

KeyTree readTree(HKEY root, const std::string& key) {
  KeyTree tree;
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return tree;
  readInto(handle, "", tree);
  RegCloseKey(handle);
  return tree;
}

MachinePicture takePicture() {
  MachinePicture picture;
  for (HKEY root : kRoots) {
    for (int name = RUN; name < RUN_KEY_NAME_COUNT; ++name) {
      int slot = runKeyRow(root, name);
      std::string key = std::string(machine::kRunKeyPrefix) + machine::runKeyName(name);
      picture.keyExists[slot] = machine::keyExists(root, key);
      picture.keys[slot] = readTree(root, key);
    }
  }
  picture.run = machine::profileValue("run");
  picture.load = machine::profileValue("load");
  picture.startupFiles = folderFiles(machine::startupDir());
  picture.commonFiles = folderFiles(machine::commonStartupDir());
  return picture;
}

void expectSameMachine(const MachinePicture& expected, const MachinePicture& actual) {
  for (HKEY root : kRoots) {
    for (int name = RUN; name < RUN_KEY_NAME_COUNT; ++name) {
      int slot = runKeyRow(root, name);
      std::string where =
          std::string(root == HKEY_LOCAL_MACHINE ? "HKLM " : "HKCU ") + machine::runKeyName(name);
      EXPECT_EQ(expected.keyExists[slot], actual.keyExists[slot]) << where << " exists";
      const KeyTree& want = expected.keys[slot];
      const KeyTree& got = actual.keys[slot];
      for (const auto& key : want) {
        auto found = got.find(key.first);
        if (found == got.end()) {
          ADD_FAILURE() << where << ": missing key '" << key.first << "'";
          continue;
        }
        for (const auto& value : key.second) {
          auto gotValue = found->second.find(value.first);
          if (gotValue == found->second.end())
            ADD_FAILURE() << where << "\\" << key.first << ": missing value '"
                          << printable(value.first) << "'";
          else if (!(gotValue->second == value.second))
            ADD_FAILURE() << where << "\\" << key.first << ": value '" << printable(value.first)
                          << "' type " << gotValue->second.type << " "
                          << printable(gotValue->second.data) << ", expected type "
                          << value.second.type << " " << printable(value.second.data);
        }
        for (const auto& value : found->second)
          if (!key.second.count(value.first))
            ADD_FAILURE() << where << "\\" << key.first << ": extra value '"
                          << printable(value.first) << "'";
      }
      for (const auto& key : got)
        if (!want.count(key.first)) ADD_FAILURE() << where << ": extra key '" << key.first << "'";
    }
  }
  EXPECT_EQ(expected.run, actual.run) << "win.ini run";
  EXPECT_EQ(expected.load, actual.load) << "win.ini load";
  expectSameFiles("Startup folder", expected.startupFiles, actual.startupFiles);
  expectSameFiles("All Users Startup folder", expected.commonFiles, actual.commonFiles);
}

void ChildEngine::killAfterChanges(int limit) {
  platform.afterCall = [this, limit](Call call, const std::string&, bool succeeded) {
    if (succeeded && changesMachine(call) && ++changes == limit) ExitProcess(kKilledExitCode);
  };
}

bool changesMachine(Call call) {
  switch (call) {
    case Call::CreateDirectoryA:
    case Call::RemoveDirectoryA:
    case Call::MoveFileA:
    case Call::DeleteFileA:
    case Call::SetFileAttributesA:
    case Call::CreateFileA:
    case Call::WriteFile:
    case Call::FlushFileBuffers:
    case Call::CloseHandle:
    case Call::WriteProfileStringA:
    case Call::SHDeleteKeyA:
    case Call::RegDeleteValueA:
    case Call::RegSetValueExA:
    case Call::RegCreateKeyExA:
      return true;
    default:
      return false;
  }
}

DWORD runTestInChild(const char* testName, const char* variable, const std::string& value) {
  char exe[MAX_PATH];
  GetModuleFileNameA(NULL, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" --gtest_brief=1 --gtest_filter=" + testName;
  SetEnvironmentVariableA(variable, value.c_str());
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  // A loaded machine's Wine now and then fails to start a process at all:
  // that says nothing of the child's test, so it is tried again.
  BOOL started = FALSE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) Sleep(1000);
    started =
        CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    if (!started) error = GetLastError();
  }
  SetEnvironmentVariableA(variable, NULL);
  if (!started) {
    ADD_FAILURE() << "cannot start " << command << ": error " << error;
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string environmentValue(const char* variable) {
  char value[256];
  DWORD length = GetEnvironmentVariableA(variable, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string fileContent(const std::string& path) { return machine::readFile(path); }

void forgetAttributes(std::map<std::string, std::string>& files) {
  for (auto& file : files) {
    size_t colon = file.second.find(": ");
    if (file.second != "<folder>" && colon != std::string::npos)
      file.second = kPlain + file.second.substr(colon + 2);
  }
}

bool fileExists(const std::string& path) { return machine::exists(path); }

void RemoveRestoreTest::SetUp() {
  EngineTest::SetUp();
  // Windows XP, whatever the prefix says, so that Find offers Remove.
  platform.setVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  machine::setProfileValue("run", "");
  machine::setProfileValue("load", "");
}

void RemoveRestoreTest::TearDown() {
  machine::removeTree(machine::parentOf(startup) + "\\Startup-Inactive");
  machine::removeTree(machine::parentOf(commonStartup) + "\\Startup-Inactive");
  if (engine.rescueIniPath[0]) machine::removeTree(engine.rescueIniPath);
  machine::setProfileValue("run", "");
  machine::setProfileValue("load", "");
  EngineTest::TearDown();
}

void RemoveRestoreTest::seedTypical() {
  const std::string prefix = machine::kRunKeyPrefix;
  machine::setProfileValue("run", "run.exe /a");
  machine::setProfileValue("load", "load.exe");
  machine::writeFile(startup + "\\Notes.lnk", "notes");
  machine::writeFile(startup + "\\desktop.ini", "[.ShellClassInfo]",
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  machine::writeFile(commonStartup + "\\Common.lnk", "common");
  machine::setString(HKEY_LOCAL_MACHINE, prefix + "Run", "Tray", "C:\\tray.exe");
  machine::setString(HKEY_CURRENT_USER, prefix + "Run", "Mine", "C:\\mine.exe");
}

void RemoveRestoreTest::find() {
  engine.computeLocations();
  engine.findStartupEntries();
  ASSERT_EQ(1, host.IsCommandEnabled(COMMAND_REMOVE));
}

std::unique_ptr<Engine> RemoveRestoreTest::nextStart() {
  std::unique_ptr<Engine> next(new Engine(platform, host));
  next->computeLocations();
  return next;
}

void RemoveRestoreTest::enableAll(Engine& on) {
  on.findStartupEntries();
  for (int line = 0; line < static_cast<int>(host.lines.size());) {
    ListedEntry entry;
    if (on.entryAt(line, entry) && entry.disabled) {
      ASSERT_EQ(1, on.enableEntry(line)) << host.lines[line].text;
      on.findStartupEntries();
      line = 0;
    } else {
      ++line;
    }
  }
}

std::vector<std::string> RemoveRestoreTest::eventTexts() const {
  std::vector<std::string> texts;
  for (const HostEvent& event : host.events) {
    switch (event.kind) {
      case HostEvent::ERROR_REPORT:
      case HostEvent::MESSAGE_BOX:
        texts.push_back(event.text + "|" + event.caption);
        break;
      case HostEvent::REMOVE_DIALOG:
        texts.push_back("dialog:remove");
        break;
      case HostEvent::SUCCESS_DIALOG:
        texts.push_back("dialog:success " + event.text);
        break;
      case HostEvent::SAVE_DIALOG:
        texts.push_back("dialog:save");
        break;
    }
  }
  return texts;
}

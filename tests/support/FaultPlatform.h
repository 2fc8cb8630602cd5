// A Platform for tests: forwards every call to the real one, records it, and
// makes chosen calls fail, lie (answer success and do nothing) or answer
// chosen values while the rest run for real.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

// One value per call of the platform, named as the call.
enum class Call {
#define FAULT_PLATFORM_CALL_ID(result, name, parameters, arguments) name,
  PLATFORM_CALLS(FAULT_PLATFORM_CALL_ID)
#undef FAULT_PLATFORM_CALL_ID
};

const char* callName(Call call);

struct CallRecord {
  Call call;
  std::string arg;  // the path, key path ("HKCU\\Software\\...") or name the call is about
  bool failed;      // failed by an injected fault
  bool lied;        // answered success without doing it, or with other bytes (corrupt)
};

class FaultPlatform : public Platform {
 public:
  explicit FaultPlatform(Platform& real);

  // Makes calls of that kind whose argument contains `match` (case-insensitive;
  // empty matches all) fail with `error`: after `skip` matching calls pass,
  // for `times` calls (-1: every one). A failed WriteFile or ReadFile with
  // `partial` set writes or reads half its bytes and reports success with the
  // short count.
  void fail(Call call, const std::string& match, DWORD error, int skip = 0, int times = -1,
            bool partial = false);
  // Makes ReadFile or WriteFile calls on a file whose path contains `match`
  // go through but change the first byte of what they read or write,
  // reporting success all the same (a disk that lies).
  void corrupt(Call call, const std::string& match, int skip = 0, int times = -1);
  // Makes the call that will stand at `index` in the log fail with `error`,
  // whatever call it is (a call that cannot fail is passed over).
  void failAt(size_t index, DWORD error) { failAt_ = index, failAtError_ = error; }
  // Makes the call that will stand at `index` in the log answer success
  // without doing anything (WriteFile reports every byte written and writes
  // none), when it is one of the calls that can lie (a call that cannot is
  // passed over).
  void lieAt(size_t index) { lieAt_ = index; }
  static bool canLie(Call call);
  void clearFaults() {
    faults_.clear();
    failAt_ = lieAt_ = kNoIndex;
  }

  // Every call, in order.
  std::vector<CallRecord> log;
  int count(Call call, const std::string& match = "") const;
  bool called(Call call, const std::string& match = "") const { return count(call, match) > 0; }

  // Runs after every call that reached the real platform, with its success.
  std::function<void(Call, const std::string& arg, bool succeeded)> afterCall;
  // Runs when a failure is injected, before the call answers: a test can
  // make the failure part-way (a key deletion that took some subkeys).
  std::function<void(Call, const std::string& arg)> onFault;

  // Answers in place of the real system when set.
  std::function<BOOL(OSVERSIONINFOA*)> version;
  std::function<UINT(char*, UINT)> windowsDirectory;
  // After a successful AdjustTokenPrivileges, GetLastError reports this (e.g.
  // ERROR_NOT_ALL_ASSIGNED for a user without the privilege).
  DWORD adjustTokenLastError = ERROR_SUCCESS;
  // ExitWindowsEx is recorded (its flags in decimal as the argument) and
  // answered TRUE without restarting unless set.
  bool reallyRestart = false;

  // Sets an OS version answer.
  void setVersion(DWORD platformId, DWORD major, DWORD minor);

  // Each is defined in FaultPlatform.cpp: what it is about in the log, and
  // how it answers when it fails. Calls that cannot fail (GetLastError,
  // SetLastError, lstrcmpiA) pass straight through, unrecorded.
#define FAULT_PLATFORM_DECLARE_CALL(result, name, parameters, arguments) \
  result name parameters override;
  PLATFORM_CALLS(FAULT_PLATFORM_DECLARE_CALL)
#undef FAULT_PLATFORM_DECLARE_CALL

 private:
  struct Fault {
    Call call;
    std::string match;
    DWORD error;
    int skip;
    int times;
    bool partial;
    bool corrupt;
    bool lie;
  };
  // Records the call; returns the fault to inject, or null.
  const Fault* enter(Call call, const std::string& arg);
  void leave(Call call, const std::string& arg, bool succeeded);
  std::string keyPath(HKEY key) const;
  std::string handlePath(HANDLE handle) const;

  static const size_t kNoIndex = static_cast<size_t>(-1);
  Platform& real_;
  std::vector<Fault> faults_;
  size_t failAt_ = kNoIndex;
  DWORD failAtError_ = 0;
  size_t lieAt_ = kNoIndex;
  Fault atFault_{};  // what failAt or lieAt injects
  std::map<HKEY, std::string> keys_;
  std::map<HANDLE, std::string> handles_;
};

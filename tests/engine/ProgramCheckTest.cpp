// The program check against the test prefix's real files, registry and shell.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "engine/ProgramCheck.h"
#include "engine/RunKeys.h"
#include "tests/engine/EngineFixture.h"

namespace {

const std::string kDir = "C:\\startlull check";
const std::string kZeta = kDir + "\\zeta tool.exe";
const std::string kGone = kDir + "\\gone.exe";
const std::string kPathDir = kDir + "\\path dir";
// What Wine 8.0's own regedit.exe and shell32.dll say of themselves.
const std::string kRegedit = "C:\\windows\\regedit.exe";
const std::string kRegeditVersion = " - Wine Registry Editor, Microsoft Corporation";
const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class ProgramCheckTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    char path[4096];
    DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    savedPath.assign(path, length < sizeof path ? length : 0);
    // Longer than MAX_PATH, the folder that matters last.
    std::string longPath = "C:\\windows\\system32;C:\\windows";
    for (int folder = 0; folder < 20; ++folder) longPath += ";C:\\nowhere at all\\folder";
    SetEnvironmentVariableA("PATH", (longPath + ";" + kPathDir).c_str());
    SetEnvironmentVariableA("STARTLULL_CHECK", kDir.c_str());
    machine::removeTree(kDir);
    machine::makeDir(kDir);
    machine::makeDir(kPathDir);
    machine::writeFile(kZeta, "MZ");
    machine::writeFile(kPathDir + "\\pathtool.exe", "MZ");
  }
  void TearDown() override {
    SetEnvironmentVariableA("PATH", savedPath.c_str());
    SetEnvironmentVariableA("STARTLULL_CHECK", NULL);
    machine::removeTree(kDir);
    EngineTest::TearDown();
  }

  // checkProgram's answer and the status bar's line for an entry.
  std::string check(EntryPlace place, bool disabled, const std::string& command,
                    const std::string& file, bool* named, bool* found, bool readVersion = true) {
    ListedEntry entry;
    entry.place = place;
    entry.disabled = disabled;
    entry.root = HKEY_CURRENT_USER;
    entry.row = place == ENTRY_REGISTRY ? runKeyRow(HKEY_CURRENT_USER, keyName) : -1;
    entry.name.assign(file.empty() ? valueName.c_str() : file.substr(file.rfind('\\') + 1).c_str());
    entry.command.assign(command.c_str());
    entry.file.assign(file.c_str());
    ProgramInfo info;
    info.found = true;  // stale
    *named = checkProgram(engine, entry, readVersion, info);
    *found = info.found;
    StrBuf text;
    programStatusText(entry, info, text);
    return text.c_str();
  }

  // A shortcut saved by the shell's own object, as an installer saves one.
  bool makeShortcut(const std::string& link, const std::string& target) {
    real.CoInitialize(NULL);
    IShellLinkA* shellLink = nullptr;
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    bool saved = SUCCEEDED(real.CoCreateInstance(kShellLinkClass, NULL, CLSCTX_INPROC_SERVER,
                                                 kShellLinkInterface,
                                                 reinterpret_cast<void**>(&shellLink))) &&
                 SUCCEEDED(shellLink->SetPath(target.c_str())) &&
                 SUCCEEDED(shellLink->QueryInterface(kPersistFileInterface,
                                                     reinterpret_cast<void**>(&file))) &&
                 SUCCEEDED(file->Save(wide, TRUE));
    if (file) file->Release();
    if (shellLink) shellLink->Release();
    return saved;
  }

  std::string savedPath;
  // The registry entry check() makes.
  int keyName = RUN;
  std::string valueName = "Entry";
};

TEST_F(ProgramCheckTest, CommandsAndShortcuts) {
  enum Setup {
    NOTHING,
    REG_SZ_VALUE,
    REG_EXPAND_SZ_VALUE,
    REG_DWORD_VALUE,
    REG_BINARY_VALUE,
    RUN_ONCE_EX_TITLE,  // a REG_SZ "Title" at the root of RunOnceEx
    RUN_ONCE_EX_FLAGS,  // a REG_DWORD "flags" there
    SHORTCUT,
    DELETED_TARGET,
    DAMAGED
  };
  struct Case {
    const char* name;
    EntryPlace place;
    bool disabled;
    Setup setup;
    std::string command;  // items: the shortcut's target
    bool named, found;
    std::string text;  // items: after the item's path, or after "<name> -> "
  } cases[] = {
      {"quoted path with a blank", ENTRY_REGISTRY, false, REG_SZ_VALUE, "\"" + kZeta + "\" /m",
       true, true, kZeta},
      {"missing program", ENTRY_REGISTRY, false, NOTHING, kGone + " -x", true, false,
       kGone + " - not found"},
      {"Windows folder, with its version", ENTRY_REGISTRY, false, NOTHING, "regedit /s", true, true,
       kRegedit + kRegeditVersion},
      {"last folder of a long PATH", ENTRY_REGISTRY, false, NOTHING, "pathtool", true, true,
       kPathDir + "\\pathtool.exe"},
      {"rundll32 to its library", ENTRY_REGISTRY, false, NOTHING, "rundll32 shell32.dll,Run", true,
       true, "C:\\windows\\system32\\shell32.dll - Wine core dll, Microsoft Corporation"},
      {"REG_EXPAND_SZ expanded", ENTRY_REGISTRY, false, REG_EXPAND_SZ_VALUE,
       "%STARTLULL_CHECK%\\zeta tool.exe /m", true, true, kZeta},
      {"REG_SZ keeps its percent signs", ENTRY_REGISTRY, false, REG_SZ_VALUE,
       "%STARTLULL_CHECK%\\gone.exe", true, false, "%STARTLULL_CHECK%\\gone.exe - not found"},
      {"disabled: expanded where that names a file, whatever the key holds now", ENTRY_REGISTRY,
       true, REG_SZ_VALUE, "%STARTLULL_CHECK%\\zeta tool.exe", true, true, kZeta},
      {"empty command", ENTRY_REGISTRY, false, NOTHING, " ", false, false, "no program"},
      {"REG_DWORD data naming a program", ENTRY_REGISTRY, false, REG_DWORD_VALUE, "cmd", false,
       false, "Not a command: a number"},
      {"REG_DWORD data as text", ENTRY_REGISTRY, false, REG_DWORD_VALUE, "ABC", false, false,
       "Not a command: a number"},
      {"REG_BINARY data naming a program", ENTRY_REGISTRY, false, REG_BINARY_VALUE, kZeta, false,
       false, "Not a command: binary data"},
      {"empty REG_BINARY data", ENTRY_REGISTRY, false, REG_BINARY_VALUE, "", false, false,
       "Not a command: binary data"},
      {"RunOnceEx's title", ENTRY_REGISTRY, false, RUN_ONCE_EX_TITLE, "Finishing the set-up", false,
       false, "Not a command: the title RunOnceEx shows"},
      {"RunOnceEx's title naming a program", ENTRY_REGISTRY, false, RUN_ONCE_EX_TITLE, "regedit",
       false, false, "Not a command: the title RunOnceEx shows"},
      {"RunOnceEx's title, disabled", ENTRY_REGISTRY, true, RUN_ONCE_EX_TITLE, "Set-up", false,
       false, "Not a command: the title RunOnceEx shows"},
      {"RunOnceEx's flags", ENTRY_REGISTRY, false, RUN_ONCE_EX_FLAGS, " ", false, false,
       "Not a command: the flags of RunOnceEx"},
      {"win.ini: the first of the list", ENTRY_WIN_INI, false, NOTHING, " ,regedit.exe gone.exe",
       true, true, kRegedit + kRegeditVersion},
      {"shortcut", ENTRY_STARTUP, false, SHORTCUT, kZeta, true, true, kZeta},
      {"shortcut to a missing file", ENTRY_COMMON_STARTUP, false, DELETED_TARGET, kGone, true,
       false, kGone + " - not found"},
      {"damaged shortcut: the item itself", ENTRY_STARTUP, false, DAMAGED, "", true, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine::clearRunKeys();
    std::string value(c.command.c_str(), c.command.size() + 1);
    const bool runOnceEx = c.setup == RUN_ONCE_EX_TITLE || c.setup == RUN_ONCE_EX_FLAGS;
    keyName = runOnceEx ? RUN_ONCE_EX : RUN;
    valueName = c.setup == RUN_ONCE_EX_TITLE   ? "Title"
                : c.setup == RUN_ONCE_EX_FLAGS ? "flags"
                                               : "Entry";
    const std::string key = std::string(machine::kRunKeyPrefix) + machine::runKeyName(keyName);
    // The listing shows a value's bytes up to the first zero as its command.
    const std::string number("\x01\0\0\0", 4);
    switch (c.setup) {
      case REG_SZ_VALUE:
      case RUN_ONCE_EX_TITLE:
        machine::setValue(HKEY_CURRENT_USER, key, valueName, REG_SZ, value);
        break;
      case REG_EXPAND_SZ_VALUE:
        machine::setValue(HKEY_CURRENT_USER, key, valueName, REG_EXPAND_SZ, value);
        break;
      case REG_DWORD_VALUE:
      case RUN_ONCE_EX_FLAGS:
        machine::setValue(HKEY_CURRENT_USER, key, valueName, REG_DWORD,
                          c.setup == REG_DWORD_VALUE ? value.substr(0, 4) : number);
        break;
      case REG_BINARY_VALUE:
        machine::setValue(HKEY_CURRENT_USER, key, valueName, REG_BINARY, c.command);
        break;
      default:
        break;
    }
    std::string item, expected = c.text;
    if (c.setup >= SHORTCUT) {
      std::string name = "Item" + std::to_string(&c - cases) + ".lnk";
      item = (c.place == ENTRY_STARTUP ? startup : commonStartup) + "\\" + name;
      expected = c.setup == DAMAGED ? item : name + " -> " + c.text;
      if (c.setup == DELETED_TARGET) machine::writeFile(c.command, "MZ");
      if (c.setup == DAMAGED) machine::writeFile(item, "not a shortcut");
      if (c.setup != DAMAGED) ASSERT_TRUE(makeShortcut(item, c.command));
      if (c.setup == DELETED_TARGET) DeleteFileA(c.command.c_str());
    }
    const std::string command = item.empty() ? c.command : "";
    bool named, found;
    EXPECT_EQ(expected, check(c.place, c.disabled, command, item, &named, &found));
    EXPECT_EQ(c.named, named);
    EXPECT_EQ(c.found, found);
    // Drawing, which reads no version, draws the same lines as missing.
    check(c.place, c.disabled, command, item, &named, &found, false);
    EXPECT_EQ(c.named && !c.found, named && !found) << "drawn";
  }
  // COM is started once for the process, however many shortcuts are read.
  EXPECT_LE(platform.count(Call::CoInitialize), 1);
}

// Drawing checks every visible line: no version, no COM and no registry there.
TEST_F(ProgramCheckTest, DrawingCheckStaysCheap) {
  for (EntryPlace place : {ENTRY_REGISTRY, ENTRY_STARTUP}) {
    SCOPED_TRACE(place);
    platform.log.clear();
    bool named, found;
    bool item = place == ENTRY_STARTUP;
    EXPECT_EQ(kRegedit, check(place, false, item ? "" : "regedit", item ? kRegedit : "", &named,
                              &found, false));
    for (Call call : {Call::GetFileVersionInfoSizeA, Call::CoCreateInstance, Call::RegOpenKeyExA})
      EXPECT_EQ(0, platform.count(call)) << callName(call);
  }
}

TEST_F(ProgramCheckTest, FailingCallsFallBackToWhatCanBeKnown) {
  const std::string link = startup + "\\Notes.lnk";
  ASSERT_TRUE(makeShortcut(link, kZeta));
  struct Case {
    Call call;
    const char* match;
    EntryPlace place;
    std::string command;
    std::string text;
  } cases[] = {
      {Call::VerQueryValueA, "Translation", ENTRY_REGISTRY, "regedit", kRegedit + kRegeditVersion},
      {Call::ExpandEnvironmentStringsA, "", ENTRY_REGISTRY, "%STARTLULL_CHECK%\\zeta tool.exe",
       "%STARTLULL_CHECK%\\zeta tool.exe - not found"},
      {Call::CoCreateInstance, "", ENTRY_STARTUP, "", link},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(callName(c.call));
    platform.clearFaults();
    platform.fail(c.call, c.match, ERROR_ACCESS_DENIED);
    bool named, found;
    EXPECT_EQ(c.text,
              check(c.place, false, c.command, c.command.empty() ? link : "", &named, &found));
    EXPECT_TRUE(platform.called(c.call, c.match)) << "the fault was never reached";
  }
}

}  // namespace

// The program check against the test prefix's real files, registry and
// shell: what an entry starts, whether it is there, and the status bar's line.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "engine/ProgramCheck.h"
#include "engine/RunKeys.h"
#include "tests/engine/EngineFixture.h"

namespace {

const std::string kPrefix = machine::kRunKeyPrefix;
const std::string kDir = "C:\\startlull check";
const std::string kZeta = kDir + "\\zeta tool.exe";
const std::string kGone = kDir + "\\gone.exe";
const std::string kPathDir = kDir + "\\path dir";
const char kVariable[] = "STARTLULL_CHECK";
// What Wine 8.0's own regedit.exe and shell32.dll say of themselves.
const std::string kRegeditVersion = " - Wine Registry Editor, Microsoft Corporation";
const std::string kShell32Version = " - Wine core dll, Microsoft Corporation";

const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct Checked {
  bool named;
  bool found;
  std::string path;
  std::string description;
  std::string company;
  std::string text;
};

class ProgramCheckTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    windows = buffer;
    GetSystemDirectoryA(buffer, MAX_PATH);
    system = buffer;
    DWORD length = GetEnvironmentVariableA("PATH", NULL, 0);
    savedPath.assign(length, '\0');
    GetEnvironmentVariableA("PATH", &savedPath[0], length);
    savedPath.resize(length ? length - 1 : 0);
    // A PATH longer than MAX_PATH, the folder that matters last.
    std::string path = system + ";" + windows;
    for (int folder = 0; folder < 20; ++folder)
      path += ";C:\\nowhere at all\\folder number " + std::to_string(folder);
    SetEnvironmentVariableA("PATH", (path + ";" + kPathDir).c_str());
    SetEnvironmentVariableA(kVariable, kDir.c_str());

    machine::removeTree(kDir);
    machine::makeDir(kDir);
    machine::makeDir(kPathDir);
    machine::writeFile(kZeta, "MZ");
    machine::writeFile(kPathDir + "\\pathtool.exe", "MZ");
  }

  void TearDown() override {
    SetEnvironmentVariableA("PATH", savedPath.c_str());
    SetEnvironmentVariableA(kVariable, NULL);
    machine::removeTree(kDir);
    EngineTest::TearDown();
  }

  static void setEntry(ListedEntry& entry, EntryPlace place, bool disabled, const std::string& name,
                       const std::string& command, const std::string& file) {
    entry.place = place;
    entry.disabled = disabled;
    entry.root = place == ENTRY_REGISTRY ? HKEY_CURRENT_USER : NULL;
    entry.keyName = RUN;
    entry.name.assign(name.c_str());
    entry.command.assign(command.c_str());
    entry.file.assign(file.c_str());
  }

  Checked check(const ListedEntry& entry, bool readVersion) {
    ProgramInfo info;
    info.path.assign("stale");
    info.found = true;
    info.description.assign("stale");
    info.company.assign("stale");
    Checked checked;
    checked.named = checkProgram(engine, entry, readVersion, info);
    checked.found = info.found;
    checked.path = info.path.c_str();
    checked.description = info.description.c_str();
    checked.company = info.company.c_str();
    StrBuf text;
    programStatusText(entry, info, text);
    checked.text = text.c_str();
    return checked;
  }

  // A shortcut made with the shell's own object, as an installer makes one.
  bool makeShortcut(const std::string& link, const std::string& target) {
    real.CoInitialize(NULL);
    IShellLinkA* shellLink = nullptr;
    if (FAILED(real.CoCreateInstance(kShellLinkClass, NULL, CLSCTX_INPROC_SERVER,
                                     kShellLinkInterface, reinterpret_cast<void**>(&shellLink))))
      return false;
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    bool saved = SUCCEEDED(shellLink->SetPath(target.c_str())) &&
                 SUCCEEDED(shellLink->QueryInterface(kPersistFileInterface,
                                                     reinterpret_cast<void**>(&file))) &&
                 SUCCEEDED(file->Save(wide, TRUE));
    if (file) file->Release();
    shellLink->Release();
    return saved;
  }

  std::string windows, system, savedPath;
};

TEST_F(ProgramCheckTest, CommandsResolveAsWindowsStartsThem) {
  const DWORD NO_VALUE = 0;
  struct Case {
    const char* name;
    EntryPlace place;
    bool disabled;
    DWORD type;  // the value Run holds under the entry's name
    std::string command;
    bool named;
    bool found;
    std::string text;
  } cases[] = {
      {"quoted path with a blank", ENTRY_REGISTRY, false, REG_SZ, "\"" + kZeta + "\" /min", true,
       true, kZeta},
      {"unquoted path with a blank", ENTRY_REGISTRY, false, REG_SZ, kZeta + " /min", true, true,
       kZeta},
      {"missing program", ENTRY_REGISTRY, false, REG_SZ, kGone + " -x", true, false,
       kGone + " - not found"},
      {"bare name from the Windows folder, with its version", ENTRY_REGISTRY, false, REG_SZ,
       "regedit /s x.reg", true, true, windows + "\\regedit.exe" + kRegeditVersion},
      {"no version resource", ENTRY_REGISTRY, false, REG_SZ, "notepad readme.txt", true, true,
       windows + "\\notepad.exe"},
      {"bare name from the System folder", ENTRY_REGISTRY, false, REG_SZ, "cmd /c exit", true, true,
       system + "\\cmd.exe"},
      {"bare name from the last PATH folder", ENTRY_REGISTRY, false, REG_SZ, "pathtool -a", true,
       true, kPathDir + "\\pathtool.exe"},
      {"rundll32 followed to its library", ENTRY_REGISTRY, false, REG_SZ,
       "rundll32.exe shell32.dll,Control_RunDLL x.cpl", true, true,
       system + "\\shell32.dll" + kShell32Version},
      {"REG_EXPAND_SZ expanded", ENTRY_REGISTRY, false, REG_EXPAND_SZ,
       "%STARTLULL_CHECK%\\zeta tool.exe /min", true, true, kZeta},
      {"REG_EXPAND_SZ to a missing file", ENTRY_REGISTRY, false, REG_EXPAND_SZ,
       "%STARTLULL_CHECK%\\gone.exe", true, false, kGone + " - not found"},
      {"REG_SZ keeps its percent signs", ENTRY_REGISTRY, false, REG_SZ,
       "%STARTLULL_CHECK%\\zeta tool.exe", true, false,
       "%STARTLULL_CHECK%\\zeta tool.exe - not found"},
      {"disabled: expanded where that names a file", ENTRY_REGISTRY, true, NO_VALUE,
       "%STARTLULL_CHECK%\\zeta tool.exe -a", true, true, kZeta},
      {"disabled: as written where it does not", ENTRY_REGISTRY, true, NO_VALUE,
       "%STARTLULL_CHECK%\\gone.exe", true, false, "%STARTLULL_CHECK%\\gone.exe - not found"},
      {"disabled: a value of that name in the key now is not it", ENTRY_REGISTRY, true, REG_SZ,
       "%STARTLULL_CHECK%\\zeta tool.exe", true, true, kZeta},
      {"value gone from its key since the listing", ENTRY_REGISTRY, false, NO_VALUE,
       "%STARTLULL_CHECK%\\zeta tool.exe", true, true, kZeta},
      {"empty command", ENTRY_REGISTRY, false, REG_SZ, "", false, false, "no program"},
      {"blank command", ENTRY_REGISTRY, false, REG_SZ, "  ", false, false, "no program"},
      {"win.ini: the first of the list", ENTRY_WIN_INI, false, NO_VALUE, "notepad.exe,C:\\gone.exe",
       true, true, windows + "\\notepad.exe"},
      {"win.ini: separators before a missing first", ENTRY_WIN_INI, false, NO_VALUE,
       " ,C:\\gone.exe notepad", true, false, "C:\\gone.exe - not found"},
      {"win.ini: blanks end a name", ENTRY_WIN_INI, false, NO_VALUE, kZeta, true, false,
       "C:\\startlull.exe - not found"},
      {"win.ini: separators only", ENTRY_WIN_INI, false, NO_VALUE, " ,, ", false, false,
       "no program"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine::clearRunKeys();
    if (c.type != NO_VALUE)
      machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "Entry", c.type,
                        std::string(c.command.c_str(), c.command.size() + 1));
    ListedEntry entry;
    setEntry(entry, c.place, c.disabled, c.place == ENTRY_WIN_INI ? "run" : "Entry", c.command, "");
    Checked checked = check(entry, true);
    EXPECT_EQ(c.named, checked.named);
    EXPECT_EQ(c.found, checked.found);
    EXPECT_EQ(c.text, checked.text);
  }
}

TEST_F(ProgramCheckTest, ShortcutsAreFollowedAndItemsAreThemselves) {
  enum Kind { SHORTCUT, SHORTCUT_TARGET_DELETED, DAMAGED_SHORTCUT, PLAIN_ITEM, NO_ITEM };
  struct Case {
    const char* name;
    EntryPlace place;
    std::string item;
    Kind kind;
    std::string target;
    bool found;
    std::string text;
  } cases[] = {
      {"shortcut to a program", ENTRY_STARTUP, "Notes.lnk", SHORTCUT, kZeta, true,
       "Notes.lnk -> " + kZeta},
      {"shortcut to a program with a version", ENTRY_STARTUP, "Tools.lnk", SHORTCUT,
       windows + "\\regedit.exe", true,
       "Tools.lnk -> " + windows + "\\regedit.exe" + kRegeditVersion},
      {"shortcut to a missing program", ENTRY_STARTUP, "Gone.lnk", SHORTCUT_TARGET_DELETED, kGone,
       false, "Gone.lnk -> " + kGone + " - not found"},
      {"shortcut to a folder", ENTRY_STARTUP, "Folder.lnk", SHORTCUT, kPathDir, true,
       "Folder.lnk -> " + kPathDir},
      {"extension in capitals", ENTRY_COMMON_STARTUP, "ALL.LNK", SHORTCUT, kZeta, true,
       "ALL.LNK -> " + kZeta},
      {"damaged shortcut: the item itself", ENTRY_STARTUP, "Broken.lnk", DAMAGED_SHORTCUT, "", true,
       ""},
      {"item that is no shortcut", ENTRY_COMMON_STARTUP, "start.bat", PLAIN_ITEM, "", true, ""},
      {"item gone since the listing", ENTRY_STARTUP, "Vanished.lnk", NO_ITEM, "", false,
       " - not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string folder = c.place == ENTRY_STARTUP ? startup : commonStartup;
    std::string item = folder + "\\" + c.item;
    if (c.kind == SHORTCUT_TARGET_DELETED) machine::writeFile(c.target, "MZ");
    if (c.kind == SHORTCUT || c.kind == SHORTCUT_TARGET_DELETED)
      ASSERT_TRUE(makeShortcut(item, c.target));
    if (c.kind == SHORTCUT_TARGET_DELETED) DeleteFileA(c.target.c_str());
    if (c.kind == DAMAGED_SHORTCUT) machine::writeFile(item, "not a shortcut at all");
    if (c.kind == PLAIN_ITEM) machine::writeFile(item, "@echo off\r\n");
    ListedEntry entry;
    setEntry(entry, c.place, false, c.item, "", item);
    Checked checked = check(entry, true);
    EXPECT_TRUE(checked.named);
    EXPECT_EQ(c.found, checked.found);
    EXPECT_EQ(c.target.empty() ? item : c.target, checked.path);
    // An item that is itself the program is shown by its whole path.
    EXPECT_EQ(c.target.empty() ? item + c.text : c.text, checked.text);
  }
  // COM is started once for the process, whatever the number of shortcuts.
  EXPECT_LE(platform.count(Call::CoInitialize), 1);
}

// Drawing checks every visible line: no version reading, no COM and no
// registry for a line that needs none.
TEST_F(ProgramCheckTest, DrawingCheckStaysCheap) {
  struct Case {
    const char* name;
    EntryPlace place;
    std::string command;
    std::string file;
    std::vector<Call> unused;
  } cases[] = {
      {"registry command without variables",
       ENTRY_REGISTRY,
       "regedit /s",
       "",
       {Call::GetFileVersionInfoSizeA, Call::GetFileVersionInfoA, Call::CoCreateInstance,
        Call::RegOpenKeyExA, Call::ExpandEnvironmentStringsA}},
      {"win.ini program",
       ENTRY_WIN_INI,
       "regedit",
       "",
       {Call::GetFileVersionInfoSizeA, Call::CoCreateInstance, Call::RegOpenKeyExA}},
      {"item that is no shortcut",
       ENTRY_STARTUP,
       "",
       windows + "\\regedit.exe",
       {Call::GetFileVersionInfoSizeA, Call::CoInitialize, Call::CoCreateInstance,
        Call::GetEnvironmentVariableA}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.log.clear();
    ListedEntry entry;
    setEntry(entry, c.place, false, "Entry", c.command, c.file);
    Checked checked = check(entry, false);
    EXPECT_TRUE(checked.found);
    EXPECT_EQ(windows + "\\regedit.exe", checked.path);
    EXPECT_EQ("", checked.description);
    EXPECT_EQ("", checked.company);
    for (Call call : c.unused) EXPECT_EQ(0, platform.count(call)) << callName(call);
  }
}

TEST_F(ProgramCheckTest, FailingCallsFallBackToWhatCanBeKnown) {
  const std::string link = "Notes.lnk";
  struct Case {
    const char* name;
    Call call;
    const char* match;
    EntryPlace place;
    DWORD type;
    std::string command;
    bool found;
    std::string text;  // empty: the shortcut's own path
  } cases[] = {
      {"no PATH: the Windows folders still searched", Call::GetEnvironmentVariableA, "PATH",
       ENTRY_REGISTRY, REG_SZ, "cmd /c", true, system + "\\cmd.exe"},
      {"no PATH: its folders are not", Call::GetEnvironmentVariableA, "PATH", ENTRY_REGISTRY,
       REG_SZ, "pathtool", false, "pathtool.exe - not found"},
      {"no System folder", Call::GetSystemDirectoryA, "", ENTRY_REGISTRY, REG_SZ, "cmd", true,
       system + "\\cmd.exe"},  // PATH names it too
      {"expansion fails: the command as written", Call::ExpandEnvironmentStringsA, "",
       ENTRY_REGISTRY, REG_EXPAND_SZ, "%STARTLULL_CHECK%\\zeta tool.exe", false,
       "%STARTLULL_CHECK%\\zeta tool.exe - not found"},
      {"type unreadable: expanded where that names a file", Call::RegQueryValueExA, "",
       ENTRY_REGISTRY, REG_SZ, "%STARTLULL_CHECK%\\zeta tool.exe", true, kZeta},
      {"version block unreadable", Call::GetFileVersionInfoA, "", ENTRY_REGISTRY, REG_SZ, "regedit",
       true, windows + "\\regedit.exe"},
      {"no translation table: US English in Unicode", Call::VerQueryValueA, "Translation",
       ENTRY_REGISTRY, REG_SZ, "regedit", true, windows + "\\regedit.exe" + kRegeditVersion},
      {"no shell link object", Call::CoCreateInstance, "", ENTRY_STARTUP, 0, "", true, ""},
      {"path not convertible", Call::MultiByteToWideChar, "", ENTRY_STARTUP, 0, "", true, ""},
  };
  ASSERT_TRUE(makeShortcut(startup + "\\" + link, kZeta));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine::clearRunKeys();
    if (c.type)
      machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "Entry", c.type,
                        std::string(c.command.c_str(), c.command.size() + 1));
    platform.clearFaults();
    platform.log.clear();
    platform.fail(c.call, c.match, ERROR_ACCESS_DENIED);
    ListedEntry entry;
    bool item = c.place == ENTRY_STARTUP;
    setEntry(entry, c.place, false, item ? link : "Entry", c.command,
             item ? startup + "\\" + link : "");
    Checked checked = check(entry, true);
    EXPECT_TRUE(platform.called(c.call, c.match)) << "the fault was never reached";
    EXPECT_EQ(c.found, checked.found);
    EXPECT_EQ(c.text.empty() ? startup + "\\" + link : c.text, checked.text);
  }
}

TEST_F(ProgramCheckTest, StatusTextShapes) {
  struct Case {
    const char* name;
    EntryPlace place;
    std::string file;
    std::string path;
    bool found;
    std::string description;
    std::string company;
    std::string text;
  } cases[] = {
      {"description and company", ENTRY_REGISTRY, "", "C:\\Zeta\\z.exe", true, "Zeta Tool",
       "Zeta Corp.", "C:\\Zeta\\z.exe - Zeta Tool, Zeta Corp."},
      {"description alone", ENTRY_REGISTRY, "", "C:\\Zeta\\z.exe", true, "Zeta Tool", "",
       "C:\\Zeta\\z.exe - Zeta Tool"},
      {"company alone", ENTRY_REGISTRY, "", "C:\\Zeta\\z.exe", true, "", "Zeta Corp.",
       "C:\\Zeta\\z.exe - Zeta Corp."},
      {"no version resource", ENTRY_WIN_INI, "", "C:\\Zeta\\z.exe", true, "", "",
       "C:\\Zeta\\z.exe"},
      {"not found says nothing else", ENTRY_REGISTRY, "", "C:\\Zeta\\z.exe", false, "Zeta Tool",
       "Zeta Corp.", "C:\\Zeta\\z.exe - not found"},
      {"shortcut", ENTRY_STARTUP, "C:\\S\\Notes.lnk", "C:\\Notes\\notes.exe", true, "Notes", "",
       "Notes.lnk -> C:\\Notes\\notes.exe - Notes"},
      {"item itself", ENTRY_COMMON_STARTUP, "C:\\S\\run.bat", "C:\\S\\run.bat", true, "", "",
       "C:\\S\\run.bat"},
      {"item whose path is a prefix of the target", ENTRY_STARTUP, "C:\\S\\a.lnk",
       "C:\\S\\a.lnk.exe", true, "", "", "a.lnk -> C:\\S\\a.lnk.exe"},
      {"no program", ENTRY_REGISTRY, "", "", false, "", "", "no program"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListedEntry entry;
    std::string name = c.file.substr(c.file.find_last_of('\\') + 1);
    setEntry(entry, c.place, false, name, "", c.file);
    ProgramInfo info;
    info.path.assign(c.path.c_str());
    info.found = c.found;
    info.description.assign(c.description.c_str());
    info.company.assign(c.company.c_str());
    StrBuf text;
    text.assign("stale");
    programStatusText(entry, info, text);
    EXPECT_EQ(c.text, text.c_str());
  }
}

}  // namespace

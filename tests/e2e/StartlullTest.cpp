// startlull.exe as a user meets it: started in a prepared Wine prefix,
// pressed through its buttons, keys and dialogs, and checked on its screen
// and on the machine.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Driver.h"
#include "app/ListingBox.h"
#include "framework/MsgWindow.h"
#include "gtest/gtest.h"

using namespace e2e;

namespace {

const COLORREF heading = 0xFF0000;
const COLORREF plain = 0x000000;
const COLORREF title = 0x0000FF;
const COLORREF background = 0xE0FFFF;
const COLORREF missingProgram = 0x800080;
const COLORREF changedDefault = 0x0060C0;

enum {
  exitCommand = 40001,
  aboutCommand,
  findCommand,
  removeCommand,
  restoreCommand,
  locationsCommand,
  saveCommand
};

const char bin[] = "C:\\e2e\\bin\\";

std::string SystemName() {
  std::string kind = Kind();
  if (kind == "win98") return "Windows 98.";
  if (kind == "win2k") return "Windows 2000.";
  return "Windows XP.";
}

std::string RunKey(const char* name) { return machine::kRunKeyPrefix + std::string(name); }

// Exactly length characters: start, then numbered pieces, never ending in a
// blank (win.ini trims trailing blanks from what it gives back).
std::string Padded(const std::string& start, const char* piece, size_t length) {
  std::string text = start;
  for (int i = 1; text.size() < length; ++i) text += piece + std::to_string(i);
  text.resize(length);
  if (text.back() == ' ') text.back() = 'x';
  return text;
}

// What the prepared machine holds, named once for setting it up and for the
// lines that must show it.
std::string IniRun() { return Padded(std::string(bin) + "runner.exe\t-tray", " /switch", 300); }
std::string Updater() { return Padded(std::string(bin) + "updater.exe --channel", " /opt", 1234); }
std::string LauncherName() { return Padded("Launcher", "-part", 300); }
std::string Launcher() { return Padded(std::string(bin) + "launcher.exe", " /view", 400); }
std::string Cleanup() {
  return Padded("%USERPROFILE%\\e2e\\cleanup.exe /temp=%TEMP%", " /pass", 520);
}
const char expandRun[] = "%ProgramFiles%\\e2e\\expand.exe /log:%TEMP%\\e2e.log";
const char tabbed[] = "C:\\e2e\\bin\\tab.exe\t/a\t\t/b\t";

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
std::string Text(const std::string& text) { return std::string(text.c_str(), text.size() + 1); }

// A machine with something in every place Find looks at, and values of
// every kind and size in the registry: long, tabbed, expandable, multi-string,
// binary and numeric data, default values, a name holding "=", and RunOnceEx
// keys with subkeys.
std::vector<machine::PlaceSeed>& OtherSeeds() {
  static std::vector<machine::PlaceSeed> seeds;
  return seeds;
}

bool IsNt() { return Kind() != "win98"; }

// The other places Find and Locations show, in their order: on which
// systems, and where each is in full.
struct OtherPlace {
  bool on98, onNt;
  std::string where;
};
std::vector<OtherPlace> OtherPlaces() {
  const std::string lm = "HKEY_LOCAL_MACHINE\\", cu = "HKEY_CURRENT_USER\\";
  const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion\\";
  const std::string nt = "Software\\Microsoft\\Windows NT\\CurrentVersion\\";
  return {
      {true, false, lm + cv + "RunServicesOnce"},
      {true, false, cu + cv + "RunServicesOnce"},
      {false, true, lm + cv + "Policies\\Explorer\\Run"},
      {false, true, cu + cv + "Policies\\Explorer\\Run"},
      {true, true, lm + cv + "ShellServiceObjectDelayLoad"},
      {true, false, "system.ini, [boot] shell"},
      {false, true, lm + nt + "Winlogon, value Shell"},
      {false, true, lm + nt + "Winlogon, value Userinit"},
      {false, true, lm + nt + "Windows, value AppInit_DLLs"},
      {false, true, lm + "System\\CurrentControlSet\\Control\\Session Manager, value BootExecute"},
      {true, true, lm + cv + "Explorer\\Browser Helper Objects"},
      {true, true, lm + cv + "Explorer\\ShellExecuteHooks"},
      {false, true, lm + nt + "Winlogon\\Notify"},
      {true, true, "the Tasks folder of the Windows folder"},
      {false, true, lm + "System\\CurrentControlSet\\Services"},
  };
}

bool OnThisSystem(const OtherPlace& place) { return IsNt() ? place.onNt : place.on98; }

void Seed() {
  CleanMachine();
  OtherSeeds() = machine::seedOtherPlaces();
  const std::string b = bin;
  machine::setProfileValue("run", IniRun().c_str());
  WriteFileText(machine::startupDir() + "\\Notes.lnk", "notes shortcut");
  WriteFileText(machine::commonStartupDir() + "\\Clock.lnk", "clock shortcut");
  struct Value {
    HKEY root;
    std::string key;
    std::string name;
    DWORD type;
    std::string bytes;
  } const values[] = {
      {HKEY_LOCAL_MACHINE, RunKey("RunServices"), "Spooler", REG_SZ, Text(b + "spool.exe")},
      {HKEY_LOCAL_MACHINE, RunKey("RunServices"), "", REG_SZ, Text(b + "default-service.exe")},
      {HKEY_LOCAL_MACHINE, RunKey("Run"), "Tray", REG_SZ, Text(b + "tray.exe")},
      {HKEY_LOCAL_MACHINE, RunKey("Run"), "Updater", REG_SZ, Text(Updater())},
      {HKEY_LOCAL_MACHINE, RunKey("Run"), "Expand", REG_EXPAND_SZ, Text(expandRun)},
      {HKEY_LOCAL_MACHINE, RunKey("Run"), "Binary", REG_BINARY,
       b + "raw.exe" + std::string("\0\x01\xfe tail", 7)},
      {HKEY_LOCAL_MACHINE, RunKey("Run"), "Counter", REG_DWORD, Dword(0x00434241)},
      {HKEY_LOCAL_MACHINE, RunKey("Run"), "Zero", REG_DWORD, Dword(0)},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnce"), "Setup", REG_SZ, Text(b + "setup.exe /finish")},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnce"), "Multi", REG_MULTI_SZ,
       Text(b + "multi.exe /first") + Text(b + "multi.exe /second") + std::string(1, '\0')},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnceEx"), "Title", REG_SZ, Text("Finishing the set-up")},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnceEx"), "Flags", REG_DWORD, Dword(0x20)},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnceEx\\0001"), "", REG_SZ, Text("Step one")},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnceEx\\0001"), "1", REG_SZ, Text(b + "step.exe /quiet")},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnceEx\\0001"), "2", REG_EXPAND_SZ,
       Text("%SystemRoot%\\system32\\rundll32.exe e2e.dll,Run")},
      {HKEY_LOCAL_MACHINE, RunKey("RunOnceEx\\0002\\Inner"), "Deep", REG_BINARY,
       std::string("\0\x01\x02\xff", 4)},
      {HKEY_CURRENT_USER, RunKey("RunServices"), "", REG_EXPAND_SZ, Text("%WINDIR%\\e2e-user.exe")},
      {HKEY_CURRENT_USER, RunKey("Run"), "Mail", REG_SZ, Text(b + "mail.exe -min")},
      {HKEY_CURRENT_USER, RunKey("Run"), "Agent", REG_SZ, Text(b + "agent.exe")},
      {HKEY_CURRENT_USER, RunKey("Run"), "Empty", REG_SZ, Text("")},
      {HKEY_CURRENT_USER, RunKey("Run"), "K=1", REG_SZ, Text(b + "k.exe")},
      {HKEY_CURRENT_USER, RunKey("Run"), LauncherName(), REG_SZ, Text(Launcher())},
      {HKEY_CURRENT_USER, RunKey("Run"), "Nothing", REG_BINARY, ""},
      {HKEY_CURRENT_USER, RunKey("Run"), "Opt=Fast", REG_SZ, Text(b + "opt.exe")},
      {HKEY_CURRENT_USER, RunKey("Run"), "Tabbed", REG_SZ, Text(tabbed)},
      {HKEY_CURRENT_USER, RunKey("RunOnce"), "Cleanup", REG_EXPAND_SZ, Text(Cleanup())},
      {HKEY_CURRENT_USER, RunKey("RunOnceEx\\0001"), "", REG_SZ, Text("User step")},
      {HKEY_CURRENT_USER, RunKey("RunOnceEx\\0001"), "1", REG_SZ, Text(b + "user-step.exe")},
  };
  for (const Value& value : values) {
    SCOPED_TRACE(value.key + " " + value.name);
    machine::setValue(value.root, value.key, value.name, value.type, value.bytes);
    // Values that no line shows are checked only against this state, so the
    // state must hold them.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(value.root, value.key.c_str(), 0, KEY_READ, &key));
    std::string stored(value.bytes.size() + 16, '\0');
    DWORD type = REG_NONE, size = static_cast<DWORD>(stored.size());
    LONG read = RegQueryValueExA(key, value.name.empty() ? 0 : value.name.c_str(), 0, &type,
                                 reinterpret_cast<BYTE*>(&stored[0]), &size);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, read);
    stored.resize(size);
    EXPECT_EQ(value.type, type);
    EXPECT_EQ(value.bytes, stored);
  }
}

// Each listed value as its name, " = " and its data's bytes up to the first
// zero byte, whatever its type; default values and keys holding only
// subkeys or a default value give no line.
std::vector<Line> RunKeysListing() {
  std::string b = bin;
  return {
      {"", plain},
      {"[Win.ini]", heading},
      {"run = " + IniRun(), plain},
      {"load=", plain},
      {"", plain},
      {"[Startup folder]", heading},
      {"Notes.lnk", plain},
      {"", plain},
      {"[All Users Startup folder]", heading},
      {"Clock.lnk", plain},
      {"", plain},
      {"[Registry - local_machine, RunServices]", heading},
      {"Spooler = " + b + "spool.exe", plain},
      {"", plain},
      {"[Registry - local_machine, Run]", heading},
      {"Binary = " + b + "raw.exe", plain},
      {"Counter = ABC", plain},
      {"Expand = " + std::string(expandRun), plain},
      {"Tray = " + b + "tray.exe", plain},
      {"Updater = " + Updater(), plain},
      {"Zero = ", plain},
      {"", plain},
      {"[Registry - local_machine, RunOnce]", heading},
      {"Multi = " + b + "multi.exe /first", plain},
      {"Setup = " + b + "setup.exe /finish", plain},
      {"", plain},
      {"[Registry - local_machine, RunOnceEx]", heading},
      {"Flags =  ", plain},
      {"Title = Finishing the set-up", plain},
      {"", plain},
      {"[Registry - current_user, Run]", heading},
      {"Agent = " + b + "agent.exe", plain},
      {"Empty = ", plain},
      {"K=1 = " + b + "k.exe", plain},
      {LauncherName() + " = " + Launcher(), plain},
      {"Mail = " + b + "mail.exe -min", plain},
      {"Nothing = ", plain},
      {"Opt=Fast = " + b + "opt.exe", plain},
      {"Tabbed = " + std::string(tabbed), plain},
      {"", plain},
      {"[Registry - current_user, RunOnce]", heading},
      {"Cleanup = " + Cleanup(), plain},
  };
}

// The seeded listing whole: the Run-type keys' lines, then the entry seeded
// in each other place this system has, and the services Wine itself
// starts.
std::vector<Line> SeededListing() {
  std::vector<Line> lines = RunKeysListing();
  const std::vector<OtherPlace> places = OtherPlaces();
  EXPECT_EQ(places.size(), OtherSeeds().size());
  for (size_t row = 0; row < places.size() && row < OtherSeeds().size(); ++row) {
    if (!OnThisSystem(places[row])) continue;
    const machine::PlaceSeed& seed = OtherSeeds()[row];
    lines.push_back({"", plain});
    lines.push_back({seed.heading, heading});
    if (seed.heading == "[Services]") {
      std::string system = WindowsDir() + "\\system32\\";
      lines.push_back({"Event Log = " + system + "svchost.exe -k LocalServiceNetworkRestricted", plain});
      lines.push_back({"Plug and Play Service = " + system + "plugplay.exe", plain});
    }
    lines.push_back({seed.line, seed.notDefault ? changedDefault : plain});
  }
  return lines;
}

// Line by line, each whole, so that a failure names the line and shows it.
void ExpectListing(const std::vector<Line>& expected, const std::vector<Line>& actual) {
  EXPECT_EQ(expected.size(), actual.size()) << "number of lines";
  for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
    SCOPED_TRACE("line " + std::to_string(i));
    if (i >= actual.size()) {
      ADD_FAILURE() << "missing: " << testing::PrintToString(expected[i]);
    } else if (i >= expected.size()) {
      ADD_FAILURE() << "extra: " << testing::PrintToString(actual[i]);
    } else {
      EXPECT_EQ(expected[i], actual[i]);
    }
  }
}

std::vector<Line> UsageText() {
  return {
      {"", plain},
      {"Startlull for Windows 98, 2000 and XP", title},
      {"", plain},
      {"Purpose:", heading},
      {"   Run Windows without any unneeded programs starting automatically.", plain},
      {"   Startlull will remove any startup programs from the Win.ini, the", plain},
      {"   Windows startup folder, and the run folder in the registry.  When you", plain},
      {"   are ready, the startup programs will be put back the way they were.", plain},
      {"", plain},
      {"Usage:", heading},
      {"   Press the Find button to list the startup programs. If you want", plain},
      {"   to continue press the Remove button. The dialog box that appears", plain},
      {"   will give you the chance to also remove the config.sys and the", plain},
      {"   autoexec.bat files. Press the Ok button and the listed items will", plain},
      {"   be removed. You can press the Restart button to boot the computer.", plain},
      {"   When you are finished testing the clean system you can restore", plain},
      {"   the old setting by running this program and pressing the Restore", plain},
      {"   button. Everything will be put back the way it was and you will be", plain},
      {"   given the opportunity to restart the computer.", plain},
  };
}

std::string ShellValue() {
  HKEY key;
  char value[260] = "";
  DWORD size = sizeof value - 1;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                    0, KEY_READ, &key) == ERROR_SUCCESS) {
    if (RegQueryValueExA(key, "Shell", 0, 0, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS) {
      value[0] = '\0';
    }
    RegCloseKey(key);
  }
  return value;
}

std::string Beside(const std::string& path, const char* name) {
  return path.substr(0, path.rfind('\\') + 1) + name;
}

std::vector<Line> LocationsListing(bool supported) {
  std::string windows = WindowsDir();
  std::string startup = supported ? machine::startupDir() : "";
  std::string common = supported ? machine::commonStartupDir() : "";
  std::string inactive = supported ? Beside(machine::startupDir(), "Startup-Inactive") : "";
  std::string commonInactive =
      supported ? Beside(machine::commonStartupDir(), "Startup-Inactive") : "";
  std::string settings = supported ? inactive + "\\Startlull.ini" : "";
  std::string rescue = windows.substr(0, windows.find('\\')) + "\\Startlull.ini";
  std::string hklm = "    HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\";
  std::string hkcu = "    HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\";
  std::vector<Line> lines = {
      {"", plain},
      {"Your Operating system is " + (supported ? SystemName() : "not supported."), plain},
      {"Current user:  " + UserName(), plain},
      {"Windows shell:  " + ShellValue(), plain},
      {"", plain},
      {"Windows ini file:", heading},
      {"    " + windows + "\\win.ini", plain},
      {"", plain},
      {"Startup folder:", heading},
      {"    " + startup, plain},
      {"All users Startup Folder:", heading},
      {"    " + common, plain},
      {"", plain},
      {"Registry run locations:", heading},
      {hklm + "RunServices", plain},
      {hklm + "Run", plain},
      {hklm + "RunOnce", plain},
      {hklm + "RunOnceEx", plain},
      {hkcu + "RunServices", plain},
      {hkcu + "Run", plain},
      {hkcu + "RunOnce", plain},
      {hkcu + "RunOnceEx", plain},
      {"", plain},
      {"Locations where Startlull stores its settings:", heading},
      {"", plain},
      {"Inactive folder:", plain},
      {"    " + inactive, plain},
      {"All Users Inactive folder", plain},
      {"    " + commonInactive, plain},
      {"Ini file with the startup settings:", plain},
      {"    " + settings, plain},
      {"Location of data if restore fails:", plain},
      {"    " + rescue, plain},
      {"Folder of disabled entries:", plain},
      {"    " + (supported ? Beside(machine::startupDir(), "Startup-Disabled") : ""), plain},
      {"All Users folder of disabled entries:", plain},
      {"    " + (supported ? Beside(machine::commonStartupDir(), "Startup-Disabled") : ""), plain},
      {"", plain},
      {"Other places from which Windows starts programs:", heading},
  };
  if (supported)
    for (const OtherPlace& place : OtherPlaces())
      if (OnThisSystem(place)) lines.push_back({"    " + place.where, plain});
  return lines;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(0)) return "(the clipboard cannot be opened)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[16];
  wsprintfA(date, "%d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
  return date;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
  char name[32] = "";
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Edit") != 0 || !IsWindowVisible(child)) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// The save dialog's one visible edit box (Windows and Wine number it
// differently, and it may sit inside a combo box).
HWND FileNameBox(HWND dialog) {
  HWND found = 0;
  EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

void PressDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  ASSERT_TRUE(button) << "dialog has no button " << id;
  PostMessageA(button, BM_CLICK, 0, 0);
}

// Rows of the list are all one height; row i's middle, in list client
// coordinates, while the list is scrolled to the top.
int RowMiddle(HWND list, int row) {
  int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  return row * height + height / 2;
}

// Pixels of that colour on the line's row, wherever the list is scrolled.
int CountPixels(HWND list, int line, COLORREF colour) {
  Snapshot shot(list);
  RECT row;
  if (SendMessageA(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) == LB_ERR) return 0;
  int count = 0;
  for (int y = row.top; y < row.bottom; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      if (shot.At(x, y) == colour) ++count;
    }
  }
  return count;
}

int LineOf(const std::vector<Line>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].text == text) return static_cast<int>(i);
  }
  return -1;
}

// A click on the line, posted: it has been handled when this returns. False
// when the line is not in sight.
bool SelectLine(App& app, int line) {
  RECT row, client;
  if (SendMessageA(app.list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) == LB_ERR)
    return false;
  GetClientRect(app.list, &client);
  int y = (row.top + row.bottom) / 2;
  if (y < client.top || y >= client.bottom) return false;
  PostMessageA(app.list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y));
  PostMessageA(app.list, WM_LBUTTONUP, 0, MAKELPARAM(20, y));
  app.Settle();
  return true;
}

// The status bar's text (its ANSI text does not cross processes under Wine).
std::string StatusText(App& app) {
  wchar_t wide[512] = L"";
  SendMessageW(app.status, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
  char text[1024] = "";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, 0, 0);
  return text;
}

class StartlullTest : public ::testing::Test {
 protected:
  void SetUp() override { CleanMachine(); }
  App app;
};

// The program run from a batch file, as a script would: the batch file's
// exit code is the program's.
int RunBatch(const std::string& arguments) {
  const std::string batch = "C:\\e2e-script\\run.bat";
  WriteFileText(batch, "@echo off\r\n\"" + Env("STARTLULL_EXE") + "\" " + arguments +
                           "\r\nexit /b %errorlevel%\r\n");
  std::string command = "cmd.exe /c " + batch;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process)) return -2;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

TEST_F(StartlullTest, SwitchesFromABatchFileGiveTheirExitCodesAndChangeNothing) {
  Seed();
  const std::string before = MachineState(), folder = "C:\\e2e-script";
  const std::string report = folder + "\\now.txt", diff = folder + "\\diff.txt";
  EXPECT_EQ(0, RunBatch("/save " + report));
  std::string expected = Today() + "\r\nYour Operating system is " + SystemName() +
                         "\r\nCurrent user:  " + UserName() + "\r\n\r\n";
  for (const Line& line : SeededListing()) expected += line.text + "\r\n";
  EXPECT_EQ(expected, machine::readFile(report));
  EXPECT_EQ(0, RunBatch("/compare \"" + report + "\""));
  // A value added since the report: something is new, and the differences
  // are a report of their own.
  machine::setString(HKEY_CURRENT_USER, RunKey("Run"), "Since", "C:\\since.exe");
  EXPECT_EQ(2, RunBatch("/compare " + report + " /save " + diff + " /quiet"));
  EXPECT_NE(std::string::npos,
            machine::readFile(diff).find("\r\n\r\n[New since " + Today() +
                                         "]\r\nRegistry - current_user, Run: Since = "
                                         "C:\\since.exe\r\n"));
  // Failures: a file that is no report, one that cannot be written, a wrong switch.
  EXPECT_EQ(1, RunBatch("/compare " + folder + "\\run.bat /quiet"));
  EXPECT_EQ(1, RunBatch("/save " + folder + "\\no\\such\\folder\\r.txt /quiet"));
  EXPECT_EQ(1, RunBatch("/quiet /bogus"));
  machine::deleteKey(HKEY_CURRENT_USER, RunKey("Run"));
  Seed();
  EXPECT_EQ(before, MachineState());
  // /? shows the switches and ends with code 0.
  App help;
  std::string exe = Env("STARTLULL_EXE"), command = "\"" + exe + "\" /?";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ASSERT_TRUE(CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &startup, &process));
  HWND box = 0;
  for (int waited = 0; waited < 10000 && !box; waited += 100) {
    box = FindProcessWindow(process.dwProcessId, "#32770", 0);
    if (!box) Sleep(100);
  }
  ASSERT_TRUE(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 10000));
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(0u, code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  machine::removeTree(folder);
}

// Between two runs of the program a value comes and one goes: the next
// Find marks the new one with the first Find's time and lists the gone one;
// a Disable and an Enable mark nothing.
TEST_F(StartlullTest, WhatCameAndWentSinceTheLastRunIsMarked) {
  Seed();
  const std::string report = "C:\\e2e-script\\before.txt";
  ASSERT_EQ(0, RunBatch("/save " + report));
  // The first Find's minute lies between these two clock readings.
  SYSTEMTIME first[2];
  GetLocalTime(&first[0]);
  ASSERT_NO_FATAL_FAILURE(app.Start("/find"));
  app.WaitForList(19);
  GetLocalTime(&first[1]);
  PostMessageA(app.main, WM_CLOSE, 0, 0);
  ASSERT_EQ(0, app.WaitForExit());
  machine::setString(HKEY_CURRENT_USER, RunKey("Run"), "Came", "C:\\came.exe");
  machine::deleteKey(HKEY_LOCAL_MACHINE, RunKey("RunOnce"));

  App again;
  ASSERT_NO_FATAL_FAILURE(again.Start());
  again.Click(findCommand);
  again.WaitForList(19);
  std::vector<Line> lines = again.Lines();
  int came = LineOf(lines, "Came = C:\\came.exe");
  ASSERT_GE(came, 0);
  ASSERT_TRUE(again.ScrollToLine(came));
  ASSERT_TRUE(SelectLine(again, came));
  char minute[2][8];
  for (int at = 0; at < 2; ++at)
    snprintf(minute[at], sizeof minute[at], "%02u:%02u", first[at].wHour, first[at].wMinute);
  std::string status = StatusText(again);
  EXPECT_NE(std::string::npos, status.find(" - New since " + Today() + " ")) << status;
  EXPECT_TRUE(status.find(minute[0]) != std::string::npos ||
              status.find(minute[1]) != std::string::npos)
      << status << " " << minute[0] << " or " << minute[1];
  int gone = -1;
  for (size_t line = 0; line < lines.size(); ++line)
    if (lines[line].text.compare(0, 12, "[Gone since ") == 0) gone = static_cast<int>(line);
  ASSERT_GE(gone, 0);
  ASSERT_LT(gone + 1, static_cast<int>(lines.size()));
  EXPECT_EQ(0x808080u, lines[gone + 1].colour);
  ASSERT_TRUE(again.ScrollToLine(gone + 1));
  ASSERT_TRUE(SelectLine(again, gone + 1));
  EXPECT_EQ(0u, StatusText(again).find("Gone since "));
  // Its menu offers Copy, which takes the line as it is shown.
  ASSERT_TRUE(again.ClickLine(gone + 1, true));
  HWND menu = again.WaitForMenu();
  ASSERT_TRUE(menu) << "no context menu on a gone line";
  again.ClickMenuItem(menu, 1, 4);
  ASSERT_TRUE(again.WaitWindowHidden(menu));
  again.Settle();
  EXPECT_EQ(lines[gone + 1].text, ClipboardText());

  // Disable and Enable by key mark nothing: the gone section stays as it
  // was, and Came, new since the first run, stays new where it moves.
  auto goneLines = [&again] {
    std::vector<std::string> gone;
    bool in = false;
    for (const Line& line : again.Lines()) {
      if (in) gone.push_back(line.text);
      in = in || line.text.compare(0, 12, "[Gone since ") == 0;
    }
    return gone;
  };
  const std::vector<std::string> goneBefore = goneLines();
  ASSERT_FALSE(goneBefore.empty());
  int cameNow = LineOf(again.Lines(), "Came = C:\\came.exe");
  ASSERT_TRUE(again.ScrollToLine(cameNow));
  ASSERT_TRUE(SelectLine(again, cameNow));
  int count = static_cast<int>(again.Lines().size());
  again.Key(VK_SPACE);
  again.WaitForList(count);
  int disabled = LineOf(again.Lines(), "Registry - current_user, Run: Came = C:\\came.exe");
  ASSERT_GE(disabled, 0);
  ASSERT_TRUE(again.ScrollToLine(disabled));
  ASSERT_TRUE(SelectLine(again, disabled));
  EXPECT_NE(std::string::npos, StatusText(again).find(" - New since ")) << StatusText(again);
  EXPECT_EQ(goneBefore, goneLines());
  count = static_cast<int>(again.Lines().size());
  again.Key(VK_SPACE);
  again.WaitForList(count);
  EXPECT_EQ(goneBefore, goneLines());
  // The user's next Find remembers anew: nothing is new or gone since it.
  count = static_cast<int>(again.Lines().size());
  again.Click(findCommand);
  again.WaitForList(count);
  EXPECT_TRUE(goneLines().empty());
  cameNow = LineOf(again.Lines(), "Came = C:\\came.exe");
  ASSERT_TRUE(again.ScrollToLine(cameNow));
  ASSERT_TRUE(SelectLine(again, cameNow));
  EXPECT_EQ(std::string::npos, StatusText(again).find("New since")) << StatusText(again);

  // Ctrl+O compares with the report saved before: what came since is new.
  INPUT keys[4] = {};
  for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
  keys[1].ki.wVk = keys[2].ki.wVk = 'O';
  keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, keys, sizeof keys[0]);
  HWND dialog = again.WaitForWindow("#32770", 0);
  ASSERT_TRUE(dialog);
  HWND name = FileNameBox(dialog);
  ASSERT_TRUE(name);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(report.c_str()));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(again.WaitWindowGone(dialog));
  again.Settle();
  cameNow = LineOf(again.Lines(), "Came = C:\\came.exe");
  ASSERT_TRUE(again.ScrollToLine(cameNow));
  ASSERT_TRUE(SelectLine(again, cameNow));
  EXPECT_NE(std::string::npos, StatusText(again).find(" - New since " + Today()))
      << StatusText(again);
  PostMessageA(again.main, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, again.WaitForExit());
  machine::removeTree("C:\\e2e-script");
}

TEST_F(StartlullTest, StartsWithTitleButtonsAndUsageText) {
  ASSERT_NO_FATAL_FAILURE(app.Start());
  char text[64] = "";
  GetWindowTextA(app.main, text, sizeof text);
  EXPECT_STREQ("Startlull", text);

  struct Expected {
    const char* label;
    int id;
    bool enabled;
  } const expected[] = {
      {"&Find", findCommand, true},        {"&Remove", removeCommand, false},
      {"Re&store", restoreCommand, false}, {"&Locations", locationsCommand, true},
      {"Sa&ve", saveCommand, false},       {"&About", aboutCommand, true},
      {"E&xit", exitCommand, true},
  };
  std::vector<Button> buttons = app.Buttons();
  ASSERT_EQ(7u, buttons.size());
  for (size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE(expected[i].label);
    EXPECT_EQ(expected[i].label, buttons[i].label);
    EXPECT_EQ(expected[i].id, buttons[i].id);
    EXPECT_EQ(expected[i].enabled, buttons[i].enabled);
  }
  EXPECT_EQ(UsageText(), app.Lines());
  EXPECT_EQ(0, SendMessageA(app.list, LB_GETCURSEL, 0, 0));
}

TEST_F(StartlullTest, FindListsEverySeededEntryFromButtonAndKey) {
  const bool byKey[] = {false, true};
  for (bool key : byKey) {
    SCOPED_TRACE(key ? "Alt+F" : "Find button");
    Seed();
    App run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    if (key) {
      run.AltKey('F');
    } else {
      ASSERT_TRUE(run.Click(findCommand));
    }
    ExpectListing(SeededListing(), run.Lines());
    EXPECT_TRUE(run.ButtonFor(removeCommand).enabled);
    EXPECT_TRUE(run.ButtonFor(saveCommand).enabled);
    EXPECT_FALSE(run.ButtonFor(restoreCommand).enabled);
    run.Click(exitCommand);
    EXPECT_EQ(0, run.WaitForExit());
  }
}

TEST_F(StartlullTest, DisabledCommandsAndUnknownIdsDoNothing) {
  Seed();
  ASSERT_NO_FATAL_FAILURE(app.Start());
  std::string before = MachineState();
  app.AltKey('R');  // Remove before any Find
  app.AltKey('S');  // Restore with no inactive folder
  app.AltKey('V');  // Save before any Find
  // Disable, Enable, Copy and Open folder with no entry selected, and ids
  // that are no command.
  const int unknown[] = {40000, 40008, 40009, 40010, 40011, 40013, 1, 0xFFFF};
  for (int id : unknown) PostMessageA(app.main, WM_COMMAND, id, 0);
  app.Settle();
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(UsageText(), app.Lines());
  EXPECT_EQ(nullptr, app.WaitForWindow(0, 0, 500)) << "Remove and Save must not ask anything";
  EXPECT_EQ(before, MachineState());
}

TEST_F(StartlullTest, AboutFromKeyAndButtonIsRoundModalAndClosesWithOk) {
  ASSERT_NO_FATAL_FAILURE(app.Start());
  const char* const ways[] = {"Alt+A", "button"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    if (std::string(way) == "Alt+A") {
      app.AltKey('A');
    } else {
      app.Click(aboutCommand);
    }
    HWND about = app.WaitForWindow(msgClassName, 0);
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "the main window waits for the About window";
    RECT frame;
    GetWindowRect(about, &frame);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(about, region));
    EXPECT_TRUE(PtInRegion(region, (frame.right - frame.left) / 2, (frame.bottom - frame.top) / 2));
    EXPECT_FALSE(PtInRegion(region, 2, 2)) << "a corner lies outside the round window";
    DeleteObject(region);
    HWND ok = FindWindowExA(about, 0, "BUTTON", "&Ok");
    ASSERT_NE(nullptr, ok);
    PostMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(app.WaitWindowGone(about));
    app.Settle();
    EXPECT_TRUE(IsWindowEnabled(app.main));
  }
  EXPECT_TRUE(app.Running());
}

TEST_F(StartlullTest, ExitKeyButtonAndCloseBoxEndWithCodeZero) {
  const char* const ways[] = {"button", "Alt+X", "close box"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    App run;
    ASSERT_NO_FATAL_FAILURE(run.Start());
    std::string name = way;
    if (name == "button") run.Click(exitCommand);
    if (name == "Alt+X") run.AltKey('X');
    if (name == "close box") PostMessageA(run.main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0, run.WaitForExit());
  }
}

// And the status bar no longer speaks of the entry selected before.
TEST_F(StartlullTest, LocationsListsWhereEverythingIsAndDisablesRemoveAndSave) {
  Seed();
  ASSERT_NO_FATAL_FAILURE(app.Start());
  const char* const ways[] = {"button", "Alt+L", "button again"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    app.Click(findCommand);
    ASSERT_TRUE(app.ButtonFor(removeCommand).enabled);
    const int runLine = 2;
    ASSERT_TRUE(SelectLine(app, runLine));
    EXPECT_EQ(runLine, SendMessageA(app.list, LB_GETCURSEL, 0, 0));
    EXPECT_NE("", StatusText(app));
    if (std::string(way) == "Alt+L") {
      app.AltKey('L');
    } else {
      app.Click(locationsCommand);
    }
    EXPECT_EQ(LocationsListing(true), app.Lines());
    EXPECT_EQ("", StatusText(app));
    EXPECT_FALSE(app.ButtonFor(removeCommand).enabled);
    EXPECT_FALSE(app.ButtonFor(saveCommand).enabled);
  }
}

TEST_F(StartlullTest, LocationsOnAnUnsupportedSystemLeavesFolderRowsBlank) {
  SetWineVersion("win7");
  App run;
  run.Start();
  SetWineVersion(Kind().c_str());
  ASSERT_FALSE(HasFatalFailure());
  run.Click(locationsCommand);
  EXPECT_EQ(LocationsListing(false), run.Lines());
  run.Click(findCommand);
  EXPECT_FALSE(run.ButtonFor(removeCommand).enabled);
  EXPECT_FALSE(run.ButtonFor(saveCommand).enabled);
}

TEST_F(StartlullTest, SaveWritesTheListingUnderATxtName) {
  Seed();
  ASSERT_NO_FATAL_FAILURE(app.Start());
  app.Click(findCommand);
  const std::string folder = "C:\\e2e-reports";
  struct Case {
    const char* typed;
    const char* saved;
    bool byKey;  // Alt+V rather than the button
  } const cases[] = {
      {"report", "report.txt", true},
      {"report.log", "report.txt", false},
      {"my.data.csv", "my.data.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    machine::removeTree(folder);
    WriteFileText(folder + "\\keep", "");
    if (c.byKey) {
      app.AltKey('V');
    } else {
      app.Click(saveCommand);
    }
    HWND dialog = app.WaitForWindow("#32770", 0);
    ASSERT_TRUE(dialog);
    HWND name = FileNameBox(dialog);
    ASSERT_TRUE(name);
    std::string path = folder + "\\" + c.typed;
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(app.WaitWindowGone(dialog));
    app.Settle();
    std::vector<std::string> expectedNames = {"keep", c.saved};
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(expectedNames, machine::listDir(folder));

    std::string expected = Today() + "\r\nYour Operating system is " + SystemName() +
                           "\r\nCurrent user:  " + UserName() + "\r\n\r\n";
    for (const Line& line : SeededListing()) expected += line.text + "\r\n";
    EXPECT_EQ(expected, machine::readFile(folder + "\\" + c.saved));
  }
  machine::removeTree(folder);
}

TEST_F(StartlullTest, RemoveDialogCancelEscAndCloseBoxChangeNothing) {
  Seed();
  WriteFileText("C:\\config.sys", "FILES=40\r\n");
  ASSERT_NO_FATAL_FAILURE(app.Start());
  app.Click(findCommand);
  std::string before = MachineState();
  const char* const ways[] = {"Cancel", "Esc", "close box"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    app.Click(removeCommand);
    HWND dialog = app.WaitForDialog("Remove");
    ASSERT_TRUE(dialog);
    SendMessageA(GetDlgItem(dialog, 1004), BM_SETCHECK, BST_CHECKED, 0);
    std::string name = way;
    if (name == "Cancel") PressDialogButton(dialog, IDCANCEL);
    if (name == "Esc") PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    if (name == "close box") PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitDialogGone("Remove"));
    app.Settle();
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(before, MachineState());
    ExpectListing(SeededListing(), app.Lines());
  }
}

TEST_F(StartlullTest, RemoveThenRestoreGivesTheMachineBack) {
  struct Case {
    bool configSys;
    bool autoexecBat;
    bool restoreByKey;  // Alt+S rather than the button
  } const cases[] = {{false, false, false}, {true, true, true}, {true, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("config.sys ") + (c.configSys ? "ticked" : "not ticked") +
                 ", autoexec.bat " + (c.autoexecBat ? "ticked" : "not ticked") +
                 (c.restoreByKey ? ", Alt+S" : ""));
    Seed();
    WriteFileText("C:\\config.sys", "FILES=40\r\n");
    WriteFileText("C:\\autoexec.bat", "@ECHO OFF\r\n");
    const std::string before = MachineState();

    App first;
    ASSERT_NO_FATAL_FAILURE(first.Start());
    first.Click(findCommand);
    first.Click(removeCommand);
    HWND options = first.WaitForDialog("Remove");
    ASSERT_TRUE(options);
    if (c.configSys) SendMessageA(GetDlgItem(options, 1004), BM_SETCHECK, BST_CHECKED, 0);
    if (c.autoexecBat) SendMessageA(GetDlgItem(options, 1005), BM_SETCHECK, BST_CHECKED, 0);
    PressDialogButton(options, IDOK);
    HWND success = first.WaitForDialog("Success");
    ASSERT_TRUE(success);
    PressDialogButton(success, IDCANCEL);
    ASSERT_EQ(0, first.WaitForExit());

    // Every Run-type key goes whole, those without a listed value included.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      for (const char* name : {"RunServices", "Run", "RunOnce", "RunOnceEx"}) {
        EXPECT_FALSE(machine::keyExists(root, RunKey(name)))
            << (root == HKEY_LOCAL_MACHINE ? "HKLM " : "HKCU ") << name;
      }
    }
    EXPECT_EQ("", machine::profileValue("run"));
    EXPECT_TRUE(machine::listDir(machine::startupDir()).empty());
    EXPECT_EQ(c.configSys, machine::exists("C:\\config.hld"));
    EXPECT_EQ(!c.configSys, machine::exists("C:\\config.sys"));
    EXPECT_EQ(c.autoexecBat, machine::exists("C:\\autoexec.hld"));
    EXPECT_EQ(!c.autoexecBat, machine::exists("C:\\autoexec.bat"));

    App second;
    ASSERT_NO_FATAL_FAILURE(second.Start());
    EXPECT_TRUE(second.ButtonFor(restoreCommand).enabled);
    second.Click(findCommand);
    EXPECT_FALSE(second.ButtonFor(removeCommand).enabled);
    if (c.restoreByKey) {
      second.AltKey('S');
    } else {
      second.Click(restoreCommand);
    }
    HWND restored = second.WaitForDialog("Success");
    ASSERT_TRUE(restored);
    // The saved listing comes back line for line, each whole, tabs and all,
    // in black, followed by what was done with the boot files.
    std::vector<Line> listed = SeededListing();
    for (Line& line : listed) line.colour = plain;
    if (c.configSys) {
      listed.insert(listed.end(),
                    {{"", plain}, {"", plain}, {"Config.hld renamed to config.sys", plain}});
    }
    if (c.autoexecBat) listed.push_back({"Autoexec.hld renamed to autoexec.bat", plain});
    ExpectListing(listed, second.Lines());
    PressDialogButton(restored, IDCANCEL);
    ASSERT_EQ(0, second.WaitForExit());
    EXPECT_EQ(before, MachineState());

    // The first run's Find is still the one remembered: what the Restore
    // brought back is not new, and nothing is gone.
    App third;
    ASSERT_NO_FATAL_FAILURE(third.Start());
    third.Click(findCommand);
    const std::vector<Line> found = third.Lines();
    ExpectListing(SeededListing(), found);
    for (int row = 0; row < static_cast<int>(found.size()); ++row) {
      ASSERT_TRUE(third.ScrollToLine(row));
      EXPECT_EQ(0, CountPixels(third.list, row, newMarkColour)) << found[row].text;
    }
    PostMessageA(third.main, WM_CLOSE, 0, 0);
    ASSERT_EQ(0, third.WaitForExit());
  }
}

TEST_F(StartlullTest, ListIsPaintedInItsColoursAndHighlightsOnlyEntries) {
  ASSERT_NO_FATAL_FAILURE(app.Start());
  RECT client;
  GetClientRect(app.list, &client);
  EXPECT_EQ(background, Snapshot(app.list).At(client.right - 30, RowMiddle(app.list, 0)));
  EXPECT_GT(CountPixels(app.list, 1, title), 0) << "the usage title is red";
  EXPECT_GT(CountPixels(app.list, 3, heading), 0) << "\"Purpose:\" is blue";
  EXPECT_GT(CountPixels(app.list, 4, plain), 0) << "body text is black";

  Seed();
  const std::string wideCommand = Padded(std::string(bin) + "wide.exe", " /part", 1993);
  const std::string wide = "Wide = " + wideCommand;
  machine::setValue(HKEY_CURRENT_USER, RunKey("Run"), "Wide", REG_SZ, Text(wideCommand));
  app.Click(findCommand);
  EXPECT_GT(CountPixels(app.list, 1, heading), 0) << "\"[Win.ini]\" is blue";
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  struct Case {
    const char* name;
    int row;
    int selected;
  } const cases[] = {
      // "load=", a line short enough to leave the row's right end to the background.
      {"load= names no entry", 3, -1},
      {"an entry", 2, 2},
      {"a heading clears the selection", 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int y = RowMiddle(app.list, c.row);
    PostMessageA(app.list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y));
    PostMessageA(app.list, WM_LBUTTONUP, 0, MAKELPARAM(20, y));
    app.Settle();
    EXPECT_EQ(c.selected, SendMessageA(app.list, LB_GETCURSEL, 0, 0));
    bool shown = c.selected >= 0;
    EXPECT_EQ(shown, CountPixels(app.list, c.row, highlight) > 0);
    if (!shown) {
      EXPECT_EQ(background, Snapshot(app.list).At(client.right - 30, y));
      EXPECT_GT(CountPixels(app.list, c.row, c.row == 1 ? heading : plain), 0);
    }
  }

  // Values that are no command are not drawn as missing programs, and the
  // status bar says what they are.
  const std::string b = bin;
  struct Value {
    std::string line;
    bool missing;
    std::string status;
  } const values[] = {
      {"Tray = " + b + "tray.exe", true, b + "tray.exe - not found"},
      {"Counter = ABC", false, "Not a command: a number"},
      {"Binary = " + b + "raw.exe", false, "Not a command: binary data"},
      {"Flags =  ", false, "Not a command: the flags of RunOnceEx"},
      {"Title = Finishing the set-up", false, "Not a command: the title RunOnceEx shows"},
      {"Nothing = ", false, "Not a command: binary data"},
  };
  for (const Value& value : values) {
    SCOPED_TRACE(value.line);
    int line = LineOf(app.Lines(), value.line);
    ASSERT_LE(0, line);
    ASSERT_TRUE(app.ScrollToLine(line));
    app.Settle();
    EXPECT_EQ(value.missing, CountPixels(app.list, line, missingProgram) > 0);
    ASSERT_TRUE(SelectLine(app, line));
    EXPECT_EQ(line, SendMessageA(app.list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(value.status, StatusText(app));
  }

  // A line of 2,000 characters: the list scrolls sideways to its end, which
  // comes to the right edge with the highlight, and short lines go out of
  // sight.
  const int wideLine = LineOf(app.Lines(), wide);
  ASSERT_LE(0, wideLine);
  ASSERT_TRUE(app.ScrollToLine(wideLine));
  ASSERT_TRUE(SelectLine(app, wideLine));
  EXPECT_EQ(wideLine, SendMessageA(app.list, LB_GETCURSEL, 0, 0));
  // The long lines brought a horizontal scroll bar.
  GetClientRect(app.list, &client);
  std::vector<int> headingsInSight;
  const std::vector<Line> lines = app.Lines();
  for (size_t line = 0; line < lines.size(); ++line) {
    RECT row;
    if (lines[line].colour == heading &&
        SendMessageA(app.list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&row)) != LB_ERR &&
        row.top >= client.top && row.bottom <= client.bottom) {
      headingsInSight.push_back(static_cast<int>(line));
      EXPECT_GT(CountPixels(app.list, static_cast<int>(line), heading), 0);
    }
  }
  ASSERT_FALSE(headingsInSight.empty());
  // What the scroll bar sends when its thumb is dragged to the far right.
  PostMessageA(app.list, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  app.Settle();
  for (int line : headingsInSight) EXPECT_EQ(0, CountPixels(app.list, line, heading)) << line;
  RECT row;
  ASSERT_NE(LB_ERR,
            SendMessageA(app.list, LB_GETITEMRECT, wideLine, reinterpret_cast<LPARAM>(&row)));
  Snapshot shot(app.list);
  const COLORREF letters = GetSysColor(COLOR_HIGHLIGHTTEXT);
  int rightmost = -1;
  for (int x = 0; x < shot.width; ++x)
    for (int y = row.top; y < row.bottom; ++y)
      if (shot.At(x, y) == letters) rightmost = x;
  EXPECT_GT(rightmost, client.right - 20) << "the line's end is in sight";
  EXPECT_LT(rightmost, client.right - 2) << "and nothing cut off after it";
  // Inside the focus rectangle's right edge.
  EXPECT_EQ(highlight, shot.At(client.right - 2, (row.top + row.bottom) / 2));
}

// The value's type and bytes, or "none".
std::string ValueOf(HKEY root, const std::string& key, const char* name) {
  HKEY opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "none";
  std::string data(1024, '\0');
  DWORD type = REG_NONE, size = static_cast<DWORD>(data.size());
  LONG read = RegQueryValueExA(opened, name, 0, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
  RegCloseKey(opened);
  if (read != ERROR_SUCCESS) return "none";
  return std::to_string(type) + ":" + data.substr(0, size);
}

// One startup entry of any kind, in the table of all kinds below.
enum Where { IN_REGISTRY, IN_WIN_INI, IN_STARTUP, IN_COMMON_STARTUP };

struct Entry {
  Where where;
  HKEY root;           // registry
  const char* key;     // the Run-type key, or "run" or "load" for win.ini
  std::string name;    // value or file name
  DWORD type;          // the value's type, or the file's attributes
  std::string bytes;   // the value's data, the win.ini text or the file's content
  std::string place;   // how the disabled section names its place
  std::string listed;  // Find's line for it where it starts from
  std::string disabled() const { return place + ": " + listed; }
};

std::string StartupFolderOf(const Entry& entry) {
  return entry.where == IN_STARTUP ? machine::startupDir() : machine::commonStartupDir();
}

// Attributes beyond these are the file system's, not the user's.
const DWORD userAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// What the entry's place holds now, as one comparable text.
std::string Held(const Entry& entry) {
  switch (entry.where) {
    case IN_REGISTRY:
      return ValueOf(entry.root, RunKey(entry.key), entry.name.c_str());
    case IN_WIN_INI:
      return machine::profileValue(entry.key);
    default: {
      std::string path = StartupFolderOf(entry) + "\\" + entry.name;
      DWORD attributes = GetFileAttributesA(path.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) return "none";
      return std::to_string(attributes & userAttributes) + ":" + machine::readFile(path);
    }
  }
}

// What Held() gives while the entry is in its place, and once it is gone.
std::string Present(const Entry& entry) {
  if (entry.where == IN_WIN_INI) return entry.bytes;
  return std::to_string(entry.type) + ":" + entry.bytes;
}
std::string Gone(const Entry& entry) { return entry.where == IN_WIN_INI ? "" : "none"; }

void SeedEntry(const Entry& entry) {
  switch (entry.where) {
    case IN_REGISTRY:
      machine::setValue(entry.root, RunKey(entry.key), entry.name, entry.type, entry.bytes);
      break;
    case IN_WIN_INI:
      machine::setProfileValue(entry.key, entry.bytes.c_str());
      break;
    default:
      machine::writeFile(StartupFolderOf(entry) + "\\" + entry.name, entry.bytes, entry.type);
      break;
  }
  ASSERT_EQ(Present(entry), Held(entry)) << entry.listed;
}

// One entry of every kind Find lists, in the order it lists them, each
// with data that a careless move would change: bytes after the first zero,
// types other than REG_SZ, a name holding "=", files with attributes.
std::vector<Entry> EveryKindOfEntry() {
  const std::string b = bin;
  const HKEY lm = HKEY_LOCAL_MACHINE, cu = HKEY_CURRENT_USER;
  const std::string multi = Text(b + "steps.exe /one") + Text(b + "steps.exe /two") + '\0';
  const std::string cleanup = "%TEMP%\\e2e\\cleanup.exe /all";
  std::vector<Entry> entries = {
      {IN_WIN_INI, 0, "run", "", 0, b + "runner.exe -tray", "Win.ini",
       "run = " + b + "runner.exe -tray"},
      {IN_WIN_INI, 0, "load", "", 0, b + "loader.exe", "Win.ini", "load = " + b + "loader.exe"},
      {IN_STARTUP, 0, "", "Notes.lnk", FILE_ATTRIBUTE_HIDDEN, std::string("notes\0\x01\xff", 8),
       "Startup folder", "Notes.lnk"},
      {IN_COMMON_STARTUP, 0, "", "Clock.lnk", FILE_ATTRIBUTE_READONLY, "clock shortcut\r\n",
       "All Users Startup folder", "Clock.lnk"},
      {IN_REGISTRY, lm, "RunServices", "Spooler", REG_BINARY,
       b + "spool.exe" + std::string("\0\x01\xfe tail", 8), "Registry - local_machine, RunServices",
       "Spooler = " + b + "spool.exe"},
      {IN_REGISTRY, lm, "Run", "Tray", REG_SZ, Text(b + "tray.exe /min"),
       "Registry - local_machine, Run", "Tray = " + b + "tray.exe /min"},
      {IN_REGISTRY, lm, "RunOnce", "Setup", REG_EXPAND_SZ,
       Text("%ProgramFiles%\\e2e\\setup.exe /finish"), "Registry - local_machine, RunOnce",
       "Setup = %ProgramFiles%\\e2e\\setup.exe /finish"},
      {IN_REGISTRY, lm, "RunOnceEx", "Title", REG_SZ, Text("Finishing the set-up"),
       "Registry - local_machine, RunOnceEx", "Title = Finishing the set-up"},
      {IN_REGISTRY, cu, "RunServices", "Counter", REG_DWORD, Dword(0x00434241),
       "Registry - current_user, RunServices", "Counter = ABC"},
      {IN_REGISTRY, cu, "Run", "Opt=Fast", REG_SZ, Text(b + "opt.exe"),
       "Registry - current_user, Run", "Opt=Fast = " + b + "opt.exe"},
      {IN_REGISTRY, cu, "RunOnce", "Cleanup", REG_EXPAND_SZ,
       Text(cleanup) + std::string("tail\0", 5), "Registry - current_user, RunOnce",
       "Cleanup = " + cleanup},
      {IN_REGISTRY, cu, "RunOnceEx", "Steps", REG_MULTI_SZ, multi,
       "Registry - current_user, RunOnceEx", "Steps = " + b + "steps.exe /one"},
  };
  // The value lists beyond the Run-type keys, where the system has them.
  if (!IsNt()) {
    entries.push_back({IN_REGISTRY, lm, "RunServicesOnce", "Once", REG_EXPAND_SZ,
                       Text("%WINDIR%\\once.exe") + "x", "Registry - local_machine, RunServicesOnce",
                       "Once = %WINDIR%\\once.exe"});
    entries.push_back({IN_REGISTRY, cu, "RunServicesOnce", "Once", REG_SZ, Text(b + "once.exe"),
                       "Registry - current_user, RunServicesOnce", "Once = " + b + "once.exe"});
  } else {
    entries.push_back({IN_REGISTRY, lm, "Policies\\Explorer\\Run", "Policy", REG_SZ,
                       Text(b + "policy.exe"), "Registry - local_machine, Policies\\Explorer\\Run",
                       "Policy = " + b + "policy.exe"});
    entries.push_back({IN_REGISTRY, cu, "Policies\\Explorer\\Run", "1", REG_EXPAND_SZ,
                       Text("%TEMP%\\policy.exe"), "Registry - current_user, Policies\\Explorer\\Run",
                       "1 = %TEMP%\\policy.exe"});
  }
  entries.push_back({IN_REGISTRY, lm, "ShellServiceObjectDelayLoad", "Tray", REG_SZ,
                     Text("{0DEC0DE0-5EED-4C1A-8000-0000000000E2}"),
                     "Registry - local_machine, ShellServiceObjectDelayLoad",
                     "Tray = {0DEC0DE0-5EED-4C1A-8000-0000000000E2}"});
  return entries;
}

// Values beside the entries that no line shows: taking an entry out of its
// key must leave them, and the key, alone.
struct Bystander {
  HKEY root;
  const char* key;
  const char* name;
  std::string bytes;
};

std::vector<Bystander> Bystanders() {
  return {
      {HKEY_LOCAL_MACHINE, "RunOnceEx\\0001", "1", Text(std::string(bin) + "step.exe /quiet")},
      {HKEY_CURRENT_USER, "RunServices", "", Text(std::string(bin) + "default.exe")},
  };
}

// Seeds the entries and the bystanders; the machine as it is then.
std::string SeedEntries(const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) {
    SeedEntry(entry);
    if (testing::Test::HasFatalFailure()) return "";
  }
  for (const Bystander& other : Bystanders()) {
    machine::setValue(other.root, RunKey(other.key), other.name, REG_SZ, other.bytes);
  }
  return MachineState();
}

void ExpectBystandersKept() {
  for (const Bystander& other : Bystanders()) {
    EXPECT_EQ(std::to_string(REG_SZ) + ":" + other.bytes,
              ValueOf(other.root, RunKey(other.key), other.name))
        << other.key << " " << other.name;
  }
}

const COLORREF disabledGrey = 0x808080;
const char disabledHeading[] = "[Disabled by Startlull]";

int Selected(App& app) { return static_cast<int>(SendMessageA(app.list, LB_GETCURSEL, 0, 0)); }

// Up or Down alone from the selection (or the caret, when nothing is
// selected) to the target line: one press per entry line on the way, the
// headings, blank lines and empty win.ini lines between skipped.
void ArrowTo(App& app, int target) {
  std::vector<Line> lines = app.Lines();
  int from = Selected(app);
  if (from < 0) from = static_cast<int>(SendMessageA(app.list, LB_GETCARETINDEX, 0, 0));
  if (from == target) return;
  const int step = target > from ? 1 : -1;
  int presses = 0;
  for (int line = from + step; line != target + step; line += step) {
    const Line& at = lines[line];
    if (!at.text.empty() && at.colour != heading && at.text != "run=" && at.text != "load=")
      ++presses;
  }
  for (int press = 0; press < presses; ++press) app.Move(step > 0 ? VK_DOWN : VK_UP);
  ASSERT_EQ(target, Selected(app)) << presses << (step > 0 ? " Down" : " Up") << " from line "
                                   << from << " to " << lines[target].text;
}

// After one entry left its place: gone from there and from its section,
// listed grey under the disabled heading, and still selected.
void ExpectDisabled(App& app, const Entry& entry) {
  std::vector<Line> lines = app.Lines();
  EXPECT_EQ(Gone(entry), Held(entry)) << "the entry left its place";
  EXPECT_EQ(-1, LineOf(lines, entry.listed));
  int heading = LineOf(lines, disabledHeading);
  int line = LineOf(lines, entry.disabled());
  ASSERT_LT(0, heading);
  ASSERT_LT(heading, line) << entry.disabled();
  EXPECT_EQ(disabledGrey, lines[line].colour);
  EXPECT_EQ(line, Selected(app)) << "the selection goes with it";
}

// After one entry came back: in its place as it was, in its own section,
// selected there.
void ExpectEnabled(App& app, const Entry& entry) {
  std::vector<Line> lines = app.Lines();
  EXPECT_EQ(Present(entry), Held(entry)) << "same type, bytes and attributes";
  EXPECT_EQ(-1, LineOf(lines, entry.disabled()));
  int line = LineOf(lines, entry.listed);
  EXPECT_LT(0, line) << entry.listed;
  EXPECT_EQ(line, Selected(app)) << "the selection goes with it";
}

// With every entry in the store: nothing left in any place, the win.ini
// lines empty, and each entry listed once, in the disabled section only.
void ExpectAllDisabled(App& app, const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) EXPECT_EQ(Gone(entry), Held(entry)) << entry.listed;
  ExpectBystandersKept();
  EXPECT_EQ(std::vector<std::string>(), machine::listDir(machine::startupDir()));
  EXPECT_EQ(std::vector<std::string>(), machine::listDir(machine::commonStartupDir()));
  std::vector<Line> lines = app.Lines();
  EXPECT_LT(0, LineOf(lines, "run="));
  EXPECT_LT(0, LineOf(lines, "load="));
  int heading = LineOf(lines, disabledHeading);
  ASSERT_LT(0, heading);
  std::vector<std::string> section, expected;
  for (size_t line = heading + 1; line < lines.size(); ++line) section.push_back(lines[line].text);
  for (const Entry& entry : entries) expected.push_back(entry.disabled());
  std::sort(section.begin(), section.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, section);
}

TEST_F(StartlullTest, KeysAloneDisableAndEnableEveryKindOfEntryLosslessly) {
  const std::vector<Entry> entries = EveryKindOfEntry();
  const std::string before = SeedEntries(entries);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_NO_FATAL_FAILURE(app.Start());
  app.AltKey('F');
  for (const Entry& entry : entries) {
    SCOPED_TRACE("disable " + entry.disabled());
    ASSERT_NO_FATAL_FAILURE(ArrowTo(app, LineOf(app.Lines(), entry.listed)));
    if (&entry == &entries.front()) {
      EXPECT_GT(CountPixels(app.list, Selected(app), GetSysColor(COLOR_HIGHLIGHT)), 0)
          << "drawn selected";
    }
    app.Key(VK_SPACE);
    ASSERT_NO_FATAL_FAILURE(ExpectDisabled(app, entry));
  }
  ExpectAllDisabled(app, entries);
  for (const Entry& entry : entries) {
    SCOPED_TRACE("enable " + entry.disabled());
    ASSERT_NO_FATAL_FAILURE(ArrowTo(app, LineOf(app.Lines(), entry.disabled())));
    app.Key(VK_SPACE);
    ASSERT_NO_FATAL_FAILURE(ExpectEnabled(app, entry));
  }
  EXPECT_EQ(before, MachineState());
  EXPECT_EQ(-1, LineOf(app.Lines(), disabledHeading));
  EXPECT_TRUE(app.Running());
}

// A right click on the line, then a left click on the menu's first item,
// "Disable" or "Enable" (then "Copy", "Open folder" and "Compare").
void ToggleByMouse(App& app, const std::string& text) {
  int line = LineOf(app.Lines(), text);
  ASSERT_LE(0, line) << text;
  ASSERT_TRUE(app.ScrollToLine(line)) << "the wheel brings no line " << line << " into sight";
  ASSERT_TRUE(app.ClickLine(line, true)) << "line " << line << " is out of sight";
  HWND menu = app.WaitForMenu();
  ASSERT_TRUE(menu) << "no context menu";
  EXPECT_EQ(line, Selected(app)) << "the right click selects the entry";
  app.ClickMenuItem(menu, 0, 4);
  ASSERT_TRUE(app.WaitWindowHidden(menu)) << "the menu stays open";
  app.Settle();
}

TEST_F(StartlullTest, MouseAloneDisablesAndEnablesEveryKindOfEntryFromTheContextMenu) {
  const std::vector<Entry> entries = EveryKindOfEntry();
  const std::string before = SeedEntries(entries);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_NO_FATAL_FAILURE(app.Start());
  RECT find;
  GetWindowRect(app.ButtonFor(findCommand).window, &find);
  const int usageLines = static_cast<int>(app.Lines().size());
  app.ClickAt({(find.left + find.right) / 2, (find.top + find.bottom) / 2}, false);
  // Mouse input reaches the program after messages sent to it: only the
  // listing itself shows that the click went through.
  app.WaitForList(usageLines);
  ASSERT_LT(0, LineOf(app.Lines(), "[Win.ini]")) << "the Find button took the click";
  for (const Entry& entry : entries) {
    SCOPED_TRACE("disable " + entry.disabled());
    ASSERT_NO_FATAL_FAILURE(ToggleByMouse(app, entry.listed));
    ASSERT_NO_FATAL_FAILURE(ExpectDisabled(app, entry));
  }
  ExpectAllDisabled(app, entries);
  for (const Entry& entry : entries) {
    SCOPED_TRACE("enable " + entry.disabled());
    ASSERT_NO_FATAL_FAILURE(ToggleByMouse(app, entry.disabled()));
    ASSERT_NO_FATAL_FAILURE(ExpectEnabled(app, entry));
  }
  EXPECT_EQ(before, MachineState());
  EXPECT_TRUE(app.Running());
}

}  // namespace

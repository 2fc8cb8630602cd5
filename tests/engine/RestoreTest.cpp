// Restore on the real prefix: the failure rows with their messages and what
// still comes back, the rescue copy, files in the plain listing format, and
// a record that has been damaged.
#include "tests/engine/RemoveRestoreFixture.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kPrefix = machine::kRunKeyPrefix;

class RestoreTest : public RemoveRestoreTest {
 protected:
  // Find and a completed Remove; the program then starts again.
  std::unique_ptr<Engine> removeAndRestart() {
    find();
    EXPECT_EQ(1, engine.removeStartupEntries());
    std::unique_ptr<Engine> next = nextStart();
    EXPECT_EQ(1, next->restoreAvailable);
    host.events.clear();
    platform.log.clear();
    return next;
  }
  std::string rescueMessage(const std::string& first) const {
    return first + "\r\nThe old settings are in the file " + rescue() +
           ".\r\nYou can restore them manually.|Startlull";
  }
  // Restore is offered at the next start, and one without faults gives the
  // machine back whole, the inactive folder gone.
  void expectALaterRestoreMakesItWhole(const MachinePicture& before) {
    host.events.clear();
    std::unique_ptr<Engine> next = nextStart();
    ASSERT_EQ(1, next->restoreAvailable);
    EXPECT_EQ(1, next->restoreStartupEntries());
    EXPECT_EQ(Lines{"dialog:success 0"}, eventTexts());
    expectSameMachine(before, takePicture());
    EXPECT_FALSE(fileExists(inactive()));
  }
  std::string savedInRescue() const {
    return "Since there was a problem putting the settings back,\r\n"
           " the old settings will be saved in " +
           rescue() + "|Startlull";
  }
  // A settings file written by hand, as an older program wrote it.
  void writeSettings(const std::string& content) {
    engine.computeLocations();
    machine::makeDir(inactive());
    machine::writeFile(settings(), content);
    engine.computeLocations();
    ASSERT_EQ(1, engine.restoreAvailable);
  }
};

TEST_F(RestoreTest, DisabledRestoreDoesNothing) {
  engine.computeLocations();
  EXPECT_EQ(0, engine.restoreStartupEntries());
  EXPECT_TRUE(host.events.empty());
  EXPECT_TRUE(platform.log.size() > 0 && !platform.called(Call::CreateFileA));
}

TEST_F(RestoreTest, CompletedRoundTripDeletesTheSettingsAndTheFolders) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  EXPECT_EQ(1, next->restoreStartupEntries());
  EXPECT_EQ(Lines{"dialog:success 0"}, eventTexts());
  expectSameMachine(before, takePicture());
  EXPECT_FALSE(fileExists(inactive()));
  EXPECT_FALSE(fileExists(commonInactive()));
  EXPECT_FALSE(fileExists(rescue()));

  host.events.clear();
  next = removeAndRestart();
  host.successDialogAnswers = {1};
  EXPECT_EQ(0, next->restoreStartupEntries());
  EXPECT_TRUE(platform.called(Call::ExitWindowsEx));
}

TEST_F(RestoreTest, WithoutSettingsFileOnlyTheFoldersComeBack) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  machine::removeTree(settings());
  EXPECT_EQ(1, next->restoreStartupEntries());
  EXPECT_EQ(
      (Lines{"Unable to retrieve old settings, only startup folder will be restored.|" + settings(),
             "dialog:success 0"}),
      eventTexts());
  EXPECT_TRUE(host.texts().empty());
  MachinePicture after = takePicture();
  forgetAttributes(before.startupFiles);  // nothing holds them now
  EXPECT_EQ(before.startupFiles, after.startupFiles);
  EXPECT_EQ(before.commonFiles, after.commonFiles);
  EXPECT_EQ("", after.run);
  EXPECT_FALSE(fileExists(inactive()));
}

TEST_F(RestoreTest, SettingsThatCannotBeReadNowAreKeptAndNothingChanges) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  MachinePicture removed = takePicture();
  const std::string saved = fileContent(settings());
  struct Case {
    const char* what;
    Call call;  // the call that fails, or GetLocalTime for a file held open
    DWORD error;
    bool shortRead;
  } cases[] = {
      {"held open by another program", Call::GetLocalTime, 0, false},
      {"read error", Call::ReadFile, ERROR_READ_FAULT, false},
      {"short read", Call::ReadFile, ERROR_READ_FAULT, true},
      {"size unknown", Call::GetFileSize, ERROR_ACCESS_DENIED, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.events.clear();
    HANDLE held = INVALID_HANDLE_VALUE;
    if (c.call == Call::GetLocalTime)
      held = CreateFileA(settings().c_str(), GENERIC_READ, FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                         0, NULL);
    else
      platform.fail(c.call, "Startlull.ini", c.error, 0, -1, c.shortRead);
    EXPECT_EQ(0, next->restoreStartupEntries());
    platform.clearFaults();
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(Lines{"Unable to read the old settings in the file " + settings() +
                    ".\r\nNothing was restored and the file was kept.\r\n"
                    "Close any program that is using it, then choose Restore again.|Startlull"},
              eventTexts());
    expectSameMachine(removed, takePicture());
    EXPECT_EQ(saved, fileContent(settings()));
    EXPECT_FALSE(fileExists(rescue()));
    EXPECT_EQ(1, host.IsCommandEnabled(COMMAND_RESTORE));
  }
  expectALaterRestoreMakesItWhole(before);
}

TEST_F(RestoreTest, NothingListedWritesNothing) {
  const std::string eightLines =
      "\r\n[Win.ini]\r\nrun=\r\nload=\r\n\r\n[Startup folder]\r\n\r\n[All Users Startup "
      "folder]\r\n";
  // As this program writes it (with its record) and as the listing alone.
  for (bool byRemove : {true, false}) {
    SCOPED_TRACE(byRemove ? "written by Remove" : "listing alone");
    std::unique_ptr<Engine> next;
    if (byRemove) {
      next = removeAndRestart();
      EXPECT_EQ(eightLines, fileContent(settings()).substr(0, eightLines.size()));
    } else {
      writeSettings(eightLines);
      next = nextStart();
    }
    platform.log.clear();
    EXPECT_EQ(1, next->restoreStartupEntries());
    EXPECT_FALSE(platform.called(Call::WriteProfileStringA));
    EXPECT_FALSE(platform.called(Call::RegCreateKeyExA));
    EXPECT_FALSE(platform.called(Call::RegSetValueExA));
    EXPECT_FALSE(fileExists(settings()));
    EXPECT_FALSE(fileExists(inactive()));
    for (int row = 0; row < RUN_KEY_COUNT; ++row)
      EXPECT_FALSE(machine::keyExists(rootKey(places[row].root), places[row].key));
    host.events.clear();
  }
}

TEST_F(RestoreTest, EmptyKeyIsDeletedAndNotRecreated) {
  machine::createKey(HKEY_CURRENT_USER, kPrefix + "Run");
  std::unique_ptr<Engine> next = removeAndRestart();
  EXPECT_FALSE(machine::keyExists(HKEY_CURRENT_USER, kPrefix + "Run"));
  EXPECT_EQ(1, next->restoreStartupEntries());
  EXPECT_FALSE(machine::keyExists(HKEY_CURRENT_USER, kPrefix + "Run"));
  EXPECT_EQ(Lines{"dialog:success 0"}, eventTexts());
}

TEST_F(RestoreTest, SavedKeyComesBackOverOneCreatedSinceAndKeepsItsNewValues) {
  seedTypical();
  machine::setValue(HKEY_CURRENT_USER, kPrefix + "Run", "Bytes", REG_BINARY, "\x01\x02");
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Mine", "changed since");
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Added", "added since");
  EXPECT_EQ(1, next->restoreStartupEntries());
  MachinePicture after = takePicture();
  int slot = runKeyRow(HKEY_CURRENT_USER, RUN);
  EXPECT_EQ((RegValue{REG_SZ, std::string("added since", 12)}), after.keys[slot][""]["Added"]);
  after.keys[slot][""].erase("Added");
  expectSameMachine(before, after);
}

TEST_F(RestoreTest, WinIniThatCannotBeWrittenLeavesTheRescueCopy) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  std::string saved = fileContent(settings());
  machine::writeFile(rescue(), "an older rescue copy");
  platform.fail(Call::WriteProfileStringA, "windows\\run", ERROR_ACCESS_DENIED);
  EXPECT_EQ(1, next->restoreStartupEntries());
  platform.clearFaults();
  EXPECT_EQ((Lines{rescueMessage("An error occured while writing to the Win.ini."), savedInRescue(),
                   "dialog:success 0"}),
            eventTexts());
  EXPECT_EQ(saved, fileContent(rescue()));
  // Everything else came back: the registry, win.ini's load, the folders.
  MachinePicture after = takePicture();
  EXPECT_EQ("", after.run);
  after.run = before.run;
  expectSameMachine(before, after);
  // The settings file stays for a later Restore, which puts back the rest.
  EXPECT_EQ(Lines{"Startlull.ini"}, machine::listDir(inactive()));
  expectALaterRestoreMakesItWhole(before);
}

TEST_F(RestoreTest, RegistryThatCannotBeWrittenLeavesTheRescueCopy) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  platform.fail(Call::RegSetValueExA, "HKLM", ERROR_ACCESS_DENIED);
  EXPECT_EQ(1, next->restoreStartupEntries());
  platform.clearFaults();
  EXPECT_EQ((Lines{rescueMessage("An error occured while writing to the registry."),
                   savedInRescue(), "dialog:success 0"}),
            eventTexts());
  EXPECT_TRUE(fileExists(rescue()));
  MachinePicture after = takePicture();
  int slot = runKeyRow(HKEY_LOCAL_MACHINE, RUN);
  EXPECT_TRUE(after.keys[slot][""].empty());  // created, its value refused
  after.keys[slot] = before.keys[slot];
  expectSameMachine(before, after);
}

TEST_F(RestoreTest, SettingsThatCannotReachTheRescuePathAreFoundWhereTheyEndUp) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  std::string saved = fileContent(settings());
  platform.fail(Call::WriteProfileStringA, "windows\\load", ERROR_ACCESS_DENIED);
  platform.fail(Call::CopyFileA, "|" + rescue(), ERROR_ACCESS_DENIED);
  // The user's own file of that name in the Startup folder stays theirs.
  machine::writeFile(startup + "\\Startlull.ini", "the user's own");
  EXPECT_EQ(1, next->restoreStartupEntries());
  platform.clearFaults();
  EXPECT_EQ((Lines{rescueMessage("An error occured while writing to the Win.ini."),
                   "Since there was a problem putting the settings back,\r\n"
                   " the old settings could not be saved in " +
                       rescue() + ".\r\nThey are in the file " + settings() + ".|Startlull",
                   "dialog:success 0"}),
            eventTexts());
  EXPECT_EQ(saved, fileContent(settings()));
  EXPECT_EQ("the user's own", fileContent(startup + "\\Startlull.ini"));
  EXPECT_FALSE(fileExists(rescue()));
  // The settings file keeps Restore available, and a later one finishes.
  machine::removeTree(startup + "\\Startlull.ini");
  expectALaterRestoreMakesItWhole(before);
}

TEST_F(RestoreTest, CancelledFolderMoveAndFailedWinIniRestoreNothing) {
  machine::setProfileValue("run", "run.exe");
  machine::writeFile(startup + "\\Notes.lnk", "notes");
  std::unique_ptr<Engine> next = removeAndRestart();
  platform.fail(Call::WriteProfileStringA, "", ERROR_ACCESS_DENIED);
  platform.fail(Call::MoveFileA, "Notes.lnk|", ERROR_SHARING_VIOLATION);
  host.messageBoxAnswers = {IDCANCEL};
  EXPECT_EQ(0, next->restoreStartupEntries());
  platform.clearFaults();
  EXPECT_EQ((Lines{rescueMessage("An error occured while writing to the Win.ini."), savedInRescue(),
                   "Can't copy - error #32|Notes.lnk"}),
            eventTexts());
  EXPECT_EQ((Lines{"Notes.lnk", "Startlull.ini"}), machine::listDir(inactive()));
}

TEST_F(RestoreTest, ListingFormatRestoresByTheListingRules) {
  const std::string longData = "C:\\long\tpath\\" + std::string(400, 'x') + ".exe";
  writeSettings(
      "\r\n[Win.ini]\r\nrun = a.exe b.exe\r\nload=\r\n\r\n[Startup folder]\r\n\r\n"
      "[All Users Startup folder]\r\n\r\n[Registry - local_machine, Run]\r\n"
      "Tray = C:\\PROGRA~1\\TRAY\\TRAY.EXE\r\nabc=def = x\r\nEmpty = \r\n"
      "Long = " +
      longData +
      "\r\n\r\n[registry - CURRENT_USER, run]\r\nx= default\r\n"
      // Disabled entries are listed, never restored.
      "\r\n[Disabled by Startlull]\r\nWin.ini: load = l.exe\r\n"
      "Registry - current_user, Run: Gone = g.exe\r\n"
      "\r\n[Registry - current_user, RunOnce] \r\nOnce = never.exe\r\n");
  std::unique_ptr<Engine> next = nextStart();
  EXPECT_EQ(1, next->restoreStartupEntries());
  EXPECT_EQ(Lines{"dialog:success 0"}, eventTexts());
  EXPECT_EQ("a.exe b.exe", machine::profileValue("run"));
  EXPECT_EQ("", machine::profileValue("load"));
  KeyTree machineRun = readTree(HKEY_LOCAL_MACHINE, kPrefix + "Run");
  std::map<std::string, RegValue> expected = {
      {"Tray", {REG_SZ, std::string("C:\\PROGRA~1\\TRAY\\TRAY.EXE", 26)}},
      {"ab", {REG_SZ, std::string("ef = x", 7)}},
      {"Empty", {REG_SZ, std::string("", 1)}},
      {"Long", {REG_SZ, std::string(longData.c_str(), longData.size() + 1)}},
  };
  for (const auto& value : machineRun[""])
    EXPECT_TRUE(expected.count(value.first) && expected[value.first] == value.second)
        << value.first << " " << value.second.type << " " << value.second.data;
  EXPECT_EQ(expected.size(), machineRun[""].size());
  KeyTree userRun = readTree(HKEY_CURRENT_USER, kPrefix + "Run");
  EXPECT_TRUE((std::map<std::string, RegValue>{{"", {REG_SZ, std::string("default", 8)}}}) ==
              userRun[""]);
  // A heading with a trailing blank is not the heading.
  EXPECT_FALSE(machine::keyExists(HKEY_CURRENT_USER, kPrefix + "RunOnce"));
  // The listing shows the file's lines whole, tabs and all, in black.
  Lines listing = host.texts();
  ASSERT_EQ(24u, listing.size());
  EXPECT_EQ("Long = " + longData, listing[13]);
  for (const ListingLine& line : host.lines) EXPECT_EQ(plainColour, line.colour);
}

// Settings files list the other places too (a file of an older version
// does not): Restore, from our record or from the listing alone, brings
// back the Run keys and leaves every other place as it finds it.
TEST_F(RestoreTest, OtherPlacesOfASettingsFileAreNeverRestored) {
  const char* const kinds[] = {"an older version's listing", "today's listing alone",
                               "today's file with its record"};
  for (const char* kind : kinds) {
    SCOPED_TRACE(kind);
    machine::seedOtherPlaces();
    machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Mine", "C:\\mine.exe");
    find();
    const Lines seeded = listing(true);
    EXPECT_EQ(1, engine.removeStartupEntries());
    std::string file = fileContent(settings());
    ASSERT_NE(std::string::npos, file.find("\r\n[Services]\r\n"));
    if (kind == kinds[0]) {
      file = "\r\n[Win.ini]\r\nrun=\r\nload=\r\n\r\n[Startup folder]\r\n\r\n"
             "[All Users Startup folder]\r\n\r\n[Registry - current_user, Run]\r\n"
             "Mine = C:\\mine.exe\r\n";
    } else if (kind == kinds[1]) {
      file = file.substr(0, file.find(kRecordHeading));
    }
    machine::writeFile(settings(), file);
    // Another program takes the other places' entries away meanwhile.
    machine::clearOtherPlaces();
    find();
    const Lines cleared = listing(true);
    ASSERT_NE(seeded, cleared);
    std::unique_ptr<Engine> next = nextStart();
    ASSERT_EQ(1, next->restoreStartupEntries());
    EXPECT_EQ("C:\\mine.exe", machine::stringValue(HKEY_CURRENT_USER, kPrefix + "Run", "Mine"));
    host.events.clear();
    find();
    EXPECT_EQ(cleared, listing(true));
    TearDown();
    SetUp();
  }
}

TEST_F(RestoreTest, ListingShowsNoRecordAndEndsWithTheBootFileLines) {
  const std::string tabbed = "C:\\a\tb.exe " + std::string(300, 'y');
  machine::setString(HKEY_CURRENT_USER, kPrefix + "Run", "Tabbed", tabbed);
  std::unique_ptr<Engine> next = removeAndRestart();
  Lines listing = host.texts();  // Find's
  machine::writeFile("c:\\autoexec.hld", "parked");
  EXPECT_EQ(1, next->restoreStartupEntries());
  listing.push_back("Autoexec.hld renamed to autoexec.bat");
  EXPECT_EQ(listing, host.texts());
  EXPECT_EQ("Tabbed = " + tabbed, host.texts()[10]);
  EXPECT_EQ("parked", fileContent("c:\\autoexec.bat"));
  machine::removeTree("c:\\autoexec.bat");
}

TEST_F(RestoreTest, DamagedRecordRestoresNothingFromItButTheFolders) {
  seedTypical();
  MachinePicture before = takePicture();
  std::unique_ptr<Engine> next = removeAndRestart();
  std::string file = fileContent(settings());
  size_t record = file.find(kRecordHeading);
  ASSERT_NE(std::string::npos, record);
  file[file.size() - 20] = static_cast<char>(file[file.size() - 20] ^ 1);
  machine::writeFile(settings(), file);
  EXPECT_EQ(1, next->restoreStartupEntries());
  EXPECT_EQ((Lines{rescueMessage("The saved registry and Win.ini settings are damaged and were "
                                 "not restored."),
                   savedInRescue(), "dialog:success 0"}),
            eventTexts());
  EXPECT_FALSE(platform.called(Call::WriteProfileStringA));
  EXPECT_FALSE(platform.called(Call::RegCreateKeyExA));
  EXPECT_EQ(file, fileContent(rescue()));
  // The listing stops where the record starts.
  std::string listed;
  for (const std::string& line : host.texts()) listed += line + "\r\n";
  EXPECT_EQ(file.substr(0, record), listed);
  MachinePicture after = takePicture();
  forgetAttributes(before.startupFiles);  // a damaged record is not trusted for them either
  EXPECT_EQ(before.startupFiles, after.startupFiles);
  EXPECT_EQ(before.commonFiles, after.commonFiles);
}

TEST_F(RestoreTest, LeftoverTemporaryFileOfOursIsDeleted) {
  struct Case {
    const char* content;
    bool ours;
  } cases[] = {{"", true},
               {"\r\n[Win", true},
               {"\r\n[Win.ini]\r\nrun=\r\n", true},
               {"the user's own", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    writeSettings("\r\n[Win.ini]\r\nrun=\r\nload=\r\n");
    machine::writeFile(settings() + ".tmp", c.content);
    std::unique_ptr<Engine> next = nextStart();
    EXPECT_EQ(1, next->restoreStartupEntries());
    EXPECT_EQ(!c.ours, fileExists(startup + "\\Startlull.ini.tmp"));
    EXPECT_FALSE(fileExists(inactive()));
    machine::emptyDir(startup);
  }
}

}  // namespace

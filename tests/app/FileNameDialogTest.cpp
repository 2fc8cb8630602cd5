// The save dialog's name: the forced ".txt", and the question before an
// existing file is replaced, asked once and about the file really written.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "app/FileNameDialog.h"
#include "framework/WindowBase.h"
#include "gtest/gtest.h"

namespace {

const char filter[] = "Text file (*.txt)\0*.txt\0";

// A folder of its own under the temporary folder, removed with its files.
class Folder {
 public:
  Folder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path = std::string(temp) + "startlull-save-" + std::to_string(GetTickCount());
    CreateDirectoryA(path.c_str(), 0);
    CreateDirectoryA((path + "\\Data.old").c_str(), 0);
  }
  ~Folder() {
    for (const std::string& file : made) DeleteFileA(file.c_str());
    RemoveDirectoryA((path + "\\Data.old").c_str());
    RemoveDirectoryA(path.c_str());
  }
  std::string Make(const std::string& name) {
    std::string file = path + "\\" + name;
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    EXPECT_NE(INVALID_HANDLE_VALUE, handle) << file;
    CloseHandle(handle);
    made.push_back(file);
    return file;
  }
  std::string path;

 private:
  std::vector<std::string> made;
};

struct Question {
  int count = 0;
  int answer = IDNO;
  HWND owner = 0;
  std::string path;
};
Question question;

int RecordQuestion(HWND owner, const char* path) {
  ++question.count;
  question.owner = owner;
  question.path = path;
  return question.answer;
}

TEST(FileNameDialogTest, AsksOnceBeforeTheForcedNameReplacesAnotherFile) {
  HWND owner = reinterpret_cast<HWND>(0x4711);  // only passed on to the question
  struct Case {
    const char* name;
    const char* typed;     // as the dialog returns it, in the folder
    const char* existing;  // a file there before, or 0
    int answer;            // the user's answer, if asked
    const char* written;   // the name that may be written, or 0 for none
    bool asked;
  } const cases[] = {
      {"other extension, .txt exists, Yes", "report.log", "report.txt", IDYES, "report.txt", true},
      {"other extension, .txt exists, No", "report.log", "report.txt", IDNO, 0, true},
      {"no extension, .txt exists, No", "report", "report.txt", IDNO, 0, true},
      {"two dots, .txt exists, No", "my.data.csv", "my.data.txt", IDNO, 0, true},
      {"dotted folder, .txt exists, No", "Data.old\\report", "Data.old\\report.txt", IDNO, 0, true},
      {"only the typed file exists", "report.log", "report.log", IDNO, "report.txt", false},
      {"nothing exists", "report.log", 0, IDNO, "report.txt", false},
      // The dialog has asked about exactly this file already.
      {"typed .txt exists", "report.txt", "report.txt", IDNO, "report.txt", false},
      {"typed .TXT exists", "report.TXT", "report.txt", IDNO, "report.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Folder each;
    if (c.existing) each.Make(c.existing);
    question = Question();
    question.answer = c.answer;
    FileNameDialog dialog(filter, 1, ".txt");
    dialog.askReplace = RecordQuestion;
    char fileName[MAX_PATH];
    lstrcpyA(fileName, (each.path + "\\" + c.typed).c_str());

    bool accepted = dialog.AcceptChosenName(owner, fileName, sizeof fileName);

    EXPECT_EQ(c.written != 0, accepted);
    if (c.written) {
      EXPECT_EQ(0, lstrcmpiA((each.path + "\\" + c.written).c_str(), fileName));
    }
    EXPECT_EQ(c.asked ? 1 : 0, question.count);
    if (c.asked) {
      EXPECT_EQ(each.path + "\\" + c.existing, question.path);
      EXPECT_EQ(owner, question.owner);
    }
  }
}

// Plays the user at the real dialog and the message boxes on this thread.
struct User {
  std::string typed;
  int answer = IDNO;
  bool typedIn = false;
  std::set<HWND> answered;
  std::vector<HWND> questionOwners;
  std::string caption, text;
  DWORD start = 0;
};
User user;

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0)
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

BOOL CALLBACK ReadStatic(HWND child, LPARAM text) {
  char className[16] = "", content[MAX_PATH + 64] = "";
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, content, sizeof content);
  if (lstrcmpiA(className, "Static") == 0 && content[0])
    *reinterpret_cast<std::string*>(text) = content;
  return TRUE;
}

void CALLBACK PlayUser(HWND, UINT, UINT_PTR, DWORD) {
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  for (HWND dialog : dialogs) {
    if (GetTickCount() - user.start > 10000) {  // something unexpected: end it
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      continue;
    }
    if (GetDlgItem(dialog, IDYES)) {
      if (!user.answered.insert(dialog).second) continue;
      user.questionOwners.push_back(GetWindow(dialog, GW_OWNER));
      char caption[64] = "";
      GetWindowTextA(dialog, caption, sizeof caption);
      user.caption = caption;
      EnumChildWindows(dialog, ReadStatic, reinterpret_cast<LPARAM>(&user.text));
      PostMessageA(GetDlgItem(dialog, user.answer), BM_CLICK, 0, 0);
    } else if (!user.typedIn) {
      HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
      if (!name) continue;
      SetWindowTextA(name, user.typed.c_str());
      user.typedIn = true;
      PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    } else if (user.answered.empty() == false) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // back in the dialog after a No
    }
  }
}

TEST(FileNameDialogTest, TheRealDialogAndQuestionGuardTheFileReallyWritten) {
  appInstance = GetModuleHandleA(0);
  HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400,
                               300, 0, 0, appInstance, 0);
  ASSERT_TRUE(owner);
  Folder folder;
  std::string report = folder.Make("report.txt");
  struct Case {
    const char* name;
    const char* typed;
    int answer;
    bool chosen;
    bool ownQuestion;  // ours, owned by the main window; else the dialog's
  } const cases[] = {
      {"typed .log, No", "report.log", IDNO, false, true},
      {"typed .log, Yes", "report.log", IDYES, true, true},
      {"typed without extension, Yes", "report", IDYES, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    user = User();
    user.typed = folder.path + "\\" + c.typed;
    user.answer = c.answer;
    user.start = GetTickCount();
    UINT_PTR timer = SetTimer(0, 0, 50, PlayUser);
    char fileName[MAX_PATH] = "StartlullData.txt";
    FileNameDialog dialog(filter, 1, ".txt");
    bool chosen = dialog.Run(owner, fileName, sizeof fileName);
    KillTimer(0, timer);

    EXPECT_TRUE(user.typedIn);
    EXPECT_EQ(c.chosen, chosen);
    if (c.chosen) {
      EXPECT_EQ(0, lstrcmpiA(report.c_str(), fileName)) << fileName;
    }
    ASSERT_EQ(1u, user.questionOwners.size()) << "one question, and only one";
    if (c.ownQuestion) {
      EXPECT_EQ(owner, user.questionOwners[0]);
      EXPECT_EQ("Save As", user.caption);
      EXPECT_EQ(report + " already exists.\r\nDo you want to replace it?", user.text);
    } else {
      EXPECT_NE(owner, user.questionOwners[0]) << "the dialog asks about a name it completed";
    }
  }
  DestroyWindow(owner);
}

}  // namespace

// A Host for engine tests: keeps the listing in memory, tracks the command
// states, records every message and dialog in order, and answers the dialogs
// and message boxes from a script.
#pragma once

#include <string.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/Host.h"

struct ListingLine {
  std::string text;
  COLORREF colour;
};

struct HostEvent {
  enum Kind { ERROR_REPORT, MESSAGE_BOX, REMOVE_DIALOG, SUCCESS_DIALOG, SAVE_DIALOG } kind;
  std::string text;  // message, or the dialog's parameter as text
  std::string caption;
  UINT type;  // message box style
};

class RecordingHost : public Host {
 public:
  RecordingHost();

  std::vector<ListingLine> lines;
  std::map<EngineCommand, int> enabled;  // command -> state
  std::vector<HostEvent> events;

  // Answers, taken in order; when a queue is empty the default is used.
  std::deque<int> messageBoxAnswers;    // default IDOK
  std::deque<int> removeDialogAnswers;  // default 1 (OK)
  int removeDialogConfigSys = 0;
  int removeDialogAutoexecBat = 0;
  std::deque<int> successDialogAnswers;  // default 0 (Exit)
  std::string saveDialogPath;            // empty: the user cancels
  std::string openDialogPath;            // empty: the user cancels
  bool remembers = false;                // Find remembers what it listed
  // Called for every event as it happens (a test can end the process there).
  std::function<void(const HostEvent&)> onEvent;

  std::vector<std::string> texts() const;
  std::vector<HostEvent> errors() const;

  void resetListing() override;
  int addListingLine(const char* text, COLORREF colour) override;
  int listingCount() override;
  bool listingLine(int index, StrBuf& text) override;
  void EnableCommand(EngineCommand command, int enable) override;
  int IsCommandEnabled(EngineCommand command) override;
  HWND ownerWindow() override { return NULL; }
  int reportError(const char* message, const char* caption) override;
  int messageBox(const char* text, const char* caption, UINT type) override;
  int removeOptionsDialog(int* removeConfigSys, int* removeAutoexecBat) override;
  int successDialog(int removed) override;
  bool saveFileDialog(char* path, int size) override;
  bool openFileDialog(char* path, int size) override {
    if (openDialogPath.empty() || openDialogPath.size() >= static_cast<size_t>(size)) return false;
    memcpy(path, openDialogPath.c_str(), openDialogPath.size() + 1);
    return true;
  }
  bool remembersListing() override { return remembers; }

 private:
  void record(const HostEvent& event);
};

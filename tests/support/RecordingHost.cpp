#include "tests/support/RecordingHost.h"

#include "util/Paths.h"
#include "util/StrBuf.h"

RecordingHost::RecordingHost() {
  enabled = {{COMMAND_REMOVE, 0}, {COMMAND_RESTORE, 0}, {COMMAND_SAVE, 0}};
}

std::vector<std::string> RecordingHost::texts() const {
  std::vector<std::string> result;
  for (const ListingLine& line : lines) result.push_back(line.text);
  return result;
}

std::vector<HostEvent> RecordingHost::errors() const {
  std::vector<HostEvent> result;
  for (const HostEvent& event : events)
    if (event.kind == HostEvent::ERROR_REPORT) result.push_back(event);
  return result;
}

void RecordingHost::record(const HostEvent& event) {
  events.push_back(event);
  if (onEvent) onEvent(event);
}

void RecordingHost::resetListing() { lines.clear(); }

int RecordingHost::addListingLine(const char* text, COLORREF colour) {
  lines.push_back(ListingLine{text, colour});
  return static_cast<int>(lines.size()) - 1;
}

int RecordingHost::listingCount() { return static_cast<int>(lines.size()); }

bool RecordingHost::listingLine(int index, StrBuf& text) {
  text.clear();
  if (index < 0 || index >= static_cast<int>(lines.size())) return false;
  return text.append(lines[index].text.data(), lines[index].text.size());
}

void RecordingHost::EnableCommand(EngineCommand command, int enable) {
  auto found = enabled.find(command);
  if (found != enabled.end()) found->second = enable ? 1 : 0;
}

int RecordingHost::IsCommandEnabled(EngineCommand command) {
  auto found = enabled.find(command);
  return found == enabled.end() ? 0 : found->second;
}

int RecordingHost::reportError(const char* message, const char* caption) {
  record(HostEvent{HostEvent::ERROR_REPORT, message, caption, 0});
  return 1;
}

int RecordingHost::messageBox(const char* text, const char* caption, UINT type) {
  record(HostEvent{HostEvent::MESSAGE_BOX, text, caption, type});
  int answer = IDOK;
  if (!messageBoxAnswers.empty()) {
    answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
  }
  return answer;
}

int RecordingHost::removeOptionsDialog(int* removeConfigSys, int* removeAutoexecBat) {
  record(HostEvent{HostEvent::REMOVE_DIALOG, "", "", 0});
  int answer = 1;
  if (!removeDialogAnswers.empty()) {
    answer = removeDialogAnswers.front();
    removeDialogAnswers.pop_front();
  }
  if (answer) {
    *removeConfigSys = removeDialogConfigSys;
    *removeAutoexecBat = removeDialogAutoexecBat;
  }
  return answer;
}

int RecordingHost::successDialog(int removed) {
  record(HostEvent{HostEvent::SUCCESS_DIALOG, removed ? "1" : "0", "", 0});
  int answer = 0;
  if (!successDialogAnswers.empty()) {
    answer = successDialogAnswers.front();
    successDialogAnswers.pop_front();
  }
  return answer;
}

bool RecordingHost::saveFileDialog(char* path, int size) {
  record(HostEvent{HostEvent::SAVE_DIALOG, saveDialogPath, "", 0});
  if (saveDialogPath.empty()) return false;
  copyText(path, static_cast<size_t>(size), saveDialogPath.c_str());
  return true;
}

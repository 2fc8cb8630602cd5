// Startlull from a batch file: Find, then a report or a comparison, with no
// window and an exit code. Nothing here removes, restores, disables or
// enables anything.
#include "app/Script.h"

#include "engine/Engine.h"
#include "platform/Platform.h"
#include "util/Paths.h"
#include "util/pure/GrowArray.h"

namespace {

const int kWritten = 0, kFailed = 1, kSomethingNew = 2;

// The listing kept in memory: every line's text, each ended by a zero byte.
class ScriptHost : public Host {
 public:
  explicit ScriptHost(const Switches& switches) : switches_(switches) {}

  void resetListing() override {
    text_.clear();
    starts_.clear();
  }
  int addListingLine(const char* text, COLORREF) override {
    size_t start = text_.length();
    if (!text_.append(text) || !text_.appendChar('\0') || !starts_.push(start)) return -1;
    return static_cast<int>(starts_.count()) - 1;
  }
  int listingCount() override { return static_cast<int>(starts_.count()); }
  bool listingLine(int index, StrBuf& text) override {
    text.clear();
    return index >= 0 && index < listingCount() && text.append(text_.c_str() + starts_[index]);
  }
  void EnableCommand(EngineCommand, int) override {}
  int IsCommandEnabled(EngineCommand) override { return 0; }
  HWND ownerWindow() override { return NULL; }
  int reportError(const char* message, const char* caption) override {
    return messageBox(message, caption, MB_OK | MB_ICONERROR);
  }
  int messageBox(const char* text, const char* caption, UINT type) override {
    failed = true;
    return switches_.quiet ? IDCANCEL : MessageBoxA(NULL, text, caption, type);
  }
  int removeOptionsDialog(int*, int*) override { return 0; }
  int successDialog(int) override { return 0; }
  // The report goes where the command line says.
  bool saveFileDialog(char* path, int size) override {
    return static_cast<int>(switches_.saveFile.length()) < size &&
           copyText(path, size, switches_.saveFile.c_str());
  }

  bool failed = false;

 private:
  const Switches& switches_;
  StrBuf text_;
  GrowArray<size_t> starts_;
};

void say(const Switches& switches, const char* text, UINT icon) {
  if (!switches.quiet) MessageBoxA(NULL, text, programCaption, MB_OK | icon);
}

// The entries new, changed and gone since the report, each under its
// heading, as the listing a report of them shows.
void listDifferences(Engine& engine, Host& host) {
  host.resetListing();
  const ListingComparison& changes = engine.changes;
  StrBuf line;
  const ChangeKind kinds[] = {ENTRY_NEW, ENTRY_CHANGED};
  const char* const headings[] = {"[New since ", "[Changed since "};
  for (int which = 0; which < 2; ++which) {
    ChangeKind kind = kinds[which];
    line.clear();
    line.append(headings[which]);
    line.append(engine.changesSince);
    line.appendChar(']');
    host.addListingLine("", 0);
    host.addListingLine(line.c_str(), 0);
    for (size_t index = 0; index < changes.changeCount(); ++index) {
      if (changes.change(index).kind != kind) continue;
      line.clear();
      if (appendPlacedLine(line, engine.listedNow.at(index))) host.addListingLine(line.c_str(), 0);
    }
  }
  line.clear();
  appendGoneHeading(line, engine.changesSince);
  host.addListingLine("", 0);
  host.addListingLine(line.c_str(), 0);
  for (size_t index = 0; index < changes.goneCount(); ++index) {
    line.clear();
    if (appendPlacedLine(line, engine.listedBefore.at(changes.gone(index))))
      host.addListingLine(line.c_str(), 0);
  }
}

}  // namespace

bool leadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }

int RunSwitches(Platform& platform, const Switches& switches) {
  if (switches.action == SWITCHES_HELP || switches.action == SWITCHES_WRONG) {
    StrBuf text;
    if (appendSwitchesError(text, switches) && text.length() > 0) text.append("\r\n\r\n");
    text.append(kSwitchesHelp);
    bool wrong = switches.action == SWITCHES_WRONG;
    // The list is what /? asks for: /quiet silences only a failure.
    if (!wrong || !switches.quiet)
      MessageBoxA(NULL, text.c_str(), programCaption, MB_OK | (wrong ? MB_ICONERROR : 0));
    return wrong ? kFailed : kWritten;
  }
  ScriptHost host(switches);
  Engine engine(platform, host);
  engine.computeLocations();
  if (switches.compare) engine.reportToCompare.append(switches.compareFile.c_str());
  engine.findStartupEntries();
  int code = kWritten;
  if (switches.compare) {
    if (!engine.comparedEntries) return kFailed;
    if (engine.changes.newCount() + engine.changes.changedCount() > 0) code = kSomethingNew;
    if (switches.save) listDifferences(engine, host);
  }
  if (switches.save && (host.failed || !engine.saveReport())) {
    StrBuf text;
    text.append("The report could not be written to ");
    text.append(switches.saveFile.c_str());
    say(switches, text.c_str(), MB_ICONERROR);
    return kFailed;
  }
  return host.failed ? kFailed : code;
}

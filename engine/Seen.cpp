// What changed since the user last looked: Find's entries against those the
// last Find remembered in a file of our own in the user's store folder, or
// against a report Save wrote.
#include <string.h>

#include "engine/Engine.h"
#include "engine/MachineAccess.h"
#include "util/Paths.h"
#include "util/TextBuffer.h"
#include "util/pure/NumberText.h"

const char kSeenName[] = "Startlull.seen";
const char kSeenTempName[] = "Startlull.seen.tmp";
const char kSeenAsideName[] = "Startlull.seen.damaged";

namespace {

bool seenFile(const Engine& engine, const char* name, StrBuf& path) {
  path.clear();
  return engine.disabledDir[0] != '\0' && path.append(engine.disabledDir) &&
         path.appendChar('\\') && path.append(name);
}

// The listing's entries, each with its line, and the listing as a
// remembered file would keep it.
bool readListedEntries(Engine& engine, ListingEntries& entries, GrowArray<int>& lines,
                       StrBuf& seen) {
  SYSTEMTIME now;
  engine.platform.GetLocalTime(&now);
  ListingTime time = {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
  SeenWriter writer(seen, time);
  ListingReader reader(entries);
  StrBuf text;
  int count = engine.host.listingCount();
  for (int line = 0; line < count; ++line) {
    size_t before = entries.count();
    if (!engine.host.listingLine(line, text) || !reader.line(text.c_str(), text.length()) ||
        !writer.line(text.c_str(), text.length()))
      return false;
    if (entries.count() > before && !lines.push(line)) return false;
  }
  return writer.finish();
}

// A whole file, or false when it cannot be read.
bool loadWhole(Engine& engine, const char* path, TextBuffer& file) {
  return file.loadFile(engine.platform, path, 1) == 1 && !file.failed;
}

// The last Find's entries and its time. A file that is not wholly ours is
// set aside, said once, and never trusted: nothing is marked this time.
bool readSeen(Engine& engine, ListingEntries& entries, char* since) {
  StrBuf path, temp, aside;
  if (!seenFile(engine, kSeenName, path) || !seenFile(engine, kSeenTempName, temp)) return false;
  // A write that died between putting the old file away and renaming the
  // proven new one left the new one under its temporary name.
  if (!engine.pathExists(path.c_str()) && engine.pathExists(temp.c_str()))
    engine.platform.MoveFileA(temp.c_str(), path.c_str());
  if (!engine.pathExists(path.c_str())) return false;
  TextBuffer file;
  ListingTime time;
  bool sound = loadWhole(engine, path.c_str(), file) &&
               parseSeen(file.data, file.length, entries, &time);
  file.release();
  if (sound) {
    formatListingTime(time, since, LISTING_TIME_TEXT_SIZE);
    return true;
  }
  if (!seenFile(engine, kSeenAsideName, aside)) return false;
  engine.platform.DeleteFileA(aside.c_str());
  StrBuf message;
  message.append("The list of what the last Find showed is damaged or not Startlull's: ");
  message.append(path.c_str());
  message.append(engine.platform.MoveFileA(path.c_str(), aside.c_str())
                     ? "\r\nIt was set aside as " : "\r\nIt could not be set aside as ");
  message.append(aside.c_str());
  message.append(". Nothing is marked new this time.");
  engine.host.messageBox(message.c_str(), programCaption, MB_OK | MB_ICONWARNING);
  return false;
}

// What this Find listed, for the next one; a write that fails leaves the
// last file as it was.
void writeSeen(Engine& engine, const StrBuf& seen) {
  StrBuf path, temp;
  TextBuffer out;
  if (!seenFile(engine, kSeenName, path) || !seenFile(engine, kSeenTempName, temp)) return;
  out.reserve(static_cast<unsigned>(seen.length()) + 1, 1);
  out.append(seen.c_str(), static_cast<unsigned>(seen.length()));
  if (!out.failed) {
    engine.platform.CreateDirectoryA(engine.disabledDir, NULL);
    writeDurably(engine.platform, path.c_str(), temp.c_str(), out, true);
  }
  out.release();
}

}  // namespace

bool readReportEntries(Engine& engine, const char* path, ListingEntries& entries, char* since) {
  TextBuffer file;
  ReportHeading report;
  bool read = loadWhole(engine, path, file) && readReport(file.data, file.length, &report) &&
              readListing(report.listing.text, report.listing.length, entries);
  if (read) formatDate(report.year, report.month, report.day, since, LISTING_TIME_TEXT_SIZE);
  file.release();
  if (!read) {
    StrBuf message;
    message.append("This file is not a report that Startlull saved: ");
    message.append(path);
    engine.host.messageBox(message.c_str(), programCaption, MB_OK | MB_ICONWARNING);
  }
  return read;
}

void Engine::markChanges() {
  // After a Disable or Enable the last Find's own "before" still holds.
  bool again = keepRemembered && comparedEntries;
  comparedEntries = false;
  goneFirst = -1;
  listedNow.clear();
  if (!again) listedBefore.clear();
  entryLines.clear();
  bool report = reportToCompare.length() > 0;
  // While a Remove waits, what it took is neither gone nor remembered gone.
  if (!report && (!host.remembersListing() || !entryCommandsAvailable())) return;
  StrBuf seen;
  if (!readListedEntries(*this, listedNow, entryLines, seen)) return;
  bool known = again || (report ? readReportEntries(*this, reportToCompare.c_str(), listedBefore,
                                                    changesSince)
                                : readSeen(*this, listedBefore, changesSince));
  if (!report && !keepRemembered) writeSeen(*this, seen);
  if (!known || !changes.compare(listedBefore, listedNow)) return;
  comparedEntries = true;
  if (changes.goneCount() == 0) return;
  StrBuf line;
  addLine("", plainColour);
  if (appendGoneHeading(line, changesSince)) goneFirst = addLine(line.c_str(), headingColour) + 1;
  for (size_t index = 0; index < changes.goneCount(); ++index) {
    TextPiece gone = listedBefore.at(changes.gone(index)).line;
    line.clear();
    if (line.append(gone.text, gone.length)) addLine(line.c_str(), disabledColour);
  }
}

ChangeKind Engine::lineChange(int line, TextPiece* earlierData) {
  if (!comparedEntries) return ENTRY_SAME;
  // Lines go up with entries: the entry of a line is found by halving.
  size_t low = 0, high = entryLines.count();
  while (low < high) {
    size_t middle = (low + high) / 2;
    if (entryLines[middle] < line)
      low = middle + 1;
    else
      high = middle;
  }
  if (low == entryLines.count() || entryLines[low] != line) return ENTRY_SAME;
  const EntryChange& change = changes.change(low);
  if (change.kind == ENTRY_CHANGED) *earlierData = listedBefore.at(change.before).data;
  return change.kind;
}

bool Engine::isGoneLine(int line) {
  return goneFirst >= 0 && line >= goneFirst && line < host.listingCount();
}

void Engine::compareWithReport() {
  char path[PATH_SIZE] = "";
  if (!host.openFileDialog(path, PATH_SIZE) || !reportToCompare.append(path)) return;
  findStartupEntries();
  reportToCompare.clear();
}

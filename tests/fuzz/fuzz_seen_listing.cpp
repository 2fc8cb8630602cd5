// Any bytes as the remembered listing, as a listing and as a report: no
// reader may read out of bounds; a listing remembered reads back as the
// entries the listing itself gives; a report's listing lies inside the
// file, and a set compared with itself is all the same.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "util/pure/ListingCompare.h"

namespace {

bool samePiece(TextPiece a, TextPiece b) {
  return a.length == b.length && (a.length == 0 || memcmp(a.text, b.text, a.length) == 0);
}

bool sameEntries(const ListingEntries& a, const ListingEntries& b) {
  if (a.count() != b.count()) return false;
  for (size_t index = 0; index < a.count(); ++index) {
    ListingEntry x = a.at(index), y = b.at(index);
    if (!samePiece(x.place, y.place) || !samePiece(x.name, y.name) || !samePiece(x.data, y.data) ||
        !samePiece(x.line, y.line) || x.disabled != y.disabled)
      return false;
  }
  return true;
}

void compareWithItself(const ListingEntries& entries) {
  ListingComparison comparison;
  if (!comparison.compare(entries, entries)) return;
  if (comparison.sameCount() != entries.count() || comparison.goneCount() != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  ListingEntries seen;
  ListingTime time;
  if (parseSeen(text, size, seen, &time)) compareWithItself(seen);

  // The input's lines remembered, and read back.
  StrBuf file;
  ListingTime when{2026, 12, 3, 9, 13, 5, 0, 0};
  SeenWriter writer(file, when);
  ListingEntries direct;
  ListingReader reader(direct);
  const char* pos = text;
  TextPiece line;
  bool lineEnds = false;
  while (nextTextLine(&pos, text + size, &line)) {
    lineEnds = lineEnds || memchr(line.text, '\r', line.length) != nullptr;
    if (!writer.line(line.text, line.length) || !reader.line(line.text, line.length)) return 0;
  }
  ListingEntries back;
  if (writer.finish() && !lineEnds) {
    if (!parseSeen(file.c_str(), file.length(), back, &time)) __builtin_trap();
    if (!sameEntries(direct, back) || memcmp(&time, &when, sizeof time) != 0) __builtin_trap();
  }

  ReportHeading report;
  if (readReport(text, size, &report)) {
    if (report.listing.text < text || report.listing.text + report.listing.length != text + size)
      __builtin_trap();
    ListingEntries listed;
    if (readListing(report.listing.text, report.listing.length, listed)) {
      compareWithItself(listed);
      ListingComparison comparison;
      comparison.compare(seen, listed);
    }
  }

  ListingEntries listed;
  readListing(text, size, listed);
  StrBuf placed;
  for (size_t index = 0; index < listed.count(); ++index)
    appendPlacedLine(placed, listed.at(index));
  return 0;
}

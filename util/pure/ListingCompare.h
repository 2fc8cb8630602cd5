// What Find listed, as entries that can be remembered and compared: read
// from the listing's lines (or from a report Save wrote), written to and
// read from a small file of our own, and compared with another set to tell
// what is new, changed or gone.
//
// An entry's place is the heading of the section it is listed in when it is
// enabled, without the brackets ("Registry - current_user, Run", "Win.ini",
// "Startup folder"). A line of the disabled section names the same place
// before its ": ", so a Disable or an Enable moves an entry without making
// it new or gone.
#pragma once

#include <stddef.h>

#include "util/StrBuf.h"
#include "util/pure/GrowArray.h"
#include "util/pure/HexText.h"

// The time of a Find, as GetLocalTime gives it (SYSTEMTIME's fields, in its order).
struct ListingTime {
  unsigned year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

struct ListingEntry {
  TextPiece place;
  TextPiece name;  // the value's name, "run"/"load", or the item's file name
  TextPiece data;  // the command or data as listed; empty for a Startup folder's item
  TextPiece line;  // the line as the listing showed it
  bool disabled;   // listed in the disabled section
};

// An owned set of entries, in the order added. The texts an entry gives
// stay valid until the next add() or clear().
class ListingEntries {
 public:
  ListingEntries() {}
  ListingEntries(const ListingEntries&) = delete;
  ListingEntries& operator=(const ListingEntries&) = delete;

  // Copies the texts (which must not be this set's own). False when memory
  // runs out; the set then stays as it was and failed() is set.
  bool add(TextPiece place, TextPiece name, TextPiece data, TextPiece line, bool disabled);
  void clear();
  size_t count() const { return slots_.count(); }
  ListingEntry at(size_t index) const;
  bool failed() const { return text_.failed() || slots_.failed(); }

 private:
  struct Slot {
    size_t place, placeLength, name, nameLength, data, dataLength, line, lineLength;
    bool disabled;
  };
  TextPiece piece(size_t start, size_t length) const;
  StrBuf text_;
  GrowArray<Slot> slots_;
};

// Headings and texts shared with whoever shows or saves a comparison.
extern const char kDisabledSectionHeading[];  // "[Disabled by Startlull]"
extern const char kGoneHeadingStart[];        // "[Gone since "

// Reads a listing line by line, as Find shows it or Save writes it. A heading
// is a line in brackets after a blank line (or first): Find puts a blank line
// before every heading and none inside a section, so an item whose file name
// is in brackets is not taken for one. Not entries: blank lines, headings,
// lines before the first heading (the usage text, a report's heading), the
// empty win.ini forms "run=" and "load=", the disabled section's lines that
// name no place (a store that cannot be read), and the gone section. Any
// other heading is a place whose lines are "name = data" (a line without
// " = " is a name alone), so a place a later version adds reads too.
class ListingReader {
 public:
  explicit ListingReader(ListingEntries& entries);
  // One line, without its line end. False when memory runs out.
  bool line(const char* text, size_t length);

 private:
  enum Section { BEFORE_HEADINGS, WIN_INI, FOLDER, TASKS, VALUES, DISABLED, NOT_ENTRIES };
  bool disabledLine(TextPiece line);

  ListingEntries& entries_;
  Section section_;
  StrBuf place_;
  bool afterBlank_;
};

// A whole listing text, lines ended by CR LF or LF. False when memory runs out.
bool readListing(const char* text, size_t length, ListingEntries& entries);

// The line an entry shows with its place before it, as the disabled section
// shows its lines: "Registry - local_machine, Run: Tray = C:\TRAY.EXE". A
// disabled entry's line already is.
bool appendPlacedLine(StrBuf& out, const ListingEntry& entry);

// ---- Comparing

enum ChangeKind { ENTRY_SAME, ENTRY_NEW, ENTRY_CHANGED };
const size_t kNoEntry = static_cast<size_t>(-1);

struct EntryChange {
  ChangeKind kind;
  size_t before;  // SAME and CHANGED: the entry of the earlier set; NEW: kNoEntry
};

// An earlier set against a later one. Entries match by place and name, both
// without regard to ASCII letter case (as Windows compares names), then by
// data, byte for byte: the same data is SAME (whether or not it moved
// between its place and the disabled section), other data CHANGED, no entry
// of that place and name NEW. A place and name listed more than once (a
// list of strings such as BootExecute, or an entry both disabled and listed
// again) pairs equal data first, then the rest in order. Both sets are
// sorted once and merged: O(n log n).
class ListingComparison {
 public:
  ListingComparison() : same_(0), added_(0), changed_(0) {}
  ListingComparison(const ListingComparison&) = delete;
  ListingComparison& operator=(const ListingComparison&) = delete;

  // False when memory runs out (the results are then empty).
  bool compare(const ListingEntries& before, const ListingEntries& now);

  // One per entry of the later set, in its order.
  const EntryChange& change(size_t index) const { return changes_[index]; }
  size_t changeCount() const { return changes_.count(); }
  // The earlier set's entries that match none of the later set, in the
  // earlier set's order.
  size_t goneCount() const { return gone_.count(); }
  size_t gone(size_t index) const { return gone_[index]; }

  size_t sameCount() const { return same_; }
  size_t newCount() const { return added_; }
  size_t changedCount() const { return changed_; }

 private:
  GrowArray<EntryChange> changes_;
  GrowArray<size_t> gone_;
  size_t same_, added_, changed_;
};

// "2006/03/07 14:05": the date and time shown for a Find.
enum { LISTING_TIME_TEXT_SIZE = 24 };
void formatListingTime(const ListingTime& time, char* out, size_t size);

// The status of a NEW or CHANGED entry: "New since <since>", "Changed since
// <since>; was: <earlier data>". Nothing for SAME.
bool appendChangeStatus(StrBuf& out, ChangeKind kind, const char* since, TextPiece earlierData);
// "[Gone since <since>]".
bool appendGoneHeading(StrBuf& out, const char* since);

// ---- The remembered listing: the lines the last Find showed, and its time.
//
//   [Startlull listing of the last Find, version 1]
//   time <year> <month> <day of week> <day> <hour> <minute> <second> <ms>
//   line <hex>                               each line of the listing, in order
//   end <line count> <checksum hex>          count and FNV-1a of the lines above
// Lines end in CR LF; the count and checksum cover the lines after the
// first, each with "\n". An empty line's hex is "-".
extern const char kSeenHeading[];

// Writes a remembered listing into out, line by line.
class SeenWriter {
 public:
  SeenWriter(StrBuf& out, const ListingTime& time);
  SeenWriter(const SeenWriter&) = delete;
  SeenWriter& operator=(const SeenWriter&) = delete;
  // A line of the listing. False when memory runs out.
  bool line(const char* text, size_t length);
  // The end line; false when memory ran out on the way.
  bool finish();

 private:
  bool put(const StrBuf& body);
  StrBuf& out_;
  unsigned long lines_, checksum_;
};

// The entries the lines of such a file list (read as readListing reads a
// listing). False, with entries empty and *time untouched, for anything but
// a whole file of that form: a damaged, cut or foreign file is never half
// read.
bool parseSeen(const char* text, size_t length, ListingEntries& entries, ListingTime* time);

// ---- Reports written by Save: the date line, the system line, the user
// line, an empty line, then the listing's lines, each line ended by CR LF
// (LF alone is taken too).
struct ReportHeading {
  unsigned year, month, day;
  TextPiece listing;  // the listing's lines, inside the bytes given
};

// False for a file that is not such a report (or holds a zero byte, which
// no listing line can).
bool readReport(const char* bytes, size_t length, ReportHeading* report);

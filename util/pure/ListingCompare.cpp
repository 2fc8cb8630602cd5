#include "util/pure/ListingCompare.h"

#include <string.h>

#include "util/Paths.h"
#include "util/pure/NumberText.h"

const char kDisabledSectionHeading[] = "[Disabled by Startlull]";
const char kGoneHeadingStart[] = "[Gone since ";
const char kSeenHeading[] = "[Startlull listing of the last Find, version 1]";

namespace {

const char kValueSeparator[] = " = ";
const char kPlaceSeparator[] = ": ";
const char kWinIniPlace[] = "Win.ini";
const char kTasksPlace[] = "Scheduled tasks";
const char* const kFolderPlaces[] = {"Startup folder", "All Users Startup folder"};
// The registry places the disabled section names, by their root's part.
const char* const kRegistryPlaceStarts[] = {"Registry - local_machine, ",
                                            "Registry - current_user, "};
const char kReportSystemStart[] = "Your Operating system is ";
const char kReportUserStart[] = "Current user:  ";

enum { TIME_FIELDS = 8, MOST_YEAR_DIGITS = 5 };
// SYSTEMTIME's ranges, field by field, in ListingTime's order.
const unsigned kTimeLowest[TIME_FIELDS] = {1601, 1, 0, 1, 0, 0, 0, 0};
const unsigned kTimeHighest[TIME_FIELDS] = {30827, 12, 6, 31, 23, 59, 59, 999};

TextPiece piece(const char* text) { return TextPiece{text, strlen(text)}; }
TextPiece piece(const StrBuf& text) { return TextPiece{text.c_str(), text.length()}; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int compareNoCase(TextPiece a, TextPiece b) {
  // The entries of one section share their place's text: sorting a set
  // compares those by where they are.
  if (a.text == b.text && a.length == b.length) return 0;
  size_t shorter = a.length < b.length ? a.length : b.length;
  for (size_t i = 0; i < shorter; ++i) {
    unsigned char x = static_cast<unsigned char>(lowerAscii(a.text[i]));
    unsigned char y = static_cast<unsigned char>(lowerAscii(b.text[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.length == b.length ? 0 : a.length < b.length ? -1 : 1;
}

int compareBytes(TextPiece a, TextPiece b) {
  size_t shorter = a.length < b.length ? a.length : b.length;
  int order = shorter ? memcmp(a.text, b.text, shorter) : 0;
  if (order != 0) return order < 0 ? -1 : 1;
  return a.length == b.length ? 0 : a.length < b.length ? -1 : 1;
}

bool sameNoCase(TextPiece a, const char* b) { return compareNoCase(a, piece(b)) == 0; }

bool startsWith(TextPiece text, const char* start) {
  size_t length = strlen(start);
  return text.length >= length && memcmp(text.text, start, length) == 0;
}

TextPiece after(TextPiece text, size_t count) {
  return TextPiece{text.text + count, text.length - count};
}

const size_t kNotFound = static_cast<size_t>(-1);

// Where what first occurs in text, or kNotFound.
size_t findText(TextPiece text, const char* what) {
  size_t length = strlen(what);
  for (size_t i = 0; i + length <= text.length; ++i)
    if (memcmp(text.text + i, what, length) == 0) return i;
  return kNotFound;
}

// "name = data" split at its first " = ", as the engine reads a listed value.
bool splitValue(TextPiece text, TextPiece* name, TextPiece* data) {
  size_t at = findText(text, kValueSeparator);
  if (at == kNotFound) return false;
  *name = TextPiece{text.text, at};
  *data = after(text, at + sizeof kValueSeparator - 1);
  return true;
}

bool isFolderPlace(TextPiece place) {
  for (const char* folder : kFolderPlaces)
    if (sameNoCase(place, folder)) return true;
  return false;
}

// The line as Find shows such an entry: the item's name, or "name = data";
// in the disabled section with its place and ": " before it.

// ---- Sorting: a stable merge sort of indices, bottom-up, through scratch.

template <class Less>
bool sortIndices(GrowArray<size_t>& order, size_t count, Less less) {
  GrowArray<size_t> scratch;
  if (!order.assign(count, 0) || !scratch.assign(count, 0)) return false;
  for (size_t index = 0; index < count; ++index) order[index] = index;
  size_t* from = order.data();
  size_t* to = scratch.data();
  for (size_t width = 1; width < count; width *= 2) {
    for (size_t start = 0; start < count; start += 2 * width) {
      size_t middle = start + width < count ? start + width : count;
      size_t end = middle + width < count ? middle + width : count;
      size_t left = start, right = middle, out = start;
      while (left < middle && right < end)
        to[out++] = less(from[right], from[left]) ? from[right++] : from[left++];
      while (left < middle) to[out++] = from[left++];
      while (right < end) to[out++] = from[right++];
    }
    size_t* swap = from;
    from = to;
    to = swap;
  }
  if (from != order.data()) memcpy(order.data(), from, count * sizeof(size_t));
  return true;
}

// Orders by place and name without regard to case, then data, then
// enabled before disabled.
int compareGroup(const ListingEntry& a, const ListingEntry& b) {
  int order = compareNoCase(a.place, b.place);
  return order != 0 ? order : compareNoCase(a.name, b.name);
}

int compareData(const ListingEntry& a, const ListingEntry& b) {
  return compareBytes(a.data, b.data);
}

int compareWhole(const ListingEntry& a, const ListingEntry& b) {
  int order = compareGroup(a, b);
  if (order == 0) order = compareData(a, b);
  if (order == 0 && a.disabled != b.disabled) order = a.disabled ? 1 : -1;
  return order;
}

bool sortEntries(const ListingEntries& entries, GrowArray<size_t>& order) {
  return sortIndices(order, entries.count(), [&](size_t a, size_t b) {
    return compareWhole(entries.at(a), entries.at(b)) < 0;
  });
}

// One place and name, in both sets: the ranges [first, end) of each order.
struct Group {
  size_t beforeFirst, beforeEnd, nowFirst, nowEnd;
};

size_t groupEnd(const ListingEntries& entries, const GrowArray<size_t>& order, size_t first) {
  size_t end = first + 1;
  while (end < order.count() && compareGroup(entries.at(order[first]), entries.at(order[end])) == 0)
    ++end;
  return end;
}

}  // namespace

// ---- ListingEntries

TextPiece ListingEntries::piece(size_t start, size_t length) const {
  return TextPiece{text_.c_str() + start, length};
}

bool ListingEntries::add(TextPiece place, TextPiece name, TextPiece data, TextPiece line,
                         bool disabled) {
  Slot slot;
  slot.placeLength = place.length;
  // Entries come section by section: a place is kept once for its run.
  size_t count = slots_.count();
  if (count > 0 && slots_[count - 1].placeLength == place.length &&
      memcmp(text_.c_str() + slots_[count - 1].place, place.text, place.length) == 0) {
    slot.place = slots_[count - 1].place;
  } else {
    slot.place = text_.length();
    if (!text_.append(place.text, place.length)) return false;
  }
  slot.name = text_.length();
  slot.nameLength = name.length;
  if (!text_.append(name.text, name.length)) return false;
  slot.data = text_.length();
  slot.dataLength = data.length;
  if (!text_.append(data.text, data.length)) return false;
  slot.line = text_.length();
  slot.lineLength = line.length;
  if (!text_.append(line.text, line.length)) return false;
  slot.disabled = disabled;
  return slots_.push(slot);
}

void ListingEntries::clear() {
  text_.clear();
  slots_.clear();
}

ListingEntry ListingEntries::at(size_t index) const {
  const Slot& slot = slots_[index];
  return ListingEntry{piece(slot.place, slot.placeLength), piece(slot.name, slot.nameLength),
                      piece(slot.data, slot.dataLength), piece(slot.line, slot.lineLength),
                      slot.disabled};
}

// ---- Reading a listing

ListingReader::ListingReader(ListingEntries& entries)
    : entries_(entries), section_(BEFORE_HEADINGS), afterBlank_(true) {}

bool ListingReader::line(const char* text, size_t length) {
  TextPiece line{text, length};
  bool heading = afterBlank_ && length >= 2 && text[0] == '[' && text[length - 1] == ']';
  afterBlank_ = length == 0;
  if (heading) {
    place_.clear();
    if (!place_.append(text + 1, length - 2)) return false;
    TextPiece place = piece(place_);
    if (sameNoCase(line, kDisabledSectionHeading))
      section_ = DISABLED;
    else if (startsWith(line, kGoneHeadingStart))
      section_ = NOT_ENTRIES;
    else if (sameNoCase(place, kWinIniPlace))
      section_ = WIN_INI;
    else if (isFolderPlace(place))
      section_ = FOLDER;
    else if (sameNoCase(place, kTasksPlace))
      section_ = TASKS;
    else
      section_ = VALUES;
    return true;
  }
  if (length == 0) return true;
  TextPiece name, data{text + length, 0};
  switch (section_) {
    case WIN_INI:
      // "run=" and "load=" say the value is empty: nothing starts from it.
      if (!splitValue(line, &name, &data)) return true;
      break;
    case FOLDER:
      name = line;
      break;
    case TASKS: {
      // "x.job = command", "x.job (disabled) = command", "x.job: damaged, ...":
      // the file's name is the entry's name and the rest its data, so a
      // task switched off or on, or spoilt, reads as changed.
      size_t at = 4;
      while (at < length && !((text[at] == ' ' || text[at] == ':') &&
                              sameNoCase(TextPiece{text + at - 4, 4}, ".job")))
        ++at;
      if (at >= length) {
        name = line;
        break;
      }
      name = TextPiece{text, at};
      data = after(line, at + 1);
      if (startsWith(data, "= "))
        data = after(data, 2);
      else if (startsWith(data, " "))
        data = after(data, 1);
      break;
    }
    case VALUES:
      // A line without " = " (a task file that cannot be read) is its name alone.
      if (!splitValue(line, &name, &data)) name = line;
      break;
    case DISABLED:
      return disabledLine(line);
    default:
      return true;
  }
  return entries_.add(piece(place_), name, data, line, false);
}

bool ListingReader::disabledLine(TextPiece line) {
  size_t at = findText(line, kPlaceSeparator);
  if (at == kNotFound || at == 0) return true;
  TextPiece place{line.text, at};
  TextPiece rest = after(line, at + sizeof kPlaceSeparator - 1);
  // A line that names no place of ours (a store that cannot be read, by its
  // path) is no entry.
  bool known = samePiece(place, kWinIniPlace) || isFolderPlace(place);
  for (const char* start : kRegistryPlaceStarts)
    if (startsWith(place, start) && place.length > strlen(start)) known = true;
  if (!known || rest.length == 0) return true;
  TextPiece name = rest, data{rest.text + rest.length, 0};
  if (!isFolderPlace(place) && !splitValue(rest, &name, &data)) return true;
  return entries_.add(place, name, data, line, true);
}

bool readListing(const char* text, size_t length, ListingEntries& entries) {
  ListingReader reader(entries);
  const char* pos = text;
  TextPiece line;
  while (nextTextLine(&pos, text + length, &line))
    if (!reader.line(line.text, line.length)) return false;
  return true;
}

bool appendPlacedLine(StrBuf& out, const ListingEntry& entry) {
  if (!entry.disabled &&
      !(out.append(entry.place.text, entry.place.length) && out.append(kPlaceSeparator)))
    return false;
  return out.append(entry.line.text, entry.line.length);
}

// ---- Comparing

bool ListingComparison::compare(const ListingEntries& before, const ListingEntries& now) {
  same_ = added_ = changed_ = 0;
  gone_.clear();
  GrowArray<size_t> beforeOrder, nowOrder;
  GrowArray<unsigned char> taken;
  if (!changes_.assign(now.count(), EntryChange{ENTRY_NEW, kNoEntry}) ||
      !taken.assign(before.count(), 0) || !sortEntries(before, beforeOrder) ||
      !sortEntries(now, nowOrder)) {
    changes_.clear();
    return false;
  }
  auto pair = [&](size_t b, size_t n, ChangeKind kind) {
    taken[beforeOrder[b]] = 1;
    changes_[nowOrder[n]] = EntryChange{kind, beforeOrder[b]};
  };
  // Walks the unpaired entries of both ranges in step, pairing those the
  // comparison calls equal; both ranges are in that comparison's order.
  auto pairEqual = [&](const Group& group, int (*order)(const ListingEntry&, const ListingEntry&),
                       ChangeKind kind) {
    size_t b = group.beforeFirst, n = group.nowFirst;
    while (b < group.beforeEnd && n < group.nowEnd) {
      if (taken[beforeOrder[b]]) {
        ++b;
        continue;
      }
      if (changes_[nowOrder[n]].before != kNoEntry) {
        ++n;
        continue;
      }
      int result = order ? order(before.at(beforeOrder[b]), now.at(nowOrder[n])) : 0;
      if (result == 0)
        pair(b++, n++, kind);
      else if (result < 0)
        ++b;
      else
        ++n;
    }
  };

  size_t b = 0, n = 0;
  while (b < before.count() && n < now.count()) {
    int order = compareGroup(before.at(beforeOrder[b]), now.at(nowOrder[n]));
    if (order < 0) {
      b = groupEnd(before, beforeOrder, b);
    } else if (order > 0) {
      n = groupEnd(now, nowOrder, n);
    } else {
      Group group{b, groupEnd(before, beforeOrder, b), n, groupEnd(now, nowOrder, n)};
      pairEqual(group, compareWhole, ENTRY_SAME);  // as it was, where it was
      pairEqual(group, compareData, ENTRY_SAME);   // disabled or enabled since
      pairEqual(group, nullptr, ENTRY_CHANGED);    // the rest, in order
      b = group.beforeEnd;
      n = group.nowEnd;
    }
  }

  for (size_t index = 0; index < before.count(); ++index)
    if (!taken[index] && !gone_.push(index)) {
      changes_.clear();
      gone_.clear();
      return false;
    }
  for (size_t index = 0; index < changes_.count(); ++index) {
    ChangeKind kind = changes_[index].kind;
    if (kind == ENTRY_SAME)
      ++same_;
    else if (kind == ENTRY_NEW)
      ++added_;
    else
      ++changed_;
  }
  return true;
}

void formatListingTime(const ListingTime& time, char* out, size_t size) {
  if (size == 0) return;
  formatDate(time.year, static_cast<int>(time.month), static_cast<int>(time.day), out, size);
  char clock[7];
  char* position = clock;
  *position++ = ' ';
  position = twoDigits(static_cast<int>(time.hour), position);
  *position++ = ':';
  position = twoDigits(static_cast<int>(time.minute), position);
  *position = '\0';
  appendText(out, size, clock);
}

bool appendChangeStatus(StrBuf& out, ChangeKind kind, const char* since, TextPiece earlierData) {
  switch (kind) {
    case ENTRY_NEW:
      return out.append("New since ") && out.append(since);
    case ENTRY_CHANGED:
      return out.append("Changed since ") && out.append(since) && out.append("; was: ") &&
             out.append(earlierData.text, earlierData.length);
    default:
      return true;
  }
}

bool appendGoneHeading(StrBuf& out, const char* since) {
  return out.append(kGoneHeadingStart) && out.append(since) && out.appendChar(']');
}

// ---- The remembered listing

namespace {

bool appendTimeLine(StrBuf& body, const ListingTime& time) {
  const unsigned fields[TIME_FIELDS] = {time.year, time.month,  time.dayOfWeek, time.day,
                                        time.hour, time.minute, time.second,    time.milliseconds};
  body.append("time");
  for (unsigned field : fields) {
    body.appendChar(' ');
    appendNumberText(body, field, 10, 1);
  }
  return !body.failed();
}

// The time line's numbers, fields[1] to fields[8].
bool parseTime(const TextPiece* fields, ListingTime* time) {
  unsigned values[TIME_FIELDS];
  for (int index = 0; index < TIME_FIELDS; ++index) {
    unsigned long value;
    if (!parseNumberText(fields[index + 1], 10, 0, &value) || value < kTimeLowest[index] ||
        value > kTimeHighest[index])
      return false;
    values[index] = static_cast<unsigned>(value);
  }
  *time = ListingTime{values[0], values[1], values[2], values[3],
                      values[4], values[5], values[6], values[7]};
  return true;
}

}  // namespace

SeenWriter::SeenWriter(StrBuf& out, const ListingTime& time)
    : out_(out), lines_(0), checksum_(kFnvStart) {
  out_.clear();
  StrBuf body;
  if (out_.append(kSeenHeading) && out_.append("\r\n") && appendTimeLine(body, time)) put(body);
}

bool SeenWriter::line(const char* text, size_t length) {
  StrBuf body;
  return body.append("line ") && appendHexBytes(body, text, length) && put(body);
}

bool SeenWriter::finish() {
  StrBuf body;
  body.append("end ");
  appendNumberText(body, lines_, 10, 1);
  body.appendChar(' ');
  appendNumberText(body, checksum_, 16, 8);
  return !body.failed() && out_.append(body.c_str(), body.length()) && out_.append("\r\n");
}

bool SeenWriter::put(const StrBuf& body) {
  if (body.failed()) return false;
  checksum_ = fnvOf(checksum_, body.c_str(), body.length());
  checksum_ = fnvOf(checksum_, "\n", 1);
  ++lines_;
  return out_.append(body.c_str(), body.length()) && out_.append("\r\n");
}

namespace {

bool parseSeenLines(const char* text, size_t length, ListingEntries& entries, ListingTime* time) {
  const char* pos = text;
  const char* end = text + length;
  TextPiece line;
  if (!nextTextLine(&pos, end, &line) || !samePiece(line, kSeenHeading)) return false;
  unsigned long lines = 0, checksum = kFnvStart;
  ListingTime found;
  ListingReader reader(entries);
  StrBuf listed;
  while (nextTextLine(&pos, end, &line)) {
    TextPiece fields[TIME_FIELDS + 1];
    size_t count = splitBlankFields(line, fields, TIME_FIELDS + 1);
    if (count == 0) return false;
    TextPiece kind = fields[0];
    if (lines == 0) {
      // The time comes first, once.
      if (count != TIME_FIELDS + 1 || !samePiece(kind, "time") || !parseTime(fields, &found))
        return false;
    } else if (count == 2 && samePiece(kind, "line")) {
      // A listing line holds no line end: one that did would read as two.
      if (!decodeHexBytes(fields[1], listed) || memchr(listed.c_str(), '\n', listed.length()) ||
          memchr(listed.c_str(), '\r', listed.length()) ||
          !reader.line(listed.c_str(), listed.length()))
        return false;
    } else if (count == 3 && samePiece(kind, "end")) {
      unsigned long written, sum;
      if (!parseNumberText(fields[1], 10, 0, &written) ||
          !parseNumberText(fields[2], 16, 8, &sum) || written != lines || sum != checksum ||
          pos != end)
        return false;
      *time = found;
      return true;
    } else {
      return false;
    }
    checksum = fnvOf(checksum, line.text, line.length);
    checksum = fnvOf(checksum, "\n", 1);
    ++lines;
  }
  return false;  // cut before its end line
}

}  // namespace

bool parseSeen(const char* text, size_t length, ListingEntries& entries, ListingTime* time) {
  entries.clear();
  if (parseSeenLines(text, length, entries, time)) return true;
  entries.clear();
  return false;
}

// ---- Reports

namespace {

bool digitsAt(TextPiece text, size_t from, size_t count, unsigned* value) {
  if (from + count > text.length) return false;
  unsigned result = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (text.text[i] < '0' || text.text[i] > '9') return false;
    result = result * 10 + static_cast<unsigned>(text.text[i] - '0');
  }
  *value = result;
  return true;
}

// "YYYY/MM/DD", the year with as many digits as it has.
bool parseReportDate(TextPiece line, ReportHeading* report) {
  size_t yearDigits = 0;
  while (yearDigits < line.length && line.text[yearDigits] >= '0' && line.text[yearDigits] <= '9')
    ++yearDigits;
  if (yearDigits == 0 || yearDigits > MOST_YEAR_DIGITS || line.length != yearDigits + 6 ||
      line.text[yearDigits] != '/' || line.text[yearDigits + 3] != '/')
    return false;
  unsigned year, month, day;
  if (!digitsAt(line, 0, yearDigits, &year) || !digitsAt(line, yearDigits + 1, 2, &month) ||
      !digitsAt(line, yearDigits + 4, 2, &day) || month < 1 || month > 12 || day < 1 || day > 31)
    return false;
  report->year = year;
  report->month = month;
  report->day = day;
  return true;
}

}  // namespace

bool readReport(const char* bytes, size_t length, ReportHeading* report) {
  if (memchr(bytes, '\0', length)) return false;
  const char* pos = bytes;
  const char* end = bytes + length;
  TextPiece date, system, user, blank;
  ReportHeading found;
  if (!nextTextLine(&pos, end, &date) || !parseReportDate(date, &found) ||
      !nextTextLine(&pos, end, &system) || !startsWith(system, kReportSystemStart) ||
      !nextTextLine(&pos, end, &user) || !startsWith(user, kReportUserStart) ||
      !nextTextLine(&pos, end, &blank) || blank.length != 0)
    return false;
  found.listing = TextPiece{pos, static_cast<size_t>(end - pos)};
  *report = found;
  return true;
}

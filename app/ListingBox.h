// The main window's list: every line painted in the colour kept as its item
// data, on the list's light yellow background; entry lines can be selected.
#pragma once

#include <windows.h>

#include "framework/Control.h"

// What a line is, as far as painting and selecting care. LINE_UNKNOWN is
// never an answer: it marks a line not asked about yet. A gone entry's line
// is selected (to be copied) but names nothing to act on. An entry new or
// changed since the last look carries a mark bit beside its kind.
enum LineKind {
  LINE_UNKNOWN = 0,
  LINE_TEXT,
  LINE_ENTRY,
  LINE_ENTRY_MISSING,
  LINE_GONE,
  LINE_KIND_BITS = 0x0F,
  LINE_MARK_NEW = 0x10,
  LINE_MARK_CHANGED = 0x20,
};

// Who knows which lines name entries (the main window, through its engine).
class LineKinds {
 public:
  virtual LineKind KindOfLine(int line) = 0;

 protected:
  ~LineKinds() {}
};

class ListingBox : public ListControl {
 public:
  ListingBox();
  ~ListingBox();
  ListingBox(const ListingBox&) = delete;
  ListingBox& operator=(const ListingBox&) = delete;

  void DrawItem(DRAWITEMSTRUCT* item) override;

  // Asked once per line, when the line is first painted or stepped over,
  // and kept until ForgetLines: a listing of thousands of lines costs
  // nothing until it is seen.
  LineKind KindOf(int line);
  bool IsEntry(int line);
  void ForgetLines();

  // The entry line a navigation key (arrows, Home, End, Page Up/Down) moves
  // the selection to from line from, or -1 when there is none that way.
  int EntryForKey(UINT key, int from);
  // The entry line closest to line, the line itself included; -1 for none.
  int NearestEntry(int line);
  // Rows the list shows at once; at least 1.
  int PageRows();

  // Each line is measured once, as it goes in: the list scrolls sideways as
  // far as the widest line reaches. ForgetWidths when the list is emptied.
  void NoteLineWidth(const char* text);
  void ForgetWidths();
  // The widest line noted, in pixels.
  int WidestLine() const { return widest; }

  // None: every line is text, as in a list no listing owner looks after.
  LineKinds* kindSource;

 private:
  // The first entry line from line on, stepping by step, up to limit; -1.
  int EntryFrom(int line, int step, int limit);
  bool RoomForKinds(int lines);

  unsigned char* kinds;  // one LineKind per line, from a GlobalAlloc block
  int kindRoom;
  // A context of the list's own kept for measuring: one per line added would
  // cost more than the measuring.
  HDC measureDc;
  int widest;
};

// Lines up to this length are painted from a buffer on the stack; longer
// ones (registry lines reach about 520 characters) from a heap block.
const int stackLineLength = 297;

// An entry whose program is not on the machine: unlike black text, grey
// disabled entries, blue headings and the red title.
const COLORREF missingProgramColour = 0x800080;
// The marks drawn after the text of an entry new or changed since the last look.
const COLORREF newMarkColour = 0x00B000;
const COLORREF changedMarkColour = 0x0080FF;

// What the engine needs of the user interface. The main window provides it
// over its real windows; engine tests use a recording host.
#pragma once

#include <windows.h>

class StrBuf;

// The commands the engine enables and asks about, by its own names; the
// main window maps them to its buttons.
enum EngineCommand { COMMAND_REMOVE, COMMAND_RESTORE, COMMAND_SAVE };

class Host {
 public:
  virtual ~Host() {}

  // The listing store: lines in the order added, each with a colour.
  virtual void resetListing() = 0;
  // Index of the new line, or -1 when the store refuses it.
  virtual int addListingLine(const char* text, COLORREF colour) = 0;
  // Number of lines, or -1.
  virtual int listingCount() = 0;
  // The whole text of a line; false when there is no such line.
  virtual bool listingLine(int index, StrBuf& text) = 0;

  // Command states of the seven buttons.
  virtual void EnableCommand(EngineCommand command, int enable) = 0;
  virtual int IsCommandEnabled(EngineCommand command) = 0;

  // Owner of every dialog and message box the engine opens.
  virtual HWND ownerWindow() = 0;
  // The program's own modal error report.
  virtual int reportError(const char* message, const char* caption) = 0;
  // A standard message box owned by the main window; returns its IDOK, IDYES...
  virtual int messageBox(const char* text, const char* caption, UINT type) = 0;
  // The Remove dialog: 1 for OK, after storing the two check boxes; 0 for Cancel.
  virtual int removeOptionsDialog(int* removeConfigSys, int* removeAutoexecBat) = 0;
  // The Success dialog: nonzero for Restart, 0 for Exit.
  virtual int successDialog(int removed) = 0;
  // The save-file dialog: true with the chosen path (ending in .txt) in path.
  virtual bool saveFileDialog(char* path, int size) = 0;
  // The open-file dialog for a report: true with the chosen path.
  virtual bool openFileDialog(char*, int) { return false; }
  // Whether Find remembers what it listed, to mark what is new at the next
  // one: the user's own window does, a listing for a script does not.
  virtual bool remembersListing() { return false; }
};

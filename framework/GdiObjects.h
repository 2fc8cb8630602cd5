// Holders for GDI objects in a painter: what is made is deleted, what is
// selected is put back, on every way out.
#pragma once

#include <windows.h>

// A pen, brush or other GDI object made for one drawing: deleted when the
// holder goes. Declared before the SelectedObject that selects it, so that
// it is put out of the context before it is deleted.
class OwnedObject {
 public:
  explicit OwnedObject(HGDIOBJ object) : object(object) {}
  ~OwnedObject() {
    if (object) DeleteObject(object);
  }
  OwnedObject(const OwnedObject&) = delete;
  OwnedObject& operator=(const OwnedObject&) = delete;
  HGDIOBJ object;
};

// Selects objects into a context and puts back, when it goes, what the
// first one replaced. A null object selects nothing.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(0) { Select(object); }
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  void Select(HGDIOBJ object) {
    HGDIOBJ replaced = object ? SelectObject(dc_, object) : 0;
    if (!previous_) previous_ = replaced;
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

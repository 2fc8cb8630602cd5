// Small text helpers for paths and names. Every copy is bounded by the size
// of its destination; a text that does not fit is cut, never overflows.
#pragma once

#include <stddef.h>

// Cuts a path just after its last '\', ':' or '/', the separator kept; the
// first character is never looked at. No separator leaves the empty text.
void stripFileName(char* path);

// Position of the first c in text, or -1.
int findChar(const char* text, char c);

// Ends a file name before its extension: the scan from the end stops at the
// first '.', '\' or ':' (the first character included) and cuts only at '.'.
void stripExtension(char* name);

// Copies or appends text into destination of size bytes (terminator
// included). Returns false when the text had to be cut.
bool copyText(char* destination, size_t size, const char* text);
bool appendText(char* destination, size_t size, const char* text);

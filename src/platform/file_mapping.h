// A read-only view of a whole file in memory, so a decoder can read any part
// of it without copying it first. Nothing is ever written through the view.
#pragma once

#include <cstddef>
#include <cstdint>

struct FileMapping {
  const uint8_t* bytes = nullptr;  // the file's contents, `size` bytes
  size_t size = 0;
  int descriptor = -1;             // the open file, -1 when none
};

// Opens the file (only one that exists) and maps all of it. False, with
// nothing left open, when the file cannot be opened or mapped; an empty file
// cannot be mapped and fails the same way.
bool MapWholeFile(const char* path, FileMapping* mapping);
// Releases the view and the file; harmless on a mapping that failed.
void UnmapWholeFile(FileMapping* mapping);

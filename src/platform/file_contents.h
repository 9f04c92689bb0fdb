// A whole file in memory, so a decoder can read any part of it. Nothing is
// ever written to the file.
//
// The file is read into one heap block rather than mapped: on the machines
// measured, mapping a 192 KB picture and unmapping it again cost about twelve
// times as much as reading it (bench/image), and a mapped file that shrinks
// while it is read would end the process with a bus error.
#pragma once

#include <cstddef>
#include <cstdint>

struct FileContents {
  const uint8_t* bytes = nullptr;  // the file's contents, `size` bytes, from malloc
  size_t size = 0;
};

// Reads all of an existing regular file. False, with nothing held, when the
// file cannot be opened or read whole; an empty file fails the same way.
bool ReadWholeFile(const char* path, FileContents* contents);
// Frees the contents; harmless on a read that failed.
void ReleaseWholeFile(FileContents* contents);

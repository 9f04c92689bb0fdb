// Opening data files for reading: regular files only.
//
// Anything else under a data file's name (a FIFO, a device, a directory) is
// treated as a missing file. Opening a FIFO for reading waits for a writer,
// possibly for ever, and a device or a directory has no contents of a known
// length. The file is opened in a way that cannot wait, and the check is made
// on what was opened, so nothing swapped in between a check and the open gets
// through.
#pragma once

#include <cstdint>
#include <cstdio>

// The open stream, or null when `path` is not an existing regular file that
// can be read. `mode` is one of fopen's reading modes ("r", "rt", "rb"). When
// `size` is given, it receives the file's length in bytes.
FILE* OpenRegularFile(const char* path, const char* mode, uint64_t* size = nullptr);

// Moves the stream to an absolute position, which may lie beyond 2 GB.
bool SeekRegularFile(FILE* stream, uint64_t position);

// Opening data files for reading: regular files only.
//
// Anything else under a data file's name (a FIFO, a device, a directory) is
// treated as a missing file. Opening a FIFO for reading waits for a writer,
// possibly for ever, and a device or a directory has no contents of a known
// length. The file is opened in a way that cannot wait, and the check is made
// on what was opened, so nothing swapped in between a check and the open gets
// through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The open stream, or null when `path` is not an existing regular file that
// can be read. `mode` is one of fopen's reading modes ("r", "rt", "rb").
FILE* OpenRegularFile(const char* path, const char* mode);

// The same file read with plain system calls, without a stream's buffer and
// its copies: for decoders that read large blocks at known places.
struct RawFile;
// Null when `path` is not an existing regular file that can be read; *size
// receives its length in bytes.
RawFile* OpenRawFile(const char* path, uint64_t* size);
// Reads up to `count` bytes at the current position; fewer only at the end
// of the file or on an error.
size_t ReadRawFile(RawFile* file, void* into, size_t count);
// Moves to an absolute position, which may lie beyond 2 GB.
bool SeekRawFile(RawFile* file, uint64_t position);
void CloseRawFile(RawFile* file);

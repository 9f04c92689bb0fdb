// The POSIX calls that the shared tests make, which the Windows C library
// lacks or takes with narrower lengths. Included into every test file of the
// Windows build by the compiler's -include option.
#pragma once

// off_t of 64 bits, as on Linux: the tests make files of several gigabytes.
#define _FILE_OFFSET_BITS 64

#include <stddef.h>
#include <stdio.h>
#include <unistd.h>

// MinGW's truncate takes a 32-bit length; its truncate64 takes all of off_t.
#define truncate(path, length) truncate64(path, length)

#ifdef __cplusplus
extern "C" {
#endif
// Replaces the trailing "XXXXXX" of pattern and creates that directory;
// pattern, or null when no such directory could be made.
char* mkdtemp(char* pattern);
// A stream that reads size bytes of buffer (mode "r" only): a temporary file
// holding a copy of them.
FILE* fmemopen(void* buffer, size_t size, const char* mode);
#ifdef __cplusplus
}
#endif

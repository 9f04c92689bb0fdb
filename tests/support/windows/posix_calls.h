// The POSIX calls that the shared tests make, which the Windows C library
// lacks. Included into every test file of the Windows build by the
// compiler's -include option.
#pragma once

#include <stddef.h>
#include <stdio.h>

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

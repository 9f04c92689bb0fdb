// Data files are named under "data/" (scene files) and "Data/" (images,
// soundtrack); both spellings reach one directory. On a file system that
// tells letter case apart, a path that does not exist as written is resolved
// component by component without regard to case. Every data file open in the
// program goes through here.
#pragma once

#include <cstdio>
#include <string>

// The path as it exists on disk, or the path unchanged when no spelling of it exists.
std::string ResolveDataPath(const char* path);
// Opens the resolved path for reading (mode "r", "rt" or "rb"). Null when it
// is missing or is not a regular file (platform/regular_file.h): a FIFO, a
// device or a directory under a data file's name counts as missing.
FILE* OpenDataFile(const char* path, const char* mode);

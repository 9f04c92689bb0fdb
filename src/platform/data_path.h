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
// fopen on the resolved path.
FILE* OpenDataFile(const char* path, const char* mode);

#include "platform/data_path.h"

// Placeholder until the case-insensitive lookup lands: paths are used as written.
std::string ResolveDataPath(const char* path) { return path ? path : ""; }

FILE* OpenDataFile(const char* path, const char* mode) {
  if (!path) return nullptr;
  return std::fopen(ResolveDataPath(path).c_str(), mode);
}

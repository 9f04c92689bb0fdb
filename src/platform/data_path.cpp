// Resolves data paths on a file system that tells letter case apart.
//
// A path that exists as written is used as is. Otherwise each component is
// looked up in the directory resolved so far: the name as written when it
// exists there, else the first entry of the sorted listing that equals it
// without regard to (ASCII) case, so the choice is stable when several
// spellings exist. Relative paths are relative to the working directory.
#include "platform/data_path.h"

#include "platform/regular_file.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

static bool SameIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The spelling of name inside directory, or "" when no spelling exists.
static std::string FindEntryIgnoringCase(const std::string& directory, const std::string& name) {
  std::error_code error;
  if (fs::exists(fs::path(directory) / name, error)) return name;

  std::vector<std::string> matches;
  fs::directory_iterator entry(directory, error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    std::string entryName = entry->path().filename().string();
    if (SameIgnoringCase(entryName, name)) matches.push_back(entryName);
  }
  if (matches.empty()) return "";
  return *std::min_element(matches.begin(), matches.end());
}

std::string ResolveDataPath(const char* path) {
  if (!path) return "";
  std::string asWritten = path;
  std::error_code error;
  if (asWritten.empty() || fs::exists(asWritten, error)) return asWritten;

  // Rebuilt component by component; empty components (a leading or doubled
  // slash) and "." or ".." are kept as they stand.
  std::string resolved;
  size_t start = 0;
  while (true) {
    size_t slash = asWritten.find('/', start);
    std::string name = asWritten.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!name.empty() && name != "." && name != "..") {
      name = FindEntryIgnoringCase(resolved.empty() ? "." : resolved, name);
      if (name.empty()) return asWritten;
    }
    resolved += name;
    if (slash == std::string::npos) return resolved;
    resolved += '/';
    start = slash + 1;
  }
}

FILE* OpenDataFile(const char* path, const char* mode) {
  if (!path) return nullptr;
  return OpenRegularFile(ResolveDataPath(path).c_str(), mode);
}

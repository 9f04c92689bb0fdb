#include "picture_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
bool HasPictureExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (const char* known : {".jpg", ".jpeg", ".jpe", ".png", ".webp", ".gif", ".bmp", ".dib", ".tif", ".tiff"}) {
    if (extension == known) return true;
  }
  return false;
}

std::vector<std::string> PicturesInFolder(const fs::path& folder, std::vector<std::string>& problems) {
  std::vector<std::string> found;
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
  if (error) {
    problems.push_back(folder.string() + ": " + error.message());
    return found;
  }
  for (; it != end; it.increment(error)) {
    if (error) {
      problems.push_back(folder.string() + ": " + error.message());
      break;
    }
    const fs::path& path = it->path();
    if (path.filename().string().rfind('.', 0) == 0) {
      // Hidden files and folders (a thumbnail cache, a trash) are not pictures of the show.
      if (it->is_directory(error)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(error) && HasPictureExtension(path)) found.push_back(path.string());
  }
  std::sort(found.begin(), found.end(), NaturalLess);
  return found;
}
}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned char ca = a[i], cb = b[j];
    if (std::isdigit(ca) && std::isdigit(cb)) {
      size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      // Compare the numbers by value: without leading zeros, the longer is larger.
      size_t si = i, sj = j;
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj;
      const int order = a.compare(si, ei - si, b, sj, ej - sj);
      if (order != 0) return order < 0;
      i = ei;
      j = ej;
      continue;
    }
    const int la = std::tolower(ca), lb = std::tolower(cb);
    if (la != lb) return la < lb;
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return a < b;
}

std::vector<std::string> CollectPictureFiles(const std::vector<std::string>& inputs, PictureOrder order,
                                             std::vector<std::string>& problems) {
  std::vector<std::string> files;
  for (const std::string& input : inputs) {
    std::error_code error;
    const fs::file_status status = fs::status(input, error);
    if (fs::is_directory(status)) {
      const std::vector<std::string> found = PicturesInFolder(input, problems);
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::exists(status)) {
      files.push_back(input);
    } else {
      problems.push_back(input + ": " + (error ? error.message() : "no such file or folder"));
    }
  }
  // Name order sorts across all the inputs; date order starts from it and
  // is sorted again once the dates are read.
  if (order != PictureOrder::given) std::stable_sort(files.begin(), files.end(), NaturalLess);
  return files;
}

#include "temporary_directory.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

TemporaryDirectory::TemporaryDirectory(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory from " + pattern);
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;  // a test that failed half-way must not also throw here
  std::filesystem::remove_all(path_, ignored);
}

bool WriteFileCreatingFolders(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  if (error) return false;
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out.flush());
}

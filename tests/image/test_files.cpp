#include "test_files.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {
std::filesystem::path previousDirectory;
std::filesystem::path testDirectory;
}  // namespace

void EnterTestDirectory() {
  previousDirectory = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "qeb-image-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  testDirectory = pattern;
  std::filesystem::current_path(testDirectory);
}

void LeaveTestDirectory() {
  std::filesystem::current_path(previousDirectory);
  std::filesystem::remove_all(testDirectory);
}

void WriteTestFile(const std::string& path, const Bytes& bytes) {
  const std::filesystem::path target(path);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

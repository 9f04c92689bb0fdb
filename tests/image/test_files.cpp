#include "test_files.h"

#include <optional>
#include <stdexcept>

#include "temporary_directory.h"

namespace {
std::filesystem::path previousDirectory;
std::optional<TemporaryDirectory> testDirectory;
}  // namespace

void EnterTestDirectory() {
  previousDirectory = std::filesystem::current_path();
  testDirectory.emplace("qeb-image");
  std::filesystem::current_path(testDirectory->path());
}

void LeaveTestDirectory() {
  std::filesystem::current_path(previousDirectory);
  testDirectory.reset();
}

void WriteTestFile(const std::string& path, const Bytes& bytes) {
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!WriteFileCreatingFolders(path, view)) throw std::runtime_error("cannot write " + path);
}

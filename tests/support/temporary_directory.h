// Temporary directories for tests and benchmarks: each one fresh and empty,
// removed with everything in it when its owner goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class TemporaryDirectory {
 public:
  // Creates <system temporary folder>/<prefix>-XXXXXX; throws
  // std::runtime_error when it cannot.
  explicit TemporaryDirectory(const std::string& prefix = "qeb-test");
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes bytes to path, creating its folders first. False when it cannot.
bool WriteFileCreatingFolders(const std::filesystem::path& path, std::string_view bytes);

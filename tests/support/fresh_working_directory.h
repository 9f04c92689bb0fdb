// A fixture that runs each test in a fresh, empty temporary directory as the
// working directory, and removes it afterwards, so relative data paths reach
// only what the test wrote.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "temporary_directory.h"

class FreshWorkingDirectory : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    directory_.emplace();
    std::filesystem::current_path(directory_->path());
  }

  void TearDown() override {
    std::filesystem::current_path(previous_);
    directory_.reset();
  }

  // Writes path (relative to the working directory), creating its folders.
  static void WriteFile(const std::string& path, const std::string& contents) {
    ASSERT_TRUE(WriteFileCreatingFolders(path, contents)) << path;
  }

  const std::filesystem::path& directory() const { return directory_->path(); }

 private:
  std::filesystem::path previous_;
  std::optional<TemporaryDirectory> directory_;
};

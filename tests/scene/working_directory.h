// A fixture that runs each test in a fresh, empty working directory and
// removes it afterwards, so relative data paths reach only what the test wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

class FreshWorkingDirectory : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "qeb-scene-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    std::filesystem::current_path(directory_);
  }

  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(directory_);
  }

  // Creates path (relative to the working directory) and its parents.
  static void WriteFile(const std::string& path, const std::string& contents) {
    std::filesystem::path file(path);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
  }

  std::filesystem::path directory_;

 private:
  std::filesystem::path previous_;
};

// The data set that qeb-datagen writes, generated once per test program into
// a temporary folder that is removed at exit.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "answered_message_boxes.h"

// Runs qeb-datagen into a new temporary folder and returns the folder ("" on failure).
std::string RunDataGenerator();

// The folder of the data set shared by the tests: the one named by the
// environment variable QEB_DATA_SET (written by the test run's fixture), or
// else one generated on first use.
const std::string& SharedDataSet();

// The 127 picture paths the texture bank reads, in slot order.
std::vector<std::string> TextureBankPaths();

// Runs each test inside the shared data set's folder, where the demo would
// run, with message boxes answered and recorded instead of shown.
class InDataSetFolder : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(SharedDataSet().empty()) << "qeb-datagen failed";
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(SharedDataSet());
    AnswerMessageBoxesFromScript();
  }
  void TearDown() override {
    SetMessageBoxAnswerer(nullptr);
    std::filesystem::current_path(previous_);
  }

 private:
  std::filesystem::path previous_;
};

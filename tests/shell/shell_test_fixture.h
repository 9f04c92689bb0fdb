// Puts every piece of global state the shell touches back to its start
// value, with the window system, GL and message boxes replaced by stand-ins.
// Message boxes are answered from answeredMessageBoxes and also logged in the
// window system's log, so tests can see what was torn down before a box
// appeared.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answered_message_boxes.h"
#include "fake_window_system.h"
#include "gl_recorder.h"
#include "shell_doubles.h"

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// The log lines from the first one equal to `from` to the end.
std::vector<std::string> LogFrom(const std::string& from);

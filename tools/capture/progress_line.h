// The capture's progress line: frames done, frames per second, time left.
#pragma once

#include <chrono>

#include "terminal_line.h"

class ProgressLine {
 public:
  void Update(int done, int total);
  void Finish() { line_.Clear(); }

 private:
  TerminalLine line_{std::chrono::milliseconds(250)};
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

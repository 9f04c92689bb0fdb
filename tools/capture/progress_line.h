// The progress line on a terminal: frames done, frames per second, time left.
// Rewritten in place a few times a second; nothing at all when standard
// error is not a terminal.
#pragma once

#include <chrono>

class ProgressLine {
 public:
  ProgressLine();
  void Update(int done, int total);
  // Clears the line, so what is printed next starts on a clean line.
  void Finish();

 private:
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_, lastShown_;
};

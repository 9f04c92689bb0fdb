// The progress line on a terminal: what is being done and how far it is.
// Rewritten in place a few times a second; nothing when standard error is
// not a terminal.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

class Progress {
 public:
  Progress();
  // Thread-safe.
  void Update(const std::string& what, int done, int total);
  void Finish();

 private:
  bool enabled_;
  bool shown_ = false;
  std::mutex mutex_;
  std::chrono::steady_clock::time_point lastShown_;
};

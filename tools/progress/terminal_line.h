// One line on the terminal, rewritten in place to show how far a long job
// has come. Nothing at all is written when standard error is not a terminal.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

class TerminalLine {
 public:
  // The line is rewritten at most once every `interval`.
  explicit TerminalLine(std::chrono::milliseconds interval);
  bool Enabled() const { return enabled_; }
  // Shows `text` in place of the line, unless it was rewritten less than the
  // interval ago; `last` (the job's final step) is always shown.
  // Thread-safe, as is Clear.
  void Show(const std::string& text, bool last);
  // Clears the line, so what is printed next starts on a clean line.
  void Clear();

 private:
  const bool enabled_;
  const std::chrono::milliseconds interval_;
  std::mutex mutex_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point lastShown_;
};

#include "terminal_line.h"

#include <unistd.h>

#include <cstdio>

TerminalLine::TerminalLine(std::chrono::milliseconds interval)
    : enabled_(isatty(STDERR_FILENO) == 1), interval_(interval) {}

void TerminalLine::Show(const std::string& text, bool last) {
  if (!enabled_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  if (shown_ && !last && now - lastShown_ < interval_) return;
  lastShown_ = now;
  std::fprintf(stderr, "\r\033[K%s", text.c_str());
  std::fflush(stderr);
  shown_ = true;
}

void TerminalLine::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!shown_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  shown_ = false;
}

#include "progress.h"

#include <unistd.h>

#include <cstdio>

Progress::Progress() : enabled_(isatty(STDERR_FILENO) == 1) {}

void Progress::Update(const std::string& what, int done, int total) {
  if (!enabled_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  if (shown_ && done < total && now - lastShown_ < std::chrono::milliseconds(200)) return;
  lastShown_ = now;
  if (total > 0) {
    std::fprintf(stderr, "\r\033[K%s %d/%d", what.c_str(), done, total);
  } else {
    std::fprintf(stderr, "\r\033[K%s", what.c_str());
  }
  std::fflush(stderr);
  shown_ = true;
}

void Progress::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!shown_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  shown_ = false;
}

#include "progress_line.h"

#include <unistd.h>

#include <cstdio>

ProgressLine::ProgressLine()
    : enabled_(isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()), lastShown_(start_) {}

void ProgressLine::Update(int done, int total) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (done < total && now - lastShown_ < std::chrono::milliseconds(250)) return;
  lastShown_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double rate = elapsed > 0 ? done / elapsed : 0;
  const int left = rate > 0 ? int((total - done) / rate + 0.5) : 0;
  std::fprintf(stderr, "\r\033[Kframe %d/%d (%d%%)  %.0f fps  %d:%02d left", done, total, done * 100 / total, rate,
               left / 60, left % 60);
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Finish() {
  if (!shown_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  shown_ = false;
}

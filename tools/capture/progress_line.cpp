#include "progress_line.h"

#include <cstdio>

void ProgressLine::Update(int done, int total) {
  if (!line_.Enabled()) return;
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double rate = elapsed > 0 ? done / elapsed : 0;
  const int left = rate > 0 ? int((total - done) / rate + 0.5) : 0;
  char text[128];
  std::snprintf(text, sizeof text, "frame %d/%d (%d%%)  %.0f fps  %d:%02d left", done, total, done * 100 / total, rate,
                left / 60, left % 60);
  line_.Show(text, done >= total);
}

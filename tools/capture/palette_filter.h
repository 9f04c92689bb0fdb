// Turns full-colour frames into 256-colour ones for a GIF, with FFmpeg's
// palette filters: each frame gets the palette that suits it best, and
// dithering hides the steps in the fog's smooth gradients. Frames stream
// through one by one; none is held back for a palette over the whole clip.
#pragma once

#include <string>

struct AVFilterGraph;
struct AVFilterContext;
struct AVFrame;

class PaletteFilter {
 public:
  PaletteFilter() = default;
  ~PaletteFilter();
  PaletteFilter(const PaletteFilter&) = delete;
  PaletteFilter& operator=(const PaletteFilter&) = delete;

  // Frames of width x height packed RGB24 come in, PAL8 ones go out. "" or the problem.
  std::string Open(int width, int height, int timeBaseNum, int timeBaseDen);
  // Hands a frame in (nullptr: there are no more). The frame is left as it was.
  std::string Push(AVFrame* rgb);
  // The next frame that is ready, into 'pal8': 1, or 0 when none is ready yet, or a negative FFmpeg error.
  int Pull(AVFrame* pal8);

 private:
  AVFilterGraph* graph_ = nullptr;
  AVFilterContext* source_ = nullptr;
  AVFilterContext* sink_ = nullptr;
};

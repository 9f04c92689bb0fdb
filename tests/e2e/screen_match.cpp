// screen_match SHOT.png REFERENCE.png ...
// screen_match --x-root REFERENCE.png ...
//
// Finds which reference frame (drawn at 640x480 by qeb-render-frames) a
// screenshot of the full-screen demo shows. With --x-root the shot is the
// root window of the X display in DISPLAY: the picture a compositor running
// as an X client on it shows. The show is drawn over the whole
// output with the projection at the output's aspect, so a reference pixel at
// (x, y) appears at the output's centre plus (x - 320, y - 240) times the
// output's height over 480, in both directions alike. The score of a
// reference is the mean colour difference (0..255) over its picture (the
// saturated pixels and a margin around them), sampled there in the shot.
//
// Prints the best reference and its score, and the best score had the
// picture been stretched to the output's width (what an emulated 640x480
// mode scaled by the compositor shows), for comparison. Exit status: 0 when
// a reference was scored, 1 on unreadable input.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Image {
  int width = 0, height = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};
  const unsigned char* At(int x, int y) const { return pixels.get() + 3 * (size_t(y) * size_t(width) + size_t(x)); }
};

bool Load(const char* path, Image* image) {
  int channels = 0;
  image->pixels.reset(stbi_load(path, &image->width, &image->height, &channels, 3));
  if (!image->pixels) std::fprintf(stderr, "screen_match: cannot read %s: %s\n", path, stbi_failure_reason());
  return image->pixels != nullptr;
}

// The root window of DISPLAY, as RGB.
bool GrabRoot(Image* image) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "screen_match: cannot open the display\n");
    return false;
  }
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XImage* grabbed =
      XGetImage(display, root, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
  if (grabbed) {
    image->width = attributes.width;
    image->height = attributes.height;
    auto* pixels = static_cast<unsigned char*>(std::malloc(size_t(image->width) * size_t(image->height) * 3));
    image->pixels.reset(pixels);
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x) {
        const unsigned long pixel = XGetPixel(grabbed, x, y);
        unsigned char* p = pixels + 3 * (size_t(y) * size_t(image->width) + size_t(x));
        p[0] = (pixel & grabbed->red_mask) >> __builtin_ctzl(grabbed->red_mask);
        p[1] = (pixel & grabbed->green_mask) >> __builtin_ctzl(grabbed->green_mask);
        p[2] = (pixel & grabbed->blue_mask) >> __builtin_ctzl(grabbed->blue_mask);
      }
    XDestroyImage(grabbed);
  } else {
    std::fprintf(stderr, "screen_match: cannot read the root window\n");
  }
  XCloseDisplay(display);
  return grabbed != nullptr;
}

bool Saturated(const unsigned char* p) { return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 40; }

// The reference's picture: the bounding box of its saturated pixels, grown
// by a margin so that a picture too small or misplaced in the shot shows.
struct Box {
  int x0, y0, x1, y1;
};

Box PictureBox(const Image& reference) {
  Box box{reference.width, reference.height, -1, -1};
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x)
      if (Saturated(reference.At(x, y)))
        box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
  constexpr int margin = 16;
  if (box.x1 < 0) return {0, 0, reference.width - 1, reference.height - 1};
  return {std::max(box.x0 - margin, 0), std::max(box.y0 - margin, 0), std::min(box.x1 + margin, reference.width - 1),
          std::min(box.y1 + margin, reference.height - 1)};
}

// Mean difference with the shot, the reference scaled by (scaleX, scaleY)
// about the centres of both.
double Score(const Image& shot, const Image& reference, double scaleX, double scaleY) {
  const Box box = PictureBox(reference);
  double sum = 0;
  long count = 0;
  for (int y = box.y0; y <= box.y1; ++y)
    for (int x = box.x0; x <= box.x1; ++x) {
      const int sx = int(shot.width / 2.0 + (x + 0.5 - reference.width / 2.0) * scaleX);
      const int sy = int(shot.height / 2.0 + (y + 0.5 - reference.height / 2.0) * scaleY);
      const unsigned char* r = reference.At(x, y);
      int difference = 255;
      if (sx >= 0 && sy >= 0 && sx < shot.width && sy < shot.height) {
        const unsigned char* s = shot.At(sx, sy);
        difference = (std::abs(r[0] - s[0]) + std::abs(r[1] - s[1]) + std::abs(r[2] - s[2])) / 3;
      }
      sum += difference;
      ++count;
    }
  return count ? sum / double(count) : 255.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: screen_match SHOT.png|--x-root REFERENCE.png ...\n");
    return 1;
  }
  Image shot;
  if (std::string(argv[1]) == "--x-root" ? !GrabRoot(&shot) : !Load(argv[1], &shot)) return 1;
  double best = 256, bestStretched = 256;
  std::string bestName;
  for (int i = 2; i < argc; ++i) {
    Image reference;
    if (!Load(argv[i], &reference)) return 1;
    const double scale = double(shot.height) / reference.height;
    const double score = Score(shot, reference, scale, scale);
    if (score < best) {
      best = score;
      bestName = argv[i];
    }
    bestStretched = std::min(bestStretched, Score(shot, reference, double(shot.width) / reference.width, scale));
  }
  std::printf("%s %.1f stretched %.1f\n", bestName.c_str(), best, bestStretched);
  return 0;
}

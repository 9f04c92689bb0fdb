// qeb_startup_once load|baseline
//
// One start-up's texture loading, timed once in this fresh process on a new
// GL context, as the demo pays it: run in a folder holding the demo's data.
//   load      LoadTextures for the bank's 127 pictures.
//   baseline  the least that loading them can cost: reading the same files
//             and uploading the same pixels (decoded before the clock
//             starts) into the same texture names, with nothing else.
// Prints the pass's wall time in milliseconds. scripts/run-benchmarks.sh runs
// the two alternately in fresh processes and gives the ratio of each pair.
// Needs a display.
#include <GL/gl.h>
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gl_test_window.h"
#include "heap_state.h"
#include "image/dib_image.h"
#include "image/texture_bank.h"

namespace {

struct Picture {
  std::string path;
  int slot;
  RgbImage* image;
};

// The bank's 127 files in slot order, as LoadTextures visits them.
std::vector<std::string> BankPaths() {
  std::vector<std::string> paths;
  for (int slot = 0; slot < textureBankImages; ++slot) paths.push_back(TextureFile(slot));
  return paths;
}

// Reads each file whole, then uploads its pixels as the bank does.
bool ReadFilesAndUpload(const std::vector<Picture>& pictures, std::vector<uint8_t>& bytes) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glGenTextures(textureBankSize, textureBank.names);
  size_t total = 0;
  for (const Picture& picture : pictures) {
    FILE* file = std::fopen(picture.path.c_str(), "rb");
    if (!file) return false;
    total += std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    glBindTexture(GL_TEXTURE_2D, textureBank.names[picture.slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.image->width, picture.image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 picture.image->data);
  }
  return total > 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool load = argc == 2 && std::strcmp(argv[1], "load") == 0;
  const bool baseline = argc == 2 && std::strcmp(argv[1], "baseline") == 0;
  if (!load && !baseline) {
    std::fprintf(stderr, "usage: qeb_startup_once load|baseline (in a folder holding the demo's data)\n");
    return 2;
  }
  FixHeapState();
  GlTestWindow screen;
  if (!OpenGlTestWindow("Qeb bench", 640, 480, false, &screen)) {
    std::fprintf(stderr, "qeb_startup_once: no GL context (%s); run it on a display\n", SDL_GetError());
    return 1;
  }

  std::vector<Picture> pictures;
  std::vector<uint8_t> bytes(1 << 20);
  if (baseline) {
    const std::vector<std::string> paths = BankPaths();
    for (size_t slot = 0; slot < paths.size(); ++slot) {
      RgbImage* image = LoadDibImage(paths[slot].c_str());
      if (!image) {
        std::fprintf(stderr, "qeb_startup_once: %s did not decode\n", paths[slot].c_str());
        return 1;
      }
      pictures.push_back({paths[slot], int(slot), image});
    }
  }

  // glFinish: the uploads count until the driver has taken them.
  const auto start = std::chrono::steady_clock::now();
  const bool loaded = load ? LoadTextures() != 0 : ReadFilesAndUpload(pictures, bytes);
  glFinish();
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  if (!loaded) {
    std::fprintf(stderr, "qeb_startup_once: the pictures did not load\n");
    return 1;
  }
  std::printf("%.3f\n", elapsed.count());

  for (Picture& picture : pictures) {
    std::free(picture.image->data);
    std::free(picture.image);
  }
  CloseGlTestWindow(&screen);
  return 0;
}

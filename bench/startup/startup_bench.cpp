// The start-up's texture loading on a real GL context: LoadTextures for the
// 127 pictures of the demo's default data, against the least that loading
// them can cost: reading the same files and uploading the same pixels (decoded
// beforehand) into the same texture names, with nothing else. Both delete
// their textures at the end of each pass, so every pass starts alike.
// Needs a display (scripts/run-benchmarks.sh starts a private Xvfb).
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/data_set.h"
#include "gl_test_window.h"
#include "image/dib_image.h"
#include "image/texture_bank.h"

namespace {

struct Picture {
  std::string path;
  int slot;
  RgbImage* image;  // decoded once, for the baseline's uploads
};

std::vector<Picture> pictures;

// The bank's 127 files in slot order, as LoadTextures visits them.
std::vector<std::string> BankPaths() {
  std::vector<std::string> paths;
  for (int slot = 0; slot < textureBankImages; ++slot) paths.push_back(TextureFile(slot));
  return paths;
}

bool OpenContext() {
  GlTestWindow screen;
  return OpenGlTestWindow("Qeb bench", 640, 480, false, &screen);
}

void DeleteBank() {
  glDeleteTextures(textureBankSize, textureBank.names);
  glFinish();
}

void BM_LoadTextures(benchmark::State& state) {
  for (auto _ : state) {
    if (!LoadTextures()) {
      state.SkipWithError("no picture loaded");
      break;
    }
    DeleteBank();
  }
}

// Reads each file whole, then uploads its pixels as the bank does.
void BM_ReadFilesAndUpload(benchmark::State& state) {
  std::vector<uint8_t> bytes(1 << 20);
  for (auto _ : state) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(textureBankSize, textureBank.names);
    for (const Picture& picture : pictures) {
      FILE* file = std::fopen(picture.path.c_str(), "rb");
      if (!file) {
        state.SkipWithError("a picture file is missing");
        return;
      }
      benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
      std::fclose(file);
      glBindTexture(GL_TEXTURE_2D, textureBank.names[picture.slot]);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.image->width, picture.image->height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                   picture.image->data);
    }
    DeleteBank();
  }
}

BENCHMARK(BM_LoadTextures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFilesAndUpload)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The default data, written once into a folder of its own that becomes the working directory.
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "qeb-startup-bench";
  std::filesystem::remove_all(folder);
  if (!WriteDataSet(folder.string())) return 1;
  std::filesystem::current_path(folder);
  if (!OpenContext()) {
    std::fprintf(stderr, "startup bench: no GL context (%s); run it on a display\n", SDL_GetError());
    return 1;
  }
  const std::vector<std::string> paths = BankPaths();
  for (size_t slot = 0; slot < paths.size(); ++slot) {
    RgbImage* image = LoadDibImage(paths[slot].c_str());
    if (!image) {
      std::fprintf(stderr, "startup bench: %s did not decode\n", paths[slot].c_str());
      return 1;
    }
    pictures.push_back({paths[slot], int(slot), image});
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (Picture& picture : pictures) {
    std::free(picture.image->data);
    std::free(picture.image);
  }
  std::filesystem::remove_all(folder);
  return 0;
}

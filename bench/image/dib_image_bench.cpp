// LoadDibImage on 256x256 pictures of the demo's own data, in the three forms
// its files take (24-bit, 8-bit palette, 4-bit palette with a core header),
// against two libraries that read the same files (stb_image to red-green-blue,
// SDL_LoadBMP to a surface) and against a plain copy of the same bytes:
// reading the file whole into a fresh block, and copying it in memory.
// Every benchmark takes the format as its argument: 24, 8 or 4.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "datagen/bmp_writer.h"
#include "datagen/palette_match.h"
#include "datagen/title_cards.h"
#include "datagen/world_textures.h"
#include "image/dib_image.h"

namespace {
IndexedPicture SixteenColours(const Picture& picture) {
  std::vector<Rgb> palette;
  for (int i = 0; i < 16; ++i)
    palette.push_back(Rgb{uint8_t(i & 1 ? 255 : 40), uint8_t(i & 2 ? 220 : 30), uint8_t(i * 16)});
  return MatchToPalette(picture, palette, 24.0);
}

// The file of each format, written once per process: the floor texture
// (24-bit), the closing picture (8-bit) and the first end picture matched to
// 16 colours (4-bit, core header), all 256x256 as in the demo's data.
const std::string& PathOf(int bitCount) {
  static std::string paths[3];
  const int which = bitCount == 24 ? 0 : bitCount == 8 ? 1 : 2;
  if (paths[which].empty()) {
    const std::vector<uint8_t> bytes = bitCount == 24  ? EncodeBmp24(MakeFloorTexture())
                                       : bitCount == 8 ? EncodeBmp8(MakeClosingPicture())
                                                       : EncodeBmp4Core(SixteenColours(MakeFirstEndPicture()));
    paths[which] = "/tmp/qeb-image-bench-" + std::to_string(bitCount) + ".bmp";
    if (!WriteFileBytes(paths[which], bytes)) std::abort();
  }
  return paths[which];
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  uint8_t block[65536];
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);
  return bytes;
}

void BM_LoadDibImage(benchmark::State& state) {
  const std::string& path = PathOf(int(state.range(0)));
  for (auto _ : state) {
    RgbImage* image = LoadDibImage(path.c_str());
    if (!image || image->width != 256 || image->height != 256) {
      state.SkipWithError("the picture did not decode to 256x256");
      break;
    }
    benchmark::DoNotOptimize(image->data);
    std::free(image->data);
    std::free(image);
  }
}

void BM_StbImage(benchmark::State& state) {
  const std::string& path = PathOf(int(state.range(0)));
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!pixels || width != 256 || height != 256) {
      state.SkipWithError("stb_image did not decode the picture");
      break;
    }
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}

// SDL keeps the file's own pixel layout: BGR rows for 24 bits, palette
// indices (one byte a pixel) for 8 and 4 bits; it converts no colour.
void BM_SdlLoadBmp(benchmark::State& state) {
  const std::string& path = PathOf(int(state.range(0)));
  for (auto _ : state) {
    SDL_Surface* surface = SDL_LoadBMP(path.c_str());
    if (!surface || surface->w != 256 || surface->h != 256) {
      state.SkipWithError("SDL_LoadBMP did not load the picture");
      break;
    }
    benchmark::DoNotOptimize(surface->pixels);
    SDL_FreeSurface(surface);
  }
}

// SDL_LoadBMP followed by SDL's conversion to the decoder's own output, rows
// of red, green, blue: the same job as LoadDibImage.
void BM_SdlLoadBmpToRgb(benchmark::State& state) {
  const std::string& path = PathOf(int(state.range(0)));
  for (auto _ : state) {
    SDL_Surface* surface = SDL_LoadBMP(path.c_str());
    SDL_Surface* rgb = surface ? SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
    if (!rgb || rgb->w != 256 || rgb->h != 256) {
      state.SkipWithError("SDL did not convert the picture");
      SDL_FreeSurface(surface);
      break;
    }
    benchmark::DoNotOptimize(rgb->pixels);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(surface);
  }
}

// The least any decoder of the file must do: read its bytes into memory of its own.
void BM_ReadFileCopy(benchmark::State& state) {
  const std::string& path = PathOf(int(state.range(0)));
  const size_t size = ReadAll(path).size();
  for (auto _ : state) {
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(size));
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!copy || !file || std::fread(copy, 1, size, file) != size) {
      state.SkipWithError("the file could not be read");
      if (file) std::fclose(file);
      std::free(copy);
      break;
    }
    std::fclose(file);
    benchmark::DoNotOptimize(copy);
    std::free(copy);
  }
}

// The same bytes already in memory, copied into a fresh block.
void BM_MemoryCopy(benchmark::State& state) {
  const std::vector<uint8_t> bytes = ReadAll(PathOf(int(state.range(0))));
  for (auto _ : state) {
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(bytes.size()));
    std::memcpy(copy, bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy);
    benchmark::ClobberMemory();
    std::free(copy);
  }
}

BENCHMARK(BM_LoadDibImage)->Arg(24)->Arg(8)->Arg(4);
BENCHMARK(BM_StbImage)->Arg(24)->Arg(8)->Arg(4);
BENCHMARK(BM_SdlLoadBmp)->Arg(24)->Arg(8)->Arg(4);
BENCHMARK(BM_SdlLoadBmpToRgb)->Arg(24)->Arg(8)->Arg(4);
BENCHMARK(BM_ReadFileCopy)->Arg(24)->Arg(8)->Arg(4);
BENCHMARK(BM_MemoryCopy)->Arg(24)->Arg(8)->Arg(4);

}  // namespace

// The cost of LoadDibImage on a 256x256 picture (the size of the demo's
// textures), 24-bit and 8-bit, against copying the same file's bytes with
// memcpy and against reading the file with fread, all in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/dib_image.h"

namespace {

constexpr int side = 256;

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> MakeBmp(int bitCount) {
  const int colours = bitCount == 8 ? 256 : 0;
  const size_t rowBytes = (size_t(side) * bitCount / 8 + 3) / 4 * 4;
  const uint32_t offset = 14 + 40 + 4 * colours;
  std::vector<uint8_t> file = {'B', 'M'};
  Put32(file, uint32_t(offset + rowBytes * side));
  Put32(file, 0);
  Put32(file, offset);
  Put32(file, 40);
  Put32(file, side);
  Put32(file, side);
  Put32(file, 1 | uint32_t(bitCount) << 16);  // planes, bit count
  for (int i = 0; i < 6; ++i) Put32(file, 0);
  for (int i = 0; i < colours; ++i) Put32(file, uint32_t(i * 0x010203));
  for (size_t i = 0; i < rowBytes * side; ++i) file.push_back(uint8_t(i * 7));
  return file;
}

std::string WriteTemporary(const std::vector<uint8_t>& bytes, const char* name) {
  const std::string path = std::string("/tmp/qeb-bench-") + name + ".bmp";
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

void DecodeFile(benchmark::State& state, int bitCount) {
  const std::string path = WriteTemporary(MakeBmp(bitCount), bitCount == 24 ? "bgr24" : "pal8");
  for (auto _ : state) {
    RgbImage* image = LoadDibImage(path.c_str());
    if (!image) state.SkipWithError("the picture did not decode");
    benchmark::DoNotOptimize(image);
    if (image) std::free(image->data);
    std::free(image);
  }
  std::remove(path.c_str());
}

void BM_LoadDibImage24(benchmark::State& state) { DecodeFile(state, 24); }
void BM_LoadDibImage8(benchmark::State& state) { DecodeFile(state, 8); }

void BM_MemcpyOfFile(benchmark::State& state) {
  const std::vector<uint8_t> file = MakeBmp(24);
  std::vector<uint8_t> copy(file.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), file.data(), file.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
}

void BM_FreadOfFile(benchmark::State& state) {
  const std::vector<uint8_t> bytes = MakeBmp(24);
  const std::string path = WriteTemporary(bytes, "fread");
  std::vector<uint8_t> copy(bytes.size());
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(copy.data(), 1, copy.size(), file));
    std::fclose(file);
  }
  std::remove(path.c_str());
}

BENCHMARK(BM_LoadDibImage24);
BENCHMARK(BM_LoadDibImage8);
BENCHMARK(BM_MemcpyOfFile);
BENCHMARK(BM_FreadOfFile);

}  // namespace

BENCHMARK_MAIN();

// The data set as the demo sees it: every file where the demo looks for it,
// loaded through the demo's own loaders without a single message box, and
// the same bytes from every run of the generator.
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <set>

#include <gtest/gtest.h>

#include "answered_message_boxes.h"
#include "datagen/camera_script.h"
#include "datagen/loudness.h"
#include "datagen/room.h"
#include "datagen/soundtrack.h"
#include "generated_data.h"
#include "image/texture_bank.h"
#include "scene/camera_path.h"
#include "scene/scene_state.h"
#include "scene/world.h"

namespace fs = std::filesystem;

namespace {
std::map<std::string, std::string> ReadTree(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    files[fs::relative(entry.path(), root).generic_string()] =
        std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  }
  return files;
}

double TriangleArea(const WorldTriangle& triangle) {
  const WorldVertex &a = triangle.vertices[0], &b = triangle.vertices[1], &c = triangle.vertices[2];
  const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  return 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
}

// Which surface of the room a triangle lies in.
enum class Surface { floor, wall, ceiling, other };

Surface SurfaceOf(const WorldTriangle& triangle) {
  auto all = [&](auto test) { return std::all_of(triangle.vertices, triangle.vertices + 3, test); };
  const float h = float(roomHalfWidth);
  if (all([](const WorldVertex& v) { return v.y == float(roomFloorY); })) return Surface::floor;
  if (all([](const WorldVertex& v) { return v.y == float(roomCeilingY); })) return Surface::ceiling;
  for (float side : {-h, h}) {
    if (all([&](const WorldVertex& v) { return v.x == side; }) ||
        all([&](const WorldVertex& v) { return v.z == side; })) {
      return Surface::wall;
    }
  }
  return Surface::other;
}
}  // namespace

TEST(DataSet, TwoRunsWriteTheSameCompleteSetOfFiles) {
  ASSERT_FALSE(SharedDataSet().empty()) << "qeb-datagen failed";
  const std::string fresh = RunDataGenerator();
  ASSERT_FALSE(fresh.empty()) << "qeb-datagen failed";
  const auto written = ReadTree(fresh);

  std::set<std::string> expected = {"Data/world.txt", "Data/cam.txt", "Data/demo.mp3"};
  for (const std::string& path : TextureBankPaths()) expected.insert(path);
  std::set<std::string> paths;
  for (const auto& [path, bytes] : written) paths.insert(path);
  EXPECT_EQ(paths, expected);

  const auto earlier = ReadTree(SharedDataSet());
  for (const auto& [path, bytes] : written) {
    ASSERT_EQ(earlier.count(path), 1u) << path;
    EXPECT_TRUE(earlier.at(path) == bytes) << path << " differs between runs";
  }
}

TEST_F(InDataSetFolder, WorldIsAClosedRoomTexturedByTheWorldPassOrder) {
  LoadWorld();
  ASSERT_EQ(world.triangleCount, 36);
  // The world pass gives triangle i the texture of i modulo 6: map3 (floor
  // slabs) for 0 and 1, map2 (wall panels) for 2 and 3, map1 (ceiling) for 4 and 5.
  const Surface expected[6] = {Surface::floor, Surface::floor,   Surface::wall,
                               Surface::wall,  Surface::ceiling, Surface::ceiling};
  std::map<Surface, double> area;
  for (int i = 0; i < 36; ++i) {
    const Surface surface = SurfaceOf(world.triangles[i]);
    EXPECT_EQ(surface, expected[i % 6]) << "triangle " << i;
    area[surface] += TriangleArea(world.triangles[i]);
  }
  // Closed: floor, ceiling and the four walls are covered in full.
  const double side = 2 * roomHalfWidth, height = roomCeilingY - roomFloorY;
  EXPECT_NEAR(area[Surface::floor], side * side, 1e-3);
  EXPECT_NEAR(area[Surface::ceiling], side * side, 1e-3);
  EXPECT_NEAR(area[Surface::wall], 4 * side * height, 1e-3);
}

TEST_F(InDataSetFolder, CameraScriptGivesExactly195Steps) {
  // Steps the file gives overwrite this mark; the others keep it.
  const CameraStep mark = {99, 99, 99, 99, 99, 99};
  std::fill(std::begin(cameraPath.steps), std::end(cameraPath.steps), mark);
  LoadCameraPath();
  for (int i = 0; i < cameraPathLength; ++i) {
    EXPECT_EQ(cameraPath.steps[i].dPosX == 99.0f, i >= 195) << "step " << i;
  }
  ResetSceneState();
}

TEST_F(InDataSetFolder, All127PicturesDecodeAsPowerOfTwoSquares) {
  int decoded = 0;
  for (const std::string& path : TextureBankPaths()) {
    RgbImage* image = LoadBitmapFile(path.c_str());
    if (!image) {
      ADD_FAILURE() << path << " did not decode";
      continue;
    }
    ++decoded;
    EXPECT_TRUE(image->width == 128 || image->width == 256) << path;
    EXPECT_EQ(image->height, image->width) << path;
    std::free(image->data);
    std::free(image);
  }
  EXPECT_EQ(decoded, 127);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty()) << answeredMessageBoxes.shown.front().text;
}

namespace {
struct DecodedSound {
  long rate = 0;
  int channels = 0, encoding = 0, status = MPG123_OK;
  std::vector<int16_t> samples;  // interleaved
};

// Data/demo.mp3 decoded the way the demo's player decodes it.
DecodedSound DecodeSoundtrack() {
  DecodedSound sound;
  mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
  if (!decoder) return sound;
  if (mpg123_open(decoder, "Data/demo.mp3") != MPG123_OK ||
      mpg123_getformat(decoder, &sound.rate, &sound.channels, &sound.encoding) != MPG123_OK) {
    mpg123_delete(decoder);
    return sound;
  }
  std::vector<unsigned char> block(65536);
  while (sound.status == MPG123_OK && sound.encoding == MPG123_ENC_SIGNED_16) {
    size_t bytes = 0;
    sound.status = mpg123_read(decoder, block.data(), block.size(), &bytes);
    const auto* samples = reinterpret_cast<const int16_t*>(block.data());
    sound.samples.insert(sound.samples.end(), samples, samples + bytes / 2);
  }
  mpg123_close(decoder);
  mpg123_delete(decoder);
  return sound;
}

double RmsOf(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames) {
  double sum = 0;
  for (size_t i = 2 * firstFrame; i < 2 * (firstFrame + frames); ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / (2.0 * frames));
}
}  // namespace

TEST_F(InDataSetFolder, SoundtrackLastsAFullRunAtSixtyFramesASecond) {
  const DecodedSound sound = DecodeSoundtrack();
  EXPECT_EQ(sound.rate, soundtrackSampleRate);
  EXPECT_EQ(sound.channels, MPG123_STEREO);
  ASSERT_EQ(sound.encoding, MPG123_ENC_SIGNED_16);
  EXPECT_EQ(sound.status, MPG123_DONE);
  // The encoder's delay and padding are declared in the stream, so the
  // decoder gives back exactly the frames that were synthesised: as many
  // as a full run of the clock lasts at 60 frames a second.
  const std::vector<int> frames = FramesPerSlot();
  const long showFramesCounted = std::accumulate(frames.begin(), frames.end(), 0L);
  EXPECT_EQ(sound.samples.size() / 2, size_t(showFramesCounted) * soundtrackSampleRate / 60);
}

// Decibels below full scale of an RMS level.
double DecibelsOf(double rms) { return 20.0 * std::log10(std::max(rms, 1e-3) / 32768.0); }

// It ends before the clock does: the last chord dies away over a second and
// a half, quarter by quarter, and the last half second stays below -40 dB,
// so the end of the show cuts no sound still ringing. It starts from silence,
// so the demo's loop (when frames come faster than 60 a second) joins
// without a click.
TEST_F(InDataSetFolder, SoundtrackDiesAwayBeforeTheClockEnds) {
  const std::vector<int16_t> samples = DecodeSoundtrack().samples;
  const size_t frames = samples.size() / 2, quarter = soundtrackSampleRate / 4, half = soundtrackSampleRate / 2;
  ASSERT_GT(frames, 10 * quarter);
  const double whole = RmsOf(samples, 0, frames);
  EXPECT_GT(whole, 1000.0) << "the soundtrack is nearly silent";
  const size_t fadeEnd = frames - half;
  double before = RmsOf(samples, fadeEnd - 6 * quarter, quarter);
  for (size_t k = 5; k >= 1; --k) {
    const double now = RmsOf(samples, fadeEnd - k * quarter, quarter);
    EXPECT_LT(now, before) << "quarter second " << 6 - k << " of the fade";
    before = now;
  }
  EXPECT_LT(DecibelsOf(RmsOf(samples, frames - half, half)), -40.0) << "the last half second";
  EXPECT_LT(RmsOf(samples, 0, soundtrackSampleRate / 100), whole * 0.05) << "the opening";
}

TEST_F(InDataSetFolder, SoundtrackIsLoudButNeverClips) {
  const std::vector<int16_t> samples = DecodeSoundtrack().samples;
  ASSERT_FALSE(samples.empty());
  int peak = 0;
  for (int16_t sample : samples) peak = std::max(peak, std::abs(int(sample)));
  EXPECT_LT(peak, 32767) << "the soundtrack clips";
  EXPECT_GT(peak, 32767 / 2);
  std::vector<float> left, right;
  for (size_t i = 0; i + 1 < samples.size(); i += 2) {
    left.push_back(samples[i] / 32768.0f);
    right.push_back(samples[i + 1] / 32768.0f);
  }
  EXPECT_NEAR(IntegratedLoudness(left, right, soundtrackSampleRate), soundtrackLoudness, 0.3);
}

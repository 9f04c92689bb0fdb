// qeb-make run as a person runs it: pictures of every kind and some broken
// files in, a data set out, read back through the demo's own loaders.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

#include "answered_message_boxes.h"
#include "datagen/loudness.h"
#include "datagen/soundtrack.h"
#include "image/dib_image.h"
#include "media_fixtures.h"
#include "scene/camera_path.h"
#include "scene/world.h"
#include "song.h"
#include "temporary_directory.h"

namespace fs = std::filesystem;

namespace {
struct RunResult {
  int status = -1;
  std::string errors;
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

RunResult RunMake(const std::vector<std::string>& arguments, const fs::path& scratch) {
  std::string command = Quote(QEB_MAKE);
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  const fs::path errors = scratch / "stderr.txt";
  command += " 2>" + Quote(errors.string());
  RunResult result;
  const int status = std::system(command.c_str());
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream stream(errors);
  result.errors.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  return result;
}

bool Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
  return !bytes.empty() &&
         WriteFileCreatingFolders(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Every readable file below the folder, by name, with its bytes.
std::map<std::string, std::string> ReadTree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::ifstream stream(entry.path(), std::ios::binary);
    files[entry.path().string()] =
        std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  }
  return files;
}

using Colour = std::array<uint8_t, 3>;

RgbaPicture Solid(int width, int height, Colour colour) {
  return MakeRgba(width, height, [&](int, int, uint8_t* p) {
    p[0] = colour[0];
    p[1] = colour[1];
    p[2] = colour[2];
    p[3] = 255;
  });
}

// A decoded picture of the data set; rows bottom first.
struct Loaded {
  RgbImage* image = nullptr;
  explicit Loaded(const fs::path& path) : image(LoadDibImage(path.c_str())) {}
  ~Loaded() {
    if (image) std::free(image->data);
    std::free(image);
  }
  // The mean colour of a block, with y counted from the top.
  Colour Mean(int x0, int y0, int w, int h) const {
    long sum[3] = {};
    for (int y = y0; y < y0 + h; ++y) {
      const uint8_t* row = image->data + size_t(image->height - 1 - y) * image->width * 3;
      for (int x = x0; x < x0 + w; ++x) {
        for (int c = 0; c < 3; ++c) sum[c] += row[x * 3 + c];
      }
    }
    return {uint8_t(sum[0] / (w * h)), uint8_t(sum[1] / (w * h)), uint8_t(sum[2] / (w * h))};
  }
};

bool Near(Colour a, Colour b, int tolerance = 12) {
  for (int c = 0; c < 3; ++c) {
    if (std::abs(a[c] - b[c]) > tolerance) return false;
  }
  return true;
}

std::string Show(Colour c) { return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]); }

// The 120 slot files in the order the show plays them.
std::vector<std::string> SlotFiles() {
  std::vector<std::string> files;
  for (int k = 1; k <= 40; ++k) files.push_back("Data/anim1/anim_" + std::to_string(k) + ".bmp");
  for (int k = 41; k <= 80; ++k) files.push_back("Data/anim2/anim_" + std::to_string(k) + ".bmp");
  for (int k = 1; k <= 40; ++k) files.push_back("Data/anim3/frame" + std::to_string(k) + ".bmp");
  return files;
}

// Folders left beside the target by a run: none may remain.
int LeftoverFolders(const fs::path& parent) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(parent))
    count += entry.path().filename().string().find(".qeb-make-") != std::string::npos;
  return count;
}

constexpr Colour red{230, 20, 20}, blue{20, 20, 230}, green{20, 200, 40}, grey{128, 128, 128};

// The pictures of the input table: a file name (the order of the show), how
// to write it, and either the colour its slots show or the reason it is skipped.
struct InputCase {
  std::string name;
  std::function<bool(const fs::path&)> write;
  Colour colour;      // the middle of its slot, when usable
  std::string error;  // empty when usable
};

// Writes a picture of one colour with the FFmpeg encoder `codec`.
std::function<bool(const fs::path&)> SolidFile(const char* codec, int width, int height, Colour colour) {
  return [=](const fs::path& p) { return Write(p, EncodePicture(codec, Solid(width, height, colour))); };
}

std::vector<InputCase> InputCases() {
  std::vector<InputCase> cases;
  // Stored 64x32, left half red and right half blue; orientation 6 turns it
  // a quarter clockwise, so the red half is on top when shown.
  cases.push_back({"01-turned.jpg",
                   [](const fs::path& p) {
                     const RgbaPicture halves = MakeRgba(64, 32, [](int x, int, uint8_t* q) {
                       const Colour c = x < 32 ? red : blue;
                       q[0] = c[0], q[1] = c[1], q[2] = c[2], q[3] = 255;
                     });
                     return Write(p, WithExif(EncodePicture("mjpeg", halves), 6));
                   },
                   red, ""});
  // Transparent left half, opaque green right half: the left shows the background grey.
  cases.push_back({"02-alpha.png",
                   [](const fs::path& p) {
                     return Write(p, EncodePicture("png", MakeRgba(48, 48, [](int x, int, uint8_t* q) {
                                                     q[0] = green[0], q[1] = green[1], q[2] = green[2],
                                                     q[3] = x < 24 ? 0 : 255;
                                                   })));
                   },
                   grey, ""});
  cases.push_back({"03-two-frames.gif",
                   [](const fs::path& p) {
                     return WriteGif(p, {Solid(40, 40, {255, 255, 0}), Solid(40, 40, {255, 0, 255})});
                   },
                   {255, 255, 0},
                   ""});
  cases.push_back({"04-web.webp", SolidFile("libwebp", 50, 30, {0, 200, 200}), {0, 200, 200}, ""});
  cases.push_back({"05-plain.bmp", SolidFile("bmp", 30, 50, {250, 140, 0}), {250, 140, 0}, ""});
  cases.push_back({"06-scan.tiff", SolidFile("tiff", 33, 33, {120, 60, 200}), {120, 60, 200}, ""});
  cases.push_back({"07-truncated.jpg",
                   [](const fs::path& p) {
                     std::vector<uint8_t> jpeg =
                         EncodePicture("mjpeg", MakeRgba(200, 200, [](int x, int y, uint8_t* q) {
                                         q[0] = uint8_t(x), q[1] = uint8_t(y), q[2] = uint8_t(x ^ y), q[3] = 255;
                                       }));
                     jpeg.resize(jpeg.size() / 2);
                     return Write(p, jpeg);
                   },
                   {},
                   "corrupt"});
  // A PNG whose header claims 60000 x 60000 pixels, with a valid checksum.
  cases.push_back({"08-bomb.png",
                   [](const fs::path& p) {
                     std::vector<uint8_t> png = EncodePicture("png", Solid(8, 8, {1, 2, 3}));
                     const uint32_t side = 60000;
                     for (int i = 0; i < 4; ++i) png[16 + i] = png[20 + i] = uint8_t(side >> (24 - 8 * i));
                     uint32_t crc = 0xFFFFFFFFu;  // over the chunk's type and data, 17 bytes from offset 12
                     for (int i = 12; i < 29; ++i) {
                       crc ^= png[size_t(i)];
                       for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
                     }
                     crc ^= 0xFFFFFFFFu;
                     for (int i = 0; i < 4; ++i) png[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
                     return Write(p, png);
                   },
                   {},
                   "too many pixels"});
  cases.push_back(
      {"09-empty.jpg", [](const fs::path& p) { return WriteFileCreatingFolders(p, ""); }, {}, "empty file"});
  cases.push_back({"10-notes.jpg",
                   [](const fs::path& p) { return WriteFileCreatingFolders(p, "shopping: milk, eggs\n"); },
                   {},
                   "not a picture"});
  if (geteuid() != 0) {  // the superuser reads any file
    cases.push_back({"11-locked.png",
                     [](const fs::path& p) {
                       return Write(p, EncodePicture("png", Solid(8, 8, {9, 9, 9}))) && chmod(p.c_str(), 0) == 0;
                     },
                     {},
                     "Permission denied"});
  }
  return cases;
}

class MakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AnswerMessageBoxesFromScript();
    av_log_set_level(AV_LOG_ERROR);  // the encoders of the fixtures keep their advice to themselves
  }
  // A two-second song, for the runs that are not about the music: the
  // default soundtrack takes seconds to synthesise.
  std::string ShortSong() {
    const fs::path song = scratch.path() / "short.flac";
    if (!fs::exists(song)) {
      EXPECT_TRUE(WriteSong(song.string(), "flac", "flac", 2, 0.2));
    }
    return song.string();
  }
  TemporaryDirectory scratch{"qeb-make-test"};
};

TEST_F(MakeTest, PicturesOfEveryKindFillEverySlotAndBrokenOnesAreNamed) {
  const fs::path pictures = scratch.path() / "pictures", out = scratch.path() / "show";
  const std::vector<InputCase> cases = InputCases();
  std::vector<Colour> expected;
  for (const InputCase& c : cases) {
    ASSERT_TRUE(c.write(pictures / c.name)) << c.name;
    if (c.error.empty()) expected.push_back(c.colour);
  }
  const std::map<std::string, std::string> inputsBefore = ReadTree(pictures);
  const RunResult run = RunMake({pictures.string(), "-o", out.string()}, scratch.path());
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(ReadTree(pictures), inputsBefore) << "an input was changed";
  for (const InputCase& c : cases) {
    const std::string line = "skipped " + (pictures / c.name).string() + ": ";
    const size_t at = run.errors.find(line);
    if (c.error.empty()) {
      EXPECT_EQ(at, std::string::npos) << run.errors;
    } else {
      ASSERT_NE(at, std::string::npos) << c.name << "\n" << run.errors;
      EXPECT_NE(run.errors.find(c.error, at), std::string::npos) << c.name << "\n" << run.errors;
    }
  }

  // Every slot holds a 256 x 256 picture; the usable pictures follow one
  // another in name order, each in a run of 120 / 6 = 20 slots.
  const std::vector<std::string> slots = SlotFiles();
  const int run_length = 120 / int(expected.size());
  for (size_t slot = 0; slot < slots.size(); ++slot) {
    Loaded picture(out / slots[slot]);
    ASSERT_NE(picture.image, nullptr) << slots[slot];
    ASSERT_EQ(picture.image->width, 256);
    ASSERT_EQ(picture.image->height, 256);
    const Colour want = expected[slot / size_t(run_length)];
    // The middle of the left half: the turned JPEG's and the PNG's are special.
    const Colour left = picture.Mean(32, 96, 64, 64), top = picture.Mean(96, 16, 64, 64),
                 bottom = picture.Mean(96, 176, 64, 64);
    if (slot / run_length == 0) {
      EXPECT_TRUE(Near(top, red, 40) && Near(bottom, blue, 40))
          << "turned the wrong way: top " << Show(top) << ", bottom " << Show(bottom);
    } else if (slot / run_length == 1) {
      EXPECT_TRUE(Near(left, grey) && Near(picture.Mean(160, 96, 64, 64), green)) << Show(left);
    } else {
      EXPECT_TRUE(Near(left, want)) << slots[slot] << ": " << Show(left) << " for " << Show(want);
    }
  }
  for (const char* name : {"Data/begin.bmp", "Data/end1.bmp", "Data/end2.bmp", "Data/map1.bmp", "Data/map2.bmp",
                           "Data/map3.bmp", "Data/map4.bmp"}) {
    Loaded picture(out / name);
    EXPECT_NE(picture.image, nullptr) << name;
  }
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());

  FILE* worldFile = std::fopen((out / "Data/world.txt").c_str(), "r");
  ASSERT_NE(worldFile, nullptr);
  LoadWorldFromStream(worldFile);
  std::fclose(worldFile);
  EXPECT_EQ(world.triangleCount, 36);
  EXPECT_TRUE(fs::file_size(out / "Data/cam.txt") > 0 && fs::file_size(out / "Data/demo.mp3") > 100000);
  EXPECT_TRUE(fs::exists(out / "qeb-make.txt"));
  EXPECT_EQ(LeftoverFolders(scratch.path()), 0);
}

TEST_F(MakeTest, NoUsablePictureMakesNothing) {
  const fs::path pictures = scratch.path() / "pictures", out = scratch.path() / "show";
  for (const InputCase& c : InputCases()) {
    if (c.error.empty()) continue;
    ASSERT_TRUE(c.write(pictures / c.name));
  }
  const RunResult run = RunMake({pictures.string(), "-o", out.string(), "--music", ShortSong()}, scratch.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("no usable picture"), std::string::npos) << run.errors;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(LeftoverFolders(scratch.path()), 0);
}

TEST_F(MakeTest, MorePicturesThanSlotsArePickedEvenlyAndTheRestNamed) {
  const fs::path pictures = scratch.path() / "pictures", out = scratch.path() / "show";
  const std::vector<uint8_t> bmp = EncodePicture("bmp", Solid(8, 8, {10, 10, 10}));
  for (int i = 1; i <= 125; ++i) ASSERT_TRUE(Write(pictures / ("p" + std::to_string(i) + ".bmp"), bmp));
  const RunResult run =
      RunMake({pictures.string(), "-o", out.string(), "--room", out.string() + "-none"}, scratch.path());
  // Without a room the run stops before any picture is read.
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("no readable Data/world.txt"), std::string::npos) << run.errors;

  const RunResult made = RunMake({pictures.string(), "-o", out.string(), "--music", ShortSong()}, scratch.path());
  ASSERT_EQ(made.status, 0) << made.errors;
  int leftOut = 0;
  for (size_t at = made.errors.find("left out " + pictures.string()); at != std::string::npos;
       at = made.errors.find("left out " + pictures.string(), at + 1)) {
    ++leftOut;
  }
  EXPECT_EQ(leftOut, 5) << made.errors;
  std::ifstream note(out / "qeb-make.txt");
  const std::string text(std::istreambuf_iterator<char>(note), {});
  // Name order counts "p2" before "p10"; the first and last pictures are kept.
  EXPECT_NE(text.find("anim1/anim_1.bmp  " + (pictures / "p1.bmp").string() + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("anim3/frame40.bmp  " + (pictures / "p125.bmp").string() + "\n"), std::string::npos) << text;

  // An existing target is refused without --force and replaced with it.
  const RunResult again = RunMake({pictures.string(), "-o", out.string(), "--music", ShortSong()}, scratch.path());
  EXPECT_EQ(again.status, 2);
  EXPECT_NE(again.errors.find("--force"), std::string::npos);
  // With a title in letters of several scripts, one of which no font has.
  const RunResult forced = RunMake({(pictures / "p7.bmp").string(), "-o", out.string(), "--force", "--title",
                                    "\xC3\x89t\xC3\xA9 \xCE\xA9 \xF4\x8F\xBF\xBD"},
                                   scratch.path());
  EXPECT_EQ(forced.status, 0) << forced.errors;
  EXPECT_NE(forced.errors.find("cannot draw U+10FFFD of --title"), std::string::npos) << forced.errors;
  // The opening and end pictures carry light letters on the dark picture.
  for (const char* name : {"Data/begin.bmp", "Data/end1.bmp", "Data/end2.bmp"}) {
    Loaded card(out / name);
    ASSERT_NE(card.image, nullptr);
    int light = 0;
    for (int i = 0; i < card.image->width * card.image->height * 3; ++i) light += card.image->data[i] > 200;
    EXPECT_GT(light, 300) << name;
  }
  std::ifstream newNote(out / "qeb-make.txt");
  const std::string newText(std::istreambuf_iterator<char>(newNote), {});
  EXPECT_NE(newText.find("anim3/frame40.bmp  " + (pictures / "p7.bmp").string()), std::string::npos);
  EXPECT_EQ(LeftoverFolders(scratch.path()), 0);
}

TEST_F(MakeTest, ContainKeepsTheWholePictureOverItsBlurredCopyInTheGivenOrder) {
  const fs::path out = scratch.path() / "show";
  // Twice as wide as high, red on the left and blue on the right.
  const fs::path wide = scratch.path() / "b-wide.png", square = scratch.path() / "a-green.png";
  ASSERT_TRUE(Write(wide, EncodePicture("png", MakeRgba(200, 100, [](int x, int, uint8_t* q) {
                                          const Colour c = x < 100 ? red : blue;
                                          q[0] = c[0], q[1] = c[1], q[2] = c[2], q[3] = 255;
                                        }))));
  ASSERT_TRUE(Write(square, EncodePicture("png", Solid(50, 50, green))));
  const RunResult run = RunMake({wide.string(), square.string(), "-o", out.string(), "--order", "given", "--fit",
                                 "contain", "--size", "512", "--music", "/nonexistent/song.flac"},
                                scratch.path());
  EXPECT_EQ(run.status, 2);  // a song that is not there stops it before the pictures
  EXPECT_NE(run.errors.find("cannot use the song /nonexistent/song.flac"), std::string::npos) << run.errors;
  const RunResult made = RunMake({wide.string(), square.string(), "-o", out.string(), "--order", "given", "--fit",
                                  "contain", "--size", "512", "--music", ShortSong()},
                                 scratch.path());
  ASSERT_EQ(made.status, 0) << made.errors;
  Loaded first(out / "Data/anim1/anim_1.bmp"), last(out / "Data/anim3/frame40.bmp");
  ASSERT_TRUE(first.image && last.image);
  ASSERT_EQ(first.image->width, 512);
  ASSERT_EQ(first.image->height, 512);
  // The whole picture in the middle band (rows 128..383), both halves.
  EXPECT_TRUE(Near(first.Mean(40, 200, 100, 100), red, 20)) << Show(first.Mean(40, 200, 100, 100));
  EXPECT_TRUE(Near(first.Mean(372, 200, 100, 100), blue, 20)) << Show(first.Mean(372, 200, 100, 100));
  // Above it the blurred copy: a darker red over the left, blue over the
  // right, neither black nor the background grey.
  const Colour bandLeft = first.Mean(20, 40, 60, 40), bandRight = first.Mean(432, 40, 60, 40);
  EXPECT_TRUE(bandLeft[0] > 80 && bandLeft[0] < 200 && bandLeft[2] < 60) << Show(bandLeft);
  EXPECT_TRUE(bandRight[2] > 80 && bandRight[2] < 200 && bandRight[0] < 60) << Show(bandRight);
  EXPECT_TRUE(Near(last.Mean(200, 200, 100, 100), green)) << Show(last.Mean(200, 200, 100, 100));
}

TEST_F(MakeTest, DateOrderTakesTheDateTakenAndPutsUndatedPicturesLast) {
  const fs::path pictures = scratch.path() / "pictures", out = scratch.path() / "show";
  const struct {
    const char* name;
    const char* date;
    Colour colour;
  } files[] = {{"a.jpg", "2024:05:03 10:00:00", red}, {"b.jpg", "", green}, {"c.jpg", "2023:01:01 09:30:00", blue}};
  for (const auto& file : files) {
    ASSERT_TRUE(
        Write(pictures / file.name, WithExif(EncodePicture("mjpeg", Solid(32, 32, file.colour)), 1, file.date)));
  }
  const RunResult run =
      RunMake({pictures.string(), "-o", out.string(), "--order", "date", "--music", ShortSong()}, scratch.path());
  ASSERT_EQ(run.status, 0) << run.errors;
  // c (2023), a (2024), then b, undated: 40 places each.
  const Colour expected[] = {blue, red, green};
  const std::vector<std::string> slots = SlotFiles();
  for (int i = 0; i < 3; ++i) {
    Loaded picture(out / slots[size_t(i) * 40 + 20]);
    ASSERT_NE(picture.image, nullptr);
    EXPECT_TRUE(Near(picture.Mean(100, 100, 50, 50), expected[i], 20))
        << i << ": " << Show(picture.Mean(100, 100, 50, 50));
  }
}

// The songs of the music table: how to write one, and what becomes of it.
struct SongCase {
  std::string name;
  std::function<bool(const std::string&)> write;
  std::string error;  // empty when the song is used
  bool fadedOut;
};

TEST_F(MakeTest, SongsAreBroughtToTheSoundtracksLoudnessOrRefused) {
  const fs::path picture = scratch.path() / "picture.bmp";
  ASSERT_TRUE(Write(picture, EncodePicture("bmp", Solid(16, 16, {200, 100, 50}))));
  const std::vector<SongCase> songs = {
      // Quiet: brought up by 20 dB or so, with no peak in the way.
      {"quiet.flac", [](const std::string& p) { return WriteSong(p, "flac", "flac", 6, 0.03); }, "", false},
      // Quiet with full-scale clicks: the gain alone would clip them.
      {"clicks.flac", [](const std::string& p) { return WriteSong(p, "flac", "flac", 6, 0.05, true); }, "", false},
      // Longer than the show: cut and faded out.
      {"long.wav", [](const std::string& p) { return WriteSong(p, "wav", "pcm_s16le", 240, 0.3); }, "", true},
      {"silent.wav", [](const std::string& p) { return WriteSong(p, "wav", "pcm_s16le", 3, 0); }, "it is silent",
       false},
      {"notes.mp3", [](const std::string& p) { return WriteFileCreatingFolders(p, "la la la\n"); },
       "cannot use the song", false},
  };
  for (const SongCase& song : songs) {
    SCOPED_TRACE(song.name);
    const fs::path file = scratch.path() / song.name, out = scratch.path() / ("show-" + song.name);
    ASSERT_TRUE(song.write(file.string()));
    const RunResult run = RunMake({picture.string(), "--music", file.string(), "-o", out.string()}, scratch.path());
    if (!song.error.empty()) {
      EXPECT_EQ(run.status, 2);
      EXPECT_NE(run.errors.find(song.error), std::string::npos) << run.errors;
      EXPECT_FALSE(fs::exists(out));
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::vector<float>> sound = DecodeSong((out / "Data/demo.mp3").string());
    ASSERT_EQ(sound.size(), 2u);
    EXPECT_NEAR(IntegratedLoudness(sound[0], sound[1], 44100), soundtrackLoudness, 1.0);
    EXPECT_LT(TruePeak(sound[0], sound[1], 44100), -1.0);
    if (song.fadedOut) {
      // As long as the show, to within the encoder's last frame, and silent
      // over its last half second.
      EXPECT_NEAR(double(sound[0].size()), double(soundtrackFrames), 1152.0);
      float tail = 0;
      for (size_t i = sound[0].size() - 22050; i < sound[0].size(); ++i) tail = std::max(tail, std::fabs(sound[0][i]));
      EXPECT_LT(tail, 0.001f);
    } else {
      EXPECT_NEAR(double(sound[0].size()) / 44100, 6.0, 0.1);
    }
  }
  EXPECT_EQ(LeftoverFolders(scratch.path()), 0);
}

TEST_F(MakeTest, AnInterruptedRunLeavesNothing) {
  const fs::path pictures = scratch.path() / "pictures", out = scratch.path() / "show";
  const std::vector<uint8_t> jpeg = EncodePicture("mjpeg", MakeRgba(1600, 1200, [](int x, int y, uint8_t* q) {
                                                    q[0] = uint8_t(x * 7), q[1] = uint8_t(y * 3), q[2] = uint8_t(x + y),
                                                    q[3] = 255;
                                                  }));
  for (int i = 0; i < 60; ++i) ASSERT_TRUE(Write(pictures / ("p" + std::to_string(i) + ".jpg"), jpeg));
  const std::string song = ShortSong();
  for (int signal : {SIGTERM, SIGINT}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      freopen("/dev/null", "w", stderr);
      execl(QEB_MAKE, QEB_MAKE, pictures.c_str(), "-o", out.c_str(), "--music", song.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    // Interrupted once its temporary folder is there, well before it ends.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
    while (LeftoverFolders(scratch.path()) == 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(LeftoverFolders(scratch.path()), 1);
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << status;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(LeftoverFolders(scratch.path()), 0);
  }
}
}  // namespace

// qeb-capture run as a user runs it, on the default data set and on small
// fixtures, its files read back with FFmpeg's libraries and compared with
// what the demo's own code draws and decodes.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "gl_test_window.h"
#include "mp3_fixtures.h"
#include "platform/headless_gl.h"
#include "platform/message_box.h"
#include "render/draw_frame.h"
#include "render/init_scene.h"
#include "render/projection.h"
#include "render/wave_walls.h"
#include "soundtrack.h"
#include "temporary_directory.h"
#include "video_file.h"

namespace fs = std::filesystem;

namespace {

// The default data set, written by the test run's fixture; made here when
// the tests run on their own.
const std::string& DefaultData() {
  static const std::string folder = [] {
    if (fs::exists(fs::path(QEB_CAPTURE_DATA) / "Data/demo.mp3")) return std::string(QEB_CAPTURE_DATA);
    static const TemporaryDirectory made("qeb-capture-data");
    const std::string path = made.path().string();
    return std::system(("'" QEB_DATAGEN "' '" + path + "'").c_str()) == 0 ? path : std::string();
  }();
  return folder;
}

struct ToolRun {
  int status = -1;
  std::string output, errors;
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs qeb-capture in 'folder' as a shell would, standard error not a terminal.
ToolRun RunCapture(const fs::path& folder, const std::string& arguments) {
  const fs::path logs = fs::temp_directory_path() / ("qeb-capture-log-" + std::to_string(getpid()));
  const std::string command = "cd '" + folder.string() + "' && '" QEB_CAPTURE "' " + arguments + " >'" + logs.string() +
                              ".out' 2>'" + logs.string() + ".err' </dev/null";
  ToolRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.output = ReadText(logs.string() + ".out");
  run.errors = ReadText(logs.string() + ".err");
  fs::remove(logs.string() + ".out");
  fs::remove(logs.string() + ".err");
  return run;
}

// The frames of the demo's run (numbered from 1) whose clock lies in [from, to].
std::vector<int> FramesBetween(int32_t from, int32_t to) {
  std::vector<int> frames;
  demoTick = 0;
  bool ended = false;
  for (int frame = 1; !ended; ++frame) {
    ended = AdvanceDemoClock();
    if (demoTick >= from && demoTick <= to) frames.push_back(frame);
  }
  return frames;
}

int NoWaitingBoxes(WindowHandle, const char*, const char*, unsigned) { return IDOK; }

// The demo's own frames, drawn as its main loop draws them on a fresh scene,
// read back as RGB with the top row first. Frames before 'drawFrom' are run
// but not drawn: the clock, the camera and the wave move on without them.
std::map<int, std::vector<uint8_t>> DrawDemoFrames(const fs::path& data, int width, int height,
                                                   const std::set<int>& wanted, int drawFrom) {
  std::map<int, std::vector<uint8_t>> pictures;
  const fs::path previous = fs::current_path();
  fs::current_path(data);
  SetMessageBoxAnswerer(NoWaitingBoxes);
  const std::string problem = OpenHeadlessGl(width, height);
  EXPECT_EQ(problem, "");
  if (problem.empty()) {
    SetDemoProjection(width, height);
    waveFrameCount = 0;  // as in a fresh process
    EXPECT_EQ(InitScene(), 1);
    ResetDemoClock();
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (int frame = 1; frame <= *wanted.rbegin(); ++frame) {
      AdvanceDemoClock();
      ApplyCameraStep();
      if (frame < drawFrom) {
        AdvanceWave();
        continue;
      }
      if (frame == drawFrom && frame > 1) glClearColor(0.5f, 0.5f, 0.5f, 1.0f);  // what DrawFrame leaves behind
      DrawFrame();
      if (!wanted.count(frame)) continue;
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
      std::vector<uint8_t>& picture = pictures[frame];
      picture.resize(rgb.size());
      for (int row = 0; row < height; ++row)  // GL's rows run bottom first
        std::copy_n(rgb.begin() + size_t(height - 1 - row) * width * 3, width * 3,
                    picture.begin() + size_t(row) * width * 3);
    }
    CloseHeadlessGl();
  }
  SetMessageBoxAnswerer(nullptr);
  fs::current_path(previous);
  return pictures;
}

class CaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(DefaultData().empty()) << "qeb-datagen failed";
    scratchFolder_.emplace("qeb-capture");
    scratch_ = scratchFolder_->path();
  }

  // A folder with the default set's opening picture and the given soundtrack (none when "").
  fs::path SmallData(const std::string& soundtrack) {
    const fs::path folder = scratch_ / ("small" + std::to_string(++smallFolders_));
    fs::create_directories(folder / "Data");
    fs::copy_file(fs::path(DefaultData()) / "Data/begin.bmp", folder / "Data/begin.bmp");
    if (!soundtrack.empty()) fs::copy_file(soundtrack, folder / "Data/demo.mp3");
    return folder;
  }

  std::optional<TemporaryDirectory> scratchFolder_;
  fs::path scratch_;
  int smallFolders_ = 0;
};

TEST_F(CaptureTest, LosslessFramesAreTheDemosOwnPixels) {
  // A capture from the start draws every frame as the demo does: the first
  // (cleared to black), the opening picture on the walls, the clock's first
  // fast stretch and the clip's last frame all match the demo's pixels.
  // A clip starting later runs the frames before it undrawn; it matches the
  // demo's frames run the same way (drawing the frames before it as well
  // can change the odd pixel in Mesa's software renderer).
  struct Clip {
    int32_t from, to;
    bool fromStart;
  };
  const Clip clips[] = {{0, 1610, true}, {1590, 1700, false}};
  constexpr int width = 160, height = 120;
  for (const Clip& clip : clips) {
    SCOPED_TRACE("clip from " + std::to_string(clip.from) + " to " + std::to_string(clip.to));
    const std::vector<int> frames = FramesBetween(clip.from, clip.to);
    ASSERT_GT(frames.size(), 2u);
    int fastFrame = 0;  // the first frame whose clock moved 3 ticks
    demoTick = 0;
    for (int frame = 1; !fastFrame; ++frame) {
      const int32_t before = demoTick;
      AdvanceDemoClock();
      if (demoTick - before == 3) fastFrame = frame;
    }
    std::set<int> chosen = {frames.front(), frames[1], fastFrame, frames.back()};
    if (clip.fromStart) chosen.insert(1500);  // the opening picture, before the fast stretch
    std::set<int> indices;
    for (int frame : chosen) indices.insert(frame - frames.front());

    const fs::path out = scratch_ / "clip.mkv";
    const ToolRun run =
        RunCapture(DefaultData(), "--lossless --no-audio --size 160x120 --from " + std::to_string(clip.from) +
                                      " --to " + std::to_string(clip.to) + " '" + out.string() + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    const VideoFile video = ReadVideoFile(out, indices);
    ASSERT_TRUE(video.opened);
    EXPECT_EQ(video.videoCodec, "ffv1");
    EXPECT_EQ(video.decodedFrames, int(frames.size()));
    ASSERT_EQ(video.keptFrames.size(), chosen.size());

    const auto demo = DrawDemoFrames(DefaultData(), width, height, chosen, frames.front());
    int k = 0;
    for (int frame : chosen) {
      SCOPED_TRACE("frame " + std::to_string(frame));
      ASSERT_EQ(demo.at(frame).size(), video.keptFrames[k].size());
      size_t differing = 0;
      for (size_t i = 0; i < demo.at(frame).size(); ++i) differing += demo.at(frame)[i] != video.keptFrames[k][i];
      EXPECT_EQ(differing, 0u) << "bytes differ from DrawFrame's";
      ++k;
    }
    fs::remove(out);
  }
}

TEST_F(CaptureTest, LosslessSoundIsTheSoundtrackLoopedFromTheShowsStart) {
  const std::string shortTone = MakeToneMp3(scratch_, "short.mp3", {44100, 2, 0.3, 440.0, "-b 128"});
  ASSERT_FALSE(shortTone.empty());
  const std::string secondTone = MakeToneMp3(scratch_, "second.mp3", {44100, 2, 1.0, 440.0, "-b 128"});
  ASSERT_FALSE(secondTone.empty());
  struct Case {
    fs::path data;
    int32_t from, to;
    int fps;
    bool loops;  // the stretch is longer than what is left of the soundtrack's pass
  };
  const Case cases[] = {
      {DefaultData(), 1590, 1700, 60, false},      // a long soundtrack, cut at the clip's end
      {SmallData(shortTone), 0, 90, 60, true},     // 0.3 s of sound under 1.5 s of video
      {SmallData(shortTone), 40, 100, 25, true},   // another rate, starting mid-pass
      {SmallData(secondTone), 20, 30, 25, true},   // across the end of the first pass, shorter than a pass
      {SmallData(secondTone), 30, 40, 25, false},  // inside the second pass
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data.string() + " from " + std::to_string(c.from) + " at " + std::to_string(c.fps) + " fps");
    const std::vector<int> frames = FramesBetween(c.from, c.to);
    const int64_t start = int64_t(frames.front() - 1) * 44100 / c.fps;
    const int64_t length = int64_t(frames.size()) * 44100 / c.fps;
    int rate = 0, channels = 0;
    const std::vector<int16_t> pass = DecodeWithMpg123(ReadFileBytes(c.data / "Data/demo.mp3"), &rate, &channels);
    ASSERT_EQ(rate, 44100);  // the capture's own rate: its samples pass through unchanged
    ASSERT_EQ(channels, 2);
    const int64_t passFrames = int64_t(pass.size()) / 2;
    ASSERT_GT(passFrames, 0);
    EXPECT_EQ(c.loops, passFrames - start % passFrames < length);

    const fs::path out = scratch_ / "sound.mkv";
    const ToolRun run =
        RunCapture(c.data, "--lossless --size 64x48 --fps " + std::to_string(c.fps) + " --from " +
                               std::to_string(c.from) + " --to " + std::to_string(c.to) + " '" + out.string() + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    const VideoFile video = ReadVideoFile(out);
    ASSERT_TRUE(video.opened);
    EXPECT_EQ(video.audioCodec, "flac");
    EXPECT_EQ(video.audioRate, 44100);
    ASSERT_EQ(video.audioChannels, 2);
    EXPECT_EQ(video.decodedFrames, int(frames.size()));
    // The sound lasts as long as the pictures, to the sample.
    ASSERT_EQ(video.audioSampleFrames, length);
    ASSERT_EQ(int64_t(video.audioSamples.size()), length * 2);
    int64_t firstDifference = -1;
    for (int64_t i = 0; i < length && firstDifference < 0; ++i) {
      const int64_t source = (start + i) % passFrames;
      if (video.audioSamples[2 * i] != pass[2 * source] || video.audioSamples[2 * i + 1] != pass[2 * source + 1])
        firstDifference = i;
    }
    EXPECT_EQ(firstDifference, -1) << "of " << length << " sample frames";
    fs::remove(out);
  }
}

TEST_F(CaptureTest, SoundtrackDecodingKeepsOnlyTheStretchWithinItsBound) {
  // An 8 kHz mono file grows 11-fold in rate and 2-fold in channels once
  // brought to 44.1 kHz stereo: 4 s of it take 689 KiB decoded. Under a
  // 256 KiB bound, a stretch that fits is decoded on its own, wherever it
  // lies in the looped soundtrack; one that does not is refused.
  const std::string lowRate = MakeToneMp3(scratch_, "low.mp3", {8000, 1, 4.0, 440.0, "-b 8"});
  ASSERT_FALSE(lowRate.empty());
  Soundtrack whole;  // one whole pass, without a bound worth the name
  ASSERT_EQ(DecodeSoundtrack(lowRate.c_str(), {0, 100 * 44100}, soundtrackMemoryLimit, &whole), "");
  const int64_t pass = int64_t(whole.KeptBytes() / 4);
  // The encoder's delay and padding may lengthen it by a few of its frames.
  EXPECT_GE(pass, int64_t(3.99 * 44100));
  EXPECT_LE(pass, int64_t(4.25 * 44100));
  {  // the tone, in both channels at its own level and pitch
    std::vector<int16_t> samples(size_t(pass) * 2);
    whole.CopyLooped(0, int(pass), samples.data());
    int crossings = 0;
    double energy = 0;
    for (int64_t i = 1; i < pass; ++i) {
      ASSERT_EQ(samples[2 * i], samples[2 * i + 1]) << "at " << i;
      crossings += (samples[2 * i - 2] < 0) != (samples[2 * i] < 0);
      energy += double(samples[2 * i]) * samples[2 * i];
    }
    EXPECT_NEAR(crossings / 2.0 / (double(pass) / 44100), 440.0, 440.0 * 0.02);
    int rate = 0, channels = 0;
    const std::vector<int16_t> own = DecodeWithMpg123(ReadFileBytes(lowRate), &rate, &channels);
    ASSERT_EQ(rate, 8000);
    ASSERT_EQ(channels, 1);
    double ownEnergy = 0;
    for (int16_t sample : own) ownEnergy += double(sample) * sample;
    EXPECT_NEAR(std::sqrt(energy / double(pass)) / std::sqrt(ownEnergy / double(own.size())), 1.0, 0.05)
        << "loudness against the file's own decode";
  }

  constexpr size_t bound = 256 << 10;
  struct Case {
    const char* what;
    SoundStretch stretch;
    bool fits;
  };
  const Case cases[] = {
      {"one second inside the pass", {22050, 44100}, true},
      {"across the pass's end", {pass - 22050, 44100}, true},
      {"inside a later pass", {3 * pass + 1000, 44100}, true},
      {"two seconds", {0, 2 * 44100}, false},
      {"longer than the pass, which is kept whole", {0, 10 * 44100}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Soundtrack part;
    const std::string problem = DecodeSoundtrack(lowRate.c_str(), c.stretch, bound, &part);
    if (!c.fits) {
      EXPECT_NE(problem.find("more than 256 KiB"), std::string::npos) << problem;
      continue;
    }
    ASSERT_EQ(problem, "");
    EXPECT_EQ(part.KeptBytes(), size_t(c.stretch.length) * 4);
    const int count = int(c.stretch.length);
    std::vector<int16_t> got(size_t(count) * 2), expected(size_t(count) * 2);
    part.CopyLooped(c.stretch.start, count, got.data());
    whole.CopyLooped(c.stretch.start, count, expected.data());
    EXPECT_TRUE(got == expected);
  }
}

TEST_F(CaptureTest, DefaultClipIsAnMp4ThatReadsBackRight) {
  const fs::path out = scratch_ / "clip.mp4";
  const ToolRun run = RunCapture(DefaultData(), "--size 160x120 --to 60 '" + out.string() + "'");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors, "") << "no progress line when standard error is not a terminal";
  EXPECT_NE(run.output.find("60 frames"), std::string::npos) << run.output;

  const VideoFile video = ReadVideoFile(out);
  ASSERT_TRUE(video.opened);
  EXPECT_NE(video.container.find("mp4"), std::string::npos);
  EXPECT_EQ(video.videoCodec, "h264");
  EXPECT_EQ(video.pixelFormat, "yuv420p");
  EXPECT_EQ(video.width, 160);
  EXPECT_EQ(video.height, 120);
  EXPECT_EQ(video.frameRateNum, 60 * video.frameRateDen);
  EXPECT_EQ(video.decodedFrames, 60);
  EXPECT_NEAR(video.durationSeconds, 1.0, 1024.0 / 44100);
  EXPECT_EQ(video.audioCodec, "aac");
  EXPECT_EQ(video.audioRate, 44100);
  EXPECT_EQ(video.audioChannels, 2);
  EXPECT_NEAR(double(video.audioSampleFrames), 44100.0, 1024.0);
}

TEST_F(CaptureTest, WebmAndGifReadBackWithTheirOwnCodecs) {
  // The name chooses the codecs where the container wants its own: VP9 and
  // Opus (at 48 kHz) in WebM; a GIF of 256-colour frames, each with its own
  // palette, without sound and at most 50 frames a second (every second
  // frame at 60). The pictures stay close to the demo's own, the sound as
  // loud as the soundtrack's.
  struct Case {
    const char* name;
    const char* videoCodec;
    const char* audioCodec;
    int audioRate;
    int frameStep;
    double largestMeanError;  // per colour channel, out of 255; a GIF of fixed 3-3-2 colours is far above 3
  };
  const Case cases[] = {
      {"clip.webm", "vp9", "opus", 48000, 1, 8.0},
      {"clip.gif", "gif", "", 0, 2, 3.0},
  };
  constexpr int32_t from = 1590, to = 1700;
  constexpr int width = 160, height = 120;
  const std::vector<int> frames = FramesBetween(from, to);
  const std::set<int> chosen = {frames.front(), frames[frames.size() / 2 / 2 * 2]};
  const auto demo = DrawDemoFrames(DefaultData(), width, height, chosen, frames.front());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path out = scratch_ / c.name;
    const ToolRun run = RunCapture(DefaultData(), "--size 160x120 --from " + std::to_string(from) + " --to " +
                                                      std::to_string(to) + " '" + out.string() + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::set<int> indices;
    for (int frame : chosen) indices.insert((frame - frames.front()) / c.frameStep);
    const VideoFile video = ReadVideoFile(out, indices);
    ASSERT_TRUE(video.opened);
    EXPECT_EQ(video.videoCodec, c.videoCodec);
    EXPECT_EQ(video.width, width);
    EXPECT_EQ(video.height, height);
    EXPECT_EQ(video.decodedFrames, (int(frames.size()) + c.frameStep - 1) / c.frameStep);
    EXPECT_NEAR(video.durationSeconds, frames.size() / 60.0, 2.0 / 60);
    ASSERT_EQ(video.keptFrames.size(), chosen.size());
    int k = 0;
    for (int frame : chosen) {
      const std::vector<uint8_t>& expected = demo.at(frame);
      ASSERT_EQ(video.keptFrames[k].size(), expected.size());
      double error = 0;
      for (size_t i = 0; i < expected.size(); ++i) error += std::abs(int(video.keptFrames[k][i]) - int(expected[i]));
      EXPECT_LT(error / double(expected.size()), c.largestMeanError) << "frame " << frame;
      ++k;
    }

    EXPECT_EQ(video.audioCodec, c.audioCodec);
    if (c.audioRate == 0) continue;
    EXPECT_EQ(video.audioRate, c.audioRate);
    EXPECT_EQ(video.audioChannels, 2);
    EXPECT_NEAR(double(video.audioSampleFrames), frames.size() / 60.0 * c.audioRate, 0.02 * c.audioRate);
    int rate = 0, channels = 0;
    const std::vector<int16_t> pass =
        DecodeWithMpg123(ReadFileBytes(DefaultData() + "/Data/demo.mp3"), &rate, &channels);
    ASSERT_EQ(rate, 44100);
    ASSERT_EQ(channels, 2);
    const size_t start = size_t(frames.front() - 1) * 44100 / 60 * 2, length = frames.size() * 44100 / 60 * 2;
    ASSERT_LE(start + length, pass.size());
    auto rms = [](const int16_t* samples, size_t count) {
      double sum = 0;
      for (size_t i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
      return std::sqrt(sum / double(count));
    };
    const double ratio = rms(video.audioSamples.data(), video.audioSamples.size()) / rms(pass.data() + start, length);
    EXPECT_NEAR(ratio, 1.0, 0.1) << "loudness against the soundtrack's";
  }
}

TEST_F(CaptureTest, SilentVideoNeedsNoSoundtrack) {
  const fs::path out = scratch_ / "silent.mkv";
  const ToolRun run = RunCapture(SmallData(""), "--no-audio --size 64x48 --to 10 '" + out.string() + "'");
  ASSERT_EQ(run.status, 0) << run.errors;
  const VideoFile video = ReadVideoFile(out);
  ASSERT_TRUE(video.opened);
  EXPECT_EQ(video.decodedFrames, 10);
  EXPECT_EQ(video.audioCodec, "");
  EXPECT_EQ(video.videoCodec, "h264") << "without --lossless a .mkv holds H.264";

  // A GIF holds no sound, so it needs no soundtrack even without --no-audio.
  const fs::path gif = scratch_ / "silent.gif";
  const ToolRun gifRun = RunCapture(SmallData(""), "--size 64x48 --to 10 '" + gif.string() + "'");
  ASSERT_EQ(gifRun.status, 0) << gifRun.errors;
  EXPECT_EQ(ReadVideoFile(gif).decodedFrames, 5);
}

TEST_F(CaptureTest, BadInputsFailClearlyAndLeaveNoFile) {
  const fs::path existing = scratch_ / "existing.mp4";
  std::ofstream(existing) << "keep me";
  const fs::path empty = scratch_ / "empty";
  fs::create_directories(empty);
  const fs::path small = SmallData("");
  const fs::path fifo = scratch_ / "fifo.mp4";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const fs::path folderOut = scratch_ / "folder.mp4";
  fs::create_directories(folderOut);
  struct Case {
    const char* what;
    fs::path folder;
    std::string arguments;
    const char* message;
  };
  const std::string out = " '" + (scratch_ / "out.mp4").string() + "'";
  const Case cases[] = {
      {"unwritable output", DefaultData(), "'" + (scratch_ / "no/such/folder/out.mp4").string() + "'", "cannot write"},
      {"unknown option", DefaultData(), "--colour blue" + out, "unknown option --colour"},
      {"odd size", DefaultData(), "--size 641x480" + out, "even"},
      {"zero size", DefaultData(), "--size 0x480" + out, "even and above zero"},
      {"size beyond the GL's limit", DefaultData(), "--no-audio --size 40000x30000" + out, "beyond"},
      {"no output named", DefaultData(), "--size 64x48", "no output file"},
      {"existing file without --force", DefaultData(), "'" + existing.string() + "'", "--force"},
      {"a FIFO, even with --force", DefaultData(), "--no-audio --force '" + fifo.string() + "'", "not a regular file"},
      {"a folder, even with --force", DefaultData(), "--no-audio --force '" + folderOut.string() + "'", "is a folder"},
      {"no frame in the range", DefaultData(), "--from 1601 --to 1602" + out, "no frame"},
      {"missing soundtrack", small, "--size 64x48" + out, "Er is geen file aanwezig met de naam : Data/demo.mp3"},
      {"no picture at all", empty, "--no-audio --size 64x48" + out, "Initialization Failed."},
      {"lossless into MP4", DefaultData(), "--lossless" + out, ".mkv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolRun run = RunCapture(c.folder, c.arguments);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(scratch_ / "out.mp4"));
  }
  EXPECT_EQ(ReadText(existing), "keep me");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_empty(folderOut));
  // Neither the temporary files nor anything else is left behind.
  for (const fs::path& folder : {scratch_, empty, small}) {
    for (const auto& entry : fs::directory_iterator(folder))
      EXPECT_TRUE(entry.path() == existing || entry.path() == empty || entry.path() == small || entry.path() == fifo ||
                  entry.path() == folderOut || entry.path().filename() == "Data")
          << entry.path();
  }
}

// qeb-capture started on the whole show, tiny and silent, so it runs long
// enough to be interrupted.
pid_t StartLongCapture(const fs::path& out) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(DefaultData().c_str()) != 0) _exit(127);
    freopen("/dev/null", "w", stdout);
    execl(QEB_CAPTURE, QEB_CAPTURE, "--lossless", "--no-audio", "--size", "64x48", out.c_str(), nullptr);
    _exit(127);
  }
  return child;
}

// Waits until frames are reaching a file in 'folder' (under its temporary
// name); false if the child ended first or a minute passed.
bool WaitUntilWriting(pid_t child, const fs::path& folder) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return false;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file() && entry.file_size() > 256 * 1024) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return false;
}

std::vector<fs::path> FolderEntries(const fs::path& folder) {
  std::vector<fs::path> entries;
  for (const auto& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
  return entries;
}

TEST_F(CaptureTest, StopSignalsFinishAShorterPlayableVideo) {
  // Ctrl-C, kill and a closed terminal all end the capture the same way:
  // OUT holds the frames so far, nothing hidden stays behind.
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signalNumber));
    const fs::path out = scratch_ / "stopped.mkv";
    const pid_t child = StartLongCapture(out);
    ASSERT_GE(child, 0);
    ASSERT_TRUE(WaitUntilWriting(child, scratch_)) << "no frames were written within a minute";
    kill(child, signalNumber);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FolderEntries(scratch_), std::vector<fs::path>{out});
    const VideoFile video = ReadVideoFile(out);
    ASSERT_TRUE(video.opened);
    EXPECT_GT(video.decodedFrames, 0);
    EXPECT_LT(video.decodedFrames, int(FramesBetween(0, demoEndTick).size()));
    EXPECT_NEAR(video.durationSeconds, video.decodedFrames / 60.0, 1.0 / 60 + 1e-6);
    fs::remove(out);
  }
}

TEST_F(CaptureTest, SecondStopSignalEndsAtOnceLeavingNothing) {
  const fs::path out = scratch_ / "stopped.mkv";
  const pid_t child = StartLongCapture(out);
  ASSERT_GE(child, 0);
  ASSERT_TRUE(WaitUntilWriting(child, scratch_)) << "no frames were written within a minute";
  // Both arrive before the capture runs on: the second finds the first's stop still under way.
  kill(child, SIGSTOP);
  kill(child, SIGINT);
  kill(child, SIGTERM);
  kill(child, SIGCONT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exited with " << WEXITSTATUS(status);
  EXPECT_TRUE(WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGTERM) << WTERMSIG(status);
  EXPECT_EQ(FolderEntries(scratch_), std::vector<fs::path>{});
}

TEST_F(CaptureTest, ClosedPipeLosesOnlyTheMessages) {
  // Standard output and error into a pipe nobody reads any more (`| head -c 1`
  // once head has gone): the two loaders' messages and the summary each
  // raise SIGPIPE, and none of them may stop the capture or lose its video.
  const fs::path data = SmallData("");
  std::ofstream(data / "Data/map1.bmp") << "not a picture";
  std::ofstream(data / "Data/map2.bmp") << "not a picture";
  const fs::path out = scratch_ / "piped.mkv";
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(data.c_str()) != 0) _exit(127);
    dup2(ends[1], STDOUT_FILENO);
    dup2(ends[1], STDERR_FILENO);
    execl(QEB_CAPTURE, QEB_CAPTURE, "--no-audio", "--size", "64x48", "--to", "10", out.c_str(), nullptr);
    _exit(127);
  }
  close(ends[1]);
  ASSERT_GE(child, 0);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::vector<fs::path> entries = FolderEntries(scratch_);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<fs::path>{out, data}));  // nothing hidden left behind
  const VideoFile video = ReadVideoFile(out);
  ASSERT_TRUE(video.opened);
  EXPECT_EQ(video.decodedFrames, 10);
}

TEST_F(CaptureTest, OutputThatAppearsDuringTheCaptureIsKept) {
  // OUT is checked again at the end, since a capture takes minutes.
  const fs::path out = scratch_ / "taken.mkv";
  const pid_t child = StartLongCapture(out);
  ASSERT_GE(child, 0);
  ASSERT_TRUE(WaitUntilWriting(child, scratch_)) << "no frames were written within a minute";
  std::ofstream(out) << "someone else's";
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadText(out), "someone else's");
  EXPECT_EQ(FolderEntries(scratch_), std::vector<fs::path>{out});
}

}  // namespace

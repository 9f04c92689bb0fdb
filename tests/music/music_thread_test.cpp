// The soundtrack thread over the real decoder library and SDL audio. Sound
// goes to SDL's disk driver, which plays in real time and writes the raw
// samples to a file; that file is compared with libmpg123's own decode of
// the MP3 file.
#include "music/music_thread.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "answered_message_boxes.h"
#include "mp3_fixtures.h"
#include "platform/audio_system.h"
#include "temporary_directory.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// The read system calls the whole process has made so far. Counting them
// tells a thread that rereads a file at full speed from one that waits,
// however busy the machine is.
long ReadCallsSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long value = 0;
  while (io >> key >> value)
    if (key == "syscr:") return value;
  return -1;
}

struct MusicRun {
  int result = -1;
  long readCalls = 0;             // read system calls while it ran
  double stopToEndSeconds = 0.0;  // from musicStop being set to the thread's return
};

// Runs MusicThread on path until enough() holds (checked every 50 ms; never,
// when it is empty) or maxSeconds have passed, then sets musicStop.
MusicRun RunMusicThread(const std::string& path, double maxSeconds, const std::function<bool()>& enough = {}) {
  MusicRun run;
  ResetMusicState();
  std::promise<void> ended;
  std::future<void> endedFuture = ended.get_future();
  // As in the demo: the audio system is started before the thread and stopped after it.
  StartAudioSystem();
  long readCallsAtStart = ReadCallsSoFar();
  Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(Seconds(maxSeconds));
  std::thread music([&] {
    run.result = MusicThread(path.c_str());
    ended.set_value();
  });
  if (enough) {
    while (Clock::now() < deadline && !enough()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } else {
    std::this_thread::sleep_until(deadline);
  }
  run.readCalls = ReadCallsSoFar() - readCallsAtStart;
  Clock::time_point stop = Clock::now();
  musicStop.store(1);
  endedFuture.wait();
  run.stopToEndSeconds = Seconds(Clock::now() - stop).count();
  music.join();
  StopAudioSystem();
  return run;
}

std::vector<int16_t> ReadSamples(const std::string& path) {
  std::vector<unsigned char> bytes = ReadFileBytes(path);
  std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
  std::copy_n(bytes.data(), samples.size() * sizeof(int16_t), reinterpret_cast<unsigned char*>(samples.data()));
  return samples;
}

// The output plays silence (exact zeros) before the first samples and
// whenever its queue runs dry; dropping every zero sample from both sides
// compares the sound itself.
std::vector<int16_t> WithoutZeros(const std::vector<int16_t>& samples) {
  std::vector<int16_t> kept;
  std::copy_if(samples.begin(), samples.end(), std::back_inserter(kept), [](int16_t s) { return s != 0; });
  return kept;
}

// Index of the first difference between expected and the start of actual;
// expected.size() when actual starts with all of expected.
size_t FirstDifference(const std::vector<int16_t>& expected, const std::vector<int16_t>& actual) {
  size_t common = std::min(expected.size(), actual.size());
  return std::mismatch(expected.begin(), expected.begin() + common, actual.begin()).first - expected.begin();
}

struct ToneMeasure {
  double frequency;
  double seconds;  // from the first swing of the tone to its last
};

// Measures the tone in one channel of interleaved samples by its swings
// between well above and well below zero, so the coder's low noise in the
// silent edges of the file does not count.
ToneMeasure MeasureTone(const std::vector<int16_t>& interleaved, int rate, int channels, int channel) {
  const int threshold = 4000;
  int sign = 0;
  int swings = 0;
  size_t firstSwing = 0, lastSwing = 0;
  for (size_t i = channel; i < interleaved.size(); i += channels) {
    int sample = interleaved[i];
    int newSign = sample > threshold ? 1 : sample < -threshold ? -1 : sign;
    if (sign != 0 && newSign != sign) {
      if (swings++ == 0) firstSwing = i / channels;
      lastSwing = i / channels;
    }
    sign = newSign;
  }
  double seconds = double(lastSwing - firstSwing) / rate;
  return {swings > 1 ? (swings - 1) / 2.0 / seconds : 0.0, seconds};
}

class MusicThreadTest : public testing::Test {
 protected:
  void SetUp() override {
    AnswerMessageBoxesFromScript();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capturePath.c_str(), 1);
  }
  void TearDown() override { SetMessageBoxAnswerer(nullptr); }

  TemporaryDirectory temporary{"qeb-music"};
  std::string directory = temporary.path().string();
  std::string capturePath = directory + "/capture.raw";
};

struct LoopCase {
  const char* name;
  ToneMp3 tone;
  size_t cutToBytes;  // 0: the file as lame wrote it
};

// 22.05, 44.1 and 48 kHz, mono and stereo; the higher tones are where a
// resampler smears first.
const LoopCase kLoopCases[] = {
    {"Cbr44kStereoWithTags", {44100, 2, 0.6, 440, "-b 128 --add-id3v2 --tt Qeb"}, 0},
    {"Cbr44kMonoHighTone", {44100, 1, 0.6, 5000, "-b 96"}, 0},
    {"ShorterThanOneBlock22kMono", {22050, 1, 0.3, 660, "-b 32"}, 0},
    {"Vbr22kStereo", {22050, 2, 0.6, 1200, "-V 4"}, 0},
    {"Vbr48kMono", {48000, 1, 0.6, 550, "-V 4"}, 0},
    {"Cbr48kStereoHighTones", {48000, 2, 0.6, 3000, "-b 192"}, 0},
    {"LengthIsTwoWholeBlocks", {44100, 2, 0.8, 440, "-b 128"}, 2 * 4096},
};

void PrintTo(const LoopCase& loop, std::ostream* out) { *out << loop.name; }

class MusicLoopTest : public MusicThreadTest, public testing::WithParamInterface<LoopCase> {};

// Every pass of the loop sounds exactly like the file decoded on its own by
// libmpg123 at the file's own rate and channel count, and at the tone's own
// pitch and length: nothing on the way resamples it.
TEST_P(MusicLoopTest, EachPassEqualsTheDecodedFile) {
  const LoopCase& loop = GetParam();
  std::string path = MakeToneMp3(directory, "tone.mp3", loop.tone);
  ASSERT_FALSE(path.empty()) << "lame failed";
  std::vector<unsigned char> mp3 = ReadFileBytes(path);
  if (loop.cutToBytes) {
    ASSERT_GT(mp3.size(), loop.cutToBytes);
    mp3.resize(loop.cutToBytes);
    ASSERT_TRUE(WriteFileBytes(path, mp3));
  }
  if (std::string(loop.name).starts_with("ShorterThanOneBlock")) {
    ASSERT_LT(mp3.size(), 4096u);
  }

  int rate = 0, channels = 0;
  std::vector<int16_t> pass = DecodeWithMpg123(mp3, &rate, &channels);
  ASSERT_EQ(rate, loop.tone.sampleRate);
  ASSERT_EQ(channels, loop.tone.channels);
  double passSeconds = double(pass.size()) / channels / rate;
  ASSERT_GT(passSeconds, 0.2);
  for (int channel = 0; channel < channels; ++channel) {
    double frequency = loop.tone.frequency * (channel == 1 ? 1.5 : 1.0);
    ToneMeasure measured = MeasureTone(pass, rate, channels, channel);
    EXPECT_NEAR(measured.frequency, frequency, 0.01 * frequency) << "channel " << channel;
    if (!loop.cutToBytes) {
      EXPECT_NEAR(measured.seconds, loop.tone.seconds, 0.05 * loop.tone.seconds) << "channel " << channel;
    }
  }

  std::vector<int16_t> twoPasses = WithoutZeros(pass);
  std::vector<int16_t> onePass = twoPasses;
  twoPasses.insert(twoPasses.end(), onePass.begin(), onePass.end());
  // Plays until two passes have reached the capture file; a busy machine may take longer.
  MusicRun run = RunMusicThread(path, 2 * passSeconds + 10.0,
                                [&] { return WithoutZeros(ReadSamples(capturePath)).size() >= twoPasses.size(); });
  EXPECT_EQ(run.result, 0);
  EXPECT_LT(run.stopToEndSeconds, 0.5);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());

  std::vector<int16_t> played = WithoutZeros(ReadSamples(capturePath));
  EXPECT_EQ(FirstDifference(twoPasses, played), twoPasses.size())
      << "of " << twoPasses.size() << " nonzero samples expected, " << played.size() << " played";
}

INSTANTIATE_TEST_SUITE_P(Files, MusicLoopTest, testing::ValuesIn(kLoopCases),
                         [](const testing::TestParamInfo<LoopCase>& info) { return std::string(info.param.name); });

struct SilentCase {
  const char* name;
  size_t byteCount;  // random bytes
};

void PrintTo(const SilentCase& silent, std::ostream* out) { *out << silent.name; }

class SilentFileTest : public MusicThreadTest, public testing::WithParamInterface<SilentCase> {};

// A file without sound loops silently at a calm pace until musicStop: each
// pass plays as 200 ms of silence, so 0.8 s hold a handful of passes where
// a spinning thread makes thousands.
TEST_P(SilentFileTest, LoopsWithoutSpinningUntilStopped) {
  std::vector<unsigned char> bytes(GetParam().byteCount);
  std::mt19937 random(6);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
  std::string path = directory + "/demo.mp3";
  ASSERT_TRUE(WriteFileBytes(path, bytes));

  MusicRun run = RunMusicThread(path, 0.8);
  EXPECT_EQ(run.result, 0);
  long readsPerPass = static_cast<long>(bytes.size() / 4096) + 1;
  EXPECT_GT(run.readCalls, 0);
  EXPECT_LT(run.readCalls / readsPerPass, 20) << run.readCalls << " reads";
  EXPECT_LT(run.stopToEndSeconds, 0.5);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  std::vector<int16_t> played = ReadSamples(capturePath);
  EXPECT_FALSE(played.empty());
  EXPECT_TRUE(WithoutZeros(played).empty());
}

INSTANTIATE_TEST_SUITE_P(Files, SilentFileTest,
                         testing::Values(SilentCase{"Empty", 0}, SilentCase{"RandomBytes", 64 * 1024}),
                         [](const testing::TestParamInfo<SilentCase>& info) { return std::string(info.param.name); });

// A static destructor that turns a wrong way of ending (one that runs the
// destructors while the main thread still renders) into status 3.
struct ExitTrap {
  bool armed = false;
  ~ExitTrap() {
    if (armed) _exit(3);
  }
} exitTrap;

int PrintMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "%s type=%u owner=%s: %s\n", caption, type, owner ? "window" : "none", text);
  return IDOK;
}

// The music thread fails while the main thread is busy rendering.
void RenderWhileMusicFails(const std::string& workingDirectory, const std::string& path) {
  exitTrap.armed = true;
  SetMessageBoxAnswerer(PrintMessageBox);
  if (chdir(workingDirectory.c_str()) != 0) return;
  StartAudioSystem();
  std::thread(MusicThread, path.c_str()).detach();
  volatile unsigned frames = 0;
  for (Clock::time_point end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) frames = frames + 1;
}

const std::string kLongPath = "Data/" + std::string(150, 'x') + ".mp3";

struct FatalCase {
  const char* name;
  const char* audioDriver;
  std::string path;  // relative to a directory holding an empty folder "folder.mp3" and a FIFO "fifo.mp3"
  std::string text;
};

const FatalCase kFatalCases[] = {
    {"MissingFile", "dummy", "Data/demo.mp3", "Er is geen file aanwezig met de naam : Data/demo.mp3"},
    {"LongPathIsCut", "dummy", kLongPath,
     std::string("Er is geen file aanwezig met de naam : " + kLongPath).substr(0, 99)},
    {"OutputFailsBeforeTheFileIsLookedFor", "no-such-driver", "Data/demo.mp3",
     "Kan geen instantiatie van output maken"},
    // Reading a process's memory from offset 0 fails: the address is never mapped.
    {"ReadFails", "dummy", "/proc/self/mem", "kan geen bytes van input lezen"},
    // Not regular files: missing, without waiting for a writer or reading a directory.
    {"FifoIsMissing", "dummy", "fifo.mp3", "Er is geen file aanwezig met de naam : fifo.mp3"},
    {"DirectoryIsMissing", "dummy", "folder.mp3", "Er is geen file aanwezig met de naam : folder.mp3"},
};

void PrintTo(const FatalCase& failure, std::ostream* out) { *out << failure.name; }

class MusicFailureTest : public MusicThreadTest, public testing::WithParamInterface<FatalCase> {};

// One message box captioned "MP3Player", then status 1, with no static
// destructor run under the rendering main thread.
TEST_P(MusicFailureTest, ShowsItsMessageAndEndsTheProcessWithStatusOne) {
  const FatalCase& failure = GetParam();
  ASSERT_TRUE(std::filesystem::create_directory(directory + "/folder.mp3"));
  ASSERT_EQ(mkfifo((directory + "/fifo.mp3").c_str(), 0600), 0);
  setenv("SDL_AUDIODRIVER", failure.audioDriver, 1);
  EXPECT_EXIT(RenderWhileMusicFails(directory, failure.path), testing::ExitedWithCode(1),
              "^MP3Player type=16 owner=none: " + failure.text + "\n$");
}

INSTANTIATE_TEST_SUITE_P(Failures, MusicFailureTest, testing::ValuesIn(kFatalCases),
                         [](const testing::TestParamInfo<FatalCase>& info) { return std::string(info.param.name); });

}  // namespace

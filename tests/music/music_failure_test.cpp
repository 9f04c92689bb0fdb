// The music thread's reactions to each failing step of the decoder library,
// over a stand-in library that fails on request.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "answered_message_boxes.h"
#include "music/music_thread.h"
#include "platform/mp3_decoder.h"
#include "scripted_decoder.h"

namespace {

class MusicFailureTest : public testing::Test {
 protected:
  void SetUp() override {
    scriptedDecoder = ScriptedDecoder{};
    AnswerMessageBoxesFromScript();
    musicStop.store(0);
    path = std::filesystem::temp_directory_path() / ("qeb-music-" + std::to_string(getpid()) + ".mp3");
    std::ofstream(path) << "not really sound";
  }
  void TearDown() override {
    SetMessageBoxAnswerer(nullptr);
    std::filesystem::remove(path);
  }

  // Runs the thread as the demo does, on a thread of its own.
  int RunMusicThread() {
    int result = -1;
    std::thread music([&] { result = MusicThread(path.c_str()); });
    music.join();
    return result;
  }

  std::string path;
};

int PrintBox(WindowHandle, const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "%s type=%u: %s\n", caption, type, text);
  return IDOK;
}

struct FatalStep {
  const char* name;
  bool failNew, failOutputOpen, failInputNew, failInputOpen;
  const char* boxes;  // what the boxes print, in order
};

const FatalStep kFatalSteps[] = {
    {"DecoderCannotBeMade", true, false, false, false, "MP3Player type=16: Kan geen decoder bakken\n"},
    {"OutputCannotBeOpened", false, true, false, false, "MP3Player type=16: Kan geen instantiatie van output maken\n"},
    {"InputCannotBeMadeNorOpened", false, false, true, true,
     "MP3Player type=16: kan geen input bakken\nMP3Player type=16: kan geen input openen\n"},
    {"InputCannotBeOpened", false, false, false, true, "MP3Player type=16: kan geen input openen\n"},
};

void PrintTo(const FatalStep& step, std::ostream* out) { *out << step.name; }

class FatalStepTest : public MusicFailureTest, public testing::WithParamInterface<FatalStep> {};

// Each box in turn, then status 1; nothing is played.
TEST_P(FatalStepTest, ShowsItsBoxesAndEndsWithStatusOne) {
  const FatalStep& step = GetParam();
  scriptedDecoder.failNew = step.failNew;
  scriptedDecoder.failOutputOpen = step.failOutputOpen;
  scriptedDecoder.failInputNew = step.failInputNew;
  scriptedDecoder.failInputOpen = step.failInputOpen;
  SetMessageBoxAnswerer(PrintBox);
  EXPECT_EXIT(
      {
        RunMusicThread();
        std::exit(3);
      },
      testing::ExitedWithCode(1), std::string("^") + GetParam().boxes + "$");
}

INSTANTIATE_TEST_SUITE_P(Steps, FatalStepTest, testing::ValuesIn(kFatalSteps),
                         [](const testing::TestParamInfo<FatalStep>& info) { return std::string(info.param.name); });

// "kan geen input bakken" alone lets the thread go on: it streams until the
// decoder's play result ends it, silently and with 0.
TEST_F(MusicFailureTest, InputThatCannotBeMadeIsOnlyShown) {
  scriptedDecoder.failInputNew = true;
  scriptedDecoder.playResults = {DECODER_PLAY_AGAIN, DECODER_PLAY_ENDED};
  EXPECT_EQ(RunMusicThread(), 0);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, "kan geen input bakken");
  EXPECT_EQ(answeredMessageBoxes.shown[0].caption, "MP3Player");
  EXPECT_EQ(scriptedDecoder.calls.back(), "decoder_delete");
}

struct EndingPlay {
  const char* name;
  int result;
};

void PrintTo(const EndingPlay& play, std::ostream* out) { *out << play.name; }

class EndingPlayTest : public MusicFailureTest, public testing::WithParamInterface<EndingPlay> {};

// A play result other than again, busy and need-input ends the thread at
// once, with 0 and without a box, though nobody asked it to stop.
TEST_P(EndingPlayTest, EndsTheThreadSilently) {
  scriptedDecoder.playResults = {DECODER_PLAY_AGAIN, DECODER_PLAY_BUSY, DECODER_PLAY_NEED_INPUT, GetParam().result};
  EXPECT_EQ(RunMusicThread(), 0);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  EXPECT_TRUE(scriptedDecoder.playResults.empty());
  const std::vector<std::string>& calls = scriptedDecoder.calls;
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "decoder_play"), 4);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "decoder_input_send_message"), 2);
  EXPECT_EQ(musicStop.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Results, EndingPlayTest,
                         testing::Values(EndingPlay{"Ended", DECODER_PLAY_ENDED}, EndingPlay{"Positive", 1},
                                         EndingPlay{"OtherNegative", -105}),
                         [](const testing::TestParamInfo<EndingPlay>& info) { return std::string(info.param.name); });

}  // namespace

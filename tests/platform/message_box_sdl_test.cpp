// Message boxes on SDL: the kind of box each type gives, and boxes shown by
// the helper in a process of its own.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/linux/message_box_sdl.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

namespace {

struct FlagsCase {
  unsigned type;
  uint32_t flags;
};

TEST(MessageBoxFlagsTest, EachIconHasItsKindAndNoIconNone) {
  const FlagsCase cases[] = {
      {MB_OK | MB_ICONSTOP, SDL_MESSAGEBOX_ERROR},
      {MB_OK | MB_ICONERROR, SDL_MESSAGEBOX_ERROR},
      {MB_OK | MB_ICONEXCLAMATION, SDL_MESSAGEBOX_WARNING},
      {MB_YESNO | MB_ICONEXCLAMATION, SDL_MESSAGEBOX_WARNING},
      {MB_OK | MB_ICONINFORMATION, SDL_MESSAGEBOX_INFORMATION},
      {MB_OK, 0},
      {MB_YESNO, 0},
  };
  for (const FlagsCase& c : cases) EXPECT_EQ(SdlMessageBoxFlags(c.type), c.flags) << "type " << c.type;
}

class HelperBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    directory = std::filesystem::temp_directory_path() / ("qeb-box-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
  }
  void TearDown() override { std::filesystem::remove_all(directory); }

  // A helper that records its arguments and ends with the given status.
  std::string FakeHelper(int status) {
    const std::string path = directory + "/helper";
    std::ofstream(path) << "#!/bin/sh\nprintf '%s|%s|%s' \"$1\" \"$2\" \"$3\" > \"$0.arguments\"\nexit " << status
                        << "\n";
    chmod(path.c_str(), 0755);
    return path;
  }
  std::string Read(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }

  std::string directory;
};

TEST_F(HelperBoxTest, TheHelpersStatusIsTheAnswer) {
  const std::string helper = FakeHelper(IDYES);
  EXPECT_EQ(ShowMessageBoxInHelper(helper.c_str(), "Use it?\nReally?", "Ravo GL", MB_YESNO | MB_ICONEXCLAMATION),
            IDYES);
  EXPECT_EQ(Read(helper + ".arguments"), "Ravo GL|Use it?\nReally?|52");
}

struct FailedHelperCase {
  const char* name;
  bool present;
  int status;
};

void PrintTo(const FailedHelperCase& c, std::ostream* out) { *out << c.name; }

class FailedHelperTest : public HelperBoxTest, public testing::WithParamInterface<FailedHelperCase> {};

// Without an answer from the helper, the box goes to standard error and the
// answer is the unshown one: Yes to a question, said so.
TEST_P(FailedHelperTest, ReportsOnStandardErrorWithTheUnshownAnswer) {
  const std::string helper = GetParam().present ? FakeHelper(GetParam().status) : directory + "/missing";
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBoxInHelper(helper.c_str(), "Question?", "Ravo GL", MB_YESNO), IDYES);
  EXPECT_EQ(ShowMessageBoxInHelper(helper.c_str(), "kan geen input openen", "MP3Player", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Ravo GL: Question?\n(no message box could be shown: answered Yes)\nMP3Player: kan geen input openen\n");
}

INSTANTIATE_TEST_SUITE_P(Helpers, FailedHelperTest,
                         testing::Values(FailedHelperCase{"Missing", false, 0},
                                         FailedHelperCase{"NoAnswerStatus", true, 42},
                                         FailedHelperCase{"NoButton", true, 0}),
                         [](const testing::TestParamInfo<FailedHelperCase>& info) {
                           return std::string(info.param.name);
                         });

// The demo may end while a box of another thread is up (EndProcess after a
// failed re-open): the helper, and with it the box, ends with it.
TEST_F(HelperBoxTest, TheHelperEndsWithTheProcessThatShowsTheBox) {
  const std::string helper = directory + "/helper";
  const std::string pidFile = helper + ".pid";
  std::ofstream(helper)
      << "#!/bin/sh\necho $$ > \"$0.new\"\nmv \"$0.new\" \"$0.pid\"\nexec sleep 30 </dev/null >/dev/null 2>&1\n";
  chmod(helper.c_str(), 0755);
  // A process of its own, as a death test would be, but holding no pipe to
  // the test that the helper could inherit and keep open.
  const pid_t demo = fork();
  if (demo == 0) {
    std::thread([&] { ShowMessageBoxInHelper(helper.c_str(), "kan geen input openen", "MP3Player", MB_OK); }).detach();
    while (access(pidFile.c_str(), F_OK) != 0) usleep(10000);
    EndProcess(0);
  }
  int status = -1;
  ASSERT_EQ(waitpid(demo, &status, 0), demo);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const pid_t box = pid_t(std::stol(Read(pidFile)));
  // Gone, or ended and waiting for its new parent to collect it.
  const auto ended = [&] {
    const std::string stat = Read("/proc/" + std::to_string(box) + "/stat");
    return stat.empty() || stat.find(") Z ") != std::string::npos;
  };
  for (int i = 0; i < 500 && !ended(); ++i) usleep(10000);
  EXPECT_TRUE(ended());
  if (!ended()) kill(box, SIGKILL);
}

// The real helper, where no box can be shown at all (no display): it writes
// the box to standard error and answers with the unshown answer.
TEST_F(HelperBoxTest, TheRealHelperWithoutADisplay) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("SDL_VIDEODRIVER");
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBoxInHelper(QEB_MESSAGE_BOX_HELPER, "Question?", "Ravo GL", MB_YESNO), IDYES);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Ravo GL: Question?\n(no message box could be shown: answered Yes)\n");
}

}  // namespace

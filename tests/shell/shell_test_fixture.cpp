#include "shell_test_fixture.h"

#include <algorithm>
#include <cstring>

#include "clock/demo_state.h"
#include "music/music_thread.h"
#include "scene/camera_path.h"
#include "shell/demo_keys.h"
#include "shell/demo_window.h"

std::vector<ShownBox> shownBoxes;
std::deque<int> boxAnswers;

namespace {
int AnswerBox(WindowHandle, const char* text, const char* caption, unsigned type) {
  shownBoxes.push_back({text, caption, type});
  fakeWindowSystem.log.push_back(std::string("MessageBox ") + caption + ": " + text);
  if (boxAnswers.empty()) return (type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDOK;
  int answer = boxAnswers.front();
  boxAnswers.pop_front();
  return answer;
}
}  // namespace

void ShellTest::SetUp() {
  ResetFakeWindowSystem();
  ResetGlRecorder();
  shellDoubles = ShellDoubles{};
  shownBoxes.clear();
  boxAnswers.clear();
  SetMessageBoxAnswerer(AnswerBox);
  ResetDemoClock();
  std::memset(&cameraPath, 0, sizeof cameraPath);
  heading = 0.0f;
  blendOn = 0;
  bHeld = 0;
  std::memset(keyTable, 0, sizeof keyTable);
  active = 1;
  fullscreen = 1;
  hWnd = nullptr;
  hDC = nullptr;
  hRC = nullptr;
  musicStop.store(0);
}

void ShellTest::TearDown() { SetMessageBoxAnswerer(nullptr); }

std::vector<std::string> LogFrom(const std::string& from) {
  const auto& log = fakeWindowSystem.log;
  auto start = std::find(log.begin(), log.end(), from);
  return std::vector<std::string>(start, log.end());
}

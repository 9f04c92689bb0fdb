#include "shell_test_fixture.h"

#include <algorithm>

#include "clock/demo_state.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"

void ShellTest::SetUp() {
  ResetFakeWindowSystem();
  ResetGlRecorder();
  ResetShellDoubles();
  AnswerMessageBoxesFromScript(&fakeWindowSystem.log);
  ResetDemoClock();
  ResetSceneState();
  ResetShellState();
}

void ShellTest::TearDown() { SetMessageBoxAnswerer(nullptr); }

std::vector<std::string> LogFrom(const std::string& from) {
  const auto& log = fakeWindowSystem.log;
  auto start = std::find(log.begin(), log.end(), from);
  return std::vector<std::string>(start, log.end());
}

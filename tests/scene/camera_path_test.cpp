#include "scene/camera_path.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "memory_stream.h"

namespace {

using Step = std::array<float, 6>;  // dPosX, dPosY, dPosZ, dPitch, dYaw, dRoll

// What an earlier load left in every step, to tell written steps from kept ones.
const Step earlier = {9, 9, 9, 9, 9, 9};

Step StepAt(int i) {
  const CameraStep& s = cameraPath.steps[i];
  return {s.dPosX, s.dPosY, s.dPosZ, s.dPitch, s.dYaw, s.dRoll};
}

class LoadCameraPathTest : public testing::Test {
 protected:
  void SetUp() override {
    for (CameraStep& step : cameraPath.steps) step = {9, 9, 9, 9, 9, 9};
  }

  static void LoadFromText(const std::string& text) {
    FILE* stream = OpenMemoryStream(text);
    LoadCameraPathFromStream(stream);
    std::fclose(stream);
  }

  // The expected steps from 0 on; every later step keeps the earlier load's.
  static void ExpectSteps(const std::vector<Step>& expected) {
    for (int i = 0; i < cameraPathLength; ++i) {
      Step want = i < static_cast<int>(expected.size()) ? expected[i] : earlier;
      ASSERT_EQ(StepAt(i), want) << "step " << i;
    }
  }
};

struct CameraCase {
  const char* name;
  std::string text;
  std::vector<Step> expected;
};

void PrintTo(const CameraCase& c, std::ostream* os) { *os << c.name; }

const std::string exampleText =
    "// example camera script\n"
    "NUMFRAMES 3\n"
    "0.0 0.0 -0.01 0.0 0.0 0.0\n"
    "\n"
    "/ turn\n"
    "0.0 0.0 0.0 0.0 0.5 0.0\n"
    "0.0 0.0 0.0 0.0 0.0 0.0 // hold still\n";

const std::vector<Step> exampleSteps = {{0, 0, -0.01f, 0, 0, 0}, {0, 0, 0, 0, 0.5f, 0}, {0, 0, 0, 0, 0, 0}};

const CameraCase cameraCases[] = {
    {"ExampleWithComments", exampleText, exampleSteps},
    {"CrLfLineEnds", WithCrLf(exampleText), exampleSteps},
    {"SeventhNumberIgnored", "NUMFRAMES 1\n1 2 3 4 5 6 7\n", {{1, 2, 3, 4, 5, 6}}},
    {"ShortLinesRepeatTrailingValues",
     "NUMFRAMES 3\n1 2 3 4 5 6\n7 8\n  // spaced\n",
     {{1, 2, 3, 4, 5, 6}, {7, 8, 3, 4, 5, 6}, {7, 8, 3, 4, 5, 6}}},
    {"FirstShortLineFillsWithZero", "NUMFRAMES 1\n1 2 3\n", {{1, 2, 3, 0, 0, 0}}},
    {"EarlyEndRepeatsTheLastLine",
     "NUMFRAMES 4\n1 1 1 1 1 1\n2 2 2 2 2 2\n/ end\n",
     {{1, 1, 1, 1, 1, 1}, {2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2}}},
    {"HeaderOnlyWritesZeros", "NUMFRAMES 2\n", {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}}},
    {"CountZeroWritesNothing", "NUMFRAMES 0\n1 2 3 4 5 6\n", {}},
    {"NegativeCountWritesNothing", "NUMFRAMES -1\n1 2 3 4 5 6\n", {}},
    {"BadHeaderWritesNothing", "NUMFRAME 1\n1 2 3 4 5 6\n", {}},
    {"EmptyFileWritesNothing", "", {}},
};

class LoadCameraPathCases : public LoadCameraPathTest, public testing::WithParamInterface<CameraCase> {};

TEST_P(LoadCameraPathCases, WritesTheExpectedSteps) {
  LoadFromText(GetParam().text);
  ExpectSteps(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, LoadCameraPathCases, testing::ValuesIn(cameraCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadCameraPathTest, MoreThan256StepsKeepsTheFirst256) {
  std::string text = "NUMFRAMES 300\n";
  for (int i = 0; i < 300; ++i) text += std::to_string(i) + " 0 0 0 0 0\n";
  LoadFromText(text);
  for (int i = 0; i < cameraPathLength; ++i) {
    ASSERT_EQ(StepAt(i), (Step{static_cast<float>(i), 0, 0, 0, 0, 0})) << "step " << i;
  }
}

TEST_F(LoadCameraPathTest, HugeCountWithAShortFileFillsTheTable) {
  LoadFromText("NUMFRAMES 2147483647\n1 2 3 4 5 6\n");
  ExpectSteps(std::vector<Step>(cameraPathLength, {1, 2, 3, 4, 5, 6}));
}

TEST_F(LoadCameraPathTest, MissingFileLeavesThePathUnchanged) {
  LoadCameraPathFromStream(nullptr);
  ExpectSteps({});
}

}  // namespace

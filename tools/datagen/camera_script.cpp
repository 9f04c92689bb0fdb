#include "datagen/camera_script.h"

#include <cstdlib>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "datagen/decimal_text.h"
#include "scene/camera_path.h"

namespace {
constexpr int scriptSteps = demoEndTick / 100 + 1;  // slots 0 to 194
constexpr int stepDecimals = 6;

// Roll stays 0 throughout: the demo applies it before yaw, about the world's
// z axis, which would tip the view sideways only while facing along z.
struct Pose {
  double posX, posY, posZ, pitch, yaw;
};
constexpr int poseFields = 5;

double& Field(Pose& pose, int field) {
  double* fields[] = {&pose.posX, &pose.posY, &pose.posZ, &pose.pitch, &pose.yaw};
  return *fields[field];
}

struct KeyPose {
  int slot;  // the pose is reached when this slot begins
  Pose pose;
  const char* note;
};

// Yaw 0 faces the wave wall on the -z side, 90 the one on +x, 180 +z, 270 -x;
// yaw keeps counting past 360 so that turns stay continuous. Positive pitch
// looks down. The walls on -z and +x show their pictures the right way round
// from inside, so the title pictures are watched there.
const KeyPose keyPoses[] = {
    {0, {0, 0, 1, 0, 0}, "the opening picture on the -z wall; move in slowly"},
    {11, {0, 0, -0.6, 0, 0}, "close to the opening picture"},
    {14, {0, 0, -0.6, 0, 0}, "turn towards the +x wall as the first animation starts"},
    {16, {0.15, 0, -0.35, 0, 10}, "first animation (fast clock)"},
    {22, {1.0, 0, 0, 0, 90}, "the +x wall"},
    {26, {1.2, 0, 0, 0, 90}, "circle the middle, looking out at each wall in turn"},
    {28, {1.039, 0.05, 0.6, 0, 120}, nullptr},
    {30, {0.6, 0.1, 1.039, 0, 150}, nullptr},
    {32, {0, 0.15, 1.2, 0, 180}, "the +z wall"},
    {34, {-0.6, 0.1, 1.039, 0, 210}, nullptr},
    {36, {-1.039, 0.05, 0.6, 0, 240}, nullptr},
    {38, {-1.2, 0, 0, 0, 270}, "the -x wall"},
    {40, {-1.039, 0.05, -0.6, 0, 300}, nullptr},
    {42, {-0.6, 0.1, -1.039, 0, 330}, nullptr},
    {44, {0, 0.15, -1.2, 0, 360}, "the -z wall"},
    {46, {0.6, 0.1, -1.039, 0, 390}, nullptr},
    {48, {1.039, 0.05, -0.6, 0, 420}, nullptr},
    {50, {1.2, 0, 0, 0, 450}, "the +x wall again; drift back"},
    {55, {0.8, 0, 0.2, 0, 450}, "second animation's first picture held: sink low and look up at the -z wall"},
    {60, {0.2, -0.25, 0.2, -6, 360}, nullptr},
    {68, {0, -0.2, -0.7, -4, 360}, "rise as the second animation plays (fast clock)"},
    {72, {0, 0, -0.6, 0, 360}, "turn left towards the -x wall"},
    {78, {-0.4, 0, -0.3, 0, 315}, nullptr},
    {84, {-1.1, 0.05, 0, 0, 270}, "the -x wall, close"},
    {90, {-0.9, 0.1, 0.4, 2, 250}, "on to the +z wall"},
    {94, {-0.4, 0.1, 0.8, 0, 200}, nullptr},
    {100, {0, 0.05, 1.4, 0, 180}, "the +z wall"},
    {106, {0.2, 0, 1.0, 0, 170}, "third animation's first picture held: rise and turn to the +x wall"},
    {112, {0.5, 0.2, 0.4, 4, 110}, nullptr},
    {118, {1.0, 0.35, 0.1, 8, 90}, "the +x wall from above"},
    {127, {1.3, 0.1, 0, 2, 90}, "third animation plays: come close"},
    {134, {1.6, 0, 0, 0, 90}, "pull away towards the +z wall"},
    {140, {1.2, 0.1, 0.5, 0, 120}, nullptr},
    {148, {0.2, 0.15, 1.4, 0, 180}, "the +z wall; on to the -x wall"},
    {154, {-0.5, 0.1, 0.8, 0, 225}, nullptr},
    {160, {-1.1, 0, 0.1, 0, 270}, "the -x wall, close"},
    {166, {-1.0, 0, -0.2, 0, 280}, "last picture held: turn back to the -z wall"},
    {174, {-0.4, 0.2, -0.4, 3, 330}, nullptr},
    {180, {0, 0.1, -0.4, 1, 360}, "the -z wall, where the end pictures appear"},
    {184, {0, 0, -0.6, 0, 360}, "first end picture"},
    {188, {0, 0, -0.65, 0, 360}, "second end picture; draw back slowly"},
    {194, {0, 0.1, 0.1, 0, 360}, "the closing picture: hold still"},
};
constexpr int keyCount = int(sizeof keyPoses / sizeof keyPoses[0]);

// The slope of one field at key k for a monotone cubic curve through the
// keys (Fritsch and Butland): zero at the ends and wherever the field turns
// back, so the curve never passes beyond a key.
double KeySlope(const std::vector<double>& times, int k, int field) {
  if (k == 0 || k == keyCount - 1) return 0.0;
  Pose before = keyPoses[k - 1].pose, here = keyPoses[k].pose, after = keyPoses[k + 1].pose;
  const double h0 = times[k] - times[k - 1], h1 = times[k + 1] - times[k];
  const double d0 = (Field(here, field) - Field(before, field)) / h0;
  const double d1 = (Field(after, field) - Field(here, field)) / h1;
  if (d0 * d1 <= 0.0) return 0.0;
  return 3.0 * (h0 + h1) / ((2.0 * h1 + h0) / d0 + (h1 + 2.0 * h0) / d1);
}

Pose PoseAt(const std::vector<double>& times, double time) {
  if (time <= times[0]) return keyPoses[0].pose;
  if (time >= times[keyCount - 1]) return keyPoses[keyCount - 1].pose;
  int k = 0;
  while (time > times[k + 1]) ++k;
  const double h = times[k + 1] - times[k], s = (time - times[k]) / h;
  const double h00 = 2 * s * s * s - 3 * s * s + 1, h10 = s * s * s - 2 * s * s + s;
  const double h01 = -2 * s * s * s + 3 * s * s, h11 = s * s * s - s * s;
  Pose pose{};
  for (int field = 0; field < poseFields; ++field) {
    Pose from = keyPoses[k].pose, to = keyPoses[k + 1].pose;
    Field(pose, field) = h00 * Field(from, field) + h10 * h * KeySlope(times, k, field) + h01 * Field(to, field) +
                         h11 * h * KeySlope(times, k + 1, field);
  }
  return pose;
}

// The step, as the file will give it: written with a fixed number of decimals
// and read back the way the demo's loader reads it.
float WrittenValue(double value, std::string& line) {
  const std::string number = FixedDecimal(value, stepDecimals);
  line += (line.empty() ? "" : " ") + number;
  return std::strtof(number.c_str(), nullptr);
}
}  // namespace

std::vector<int> FramesPerSlot() {
  const int32_t savedTick = demoTick;
  std::vector<int> frames(scriptSteps, 0);
  demoTick = 0;
  bool ended = false;
  while (!ended) {
    ended = AdvanceDemoClock();
    ++frames[demoTick / 100];
  }
  demoTick = savedTick;
  return frames;
}

std::string MakeCameraScript() {
  const std::vector<int> frames = FramesPerSlot();
  std::vector<int> slotStart(scriptSteps + 1, 0);
  for (int slot = 0; slot < scriptSteps; ++slot) slotStart[slot + 1] = slotStart[slot] + frames[slot];
  std::vector<double> times;
  for (const KeyPose& key : keyPoses) times.push_back(slotStart[key.slot]);

  // Run the demo's clock and camera code over a whole show. At the first
  // frame of each slot, choose the step that brings the camera, as it
  // actually stands, onto the curve by the end of the slot; rounding errors
  // are thus corrected slot by slot instead of adding up.
  const int32_t savedTick = demoTick;
  const CameraState savedCamera = cameraState;
  const CameraPath savedPath = cameraPath;
  ResetDemoClock();
  cameraPath = CameraPath{};

  std::string text =
      "// Qeb's camera script: one step per slot of the demo clock (demoTick / 100),\n"
      "// added to the camera once per frame while the slot lasts (about 100 frames, or\n"
      "// 33 to 34 in slots 16-55 and 72-111, where the clock runs three times as fast).\n"
      "// Each step: dPosX dPosY dPosZ dPitch dYaw dRoll\n"
      "NUMFRAMES " +
      std::to_string(scriptSteps) + "\n";
  int plannedSlots = 0;
  int nextKey = 0;
  bool ended = false;
  while (!ended) {
    ended = AdvanceDemoClock();
    const int slot = demoTick / 100;
    if (slot == plannedSlots) {
      while (nextKey < keyCount && keyPoses[nextKey].slot <= slot) {
        if (keyPoses[nextKey].note)
          text += "// slot " + std::to_string(keyPoses[nextKey].slot) + ": " + keyPoses[nextKey].note + "\n";
        ++nextKey;
      }
      Pose target = PoseAt(times, slotStart[slot + 1]);
      const double now[poseFields] = {cameraState.posX, cameraState.posY, cameraState.posZ, cameraState.pitch,
                                      cameraState.yaw};
      std::string line;
      float written[poseFields];
      for (int field = 0; field < poseFields; ++field) {
        written[field] = WrittenValue((Field(target, field) - now[field]) / frames[slot], line);
      }
      WrittenValue(0.0, line);  // roll
      cameraPath.steps[slot] = CameraStep{written[0], written[1], written[2], written[3], written[4], 0.0f};
      text += line + "\n";
      ++plannedSlots;
    }
    ApplyCameraStep();
  }

  demoTick = savedTick;
  cameraState = savedCamera;
  cameraPath = savedPath;
  return text;
}

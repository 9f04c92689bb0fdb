#include "datagen/camera_script.h"

#include <cmath>
#include <cstdlib>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "datagen/decimal_text.h"
#include "datagen/room.h"
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

// Where the viewer looks: the middle of a waving wall's surface as the wave
// sweeps it (the bulge of the -z wall comes towards the room, the +x wall's
// goes away from it). Both walls show their pictures the right way round
// from inside, so the pictures with writing on them are watched there.
struct Target {
  double x, y, z;
};
constexpr Target minusZWall = {-0.01, 0.49, -2.36};
constexpr Target plusXWall = {3.64, 0.49, -0.01};

struct KeyPlace {
  int slot;  // the camera stands here, aimed at the target, when this slot begins
  double posX, posY, posZ;
  Target target;
  const char* note;
};

// The show in scenes. Turns from one wall to the other take one slot and
// happen while a picture is held, so no change of picture is missed.
const KeyPlace keyPlaces[] = {
    {0, 0, 0, 1, minusZWall, "the opening picture on the -z wall: rush in, then drift"},
    {1, 0.0, 0.0, -0.6, minusZWall, nullptr},
    {8, 0.35, 0.08, -0.55, minusZWall, nullptr},
    {16, -0.3, -0.05, -0.6, minusZWall, "first series (fast clock): sway in front of the same wall"},
    {30, -0.45, 0.05, -0.25, minusZWall, nullptr},
    {44, 0.4, -0.05, -0.45, minusZWall, nullptr},
    {57, 0.5, 0.0, -0.6, minusZWall, "second series' first picture held: turn to the +x wall"},
    {58, 1.65, 0.0, -0.45, plusXWall, "sink low and look up at it"},
    {65, 1.85, -0.2, 0.3, plusXWall, nullptr},
    {72, 1.9, -0.05, -0.3, plusXWall, "second series (fast clock)"},
    {85, 2.0, 0.1, 0.35, plusXWall, nullptr},
    {98, 1.75, -0.1, -0.35, plusXWall, nullptr},
    {113, 1.8, 0.0, 0.0, plusXWall, "third series' first picture held: back to the -z wall"},
    {114, 0.6, 0.0, -0.5, minusZWall, nullptr},
    {121, -0.2, 0.15, -0.7, minusZWall, nullptr},
    {128, 0.0, 0.0, -0.55, minusZWall, "third series: a slow look from side to side"},
    {138, 0.45, 0.05, -0.45, minusZWall, nullptr},
    {148, -0.4, -0.1, -0.75, minusZWall, nullptr},
    {158, 0.3, 0.1, -0.6, minusZWall, nullptr},
    {170, 0.1, 0.0, -0.5, minusZWall, "its last picture held: over to the +x wall for the end"},
    {171, 1.6, 0.0, -0.3, plusXWall, nullptr},
    {184, 1.95, 0.05, 0.2, plusXWall, "the end pictures"},
    {194, 1.8, 0.0, 0.0, plusXWall, "the closing picture"},
};
constexpr int keyCount = int(sizeof keyPlaces / sizeof keyPlaces[0]);

// Yaw 0 faces -z and 90 faces +x; positive pitch looks down.
Pose Aimed(const KeyPlace& place) {
  const double dx = place.target.x - place.posX, dz = place.target.z - place.posZ;
  const double dy = place.target.y - (place.posY + eyeHeight);
  const double degrees = 180.0 / 3.14159265358979323846;
  return {place.posX, place.posY, place.posZ, -std::atan2(dy, std::hypot(dx, dz)) * degrees,
          std::atan2(dx, -dz) * degrees};
}

// The key poses; yaw keeps counting past a full turn so that turns stay continuous.
std::vector<Pose> KeyPoses() {
  std::vector<Pose> poses;
  for (const KeyPlace& place : keyPlaces) {
    Pose pose = Aimed(place);
    if (!poses.empty()) {
      while (pose.yaw - poses.back().yaw > 180.0) pose.yaw -= 360.0;
      while (pose.yaw - poses.back().yaw < -180.0) pose.yaw += 360.0;
    }
    poses.push_back(pose);
  }
  return poses;
}

// The slope of one field at key k for a monotone cubic curve through the
// keys (Fritsch and Butland): zero at the ends and wherever the field turns
// back, so the curve never passes beyond a key.
double KeySlope(const std::vector<Pose>& keys, const std::vector<double>& times, int k, int field) {
  if (k == 0 || k == keyCount - 1) return 0.0;
  Pose before = keys[k - 1], here = keys[k], after = keys[k + 1];
  const double h0 = times[k] - times[k - 1], h1 = times[k + 1] - times[k];
  const double d0 = (Field(here, field) - Field(before, field)) / h0;
  const double d1 = (Field(after, field) - Field(here, field)) / h1;
  if (d0 * d1 <= 0.0) return 0.0;
  return 3.0 * (h0 + h1) / ((2.0 * h1 + h0) / d0 + (h1 + 2.0 * h0) / d1);
}

Pose PoseAt(const std::vector<Pose>& keys, const std::vector<double>& times, double time) {
  if (time <= times[0]) return keys[0];
  if (time >= times[keyCount - 1]) return keys[keyCount - 1];
  int k = 0;
  while (time > times[k + 1]) ++k;
  const double h = times[k + 1] - times[k], s = (time - times[k]) / h;
  const double h00 = 2 * s * s * s - 3 * s * s + 1, h10 = s * s * s - 2 * s * s + s;
  const double h01 = -2 * s * s * s + 3 * s * s, h11 = s * s * s - s * s;
  Pose pose{};
  for (int field = 0; field < poseFields; ++field) {
    Pose from = keys[k], to = keys[k + 1];
    Field(pose, field) = h00 * Field(from, field) + h10 * h * KeySlope(keys, times, k, field) + h01 * Field(to, field) +
                         h11 * h * KeySlope(keys, times, k + 1, field);
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
  const std::vector<Pose> keys = KeyPoses();
  std::vector<double> times;
  for (const KeyPlace& key : keyPlaces) times.push_back(slotStart[key.slot]);

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
      while (nextKey < keyCount && keyPlaces[nextKey].slot <= slot) {
        if (keyPlaces[nextKey].note)
          text += "// slot " + std::to_string(keyPlaces[nextKey].slot) + ": " + keyPlaces[nextKey].note + "\n";
        ++nextKey;
      }
      Pose target = PoseAt(keys, times, slotStart[slot + 1]);
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

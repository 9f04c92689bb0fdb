#include "shell/demo_keys.h"

#include <GL/gl.h>

#include <cmath>

#include "clock/demo_state.h"
#include "shell/demo_window.h"

float heading = 0.0f;
uint8_t blendOn = 0;
uint8_t bHeld = 0;

namespace {

// pi / 180 in single precision; sin and cos work in double precision.
constexpr float degreesToRadians = 0.017453292f;
constexpr double walkStep = 0.05;

void ToggleBlendedLook() {
  blendOn = !blendOn;
  if (blendOn) {
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
  } else {
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
  }
}

void Walk(double direction) {
  const double angle = heading * degreesToRadians;
  cameraState.posX = float(cameraState.posX + direction * std::sin(angle) * walkStep);
  cameraState.posZ = float(cameraState.posZ + direction * std::cos(angle) * walkStep);
}

}  // namespace

bool ApplyDemoKeys() {
  if (keyTable[uint8_t{'B'}]) {
    if (!bHeld) {
      bHeld = 1;
      ToggleBlendedLook();
    }
  } else {
    bHeld = 0;
  }
  if (keyTable[VK_UP]) Walk(-1.0);
  if (keyTable[VK_DOWN]) Walk(+1.0);
  if (keyTable[VK_RIGHT]) {
    heading -= 1.0f;
    cameraState.yaw = heading;
  }
  if (keyTable[VK_LEFT]) {
    heading += 1.0f;
    cameraState.yaw = heading;
  }
  if (keyTable[VK_F1]) {
    // One switch per key-down message: auto-repeat sends further ones.
    keyTable[VK_F1] = 0;
    CloseDemoWindow();
    fullscreen = !fullscreen;
    if (!OpenDemoWindow("Qeb", 640, 480, 16, fullscreen)) return false;
  }
  return true;
}

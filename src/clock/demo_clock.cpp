#include "clock/demo_clock.h"

#include "clock/demo_state.h"
#include "scene/camera_path.h"

bool AdvanceDemoClock() {
  const int32_t slot = demoTick / 100;
  if ((slot >= 16 && slot <= 55) || (slot >= 72 && slot <= 111)) demoTick += 2;
  if (demoTick >= demoEndTick) return true;
  demoTick += 1;
  return false;
}

void ApplyCameraStep() {
  // The clock never passes 19400, so the slot stays inside the table.
  const CameraStep& step = cameraPath.steps[demoTick / 100];
  cameraState.posX += step.dPosX;
  cameraState.posY += step.dPosY;
  cameraState.posZ += step.dPosZ;
  cameraState.pitch += step.dPitch;
  cameraState.yaw += step.dYaw;
  cameraState.roll += step.dRoll;
}

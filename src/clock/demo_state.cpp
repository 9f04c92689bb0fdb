#include "clock/demo_state.h"

int32_t demoTick = 0;
CameraState cameraState = startingCamera;

void ResetDemoClock() {
  demoTick = 0;
  cameraState = startingCamera;
}

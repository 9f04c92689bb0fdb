#include "shell/demo_state.h"

int32_t demoTick = 0;
CameraState cameraState = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};

// The demo clock and the camera: global state advanced by the main loop and
// read by the renderer.
#pragma once

#include <cstdint>

// Counts ticks from 0 to 19400; its slot is demoTick / 100.
extern int32_t demoTick;
constexpr int32_t demoEndTick = 19400;

struct CameraState {
  float posX, posY, posZ;      // world units
  float pitch, yaw, roll;      // degrees about x, y and z
};

extern CameraState cameraState;

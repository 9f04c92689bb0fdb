// The demo clock and the camera: global state advanced by the main loop and
// read by the renderer.
#pragma once

#include <cstdint>

// Counts ticks from 0 to 19400; its slot is demoTick / 100.
extern int32_t demoTick;
constexpr int32_t demoEndTick = 19400;

struct CameraState {
  float posX, posY, posZ;  // world units
  float pitch, yaw, roll;  // degrees about x, y and z
};

// Where every run starts: one unit back from the origin, looking down -z.
constexpr CameraState startingCamera = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};

extern CameraState cameraState;

// Puts the clock and the camera back to where a run starts.
void ResetDemoClock();

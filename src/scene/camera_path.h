// The camera script, read from "data/cam.txt": one step per slot of the demo clock.
#pragma once

struct CameraStep {
  float dPosX, dPosY, dPosZ;     // world units per frame
  float dPitch, dYaw, dRoll;     // degrees per frame
};

constexpr int cameraPathLength = 256;

struct CameraPath {
  CameraStep steps[cameraPathLength];
};

// Zero at program start; each load overwrites the steps its file gives.
extern CameraPath cameraPath;

void LoadCameraPath();

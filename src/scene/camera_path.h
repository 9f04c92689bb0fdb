// The camera script, read from "data/cam.txt": one step per slot of the demo clock.
#pragma once

#include <cstdio>

struct CameraStep {
  float dPosX, dPosY, dPosZ;  // world units per frame
  float dPitch, dYaw, dRoll;  // degrees per frame
};

constexpr int cameraPathLength = 256;

struct CameraPath {
  CameraStep steps[cameraPathLength];
};

// Zero at program start; each load overwrites the steps its file gives.
extern CameraPath cameraPath;

void LoadCameraPath();

// Fills cameraPath from an open stream, the file's contents; a null stream is
// a file that could not be opened. LoadCameraPath opens the file and calls this.
void LoadCameraPathFromStream(FILE* stream);

// The second half of a frame: the timeline picture on four waving walls
// around the origin, the wave motion and a light.
#pragma once

#include <cstdint>

// Frames drawn since the last wave shift; 0 at program start and not reset
// by InitScene. The wave moves on by one row every second frame.
extern int32_t waveFrameCount;

// The wave's step for one drawn frame: every second frame the mesh moves on
// by one row. DrawWaveWalls calls it; tools that replay the show without
// drawing every frame call it once per skipped frame.
void AdvanceWave();

// The render module's state as the first InitScene leaves it: the wave mesh
// freshly built and no frame counted towards the next shift.
void ResetRenderState();

// Expects the camera transform on the modelview matrix; leaves it lifted by 0.5.
void DrawWaveWalls();

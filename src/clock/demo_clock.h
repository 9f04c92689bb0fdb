// The frame-counted demo clock and the camera script played back on it.
#pragma once

// Advances demoTick for one frame: 1 tick, or 3 while the slot lies in
// 16-55 or 72-111. Returns true (and leaves the clock alone) once it has
// reached its end, 19400.
bool AdvanceDemoClock();
// Adds the camera script's step for the current slot to cameraState.
void ApplyCameraStep();

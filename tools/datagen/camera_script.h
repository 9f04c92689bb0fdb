// The text of "data/cam.txt": 195 camera steps, one per slot of the demo
// clock. The path is planned as a few key poses at slot boundaries, joined by
// a smooth curve that never overshoots them, and turned into steps by running
// the demo's own clock and camera code frame by frame: a slot lasts 100
// frames, or 33 to 34 where the clock runs three times as fast.
#pragma once

#include <string>
#include <vector>

// Frames that each slot 0..194 lasts in a full run of the demo.
std::vector<int> FramesPerSlot();

std::string MakeCameraScript();

// The show, frame by frame, on the current GL context, with the demo's own
// clock, camera script, scene set-up and frame code. Frame 1 is the first
// frame the demo draws after set-up; the last is the one drawn once more at
// the clock's end.
#pragma once

#include <cstdint>

// The frames whose clock lies within [fromTick, toTick]: the first frame's
// number and how many (0 when the clock steps over the whole range).
struct ShowStretch {
  int firstFrame = 0;
  int frameCount = 0;
};
ShowStretch FindShowStretch(int32_t fromTick, int32_t toTick);

// Sets the demo's viewport and projection for this size and runs InitScene
// (textures, GL state, scene files, wave mesh), then puts the clock at the
// show's start. 0 when not one picture loaded, as InitScene reports.
int StartShow(int width, int height);
// Runs the frames before 'frame' without drawing them: the clock, the camera
// and the wave move on as if they had been drawn.
void SkipToFrame(int frame);
// Advances the clock and camera by one frame and draws it with DrawFrame,
// cleared as the demo clears that frame. Returns the frame's number.
int DrawNextFrame();
// The picture just drawn, 4 bytes a pixel (blue, green, red, unused), rows
// bottom first as GL keeps them.
void ReadFramePixels(int width, int height, uint8_t* bgra);

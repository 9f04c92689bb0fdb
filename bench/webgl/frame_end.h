// What the frame-cost benchmark does around frames, for the GL it is linked with.
#pragma once

// Before the first frame (after which the GL state is fresh).
void StartFrames();
// After each DrawFrame: what the frame's end costs on this GL.
void EndFrame();
// A name for the output line.
const char* FrameEndName();

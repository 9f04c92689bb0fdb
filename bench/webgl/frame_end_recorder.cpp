// The tests' GL recorder, listing state calls only (as the shell's frames
// would be recorded without their vertices); the list is emptied each frame.
#include <gl_recorder.h>

#include "frame_end.h"

void StartFrames() {
  ResetGlRecorder();
  glRecorder.recordVertices = false;
}
void EndFrame() { glRecorder.calls.clear(); }
const char* FrameEndName() { return "recorder-native"; }

// The browser's GL layer with nothing behind it: batching and state only.
#include "frame_end.h"
#include "platform/web/gl/gl_layer.h"

void StartFrames() { UseGlSink(nullptr); }
void EndFrame() { FlushGl(); }
const char* FrameEndName() {
#ifdef __EMSCRIPTEN__
  return "layer-wasm";
#else
  return "layer-native";
#endif
}

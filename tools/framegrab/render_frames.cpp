// qeb-render-frames TICK:FILE.png[:blend] ...
//
// Run in a folder that holds the demo's data. Opens the demo's window (not
// full screen) and, for each TICK, replays the demo's clock and camera script
// from the start up to the first frame whose clock reaches TICK, brings the
// wave to the phase it has in that frame, draws the frame with the demo's own
// code and writes it to FILE.png. With ":blend" the frame is drawn in the
// look the B key toggles: blending on, depth testing off.
#include <GL/gl.h>
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "platform/message_box.h"
#include "render/draw_frame.h"
#include "render/wave_walls.h"
#include "shell/demo_window.h"

namespace {
constexpr int width = 640, height = 480;

// No dialog may wait for an answer on a display without a window manager.
int PrintMessageBox(WindowHandle, const char* text, const char* caption, unsigned) {
  std::fprintf(stderr, "qeb-render-frames: %s: %s\n", caption, text);
  return IDNO;
}

// The state of the frame in which demoTick first reaches 'tick': clock,
// camera, and the wave shifted as the frames before it shifted it. Returns
// that frame's number, counting from 1.
int ReplayUpTo(int32_t tick) {
  ResetDemoClock();
  int frame = 0;
  bool ended = false;
  while (!ended && (frame == 0 || demoTick < tick)) {
    ended = AdvanceDemoClock();
    ApplyCameraStep();
    ++frame;
  }
  // Every frame drawn before this one moved the wave counter on, shifting
  // the mesh when it stood at 2.
  ResetRenderState();
  for (int drawn = 1; drawn < frame; ++drawn) AdvanceWave();
  return frame;
}

bool WriteFrame(const std::string& path) {
  std::vector<unsigned char> pixels(size_t(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  stbi_flip_vertically_on_write(1);  // GL's rows run bottom first
  return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: qeb-render-frames TICK:FILE.png[:blend] ...\n");
    return 2;
  }
  SetMessageBoxAnswerer(PrintMessageBox);
  if (!OpenDemoWindow("Qeb", width, height, 16, false)) return 1;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string request = argv[i];
    const size_t colon = request.find(':');
    if (colon == std::string::npos) {
      std::fprintf(stderr, "qeb-render-frames: expected TICK:FILE.png, got %s\n", argv[i]);
      status = 2;
      continue;
    }
    std::string path = request.substr(colon + 1);
    const std::string blendSuffix = ":blend";
    const bool blend = path.size() > blendSuffix.size() &&
                       path.compare(path.size() - blendSuffix.size(), std::string::npos, blendSuffix) == 0;
    if (blend) path.resize(path.size() - blendSuffix.size());
    const int frame = ReplayUpTo(std::atoi(request.substr(0, colon).c_str()));
    if (blend) {
      glEnable(GL_BLEND);
      glDisable(GL_DEPTH_TEST);
    }
    // Later frames clear to the fog's grey; the first after set-up to black.
    glClearColor(frame == 1 ? 0.0f : 0.5f, frame == 1 ? 0.0f : 0.5f, frame == 1 ? 0.0f : 0.5f,
                 frame == 1 ? 0.0f : 1.0f);
    DrawFrame();
    if (blend) {
      glDisable(GL_BLEND);
      glEnable(GL_DEPTH_TEST);
    }
    if (!WriteFrame(path)) {
      std::fprintf(stderr, "qeb-render-frames: cannot write %s\n", path.c_str());
      status = 1;
    }
    std::printf("tick %d (frame %d): camera (%.2f, %.2f, %.2f) pitch %.1f yaw %.1f -> %s\n", int(demoTick), frame,
                cameraState.posX, cameraState.posY, cameraState.posZ, cameraState.pitch, cameraState.yaw, path.c_str());
  }
  CloseDemoWindow();
  return status;
}

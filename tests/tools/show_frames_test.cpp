// The default show as a viewer sees it: the demo's own scene set-up, clock,
// camera script and frame code, drawn by Mesa at low resolution, one frame
// from the middle of every slot of the clock. Run under scripts/with-xvfb.sh
// inside the folder of a generated data set.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "answered_message_boxes.h"
#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "datagen/camera_script.h"
#include "generated_data.h"
#include "gl_test_window.h"
#include "image/texture_bank.h"
#include "render/draw_frame.h"
#include "render/init_scene.h"
#include "render/projection.h"
#include "render/wave_mesh.h"
#include "render/wave_walls.h"

namespace {
constexpr int width = 160, height = 120;

using Pixels = std::vector<uint8_t>;

Pixels ReadFrame() {
  Pixels pixels(size_t(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

GLuint SolidTexture(uint8_t level) {
  GLuint name = 0;
  glGenTextures(1, &name);
  const uint8_t pixel[4] = {level, level, level, 0};
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixel);
  return name;
}

// What one sampled frame showed.
struct SlotFigures {
  int slot;
  double wallShare;       // of the frame, where the waving walls are seen
  double blendedMean;     // mean brightness with blending on, 0..1
  double blendedWhite;    // share of pixels washed out to white, blending on
  double blendedClipped;  // share of pixels with at least one channel at full
};

// The whole show replayed once with the demo's own code; the frame in the
// middle of each slot is drawn three ways from the same state: with every
// timeline picture black, then white (the pixels that differ show a wall),
// then as the viewer sees it after pressing B.
std::vector<SlotFigures> ReplayShow() {
  const std::vector<int> frames = FramesPerSlot();
  std::vector<int> middleFrame(frames.size());
  for (size_t slot = 0, start = 0; slot < frames.size(); start += frames[slot], ++slot)
    middleFrame[slot] = int(start) + frames[slot] / 2 + 1;

  const GLuint black = SolidTexture(0), white = SolidTexture(255);
  const TextureBank pictures = textureBank;
  auto showEveryPictureAs = [](GLuint name) {
    for (int slot = TextureSlot::map4; slot <= TextureSlot::begin; ++slot) textureBank.names[slot] = name;
  };
  auto drawFrom = [](const WaveMesh& mesh, int32_t counter) {
    waveMesh = mesh;
    waveFrameCount = counter;
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);  // what every frame but the first clears to
    DrawFrame();
    return ReadFrame();
  };

  std::vector<SlotFigures> figures;
  ResetDemoClock();
  waveFrameCount = 0;
  bool ended = false;
  for (int frame = 1; !ended; ++frame) {
    ended = AdvanceDemoClock();
    ApplyCameraStep();
    const int slot = demoTick / 100;
    if (frame != middleFrame[slot]) {
      AdvanceWave();
      continue;
    }
    const WaveMesh mesh = waveMesh;
    const int32_t counter = waveFrameCount;
    showEveryPictureAs(black);
    const Pixels dark = drawFrom(mesh, counter);
    showEveryPictureAs(white);
    const Pixels bright = drawFrom(mesh, counter);
    textureBank = pictures;
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    const Pixels blended = drawFrom(mesh, counter);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    SlotFigures slotFigures{slot, 0, 0, 0, 0};
    const int pixelCount = width * height;
    for (int i = 0; i < pixelCount; ++i) {
      const uint8_t* d = &dark[3 * i];
      const uint8_t* b = &bright[3 * i];
      const uint8_t* p = &blended[3 * i];
      bool wall = false;
      for (int c = 0; c < 3; ++c) wall = wall || b[c] > d[c] + 12;
      slotFigures.wallShare += wall;
      slotFigures.blendedMean += (p[0] + p[1] + p[2]) / (3.0 * 255.0);
      const int full = (p[0] >= 248) + (p[1] >= 248) + (p[2] >= 248);
      slotFigures.blendedWhite += full == 3;
      slotFigures.blendedClipped += full > 0;
    }
    slotFigures.wallShare /= pixelCount;
    slotFigures.blendedMean /= pixelCount;
    slotFigures.blendedWhite /= pixelCount;
    slotFigures.blendedClipped /= pixelCount;
    figures.push_back(slotFigures);
  }
  glDeleteTextures(1, &black);
  glDeleteTextures(1, &white);
  return figures;
}

class ShowFrames : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_FALSE(SharedDataSet().empty()) << "qeb-datagen failed";
    ASSERT_TRUE(OpenGlTestWindow("Qeb show test", width, height, false, &screen)) << SDL_GetError();
    SetDemoProjection(width, height);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(SharedDataSet());
    AnswerMessageBoxesFromScript();
    const int ready = InitScene();
    SetMessageBoxAnswerer(nullptr);
    std::filesystem::current_path(previous);
    ASSERT_EQ(ready, 1);
    ASSERT_TRUE(answeredMessageBoxes.shown.empty()) << answeredMessageBoxes.shown.front().text;
    figures = ReplayShow();
  }
  static void TearDownTestSuite() { CloseGlTestWindow(&screen); }

  void SetUp() override { ASSERT_EQ(figures.size(), size_t(demoEndTick / 100 + 1)) << "one frame per slot"; }

  static GlTestWindow screen;
  static std::vector<SlotFigures> figures;
};

GlTestWindow ShowFrames::screen;
std::vector<SlotFigures> ShowFrames::figures;
}  // namespace

TEST_F(ShowFrames, AWavingWallFillsPartOfNearlyEveryFrame) {
  int framed = 0;
  std::string missed;
  for (const SlotFigures& slot : figures) {
    if (slot.wallShare >= 0.15) {
      ++framed;
    } else {
      char note[48];
      std::snprintf(note, sizeof note, " %d (%.0f%%)", slot.slot, 100 * slot.wallShare);
      missed += note;
    }
  }
  std::vector<double> shares;
  for (const SlotFigures& slot : figures) shares.push_back(slot.wallShare);
  std::nth_element(shares.begin(), shares.begin() + shares.size() / 2, shares.end());
  std::printf("a wall fills 15%% of the frame in %d of %zu slots (median %.0f%%); not in:%s\n", framed, figures.size(),
              100 * shares[shares.size() / 2], missed.c_str());
  EXPECT_GE(framed, 0.97 * double(figures.size())) << "slots with less than 15% wall:" << missed;
}

// With blending on, every layer adds its colour to the grey the frame is
// cleared to, and the fog adds grey to every layer however dark its
// texture: even black pictures leave blended frames 88% bright on average
// and a quarter of their pixels white. What the pictures can do is keep
// the rest from washing out.
TEST_F(ShowFrames, BlendedLookKeepsMostOfTheFrameFromWashingOut) {
  double mean = 0, white = 0, clipped = 0;
  for (const SlotFigures& slot : figures) {
    mean += slot.blendedMean / figures.size();
    white += slot.blendedWhite / figures.size();
    clipped += slot.blendedClipped / figures.size();
  }
  std::printf("blended frames: mean brightness %.1f%%, white %.1f%%, a channel at full %.1f%%\n", 100 * mean,
              100 * white, 100 * clipped);
  EXPECT_LT(white, 0.5);
}

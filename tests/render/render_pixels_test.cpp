// Frames drawn by Mesa into a real 640x480 window with a 16-bit depth
// buffer, read back as pixels. Run under scripts/with-xvfb.sh (a 16-bit
// screen), with single-colour textures uploaded here.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

#include "clock/demo_state.h"
#include "gl_test_window.h"
#include "image/texture_bank.h"
#include "render/draw_frame.h"
#include "render/projection.h"
#include "render/scene_gl_state.h"
#include "render/wave_walls.h"
#include "scene/scene_state.h"

namespace {

using Rgb = std::array<int, 3>;

constexpr int width = 640, height = 480;
const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, black{0, 0, 0};

// Pictures that tell the timeline's choices apart; every other slot is black.
Rgb ColourOfSlot(int slot) {
  if (slot == TextureSlot::begin) return red;
  if (slot == TextureSlot::anim1) return green;
  if (slot == TextureSlot::map4) return blue;
  return black;
}

void UploadSolidTexture(GLuint name, Rgb colour) {
  uint8_t pixels[2 * 2 * 3];
  for (int i = 0; i < 4; ++i)
    for (int c = 0; c < 3; ++c) pixels[i * 3 + c] = uint8_t(colour[c]);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

class RenderPixelsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(OpenGlTestWindow("Qeb render test", width, height, true, &screen)) << SDL_GetError();
    // The viewport and projection the window code sets before InitScene.
    SetDemoProjection(width, height);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows of 6 bytes, packed
    glGenTextures(textureBankSize, textureBank.names);
    for (int slot = 0; slot <= TextureSlot::begin; ++slot)
      UploadSolidTexture(textureBank.names[slot], ColourOfSlot(slot));
  }
  static void TearDownTestSuite() { CloseGlTestWindow(&screen); }

  // What InitScene leaves behind, with an empty world and the camera 1 unit
  // in front of the -z wall, which then fills the middle of the picture.
  void SetUp() override {
    ASSERT_NE(screen.context, nullptr);
    SetSceneGlState();
    glDisable(GL_BLEND);
    ResetRenderState();
    ResetSceneState();
    demoTick = 0;
    cameraState = {0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f};
  }

  static Rgb ReadPixel(int x, int y) {
    uint8_t pixel[3] = {};
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
  }
  static Rgb MiddlePixel() { return ReadPixel(width / 2, height / 2); }
  static Rgb CornerPixel() { return ReadPixel(2, 2); }  // background: no wall there

  static GlTestWindow screen;
};

GlTestWindow RenderPixelsTest::screen;

// Within the steps of a 5- or 6-bit channel.
void ExpectNear(const Rgb& actual, const Rgb& expected) {
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual[c], expected[c], 9) << "channel " << c;
}

TEST_F(RenderPixelsTest, FirstFrameClearsBlackAndLaterFramesGrey) {
  ASSERT_EQ(DrawFrame(), 1);
  ExpectNear(CornerPixel(), black);
  SDL_GL_SwapWindow(screen.window);
  DrawFrame();
  ExpectNear(CornerPixel(), Rgb{128, 128, 128});
}

// The fog mixes grey into the wall, so the picture's colour shows as the
// channel that stands out.
TEST_F(RenderPixelsTest, WallShowsThePictureTheTimelinePicks) {
  struct Case {
    int32_t tick;
    int channel;
  };
  for (const Case& c : {Case{1599, 0}, Case{1600, 1}, Case{19400, 2}}) {
    SCOPED_TRACE(c.tick);
    demoTick = c.tick;
    DrawFrame();
    const Rgb pixel = MiddlePixel();
    for (int other = 0; other < 3; ++other) {
      if (other == c.channel) continue;
      EXPECT_GT(pixel[c.channel], pixel[other] + 100) << "channel " << other;
    }
  }
}

// B's look: additive blending without depth test lays the walls over the grey.
TEST_F(RenderPixelsTest, BlendedLookBrightensTheWall) {
  DrawFrame();
  DrawFrame();
  const Rgb opaque = MiddlePixel();

  SetUp();
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  DrawFrame();
  DrawFrame();
  const Rgb blended = MiddlePixel();
  EXPECT_GE(blended[0], opaque[0]);
  EXPECT_GT(blended[1], opaque[1] + 60);
  EXPECT_GT(blended[2], opaque[2] + 60);
}

}  // namespace

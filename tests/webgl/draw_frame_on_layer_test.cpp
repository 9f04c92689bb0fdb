// The renderer's frame through the browser's GL entry points: which batches
// and clears reach the sink, with what state.
#include <gtest/gtest.h>

#include <vector>

#include "clock/demo_state.h"
#include "image/texture_bank.h"
#include "platform/web/gl/gl_layer.h"
#include "recording_sink.h"
#include "render/draw_frame.h"
#include "render/projection.h"
#include "render/scene_gl_state.h"
#include "render/timeline.h"
#include "render/wave_walls.h"
#include "scene/world.h"

namespace {

constexpr size_t wallVertices = 4 * 44 * 44 * 6;  // four walls of 44 x 44 quads, two triangles each

class DrawFrameOnLayerTest : public testing::Test {
 protected:
  RecordingSink sink;
  std::vector<WorldTriangle> triangles;

  void SetUp() override {
    UseGlSink(&sink);
    for (int slot = 0; slot < textureBankSize; ++slot) textureBank.names[slot] = GLuint(100 + slot);
    cameraState = {0.5f, 0.25f, -1.0f, 10.0f, 20.0f, 30.0f};
    demoTick = 0;
    ResetRenderState();
    triangles.assign(36, WorldTriangle{});
    for (int i = 0; i < 36; ++i)
      triangles[i] = {{WorldVertex{float(i), 0, 0, 0, 0}, WorldVertex{float(i) + 1, 0, 0, 1, 0},
                       WorldVertex{float(i), 1, 0, 0, 1}}};
    world.triangles = triangles.data();
    world.triangleCount = 36;
    SetDemoProjection(640, 480);
    SetSceneGlState();
  }
  void TearDown() override {
    world = World{};
    UseGlSink(nullptr);
  }
};

TEST_F(DrawFrameOnLayerTest, AFrameIsAClearTheWorldInTextureRunsAndTheWallsInOneDraw) {
  DrawFrame();
  FlushGl();
  ASSERT_FALSE(sink.events.empty());
  ASSERT_TRUE(sink.events[0].isClear);
  EXPECT_EQ(sink.clears[0].colour[0], 0);  // black for the first frame only

  // The world: two triangles per texture in turn (map3, map3, map2, map2,
  // map1, map1 ...), so 18 batches of 6 vertices; then the walls.
  ASSERT_EQ(sink.draws.size(), 19u);
  const GLuint pattern[3] = {textureBank.names[TextureSlot::map3], textureBank.names[TextureSlot::map2],
                             textureBank.names[TextureSlot::map1]};
  for (size_t i = 0; i < 18; ++i) {
    const RecordedDraw& draw = sink.draws[i];
    ASSERT_EQ(draw.vertices.size(), 6u) << i;
    EXPECT_EQ(draw.state.texture, pattern[i % 3]) << i;
    EXPECT_EQ(draw.vertices[5].nz, 1) << i;  // the normal given once per triangle
    EXPECT_EQ(draw.vertices[3].x, float(2 * i + 1)) << i;
    EXPECT_TRUE(draw.state.fog);
    EXPECT_EQ(draw.state.fogMode, FogShaderMode::exp);
    EXPECT_EQ(draw.state.fogDensity, 0.35f);
    EXPECT_TRUE(draw.state.depthTest);
    EXPECT_FALSE(draw.state.lighting);  // the wall light is set up, never switched on
  }
  const RecordedDraw& walls = sink.draws[18];
  EXPECT_EQ(walls.vertices.size(), wallVertices);
  EXPECT_EQ(walls.state.texture, textureBank.names[TimelineTextureSlot(0)]);
  // The walls are lifted by 0.5 on top of the camera transform.
  EXPECT_NE(walls.state.modelview, sink.draws[0].state.modelview);
  EXPECT_EQ(walls.state.viewport, (std::array<GLint, 4>{0, 0, 640, 480}));

  // The next frame clears to the fog's grey.
  DrawFrame();
  FlushGl();
  ASSERT_EQ(sink.clears.size(), 2u);
  EXPECT_EQ(sink.clears[1].colour[0], 0.5f);
  EXPECT_EQ(sink.draws.size(), 38u);
}

}  // namespace

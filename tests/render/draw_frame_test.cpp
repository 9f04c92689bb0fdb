// The call stream of whole frames, recorded without a display.
#include "render/draw_frame.h"

#include <gl_recorder.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "clock/demo_state.h"
#include "image/texture_bank.h"
#include "render/scene_gl_state.h"
#include "render/timeline.h"
#include "render/wave_mesh.h"
#include "render/wave_walls.h"
#include "scene/world.h"

namespace {

constexpr int wallQuadVertices = 44 * 44 * 4;

// Texture names unlike slot numbers, so a test can tell which slot was bound.
GLuint NameOfSlot(int slot) { return GLuint(500 + slot); }

class DrawFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetGlRecorder();
    for (int slot = 0; slot < textureBankSize; ++slot) textureBank.names[slot] = NameOfSlot(slot);
    cameraState = {1.5f, 2.25f, -3.0f, 10.0f, 20.0f, 30.0f};
    demoTick = 0;
    ResetRenderState();
    UseWorldOf(40);
  }
  void TearDown() override { world = World{}; }

  // A world of exactly count triangles on the heap, every float distinct,
  // so a read past its end is an error under AddressSanitizer.
  void UseWorldOf(int count) {
    triangles.assign(count > 0 ? count : 0, WorldTriangle{});
    float value = 0.0f;
    for (WorldTriangle& triangle : triangles)
      for (WorldVertex& vertex : triangle.vertices) vertex = {value++, value++, value++, value++, value++};
    triangles.shrink_to_fit();
    world.triangleCount = count;
    world.triangles = triangles.empty() ? nullptr : triangles.data();
  }

  // The recorded calls of one DrawFrame.
  std::vector<GlCall> RecordFrame() {
    glRecorder.calls.clear();
    EXPECT_EQ(DrawFrame(), 1);
    return glRecorder.calls;
  }

  std::vector<WorldTriangle> triangles;
};

void ExpectCall(const GlCall& call, const char* name, std::vector<double> args) {
  EXPECT_EQ(call.name, name);
  EXPECT_EQ(call.args, args) << "arguments of " << name;
}

// Index of the first call named name at or after from.
size_t FindCall(const std::vector<GlCall>& calls, const char* name, size_t from = 0) {
  while (from < calls.size() && calls[from].name != name) ++from;
  return from;
}

TEST_F(DrawFrameTest, ClearsThenSetsGreyAndFogThenAppliesTheCamera) {
  const std::vector<GlCall> calls = RecordFrame();
  ASSERT_GE(calls.size(), 13u);
  ExpectCall(calls[0], "glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT});
  ExpectCall(calls[1], "glLoadIdentity", {});
  ExpectCall(calls[2], "glClearColor", {0.5, 0.5, 0.5, 1.0});
  ExpectCall(calls[3], "glFogfv", {GL_FOG_COLOR, 0.5, 0.5, 0.5, 1.0});
  ExpectCall(calls[4], "glFogf", {GL_FOG_DENSITY, double(0.35f)});
  ExpectCall(calls[5], "glHint", {GL_FOG_HINT, GL_DONT_CARE});
  ExpectCall(calls[6], "glFogf", {GL_FOG_START, 1.0});
  ExpectCall(calls[7], "glFogf", {GL_FOG_END, 5.0});
  ExpectCall(calls[8], "glEnable", {GL_FOG});
  ExpectCall(calls[9], "glRotatef", {10.0, 1, 0, 0});
  ExpectCall(calls[10], "glRotatef", {20.0, 0, 1, 0});
  ExpectCall(calls[11], "glRotatef", {30.0, 0, 0, 1});
  ExpectCall(calls[12], "glTranslatef", {-1.5, -2.75, 3.0});
  EXPECT_EQ(CountCalls("glFogi"), 0u) << "the fog mode stays at its default";
}

TEST_F(DrawFrameTest, FirstFrameClearsBlackAndLaterFramesGrey) {
  glRecorder.calls.clear();
  SetSceneGlState();
  DrawFrame();
  DrawFrame();
  DrawFrame();
  // The colour in force at each clear.
  std::vector<std::array<double, 4>> clearedWith;
  std::array<double, 4> clearColour{0, 0, 0, 0};  // a new context's default
  for (const GlCall& call : glRecorder.calls) {
    if (call.name == "glClearColor") clearColour = {call.args[0], call.args[1], call.args[2], call.args[3]};
    if (call.name == "glClear") clearedWith.push_back(clearColour);
  }
  using Colour = std::array<double, 4>;
  EXPECT_EQ(clearedWith, (std::vector<Colour>{{0, 0, 0, 0}, {0.5, 0.5, 0.5, 1}, {0.5, 0.5, 0.5, 1}}));
}

TEST_F(DrawFrameTest, WorldPassDrawsEachTriangleInItsOwnBlockAfterItsBind) {
  const std::vector<GlCall> calls = RecordFrame();
  const int slotPattern[6] = {TextureSlot::map3, TextureSlot::map3, TextureSlot::map2,
                              TextureSlot::map2, TextureSlot::map1, TextureSlot::map1};
  size_t at = 13;  // right after the camera transform
  for (int i = 0; i < 36; ++i) {
    SCOPED_TRACE(i);
    ASSERT_LE(at + 10, calls.size());
    ExpectCall(calls[at++], "glBindTexture", {GL_TEXTURE_2D, double(NameOfSlot(slotPattern[i % 6]))});
    ExpectCall(calls[at++], "glBegin", {GL_TRIANGLES});
    ExpectCall(calls[at++], "glNormal3f", {0, 0, 1});
    for (const WorldVertex& vertex : triangles[i].vertices) {
      ExpectCall(calls[at++], "glTexCoord2f", {vertex.u, vertex.v});
      ExpectCall(calls[at++], "glVertex3f", {vertex.x, vertex.y, vertex.z});
    }
    ExpectCall(calls[at++], "glEnd", {});
  }
  // Triangles 36 to 39 are not drawn: the walls' texture comes next.
  ExpectCall(calls[at], "glBindTexture", {GL_TEXTURE_2D, double(NameOfSlot(TextureSlot::begin))});
}

TEST_F(DrawFrameTest, WorldPassDrawsNoTriangleBeyondTheWorld) {
  struct Case {
    int triangleCount;
    size_t trianglesDrawn;
  };
  for (const Case& c : {Case{0, 0}, Case{5, 5}, Case{36, 36}, Case{40, 36}, Case{-3, 0}}) {
    SCOPED_TRACE(c.triangleCount);
    UseWorldOf(c.triangleCount);
    RecordFrame();
    EXPECT_EQ(CountCalls("glBegin") - 4, c.trianglesDrawn);
    EXPECT_EQ(CountCalls("glBindTexture") - 1, c.trianglesDrawn);
  }
}

// Where each wall puts a mesh point: the walls at z = +3 and -3 keep the
// point's axes, those at x = +3 and -3 swap its x and z.
std::array<float, 3> WallVertex(int wall, const WavePoint& p) {
  switch (wall) {
    case 0:
      return {p.x, p.y, p.z + 3.0f};
    case 1:
      return {p.x, p.y, p.z - 3.0f};
    case 2:
      return {p.z + 3.0f, p.y, p.x};
    default:
      return {p.z - 3.0f, p.y, p.x};
  }
}

// Checks the four GL_QUADS blocks starting at calls[at] against mesh.
void ExpectWalls(const std::vector<GlCall>& calls, size_t at, const WaveMesh& mesh) {
  // Corner k of cell (i, j): mesh point and texture coordinate (i + di, j + dj).
  const int cornerRow[4] = {0, 0, 1, 1};
  const int cornerColumn[4] = {0, 1, 1, 0};
  for (int wall = 0; wall < 4; ++wall) {
    SCOPED_TRACE(wall + 1);
    ASSERT_LE(at + 2 + 2 * wallQuadVertices, calls.size());
    ExpectCall(calls[at++], "glBegin", {GL_QUADS});
    for (int i = 0; i < 44; ++i)
      for (int j = 0; j < 44; ++j)
        for (int k = 0; k < 4; ++k) {
          const int row = i + cornerRow[k], column = j + cornerColumn[k];
          const std::array<float, 3> vertex = WallVertex(wall, mesh.points[row][column]);
          // Single-precision division: GCC 12 at -O2 drops the rounding of
          // float(row / 44.0) when the result goes straight back to double.
          ExpectCall(calls[at++], "glTexCoord2f", {float(row) / 44.0f, float(column) / 44.0f});
          ExpectCall(calls[at++], "glVertex3f", {vertex[0], vertex[1], vertex[2]});
          if (testing::Test::HasFailure()) return;  // one report, not thousands
        }
    ExpectCall(calls[at++], "glEnd", {});
  }
}

TEST_F(DrawFrameTest, WallsAreFourQuadBlocksOfTheBuiltMeshAfterTheLift) {
  UseWorldOf(0);
  const WaveMesh built = waveMesh;
  const std::vector<GlCall> calls = RecordFrame();
  const size_t lift = FindCall(calls, "glTranslatef", 13);
  ASSERT_LT(lift, calls.size());
  ExpectCall(calls[lift - 1], "glBindTexture", {GL_TEXTURE_2D, double(NameOfSlot(TextureSlot::begin))});
  ExpectCall(calls[lift], "glTranslatef", {0, 0.5, 0});
  ExpectWalls(calls, lift + 1, built);
  EXPECT_EQ(CountCalls("glVertex3f"), 4u * wallQuadVertices);  // 7744 quads
  // Spot checks in plain numbers: the first corner of walls 1 and 3.
  const size_t firstVertex = lift + 3;
  ExpectCall(calls[firstVertex], "glVertex3f", {-0.45f, -0.45f, 3.0f});
  const size_t callsPerWall = 2 + 2 * wallQuadVertices;
  ExpectCall(calls[firstVertex + 2 * callsPerWall], "glVertex3f", {3.0f, -0.45f, -0.45f});
}

TEST_F(DrawFrameTest, WallsShowTheTimelinePicture) {
  for (int32_t tick : {0, 1650, 7300, 18400, 19400}) {
    demoTick = tick;
    const std::vector<GlCall> calls = RecordFrame();
    const size_t lift = FindCall(calls, "glTranslatef", 13);
    ASSERT_LT(lift, calls.size());
    ExpectCall(calls[lift - 1], "glBindTexture", {GL_TEXTURE_2D, double(NameOfSlot(TimelineTextureSlot(tick)))});
  }
}

TEST_F(DrawFrameTest, WaveMovesAfterTheThirdFrameAndEverySecondFrameOn) {
  UseWorldOf(0);
  WaveMesh expected = waveMesh;
  // Frames 1 to 3 draw the mesh as built, frame 4 shifted once, frame 5
  // shifted once too (and shifts again after drawing), frame 6 twice.
  const int shiftsSeenByFrame[] = {0, 0, 0, 1, 1, 2};
  int shiftsApplied = 0;
  for (int frame = 0; frame < 6; ++frame) {
    SCOPED_TRACE(frame + 1);
    for (; shiftsApplied < shiftsSeenByFrame[frame]; ++shiftsApplied) {
      for (int j = 0; j < 45; ++j) {
        const float first = expected.points[0][j].z;
        for (int i = 0; i < 44; ++i) expected.points[i][j].z = expected.points[i + 1][j].z;
        expected.points[44][j].z = first;
      }
    }
    const std::vector<GlCall> calls = RecordFrame();
    ExpectWalls(calls, FindCall(calls, "glBegin"), expected);
  }
}

TEST_F(DrawFrameTest, LightComesLastFromTheCameraPosition) {
  const std::vector<GlCall> calls = RecordFrame();
  ASSERT_GE(calls.size(), 5u);
  const size_t tail = calls.size() - 5;
  ExpectCall(calls[tail], "glEnd", {});
  ExpectCall(calls[tail + 1], "glLightfv", {GL_LIGHT1, GL_AMBIENT, 0.5, 0.5, 0.5, 1.0});
  ExpectCall(calls[tail + 2], "glLightfv", {GL_LIGHT1, GL_DIFFUSE, 1.0, 1.0, 1.0, 1.0});
  ExpectCall(calls[tail + 3], "glLightfv", {GL_LIGHT1, GL_POSITION, 0.0, -3.0, 1.5, 2.25});
  ExpectCall(calls[tail + 4], "glEnable", {GL_LIGHT1});
  EXPECT_EQ(CountCalls("glEnable"), 2u) << "no lighting, no other state switched";
  EXPECT_EQ(CountCalls("glDisable"), 0u);
}

}  // namespace

// The GL 1.1 state machine behind the browser's GL: what reaches the sink
// for given call sequences.
#include "platform/web/gl/fixed_function_gl.h"

#include <gtest/gtest.h>

#include <cmath>

#include "recording_sink.h"

namespace {

class FixedFunctionGlTest : public testing::Test {
 protected:
  RecordingSink sink;
  FixedFunctionGl gl{&sink};

  void Triangle(float z) {
    gl.Begin(GL_TRIANGLES);
    gl.Vertex(0, 0, z);
    gl.Vertex(1, 0, z);
    gl.Vertex(0, 1, z);
    gl.End();
  }
};

TEST_F(FixedFunctionGlTest, NormalGivenOncePerTriangleAppliesToAllItsVertices) {
  gl.Begin(GL_TRIANGLES);
  gl.Normal(0, 0, 1);
  gl.TexCoord(0.25f, 0.5f);
  gl.Vertex(0, 0, 0);
  gl.TexCoord(0.75f, 0.5f);
  gl.Vertex(1, 0, 0);
  gl.Vertex(0, 1, 0);
  gl.Normal(1, 0, 0);  // the next triangle's
  gl.Vertex(2, 0, 0);
  gl.Vertex(3, 0, 0);
  gl.Vertex(2, 1, 0);
  gl.End();
  gl.Flush();
  ASSERT_EQ(sink.draws.size(), 1u);
  const std::vector<GlVertex>& v = sink.draws[0].vertices;
  ASSERT_EQ(v.size(), 6u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v[i].nz, 1) << i;
  for (int i = 3; i < 6; ++i) EXPECT_EQ(v[i].nx, 1) << i;
  // A texture coordinate holds until the next one, also across vertices.
  EXPECT_EQ(v[0].s, 0.25f);
  EXPECT_EQ(v[1].s, 0.75f);
  EXPECT_EQ(v[2].s, 0.75f);
  EXPECT_EQ(v[2].t, 0.5f);
}

TEST_F(FixedFunctionGlTest, CurrentAttributesOutliveTheirBlock) {
  gl.Normal(0, 1, 0);
  gl.TexCoord(0.5f, 0.125f);
  Triangle(0);
  Triangle(1);
  gl.Flush();
  ASSERT_EQ(sink.draws.size(), 1u);
  for (const GlVertex& v : sink.draws[0].vertices) {
    EXPECT_EQ(v.ny, 1);
    EXPECT_EQ(v.s, 0.5f);
    EXPECT_EQ(v.t, 0.125f);
  }
}

TEST_F(FixedFunctionGlTest, AQuadIsDrawnAsTwoTrianglesSharingItsFirstVertex) {
  gl.Begin(GL_QUADS);
  const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& corner : corners) {
    gl.TexCoord(corner[0], corner[1]);
    gl.Vertex(corner[0] * 10, corner[1] * 10, 0);
  }
  gl.End();
  gl.Flush();
  ASSERT_EQ(sink.draws.size(), 1u);
  const std::vector<GlVertex>& v = sink.draws[0].vertices;
  ASSERT_EQ(v.size(), 6u);
  const int expected[6] = {0, 1, 2, 0, 2, 3};  // same winding as the quad
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(v[i].x, corners[expected[i]][0] * 10) << i;
    EXPECT_EQ(v[i].y, corners[expected[i]][1] * 10) << i;
    EXPECT_EQ(v[i].s, corners[expected[i]][0]) << i;
    EXPECT_EQ(v[i].t, corners[expected[i]][1]) << i;
  }
}

TEST_F(FixedFunctionGlTest, AnUnfinishedPrimitiveAtEndIsDropped) {
  struct Case {
    GLenum mode;
    int vertices, drawn;
  };
  for (const Case& c : {Case{GL_TRIANGLES, 5, 3}, Case{GL_QUADS, 7, 6}, Case{GL_QUADS, 3, 0}}) {
    RecordingSink local;
    FixedFunctionGl fresh(&local);
    fresh.Begin(c.mode);
    for (int i = 0; i < c.vertices; ++i) fresh.Vertex(float(i), 0, 0);
    fresh.End();
    fresh.Flush();
    const size_t drawn = local.draws.empty() ? 0 : local.draws[0].vertices.size();
    EXPECT_EQ(drawn, size_t(c.drawn)) << c.mode << " with " << c.vertices;
    EXPECT_EQ(fresh.TakeError(), GLenum(GL_NO_ERROR));
  }
}

TEST_F(FixedFunctionGlTest, BlocksWithTheSameStateShareOneDraw) {
  gl.Enable(GL_TEXTURE_2D);
  gl.BindTexture(GL_TEXTURE_2D, 7);
  Triangle(0);
  gl.BindTexture(GL_TEXTURE_2D, 7);  // the same name: no break
  Triangle(1);
  gl.BindTexture(GL_TEXTURE_2D, 8);
  Triangle(2);
  gl.Translate(0, 0, -5);
  Triangle(3);
  gl.Flush();
  ASSERT_EQ(sink.draws.size(), 3u);
  EXPECT_EQ(sink.draws[0].vertices.size(), 6u);
  EXPECT_EQ(sink.draws[0].state.texture, 7u);
  EXPECT_EQ(sink.draws[1].state.texture, 8u);
  // Each batch keeps the modelview of its own vertices.
  EXPECT_EQ(sink.draws[1].state.modelview[14], 0);
  EXPECT_EQ(sink.draws[2].state.modelview[14], -5);
  EXPECT_EQ(sink.draws[2].vertices[0].z, 3);
}

TEST_F(FixedFunctionGlTest, ClearHandsOverEarlierDrawsAndUsesTheColourOfItsMoment) {
  gl.ClearColor(0, 0, 1, 0);
  Triangle(0);
  gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gl.ClearColor(0.5f, 0.5f, 0.5f, 2);  // for the next clear; clamped to 1
  gl.Clear(GL_COLOR_BUFFER_BIT);
  ASSERT_EQ(sink.events.size(), 3u);
  EXPECT_FALSE(sink.events[0].isClear);
  EXPECT_TRUE(sink.events[1].isClear);
  EXPECT_EQ(sink.clears[0].colour[2], 1);
  EXPECT_EQ(sink.clears[0].mask, GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
  EXPECT_EQ(sink.clears[1].colour[0], 0.5f);
  EXPECT_EQ(sink.clears[1].colour[3], 1);
}

TEST_F(FixedFunctionGlTest, LightPositionIsTransformedWhenItIsSet) {
  gl.Translate(1, 2, 3);
  const float point[4] = {0, 0, 0, 1}, direction[4] = {0, 0, 1, 0};
  gl.Light(GL_LIGHT1, GL_POSITION, point);
  gl.LoadIdentity();
  gl.Rotate(90, 0, 1, 0);
  gl.Light(GL_LIGHT2, GL_POSITION, direction);
  gl.LoadIdentity();  // later modelviews do not move lights already placed
  const DrawState state = gl.CurrentDrawState();
  const Vector4 p = state.lights[1].eyePosition, d = state.lights[2].eyePosition;
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(p.y, 2);
  EXPECT_EQ(p.z, 3);
  EXPECT_EQ(p.w, 1);
  // A direction turns with the modelview but is not moved.
  EXPECT_NEAR(d.x, 1, 1e-6);
  EXPECT_NEAR(d.z, 0, 1e-6);
  EXPECT_EQ(d.w, 0);
}

TEST_F(FixedFunctionGlTest, LightsStartAsGlDefinesThem) {
  const DrawState state = gl.CurrentDrawState();
  EXPECT_EQ(state.lights[0].diffuse[0], 1);  // only light 0 is white
  EXPECT_EQ(state.lights[1].diffuse[0], 0);
  EXPECT_EQ(state.lights[3].eyePosition.z, 1);
  EXPECT_EQ(state.lights[3].eyePosition.w, 0);
  EXPECT_FALSE(state.lights[0].enabled);
  EXPECT_FALSE(state.lighting);

  const float ambient[4] = {0.5f, 0.25f, 0.125f, 1};
  gl.Light(GL_LIGHT1, GL_AMBIENT, ambient);
  gl.Enable(GL_LIGHT1);
  gl.Enable(GL_LIGHTING);
  const DrawState lit = gl.CurrentDrawState();
  EXPECT_TRUE(lit.lighting);
  EXPECT_TRUE(lit.lights[1].enabled);
  EXPECT_EQ(lit.lights[1].ambient[1], 0.25f);
  EXPECT_EQ(lit.normalMatrix[0], 1);  // identity modelview
}

TEST_F(FixedFunctionGlTest, FogParametersReachTheDraw) {
  const float colour[4] = {0.5f, 0.5f, 0.5f, 1};
  gl.Fog(GL_FOG_COLOR, colour);
  const float density = 0.35f, start = 1, end = 5, linear = float(GL_LINEAR);
  gl.Fog(GL_FOG_DENSITY, &density);
  gl.Fog(GL_FOG_START, &start);
  gl.Fog(GL_FOG_END, &end);
  gl.Enable(GL_FOG);
  DrawState state = gl.CurrentDrawState();
  EXPECT_TRUE(state.fog);
  EXPECT_EQ(state.fogMode, FogShaderMode::exp);  // GL's default mode
  EXPECT_EQ(state.fogDensity, 0.35f);
  EXPECT_EQ(state.fogStart, 1);
  EXPECT_EQ(state.fogEnd, 5);
  EXPECT_EQ(state.fogColour[0], 0.5f);
  gl.Fog(GL_FOG_MODE, &linear);
  EXPECT_EQ(gl.CurrentDrawState().fogMode, FogShaderMode::linear);

  const float bad = -1, notAMode = float(GL_LESS);
  gl.Fog(GL_FOG_DENSITY, &bad);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_VALUE));
  gl.Fog(GL_FOG_MODE, &notAMode);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_ENUM));
  state = gl.CurrentDrawState();
  EXPECT_EQ(state.fogDensity, 0.35f);
  EXPECT_EQ(state.fogMode, FogShaderMode::linear);
}

TEST_F(FixedFunctionGlTest, TexturingNeedsTheEnableAnImageAndAFilterWithoutMipmaps) {
  const unsigned char pixels[12] = {};
  struct Case {
    const char* name;
    bool enable, upload, nearestMinFilter;
    bool texturing;
  };
  for (const Case& c :
       {Case{"complete", true, true, true, true}, Case{"disabled", false, true, true, false},
        Case{"no image", true, false, true, false}, Case{"default mipmap filter", true, true, false, false}}) {
    RecordingSink local;
    FixedFunctionGl fresh(&local);
    GLuint name = 0;
    fresh.GenTextures(1, &name);
    fresh.BindTexture(GL_TEXTURE_2D, name);
    if (c.enable) fresh.Enable(GL_TEXTURE_2D);
    if (c.nearestMinFilter) fresh.TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    if (c.upload) fresh.TexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    EXPECT_EQ(fresh.CurrentDrawState().texturing, c.texturing) << c.name;
    EXPECT_EQ(fresh.TakeError(), GLenum(GL_NO_ERROR)) << c.name;
  }
}

TEST_F(FixedFunctionGlTest, UploadsGoToTheBoundNameWithTheUnpackAlignment) {
  const unsigned char pixels[16] = {};
  GLuint names[3];
  gl.GenTextures(3, names);
  EXPECT_EQ(names[0], 1u);
  EXPECT_EQ(names[2], 3u);
  gl.PixelStore(GL_UNPACK_ALIGNMENT, 1);
  gl.BindTexture(GL_TEXTURE_2D, names[1]);
  gl.TexParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl.TexImage2D(GL_TEXTURE_2D, 0, 3, 3, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  // Before any name is generated, GL 1.1 uploads into the default texture 0.
  gl.BindTexture(GL_TEXTURE_2D, 0);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  ASSERT_EQ(sink.uploads.size(), 2u);
  EXPECT_EQ(sink.uploads[0].name, names[1]);
  EXPECT_EQ(sink.uploads[0].width, 3);
  EXPECT_EQ(sink.uploads[0].unpackAlignment, 1);
  EXPECT_EQ(sink.uploads[0].pixels, pixels);
  EXPECT_EQ(sink.uploads[1].name, 0u);
  ASSERT_EQ(sink.parameters.size(), 1u);
  EXPECT_EQ(sink.parameters[0].name, names[1]);
  EXPECT_EQ(sink.parameters[0].value, GL_NEAREST);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_NO_ERROR));

  // What WebGL cannot take is refused and uploads nothing.
  gl.TexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixels);  // a border
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_VALUE));
  gl.TexImage2D(GL_TEXTURE_2D, 0, 3, -1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_VALUE));
  gl.TexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_ENUM));
  EXPECT_EQ(sink.uploads.size(), 2u);
}

TEST_F(FixedFunctionGlTest, StateCallsInsideBeginEndAreRefusedAndChangeNothing) {
  gl.BindTexture(GL_TEXTURE_2D, 4);
  gl.Begin(GL_TRIANGLES);
  gl.BindTexture(GL_TEXTURE_2D, 5);
  gl.Translate(1, 0, 0);
  gl.Enable(GL_FOG);
  gl.Clear(GL_COLOR_BUFFER_BIT);
  gl.Begin(GL_QUADS);
  gl.Vertex(0, 0, 0);
  gl.Vertex(1, 0, 0);
  gl.Vertex(0, 1, 0);
  gl.End();
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_OPERATION));
  EXPECT_EQ(gl.TakeError(), GLenum(GL_NO_ERROR));  // reading the error clears it
  gl.Flush();
  ASSERT_EQ(sink.draws.size(), 1u);
  EXPECT_EQ(sink.draws[0].vertices.size(), 3u);  // still one triangle
  EXPECT_EQ(sink.draws[0].state.texture, 4u);
  EXPECT_EQ(sink.draws[0].state.modelview[12], 0);
  EXPECT_FALSE(sink.draws[0].state.fog);
  EXPECT_TRUE(sink.clears.empty());
  gl.End();  // no block is open
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_OPERATION));
}

TEST_F(FixedFunctionGlTest, UnsupportedEnumsAreReportedNotDrawn) {
  gl.Enable(GL_CULL_FACE);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_ENUM));
  gl.MatrixMode(GL_TEXTURE);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_ENUM));
  gl.BlendFunc(GL_SRC_COLOR, GL_ONE);  // not a source factor in GL 1.1
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_ENUM));
  gl.Begin(GL_LINES);
  gl.Vertex(0, 0, 0);
  gl.Vertex(1, 0, 0);
  gl.End();
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_ENUM));
  gl.Flush();
  EXPECT_TRUE(sink.draws.empty());
  // Only the first error is kept until it is read.
  gl.Viewport(0, 0, -1, 1);
  gl.Enable(GL_CULL_FACE);
  EXPECT_EQ(gl.TakeError(), GLenum(GL_INVALID_VALUE));
}

TEST_F(FixedFunctionGlTest, ProjectionAndModelviewAreKeptApart) {
  gl.MatrixMode(GL_PROJECTION);
  gl.Perspective(45, 4.0 / 3.0, 0.1, 100);
  gl.MatrixMode(GL_MODELVIEW);
  gl.Translate(0, 0, -2);
  gl.Viewport(0, 0, 640, 480);
  gl.Enable(GL_DEPTH_TEST);
  gl.DepthFunc(GL_LEQUAL);
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
  const DrawState state = gl.CurrentDrawState();
  Matrix4 perspective;
  ASSERT_TRUE(PerspectiveMatrix(45, 4.0 / 3.0, 0.1, 100, &perspective));
  EXPECT_EQ(state.projection, perspective);
  EXPECT_EQ(state.modelview, TranslationMatrix(0, 0, -2));
  EXPECT_EQ(state.viewport, (std::array<GLint, 4>{0, 0, 640, 480}));
  EXPECT_TRUE(state.depthTest);
  EXPECT_EQ(state.depthFunc, GLenum(GL_LEQUAL));
  EXPECT_TRUE(state.blend);
  EXPECT_EQ(state.blendSource, GLenum(GL_SRC_ALPHA));
  EXPECT_EQ(state.blendDestination, GLenum(GL_ONE));
}

}  // namespace

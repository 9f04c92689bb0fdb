// What the fixed-function core hands to whoever draws: batches of triangles
// with everything their shader needs, clears, and texture uploads. The core
// never calls WebGL itself, so it runs (and is tested) natively as well.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/web/gl/gl_matrix.h"

// One vertex as the shader reads it: 8 floats, 32 bytes.
struct GlVertex {
  float x, y, z;
  float s, t;
  float nx, ny, nz;
};

constexpr int maxLights = 8;  // GL_LIGHT0 .. GL_LIGHT7

// A light as the vertex shader uses it. The position is in eye coordinates:
// transformed by the modelview that was current when it was set.
struct LightUniforms {
  bool enabled = false;
  std::array<float, 4> ambient{0, 0, 0, 1};
  std::array<float, 4> diffuse{0, 0, 0, 1};
  Vector4 eyePosition{0, 0, 1, 0};
};

// Fog modes as the shader numbers them.
enum class FogShaderMode : int { linear = 0, exp = 1, exp2 = 2 };

// Everything a batch's draw depends on. The core flushes a batch before any of
// this changes, so one value holds for all its vertices.
struct DrawState {
  Matrix4 modelview;
  Matrix4 projection;
  std::array<float, 9> normalMatrix;  // only filled when lighting is on
  std::array<float, 4> colour;        // the current colour (no per-vertex colours are given)

  bool lighting = false;
  std::array<float, 4> lightModelAmbient;
  std::array<float, 4> materialAmbient;
  std::array<float, 4> materialDiffuse;
  std::array<LightUniforms, maxLights> lights;

  bool fog = false;
  FogShaderMode fogMode = FogShaderMode::exp;
  float fogDensity = 1, fogStart = 0, fogEnd = 1;
  std::array<float, 4> fogColour;

  // Texturing is on only when GL_TEXTURE_2D is enabled and the bound
  // texture is complete (has an image, and a filter that needs no mipmaps).
  bool texturing = false;
  GLuint texture = 0;

  bool depthTest = false;
  GLenum depthFunc = GL_LESS;
  bool blend = false;
  GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
  std::array<GLint, 4> viewport{0, 0, 0, 0};
};

struct ClearRequest {
  GLbitfield mask;
  std::array<float, 4> colour;
  float depth;
};

// The drawing side: WebGL in the browser, a recorder in tests, nothing in
// the benchmark.
class GlSink {
 public:
  virtual ~GlSink() = default;
  virtual void Clear(const ClearRequest& request) = 0;
  // Independent triangles: count is a multiple of 3.
  virtual void DrawTriangles(const GlVertex* vertices, size_t count, const DrawState& state) = 0;
  // A tightly described RGB image for texture name; rows start at multiples
  // of unpackAlignment bytes. pixels may be null (an image of undefined content).
  virtual void UploadTexture(GLuint name, GLsizei width, GLsizei height, GLint unpackAlignment, const void* pixels) = 0;
  // GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S or _T.
  virtual void SetTextureParameter(GLuint name, GLenum parameter, GLint value) = 0;
};

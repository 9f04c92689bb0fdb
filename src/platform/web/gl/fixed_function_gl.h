// The GL 1.1 state machine behind the browser's GL entry points, for the
// calls the renderer makes and nothing more: one modelview and one
// projection matrix (no stacks: nothing pushes), immediate mode with the
// current normal and texture coordinate kept across vertices and blocks as
// GL keeps them, GL_TRIANGLES and GL_QUADS (a quad becomes two triangles),
// texture objects, the enables, blending, depth, fog and lights.
//
// Vertices are batched: consecutive glBegin/glEnd blocks that draw with the
// same state go to the sink as one array. A batch is handed over before
// anything it depends on changes, before a clear, and on Flush() (end of
// frame). Errors are recorded as glGetError reports them; the call that
// caused one changes nothing.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <map>
#include <vector>

#include "platform/web/gl/draw_call.h"

class FixedFunctionGl {
 public:
  explicit FixedFunctionGl(GlSink* sink);

  void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
  void MatrixMode(GLenum mode);
  void LoadIdentity();
  void Rotate(float angle, float x, float y, float z);
  void Translate(float x, float y, float z);
  void Perspective(double fovy, double aspect, double zNear, double zFar);

  void Enable(GLenum cap) { SetCapability(cap, true); }
  void Disable(GLenum cap) { SetCapability(cap, false); }
  void BlendFunc(GLenum source, GLenum destination);
  void DepthFunc(GLenum func);
  void ShadeModel(GLenum mode);
  void Hint(GLenum target, GLenum mode);
  void ClearColor(float r, float g, float b, float a);
  void ClearDepth(double depth);
  void Clear(GLbitfield mask);

  void Fog(GLenum parameter, const float* values);  // glFogf, glFogi and glFogfv
  void Light(GLenum light, GLenum parameter, const float* values);

  void Begin(GLenum mode);
  void End();
  void Normal(float x, float y, float z) { currentNormal_ = {x, y, z}; }
  void TexCoord(float s, float t) { currentTexCoord_ = {s, t}; }
  // Inline: the walls give some 31 000 vertices a frame.
  void Vertex(float x, float y, float z) {
    // Outside glBegin/glEnd a vertex has no meaning in GL; it is ignored.
    if (!inBeginEnd_ || droppingVertices_) return;
    batch_.push_back(
        {x, y, z, currentTexCoord_.s, currentTexCoord_.t, currentNormal_.x, currentNormal_.y, currentNormal_.z});
    if (++verticesInPrimitive_ == verticesPerPrimitive_) CompletePrimitive();
  }

  void GenTextures(GLsizei n, GLuint* names);
  void BindTexture(GLenum target, GLuint name);
  void TexParameter(GLenum target, GLenum parameter, GLint value);
  void PixelStore(GLenum parameter, GLint value);
  void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels);

  // The first error since the last call, then GL_NO_ERROR.
  GLenum TakeError();
  // Hands the pending batch to the sink (the frame is about to be shown).
  void Flush();

  // The state a draw issued now would get; for tests and the sink.
  DrawState CurrentDrawState() const;
  GLuint BoundTexture() const { return boundTexture_; }

 private:
  struct Texture {
    GLsizei width = 0, height = 0;
    GLint minFilter = GL_NEAREST_MIPMAP_LINEAR, magFilter = GL_LINEAR;
  };
  struct Normal3 {
    float x, y, z;
  };
  struct TexCoord2 {
    float s, t;
  };

  void CompletePrimitive();
  void SetCapability(GLenum cap, bool on);
  void MultiplyCurrent(const Matrix4& m);
  Matrix4& CurrentMatrix() { return matrixMode_ == GL_PROJECTION ? projection_ : modelview_; }
  bool* CapabilityFlag(GLenum cap);
  // Records an error if inside glBegin/glEnd (where only vertex data is
  // allowed) and returns true; otherwise hands over the pending batch,
  // whose draw depends on the state about to change, and returns false.
  bool RefuseOrFlushBeforeChange();
  void SetError(GLenum error);
  bool TextureComplete(GLuint name) const;

  GlSink* sink_;
  GLenum error_ = GL_NO_ERROR;

  Matrix4 modelview_, projection_;
  GLenum matrixMode_ = GL_MODELVIEW;
  std::array<GLint, 4> viewport_{0, 0, 0, 0};

  bool depthTest_ = false, blend_ = false, lighting_ = false, fog_ = false, texture2D_ = false;
  bool lightEnabled_[maxLights] = {};
  GLenum depthFunc_ = GL_LESS, blendSource_ = GL_ONE, blendDestination_ = GL_ZERO;
  std::array<float, 4> clearColour_{0, 0, 0, 0};
  float clearDepth_ = 1;

  GLenum fogMode_ = GL_EXP;
  float fogDensity_ = 1, fogStart_ = 0, fogEnd_ = 1;
  std::array<float, 4> fogColour_{0, 0, 0, 0};
  std::array<LightUniforms, maxLights> lights_;

  std::map<GLuint, Texture> textures_;  // name 0 is the default texture, usable as GL 1.1 allows
  GLuint boundTexture_ = 0, nextTextureName_ = 1;
  GLint unpackAlignment_ = 4;

  // Immediate mode.
  bool inBeginEnd_ = false;
  bool droppingVertices_ = false;  // a block of a primitive this layer does not draw
  int verticesPerPrimitive_ = 3;   // 3 for GL_TRIANGLES, 4 for GL_QUADS
  int verticesInPrimitive_ = 0;    // of the triangle or quad being given
  Normal3 currentNormal_{0, 0, 1};
  TexCoord2 currentTexCoord_{0, 0};
  std::vector<GlVertex> batch_;
};

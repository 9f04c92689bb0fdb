#include "platform/web/gl/fixed_function_gl.h"

#include <algorithm>
#include <cmath>

namespace {

float Clamp01(float value) { return std::clamp(value, 0.0f, 1.0f); }

bool IsBlendFactor(GLenum factor, bool source) {
  switch (factor) {
    case GL_ZERO:
    case GL_ONE:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA:
      return true;
    case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR:
    case GL_SRC_ALPHA_SATURATE:
      return source;
    case GL_SRC_COLOR:
    case GL_ONE_MINUS_SRC_COLOR:
      return !source;
    default:
      return false;
  }
}

bool IsHintTarget(GLenum target) {
  return target == GL_FOG_HINT || target == GL_PERSPECTIVE_CORRECTION_HINT || target == GL_LINE_SMOOTH_HINT ||
         target == GL_POINT_SMOOTH_HINT || target == GL_POLYGON_SMOOTH_HINT;
}

}  // namespace

FixedFunctionGl::FixedFunctionGl(GlSink* sink)
    : sink_(sink), modelview_(IdentityMatrix()), projection_(IdentityMatrix()) {
  // GL_LIGHT0 alone starts with a white diffuse colour.
  lights_[0].diffuse = {1, 1, 1, 1};
  batch_.reserve(1 << 16);
}

void FixedFunctionGl::SetError(GLenum error) {
  if (error_ == GL_NO_ERROR) error_ = error;
}

GLenum FixedFunctionGl::TakeError() {
  const GLenum error = error_;
  error_ = GL_NO_ERROR;
  return error;
}

bool FixedFunctionGl::RefuseOrFlushBeforeChange() {
  if (inBeginEnd_) {
    SetError(GL_INVALID_OPERATION);
    return true;
  }
  Flush();
  return false;
}

void FixedFunctionGl::Flush() {
  if (inBeginEnd_ || batch_.empty()) return;
  sink_->DrawTriangles(batch_.data(), batch_.size(), CurrentDrawState());
  batch_.clear();
}

DrawState FixedFunctionGl::CurrentDrawState() const {
  DrawState state;
  state.modelview = modelview_;
  state.projection = projection_;
  state.normalMatrix = lighting_ ? NormalMatrix(modelview_) : std::array<float, 9>{};
  state.colour = {1, 1, 1, 1};
  state.lighting = lighting_;
  state.lightModelAmbient = {0.2f, 0.2f, 0.2f, 1};
  state.materialAmbient = {0.2f, 0.2f, 0.2f, 1};
  state.materialDiffuse = {0.8f, 0.8f, 0.8f, 1};
  state.lights = lights_;
  for (int i = 0; i < maxLights; ++i) state.lights[i].enabled = lightEnabled_[i];
  state.fog = fog_;
  state.fogMode = fogMode_ == GL_LINEAR ? FogShaderMode::linear
                  : fogMode_ == GL_EXP2 ? FogShaderMode::exp2
                                        : FogShaderMode::exp;
  state.fogDensity = fogDensity_;
  state.fogStart = fogStart_;
  state.fogEnd = fogEnd_;
  state.fogColour = fogColour_;
  state.texturing = texture2D_ && TextureComplete(boundTexture_);
  state.texture = boundTexture_;
  state.depthTest = depthTest_;
  state.depthFunc = depthFunc_;
  state.blend = blend_;
  state.blendSource = blendSource_;
  state.blendDestination = blendDestination_;
  state.viewport = viewport_;
  return state;
}

// Viewport, matrices ---------------------------------------------------------

void FixedFunctionGl::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (width < 0 || height < 0) return SetError(GL_INVALID_VALUE);
  if (RefuseOrFlushBeforeChange()) return;
  viewport_ = {x, y, width, height};
}

void FixedFunctionGl::MatrixMode(GLenum mode) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  // No texture matrix: nothing in the renderer sets one.
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION) return SetError(GL_INVALID_ENUM);
  matrixMode_ = mode;
}

void FixedFunctionGl::MultiplyCurrent(const Matrix4& m) {
  if (RefuseOrFlushBeforeChange()) return;
  CurrentMatrix() = MultiplyMatrices(CurrentMatrix(), m);
}

void FixedFunctionGl::LoadIdentity() {
  if (RefuseOrFlushBeforeChange()) return;
  CurrentMatrix() = IdentityMatrix();
}

void FixedFunctionGl::Rotate(float angle, float x, float y, float z) {
  MultiplyCurrent(RotationMatrix(angle, x, y, z));
}

void FixedFunctionGl::Translate(float x, float y, float z) { MultiplyCurrent(TranslationMatrix(x, y, z)); }

void FixedFunctionGl::Perspective(double fovy, double aspect, double zNear, double zFar) {
  Matrix4 perspective;
  if (PerspectiveMatrix(fovy, aspect, zNear, zFar, &perspective)) MultiplyCurrent(perspective);
}

// Fixed state ------------------------------------------------------------------

bool* FixedFunctionGl::CapabilityFlag(GLenum cap) {
  if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + maxLights) return &lightEnabled_[cap - GL_LIGHT0];
  switch (cap) {
    case GL_DEPTH_TEST:
      return &depthTest_;
    case GL_BLEND:
      return &blend_;
    case GL_LIGHTING:
      return &lighting_;
    case GL_FOG:
      return &fog_;
    case GL_TEXTURE_2D:
      return &texture2D_;
    default:
      // A capability the renderer never uses is refused, so that its use
      // shows in glGetError instead of drawing as if it were on.
      return nullptr;
  }
}

void FixedFunctionGl::SetCapability(GLenum cap, bool on) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  bool* flag = CapabilityFlag(cap);
  if (!flag) return SetError(GL_INVALID_ENUM);
  if (*flag == on) return;
  Flush();
  *flag = on;
}

void FixedFunctionGl::BlendFunc(GLenum source, GLenum destination) {
  if (!IsBlendFactor(source, true) || !IsBlendFactor(destination, false)) return SetError(GL_INVALID_ENUM);
  if (RefuseOrFlushBeforeChange()) return;
  blendSource_ = source;
  blendDestination_ = destination;
}

void FixedFunctionGl::DepthFunc(GLenum func) {
  if (func < GL_NEVER || func > GL_ALWAYS) return SetError(GL_INVALID_ENUM);
  if (RefuseOrFlushBeforeChange()) return;
  depthFunc_ = func;
}

void FixedFunctionGl::ShadeModel(GLenum mode) {
  if (mode != GL_SMOOTH && mode != GL_FLAT) return SetError(GL_INVALID_ENUM);
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  // Nothing to keep: with one colour for every vertex (no glColor calls, no
  // lighting in the renderer), flat and smooth shading draw the same.
}

void FixedFunctionGl::Hint(GLenum target, GLenum mode) {
  if (!IsHintTarget(target) || (mode != GL_FASTEST && mode != GL_NICEST && mode != GL_DONT_CARE))
    return SetError(GL_INVALID_ENUM);
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  // Hints may be ignored: perspective correction and per-fragment fog are always on.
}

void FixedFunctionGl::ClearColor(float r, float g, float b, float a) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  clearColour_ = {Clamp01(r), Clamp01(g), Clamp01(b), Clamp01(a)};
}

void FixedFunctionGl::ClearDepth(double depth) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  clearDepth_ = Clamp01(float(depth));
}

void FixedFunctionGl::Clear(GLbitfield mask) {
  constexpr GLbitfield known = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT;
  if (mask & ~known) return SetError(GL_INVALID_VALUE);
  if (RefuseOrFlushBeforeChange()) return;
  // The window has no stencil or accumulation buffer: clearing them does nothing.
  sink_->Clear({mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT), clearColour_, clearDepth_});
}

void FixedFunctionGl::Fog(GLenum parameter, const float* values) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  const float value = values[0];
  switch (parameter) {
    case GL_FOG_MODE: {
      const GLenum mode = GLenum(value);
      if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) return SetError(GL_INVALID_ENUM);
      Flush();
      fogMode_ = mode;
      return;
    }
    case GL_FOG_DENSITY:
      if (value < 0) return SetError(GL_INVALID_VALUE);
      Flush();
      fogDensity_ = value;
      return;
    case GL_FOG_START:
      Flush();
      fogStart_ = value;
      return;
    case GL_FOG_END:
      Flush();
      fogEnd_ = value;
      return;
    case GL_FOG_COLOR:
      Flush();
      fogColour_ = {Clamp01(values[0]), Clamp01(values[1]), Clamp01(values[2]), Clamp01(values[3])};
      return;
    case GL_FOG_INDEX:
      return;  // colour-index mode only
    default:
      return SetError(GL_INVALID_ENUM);
  }
}

void FixedFunctionGl::Light(GLenum light, GLenum parameter, const float* values) {
  if (light < GL_LIGHT0 || light >= GL_LIGHT0 + maxLights) return SetError(GL_INVALID_ENUM);
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  LightUniforms& target = lights_[light - GL_LIGHT0];
  switch (parameter) {
    case GL_AMBIENT:
      Flush();
      target.ambient = {values[0], values[1], values[2], values[3]};
      return;
    case GL_DIFFUSE:
      Flush();
      target.diffuse = {values[0], values[1], values[2], values[3]};
      return;
    case GL_SPECULAR:
      // The material's specular colour stays GL's black (no glMaterial
      // call), so a light's specular colour never shows.
      return;
    case GL_POSITION:
      Flush();
      // Stored in eye coordinates, through the modelview of this moment.
      target.eyePosition = TransformVector(modelview_, {values[0], values[1], values[2], values[3]});
      return;
    default:
      // Spot lights and attenuation: the renderer sets none of them.
      return SetError(GL_INVALID_ENUM);
  }
}

// Immediate mode ---------------------------------------------------------------

void FixedFunctionGl::Begin(GLenum mode) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  if (mode > GL_POLYGON) return SetError(GL_INVALID_ENUM);
  inBeginEnd_ = true;
  verticesInPrimitive_ = 0;
  // Points, lines, strips, fans and polygons are valid GL but not drawn
  // here: nothing in the renderer uses them. Their vertices are dropped.
  droppingVertices_ = mode != GL_TRIANGLES && mode != GL_QUADS;
  if (droppingVertices_) SetError(GL_INVALID_ENUM);
  verticesPerPrimitive_ = mode == GL_QUADS ? 4 : 3;
}

void FixedFunctionGl::CompletePrimitive() {
  verticesInPrimitive_ = 0;
  if (verticesPerPrimitive_ == 4) {
    // Quad v0 v1 v2 v3 becomes the triangles v0 v1 v2 and v0 v2 v3.
    const size_t first = batch_.size() - 4;
    const GlVertex v0 = batch_[first], v2 = batch_[first + 2], v3 = batch_[first + 3];
    batch_[first + 3] = v0;
    batch_.push_back(v2);
    batch_.push_back(v3);
  }
}

void FixedFunctionGl::End() {
  if (!inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  // An unfinished triangle or quad at the end of the block is not drawn.
  batch_.resize(batch_.size() - size_t(verticesInPrimitive_));
  verticesInPrimitive_ = 0;
  inBeginEnd_ = false;
  droppingVertices_ = false;
}

// Textures ---------------------------------------------------------------------

bool FixedFunctionGl::TextureComplete(GLuint name) const {
  const auto found = textures_.find(name);
  if (found == textures_.end()) return false;
  const Texture& texture = found->second;
  // Only level 0 is ever given: a filter that reads mipmaps makes the
  // texture incomplete, and GL then draws as if texturing were off.
  const bool mipmapped = texture.minFilter != GL_NEAREST && texture.minFilter != GL_LINEAR;
  return texture.width > 0 && texture.height > 0 && !mipmapped;
}

void FixedFunctionGl::GenTextures(GLsizei n, GLuint* names) {
  if (n < 0) return SetError(GL_INVALID_VALUE);
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  for (GLsizei i = 0; i < n; ++i) {
    names[i] = nextTextureName_++;
    textures_[names[i]];
  }
}

void FixedFunctionGl::BindTexture(GLenum target, GLuint name) {
  if (target != GL_TEXTURE_2D) return SetError(GL_INVALID_ENUM);
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  // Binding the same name again changes nothing and keeps the batch going.
  if (name == boundTexture_) return;
  Flush();
  boundTexture_ = name;
  textures_[name];  // binding a name that was never generated creates it, as GL 1.1 does
  nextTextureName_ = std::max(nextTextureName_, name + 1);
}

void FixedFunctionGl::TexParameter(GLenum target, GLenum parameter, GLint value) {
  if (target != GL_TEXTURE_2D) return SetError(GL_INVALID_ENUM);
  const bool minFilter = parameter == GL_TEXTURE_MIN_FILTER, magFilter = parameter == GL_TEXTURE_MAG_FILTER;
  // Wrap modes stay GL's GL_REPEAT: the renderer never changes them.
  if (!minFilter && !magFilter) return SetError(GL_INVALID_ENUM);
  const bool plain = value == GL_NEAREST || value == GL_LINEAR;
  const bool mipmap = value == GL_NEAREST_MIPMAP_NEAREST || value == GL_LINEAR_MIPMAP_NEAREST ||
                      value == GL_NEAREST_MIPMAP_LINEAR || value == GL_LINEAR_MIPMAP_LINEAR;
  if (!plain && !(minFilter && mipmap)) return SetError(GL_INVALID_ENUM);
  if (RefuseOrFlushBeforeChange()) return;
  Texture& texture = textures_[boundTexture_];
  (minFilter ? texture.minFilter : texture.magFilter) = value;
  // The sink never sees a mipmap filter: such a texture is not drawn with.
  if (plain) sink_->SetTextureParameter(boundTexture_, parameter, value);
}

void FixedFunctionGl::PixelStore(GLenum parameter, GLint value) {
  if (inBeginEnd_) return SetError(GL_INVALID_OPERATION);
  if (parameter != GL_UNPACK_ALIGNMENT) return SetError(GL_INVALID_ENUM);
  if (value != 1 && value != 2 && value != 4 && value != 8) return SetError(GL_INVALID_VALUE);
  unpackAlignment_ = value;
}

void FixedFunctionGl::TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                                 GLint border, GLenum format, GLenum type, const void* pixels) {
  if (target != GL_TEXTURE_2D || format != GL_RGB || type != GL_UNSIGNED_BYTE) return SetError(GL_INVALID_ENUM);
  // One level, RGB, no border: what the texture bank uploads. Mipmap levels
  // and borders have no use here (WebGL has no borders at all).
  const bool rgb = internalFormat == 3 || internalFormat == GL_RGB || internalFormat == GL_RGB8;
  if (level != 0 || !rgb || border != 0 || width < 0 || height < 0) return SetError(GL_INVALID_VALUE);
  if (RefuseOrFlushBeforeChange()) return;
  Texture& texture = textures_[boundTexture_];
  texture.width = width;
  texture.height = height;
  sink_->UploadTexture(boundTexture_, width, height, unpackAlignment_, pixels);
}

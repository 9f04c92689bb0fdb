// The layer's drawing side in the browser: each batch becomes one
// glDrawArrays through the fixed-function shader. The GL 1.1 names
// (glEnable, glBindTexture...) belong to the layer itself, so WebGL is
// reached through Emscripten's emscripten_gl* names.
#include <webgl/webgl1.h>

#include <map>
#include <memory>
#include <string>

#include "platform/web/gl/fixed_function_shader.h"
#include "platform/web/gl/gl_layer.h"

namespace {

GLuint CompileShader(GLenum type, const char* source, std::string* error) {
  const GLuint shader = emscripten_glCreateShader(type);
  emscripten_glShaderSource(shader, 1, &source, nullptr);
  emscripten_glCompileShader(shader);
  GLint compiled = 0;
  emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled) return shader;
  char log[1024] = "";
  emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  *error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
  emscripten_glDeleteShader(shader);
  return 0;
}

class WebGlSink : public GlSink {
 public:
  bool Build(std::string* error) {
    const std::string fragmentSource = FixedFunctionFragmentShader();
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, FixedFunctionVertexShader(), error);
    const GLuint fragment = vertex ? CompileShader(GL_FRAGMENT_SHADER, fragmentSource.c_str(), error) : 0;
    if (!fragment) return false;
    program_ = emscripten_glCreateProgram();
    emscripten_glAttachShader(program_, vertex);
    emscripten_glAttachShader(program_, fragment);
    emscripten_glBindAttribLocation(program_, positionAttribute, "a_position");
    emscripten_glBindAttribLocation(program_, texCoordAttribute, "a_texCoord");
    emscripten_glBindAttribLocation(program_, normalAttribute, "a_normal");
    emscripten_glLinkProgram(program_);
    GLint linked = 0;
    emscripten_glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (!linked) {
      char log[1024] = "";
      emscripten_glGetProgramInfoLog(program_, sizeof log, nullptr, log);
      *error = std::string("shader program: ") + log;
      return false;
    }
    emscripten_glUseProgram(program_);
    for (const char* name : uniformNames) uniforms_[name] = emscripten_glGetUniformLocation(program_, name);
    emscripten_glUniform1i(uniforms_["u_texture"], 0);
    emscripten_glGenBuffers(1, &buffer_);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    for (GLuint attribute : {positionAttribute, texCoordAttribute, normalAttribute})
      emscripten_glEnableVertexAttribArray(attribute);
    emscripten_glVertexAttribPointer(positionAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(GlVertex),
                                     reinterpret_cast<const void*>(offsetof(GlVertex, x)));
    emscripten_glVertexAttribPointer(texCoordAttribute, 2, GL_FLOAT, GL_FALSE, sizeof(GlVertex),
                                     reinterpret_cast<const void*>(offsetof(GlVertex, s)));
    emscripten_glVertexAttribPointer(normalAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(GlVertex),
                                     reinterpret_cast<const void*>(offsetof(GlVertex, nx)));
    // GL 1.1 starts with depth test and blending off and a viewport that the
    // window sets; WebGL agrees on the first two.
    return true;
  }

  void Clear(const ClearRequest& request) override {
    emscripten_glClearColor(request.colour[0], request.colour[1], request.colour[2], request.colour[3]);
    emscripten_glClearDepthf(request.depth);
    emscripten_glClear(request.mask);
  }

  void DrawTriangles(const GlVertex* vertices, size_t count, const DrawState& state) override {
    ApplyFixedState(state);
    SetUniforms(state);
    if (state.texturing) {
      emscripten_glBindTexture(GL_TEXTURE_2D, Texture(state.texture));
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(count * sizeof(GlVertex)), vertices, GL_STREAM_DRAW);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, GLsizei(count));
  }

  void UploadTexture(GLuint name, GLsizei width, GLsizei height, GLint unpackAlignment, const void* pixels) override {
    emscripten_glBindTexture(GL_TEXTURE_2D, Texture(name));
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  }

  void SetTextureParameter(GLuint name, GLenum parameter, GLint value) override {
    emscripten_glBindTexture(GL_TEXTURE_2D, Texture(name));
    emscripten_glTexParameteri(GL_TEXTURE_2D, parameter, value);
  }

 private:
  static constexpr const char* uniformNames[] = {
      "u_modelview",     "u_projection",    "u_normalMatrix", "u_colour",       "u_lighting",
      "u_sceneAmbient",  "u_materialAlpha", "u_lightEnabled", "u_lightAmbient", "u_lightDiffuse",
      "u_lightPosition", "u_texture",       "u_texturing",    "u_fog",          "u_fogMode",
      "u_fogDensity",    "u_fogStart",      "u_fogEnd",       "u_fogColour"};

  // The WebGL texture behind a GL 1.1 name; name 0 is an ordinary texture
  // too, as GL 1.1 lets the default texture hold an image.
  GLuint Texture(GLuint name) {
    auto found = textures_.find(name);
    if (found != textures_.end()) return found->second;
    GLuint texture = 0;
    emscripten_glGenTextures(1, &texture);
    textures_[name] = texture;
    return texture;
  }

  void SetCapability(GLenum cap, bool on, bool* applied) {
    if (*applied == on) return;
    on ? emscripten_glEnable(cap) : emscripten_glDisable(cap);
    *applied = on;
  }

  void ApplyFixedState(const DrawState& state) {
    SetCapability(GL_DEPTH_TEST, state.depthTest, &depthTest_);
    SetCapability(GL_BLEND, state.blend, &blend_);
    emscripten_glDepthFunc(state.depthFunc);
    emscripten_glBlendFunc(state.blendSource, state.blendDestination);
    emscripten_glViewport(state.viewport[0], state.viewport[1], state.viewport[2], state.viewport[3]);
  }

  void SetUniforms(const DrawState& state) {
    emscripten_glUniformMatrix4fv(uniforms_["u_modelview"], 1, GL_FALSE, state.modelview.data());
    emscripten_glUniformMatrix4fv(uniforms_["u_projection"], 1, GL_FALSE, state.projection.data());
    emscripten_glUniform4fv(uniforms_["u_colour"], 1, state.colour.data());
    emscripten_glUniform1i(uniforms_["u_lighting"], state.lighting);
    if (state.lighting) SetLightUniforms(state);
    emscripten_glUniform1i(uniforms_["u_texturing"], state.texturing);
    emscripten_glUniform1i(uniforms_["u_fog"], state.fog);
    if (state.fog) {
      emscripten_glUniform1i(uniforms_["u_fogMode"], int(state.fogMode));
      emscripten_glUniform1f(uniforms_["u_fogDensity"], state.fogDensity);
      emscripten_glUniform1f(uniforms_["u_fogStart"], state.fogStart);
      emscripten_glUniform1f(uniforms_["u_fogEnd"], state.fogEnd);
      emscripten_glUniform3fv(uniforms_["u_fogColour"], 1, state.fogColour.data());
    }
  }

  void SetLightUniforms(const DrawState& state) {
    emscripten_glUniformMatrix3fv(uniforms_["u_normalMatrix"], 1, GL_FALSE, state.normalMatrix.data());
    float scene[3], enabled[maxLights], ambient[maxLights * 3], diffuse[maxLights * 3], position[maxLights * 4];
    for (int c = 0; c < 3; ++c) scene[c] = state.lightModelAmbient[c] * state.materialAmbient[c];
    for (int i = 0; i < maxLights; ++i) {
      const LightUniforms& light = state.lights[i];
      enabled[i] = light.enabled ? 1.0f : 0.0f;
      for (int c = 0; c < 3; ++c) {
        ambient[i * 3 + c] = light.ambient[c] * state.materialAmbient[c];
        diffuse[i * 3 + c] = light.diffuse[c] * state.materialDiffuse[c];
      }
      const Vector4& p = light.eyePosition;
      position[i * 4 + 0] = p.x;
      position[i * 4 + 1] = p.y;
      position[i * 4 + 2] = p.z;
      position[i * 4 + 3] = p.w;
    }
    emscripten_glUniform3fv(uniforms_["u_sceneAmbient"], 1, scene);
    emscripten_glUniform1f(uniforms_["u_materialAlpha"], state.materialDiffuse[3]);
    emscripten_glUniform1fv(uniforms_["u_lightEnabled"], maxLights, enabled);
    emscripten_glUniform3fv(uniforms_["u_lightAmbient"], maxLights, ambient);
    emscripten_glUniform3fv(uniforms_["u_lightDiffuse"], maxLights, diffuse);
    emscripten_glUniform4fv(uniforms_["u_lightPosition"], maxLights, position);
  }

  GLuint program_ = 0, buffer_ = 0;
  std::map<std::string, GLint> uniforms_;
  std::map<GLuint, GLuint> textures_;
  bool depthTest_ = false, blend_ = false;
};

std::unique_ptr<WebGlSink> webGlSink;

}  // namespace

bool StartWebGlLayer(std::string* error) {
  auto sink = std::make_unique<WebGlSink>();
  if (!sink->Build(error)) return false;
  webGlSink = std::move(sink);
  UseGlSink(webGlSink.get());
  return true;
}

#include "gl_recorder.h"

#include <GL/glu.h>

GlRecorder glRecorder;

void ResetGlRecorder() { glRecorder = GlRecorder{}; }

std::vector<GlCall> CallsNamed(const std::string& name) {
  std::vector<GlCall> found;
  for (const GlCall& call : glRecorder.calls)
    if (call.name == name) found.push_back(call);
  return found;
}

size_t CountCalls(const std::string& name) {
  size_t count = 0;
  for (const GlCall& call : glRecorder.calls) count += call.name == name;
  return count;
}

namespace {
void Record(const char* name, std::vector<double> args = {}) { glRecorder.calls.push_back({name, std::move(args)}); }
void RecordVertexCall(const char* name, std::vector<double> args) {
  if (glRecorder.recordVertices) Record(name, std::move(args));
}
}  // namespace

extern "C" {

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  Record("glViewport", {double(x), double(y), double(width), double(height)});
}
void glMatrixMode(GLenum mode) { Record("glMatrixMode", {double(mode)}); }
void glLoadIdentity() { Record("glLoadIdentity"); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  Record("gluPerspective", {fovy, aspect, zNear, zFar});
}
void glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void glBlendFunc(GLenum sfactor, GLenum dfactor) { Record("glBlendFunc", {double(sfactor), double(dfactor)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Record("glClearColor", {r, g, b, a}); }
void glClearDepth(GLclampd depth) { Record("glClearDepth", {depth}); }
void glDepthFunc(GLenum func) { Record("glDepthFunc", {double(func)}); }
void glShadeModel(GLenum mode) { Record("glShadeModel", {double(mode)}); }
void glHint(GLenum target, GLenum mode) { Record("glHint", {double(target), double(mode)}); }
void glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }
void glFogf(GLenum pname, GLfloat param) { Record("glFogf", {double(pname), param}); }
void glFogi(GLenum pname, GLint param) { Record("glFogi", {double(pname), double(param)}); }
void glFogfv(GLenum pname, const GLfloat* params) {
  // GL_FOG_COLOR takes four values, every other fog parameter one.
  std::vector<double> args{double(pname)};
  for (int i = 0; i < (pname == GL_FOG_COLOR ? 4 : 1); ++i) args.push_back(params[i]);
  Record("glFogfv", args);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { Record("glRotatef", {angle, x, y, z}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {x, y, z}); }
void glBegin(GLenum mode) { RecordVertexCall("glBegin", {double(mode)}); }
void glEnd() { RecordVertexCall("glEnd", {}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { RecordVertexCall("glNormal3f", {x, y, z}); }
void glTexCoord2f(GLfloat s, GLfloat t) { RecordVertexCall("glTexCoord2f", {s, t}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { RecordVertexCall("glVertex3f", {x, y, z}); }
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  std::vector<double> args{double(light), double(pname)};
  const int count = (pname == GL_SPOT_DIRECTION)                                                                   ? 3
                    : (pname == GL_AMBIENT || pname == GL_DIFFUSE || pname == GL_SPECULAR || pname == GL_POSITION) ? 4
                                                                                                                   : 1;
  for (int i = 0; i < count; ++i) args.push_back(params[i]);
  Record("glLightfv", args);
}
void glGenTextures(GLsizei n, GLuint* textures) {
  Record("glGenTextures", {double(n)});
  for (GLsizei i = 0; i < n; ++i) textures[i] = glRecorder.nextTextureName++;
}
void glBindTexture(GLenum target, GLuint texture) {
  Record("glBindTexture", {double(target), double(texture)});
  glRecorder.boundTexture = texture;
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  Record("glTexParameteri", {double(target), double(pname), double(param)});
}
void glPixelStorei(GLenum pname, GLint param) {
  Record("glPixelStorei", {double(pname), double(param)});
  if (pname == GL_UNPACK_ALIGNMENT) glRecorder.unpackAlignment = param;
}
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  Record("glTexImage2D", {double(target), double(level), double(internalFormat), double(width), double(height),
                          double(border), double(format), double(type)});
  RecordedTexture& texture = glRecorder.textures[glRecorder.boundTexture];
  texture.internalFormat = internalFormat;
  texture.width = width;
  texture.height = height;
  texture.unpackAlignment = glRecorder.unpackAlignment;
  texture.pixels.clear();
  if (!pixels || width <= 0 || height <= 0) return;
  // Read the rows as GL would: each row starts at a multiple of the alignment.
  const size_t rowBytes = size_t(width) * 3;
  const size_t align = size_t(glRecorder.unpackAlignment);
  const size_t stride = (rowBytes + align - 1) / align * align;
  const auto* bytes = static_cast<const uint8_t*>(pixels);
  for (GLsizei row = 0; row < height; ++row)
    texture.pixels.insert(texture.pixels.end(), bytes + row * stride, bytes + row * stride + rowBytes);
}
GLenum glGetError() { return GL_NO_ERROR; }

}  // extern "C"

// GL 1.1 and GLU as the renderer calls them, forwarded to the layer's state.
#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/web/gl/fixed_function_gl.h"
#include "platform/web/gl/gl_layer.h"

namespace {

class DiscardingSink : public GlSink {
 public:
  void Clear(const ClearRequest&) override {}
  void DrawTriangles(const GlVertex*, size_t, const DrawState&) override {}
  void UploadTexture(GLuint, GLsizei, GLsizei, GLint, const void*) override {}
  void SetTextureParameter(GLuint, GLenum, GLint) override {}
};

DiscardingSink discardingSink;

// The state the calls go to.
FixedFunctionGl context(&discardingSink);

FixedFunctionGl& Current() { return context; }

}  // namespace

void UseGlSink(GlSink* sink) { Current() = FixedFunctionGl(sink ? sink : &discardingSink); }

void FlushGl() { Current().Flush(); }

extern "C" {

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { Current().Viewport(x, y, width, height); }
void glMatrixMode(GLenum mode) { Current().MatrixMode(mode); }
void glLoadIdentity() { Current().LoadIdentity(); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  Current().Perspective(fovy, aspect, zNear, zFar);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { Current().Rotate(angle, x, y, z); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Current().Translate(x, y, z); }

void glEnable(GLenum cap) { Current().Enable(cap); }
void glDisable(GLenum cap) { Current().Disable(cap); }
void glBlendFunc(GLenum sfactor, GLenum dfactor) { Current().BlendFunc(sfactor, dfactor); }
void glDepthFunc(GLenum func) { Current().DepthFunc(func); }
void glShadeModel(GLenum mode) { Current().ShadeModel(mode); }
void glHint(GLenum target, GLenum mode) { Current().Hint(target, mode); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Current().ClearColor(r, g, b, a); }
void glClearDepth(GLclampd depth) { Current().ClearDepth(depth); }
void glClear(GLbitfield mask) { Current().Clear(mask); }

void glFogf(GLenum pname, GLfloat param) { Current().Fog(pname, &param); }
void glFogi(GLenum pname, GLint param) {
  const GLfloat value = GLfloat(param);
  Current().Fog(pname, &value);
}
void glFogfv(GLenum pname, const GLfloat* params) { Current().Fog(pname, params); }
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) { Current().Light(light, pname, params); }

void glBegin(GLenum mode) { Current().Begin(mode); }
void glEnd() { Current().End(); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Current().Normal(x, y, z); }
void glTexCoord2f(GLfloat s, GLfloat t) { Current().TexCoord(s, t); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Current().Vertex(x, y, z); }

void glGenTextures(GLsizei n, GLuint* textures) { Current().GenTextures(n, textures); }
void glBindTexture(GLenum target, GLuint texture) { Current().BindTexture(target, texture); }
void glTexParameteri(GLenum target, GLenum pname, GLint param) { Current().TexParameter(target, pname, param); }
void glPixelStorei(GLenum pname, GLint param) { Current().PixelStore(pname, param); }
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  Current().TexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
GLenum glGetError() { return Current().TakeError(); }

}  // extern "C"

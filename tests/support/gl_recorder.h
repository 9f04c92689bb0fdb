// A recording stand-in for the OpenGL 1.1 and GLU functions the demo calls.
// Test programs link it instead of libGL: every call is appended to a list
// that a test inspects. Textures are kept as bytes, so uploads can be read
// back without a display.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct GlCall {
  std::string name;          // e.g. "glVertex3f"
  std::vector<double> args;  // numeric arguments in order (pointers as their values' contents where useful)
};

struct RecordedTexture {
  GLint internalFormat = 0;
  GLsizei width = 0, height = 0;
  GLint unpackAlignment = 4;    // the unpack alignment in force at the upload
  std::vector<uint8_t> pixels;  // width*height*3 bytes, read with that alignment
};

struct GlRecorder {
  std::vector<GlCall> calls;
  std::map<GLuint, RecordedTexture> textures;  // by texture name (0 included)
  GLuint boundTexture = 0;
  GLuint nextTextureName = 1;
  GLint unpackAlignment = 4;
  bool recordVertices = true;  // off: glBegin/glEnd/glVertex/glTexCoord/glNormal are not listed
};

extern GlRecorder glRecorder;

// Forgets every call and texture and starts from a new context's state.
void ResetGlRecorder();
// The calls named name, in order.
std::vector<GlCall> CallsNamed(const std::string& name);
size_t CountCalls(const std::string& name);

#include "render/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

void SetDemoProjection(int width, int height) {
  if (height == 0) height = 1;  // a minimised window reports no height
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, double(width) / double(height), 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

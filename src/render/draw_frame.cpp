#include "render/draw_frame.h"

#include <GL/gl.h>

#include <algorithm>

#include "clock/demo_state.h"
#include "image/texture_bank.h"
#include "render/wave_walls.h"
#include "scene/world.h"

namespace {
constexpr float eyeHeight = 0.5f;
constexpr int worldPassTriangles = 36;

// The grey of later frames' background, equal to the fog colour.
void ClearAndSetFog() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  // Set after the clear, so it only takes effect from the next frame on.
  glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
  // GL_FOG_MODE stays at its default GL_EXP: only the density counts.
  const GLfloat fogColor[] = {0.5f, 0.5f, 0.5f, 1.0f};
  glFogfv(GL_FOG_COLOR, fogColor);
  glFogf(GL_FOG_DENSITY, 0.35f);
  glHint(GL_FOG_HINT, GL_DONT_CARE);
  glFogf(GL_FOG_START, 1.0f);
  glFogf(GL_FOG_END, 5.0f);
  glEnable(GL_FOG);
}

// A world point is moved by minus the position (the eye 0.5 above posY),
// then turned by roll, yaw and pitch in that order.
void ApplyCameraTransform() {
  glRotatef(cameraState.pitch, 1.0f, 0.0f, 0.0f);
  glRotatef(cameraState.yaw, 0.0f, 1.0f, 0.0f);
  glRotatef(cameraState.roll, 0.0f, 0.0f, 1.0f);
  glTranslatef(-cameraState.posX, -cameraState.posY - eyeHeight, -cameraState.posZ);
}

// Triangles i mod 6 = 0, 1 use map3; 2, 3 map2; 4, 5 map1.
GLuint WorldTexture(int triangle) {
  static constexpr int slotByRemainder[6] = {TextureSlot::map3, TextureSlot::map3, TextureSlot::map2,
                                             TextureSlot::map2, TextureSlot::map1, TextureSlot::map1};
  return textureBank.names[slotByRemainder[triangle % 6]];
}

void DrawWorldPass() {
  // Deliberate change: the pass draws 36 triangles, but a smaller world (a
  // short or missing file) has fewer; only those are drawn, never past the array.
  const int count = world.triangles ? std::clamp(world.triangleCount, 0, worldPassTriangles) : 0;
  for (int i = 0; i < count; ++i) {
    // Bound before every triangle, even when it is the same name.
    glBindTexture(GL_TEXTURE_2D, WorldTexture(i));
    glBegin(GL_TRIANGLES);
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (const WorldVertex& vertex : world.triangles[i].vertices) {
      glTexCoord2f(vertex.u, vertex.v);
      glVertex3f(vertex.x, vertex.y, vertex.z);
    }
    glEnd();
  }
}
}  // namespace

int DrawFrame() {
  ClearAndSetFog();
  ApplyCameraTransform();
  DrawWorldPass();
  DrawWaveWalls();
  return 1;
}

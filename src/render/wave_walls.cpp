#include "render/wave_walls.h"

#include <GL/gl.h>

#include <array>

#include "clock/demo_state.h"
#include "image/texture_bank.h"
#include "render/timeline.h"
#include "render/wave_mesh.h"

int32_t waveFrameCount = 0;

namespace {
constexpr float wallLift = 0.5f;
constexpr float wallDistance = 3.0f;
constexpr int wallCells = waveMeshSize - 1;  // 44 quads along each axis

// Where a wall puts a mesh point: walls 1 and 2 stand on the +z and -z
// sides, walls 3 and 4 on the +x and -x sides (the mesh turned a quarter).
enum class Wall { plusZ, minusZ, plusX, minusX };

void EmitWallVertex(Wall wall, const WavePoint& point) {
  switch (wall) {
    case Wall::plusZ:
      glVertex3f(point.x, point.y, point.z + wallDistance);
      break;
    case Wall::minusZ:
      glVertex3f(point.x, point.y, point.z - wallDistance);
      break;
    case Wall::plusX:
      glVertex3f(point.z + wallDistance, point.y, point.x);
      break;
    case Wall::minusX:
      glVertex3f(point.z - wallDistance, point.y, point.x);
      break;
  }
}

// index / 44 for every grid line, rounded to float once instead of per vertex.
constexpr auto textureCoordinates = [] {
  std::array<float, wallCells + 1> coordinates{};
  for (int index = 0; index <= wallCells; ++index) coordinates[index] = float(index / double(wallCells));
  return coordinates;
}();
float TextureCoordinate(int index) { return textureCoordinates[index]; }

// One GL_QUADS block of 44 x 44 cells; the texture spans the whole wall once,
// s along the rows and t along the columns of the mesh.
void DrawWall(Wall wall) {
  glBegin(GL_QUADS);
  for (int i = 0; i < wallCells; ++i) {
    for (int j = 0; j < wallCells; ++j) {
      glTexCoord2f(TextureCoordinate(i), TextureCoordinate(j));
      EmitWallVertex(wall, waveMesh.points[i][j]);
      glTexCoord2f(TextureCoordinate(i), TextureCoordinate(j + 1));
      EmitWallVertex(wall, waveMesh.points[i][j + 1]);
      glTexCoord2f(TextureCoordinate(i + 1), TextureCoordinate(j + 1));
      EmitWallVertex(wall, waveMesh.points[i + 1][j + 1]);
      glTexCoord2f(TextureCoordinate(i + 1), TextureCoordinate(j));
      EmitWallVertex(wall, waveMesh.points[i + 1][j]);
    }
  }
  glEnd();
}

// Lighting is never enabled, so this light does not change the picture; it is
// set up every frame all the same. Its position is (0, posZ, posX, posY):
// the camera's coordinates in that rotated order, posY being its w.
void SetUpLight() {
  const GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 1.0f};
  const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat position[] = {0.0f, cameraState.posZ, cameraState.posX, cameraState.posY};
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, position);
  glEnable(GL_LIGHT1);
}
}  // namespace

// Shifts after the walls of the 3rd, 5th, 7th ... frame, so the 4th, 6th,
// 8th ... are the first to show each new position.
void ResetRenderState() {
  BuildWaveMesh();
  waveFrameCount = 0;
}

void AdvanceWave() {
  if (waveFrameCount == 2) {
    ShiftWaveMesh();
    waveFrameCount = 0;
  }
  ++waveFrameCount;
}

void DrawWaveWalls() {
  glBindTexture(GL_TEXTURE_2D, textureBank.names[TimelineTextureSlot(demoTick)]);
  glTranslatef(0.0f, wallLift, 0.0f);
  DrawWall(Wall::plusZ);
  DrawWall(Wall::minusZ);
  DrawWall(Wall::plusX);
  DrawWall(Wall::minusX);
  AdvanceWave();
  SetUpLight();
}

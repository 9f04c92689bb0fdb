#include "render/init_scene.h"

#include "image/texture_bank.h"
#include "render/scene_gl_state.h"
#include "render/wave_mesh.h"
#include "scene/camera_path.h"
#include "scene/world.h"

int InitScene() {
  // Without a single picture there is nothing to show: touch nothing else.
  if (!LoadTextures()) return 0;
  SetSceneGlState();
  // The loaders report nothing; a broken file leaves an empty or partial scene.
  LoadWorld();
  LoadCameraPath();
  // The wave starts again from its first phase; waveFrameCount runs on.
  BuildWaveMesh();
  return 1;
}

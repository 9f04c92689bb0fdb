#include "scene/scene_state.h"

#include <cstdlib>

#include "scene/camera_path.h"
#include "scene/world.h"

void ResetSceneState() {
  std::free(world.triangles);
  world = World{};
  cameraPath = CameraPath{};
}

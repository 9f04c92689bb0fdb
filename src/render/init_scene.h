// Prepares a new GL context: textures, fixed GL state, scene files, wave mesh.
#pragma once

// 1 when the scene is ready, 0 when not a single texture image loaded.
int InitScene();

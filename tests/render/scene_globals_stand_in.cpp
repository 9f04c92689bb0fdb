// Definitions of the scene and texture globals for the renderer's recorder
// tests while the scene and image libraries are not part of the build.
#include "image/texture_bank.h"
#include "scene/world.h"

World world;
TextureBank textureBank;

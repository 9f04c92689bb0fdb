// The textures of the room (map1 ceiling, map2 walls, map3 floor) and the
// closing picture (map4). All are 256 x 256 and tile seamlessly where the
// room repeats them.
#pragma once

#include "datagen/picture.h"

constexpr int worldTextureSize = 256;

Picture MakeCeilingTexture();         // map1: a wooden coffer with a gilded star
Picture MakeRoomWallTexture();        // map2: cornice, wallpaper, dado rail, panelling, skirting
Picture MakeFloorTexture();           // map3: stone slabs in two colours with marble inlays
IndexedPicture MakeClosingPicture();  // map4: a sunset over a lake, 8-bit palette

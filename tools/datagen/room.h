// The size of the room that world.txt builds round the origin. The four wave
// walls stand inside it, 3 units from the origin (reaching 4 on the +x and +z
// sides), 0.05 to 0.93 high.
#pragma once

constexpr double roomHalfWidth = 4.5;  // the walls stand at x and z = +-4.5
constexpr double roomFloorY = 0.0;
constexpr double roomCeilingY = 1.6;
// The camera's eye is this far above its posY.
constexpr double eyeHeight = 0.5;

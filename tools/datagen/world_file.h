// The text of "data/world.txt": a closed room of 36 triangles. The world pass
// textures triangle i by i modulo 6 (map3, map3, map2, map2, map1, map1), so
// each group of six holds two floor triangles (map3, stone slabs), two wall
// triangles (map2, panelling) and two ceiling triangles (map1, coffers).
#pragma once

#include <string>

std::string MakeWorldText();

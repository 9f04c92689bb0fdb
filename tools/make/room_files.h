// The room a show is played in: the world, the camera script and the four
// world textures (the last of them is also the closing picture on the
// walls), from the default data or from another data set's folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RoomFiles {
  std::string world, camera;
  std::vector<uint8_t> maps[4];  // map1.bmp .. map4.bmp
};

RoomFiles DefaultRoom();

// Reads the room from a data set's folder (DIR/Data/..., names matched
// without regard to letter case, as the demo does); false with a reason.
bool ReadRoom(const std::string& folder, RoomFiles& room, std::string& error);

// The path of `relative` below `folder`, each part matched without regard
// to letter case when the exact spelling does not exist; empty if none.
std::string FindDataFile(const std::string& folder, const std::string& relative);

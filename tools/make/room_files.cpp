#include "room_files.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "datagen/bmp_writer.h"
#include "datagen/camera_script.h"
#include "datagen/world_file.h"
#include "datagen/world_textures.h"

namespace fs = std::filesystem;

namespace {
bool SameLetters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool ReadBytes(const std::string& path, std::string& bytes) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return false;
  bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  return !stream.bad();
}
}  // namespace

RoomFiles DefaultRoom() {
  RoomFiles room;
  room.world = MakeWorldText();
  room.camera = MakeCameraScript();
  room.maps[0] = EncodeBmp24(MakeCeilingTexture());
  room.maps[1] = EncodeBmp24(MakeRoomWallTexture());
  room.maps[2] = EncodeBmp24(MakeFloorTexture());
  room.maps[3] = EncodeBmp8(MakeClosingPicture());
  return room;
}

std::string FindDataFile(const std::string& folder, const std::string& relative) {
  fs::path found = folder;
  std::error_code error;
  for (const fs::path& part : fs::path(relative)) {
    if (fs::exists(found / part, error)) {
      found /= part;
      continue;
    }
    bool matched = false;
    for (fs::directory_iterator it(found, error), end; !error && it != end; it.increment(error)) {
      if (SameLetters(it->path().filename().string(), part.string())) {
        found = it->path();
        matched = true;
        break;
      }
    }
    if (!matched) return {};
  }
  return found.string();
}

bool ReadRoom(const std::string& folder, RoomFiles& room, std::string& error) {
  const char* names[] = {"Data/world.txt", "Data/cam.txt",  "Data/map1.bmp",
                         "Data/map2.bmp",  "Data/map3.bmp", "Data/map4.bmp"};
  std::string contents[6];
  for (int i = 0; i < 6; ++i) {
    const std::string path = FindDataFile(folder, names[i]);
    if (path.empty() || !ReadBytes(path, contents[i])) {
      error = folder + ": no readable " + names[i];
      return false;
    }
  }
  room.world = contents[0];
  room.camera = contents[1];
  for (int i = 0; i < 4; ++i) room.maps[i].assign(contents[2 + i].begin(), contents[2 + i].end());
  return true;
}

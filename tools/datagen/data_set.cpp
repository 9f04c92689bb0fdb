#include "datagen/data_set.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "datagen/animations.h"
#include "datagen/bmp_writer.h"
#include "datagen/camera_script.h"
#include "datagen/mp3_encoder.h"
#include "datagen/soundtrack.h"
#include "datagen/title_cards.h"
#include "datagen/world_file.h"
#include "datagen/world_textures.h"

namespace {
bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!bytes.empty() && WriteFileBytes(path, bytes)) return true;
  std::fprintf(stderr, "qeb-datagen: cannot write %s\n", path.c_str());
  return false;
}

bool WriteText(const std::string& path, const std::string& text) {
  return Write(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool MakeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (!error) return true;
  std::fprintf(stderr, "qeb-datagen: cannot create %s: %s\n", path.c_str(), error.message().c_str());
  return false;
}
}  // namespace

std::string AnimationFrameFile(int series, int frame) {
  if (series == 0) return "anim1/anim_" + std::to_string(frame + 1) + ".bmp";
  if (series == 1) return "anim2/anim_" + std::to_string(frame + 41) + ".bmp";
  return "anim3/frame" + std::to_string(frame + 1) + ".bmp";
}

bool WriteDataSet(const std::string& outputFolder) {
  const std::string data = outputFolder + "/Data/";
  if (!MakeFolder(data + "anim1") || !MakeFolder(data + "anim2") || !MakeFolder(data + "anim3")) return false;

  bool ok = WriteText(data + "world.txt", MakeWorldText());
  ok = WriteText(data + "cam.txt", MakeCameraScript()) && ok;

  // The encodings are mixed on purpose, so the demo's data exercises every
  // form its decoder is given: 24-bit, 8-bit palette and 4-bit core header.
  ok = Write(data + "map1.bmp", EncodeBmp24(MakeCeilingTexture())) && ok;
  ok = Write(data + "map2.bmp", EncodeBmp24(MakeRoomWallTexture())) && ok;
  ok = Write(data + "map3.bmp", EncodeBmp24(MakeFloorTexture())) && ok;
  ok = Write(data + "map4.bmp", EncodeBmp8(MakeClosingPicture())) && ok;
  for (int frame = 0; frame < animationFrameCount; ++frame) {
    ok = Write(data + AnimationFrameFile(0, frame), EncodeBmp8(MakeCountdownCard(frame))) && ok;
    ok = Write(data + AnimationFrameFile(1, frame), EncodeBmp24(MakeRocketCard(frame))) && ok;
    ok = Write(data + AnimationFrameFile(2, frame), EncodeBmp4Core(MakeTreeCard(frame))) && ok;
  }
  ok = Write(data + "end1.bmp", EncodeBmp24(MakeFirstEndPicture())) && ok;
  ok = Write(data + "end2.bmp", EncodeBmp24(MakeSecondEndPicture())) && ok;
  ok = Write(data + "begin.bmp", EncodeBmp24(MakeOpeningPicture())) && ok;

  ok = Write(data + "demo.mp3", EncodeMp3(SynthesiseSoundtrack(), soundtrackSampleRate)) && ok;
  return ok;
}

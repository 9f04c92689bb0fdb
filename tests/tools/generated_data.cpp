#include "generated_data.h"

#include <cstdlib>
#include <list>

#include "temporary_directory.h"

namespace {
// Every data set made lives until the test program ends.
std::list<TemporaryDirectory> dataSetFolders;
}  // namespace

std::string RunDataGenerator() {
  const std::string pattern = dataSetFolders.emplace_back("qeb-datagen").path().string();
  const std::string command = std::string("'") + QEB_DATAGEN + "' '" + pattern + "'";
  return std::system(command.c_str()) == 0 ? pattern : "";
}

const std::string& SharedDataSet() {
  static const std::string folder = std::getenv("QEB_DATA_SET") ? std::getenv("QEB_DATA_SET") : RunDataGenerator();
  return folder;
}

std::vector<std::string> TextureBankPaths() {
  std::vector<std::string> paths = {"Data/map1.bmp", "Data/map2.bmp", "Data/map3.bmp", "Data/map4.bmp"};
  for (int k = 1; k <= 40; ++k) paths.push_back("Data/anim1/anim_" + std::to_string(k) + ".bmp");
  for (int k = 41; k <= 80; ++k) paths.push_back("Data/anim2/anim_" + std::to_string(k) + ".bmp");
  for (int k = 1; k <= 40; ++k) paths.push_back("Data/anim3/frame" + std::to_string(k) + ".bmp");
  for (const char* still : {"Data/end1.bmp", "Data/end2.bmp", "Data/begin.bmp"}) paths.push_back(still);
  return paths;
}

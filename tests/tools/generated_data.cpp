#include "generated_data.h"

#include <cstdlib>
#include <list>

#include "temporary_directory.h"

#include "image/texture_bank.h"

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
  std::vector<std::string> paths;
  for (int slot = 0; slot < textureBankImages; ++slot) paths.push_back(TextureFile(slot));
  return paths;
}

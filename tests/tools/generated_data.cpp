#include "generated_data.h"

#include <cstdlib>
#include <filesystem>

#include "image/texture_bank.h"

namespace {
std::vector<std::string> foldersToRemove;

void RemoveFolders() {
  for (const std::string& folder : foldersToRemove) std::filesystem::remove_all(folder);
}
}  // namespace

std::string RunDataGenerator() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qeb-datagen-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return "";
  if (foldersToRemove.empty()) std::atexit(RemoveFolders);
  foldersToRemove.push_back(pattern);
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

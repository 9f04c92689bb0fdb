// Feeds arbitrary bytes to qeb-make's picture loader as the contents of a
// picture file: told apart by its bytes, decoded by FFmpeg under a pixel
// budget, turned and fitted to the square. Beyond the sanitizers' checks it
// insists that a loaded picture is the square it was asked for.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "picture_loader.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceMediaLibraries();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ScratchFileWith(data, size);
  FitSettings settings;
  settings.size = 32;
  // Both fits, chosen by the input's length; a budget that keeps every
  // decode small, as the tool's keeps every decode bounded.
  settings.fit = size % 2 ? PictureFit::contain : PictureFit::cover;
  settings.pixelBudget = 4'000'000;
  LoadedPicture loaded;
  std::string error;
  if (!LoadPicture(path, settings, loaded, error)) {
    if (error.empty()) std::abort();  // every refusal says why
    return 0;
  }
  if (loaded.picture.width != 32 || loaded.picture.height != 32 || loaded.picture.pixels.size() != 32 * 32)
    std::abort();
  return 0;
}

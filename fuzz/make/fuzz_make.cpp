// Feeds arbitrary bytes to qeb-make's picture loader as the contents of a
// picture file: told apart by its bytes, decoded by FFmpeg under a pixel
// budget, turned and fitted to the square. Beyond the sanitizers' checks it
// insists that a loaded picture is the square it was asked for.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "picture_loader.h"

// One scratch file for the whole run, rewritten for every input, in memory
// where the system allows and unlinked at once; the loader opens it again
// through /proc/self/fd.
static int scratchFile = -1;
static std::string scratchPath;

static void OpenScratchFile() {
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/qeb-fuzz-make-XXXXXX" : "/tmp/qeb-fuzz-make-XXXXXX";
  scratchFile = mkstemp(pattern.data());
  if (scratchFile < 0) std::abort();
  unlink(pattern.c_str());
  scratchPath = "/proc/self/fd/" + std::to_string(scratchFile);
  SilenceMediaLibraries();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (scratchFile < 0) OpenScratchFile();
  if (ftruncate(scratchFile, 0) != 0) std::abort();
  if (size > 0 && pwrite(scratchFile, data, size, 0) != ssize_t(size)) std::abort();

  FitSettings settings;
  settings.size = 32;
  // Both fits, chosen by the input's length; a budget that keeps every
  // decode small, as the tool's keeps every decode bounded.
  settings.fit = size % 2 ? PictureFit::contain : PictureFit::cover;
  settings.pixelBudget = 4'000'000;
  LoadedPicture loaded;
  std::string error;
  if (!LoadPicture(scratchPath, settings, loaded, error)) {
    if (error.empty()) std::abort();  // every refusal says why
    return 0;
  }
  if (loaded.picture.width != 32 || loaded.picture.height != 32 || loaded.picture.pixels.size() != 32 * 32)
    std::abort();
  return 0;
}

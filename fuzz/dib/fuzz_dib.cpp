// Feeds arbitrary bytes to LoadDibImage as the contents of a BMP file.
// Beyond the sanitizers' checks it insists that a decoded image has sides
// within the decoder's limit and that every one of its pixels can be read.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "image/dib_image.h"
#include "platform/dib_convert.h"
#include "platform/message_box.h"
#include "platform/window_system.h"

// No window exists here; the decoder's message boxes have no owner.
WindowHandle GetFocusWindow() { return nullptr; }

static int DismissMessageBox(WindowHandle, const char*, const char*, unsigned) { return IDOK; }

// One scratch file for the whole run, rewritten for every input. It is in
// memory (/dev/shm) where the system has it, which makes runs several times
// faster, and unlinked at once, so nothing is left behind however the run
// ends; the decoder opens it again through /proc/self/fd.
static int scratchFile = -1;
static std::string scratchPath;

static void OpenScratchFile() {
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/qeb-fuzz-dib-XXXXXX" : "/tmp/qeb-fuzz-dib-XXXXXX";
  scratchFile = mkstemp(pattern.data());
  if (scratchFile < 0) std::abort();
  unlink(pattern.c_str());
  scratchPath = "/proc/self/fd/" + std::to_string(scratchFile);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (scratchFile < 0) OpenScratchFile();
  SetMessageBoxAnswerer(DismissMessageBox);
  if (ftruncate(scratchFile, 0) != 0) std::abort();
  if (size > 0 && pwrite(scratchFile, data, size, 0) != ssize_t(size)) std::abort();

  RgbImage* image = LoadDibImage(scratchPath.c_str());
  if (!image) return 0;
  if (image->width < 1 || image->width > dibMaxSide || image->height < 1 || image->height > dibMaxSide) std::abort();
  volatile uint8_t sum = 0;
  for (size_t i = 0; i < size_t(image->width) * size_t(image->height) * 3; ++i) sum = sum + image->data[i];
  std::free(image->data);
  std::free(image);
  return 0;
}

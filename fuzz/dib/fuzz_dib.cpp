// Feeds arbitrary bytes to LoadDibImage as the contents of a BMP file.
// Beyond the sanitizers' checks it insists that a decoded image has sides
// within the decoder's limit and that every one of its pixels can be read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "image/dib_image.h"
#include "platform/dib_convert.h"
#include "platform/message_box.h"
#include "platform/window_system.h"
#include "scratch_file.h"

// No window exists here; the decoder's message boxes have no owner.
WindowHandle GetFocusWindow() { return nullptr; }

static int DismissMessageBox(WindowHandle, const char*, const char*, unsigned) { return IDOK; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetMessageBoxAnswerer(DismissMessageBox);
  RgbImage* image = LoadDibImage(ScratchFileWith(data, size).c_str());
  if (!image) return 0;
  if (image->width < 1 || image->width > dibMaxSide || image->height < 1 || image->height > dibMaxSide) std::abort();
  volatile uint8_t sum = 0;
  for (size_t i = 0; i < size_t(image->width) * size_t(image->height) * 3; ++i) sum = sum + image->data[i];
  std::free(image->data);
  std::free(image);
  return 0;
}

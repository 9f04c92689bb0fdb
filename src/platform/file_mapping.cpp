#include "platform/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool MapWholeFile(const char* path, FileMapping* mapping) {
  *mapping = FileMapping{};
  if (!path) return false;
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;

  struct stat status;
  // Only regular files: a directory or a device has no whole contents to map.
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
    close(descriptor);
    return false;
  }
  void* view = mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
  if (view == MAP_FAILED) {
    close(descriptor);
    return false;
  }
  mapping->bytes = static_cast<const uint8_t*>(view);
  mapping->size = size_t(status.st_size);
  mapping->descriptor = descriptor;
  return true;
}

void UnmapWholeFile(FileMapping* mapping) {
  if (mapping->bytes) munmap(const_cast<uint8_t*>(mapping->bytes), mapping->size);
  if (mapping->descriptor >= 0) close(mapping->descriptor);
  *mapping = FileMapping{};
}

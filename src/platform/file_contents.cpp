#include "platform/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

bool ReadWholeFile(const char* path, FileContents* contents) {
  *contents = FileContents{};
  if (!path) return false;
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;

  struct stat status;
  // Only regular files: a directory or a device has no whole contents to read.
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
    close(descriptor);
    return false;
  }
  const size_t size = size_t(status.st_size);
  uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size));
  size_t got = 0;
  while (bytes && got < size) {
    const ssize_t count = read(descriptor, bytes + got, size - got);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;  // an error, or the file shrank since it was measured
    got += size_t(count);
  }
  close(descriptor);
  if (!bytes || got != size) {
    std::free(bytes);
    return false;
  }
  *contents = FileContents{bytes, size};
  return true;
}

void ReleaseWholeFile(FileContents* contents) {
  std::free(const_cast<uint8_t*>(contents->bytes));
  *contents = FileContents{};
}

#include "platform/regular_file.h"

#ifdef _WIN32

#include <filesystem>
#include <system_error>

// Windows opens a pipe or a device by its own names only, never under a data
// file's name, so checking the path's status before the open is enough here.
FILE* OpenRegularFile(const char* path, const char* mode, uint64_t* size) {
  std::error_code error;
  if (!path || !std::filesystem::is_regular_file(path, error)) return nullptr;
  FILE* stream = std::fopen(path, mode);
  if (!stream) return nullptr;
  if (size) {
    const uint64_t length = std::filesystem::file_size(path, error);
    if (error) {
      std::fclose(stream);
      return nullptr;
    }
    *size = length;
  }
  return stream;
}

bool SeekRegularFile(FILE* stream, uint64_t position) { return _fseeki64(stream, int64_t(position), SEEK_SET) == 0; }

#else

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE* OpenRegularFile(const char* path, const char* mode, uint64_t* size) {
  if (!path) return nullptr;
  // Without O_NONBLOCK, opening a FIFO would wait for a writer.
  const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat status;
  const int flags = fcntl(descriptor, F_GETFL);
  const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  // Reads of a regular file never wait anyway; the flag goes so that the
  // stream behaves as one from fopen.
  if (!regular || flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(descriptor);
    return nullptr;
  }
  FILE* stream = fdopen(descriptor, mode);
  if (!stream) {
    close(descriptor);
    return nullptr;
  }
  if (size) *size = uint64_t(status.st_size);
  return stream;
}

bool SeekRegularFile(FILE* stream, uint64_t position) {
  return position <= uint64_t(INT64_MAX) && fseeko(stream, off_t(position), SEEK_SET) == 0;
}

#endif

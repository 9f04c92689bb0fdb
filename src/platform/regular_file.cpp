#include "platform/regular_file.h"

#ifdef _WIN32

#include <filesystem>
#include <system_error>

// Windows opens a pipe or a device by its own names only, never under a data
// file's name, so checking the path's status before the open is enough here.
static bool IsRegularFile(const char* path) {
  std::error_code error;
  return path && std::filesystem::is_regular_file(path, error);
}

FILE* OpenRegularFile(const char* path, const char* mode) {
  return IsRegularFile(path) ? std::fopen(path, mode) : nullptr;
}

struct RawFile {
  FILE* stream;
};

RawFile* OpenRawFile(const char* path, uint64_t* size) {
  std::error_code error;
  const uint64_t length = IsRegularFile(path) ? std::filesystem::file_size(path, error) : 0;
  FILE* stream = error || !IsRegularFile(path) ? nullptr : std::fopen(path, "rb");
  if (!stream) return nullptr;
  std::setvbuf(stream, nullptr, _IONBF, 0);
  *size = length;
  return new RawFile{stream};
}

size_t ReadRawFile(RawFile* file, void* into, size_t count) { return std::fread(into, 1, count, file->stream); }

bool SeekRawFile(RawFile* file, uint64_t position) { return _fseeki64(file->stream, int64_t(position), SEEK_SET) == 0; }

void CloseRawFile(RawFile* file) {
  std::fclose(file->stream);
  delete file;
}

#else

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

struct RawFile {
  int descriptor;
};

// The descriptor of an open regular file, or -1. O_NONBLOCK stays set: it
// keeps the open of a FIFO from waiting, and means nothing for the reads of
// a regular file.
static int OpenRegularDescriptor(const char* path, uint64_t* size) {
  if (!path) return -1;
  const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat status;
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return -1;
  }
  if (size) *size = uint64_t(status.st_size);
  return descriptor;
}

FILE* OpenRegularFile(const char* path, const char* mode) {
  const int descriptor = OpenRegularDescriptor(path, nullptr);
  if (descriptor < 0) return nullptr;
  FILE* stream = fdopen(descriptor, mode);
  if (!stream) close(descriptor);
  return stream;
}

RawFile* OpenRawFile(const char* path, uint64_t* size) {
  const int descriptor = OpenRegularDescriptor(path, size);
  return descriptor < 0 ? nullptr : new RawFile{descriptor};
}

size_t ReadRawFile(RawFile* file, void* into, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = read(file->descriptor, static_cast<char*>(into) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += size_t(got);
  }
  return done;
}

bool SeekRawFile(RawFile* file, uint64_t position) {
  return position <= uint64_t(INT64_MAX) && lseek(file->descriptor, off_t(position), SEEK_SET) >= 0;
}

void CloseRawFile(RawFile* file) {
  close(file->descriptor);
  delete file;
}

#endif

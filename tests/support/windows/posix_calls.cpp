#include "posix_calls.h"

#include <direct.h>
#include <errno.h>

#include <cstring>
#include <random>

extern "C" char* mkdtemp(char* pattern) {
  const size_t length = std::strlen(pattern);
  if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return nullptr;
  }
  static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (size_t i = length - 6; i < length; ++i) pattern[i] = letters[random() % (sizeof letters - 1)];
    if (_mkdir(pattern) == 0) return pattern;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

extern "C" FILE* fmemopen(void* buffer, size_t size, const char* mode) {
  if (std::strcmp(mode, "r") != 0 && std::strcmp(mode, "rb") != 0) {
    errno = EINVAL;
    return nullptr;
  }
  FILE* file = tmpfile();
  if (!file) return nullptr;
  if (fwrite(buffer, 1, size, file) != size || fseek(file, 0, SEEK_SET) != 0) {
    fclose(file);
    return nullptr;
  }
  return file;
}

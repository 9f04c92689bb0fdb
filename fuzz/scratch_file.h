// Hands a fuzz input to code that reads files.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Writes `data` to the run's scratch file and returns a path that opens it.
// One file serves the whole run, rewritten for every input. It is in memory
// (/dev/shm) where the system has it, which makes runs several times faster,
// and unlinked at once, so nothing is left behind however the run ends; the
// code under test opens it again through /proc/self/fd.
inline const std::string& ScratchFileWith(const uint8_t* data, size_t size) {
  static int file = -1;
  static std::string path;
  if (file < 0) {
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/qeb-fuzz-XXXXXX" : "/tmp/qeb-fuzz-XXXXXX";
    file = mkstemp(pattern.data());
    if (file < 0) std::abort();
    unlink(pattern.c_str());
    path = "/proc/self/fd/" + std::to_string(file);
  }
  if (ftruncate(file, 0) != 0) std::abort();
  if (size > 0 && pwrite(file, data, size, 0) != ssize_t(size)) std::abort();
  return path;
}

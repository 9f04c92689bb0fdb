#include "platform/file_contents.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

bool ReadWholeFile(const char* path, FileContents* contents) {
  *contents = FileContents{};
  if (!path) return false;
  // Only regular files: a directory or a device has no whole contents to read
  // (a directory even claims a size of terabytes).
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  // The block is the only buffer: the stream's own would copy every byte twice.
  std::setvbuf(file, nullptr, _IONBF, 0);

  long fileSize = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) fileSize = std::ftell(file);
  const bool measured = fileSize > 0 && std::fseek(file, 0, SEEK_SET) == 0;

  const size_t size = measured ? size_t(fileSize) : 0;
  uint8_t* bytes = measured ? static_cast<uint8_t*>(std::malloc(size)) : nullptr;
  // A short read means an error, or a file that shrank since it was measured.
  const bool whole = bytes && std::fread(bytes, 1, size, file) == size;
  std::fclose(file);
  if (!whole) {
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

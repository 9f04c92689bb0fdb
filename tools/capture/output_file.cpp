#include "output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

std::string CreateTemporaryOutput(const std::string& outputPath, bool overwrite, std::string* temporaryPath) {
  const fs::path out(outputPath);
  std::error_code error;
  const fs::file_status status = fs::status(out, error);
  if (fs::is_directory(status)) return outputPath + " is a folder";
  if (fs::exists(status) && !overwrite) return outputPath + " exists (--force overwrites it)";
  if (out.filename().empty()) return outputPath + " names no file";

  // Hidden, in the same folder, so the final rename stays on one file system.
  const fs::path folder = out.has_parent_path() ? out.parent_path() : fs::path(".");
  std::string pattern = (folder / ("." + out.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) return "cannot write " + outputPath + ": " + std::strerror(errno);
  close(descriptor);
  *temporaryPath = name.data();
  return "";
}

std::string CommitOutput(const std::string& temporaryPath, const std::string& outputPath) {
  // mkstemp gives 0600; a video is as readable as any new file.
  const mode_t mask = umask(0);
  umask(mask);
  chmod(temporaryPath.c_str(), 0666 & ~mask);
  if (std::rename(temporaryPath.c_str(), outputPath.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    DiscardOutput(temporaryPath);
    return "cannot name the video " + outputPath + ": " + reason;
  }
  return "";
}

void DiscardOutput(const std::string& temporaryPath) {
  if (!temporaryPath.empty()) std::remove(temporaryPath.c_str());
}

#include "output_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The temporary file of the capture under way, for DiscardOutputNow. The
// name is written before 'pendingSet' is raised, so a signal handler that
// sees the flag reads a whole name.
char pendingPath[PATH_MAX];
std::atomic<bool> pendingSet{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read from a signal handler");

void Remember(const std::string& temporaryPath) {
  if (temporaryPath.size() >= sizeof pendingPath) return;  // mkstemp would have refused it
  std::memcpy(pendingPath, temporaryPath.c_str(), temporaryPath.size() + 1);
  pendingSet.store(true);
}

void Forget() { pendingSet.store(false); }

// "" when OUT may be replaced or created: it is missing, or (when
// overwriting) a regular file or a link to one. Renaming over OUT replaces
// only its name, but a device, a FIFO or a folder is never what a video
// should replace, and a link to one most likely names it by mistake.
std::string CheckOutputEntry(const std::string& outputPath, bool overwrite) {
  struct stat entry;
  if (lstat(outputPath.c_str(), &entry) != 0) return "";
  struct stat target = entry;
  const bool linkResolves = !S_ISLNK(entry.st_mode) || stat(outputPath.c_str(), &target) == 0;
  if (S_ISDIR(target.st_mode)) return outputPath + " is a folder";
  if (!overwrite) return outputPath + " exists (--force overwrites it)";
  if (linkResolves && !S_ISREG(target.st_mode))
    return outputPath + " is not a regular file (a device, a FIFO or a socket); --force replaces only files";
  return "";
}

std::string FlushToDisk(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::strerror(errno);
  const int synced = fsync(descriptor);
  const int error = errno;
  close(descriptor);
  return synced == 0 ? "" : std::strerror(error);
}

// Renames without replacing anything: fails with EEXIST if OUT has appeared.
// A file system without RENAME_NOREPLACE gets a hard link and an unlink,
// which are just as atomic.
int RenameNoReplace(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (link(from, to) != 0) return -1;
  unlink(from);
  return 0;
}

}  // namespace

std::string CreateTemporaryOutput(const std::string& outputPath, bool overwrite, std::string* temporaryPath) {
  const fs::path out(outputPath);
  std::string problem = CheckOutputEntry(outputPath, overwrite);
  if (!problem.empty()) return problem;
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
  Remember(*temporaryPath);
  return "";
}

std::string CommitOutput(const std::string& temporaryPath, const std::string& outputPath, bool overwrite) {
  // mkstemp gives 0600; a video is as readable as any new file.
  const mode_t mask = umask(0);
  umask(mask);
  chmod(temporaryPath.c_str(), 0666 & ~mask);
  // On disk before it has the name, so a power cut leaves the old OUT or the
  // whole new one, never an empty file.
  std::string problem = FlushToDisk(temporaryPath);
  if (!problem.empty()) problem = "cannot write " + outputPath + ": " + problem;
  // A capture takes minutes: OUT may have appeared or changed meanwhile.
  if (problem.empty()) problem = CheckOutputEntry(outputPath, overwrite);
  if (problem.empty()) {
    const int renamed = overwrite ? std::rename(temporaryPath.c_str(), outputPath.c_str())
                                  : RenameNoReplace(temporaryPath.c_str(), outputPath.c_str());
    if (renamed != 0)
      problem = errno == EEXIST ? outputPath + " exists (--force overwrites it)"
                                : "cannot name the video " + outputPath + ": " + std::strerror(errno);
  }
  if (!problem.empty()) {
    DiscardOutput(temporaryPath);
    return problem;
  }
  Forget();
  // The new name itself is on disk once the folder is.
  const fs::path out(outputPath);
  FlushToDisk(out.has_parent_path() ? out.parent_path().string() : ".");
  return "";
}

void DiscardOutput(const std::string& temporaryPath) {
  Forget();
  if (!temporaryPath.empty()) std::remove(temporaryPath.c_str());
}

void DiscardOutputNow() {
  if (pendingSet.load()) unlink(pendingPath);
}

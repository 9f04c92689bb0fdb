#include "show_folder.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {
// The folder being made, guarded so that the signal thread never removes
// it while it is renamed into place.
std::mutex folderMutex;
std::string folderBeingMade;

std::string MakeTemporaryFolder(const fs::path& beside, const std::string& kind) {
  const fs::path parent = beside.parent_path().empty() ? fs::path(".") : beside.parent_path();
  std::string pattern = (parent / ("." + beside.filename().string() + ".qeb-make-" + kind + "-XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) return {};
  return name.data();
}
}  // namespace

ShowFolder::~ShowFolder() {
  if (temporary_.empty() || committed_) return;
  std::lock_guard<std::mutex> lock(folderMutex);
  std::error_code ignored;
  fs::remove_all(temporary_, ignored);
  folderBeingMade.clear();
}

bool ShowFolder::Create(const std::string& target, std::string& error) {
  target_ = fs::path(target).lexically_normal().string();
  if (!target_.empty() && target_.back() == '/' && target_.size() > 1) target_.pop_back();
  std::lock_guard<std::mutex> lock(folderMutex);
  temporary_ = MakeTemporaryFolder(target_, "new");
  if (temporary_.empty()) {
    error = std::string("cannot make a folder beside ") + target + ": " + std::strerror(errno);
    return false;
  }
  folderBeingMade = temporary_;
  return true;
}

bool ShowFolder::Commit(std::string& error) {
  std::lock_guard<std::mutex> lock(folderMutex);
  std::error_code code;
  std::string old;
  if (fs::symlink_status(target_, code).type() != fs::file_type::not_found) {
    // The old target moves aside first and is removed once the new one is in place.
    old = MakeTemporaryFolder(target_, "old");
    if (old.empty() || std::rename(target_.c_str(), (old + "/previous").c_str()) != 0) {
      error = "cannot move " + target_ + " aside: " + std::strerror(errno);
      if (!old.empty()) fs::remove(old, code);
      return false;
    }
  }
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    error = "cannot rename " + temporary_ + " to " + target_ + ": " + std::strerror(errno);
    if (!old.empty()) {
      std::rename((old + "/previous").c_str(), target_.c_str());
      fs::remove(old, code);
    }
    return false;
  }
  committed_ = true;
  folderBeingMade.clear();
  if (!old.empty()) fs::remove_all(old, code);
  return true;
}

void HandleEndingSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals] {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) return;
    std::lock_guard<std::mutex> lock(folderMutex);
    if (!folderBeingMade.empty()) {
      // The workers may still be writing into the folder. Renamed first,
      // it takes no new file (they name their files by path), so removing
      // it then cannot race with them.
      const std::string doomed = folderBeingMade + "-ending";
      const std::string& target = std::rename(folderBeingMade.c_str(), doomed.c_str()) == 0 ? doomed : folderBeingMade;
      std::error_code ignored;
      fs::remove_all(target, ignored);
    }
    _exit(128 + signal);
  }).detach();
}

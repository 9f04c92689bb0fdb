// The data set is written into a temporary folder beside its target and
// renamed into place when it is complete, so an interrupted run leaves no
// half-made data set. SIGINT, SIGTERM and SIGHUP remove the temporary folder
// before the program ends.
#pragma once

#include <mutex>
#include <string>

class ShowFolder {
 public:
  ShowFolder() = default;
  ShowFolder(const ShowFolder&) = delete;
  ShowFolder& operator=(const ShowFolder&) = delete;
  // Removes the temporary folder unless it was committed.
  ~ShowFolder();

  // Makes the temporary folder beside `target`; false with a reason.
  bool Create(const std::string& target, std::string& error);
  const std::string& Path() const { return temporary_; }
  // Renames the folder to the target; a target that exists is replaced
  // (the caller has checked that it may be).
  bool Commit(std::string& error);

 private:
  std::string target_, temporary_;
  bool committed_ = false;
};

// Blocks the ending signals in this thread and those it starts, and starts
// the thread that takes them: it removes the folder being made and ends
// the program with status 128 + the signal. Call before starting threads.
void HandleEndingSignals();

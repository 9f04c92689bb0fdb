// A FIFO under a data file's name, with a writer standing by: whoever opens
// it for reading is handed `contents` and then the end of the file. A loader
// that waits on the FIFO is therefore released and reads a well-formed file
// (which its test sees) instead of hanging the test; a loader that treats
// the FIFO as missing never sees the contents.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class FifoFeeder {
 public:
  // Makes the FIFO at `path` (its folder must exist); Made() tells whether that worked.
  FifoFeeder(std::string path, std::string contents);
  ~FifoFeeder();
  FifoFeeder(const FifoFeeder&) = delete;
  FifoFeeder& operator=(const FifoFeeder&) = delete;

  bool Made() const { return made_; }

 private:
  void Feed();

  std::string path_;
  std::string contents_;
  bool made_ = false;
  std::atomic<bool> stop_{false};
  std::thread writer_;
};

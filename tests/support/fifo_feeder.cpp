#include "fifo_feeder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

FifoFeeder::FifoFeeder(std::string path, std::string contents)
    : path_(std::move(path)), contents_(std::move(contents)) {
  // A reader that opens the FIFO and closes it unread must not end the test
  // with SIGPIPE when the writer gets in between.
  signal(SIGPIPE, SIG_IGN);
  made_ = mkfifo(path_.c_str(), 0600) == 0;
  if (made_) writer_ = std::thread(&FifoFeeder::Feed, this);
}

FifoFeeder::~FifoFeeder() {
  stop_ = true;
  if (writer_.joinable()) writer_.join();
  if (made_) unlink(path_.c_str());
}

// Opening the writing end without waiting succeeds only while a reader has
// the FIFO open, so this polls until one does.
void FifoFeeder::Feed() {
  while (!stop_) {
    const int descriptor = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
    if (descriptor < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      continue;
    }
    [[maybe_unused]] const ssize_t written = write(descriptor, contents_.data(), contents_.size());
    close(descriptor);
  }
}

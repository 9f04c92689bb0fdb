#include "platform/process_exit.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::atomic<int> requestedEndStatus{-1};

}  // namespace

void EndProcess(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

void EndProcessFromOtherThread(int status) {
  requestedEndStatus.store(status);
  std::this_thread::sleep_for(std::chrono::seconds(endRequestGraceSeconds));
  EndProcess(status);
}

int RequestedEndStatus() { return requestedEndStatus.load(); }

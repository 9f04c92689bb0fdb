// Hands rendered frames from the rendering thread to the encoding thread
// through a few reusable buffers: the renderer fills a free buffer while the
// encoder works on earlier ones, and waits only when all are in use.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

class FrameQueue {
 public:
  FrameQueue(size_t bufferCount, size_t frameBytes);

  // Rendering side. AcquireFree returns nullptr once the encoder has given up.
  uint8_t* AcquireFree();
  void Submit(uint8_t* frame);
  // No more frames will come.
  void Close();

  // Encoding side. NextFull returns nullptr when closed and drained.
  uint8_t* NextFull();
  void Release(uint8_t* frame);
  // The encoder stops taking frames (after an error); the renderer learns it from AcquireFree.
  void Abandon();

 private:
  std::vector<std::vector<uint8_t>> buffers_;
  std::deque<uint8_t*> free_, full_;
  bool closed_ = false, abandoned_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
};

#include "frame_queue.h"

FrameQueue::FrameQueue(size_t bufferCount, size_t frameBytes) : buffers_(bufferCount) {
  for (auto& buffer : buffers_) {
    buffer.resize(frameBytes);
    free_.push_back(buffer.data());
  }
}

uint8_t* FrameQueue::AcquireFree() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return abandoned_ || !free_.empty(); });
  if (abandoned_) return nullptr;
  uint8_t* frame = free_.front();
  free_.pop_front();
  return frame;
}

void FrameQueue::Submit(uint8_t* frame) {
  {
    std::lock_guard lock(mutex_);
    full_.push_back(frame);
  }
  changed_.notify_all();
}

void FrameQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

uint8_t* FrameQueue::NextFull() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return closed_ || !full_.empty(); });
  if (full_.empty()) return nullptr;
  uint8_t* frame = full_.front();
  full_.pop_front();
  return frame;
}

void FrameQueue::Release(uint8_t* frame) {
  {
    std::lock_guard lock(mutex_);
    free_.push_back(frame);
  }
  changed_.notify_all();
}

void FrameQueue::Abandon() {
  {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  changed_.notify_all();
}

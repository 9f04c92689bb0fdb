#include "platform/web/web_message_queue.h"

namespace {

bool IsKeyUp(const DemoMessage& message) { return message.message == WM_KEYUP || message.message == WM_SYSKEYUP; }
bool IsKeyDown(const DemoMessage& message) { return message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN; }

}  // namespace

void QueueWebMessage(WebMessageQueue& queue, const DemoMessage& message, bool posted) {
  queue.entries.push_back({message, posted});
}

bool TakeWebMessage(WebMessageQueue& queue, DemoMessage* message, bool* posted) {
  if (queue.entries.empty()) return false;
  const WebMessageQueue::Entry next = queue.entries.front();
  const size_t key = next.message.wParam & 0xFF;
  if (next.posted && IsKeyUp(next.message) && queue.downSinceFrame[key]) return false;
  queue.entries.pop_front();
  if (next.posted && IsKeyDown(next.message)) queue.downSinceFrame.set(key);
  *message = next.message;
  *posted = next.posted;
  return true;
}

void NoteFrameShown(WebMessageQueue& queue) { queue.downSinceFrame.reset(); }

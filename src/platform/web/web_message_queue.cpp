#include "platform/web/web_message_queue.h"

#include <algorithm>

namespace {

bool IsKeyUp(const DemoMessage& message) { return message.message == WM_KEYUP || message.message == WM_SYSKEYUP; }
bool IsKeyDown(const DemoMessage& message) { return message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN; }

}  // namespace

void QueueWebMessage(WebMessageQueue& queue, const DemoMessage& message, bool posted) {
  if (posted && (IsKeyDown(message) || IsKeyUp(message))) {
    const size_t key = message.wParam & 0xFF;
    queue.held.set(key, IsKeyDown(message));
    queue.heldAsSystem.set(key, message.message == WM_SYSKEYDOWN);
  }
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

void ReleaseHeldKeys(WebMessageQueue& queue) {
  for (unsigned key = 0; key < 256; ++key)
    if (queue.held[key]) QueueWebMessage(queue, {queue.heldAsSystem[key] ? WM_SYSKEYUP : WM_KEYUP, key, 0}, true);
}

void DropKeyMessages(WebMessageQueue& queue) {
  queue.entries.erase(std::remove_if(queue.entries.begin(), queue.entries.end(),
                                     [](const WebMessageQueue::Entry& entry) {
                                       return entry.posted && (IsKeyDown(entry.message) || IsKeyUp(entry.message));
                                     }),
                      queue.entries.end());
  queue.downSinceFrame.reset();
  queue.held.reset();
  queue.heldAsSystem.reset();
}

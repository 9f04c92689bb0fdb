// The browser's message queue hands every message over in order, but a
// key released before any frame saw it down waits for the next frame.
#include "platform/web/web_message_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr DemoMessage Down(unsigned key) { return {WM_KEYDOWN, key, 0}; }
constexpr DemoMessage Up(unsigned key) { return {WM_KEYUP, key, 0}; }

// The messages that can be taken before the next frame: message and key.
using Taken = std::vector<std::pair<unsigned, uintptr_t>>;
Taken TakeUntilFrame(WebMessageQueue& queue) {
  Taken taken;
  DemoMessage message;
  bool posted = false;
  while (TakeWebMessage(queue, &message, &posted)) taken.emplace_back(message.message, message.wParam);
  return taken;
}

TEST(WebMessageQueueTest, AKeyUpAfterItsKeyDownWaitsForTheNextFrame) {
  WebMessageQueue queue;
  QueueWebMessage(queue, Down('B'), true);
  QueueWebMessage(queue, Up('B'), true);
  QueueWebMessage(queue, Down(VK_ESCAPE), true);
  EXPECT_EQ(TakeUntilFrame(queue), (Taken{{WM_KEYDOWN, 'B'}}));
  NoteFrameShown(queue);
  EXPECT_EQ(TakeUntilFrame(queue), (Taken{{WM_KEYUP, 'B'}, {WM_KEYDOWN, VK_ESCAPE}}));
}

TEST(WebMessageQueueTest, OtherMessagesPassInOrder) {
  WebMessageQueue queue;
  // A key held down since an earlier frame, a system key, and a message for
  // the window procedure: nothing is held back.
  QueueWebMessage(queue, Up(VK_LEFT), true);
  QueueWebMessage(queue, {WM_SYSKEYDOWN, VK_F10, 0}, true);
  QueueWebMessage(queue, {WM_ACTIVATE, 1, 0}, false);
  QueueWebMessage(queue, Down(VK_UP), true);
  QueueWebMessage(queue, Down(VK_UP), true);  // auto-repeat
  EXPECT_EQ(
      TakeUntilFrame(queue),
      (Taken{
          {WM_KEYUP, VK_LEFT}, {WM_SYSKEYDOWN, VK_F10}, {WM_ACTIVATE, 1}, {WM_KEYDOWN, VK_UP}, {WM_KEYDOWN, VK_UP}}));
}

TEST(WebMessageQueueTest, SaysWhichMessagesArePosted) {
  WebMessageQueue queue;
  QueueWebMessage(queue, {WM_ACTIVATE, 0, 0}, false);
  QueueWebMessage(queue, {WM_SYSKEYUP, VK_MENU, 0}, true);
  DemoMessage message;
  bool posted = true;
  ASSERT_TRUE(TakeWebMessage(queue, &message, &posted));
  EXPECT_FALSE(posted);
  ASSERT_TRUE(TakeWebMessage(queue, &message, &posted));
  EXPECT_TRUE(posted);
  EXPECT_EQ(message.message, WM_SYSKEYUP);
  EXPECT_FALSE(TakeWebMessage(queue, &message, &posted));
}

TEST(WebMessageQueueTest, LosingTheKeyboardReleasesTheKeysStillHeld) {
  WebMessageQueue queue;
  QueueWebMessage(queue, Down(VK_LEFT), true);
  QueueWebMessage(queue, Down(VK_LEFT), true);  // auto-repeat
  QueueWebMessage(queue, Down('B'), true);
  QueueWebMessage(queue, Up('B'), true);
  QueueWebMessage(queue, {WM_SYSKEYDOWN, VK_MENU, 0}, true);
  TakeUntilFrame(queue);
  NoteFrameShown(queue);
  TakeUntilFrame(queue);
  NoteFrameShown(queue);
  ReleaseHeldKeys(queue);
  // Each key still down gets one key-up of its kind; B was already up.
  EXPECT_EQ(TakeUntilFrame(queue), (Taken{{WM_SYSKEYUP, VK_MENU}, {WM_KEYUP, VK_LEFT}}));
  ReleaseHeldKeys(queue);
  EXPECT_EQ(TakeUntilFrame(queue), Taken{});
}

TEST(WebMessageQueueTest, DroppingKeysKeepsTheOtherMessages) {
  WebMessageQueue queue;
  QueueWebMessage(queue, Down(VK_ESCAPE), true);
  QueueWebMessage(queue, {WM_ACTIVATE, 1, 0}, false);
  QueueWebMessage(queue, Down(VK_LEFT), true);
  QueueWebMessage(queue, Up(VK_ESCAPE), true);
  DropKeyMessages(queue);
  EXPECT_EQ(TakeUntilFrame(queue), (Taken{{WM_ACTIVATE, 1}}));
  // The dropped key-down leaves nothing held to release.
  ReleaseHeldKeys(queue);
  EXPECT_EQ(TakeUntilFrame(queue), Taken{});
}

}  // namespace

// The browser's messages between its events and the demo's loop. Events
// arrive whenever the browser runs them; the loop takes the messages one at
// a time, posted ones (keys) into its record, the others (activation) for
// the window procedure. Plain C++, so the native tests check it.
#pragma once

#include <bitset>
#include <deque>

#include "platform/window_messages.h"

struct WebMessageQueue {
  struct Entry {
    DemoMessage message;
    bool posted;
  };
  std::deque<Entry> entries;
  // Keys whose key-down was taken since the last frame was shown.
  std::bitset<256> downSinceFrame;
  // Keys whose key-down was queued and whose key-up was not yet, and which
  // of them went down as system keys.
  std::bitset<256> held;
  std::bitset<256> heldAsSystem;
};

void QueueWebMessage(WebMessageQueue& queue, const DemoMessage& message, bool posted);

// Takes the next message into *message and says whether it is a posted one.
// False when nothing may be taken before the next frame: the queue is empty,
// or its next message is the key-up of a key whose key-down was taken since
// the last frame. Keys typed by a script, or a very quick finger, arrive down
// and up between two animation frames; so every press is seen by a frame.
bool TakeWebMessage(WebMessageQueue& queue, DemoMessage* message, bool* posted);

// A frame has been shown: held key-ups may follow.
void NoteFrameShown(WebMessageQueue& queue);

// The page lost the keyboard (another window or tab has it): queues the
// key-up of every key still held, as a native window gets them when it
// loses the focus, so no key stays down in the demo's record.
void ReleaseHeldKeys(WebMessageQueue& queue);

// Forgets every key message not yet taken and every key held: keys pressed
// before the show started do not reach it. Other messages stay.
void DropKeyMessages(WebMessageQueue& queue);

// A scripted stand-in for the window system (platform/window_system.h).
// Tests link it instead of SDL: it logs every step, fails the steps a test
// names, and delivers the messages a test queues.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/window_system.h"

struct FakeEvent {
  bool posted;  // posted messages fill the loop's record; sent ones go straight to the window procedure
  unsigned message;
  uintptr_t wParam;
  intptr_t lParam;
};

struct FakeWindowSystem {
  std::vector<std::string> log;                // one line per call, e.g. "CreateDemoWindow 640x480 fullscreen"
  std::map<std::string, int> failOnCall;       // step name -> the call number (1-based) that fails
  std::map<std::string, int> callCounts;       // step name -> calls so far
  bool displayHasMode = true;                  // ChangeDisplayMode succeeds only when set
  std::deque<FakeEvent> events;                // waiting messages, oldest first
  std::function<void(int swapNumber)> onSwap;  // called by every SwapDemoBuffers, numbered from 1
  WindowProcedure procedure = nullptr;
  bool quitPosted = false;
  int quitCode = 0;
  int swaps = 0;
  int windowsCreated = 0;
  WindowHandle window = nullptr;  // the live window, null when none
  GlContext context = nullptr;    // the live context
  bool contextCurrent = false;
  bool fullscreenActive = false;  // a full-screen mode is in force
  bool cursorHidden = false;
  bool classRegistered = false;
};

extern FakeWindowSystem fakeWindowSystem;

void ResetFakeWindowSystem();
void QueuePostedMessage(unsigned message, uintptr_t wParam);
void QueueSentMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
// A key press and release, as two posted messages.
void QueueKeyPress(unsigned virtualKey);

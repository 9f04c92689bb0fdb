// The window messages, virtual-key codes and message record that the demo's
// window procedure and main loop work with. The values are the classic
// Windows ones, so that key codes (and the exit code taken from the last
// key message) mean the same on every platform.
#pragma once

#include <cstdint>

// Messages. Key messages and the quit message are "posted": they fill the
// main loop's message record. The others reach the window procedure directly.
constexpr unsigned WM_ACTIVATE = 0x0006;
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUIT = 0x0012;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSKEYUP = 0x0105;
constexpr unsigned WM_SYSCOMMAND = 0x0112;

// System commands carried by WM_SYSCOMMAND.
constexpr uintptr_t SC_MINIMIZE = 0xF020;
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;

// Virtual-key codes the demo reacts to. Letters and digits use their
// upper-case ASCII codes ('A' is 65, '0' is 48).
constexpr unsigned VK_BACK = 8;
constexpr unsigned VK_TAB = 9;
constexpr unsigned VK_RETURN = 13;
constexpr unsigned VK_SHIFT = 16;
constexpr unsigned VK_CONTROL = 17;
constexpr unsigned VK_MENU = 18;  // Alt
constexpr unsigned VK_PAUSE = 19;
constexpr unsigned VK_CAPITAL = 20;
constexpr unsigned VK_ESCAPE = 27;
constexpr unsigned VK_SPACE = 32;
constexpr unsigned VK_PRIOR = 33;
constexpr unsigned VK_NEXT = 34;
constexpr unsigned VK_END = 35;
constexpr unsigned VK_HOME = 36;
constexpr unsigned VK_LEFT = 37;
constexpr unsigned VK_UP = 38;
constexpr unsigned VK_RIGHT = 39;
constexpr unsigned VK_DOWN = 40;
constexpr unsigned VK_INSERT = 45;
constexpr unsigned VK_DELETE = 46;
constexpr unsigned VK_F1 = 112;
constexpr unsigned VK_F10 = 121;
constexpr unsigned VK_F12 = 123;

// WM_ACTIVATE: the high word of wParam is nonzero while the window is minimised.
constexpr uintptr_t MakeActivateParam(bool minimised) { return minimised ? 0x10000u : 0u; }
constexpr unsigned HighWord(uintptr_t value) { return unsigned((value >> 16) & 0xFFFF); }
constexpr unsigned LowWord(uintptr_t value) { return unsigned(value & 0xFFFF); }
// WM_SIZE: the low word of lParam is the client width, the high word its height.
constexpr intptr_t MakeSizeParam(int width, int height) {
  return intptr_t((uintptr_t(unsigned(height) & 0xFFFF) << 16) | (unsigned(width) & 0xFFFF));
}

// The main loop's message record: filled by each PeekDemoMessage that
// returns a posted message.
struct DemoMessage {
  unsigned message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

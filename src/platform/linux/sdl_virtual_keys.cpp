#include "platform/linux/sdl_virtual_keys.h"

#include <array>

namespace {

struct KeyCode {
  SDL_Scancode scancode;
  unsigned virtualKey;
};

// Every key position SDL names that Windows has a code for. Shift, Control
// and Alt give the same code on both sides, as in a Windows key message.
constexpr KeyCode keyCodes[] = {
    {SDL_SCANCODE_RETURN, 0x0D},          // VK_RETURN
    {SDL_SCANCODE_ESCAPE, 0x1B},          // VK_ESCAPE
    {SDL_SCANCODE_BACKSPACE, 0x08},       // VK_BACK
    {SDL_SCANCODE_TAB, 0x09},             // VK_TAB
    {SDL_SCANCODE_SPACE, 0x20},           // VK_SPACE
    {SDL_SCANCODE_MINUS, 0xBD},           // VK_OEM_MINUS
    {SDL_SCANCODE_EQUALS, 0xBB},          // VK_OEM_PLUS
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},     // VK_OEM_4
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},    // VK_OEM_6
    {SDL_SCANCODE_BACKSLASH, 0xDC},       // VK_OEM_5
    {SDL_SCANCODE_NONUSHASH, 0xDC},       // VK_OEM_5: the same position on Windows
    {SDL_SCANCODE_SEMICOLON, 0xBA},       // VK_OEM_1
    {SDL_SCANCODE_APOSTROPHE, 0xDE},      // VK_OEM_7
    {SDL_SCANCODE_GRAVE, 0xC0},           // VK_OEM_3
    {SDL_SCANCODE_COMMA, 0xBC},           // VK_OEM_COMMA
    {SDL_SCANCODE_PERIOD, 0xBE},          // VK_OEM_PERIOD
    {SDL_SCANCODE_SLASH, 0xBF},           // VK_OEM_2
    {SDL_SCANCODE_CAPSLOCK, 0x14},        // VK_CAPITAL
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},     // VK_SNAPSHOT
    {SDL_SCANCODE_SCROLLLOCK, 0x91},      // VK_SCROLL
    {SDL_SCANCODE_PAUSE, 0x13},           // VK_PAUSE
    {SDL_SCANCODE_INSERT, 0x2D},          // VK_INSERT
    {SDL_SCANCODE_HOME, 0x24},            // VK_HOME
    {SDL_SCANCODE_PAGEUP, 0x21},          // VK_PRIOR
    {SDL_SCANCODE_DELETE, 0x2E},          // VK_DELETE
    {SDL_SCANCODE_END, 0x23},             // VK_END
    {SDL_SCANCODE_PAGEDOWN, 0x22},        // VK_NEXT
    {SDL_SCANCODE_RIGHT, 0x27},           // VK_RIGHT
    {SDL_SCANCODE_LEFT, 0x25},            // VK_LEFT
    {SDL_SCANCODE_DOWN, 0x28},            // VK_DOWN
    {SDL_SCANCODE_UP, 0x26},              // VK_UP
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},    // VK_NUMLOCK
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},       // VK_DIVIDE
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},     // VK_MULTIPLY
    {SDL_SCANCODE_KP_MINUS, 0x6D},        // VK_SUBTRACT
    {SDL_SCANCODE_KP_PLUS, 0x6B},         // VK_ADD
    {SDL_SCANCODE_KP_ENTER, 0x0D},        // VK_RETURN
    {SDL_SCANCODE_KP_0, 0x60},            // VK_NUMPAD0
    {SDL_SCANCODE_KP_PERIOD, 0x6E},       // VK_DECIMAL
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},  // VK_OEM_102
    {SDL_SCANCODE_APPLICATION, 0x5D},     // VK_APPS
    {SDL_SCANCODE_KP_EQUALS, 0x92},       // VK_OEM_NEC_EQUAL
    {SDL_SCANCODE_EXECUTE, 0x2B},         // VK_EXECUTE
    {SDL_SCANCODE_HELP, 0x2F},            // VK_HELP
    {SDL_SCANCODE_MENU, 0x5D},            // VK_APPS
    {SDL_SCANCODE_SELECT, 0x29},          // VK_SELECT
    {SDL_SCANCODE_STOP, 0xA9},            // VK_BROWSER_STOP
    {SDL_SCANCODE_MUTE, 0xAD},            // VK_VOLUME_MUTE
    {SDL_SCANCODE_VOLUMEUP, 0xAF},        // VK_VOLUME_UP
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},      // VK_VOLUME_DOWN
    {SDL_SCANCODE_KP_COMMA, 0x6C},        // VK_SEPARATOR
    {SDL_SCANCODE_INTERNATIONAL1, 0xC1},  // VK_ABNT_C1
    {SDL_SCANCODE_INTERNATIONAL2, 0x15},  // VK_KANA
    {SDL_SCANCODE_INTERNATIONAL3, 0xDC},  // VK_OEM_5 (yen)
    {SDL_SCANCODE_INTERNATIONAL4, 0x1C},  // VK_CONVERT
    {SDL_SCANCODE_INTERNATIONAL5, 0x1D},  // VK_NONCONVERT
    {SDL_SCANCODE_LANG1, 0x15},           // VK_HANGUL
    {SDL_SCANCODE_LANG2, 0x19},           // VK_HANJA
    {SDL_SCANCODE_SYSREQ, 0x2C},          // VK_SNAPSHOT
    {SDL_SCANCODE_CANCEL, 0x03},          // VK_CANCEL
    {SDL_SCANCODE_CLEAR, 0x0C},           // VK_CLEAR
    {SDL_SCANCODE_PRIOR, 0x21},           // VK_PRIOR
    {SDL_SCANCODE_RETURN2, 0x0D},         // VK_RETURN
    {SDL_SCANCODE_SEPARATOR, 0x6C},       // VK_SEPARATOR
    {SDL_SCANCODE_CLEARAGAIN, 0xFE},      // VK_OEM_CLEAR
    {SDL_SCANCODE_CRSEL, 0xF7},           // VK_CRSEL
    {SDL_SCANCODE_EXSEL, 0xF8},           // VK_EXSEL
    {SDL_SCANCODE_KP_CLEAR, 0x0C},        // VK_CLEAR
    {SDL_SCANCODE_LCTRL, 0x11},           // VK_CONTROL
    {SDL_SCANCODE_LSHIFT, 0x10},          // VK_SHIFT
    {SDL_SCANCODE_LALT, 0x12},            // VK_MENU
    {SDL_SCANCODE_LGUI, 0x5B},            // VK_LWIN
    {SDL_SCANCODE_RCTRL, 0x11},           // VK_CONTROL
    {SDL_SCANCODE_RSHIFT, 0x10},          // VK_SHIFT
    {SDL_SCANCODE_RALT, 0x12},            // VK_MENU
    {SDL_SCANCODE_RGUI, 0x5C},            // VK_RWIN
    {SDL_SCANCODE_AUDIONEXT, 0xB0},       // VK_MEDIA_NEXT_TRACK
    {SDL_SCANCODE_AUDIOPREV, 0xB1},       // VK_MEDIA_PREV_TRACK
    {SDL_SCANCODE_AUDIOSTOP, 0xB2},       // VK_MEDIA_STOP
    {SDL_SCANCODE_AUDIOPLAY, 0xB3},       // VK_MEDIA_PLAY_PAUSE
    {SDL_SCANCODE_AUDIOMUTE, 0xAD},       // VK_VOLUME_MUTE
    {SDL_SCANCODE_MEDIASELECT, 0xB5},     // VK_LAUNCH_MEDIA_SELECT
    {SDL_SCANCODE_WWW, 0xAC},             // VK_BROWSER_HOME
    {SDL_SCANCODE_MAIL, 0xB4},            // VK_LAUNCH_MAIL
    {SDL_SCANCODE_CALCULATOR, 0xB7},      // VK_LAUNCH_APP2
    {SDL_SCANCODE_COMPUTER, 0xB6},        // VK_LAUNCH_APP1
    {SDL_SCANCODE_AC_SEARCH, 0xAA},       // VK_BROWSER_SEARCH
    {SDL_SCANCODE_AC_HOME, 0xAC},         // VK_BROWSER_HOME
    {SDL_SCANCODE_AC_BACK, 0xA6},         // VK_BROWSER_BACK
    {SDL_SCANCODE_AC_FORWARD, 0xA7},      // VK_BROWSER_FORWARD
    {SDL_SCANCODE_AC_STOP, 0xA9},         // VK_BROWSER_STOP
    {SDL_SCANCODE_AC_REFRESH, 0xA8},      // VK_BROWSER_REFRESH
    {SDL_SCANCODE_AC_BOOKMARKS, 0xAB},    // VK_BROWSER_FAVORITES
    {SDL_SCANCODE_SLEEP, 0x5F},           // VK_SLEEP
    {SDL_SCANCODE_APP1, 0xB6},            // VK_LAUNCH_APP1
    {SDL_SCANCODE_APP2, 0xB7},            // VK_LAUNCH_APP2
};

// The table above, indexed by position, with the runs filled in: letters
// 'A'..'Z', digits '1'..'9' then '0', F1..F24, the keypad's 1..9.
constexpr std::array<unsigned, SDL_NUM_SCANCODES> BuildCodeByScancode() {
  std::array<unsigned, SDL_NUM_SCANCODES> codes{};
  for (int i = 0; i < 26; ++i) codes[SDL_SCANCODE_A + i] = 'A' + i;
  for (int i = 0; i < 9; ++i) codes[SDL_SCANCODE_1 + i] = '1' + i;
  codes[SDL_SCANCODE_0] = '0';
  for (int i = 0; i < 12; ++i) codes[SDL_SCANCODE_F1 + i] = 0x70 + i;   // VK_F1..VK_F12
  for (int i = 0; i < 12; ++i) codes[SDL_SCANCODE_F13 + i] = 0x7C + i;  // VK_F13..VK_F24
  for (int i = 0; i < 9; ++i) codes[SDL_SCANCODE_KP_1 + i] = 0x61 + i;  // VK_NUMPAD1..VK_NUMPAD9
  for (const KeyCode& key : keyCodes) codes[key.scancode] = key.virtualKey;
  return codes;
}

constexpr std::array<unsigned, SDL_NUM_SCANCODES> codeByScancode = BuildCodeByScancode();

}  // namespace

unsigned VirtualKeyOf(const SDL_Keysym& key) {
  // Windows names letter keys by the letter the layout puts on them.
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return unsigned('A' + (key.sym - SDLK_a));
  if (unsigned(key.scancode) >= unsigned(SDL_NUM_SCANCODES)) return 0;
  return codeByScancode[key.scancode];
}

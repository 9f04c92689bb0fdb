#include "platform/web/web_virtual_keys.h"

#include <cstdlib>
#include <cstring>

namespace {

struct KeyCode {
  const char* code;
  unsigned virtualKey;
};

// Every key position the browser names that Windows has a code for, apart
// from the runs that VirtualKeyOf works out (letters, digits, F-keys, the
// keypad's digits). Both Shift, Control and Alt keys give one code, as in
// a Windows key message.
constexpr KeyCode keyCodes[] = {
    {"Enter", 0x0D},
    {"Escape", 0x1B},
    {"Backspace", 0x08},
    {"Tab", 0x09},
    {"Space", 0x20},
    {"Minus", 0xBD},
    {"Equal", 0xBB},
    {"BracketLeft", 0xDB},
    {"BracketRight", 0xDD},
    {"Backslash", 0xDC},
    {"Semicolon", 0xBA},
    {"Quote", 0xDE},
    {"Backquote", 0xC0},
    {"Comma", 0xBC},
    {"Period", 0xBE},
    {"Slash", 0xBF},
    {"CapsLock", 0x14},
    {"PrintScreen", 0x2C},
    {"ScrollLock", 0x91},
    {"Pause", 0x13},
    {"Insert", 0x2D},
    {"Home", 0x24},
    {"PageUp", 0x21},
    {"Delete", 0x2E},
    {"End", 0x23},
    {"PageDown", 0x22},
    {"ArrowRight", 0x27},
    {"ArrowLeft", 0x25},
    {"ArrowDown", 0x28},
    {"ArrowUp", 0x26},
    {"NumLock", 0x90},
    {"NumpadDivide", 0x6F},
    {"NumpadMultiply", 0x6A},
    {"NumpadSubtract", 0x6D},
    {"NumpadAdd", 0x6B},
    {"NumpadEnter", 0x0D},
    {"NumpadDecimal", 0x6E},
    {"NumpadEqual", 0x92},
    {"NumpadComma", 0x6C},
    {"IntlBackslash", 0xE2},
    {"ContextMenu", 0x5D},
    {"ShiftLeft", 0x10},
    {"ShiftRight", 0x10},
    {"ControlLeft", 0x11},
    {"ControlRight", 0x11},
    {"AltLeft", 0x12},
    {"AltRight", 0x12},
    {"MetaLeft", 0x5B},
    {"MetaRight", 0x5C},
    {"AudioVolumeMute", 0xAD},
    {"AudioVolumeUp", 0xAF},
    {"AudioVolumeDown", 0xAE},
    {"MediaTrackNext", 0xB0},
    {"MediaTrackPrevious", 0xB1},
    {"MediaStop", 0xB2},
    {"MediaPlayPause", 0xB3},
    {"IntlRo", 0xC1},
    {"IntlYen", 0xDC},
    {"KanaMode", 0x15},
    {"Convert", 0x1C},
    {"NonConvert", 0x1D},
    {"Lang1", 0x15},
    {"Lang2", 0x19},
    {"Help", 0x2F},
    {"BrowserBack", 0xA6},
    {"BrowserForward", 0xA7},
    {"BrowserRefresh", 0xA8},
    {"BrowserStop", 0xA9},
    {"BrowserSearch", 0xAA},
    {"BrowserFavorites", 0xAB},
    {"BrowserHome", 0xAC},
    {"LaunchMail", 0xB4},
    {"LaunchApp1", 0xB6},
    {"LaunchApp2", 0xB7},
    {"MediaSelect", 0xB5},
    {"Sleep", 0x5F},
};

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// The number after prefix when the rest of text is one in [first, last]; else -1.
int NumberAfter(const char* text, const char* prefix, int first, int last) {
  if (!StartsWith(text, prefix)) return -1;
  const char* digits = text + std::strlen(prefix);
  if (*digits < '0' || *digits > '9') return -1;
  char* end = nullptr;
  const long number = std::strtol(digits, &end, 10);
  if (*end != '\0' || number < first || number > last) return -1;
  return int(number);
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

unsigned VirtualKeyOf(const char* code, const char* key) {
  if (!code) return 0;
  // Windows names letter keys by the letter the layout puts on them.
  if (key && IsLetter(key[0]) && key[1] == '\0') return unsigned(key[0] & ~0x20);  // upper case
  // A letter key whose layout types no Latin letter keeps its position's.
  if (StartsWith(code, "Key") && IsLetter(code[3]) && code[4] == '\0') return unsigned(code[3] & ~0x20);
  if (const int digit = NumberAfter(code, "Digit", 0, 9); digit >= 0 && code[6] == '\0') return unsigned('0' + digit);
  if (const int digit = NumberAfter(code, "Numpad", 0, 9); digit >= 0 && code[7] == '\0')
    return 0x60u + unsigned(digit);
  if (const int function = NumberAfter(code, "F", 1, 24); function >= 1) return 0x70u + unsigned(function - 1);
  for (const KeyCode& entry : keyCodes)
    if (std::strcmp(code, entry.code) == 0) return entry.virtualKey;
  return 0;
}

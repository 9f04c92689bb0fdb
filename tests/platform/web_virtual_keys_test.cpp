// The browser's keys map onto the same virtual-key codes as on the other
// systems: positions for most keys, the layout's letter for letter keys.
#include "platform/web/web_virtual_keys.h"

#include <gtest/gtest.h>

#include <ostream>

#include "platform/window_messages.h"

namespace {

struct KeyCase {
  const char* code;
  const char* key;
  unsigned expected;
};

void PrintTo(const KeyCase& key, std::ostream* out) {
  *out << (key.code ? key.code : "null") << " typing " << (key.key ? key.key : "null");
}

class WebVirtualKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(WebVirtualKeyTest, MapsTheKey) {
  const KeyCase& key = GetParam();
  EXPECT_EQ(VirtualKeyOf(key.code, key.key), key.expected) << key.code << " / " << (key.key ? key.key : "null");
}

INSTANTIATE_TEST_SUITE_P(Keys, WebVirtualKeyTest,
                         testing::Values(
                             // The keys the demo reacts to.
                             KeyCase{"Escape", "Escape", VK_ESCAPE}, KeyCase{"F1", "F1", VK_F1},
                             KeyCase{"KeyB", "b", 'B'}, KeyCase{"KeyB", "B", 'B'},
                             KeyCase{"ArrowLeft", "ArrowLeft", VK_LEFT}, KeyCase{"ArrowUp", "ArrowUp", VK_UP},
                             KeyCase{"ArrowRight", "ArrowRight", VK_RIGHT}, KeyCase{"ArrowDown", "ArrowDown", VK_DOWN},
                             // Letters follow the layout; a layout without Latin letters keeps the position.
                             KeyCase{"KeyQ", "a", 'A'}, KeyCase{"KeyA", "\xd1\x84", 'A'},
                             KeyCase{"Semicolon", "m", 'M'},
                             // Runs worked out from the name, and their ends.
                             KeyCase{"Digit0", "0", '0'}, KeyCase{"Digit9", "(", '9'}, KeyCase{"Numpad7", "7", 0x67},
                             KeyCase{"F12", "F12", VK_F12}, KeyCase{"F24", "F24", 0x87}, KeyCase{"F25", "F25", 0},
                             KeyCase{"F0", "F0", 0}, KeyCase{"F1x", "F1", 0}, KeyCase{"Digit10", "1", 0},
                             // Both sides of a modifier give one code; system keys keep theirs.
                             KeyCase{"ShiftRight", "Shift", VK_SHIFT}, KeyCase{"ControlLeft", "Control", VK_CONTROL},
                             KeyCase{"AltLeft", "Alt", VK_MENU}, KeyCase{"F10", "F10", VK_F10},
                             // What Windows has no code for.
                             KeyCase{"Unidentified", "Unidentified", 0}, KeyCase{"", "", 0}, KeyCase{nullptr, "a", 0},
                             KeyCase{"Fn", nullptr, 0}));

}  // namespace

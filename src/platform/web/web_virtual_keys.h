// The Windows virtual-key code of each key the browser reports, so the
// window procedure sees every key as it does on the other systems. Plain
// C++ without the browser's headers, so the native tests check the table.
#pragma once

// code is the key's position (KeyboardEvent.code: "KeyB", "Escape", "F1",
// "ArrowLeft"...), key what it types (KeyboardEvent.key). Letter keys follow
// the keyboard layout (the key that types 'a' is 'A'), every other key its
// position; 0 for keys Windows has no code for.
unsigned VirtualKeyOf(const char* code, const char* key);

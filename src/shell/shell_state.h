// The shell's global state as a whole: the window, its handles and flags,
// the key table and what the keys changed.
#pragma once

// Puts every global of the shell back to its program-start value: no
// window, GL context or device context held, full screen requested, the
// window active, no key down, heading 0, the plain look and B released.
void ResetShellState();

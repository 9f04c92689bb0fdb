#include "shell/shell_state.h"

#include "shell/demo_keys.h"
#include "shell/demo_window.h"

void ResetShellState() {
  hWnd = nullptr;
  hDC = nullptr;
  hRC = nullptr;
  fullscreen = 1;
  active = 1;
  for (uint8_t& key : keyTable) key = 0;
  heading = 0.0f;
  blendOn = 0;
  bHeld = 0;
}

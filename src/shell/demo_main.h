// The demo's entry: opens the window, starts the soundtrack, runs the frame
// loop until the clock ends (or Escape, or the window is closed) and shuts
// down in order.
#pragma once

// The four arguments of a graphical entry point, all ignored. Returns the
// process exit code: 0 when the window cannot be opened, else the wParam of
// the last key or quit message retrieved (0 when there was none).
int DemoMain(void* instance, void* previousInstance, const char* commandLine, int showCommand);

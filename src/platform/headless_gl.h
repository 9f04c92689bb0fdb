// An OpenGL context that draws into an off-screen buffer of a given size,
// with no display server and no window: for tools that render the show
// without showing it. The colour buffer has 8 bits per channel and the depth
// buffer 16 bits, the depth the demo's window asks for. One context per
// process, used by the thread that opened it.
#pragma once

#include <string>

// Opens the context and makes it current. Returns "" on success, else why
// it failed (no headless GL here, or a size beyond what this GL can draw).
std::string OpenHeadlessGl(int width, int height);
// Releases the context; nothing happens when none is open.
void CloseHeadlessGl();

// A real OpenGL context like the demo's (5-6-5 colour asked for, a 16-bit
// depth buffer, double buffering) in an SDL window on the X display, for
// pixel tests and benchmarks that run under Xvfb.
#pragma once

#include <SDL.h>

struct GlTestWindow {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
};

// Starts SDL's video and opens the window with its context current. False,
// with SDL_GetError() telling why, when either cannot be had.
bool OpenGlTestWindow(const char* title, int width, int height, bool visible, GlTestWindow* opened);
// Releases whatever OpenGlTestWindow obtained and stops SDL.
void CloseGlTestWindow(GlTestWindow* opened);

// The browser's GL 1.1: the GL and GLU entry points the renderer calls,
// defined by this library on top of FixedFunctionGl. Until a sink is given,
// they keep state and draw nothing.
#pragma once

#include <string>

#include "platform/web/gl/draw_call.h"

// Starts a fresh GL state (as a new context would) that draws into sink;
// nullptr discards the drawing.
void UseGlSink(GlSink* sink);
// Hands over the vertices still batched. Call at the end of each frame,
// before the picture is shown.
void FlushGl();

#ifdef __EMSCRIPTEN__
// Call once the page's WebGL context is current: builds the shader program
// and points the GL entry points at WebGL. False, with the reason in
// *error, when the program does not build.
bool StartWebGlLayer(std::string* error);
#endif

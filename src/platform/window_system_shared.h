// Between the shared window_system_shared.cpp and the window systems that
// stand in for what Windows' own gives (SDL, the browser). There the device
// context is the window itself, one pixel format (number 1) stands for
// whatever the system gives an RGBA window drawn with OpenGL, and WM_QUIT is
// a flag the message pass reports once nothing else is waiting. The shared
// file gives GetDeviceContext, ReleaseDeviceContext, ChoosePixelFormat,
// SetPixelFormat and PostQuitMessage; the back-end gives the one step that
// is its own, and ends its PeekDemoMessage with TakePostedQuit.
#pragma once

#include "platform/window_system.h"

// Given by the back-end: keeps what the pixel format set on the window asks
// for (buffering, depth, stencil), for the GL context made on it next.
void UseDemoPixelFormat(const PixelFormatDescriptor& descriptor);

// The quit message PostQuitMessage left, once: true with WM_QUIT and the exit
// code in *message, false (the record untouched) when none is waiting.
bool TakePostedQuit(DemoMessage* message);

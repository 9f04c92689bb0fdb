// The SDL side of message boxes, open to its tests and to the box helper.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

// SDL's message-box flags for a type argument of MB_* values: the stop,
// exclamation and information icons give SDL's error, warning and
// information kinds; a type without an icon gives no kind (0), which SDL
// shows without an icon where its platform draws icons.
uint32_t SdlMessageBoxFlags(unsigned type);

// Shows the box with SDL in the calling process and returns the answer.
// SDL's box takes over the process's keyboard state, cursor and focused
// window while it is up, so only the thread that owns the window system may
// call this.
int ShowSdlMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

// Shows the box in a process of its own: runs helperPath with the caption,
// the text and the type (in decimal) as its three arguments and takes its
// exit status as the answer. Where the helper cannot be run or ends without
// an answer, the caption and text go to standard error and the answer is the
// unshown one (UnshownAnswer). Should the calling process end first, the helper is killed.
int ShowMessageBoxInHelper(const char* helperPath, const char* text, const char* caption, unsigned type);

// The box helper's name; it is installed beside the program.
constexpr const char* messageBoxHelperName = "qeb-message-box";

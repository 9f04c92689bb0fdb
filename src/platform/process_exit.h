// Ending the whole process from any thread.
#pragma once

// Flushes the standard streams and ends the process at once with status.
// No exit handlers and no static destructors run: another thread (the main
// thread, rendering) may still be using the objects they would tear down.
[[noreturn]] void EndProcess(int status);

// Ends the process with status from a thread that does not own the display.
// The owner, the main thread, is asked to do it at its next message pass, so
// that it can leave full screen first. Should it not come by within
// endRequestGraceSeconds (still opening a window, or inside a box of its own,
// when full screen has already been left), the process ends without it.
[[noreturn]] void EndProcessFromOtherThread(int status);
constexpr int endRequestGraceSeconds = 2;

// The display owner's side: the status another thread asked to end with,
// or -1 while nobody has asked.
int RequestedEndStatus();

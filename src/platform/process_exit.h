// Ending the whole process from any thread.
#pragma once

// Flushes the standard streams and ends the process at once with status.
// No exit handlers and no static destructors run: another thread (the main
// thread, rendering) may still be using the objects they would tear down.
[[noreturn]] void EndProcess(int status);

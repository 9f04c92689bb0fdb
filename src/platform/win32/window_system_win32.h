// What the Win32 window system offers its own back-end files.
#pragma once

// Windows' PostQuitMessage, for post_quit_message.cpp.
void PostWindowsQuitMessage(int exitCode);

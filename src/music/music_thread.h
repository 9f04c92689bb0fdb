// The soundtrack, streamed and looped on a thread of its own.
#pragma once

#include <atomic>
#include <cstdint>

// Set to 1 once, by the main thread at shutdown; polled by the music thread.
extern std::atomic<uint8_t> musicStop;

// Thread entry: plays the MP3 file at path until musicStop is set or the
// decoder ends. A fatal error shows its message and ends the process with
// status 1. Returns 0 when the thread ends by itself.
int MusicThread(const char* path);

// The music module's state at program start: musicStop clear.
void ResetMusicState();

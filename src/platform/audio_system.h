// The computer's audio system. The main thread, which also starts and stops
// the window system, starts it once before the music thread starts and stops
// it once after that thread has ended: the window system's and the audio
// system's start-up and shut-down then never run on two threads at once. The
// decoder's audio output only opens and closes a device on it.
#pragma once

// False when there is no audio system; the output then fails to open.
bool StartAudioSystem();
void StopAudioSystem();

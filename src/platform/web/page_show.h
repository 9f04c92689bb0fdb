// Between the browser back-ends: what the start of the show asks of the
// window system and of the soundtrack.
#pragma once

// Starts the looping soundtrack, if the music's part has handed one over.
void StartSoundtrackPlayback();
// Enters the browser's full screen when the current window asked for it.
void EnterWishedFullScreen();

// Between the browser back-ends: what the start of the show asks of the
// window system and of the soundtrack.
#pragma once

// Starts the looping soundtrack, if the music's part has handed one over.
void StartSoundtrackPlayback();
// The show starts: keys pressed while it waited are forgotten, the page's
// keys belong to the demo from now on, and the browser's full screen is
// entered when the current window asked for it.
void StartShowInWindow();

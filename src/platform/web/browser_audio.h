// The page's Web Audio context, between the audio system, its output and
// the decoder handle of the browser build.
#pragma once

#include <cstddef>

// True while the audio system has a context to play through.
bool BrowserAudioReady();
// The rate the context plays at, samples a second (0 without a context).
int BrowserAudioRate();
// Hands one whole pass of the MP3 file to the browser, which decodes it and
// plays it looped from the start of the show on. A file that does not
// decode plays as silence, as junk does on the other systems.
void LoopSoundtrackInBrowser(const unsigned char* bytes, size_t count);

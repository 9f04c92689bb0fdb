// Qeb's soundtrack: an original tune in A minor, synthesised sample by
// sample. 40 bars at 126 beats a minute (about 76 seconds), 44.1 kHz stereo.
// Notes that ring past the end of the last bar are folded onto the start, so
// the tune loops without a seam.
#pragma once

#include <cstdint>
#include <vector>

constexpr int soundtrackSampleRate = 44100;
constexpr int soundtrackChannels = 2;
constexpr int soundtrackBars = 40;
// 126 beats a minute, four sixteenths a beat: 44100 * 60 / 126 / 4 samples.
constexpr int samplesPerSixteenth = 5250;
constexpr int soundtrackFrames = soundtrackBars * 16 * samplesPerSixteenth;

// soundtrackFrames frames of 16-bit samples, left and right interleaved.
std::vector<int16_t> SynthesiseSoundtrack();

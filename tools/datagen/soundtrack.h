// Qeb's soundtrack, written for the show: an original piece in A minor,
// synthesised sample by sample, exactly as long as a full run at 60 frames a
// second. At 108 beats a minute one beat lasts as long as one picture of the
// fast series, and every change of the timeline (the first series, each
// held picture, each series, the end pictures) falls on a bar line, where
// the music changes section. It opens from silence, and its last chord dies
// away to silence half a second before the clock ends. 44.1 kHz stereo,
// -14 LUFS.
#pragma once

#include <cstdint>
#include <vector>

constexpr int soundtrackSampleRate = 44100;
constexpr int soundtrackChannels = 2;
// A full run of the demo: 14065 frames at 60 frames a second.
constexpr int showFrames = 14065;
constexpr int showFramesPerSecond = 60;
constexpr int soundtrackFrames = showFrames * (soundtrackSampleRate / showFramesPerSecond);
// 108 beats a minute, four sixteenths a beat: 44100 * 60 / 108 / 4 samples.
constexpr int samplesPerSixteenth = 6125;
// Integrated loudness of the encoded soundtrack, and the highest sample
// allowed: the encoder's overshoot at a drum hit can add 1 dB, which has to
// stay below full scale.
constexpr double soundtrackLoudness = -14.0;
constexpr double soundtrackPeak = 0.85;  // about -1.4 dBFS

// The sample frames at which the sections begin, in order.
std::vector<long> SoundtrackSectionStarts();

// soundtrackFrames frames of 16-bit samples, left and right interleaved.
std::vector<int16_t> SynthesiseSoundtrack();

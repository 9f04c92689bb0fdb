// Integrated loudness of a stereo signal in LUFS, measured the broadcast
// way: K-weighting (a high shelf and a high pass), mean square over 400 ms
// blocks every 100 ms, an absolute gate at -70 LUFS and a relative gate
// 10 LU below the mean of the blocks that pass it.
#pragma once

#include <vector>

// Samples in -1..1. Returns -70 or less for silence.
double IntegratedLoudness(const std::vector<float>& left, const std::vector<float>& right, double sampleRate);

// Encodes the soundtrack as an MP3 stream with LAME: 128 kbit/s joint
// stereo, with an Info frame up front that tells decoders the encoder's
// delay and padding, so they can give back exactly the samples put in.
#pragma once

#include <cstdint>
#include <vector>

// Interleaved 16-bit stereo at sampleRate; the MP3 bytes, or nothing when
// the encoder fails.
std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleaved, int sampleRate);

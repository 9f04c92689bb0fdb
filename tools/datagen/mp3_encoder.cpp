#include "datagen/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>

std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleaved, int sampleRate) {
  lame_global_flags* lame = lame_init();
  if (!lame) return {};
  lame_set_num_channels(lame, 2);
  lame_set_in_samplerate(lame, sampleRate);
  lame_set_out_samplerate(lame, sampleRate);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, 128);
  lame_set_quality(lame, 5);
  lame_set_bWriteVbrTag(lame, 1);
  lame_set_write_id3tag_automatic(lame, 0);
  std::vector<uint8_t> mp3;
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    return {};
  }

  const int framesPerCall = 8192;
  // The size LAME asks for: 1.25 times the samples plus 7200 bytes.
  std::vector<unsigned char> chunk(framesPerCall * 5 / 4 + 7200);
  const size_t totalFrames = interleaved.size() / 2;
  bool failed = false;
  for (size_t frame = 0; frame < totalFrames && !failed; frame += framesPerCall) {
    const int count = int(std::min<size_t>(framesPerCall, totalFrames - frame));
    // LAME takes a non-const pointer but only reads the samples.
    short* samples = const_cast<short*>(interleaved.data() + 2 * frame);
    const int bytes = lame_encode_buffer_interleaved(lame, samples, count, chunk.data(), int(chunk.size()));
    failed = bytes < 0;
    if (!failed) mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + bytes);
  }
  const int flushed = failed ? -1 : lame_encode_flush(lame, chunk.data(), int(chunk.size()));
  failed = flushed < 0;
  if (!failed) mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + flushed);

  // LAME left an empty frame at the start; it becomes the Info frame now
  // that the stream's length is known.
  if (!failed) {
    std::vector<unsigned char> tag(2880);
    const size_t tagBytes = lame_get_lametag_frame(lame, tag.data(), tag.size());
    failed = tagBytes == 0 || tagBytes > tag.size() || tagBytes > mp3.size();
    if (!failed) std::copy(tag.begin(), tag.begin() + long(tagBytes), mp3.begin());
  }
  lame_close(lame);
  return failed ? std::vector<uint8_t>{} : mp3;
}

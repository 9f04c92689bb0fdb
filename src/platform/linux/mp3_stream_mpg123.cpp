// The MP3 stream on Linux: libmpg123 in feed mode, decoding at the stream's
// own rate and channel count. Only the sample encoding is fixed (signed
// 16-bit), so libmpg123 never resamples.
#include <mpg123.h>

#include "platform/mp3_stream.h"

namespace {

// One piece at the largest rate MP3 has, in stereo.
constexpr size_t kMostPieceBytes = DecoderPieceBytes({48000, 2});

// Every rate libmpg123 decodes, at 16 bits, mono or stereo as the stream is.
bool AllowOwnFormats(mpg123_handle* mpg) {
  if (mpg123_format_none(mpg) != MPG123_OK) return false;
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i)
    if (mpg123_format(mpg, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) return false;
  return rateCount > 0;
}

}  // namespace

struct Mp3Stream {
  mpg123_handle* mpg = nullptr;
  DecoderFormat format = DECODER_FIRST_FORMAT;
  unsigned char samples[kMostPieceBytes];
};

Mp3Stream* NewMp3Stream() {
  int error = MPG123_OK;
  mpg123_handle* mpg = mpg123_new(nullptr, &error);
  if (!mpg) return nullptr;
  // MPG123_ADD_FLAGS keeps the default flags (gapless decoding among them).
  if (mpg123_param(mpg, MPG123_ADD_FLAGS, MPG123_QUIET, 0) != MPG123_OK || !AllowOwnFormats(mpg)) {
    mpg123_delete(mpg);
    return nullptr;
  }
  return new Mp3Stream{mpg, DECODER_FIRST_FORMAT, {}};
}

void DeleteMp3Stream(Mp3Stream* stream) {
  if (!stream) return;
  mpg123_close(stream->mpg);
  mpg123_delete(stream->mpg);
  delete stream;
}

bool RestartMp3Stream(Mp3Stream* stream) {
  // A fresh stream for every pass: closing one that was never opened does nothing.
  mpg123_close(stream->mpg);
  return mpg123_open_feed(stream->mpg) == MPG123_OK;
}

bool FeedMp3Stream(Mp3Stream* stream, const unsigned char* bytes, size_t count) {
  return mpg123_feed(stream->mpg, bytes, count) == MPG123_OK;
}

Mp3Step DecodeMp3Stream(Mp3Stream* stream, const unsigned char** samples, size_t* byteCount) {
  *byteCount = 0;
  *samples = stream->samples;
  const int result = mpg123_read(stream->mpg, stream->samples, DecoderPieceBytes(stream->format), byteCount);
  switch (result) {
    case MPG123_OK:
      return Mp3Step::more;
    case MPG123_NEW_FORMAT: {
      long rate = 0;
      int channels = 0, encoding = 0;
      if (mpg123_getformat(stream->mpg, &rate, &channels, &encoding) != MPG123_OK || encoding != MPG123_ENC_SIGNED_16 ||
          (channels != 1 && channels != 2) || rate <= 0)
        return Mp3Step::failed;
      stream->format = DecoderFormat{int(rate), channels};
      return Mp3Step::newFormat;
    }
    case MPG123_NEED_MORE:
    case MPG123_DONE:
      return Mp3Step::needInput;
    default:
      return Mp3Step::failed;
  }
}

DecoderFormat Mp3StreamFormat(const Mp3Stream* stream) { return stream->format; }

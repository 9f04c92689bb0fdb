// The MP3 stream on Linux: libmpg123 in feed mode, forced to the fixed
// output format.
#include <mpg123.h>

#include "platform/mp3_decoder.h"
#include "platform/mp3_stream.h"

struct Mp3Stream {
  mpg123_handle* mpg = nullptr;
  unsigned char samples[4608];  // one MPEG-1 layer III frame at the output format
};

Mp3Stream* NewMp3Stream() {
  int error = MPG123_OK;
  mpg123_handle* mpg = mpg123_new(nullptr, &error);
  if (!mpg) return nullptr;
  // MPG123_ADD_FLAGS keeps the default flags (gapless decoding among them).
  const bool configured = mpg123_param(mpg, MPG123_ADD_FLAGS, MPG123_QUIET, 0) == MPG123_OK &&
                          mpg123_format_none(mpg) == MPG123_OK &&
                          mpg123_format(mpg, DECODER_OUTPUT_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK;
  if (!configured) {
    mpg123_delete(mpg);
    return nullptr;
  }
  return new Mp3Stream{mpg, {}};
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
  const int result = mpg123_read(stream->mpg, stream->samples, sizeof stream->samples, byteCount);
  *samples = stream->samples;
  switch (result) {
    case MPG123_OK:
    case MPG123_NEW_FORMAT:  // the format is fixed; nothing to change
      return Mp3Step::more;
    case MPG123_NEED_MORE:
    case MPG123_DONE:
      return Mp3Step::needInput;
    default:
      return Mp3Step::failed;
  }
}

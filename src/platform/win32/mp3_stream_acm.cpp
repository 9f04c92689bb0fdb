// The MP3 stream on Win32: MP3 decoded by the Audio Compression Manager
// (msacm32), which every Windows since the late 1990s carries with an MP3
// codec. The first frame of each pass gives the stream's format; an ACM
// stream turns the MP3 into 16-bit PCM at that rate and channel count, which
// the output plays as it is.
//
// The codec may take only part of the bytes it is given: the rest stays in
// the input buffer for the next call. The silence that the encoder and the
// decoder put before the sound, and the encoder's padding after it (both
// announced by the stream's information frame), are dropped in every pass,
// so the loop joins without a gap.
#include "platform/win32/windows_api.h"

#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/mp3_stream.h"
#include "platform/win32/mp3_frames.h"

struct Mp3Stream {
  // The current pass.
  std::vector<uint8_t> input;  // received, not yet taken by the codec
  size_t tagBytesToSkip = 0;   // the rest of a leading ID3v2 tag
  bool streamStarted = false;  // the first frame was found and the streams opened
  HACMSTREAM mp3Stream = nullptr;
  WAVEFORMATEX streamPcm{};
  size_t leadingBytesToDrop = 0;  // of the stream's PCM
  long long soundBytesLeft = -1;  // of the stream's PCM after those; -1: up to the end
  std::vector<uint8_t> samples;   // decoded, not yet handed on
  size_t samplesHandedOn = 0;
};

namespace {

// Room for what one piece of input may decode to, at the least.
constexpr size_t kLeastRoomBytes = 8 * 4608;
// Input that the codec refuses to take, beyond this, is not MP3: it is dropped.
constexpr size_t kMostUntakenInput = 64 * 1024;

WAVEFORMATEX PcmFormat(int rate, int channels) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = WORD(channels);
  format.nSamplesPerSec = DWORD(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = WORD(channels * 2);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

void CloseStreams(Mp3Stream* decoder) {
  if (decoder->mp3Stream) acmStreamClose(decoder->mp3Stream, 0);
  decoder->mp3Stream = nullptr;
}

void ResetPass(Mp3Stream* decoder) {
  CloseStreams(decoder);
  decoder->input.clear();
  decoder->tagBytesToSkip = 0;
  decoder->streamStarted = false;
  decoder->leadingBytesToDrop = 0;
  decoder->soundBytesLeft = -1;
  decoder->samples.clear();
  decoder->samplesHandedOn = 0;
}

bool OpenStreams(Mp3Stream* decoder, const Mp3FrameHeader& header) {
  MPEGLAYER3WAVEFORMAT mp3{};
  mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  mp3.wfx.nChannels = WORD(header.channels);
  mp3.wfx.nSamplesPerSec = DWORD(header.sampleRate);
  mp3.wfx.nAvgBytesPerSec = DWORD(header.bitrateKbps * 1000 / 8);
  mp3.wfx.nBlockAlign = 1;
  mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  mp3.wID = MPEGLAYER3_ID_MPEG;
  mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
  mp3.nBlockSize = WORD(header.frameBytes);
  mp3.nFramesPerBlock = 1;
  decoder->streamPcm = PcmFormat(header.sampleRate, header.channels);
  if (acmStreamOpen(&decoder->mp3Stream, nullptr, &mp3.wfx, &decoder->streamPcm, nullptr, 0, 0,
                    ACM_STREAMOPENF_NONREALTIME) != 0) {
    decoder->mp3Stream = nullptr;
    return false;
  }
  return true;
}

// Runs source through stream: the bytes it takes leave source, what it
// gives is appended to destination. False when it took and gave nothing.
bool Convert(HACMSTREAM stream, std::vector<uint8_t>& source, std::vector<uint8_t>& destination) {
  if (source.empty()) return false;
  DWORD room = 0;
  if (acmStreamSize(stream, DWORD(source.size()), &room, ACM_STREAMSIZEF_SOURCE) != 0) room = 0;
  // Codecs estimate for whole frames; generous room keeps a call from stalling on a short one.
  room = std::max<DWORD>(room * 2, kLeastRoomBytes);
  std::vector<uint8_t> converted(room);

  ACMSTREAMHEADER header{};
  header.cbStruct = sizeof header;
  header.pbSrc = source.data();
  header.cbSrcLength = DWORD(source.size());
  header.pbDst = converted.data();
  header.cbDstLength = room;
  if (acmStreamPrepareHeader(stream, &header, 0) != 0) return false;
  const bool converted_ok = acmStreamConvert(stream, &header, ACM_STREAMCONVERTF_BLOCKALIGN) == 0;
  const DWORD taken = converted_ok ? std::min(header.cbSrcLengthUsed, DWORD(source.size())) : 0;
  const DWORD given = converted_ok ? std::min(header.cbDstLengthUsed, room) : 0;
  acmStreamUnprepareHeader(stream, &header, 0);

  source.erase(source.begin(), source.begin() + taken);
  destination.insert(destination.end(), converted.begin(), converted.begin() + given);
  return taken > 0 || given > 0;
}

// Finds the first frame of the pass and opens the streams for its format.
// False while more input is needed.
bool StartStream(Mp3Stream* decoder) {
  std::vector<uint8_t>& input = decoder->input;
  while (true) {
    if (decoder->tagBytesToSkip > 0) {
      const size_t skipped = std::min(decoder->tagBytesToSkip, input.size());
      input.erase(input.begin(), input.begin() + skipped);
      decoder->tagBytesToSkip -= skipped;
      if (decoder->tagBytesToSkip > 0) return false;
    }
    if (input.size() < 10) return false;
    if (size_t tag = Id3v2TagBytes(input.data(), input.size())) {
      decoder->tagBytesToSkip = tag;
      continue;
    }
    size_t offset = 0;
    Mp3FrameHeader header;
    const Mp3Search search = FindFirstMp3Frame(input.data(), input.size(), &offset, &header);
    input.erase(input.begin(), input.begin() + offset);
    if (search != Mp3Search::found) {
      if (input.size() > kMostUntakenInput) input.clear();  // a candidate that never completes
      return false;
    }
    if (!OpenStreams(decoder, header)) {
      input.erase(input.begin());  // not a stream the codec takes: look further
      continue;
    }
    const size_t frameBytes = std::min(input.size(), size_t(header.frameBytes));
    const Mp3Gapless gapless = GaplessOf(input.data(), frameBytes, header);
    const size_t sampleFrameBytes = decoder->streamPcm.nBlockAlign;
    decoder->leadingBytesToDrop = size_t(gapless.leadingSamples) * sampleFrameBytes;
    decoder->soundBytesLeft = gapless.soundSamples < 0 ? -1 : gapless.soundSamples * (long long)sampleFrameBytes;
    decoder->streamStarted = true;
    return true;
  }
}

// Decodes what the input holds, once the stream has started.
void DecodeInput(Mp3Stream* decoder) {
  std::vector<uint8_t> streamPcm;
  const size_t before = decoder->input.size();
  while (Convert(decoder->mp3Stream, decoder->input, streamPcm) && !decoder->input.empty()) {
  }
  if (decoder->input.size() == before && before > kMostUntakenInput) decoder->input.clear();

  const size_t dropped = std::min(decoder->leadingBytesToDrop, streamPcm.size());
  decoder->leadingBytesToDrop -= dropped;
  streamPcm.erase(streamPcm.begin(), streamPcm.begin() + dropped);
  // The encoder's padding after the sound is dropped as well.
  if (decoder->soundBytesLeft >= 0) {
    const size_t kept = size_t(std::min<long long>(decoder->soundBytesLeft, (long long)streamPcm.size()));
    streamPcm.resize(kept);
    decoder->soundBytesLeft -= (long long)kept;
  }
  decoder->samples.insert(decoder->samples.end(), streamPcm.begin(), streamPcm.end());
}

}  // namespace

Mp3Stream* NewMp3Stream() { return new Mp3Stream; }

void DeleteMp3Stream(Mp3Stream* stream) {
  if (!stream) return;
  CloseStreams(stream);
  delete stream;
}

bool RestartMp3Stream(Mp3Stream* stream) {
  ResetPass(stream);
  return true;
}

bool FeedMp3Stream(Mp3Stream* stream, const unsigned char* bytes, size_t count) {
  stream->input.insert(stream->input.end(), bytes, bytes + count);
  return true;
}

Mp3Step DecodeMp3Stream(Mp3Stream* stream, const unsigned char** samples, size_t* byteCount) {
  *byteCount = 0;
  // Each pass tells its format before its first samples.
  if (!stream->streamStarted) return StartStream(stream) ? Mp3Step::newFormat : Mp3Step::needInput;
  if (stream->samplesHandedOn == stream->samples.size()) {
    stream->samples.clear();
    stream->samplesHandedOn = 0;
    DecodeInput(stream);
  }
  const size_t available = stream->samples.size() - stream->samplesHandedOn;
  if (available == 0) return Mp3Step::needInput;
  // Whole sample frames only, so the output never splits a left-right pair.
  const DecoderFormat format = Mp3StreamFormat(stream);
  size_t piece = std::min(available, DecoderPieceBytes(format));
  piece -= piece % DecoderFrameBytes(format);
  if (piece == 0) piece = available;
  *samples = stream->samples.data() + stream->samplesHandedOn;
  *byteCount = piece;
  stream->samplesHandedOn += piece;
  return Mp3Step::more;
}

DecoderFormat Mp3StreamFormat(const Mp3Stream* stream) {
  return {int(stream->streamPcm.nSamplesPerSec), int(stream->streamPcm.nChannels)};
}

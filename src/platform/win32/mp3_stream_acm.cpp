// The MP3 stream on Win32: MP3 decoded by the Audio Compression Manager
// (msacm32), which every Windows since the late 1990s carries with an MP3
// codec. The stream's first frame gives its format; one ACM stream turns the
// MP3 into PCM at that format, a second one (the system's PCM converter)
// turns that into the fixed output format when the two differ.
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

#include "platform/mp3_decoder.h"
#include "platform/mp3_stream.h"
#include "platform/win32/mp3_frames.h"

struct Mp3Stream {
  // The current pass.
  std::vector<uint8_t> input;  // received, not yet taken by the codec
  size_t tagBytesToSkip = 0;   // the rest of a leading ID3v2 tag
  bool streamStarted = false;  // the first frame was found and the streams opened
  HACMSTREAM mp3Stream = nullptr;
  HACMSTREAM pcmStream = nullptr;  // null when the stream's PCM already is the fixed format
  WAVEFORMATEX streamPcm{};
  size_t leadingBytesToDrop = 0;          // of the stream's PCM
  long long soundBytesLeft = -1;          // of the stream's PCM after those; -1: up to the end
  std::vector<uint8_t> streamPcmPending;  // stream PCM waiting for the converter
  std::vector<uint8_t> samples;           // fixed-format samples not yet handed on
  size_t samplesHandedOn = 0;
};

namespace {

// About one MPEG-1 frame at the output format: the piece each play call hands on.
constexpr size_t kPieceBytes = 4608;
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
  if (decoder->pcmStream) acmStreamClose(decoder->pcmStream, 0);
  decoder->mp3Stream = nullptr;
  decoder->pcmStream = nullptr;
}

void ResetPass(Mp3Stream* decoder) {
  CloseStreams(decoder);
  decoder->input.clear();
  decoder->tagBytesToSkip = 0;
  decoder->streamStarted = false;
  decoder->leadingBytesToDrop = 0;
  decoder->soundBytesLeft = -1;
  decoder->streamPcmPending.clear();
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
  if (header.sampleRate == DECODER_OUTPUT_RATE && header.channels == DECODER_OUTPUT_CHANNELS) return true;
  WAVEFORMATEX fixed = PcmFormat(DECODER_OUTPUT_RATE, DECODER_OUTPUT_CHANNELS);
  if (acmStreamOpen(&decoder->pcmStream, nullptr, &decoder->streamPcm, &fixed, nullptr, 0, 0,
                    ACM_STREAMOPENF_NONREALTIME) != 0) {
    decoder->pcmStream = nullptr;
    CloseStreams(decoder);
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
  room = std::max<DWORD>(room * 2, 8 * kPieceBytes);
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

// Decodes what the input holds into fixed-format samples.
void DecodeInput(Mp3Stream* decoder) {
  if (!decoder->streamStarted && !StartStream(decoder)) return;

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

  if (!decoder->pcmStream) {
    decoder->samples.insert(decoder->samples.end(), streamPcm.begin(), streamPcm.end());
    return;
  }
  std::vector<uint8_t>& pending = decoder->streamPcmPending;
  pending.insert(pending.end(), streamPcm.begin(), streamPcm.end());
  while (Convert(decoder->pcmStream, pending, decoder->samples) && !pending.empty()) {
  }
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
  if (stream->samplesHandedOn == stream->samples.size()) {
    stream->samples.clear();
    stream->samplesHandedOn = 0;
    DecodeInput(stream);
  }
  const size_t available = stream->samples.size() - stream->samplesHandedOn;
  if (available == 0) return Mp3Step::needInput;
  // Whole sample frames only, so the output never splits a left-right pair.
  size_t piece = std::min(available, kPieceBytes);
  piece -= piece % DECODER_OUTPUT_FRAME_BYTES;
  if (piece == 0) piece = available;
  *samples = stream->samples.data() + stream->samplesHandedOn;
  *byteCount = piece;
  stream->samplesHandedOn += piece;
  return Mp3Step::more;
}

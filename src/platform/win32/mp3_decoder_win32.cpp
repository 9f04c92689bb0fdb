// The decoder handle on Win32: MP3 decoded by the Audio Compression Manager
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
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/mp3_decoder.h"
#include "platform/win32/mp3_frames.h"

struct Decoder {
  bool hasCodec = false;
  bool hasInputModule = false;
  bool hasOutputModule = false;
  DecoderOutputModule output;
  bool outputCreated = false;
  void* sink = nullptr;
  bool inputCreated = false;
  bool inputOpen = false;
  bool passGaveSound = false;  // since the last empty block

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

constexpr auto kLongestFullQueueWait = std::chrono::milliseconds(40);
constexpr size_t kSilentPassBytes = DECODER_QUEUE_LIMIT_BYTES;  // 200 ms
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

void CloseStreams(Decoder* decoder) {
  if (decoder->mp3Stream) acmStreamClose(decoder->mp3Stream, 0);
  if (decoder->pcmStream) acmStreamClose(decoder->pcmStream, 0);
  decoder->mp3Stream = nullptr;
  decoder->pcmStream = nullptr;
}

void ResetPass(Decoder* decoder) {
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

bool OpenStreams(Decoder* decoder, const Mp3FrameHeader& header) {
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
bool StartStream(Decoder* decoder) {
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
void DecodeInput(Decoder* decoder) {
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

void StartNextPass(Decoder* decoder) {
  ResetPass(decoder);
  if (!decoder->passGaveSound) {
    // Keeps a file without sound from being read over and over at full speed.
    static const std::vector<unsigned char> silence(kSilentPassBytes, 0);
    decoder->output.queue(decoder->sink, silence.data(), silence.size());
  }
  decoder->passGaveSound = false;
}

}  // namespace

int decoder_new(DecoderHandle* decoder) {
  if (!decoder) return -1;
  *decoder = new Decoder;
  return 0;
}

void decoder_delete(DecoderHandle decoder) {
  if (!decoder) return;
  if (decoder->sink) decoder->output.close(decoder->sink);
  CloseStreams(decoder);
  delete decoder;
}

int mpeg_codec_module_register(DecoderCodecModule* module) {
  if (!module) return -1;
  module->name = "mpeg";
  return 0;
}

int decoder_codec_module_register(DecoderHandle decoder, const DecoderCodecModule* module) {
  if (!decoder || !module || !module->name) return -1;
  decoder->hasCodec = true;
  return 0;
}

int memory_input_module_register(DecoderInputModule* module) {
  if (!module) return -1;
  module->name = "memory";
  return 0;
}

int decoder_input_module_register(DecoderHandle decoder, const DecoderInputModule* module) {
  if (!decoder || !module || !module->name) return -1;
  decoder->hasInputModule = true;
  return 0;
}

int decoder_output_module_register(DecoderHandle decoder, const DecoderOutputModule* module) {
  if (!decoder || !module || !module->open || !module->queuedBytes || !module->queue || !module->close) return -1;
  if (decoder->sink) return -1;  // the open output keeps its module
  decoder->output = *module;
  decoder->hasOutputModule = true;
  return 0;
}

int decoder_output_new(DecoderHandle decoder, const char*, int module) {
  if (!decoder || !decoder->hasOutputModule || module != DECODER_MODULE_DEFAULT) return -1;
  decoder->outputCreated = true;
  return 0;
}

int decoder_output_open(DecoderHandle decoder) {
  if (!decoder || !decoder->outputCreated) return -1;
  if (decoder->sink) return 0;
  decoder->sink = decoder->output.open();
  return decoder->sink ? 0 : -1;
}

int decoder_input_new(DecoderHandle decoder, const char*, int module) {
  if (!decoder || !decoder->hasInputModule || module != DECODER_MODULE_DEFAULT) return -1;
  decoder->inputCreated = true;
  return 0;
}

int decoder_input_open(DecoderHandle decoder) {
  if (!decoder || !decoder->inputCreated || !decoder->hasCodec || !decoder->sink) return -1;
  decoder->inputOpen = true;
  return 0;
}

int decoder_input_send_message(DecoderHandle decoder, int message, const void* data, size_t byteCount) {
  if (!decoder || !decoder->inputOpen || message != DECODER_MESSAGE_INPUT_BLOCK) return -1;
  if (byteCount == 0) {
    StartNextPass(decoder);
    return 0;
  }
  if (!data) return -1;
  const auto* bytes = static_cast<const uint8_t*>(data);
  decoder->input.insert(decoder->input.end(), bytes, bytes + byteCount);
  return 0;
}

int decoder_play(DecoderHandle decoder) {
  if (!decoder || !decoder->inputOpen) return DECODER_PLAY_ENDED;
  const size_t queuedBytes = decoder->output.queuedBytes(decoder->sink);
  if (queuedBytes >= DECODER_QUEUE_LIMIT_BYTES) {
    const size_t bytesPerMillisecond = DECODER_OUTPUT_RATE / 1000 * DECODER_OUTPUT_FRAME_BYTES;
    const auto untilHalfPlayed =
        std::chrono::milliseconds((queuedBytes - DECODER_QUEUE_LIMIT_BYTES / 2) / bytesPerMillisecond);
    std::this_thread::sleep_for(std::min(untilHalfPlayed, kLongestFullQueueWait));
    return DECODER_PLAY_BUSY;
  }
  if (decoder->samplesHandedOn == decoder->samples.size()) {
    decoder->samples.clear();
    decoder->samplesHandedOn = 0;
    DecodeInput(decoder);
  }
  const size_t available = decoder->samples.size() - decoder->samplesHandedOn;
  if (available == 0) return DECODER_PLAY_NEED_INPUT;
  // Whole sample frames only, so the output never splits a left-right pair.
  size_t piece = std::min(available, kPieceBytes);
  piece -= piece % DECODER_OUTPUT_FRAME_BYTES;
  if (piece == 0) piece = available;
  decoder->output.queue(decoder->sink, decoder->samples.data() + decoder->samplesHandedOn, piece);
  decoder->samplesHandedOn += piece;
  decoder->passGaveSound = true;
  return DECODER_PLAY_AGAIN;
}

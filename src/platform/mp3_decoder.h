// The soundtrack's decoder library: MP3 decoding (the system's MP3 stream,
// mp3_stream.h: libmpg123 in feed mode on Linux, the Audio Compression
// Manager on Windows) and an audio output, behind the handle-and-modules
// call set that the music thread uses.
//
// Contract:
// - decoder_new creates the handle; every other call takes it.
// - A codec, an input and an output module are registered: each
//   *_module_register call of the library fills a descriptor, and the
//   decoder_*_module_register call hands it to the decoder. Registering a
//   kind again replaces the earlier module.
// - decoder_output_new picks the registered output (module -1) and
//   decoder_output_open opens it, at DECODER_FIRST_FORMAT.
// - Sound is played at the stream's own rate and channel count, as signed
//   16-bit native-endian samples; nothing in the decoder resamples. When a
//   pass's first frame gives a format other than the output's, the output
//   is closed and opened again at that format (the output converts for the
//   device where it must). A format that changes in the middle of a pass
//   (rare) first lets what is queued play out, so no sound of the old format
//   is lost, then reopens the output likewise. An output that cannot be
//   opened again ends playback.
// - decoder_input_new and decoder_input_open ready the input. Input arrives
//   as blocks of bytes by message DECODER_MESSAGE_INPUT_BLOCK; the blocks
//   form one continuous MP3 stream. An empty block marks the end of one pass
//   through the file: the next block starts the file again, and the decoder
//   begins that pass afresh, so every pass sounds the same.
// - decoder_play decodes and hands sound to the output, one piece (about
//   25 ms, DecoderPieceBytes) per call. It keeps the output's queue short:
//   while the queue holds DecoderQueueLimitBytes (about 200 ms at the
//   output's format) or more, it waits until about half of it has played
//   (40 ms at most) and returns DECODER_PLAY_BUSY, so a caller that loops on
//   it never spins and regains control every 40 ms or sooner. A pass that
//   gave no sound at all (an empty or junk file) is played as 200 ms of
//   silence, which paces such files in the same way.
// - All results are 0 on success; the other values are listed below.
#pragma once

#include <cstddef>

#include "platform/decoder_format.h"

struct Decoder;
using DecoderHandle = Decoder*;

// The message code of a block of input.
constexpr int DECODER_MESSAGE_INPUT_BLOCK = 4097;
// The module number that asks for the registered module of a kind.
constexpr int DECODER_MODULE_DEFAULT = -1;

// Results of decoder_play. Any value other than the first three ends playback.
constexpr int DECODER_PLAY_AGAIN = 0;          // sound was handed on; call again
constexpr int DECODER_PLAY_BUSY = -700;        // the output is full; call again
constexpr int DECODER_PLAY_NEED_INPUT = -104;  // send the next block, then call again
constexpr int DECODER_PLAY_ENDED = -1;         // playback cannot go on

// Module descriptors, filled by the registration calls.
struct DecoderCodecModule {
  const char* name = nullptr;
};
struct DecoderInputModule {
  const char* name = nullptr;
};
// An output is a sink for samples in the format it was opened at.
struct DecoderOutputModule {
  const char* name = nullptr;
  void* (*open)(DecoderFormat format) = nullptr;  // nullptr when no sink can be opened
  size_t (*queuedBytes)(void* sink) = nullptr;    // accepted but not played yet
  void (*queue)(void* sink, const void* samples, size_t byteCount) = nullptr;
  void (*close)(void* sink) = nullptr;
};

int decoder_new(DecoderHandle* decoder);
// Closes the output and input and frees the handle; nullptr is ignored.
void decoder_delete(DecoderHandle decoder);

int mpeg_codec_module_register(DecoderCodecModule* module);
int decoder_codec_module_register(DecoderHandle decoder, const DecoderCodecModule* module);
int memory_input_module_register(DecoderInputModule* module);
int decoder_input_module_register(DecoderHandle decoder, const DecoderInputModule* module);
// The computer's audio device (audio_output.h: SDL audio on Linux, waveOut
// on Windows).
int audio_output_module_register(DecoderOutputModule* module);
int decoder_output_module_register(DecoderHandle decoder, const DecoderOutputModule* module);

// name is not used; module is DECODER_MODULE_DEFAULT.
int decoder_output_new(DecoderHandle decoder, const char* name, int module);
int decoder_output_open(DecoderHandle decoder);
int decoder_input_new(DecoderHandle decoder, const char* name, int module);
int decoder_input_open(DecoderHandle decoder);
int decoder_input_send_message(DecoderHandle decoder, int message, const void* data, size_t byteCount);
int decoder_play(DecoderHandle decoder);

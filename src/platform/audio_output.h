// The computer's audio device, as each system gives it: a sink opened at a
// format, fed samples at that format, and closed. The shared
// audio_output.cpp hands it to the decoder as its output module
// (audio_output_module_register, mp3_decoder.h). Used by the thread that
// plays the soundtrack, while the audio system is started (audio_system.h).
#pragma once

#include <cstddef>

#include "platform/decoder_format.h"

// Null when no device can be opened at that format.
void* OpenAudioSink(DecoderFormat format);
// What the sink has accepted but not played yet.
size_t QueuedAudioBytes(void* sink);
void QueueAudioSamples(void* sink, const void* samples, size_t byteCount);
void CloseAudioSink(void* sink);

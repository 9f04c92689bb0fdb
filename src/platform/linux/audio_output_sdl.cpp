// The decoder's audio device output on SDL: one device opened at the format
// the decoder asks for, the stream's own, with no change allowed, so SDL
// converts for the device where it must (far better than a decoder's
// resampler), fed through SDL's own queue, on the audio subsystem that the
// main thread started (platform/audio_system.h).
#include <SDL.h>

#include "platform/audio_output.h"
#include "platform/audio_system.h"

namespace {

bool audioSystemStarted = false;

struct AudioSink {
  SDL_AudioDeviceID device;
};

}  // namespace

void* OpenAudioSink(DecoderFormat format) {
  SDL_AudioSpec wanted{};
  wanted.freq = format.rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = Uint8(format.channels);
  // Device buffers of 16 to 32 ms (1024 sample frames at 44.1 kHz).
  wanted.samples = 256;
  while (wanted.samples * 2 <= format.rate / 40) wanted.samples *= 2;
  // No change allowed: the queue takes the samples as they are, and SDL converts.
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) return nullptr;
  SDL_PauseAudioDevice(device, 0);
  return new AudioSink{device};
}

size_t QueuedAudioBytes(void* sink) { return SDL_GetQueuedAudioSize(static_cast<AudioSink*>(sink)->device); }

void QueueAudioSamples(void* sink, const void* samples, size_t byteCount) {
  SDL_QueueAudio(static_cast<AudioSink*>(sink)->device, samples, static_cast<Uint32>(byteCount));
}

void CloseAudioSink(void* sink) {
  auto* audio = static_cast<AudioSink*>(sink);
  SDL_CloseAudioDevice(audio->device);
  // The sink is closed on the thread that played it, which SDL did not
  // create; SDL frees its per-thread data (error text) only for its own
  // threads, so it is freed here.
  SDL_TLSCleanup();
  delete audio;
}

bool StartAudioSystem() {
  audioSystemStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  return audioSystemStarted;
}

void StopAudioSystem() {
  if (audioSystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audioSystemStarted = false;
}

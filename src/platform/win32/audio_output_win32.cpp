// The decoder's audio device output on Win32: the wave mapper's device,
// opened with waveOutOpen at the format the decoder asks for, the stream's
// own (the mapper converts for the device where it must), and fed one
// buffer per queue call. Buffers are returned to the heap once the device
// has marked them done; what is still queued is the sum of the others.
#include "platform/win32/windows_api.h"

#include <mmsystem.h>

#include <cstring>
#include <deque>

#include "platform/audio_output.h"
#include "platform/audio_system.h"

namespace {

struct QueuedBuffer {
  WAVEHDR header{};
  char* samples = nullptr;
};

struct AudioSink {
  HWAVEOUT device = nullptr;
  std::deque<QueuedBuffer> buffers;  // oldest first; the device plays them in order
};

void FreeBuffer(AudioSink* audio, QueuedBuffer& buffer) {
  waveOutUnprepareHeader(audio->device, &buffer.header, sizeof buffer.header);
  delete[] buffer.samples;
}

// Frees the buffers the device has finished playing.
void ReclaimPlayed(AudioSink* audio) {
  while (!audio->buffers.empty() && (audio->buffers.front().header.dwFlags & WHDR_DONE)) {
    FreeBuffer(audio, audio->buffers.front());
    audio->buffers.pop_front();
  }
}

}  // namespace

void* OpenAudioSink(DecoderFormat decoderFormat) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = WORD(decoderFormat.channels);
  format.nSamplesPerSec = DWORD(decoderFormat.rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = WORD(DecoderFrameBytes(decoderFormat));
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return nullptr;
  auto* audio = new AudioSink;
  audio->device = device;
  return audio;
}

size_t QueuedAudioBytes(void* sink) {
  auto* audio = static_cast<AudioSink*>(sink);
  ReclaimPlayed(audio);
  size_t queued = 0;
  for (const QueuedBuffer& buffer : audio->buffers)
    if (!(buffer.header.dwFlags & WHDR_DONE)) queued += buffer.header.dwBufferLength;
  return queued;
}

void QueueAudioSamples(void* sink, const void* samples, size_t byteCount) {
  auto* audio = static_cast<AudioSink*>(sink);
  ReclaimPlayed(audio);
  if (byteCount == 0) return;
  // The header is prepared where it stays until the device is done with it:
  // the deque keeps its elements in place, so the device may hold its address.
  QueuedBuffer& buffer = audio->buffers.emplace_back();
  buffer.samples = new char[byteCount];
  std::memcpy(buffer.samples, samples, byteCount);
  buffer.header.lpData = buffer.samples;
  buffer.header.dwBufferLength = DWORD(byteCount);
  if (waveOutPrepareHeader(audio->device, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
    delete[] buffer.samples;
    audio->buffers.pop_back();
    return;
  }
  if (waveOutWrite(audio->device, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
    FreeBuffer(audio, buffer);
    audio->buffers.pop_back();
  }
}

void CloseAudioSink(void* sink) {
  auto* audio = static_cast<AudioSink*>(sink);
  waveOutReset(audio->device);  // marks every buffer done
  for (QueuedBuffer& buffer : audio->buffers) FreeBuffer(audio, buffer);
  waveOutClose(audio->device);
  delete audio;
}

// waveOut needs no start-up: it comes with every Windows. A computer without
// a sound device shows that when the output is opened.
bool StartAudioSystem() { return true; }
void StopAudioSystem() {}

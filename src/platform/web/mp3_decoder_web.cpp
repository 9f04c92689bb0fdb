// The decoder handle in the browser. The page has no second thread to
// stream and pace the soundtrack on, and the browser's own decoder works on
// whole files: the handle gathers the first pass through the file, block
// by block as the music code sends it, hands it to the browser at the seam
// (the empty block) and then ends playback, so the music code returns. The
// browser loops the decoded track by itself until the audio system stops.
//
// The browser decodes the file whole, into 32-bit samples at its own rate:
// a long file of a low bit rate would take gigabytes and end the tab. So the
// file's length is read from its frame headers first, and a file whose
// decoded copy would pass the bound is not handed over: the viewer gets an
// MP3Player box saying so, and the show goes on silent.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/audio_output.h"
#include "platform/message_box.h"
#include "platform/mp3_decoder.h"
#include "platform/web/browser_audio.h"
#include "platform/web/mp3_length.h"

struct Decoder {
  DecoderOutputModule output;
  void* sink = nullptr;
  bool inputReady = false;
  unsigned char* file = nullptr;  // the pass gathered so far (malloc'd: its growth is checked)
  size_t fileSize = 0;
  size_t fileCapacity = 0;
  bool handedOver = false;
  bool failed = false;
};

namespace {

// The most the browser's decoded copy of the soundtrack may take, as the
// capture bounds its own. The file itself is at most a quarter of it: no
// MP3 decodes to less than four times its size at the rates browsers play.
constexpr uint64_t decodedLimit = uint64_t(256) << 20;
constexpr size_t fileLimit = size_t(decodedLimit / 4);

void ShowSoundtrackProblem(const char* text) { ShowMessageBox(nullptr, text, "MP3Player", MB_OK | MB_ICONERROR); }

}  // namespace

// The browser's context is the sink, whatever the format: the browser
// decodes the file itself and plays it at its own rate. Its queue belongs to
// the browser.
void* OpenAudioSink(DecoderFormat) { return BrowserAudioReady() ? reinterpret_cast<void*>(1) : nullptr; }
size_t QueuedAudioBytes(void*) { return 0; }
void QueueAudioSamples(void*, const void*, size_t) {}
void CloseAudioSink(void*) {}

namespace {

// Adds count bytes to the pass gathered. The build has no C++ exceptions,
// so a failed std::vector growth would end the page: realloc says so instead.
bool Gather(Decoder* decoder, const unsigned char* bytes, size_t count) {
  if (count > decoder->fileCapacity - decoder->fileSize) {
    if (count > fileLimit - decoder->fileSize) return false;
    size_t capacity = decoder->fileCapacity ? decoder->fileCapacity : 1 << 20;
    while (capacity < decoder->fileSize + count) capacity *= 2;
    void* grown = std::realloc(decoder->file, capacity);
    if (!grown) return false;
    decoder->file = static_cast<unsigned char*>(grown);
    decoder->fileCapacity = capacity;
  }
  std::memcpy(decoder->file + decoder->fileSize, bytes, count);
  decoder->fileSize += count;
  return true;
}

void Forget(Decoder* decoder) {
  std::free(decoder->file);
  decoder->file = nullptr;
  decoder->fileSize = decoder->fileCapacity = 0;
}

}  // namespace

int decoder_new(DecoderHandle* decoder) {
  *decoder = new (std::nothrow) Decoder;
  return *decoder ? 0 : -1;
}

void decoder_delete(DecoderHandle decoder) {
  if (!decoder) return;
  if (decoder->sink && decoder->output.close) decoder->output.close(decoder->sink);
  Forget(decoder);
  delete decoder;
}

int mpeg_codec_module_register(DecoderCodecModule* module) {
  module->name = "browser";
  return 0;
}
int decoder_codec_module_register(DecoderHandle, const DecoderCodecModule*) { return 0; }

int memory_input_module_register(DecoderInputModule* module) {
  module->name = "memory";
  return 0;
}
int decoder_input_module_register(DecoderHandle, const DecoderInputModule*) { return 0; }

int decoder_output_module_register(DecoderHandle decoder, const DecoderOutputModule* module) {
  decoder->output = *module;
  return 0;
}

int decoder_output_new(DecoderHandle decoder, const char*, int module) {
  return decoder->output.open && module == DECODER_MODULE_DEFAULT ? 0 : -1;
}

int decoder_output_open(DecoderHandle decoder) {
  if (!decoder->output.open) return -1;
  decoder->sink = decoder->output.open(DECODER_FIRST_FORMAT);
  return decoder->sink ? 0 : -1;
}

int decoder_input_new(DecoderHandle, const char*, int module) { return module == DECODER_MODULE_DEFAULT ? 0 : -1; }

int decoder_input_open(DecoderHandle decoder) {
  decoder->inputReady = true;
  return 0;
}

int decoder_input_send_message(DecoderHandle decoder, int message, const void* data, size_t byteCount) {
  if (message != DECODER_MESSAGE_INPUT_BLOCK || decoder->handedOver || decoder->failed) return -1;
  char text[200];
  if (byteCount == 0) {
    const Mp3Length length = MeasureMp3(decoder->file, decoder->fileSize);
    const int rate = BrowserAudioRate();
    const uint64_t decoded = DecodedBytes(length, rate);
    if (decoded > decodedLimit) {
      const int64_t seconds = length.samples / length.sampleRate;
      std::snprintf(text, sizeof text,
                    "The soundtrack plays %lld:%02lld and takes %llu MiB once decoded at %d Hz, more than the %llu MiB "
                    "a page may take: the show goes on without sound.",
                    static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60),
                    static_cast<unsigned long long>(decoded >> 20), rate,
                    static_cast<unsigned long long>(decodedLimit >> 20));
      Forget(decoder);
      decoder->failed = true;
      ShowSoundtrackProblem(text);
      return -1;
    }
    LoopSoundtrackInBrowser(decoder->file, decoder->fileSize);
    decoder->handedOver = true;
    Forget(decoder);
    return 0;
  }
  if (!Gather(decoder, static_cast<const unsigned char*>(data), byteCount)) {
    // Too long for the page, or no room for the file: the show goes on
    // silent, and says why.
    if (byteCount > fileLimit - decoder->fileSize)
      std::snprintf(text, sizeof text,
                    "The soundtrack file is larger than %zu MiB, more than a page may decode: the show goes on "
                    "without sound.",
                    fileLimit >> 20);
    else
      std::snprintf(text, sizeof text,
                    "There is no memory for the soundtrack past %zu MiB: the show goes on without sound.",
                    decoder->fileSize >> 20);
    Forget(decoder);
    decoder->failed = true;
    ShowSoundtrackProblem(text);
    return -1;
  }
  return 0;
}

int decoder_play(DecoderHandle decoder) {
  if (!decoder->sink || !decoder->inputReady || decoder->handedOver || decoder->failed) return DECODER_PLAY_ENDED;
  return DECODER_PLAY_NEED_INPUT;
}

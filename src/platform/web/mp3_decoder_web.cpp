// The decoder handle in the browser. The page has no second thread to
// stream and pace the soundtrack on, and the browser's own decoder works on
// whole files: the handle gathers the first pass through the file, block
// by block as the music code sends it, hands it to the browser at the seam
// (the empty block) and then ends playback, so the music code returns. The
// browser loops the decoded track by itself until the audio system stops.
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/audio_output.h"
#include "platform/mp3_decoder.h"
#include "platform/web/browser_audio.h"

struct Decoder {
  DecoderOutputModule output;
  void* sink = nullptr;
  bool inputReady = false;
  std::vector<unsigned char> file;  // the pass gathered so far
  bool handedOver = false;
  bool failed = false;
};

// The browser's context is the sink, whatever the format: the browser
// decodes the file itself and plays it at its own rate. Its queue belongs to
// the browser.
void* OpenAudioSink(DecoderFormat) { return BrowserAudioReady() ? reinterpret_cast<void*>(1) : nullptr; }
size_t QueuedAudioBytes(void*) { return 0; }
void QueueAudioSamples(void*, const void*, size_t) {}
void CloseAudioSink(void*) {}

int decoder_new(DecoderHandle* decoder) {
  *decoder = new (std::nothrow) Decoder;
  return *decoder ? 0 : -1;
}

void decoder_delete(DecoderHandle decoder) {
  if (!decoder) return;
  if (decoder->sink && decoder->output.close) decoder->output.close(decoder->sink);
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
  if (byteCount == 0) {
    LoopSoundtrackInBrowser(decoder->file.data(), decoder->file.size());
    decoder->handedOver = true;
    decoder->file = {};
    return 0;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  try {
    decoder->file.insert(decoder->file.end(), bytes, bytes + byteCount);
  } catch (const std::bad_alloc&) {
    decoder->failed = true;  // no room for the file: the show goes on silent
    return -1;
  }
  return 0;
}

int decoder_play(DecoderHandle decoder) {
  if (!decoder->sink || !decoder->inputReady || decoder->handedOver || decoder->failed) return DECODER_PLAY_ENDED;
  return DECODER_PLAY_NEED_INPUT;
}

// The decoder's output module: the system's audio device (audio_output.h).
#include "platform/audio_output.h"

#include "platform/mp3_decoder.h"

int audio_output_module_register(DecoderOutputModule* module) {
  if (!module) return -1;
  module->name = "audio";
  module->open = OpenAudioSink;
  module->queuedBytes = QueuedAudioBytes;
  module->queue = QueueAudioSamples;
  module->close = CloseAudioSink;
  return 0;
}

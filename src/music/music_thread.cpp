// The soundtrack thread: reads the MP3 file in blocks of 4096 bytes, hands
// each block to the decoder and lets it play until it asks for the next one.
// At the end of the file it seeks back to the start, so the music loops
// until the main thread sets musicStop.
#include "music/music_thread.h"

#include <cstdio>
#include <cstdlib>

#include "platform/data_path.h"
#include "platform/message_box.h"
#include "platform/mp3_decoder.h"
#include "platform/process_exit.h"

std::atomic<uint8_t> musicStop{0};

namespace {

constexpr size_t kBlockSize = 4096;

void ShowMusicError(const char* text) { ShowMessageBox(nullptr, text, "MP3Player", MB_OK | MB_ICONERROR); }

// Ends the whole program while the main thread may still be rendering: the
// main thread leaves full screen and ends the process, skipping the static
// destructors, which a plain exit would run under its feet.
[[noreturn]] void FailMusic(const char* text) {
  ShowMusicError(text);
  EndProcessFromOtherThread(1);
}

// The streaming loop: returns when musicStop is seen or the decoder ends playback.
void StreamUntilStopped(DecoderHandle decoder, FILE* stream, unsigned char* block) {
  for (;;) {
    size_t blockLength = std::fread(block, 1, kBlockSize, stream);
    if (blockLength == 0) {
      if (!std::feof(stream)) FailMusic("kan geen bytes van input lezen");
      // The empty block sent below marks the seam; the first block follows on the next pass.
      std::fseek(stream, 0, SEEK_SET);
    }
    decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, block, blockLength);

    int playResult;
    do {
      playResult = decoder_play(decoder);
      if (musicStop.load()) return;
    } while (playResult == DECODER_PLAY_AGAIN || playResult == DECODER_PLAY_BUSY);
    if (playResult != DECODER_PLAY_NEED_INPUT) return;
  }
}

}  // namespace

int MusicThread(const char* path) {
  unsigned char* block = static_cast<unsigned char*>(std::malloc(kBlockSize));
  // Without a block buffer there is nothing to read into: the demo goes on silent.
  if (!block) return 0;

  DecoderHandle decoder = nullptr;
  if (decoder_new(&decoder) != 0) FailMusic("Kan geen decoder bakken");

  DecoderCodecModule codecModule;
  mpeg_codec_module_register(&codecModule);
  decoder_codec_module_register(decoder, &codecModule);
  DecoderInputModule inputModule;
  memory_input_module_register(&inputModule);
  decoder_input_module_register(decoder, &inputModule);
  DecoderOutputModule outputModule;
  audio_output_module_register(&outputModule);
  decoder_output_module_register(decoder, &outputModule);

  // The output opens before the file is looked for.
  decoder_output_new(decoder, nullptr, DECODER_MODULE_DEFAULT);
  if (decoder_output_open(decoder) != 0) FailMusic("Kan geen instantiatie van output maken");

  FILE* stream = OpenDataFile(path, "rb");
  if (!stream) {
    // snprintf, not sprintf: a long path is cut instead of overrunning the buffer.
    char message[100];
    std::snprintf(message, sizeof message, "Er is geen file aanwezig met de naam : %s", path ? path : "");
    FailMusic(message);
  }

  if (decoder_input_new(decoder, nullptr, DECODER_MODULE_DEFAULT) != 0) ShowMusicError("kan geen input bakken");
  if (decoder_input_open(decoder) != 0) FailMusic("kan geen input openen");

  StreamUntilStopped(decoder, stream, block);

  decoder_delete(decoder);
  std::fclose(stream);
  std::free(block);
  return 0;
}

void ResetMusicState() { musicStop.store(0); }

#include "scripted_decoder.h"

#include "platform/mp3_decoder.h"

ScriptedDecoder scriptedDecoder;

struct Decoder {};

namespace {

Decoder theDecoder;

int Call(const char* name, bool fail = false) {
  scriptedDecoder.calls.push_back(name);
  return fail ? -1 : 0;
}

}  // namespace

int decoder_new(DecoderHandle* decoder) {
  if (Call("decoder_new", scriptedDecoder.failNew) != 0) return -1;
  *decoder = &theDecoder;
  return 0;
}
void decoder_delete(DecoderHandle) { Call("decoder_delete"); }
int mpeg_codec_module_register(DecoderCodecModule*) { return Call("mpeg_codec_module_register"); }
int decoder_codec_module_register(DecoderHandle, const DecoderCodecModule*) {
  return Call("decoder_codec_module_register");
}
int memory_input_module_register(DecoderInputModule*) { return Call("memory_input_module_register"); }
int decoder_input_module_register(DecoderHandle, const DecoderInputModule*) {
  return Call("decoder_input_module_register");
}
int audio_output_module_register(DecoderOutputModule*) { return Call("audio_output_module_register"); }
int decoder_output_module_register(DecoderHandle, const DecoderOutputModule*) {
  return Call("decoder_output_module_register");
}
int decoder_output_new(DecoderHandle, const char*, int) { return Call("decoder_output_new"); }
int decoder_output_open(DecoderHandle) { return Call("decoder_output_open", scriptedDecoder.failOutputOpen); }
int decoder_input_new(DecoderHandle, const char*, int) {
  return Call("decoder_input_new", scriptedDecoder.failInputNew);
}
int decoder_input_open(DecoderHandle) { return Call("decoder_input_open", scriptedDecoder.failInputOpen); }
int decoder_input_send_message(DecoderHandle, int, const void*, size_t) { return Call("decoder_input_send_message"); }
int decoder_play(DecoderHandle) {
  Call("decoder_play");
  if (scriptedDecoder.playResults.empty()) return DECODER_PLAY_NEED_INPUT;
  const int result = scriptedDecoder.playResults.front();
  scriptedDecoder.playResults.pop_front();
  return result;
}

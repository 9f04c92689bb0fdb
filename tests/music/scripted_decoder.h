// A stand-in for the soundtrack's decoder library that fails on request at
// each step and plays a scripted list of results, for the music thread's
// failure paths.
#pragma once

#include <deque>
#include <string>
#include <vector>

struct ScriptedDecoder {
  bool failNew = false;
  bool failOutputOpen = false;
  bool failInputNew = false;
  bool failInputOpen = false;
  std::deque<int> playResults;     // taken in order; when empty, DECODER_PLAY_NEED_INPUT
  std::vector<std::string> calls;  // names of the library calls made, in order
};

extern ScriptedDecoder scriptedDecoder;

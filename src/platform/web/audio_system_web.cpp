// The audio system in the browser: one Web Audio context for the page.
// Browsers let a page make sound only after a gesture, so the context waits
// (suspended) until the click that starts the show, which also starts the
// soundtrack (StartSoundtrackPlayback).
#include <emscripten/emscripten.h>

#include "platform/audio_system.h"
#include "platform/web/browser_audio.h"
#include "platform/web/page_show.h"

namespace {

// The JavaScript below is the browser's; clang-format would split its operators.
// clang-format off

EM_JS(int, OpenAudioContext, (), {
  var AudioContextClass = window.AudioContext || window.webkitAudioContext;
  if (!AudioContextClass) return 0;
  try {
    Module.qebAudio = {context : new AudioContextClass(), buffer : null, source : null, startTime : null};
  } catch (error) {
    return 0;
  }
  // The page's volume control sets this gain (Module.qebVolume, 0 to 1).
  var audio = Module.qebAudio;
  audio.gain = audio.context.createGain();
  audio.gain.gain.value = typeof Module.qebVolume == 'number' ? Module.qebVolume : 1;
  audio.gain.connect(audio.context.destination);
  // Starts the decoded soundtrack once the show has started, at the point
  // in the track the show has reached meanwhile (decoding may finish later).
  Module.qebAudio.play = function() {
    var audio = Module.qebAudio;
    if (!audio || !audio.buffer || audio.startTime == null || audio.source) return;
    var source = audio.context.createBufferSource();
    source.buffer = audio.buffer;
    source.loop = true;
    source.connect(audio.gain);
    var offset = Math.max(0, audio.context.currentTime - audio.startTime) % audio.buffer.duration;
    source.start(0, offset);
    audio.source = source;
  };
  return 1;
});

EM_JS(void, CloseAudioContext, (), {
  var audio = Module.qebAudio;
  if (!audio) return;
  if (audio.source) audio.source.stop();
  audio.context.close();
  Module.qebAudio = null;
});

EM_JS(int, AudioContextOpen, (), { return Module.qebAudio ? 1 : 0; });

EM_JS(int, AudioContextRate, (), { return Module.qebAudio ? Module.qebAudio.context.sampleRate | 0 : 0; });

EM_JS(void, StartAudioContext, (), {
  var audio = Module.qebAudio;
  if (!audio) return;
  audio.context.resume();
  audio.startTime = audio.context.currentTime;
  audio.play();
});

EM_JS(void, DecodeAndLoop, (const unsigned char* bytes, size_t count), {
  var audio = Module.qebAudio;
  if (!audio) return;
  // decodeAudioData takes the buffer over: it gets a copy.
  var file = HEAPU8.slice(bytes, bytes + count).buffer;
  audio.context.decodeAudioData(file).then(
      function(buffer) {
        if (Module.qebAudio != audio) return;
        audio.buffer = buffer;
        audio.play();
      },
      function(error) { console.warn('Qeb: the soundtrack does not decode; the show goes on silent: ' + error); });
});

// clang-format on

}  // namespace

bool StartAudioSystem() { return OpenAudioContext() != 0; }

void StopAudioSystem() { CloseAudioContext(); }

bool BrowserAudioReady() { return AudioContextOpen() != 0; }

int BrowserAudioRate() { return AudioContextRate(); }

void LoopSoundtrackInBrowser(const unsigned char* bytes, size_t count) { DecodeAndLoop(bytes, count); }

void StartSoundtrackPlayback() { StartAudioContext(); }

// The soundtrack thread's CPU time per second of audio, against libmpg123
// decoding the same file alone, in the same process. The thread plays in
// real time on SDL's dummy driver (silent, no sound card needed), so its
// benchmark takes as long as the audio it plays.
#include <benchmark/benchmark.h>
#include <pthread.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "mp3_fixtures.h"
#include "music/music_thread.h"
#include "platform/audio_system.h"
#include "temporary_directory.h"

namespace {

constexpr double kToneSeconds = 10.0;
constexpr double kPlaySeconds = 4.0;

double CpuSeconds(clockid_t clock) {
  timespec time{};
  clock_gettime(clock, &time);
  return static_cast<double>(time.tv_sec) + time.tv_nsec * 1e-9;
}

// A 10 s stereo tone at 128 kbit/s, made once.
const std::string& FixturePath() {
  static const std::string path = [] {
    static const TemporaryDirectory directory("qeb-music-bench");
    return MakeToneMp3(directory.path().string(), "tone.mp3", {44100, 2, kToneSeconds, 440, "-b 128"});
  }();
  return path;
}

// CPU milliseconds that libmpg123 alone spends per second of the file's audio.
double DecodeAloneCpuMsPerAudioSecond(const std::vector<unsigned char>& mp3, int rounds) {
  double audioSeconds = 0, start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  for (int i = 0; i < rounds; ++i) {
    std::vector<int16_t> samples = DecodeWithMpg123(mp3);
    audioSeconds += samples.size() / 2 / 44100.0;
    benchmark::DoNotOptimize(samples.data());
  }
  return 1000.0 * (CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start) / audioSeconds;
}

void BM_Mpg123DecodeAlone(benchmark::State& state) {
  std::vector<unsigned char> mp3 = ReadFileBytes(FixturePath());
  if (mp3.empty()) return state.SkipWithError("lame failed");
  double cpuMsPerAudioSecond = 0;
  for (auto _ : state) cpuMsPerAudioSecond = DecodeAloneCpuMsPerAudioSecond(mp3, 1);
  state.counters["cpu_ms_per_audio_s"] = cpuMsPerAudioSecond;
}
BENCHMARK(BM_Mpg123DecodeAlone)->Unit(benchmark::kMillisecond);

void BM_MusicThread(benchmark::State& state) {
  if (FixturePath().empty()) return state.SkipWithError("lame failed");
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // As in the demo, whose main thread starts the audio system before the music thread.
  if (!StartAudioSystem()) return state.SkipWithError("no audio system");
  double threadCpuSeconds = 0, wallSeconds = 0;
  for (auto _ : state) {
    ResetMusicState();
    auto start = std::chrono::steady_clock::now();
    std::thread music(MusicThread, FixturePath().c_str());
    std::this_thread::sleep_for(std::chrono::duration<double>(kPlaySeconds));
    clockid_t clock;
    pthread_getcpuclockid(music.native_handle(), &clock);
    threadCpuSeconds = CpuSeconds(clock);
    wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    musicStop.store(1);
    music.join();
    state.SetIterationTime(wallSeconds);
  }
  StopAudioSystem();
  // The dummy driver plays in real time: the wall time is the audio played.
  double threadMsPerAudioSecond = 1000.0 * threadCpuSeconds / wallSeconds;
  double decodeMsPerAudioSecond = DecodeAloneCpuMsPerAudioSecond(ReadFileBytes(FixturePath()), 5);
  state.counters["cpu_ms_per_audio_s"] = threadMsPerAudioSecond;
  state.counters["decode_alone_cpu_ms_per_audio_s"] = decodeMsPerAudioSecond;
  state.counters["ratio_to_decode_alone"] = threadMsPerAudioSecond / decodeMsPerAudioSecond;
}
BENCHMARK(BM_MusicThread)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

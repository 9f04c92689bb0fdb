#include "datagen/soundtrack.h"

#include <algorithm>
#include <cmath>

#include "datagen/prng.h"

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr double rate = soundtrackSampleRate;
constexpr int loopLength = soundtrackFrames;
constexpr int barLength = 16 * samplesPerSixteenth;

// Two mixes, left and right, that wrap round: whatever is added past the end
// lands at the start.
struct Mix {
  std::vector<float> left, right;
};

Mix MakeMix() { return Mix{std::vector<float>(loopLength, 0.0f), std::vector<float>(loopLength, 0.0f)}; }

void Add(Mix& mix, long position, double left, double right) {
  const size_t at = size_t(position % loopLength);
  mix.left[at] += float(left);
  mix.right[at] += float(right);
}

double NoteFrequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// Band-limited correction at a waveform's jump (polyBLEP), t the phase in
// 0..1 and dt the phase step per sample.
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double Saw(double phase, double dt) { return 2.0 * phase - 1.0 - Blep(phase, dt); }

double Square(double phase, double dt) {
  double value = phase < 0.5 ? 1.0 : -1.0;
  value += Blep(phase, dt);
  value -= Blep(std::fmod(phase + 0.5, 1.0), dt);
  return value;
}

// ---- The score ----------------------------------------------------------

struct Chord {
  int notes[3];  // MIDI note numbers, round middle C (60)
};
const Chord am = {{57, 60, 64}}, f = {{53, 57, 60}}, c = {{55, 60, 64}}, g = {{55, 59, 62}}, em = {{55, 59, 64}},
            dm = {{53, 57, 62}};

// Sections of the tune, bar by bar: what plays and over which chords.
enum Part { intro, verse, chorus, interlude };
struct Bar {
  Part part;
  Chord chord;
  int root;  // bass note
};

Bar BarAt(int bar) {
  static const Chord verseChords[4] = {am, f, c, g};
  static const int verseRoots[4] = {45, 41, 48, 43};
  static const Chord chorusChords[4] = {f, g, em, am};
  static const int chorusRoots[4] = {41, 43, 40, 45};
  static const Chord interludeChords[4] = {dm, am, f, g};
  static const int interludeRoots[4] = {38, 45, 41, 43};
  const int inPhrase = bar % 4;
  if (bar < 4) return {intro, verseChords[inPhrase], verseRoots[inPhrase]};
  if (bar < 12) return {verse, verseChords[inPhrase], verseRoots[inPhrase]};
  if (bar < 20) return {chorus, chorusChords[inPhrase], chorusRoots[inPhrase]};
  if (bar < 24) return {interlude, interludeChords[inPhrase], interludeRoots[inPhrase]};
  if (bar < 32) return {verse, verseChords[inPhrase], verseRoots[inPhrase]};
  return {chorus, chorusChords[inPhrase], chorusRoots[inPhrase]};
}

struct Note {
  int bar, step, length, pitch;  // step and length in sixteenths
};

// The melody over the chorus chords (F G Em Am, twice), and a second one over
// the verse chords (Am F C G, twice) for the verse's return.
const Note chorusTune[] = {
    {0, 0, 4, 69},  {0, 4, 4, 72},  {0, 8, 2, 69},  {0, 10, 2, 67}, {0, 12, 4, 65}, {1, 0, 6, 67},
    {1, 6, 2, 71},  {1, 8, 8, 74},  {2, 0, 4, 76},  {2, 4, 2, 74},  {2, 6, 2, 71},  {2, 8, 4, 67},
    {2, 12, 4, 71}, {3, 0, 12, 69}, {3, 12, 4, 64}, {4, 0, 2, 65},  {4, 2, 2, 69},  {4, 4, 4, 72},
    {4, 8, 4, 77},  {4, 12, 4, 76}, {5, 0, 4, 74},  {5, 4, 4, 71},  {5, 8, 2, 67},  {5, 10, 2, 69},
    {5, 12, 4, 71}, {6, 0, 4, 67},  {6, 4, 8, 76},  {6, 12, 2, 74}, {6, 14, 2, 71}, {7, 0, 16, 69},
};
const Note verseTune[] = {
    {0, 0, 6, 76}, {0, 6, 2, 72},  {0, 8, 8, 69},  {1, 0, 4, 72},  {1, 4, 4, 69}, {1, 8, 4, 65}, {1, 12, 4, 69},
    {2, 0, 6, 67}, {2, 6, 2, 64},  {2, 8, 4, 67},  {2, 12, 4, 72}, {3, 0, 8, 71}, {3, 8, 8, 74}, {4, 0, 4, 76},
    {4, 4, 4, 79}, {4, 8, 4, 76},  {4, 12, 4, 72}, {5, 0, 8, 69},  {5, 8, 8, 72}, {6, 0, 6, 76}, {6, 6, 2, 74},
    {6, 8, 4, 72}, {6, 12, 4, 67}, {7, 0, 4, 71},  {7, 4, 4, 74},  {7, 8, 8, 67},
};

// ---- The instruments ----------------------------------------------------

// A soft pad: one saw per side, the two sides tuned slightly apart, through
// a gentle low-pass filter, swelling in and dying away past the bar's end.
void PlayPad(Mix& mix, long start, long length, int pitch, double volume) {
  const double frequency = NoteFrequency(pitch);
  const double detune = std::pow(2.0, 6.0 / 1200.0);
  const double stepLeft = frequency / detune / rate, stepRight = frequency * detune / rate;
  const long release = long(0.6 * rate);
  const double smoothing = 1.0 - std::exp(-2 * pi * 1400.0 / rate);
  double phaseLeft = 0.0, phaseRight = 0.5, lowLeft = 0.0, lowRight = 0.0;
  for (long i = 0; i < length + release; ++i) {
    const double attack = std::min(1.0, i / (0.35 * rate));
    const double fade = i < length ? 1.0 : 1.0 - double(i - length) / release;
    lowLeft += smoothing * (Saw(phaseLeft, stepLeft) - lowLeft);
    lowRight += smoothing * (Saw(phaseRight, stepRight) - lowRight);
    phaseLeft = std::fmod(phaseLeft + stepLeft, 1.0);
    phaseRight = std::fmod(phaseRight + stepRight, 1.0);
    const double level = volume * attack * fade;
    Add(mix, start + i, level * lowLeft, level * lowRight);
  }
}

// A plucked bass: a saw whose brightness and loudness fall quickly.
void PlayBass(Mix& mix, long start, long length, int pitch, double volume) {
  const double step = NoteFrequency(pitch) / rate;
  double phase = 0.0, low = 0.0;
  for (long i = 0; i < length; ++i) {
    const double seconds = i / rate;
    const double cutoff = 180.0 + 1400.0 * std::exp(-seconds * 18.0);
    low += (1.0 - std::exp(-2 * pi * cutoff / rate)) * (Saw(phase, step) - low);
    phase = std::fmod(phase + step, 1.0);
    const double level = volume * std::exp(-seconds * 3.0) * std::min(1.0, (length - i) / 200.0);
    const double sample = level * (low + 0.5 * std::sin(2 * pi * phase));
    Add(mix, start + i, sample, sample);
  }
}

// A short square-wave blip for the arpeggio, placed left or right.
void PlayBlip(Mix& mix, long start, int pitch, double volume, double pan) {
  const double step = NoteFrequency(pitch) / rate;
  const long length = long(0.22 * rate);
  double phase = 0.0;
  for (long i = 0; i < length; ++i) {
    const double level = volume * std::exp(-i / (0.05 * rate));
    const double sample = level * Square(phase, step);
    phase = std::fmod(phase + step, 1.0);
    Add(mix, start + i, sample * (1.0 - pan), sample * pan);
  }
}

// The lead: a flute-like tone with a slow vibrato that sets in after a while.
void PlayLead(Mix& mix, long start, long length, int pitch, double volume) {
  const double frequency = NoteFrequency(pitch);
  const long release = long(0.12 * rate);
  double phase = 0.0;
  for (long i = 0; i < length + release; ++i) {
    const double seconds = i / rate;
    const double vibrato = 1.0 + 0.004 * std::min(1.0, seconds * 3.0) * std::sin(2 * pi * 5.5 * seconds);
    phase = std::fmod(phase + frequency * vibrato / rate, 1.0);
    const double attack = std::min(1.0, seconds / 0.025);
    const double fade = i < length ? 1.0 : 1.0 - double(i - length) / release;
    const double tone = std::sin(2 * pi * phase) + 0.3 * std::sin(4 * pi * phase) + 0.1 * std::sin(6 * pi * phase);
    const double sample = volume * attack * fade * tone;
    Add(mix, start + i, sample * 0.55, sample * 0.45);
  }
}

void PlayKick(Mix& mix, long start, double volume) {
  double phase = 0.0;
  for (long i = 0; i < long(0.35 * rate); ++i) {
    const double seconds = i / rate;
    phase += (45.0 + 110.0 * std::exp(-seconds * 30.0)) / rate;
    const double sample = volume * std::exp(-seconds * 9.0) * std::sin(2 * pi * phase);
    Add(mix, start + i, sample, sample);
  }
}

// Noise drums: the snare adds a low tone, the hi-hat keeps only the hiss.
void PlayNoiseDrum(Mix& mix, long start, double volume, double decaySeconds, double tone, double pan, Prng& noise) {
  double previous = 0.0;
  for (long i = 0; i < long(decaySeconds * 6.0 * rate); ++i) {
    const double seconds = i / rate;
    const double white = NextSigned(noise);
    const double hiss = white - previous;  // a first difference keeps the highs
    previous = white;
    const double body = tone > 0 ? 0.6 * std::sin(2 * pi * tone * seconds) * std::exp(-seconds * 30.0) : 0.0;
    const double sample = volume * std::exp(-seconds / decaySeconds) * (hiss * 0.5 + body);
    Add(mix, start + i, sample * (1.0 - pan), sample * pan);
  }
}

// A ping-pong echo of three sixteenths on the lead and arpeggio. It runs over
// the loop twice and keeps the second pass, so the echoes of the last bars
// sound over the first ones just as they will when the tune loops.
void AddEcho(const Mix& source, Mix& target) {
  const size_t delay = 3 * samplesPerSixteenth;
  std::vector<float> lineLeft(delay, 0.0f), lineRight(delay, 0.0f);
  size_t position = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < size_t(loopLength); ++i) {
      const float outLeft = lineLeft[position], outRight = lineRight[position];
      lineLeft[position] = 0.5f * (source.left[i] + source.right[i]) + 0.4f * outRight;
      lineRight[position] = 0.4f * outLeft;
      position = (position + 1) % delay;
      if (pass == 1) {
        target.left[i] += 0.35f * outLeft;
        target.right[i] += 0.35f * outRight;
      }
    }
  }
}
}  // namespace

std::vector<int16_t> SynthesiseSoundtrack() {
  Mix dry = MakeMix(), echoed = MakeMix();
  Prng noise = MakePrng(0x5EED0005);
  for (int bar = 0; bar < soundtrackBars; ++bar) {
    const Bar now = BarAt(bar);
    const long barStart = long(bar) * barLength;
    auto at = [&](int step) { return barStart + long(step) * samplesPerSixteenth; };

    for (int pitch : now.chord.notes) PlayPad(dry, barStart, barLength, pitch, now.part == intro ? 0.05 : 0.04);

    // Arpeggio: up through the chord and its octave, every sixteenth.
    const int arpeggio[4] = {now.chord.notes[0] + 12, now.chord.notes[1] + 12, now.chord.notes[2] + 12,
                             now.chord.notes[1] + 24};
    for (int step = 0; step < 16; ++step) {
      const double volume = (now.part == intro ? 0.035 : 0.05) * (step % 4 == 0 ? 1.0 : 0.7);
      PlayBlip(echoed, at(step), arpeggio[step % 4], volume, step % 2 ? 0.7 : 0.3);
    }

    if (now.part == interlude) {
      PlayBass(dry, barStart, barLength, now.root, 0.18);
    } else if (now.part != intro) {
      const int octave[8] = {0, 0, 12, 0, 0, 12, 0, 7};
      for (int eighth = 0; eighth < 8; ++eighth) {
        PlayBass(dry, at(eighth * 2), 2 * samplesPerSixteenth, now.root + octave[eighth], 0.16);
      }
    }

    if (now.part == verse || now.part == chorus) {
      for (int beat = 0; beat < 4; ++beat) PlayKick(dry, at(beat * 4), 0.55);
      for (int step = 2; step < 16; step += 4) PlayNoiseDrum(dry, at(step), 0.12, 0.025, 0.0, 0.65, noise);
      if (now.part == chorus) {
        PlayNoiseDrum(dry, at(4), 0.28, 0.05, 185.0, 0.5, noise);
        PlayNoiseDrum(dry, at(12), 0.28, 0.05, 185.0, 0.5, noise);
        for (int step = 1; step < 16; step += 2) PlayNoiseDrum(dry, at(step), 0.05, 0.015, 0.0, 0.35, noise);
      }
    }
    // The last bar rolls back into the start.
    if (bar == soundtrackBars - 1) {
      for (int step = 8; step < 16; ++step)
        PlayNoiseDrum(dry, at(step), 0.1 + 0.02 * (step - 8), 0.05, 185.0, 0.5, noise);
    }
  }

  // The melodies: the chorus tune in both choruses, the verse tune when the
  // verse comes back after the interlude.
  auto playTune = [&](const Note* tune, size_t count, int firstBar, double volume) {
    for (size_t i = 0; i < count; ++i) {
      const long start = long(firstBar + tune[i].bar) * barLength + long(tune[i].step) * samplesPerSixteenth;
      PlayLead(echoed, start, long(tune[i].length) * samplesPerSixteenth - 600, tune[i].pitch, volume);
    }
  };
  const size_t chorusNotes = sizeof chorusTune / sizeof chorusTune[0];
  const size_t verseNotes = sizeof verseTune / sizeof verseTune[0];
  playTune(chorusTune, chorusNotes, 12, 0.14);
  playTune(verseTune, verseNotes, 24, 0.13);
  playTune(chorusTune, chorusNotes, 32, 0.15);

  AddEcho(echoed, dry);
  for (size_t i = 0; i < size_t(loopLength); ++i) {
    dry.left[i] += echoed.left[i];
    dry.right[i] += echoed.right[i];
  }

  // Gentle saturation, then scale the loudest sample to 90 % of full range.
  double peak = 1e-9;
  for (size_t i = 0; i < size_t(loopLength); ++i) {
    dry.left[i] = float(std::tanh(1.2 * dry.left[i]));
    dry.right[i] = float(std::tanh(1.2 * dry.right[i]));
    peak = std::max(peak, double(std::max(std::fabs(dry.left[i]), std::fabs(dry.right[i]))));
  }
  const double gain = 0.9 * 32767.0 / peak;
  std::vector<int16_t> samples(size_t(loopLength) * soundtrackChannels);
  for (size_t i = 0; i < size_t(loopLength); ++i) {
    samples[2 * i] = int16_t(std::lround(dry.left[i] * gain));
    samples[2 * i + 1] = int16_t(std::lround(dry.right[i] * gain));
  }
  return samples;
}

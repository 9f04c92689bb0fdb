#include "datagen/soundtrack.h"

#include <algorithm>
#include <cmath>

#include "datagen/camera_script.h"
#include "datagen/loudness.h"
#include "datagen/prng.h"

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr double rate = soundtrackSampleRate;
constexpr long length = soundtrackFrames;
constexpr long barLength = 16 * samplesPerSixteenth;

// Two mixes, left and right; whatever would sound past the end is dropped.
struct Mix {
  std::vector<float> left, right;
};

Mix MakeMix() { return Mix{std::vector<float>(length, 0.0f), std::vector<float>(length, 0.0f)}; }

void Add(Mix& mix, long position, double left, double right) {
  if (position < 0 || position >= length) return;
  mix.left[size_t(position)] += float(left);
  mix.right[size_t(position)] += float(right);
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
  int root;      // bass note
};
const Chord am = {{57, 60, 64}, 45}, f = {{53, 57, 60}, 41}, c = {{55, 60, 64}, 48}, g = {{55, 59, 62}, 43},
            em = {{55, 59, 64}, 40}, dm = {{53, 57, 62}, 38}, e = {{52, 56, 59}, 40};

// The sections, each starting on the bar where the timeline changes: a bar
// is 4 beats of 1/108 minute, so 12 bars last one held picture (16 slots of
// 100 frames) and 10 bars one fast series (40 slots of 33 or 34 frames).
enum Section { opening, countdown, waiting, launch, seed, growth, blossom, ending };
struct SectionSpan {
  Section section;
  int firstBar;
};
const SectionSpan sections[] = {
    {opening, 0},     // the opening picture
    {countdown, 12},  // the first series, a picture a beat
    {waiting, 22},    // the second series' first picture, held
    {launch, 34},     // the second series
    {seed, 44},       // the third series' first picture, held
    {growth, 56},     // the third series, a picture every three beats
    {blossom, 86},    // its last picture, held
    {ending, 98},     // the end pictures; the last chord dies away just before the clock's end
};
constexpr int lastBar = 106;  // the bar in which the show ends

// Where each section starts, in sample frames: at the first frame of the
// slot where the timeline changes, counted with the demo's own clock. The
// clock's fast stretches end a tick or two into the next slot, so a held
// picture lasts a frame or two less than 12 bars; each section keeps its
// own bar lines from its start.
std::vector<long> SectionStarts() {
  const int changeSlots[] = {0, 16, 56, 72, 112, 128, 168, 184};
  const std::vector<int> frames = FramesPerSlot();
  std::vector<long> starts;
  for (int slot : changeSlots) {
    long frame = 0;
    for (int s = 0; s < slot; ++s) frame += frames[size_t(s)];
    starts.push_back(frame * (soundtrackSampleRate / showFramesPerSecond));
  }
  return starts;
}

long BarStart(int bar) {
  static const std::vector<long> starts = SectionStarts();
  size_t section = 0;
  while (section + 1 < starts.size() && bar >= sections[section + 1].firstBar) ++section;
  return starts[section] + long(bar - sections[section].firstBar) * barLength;
}

Section SectionOf(int bar) {
  Section found = opening;
  for (const SectionSpan& span : sections)
    if (bar >= span.firstBar) found = span.section;
  return found;
}

Chord ChordOf(int bar) {
  static const Chord verse[4] = {am, f, c, g}, chorus[4] = {f, g, em, am}, hymn[4] = {dm, am, f, g};
  switch (SectionOf(bar)) {
    case countdown:
      return bar >= 20 ? e : verse[bar % 4];
    case waiting:
    case blossom:
      return hymn[(bar - 2) % 4];
    case launch:
      return chorus[(bar - 34) % 4];
    case growth:
      return bar < 72 ? verse[bar % 4] : chorus[bar % 4];
    case ending:
      return bar >= 104 ? am : chorus[(bar - 98) % 4];
    default:
      return verse[bar % 4];
  }
}

struct Note {
  int bar, step, length, pitch;  // step and length in sixteenths
};

// The melody over the chorus chords (F G Em Am, twice), and a second one over
// the verse chords (Am F C G, twice).
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

// A ping-pong echo of three sixteenths on the lead and arpeggio.
void AddEcho(const Mix& source, Mix& target) {
  const size_t delay = 3 * samplesPerSixteenth;
  std::vector<float> lineLeft(delay, 0.0f), lineRight(delay, 0.0f);
  size_t position = 0;
  for (size_t i = 0; i < size_t(length); ++i) {
    const float outLeft = lineLeft[position], outRight = lineRight[position];
    lineLeft[position] = 0.5f * (source.left[i] + source.right[i]) + 0.4f * outRight;
    lineRight[position] = 0.4f * outLeft;
    position = (position + 1) % delay;
    target.left[i] += 0.35f * outLeft;
    target.right[i] += 0.35f * outRight;
  }
}

// Drums of one bar, by how busy the section is: 0 none, 1 a soft pulse,
// 2 a beat, 3 the full kit.
void PlayDrums(Mix& mix, long barStart, int intensity, Prng& noise) {
  auto at = [&](int step) { return barStart + long(step) * samplesPerSixteenth; };
  if (intensity >= 1) {
    PlayKick(mix, at(0), 0.45);
    for (int step = 2; step < 16; step += 4) PlayNoiseDrum(mix, at(step), 0.08, 0.02, 0.0, 0.65, noise);
  }
  if (intensity >= 2) {
    for (int beat = 1; beat < 4; ++beat) PlayKick(mix, at(beat * 4), 0.5);
    for (int step = 0; step < 16; step += 4) PlayNoiseDrum(mix, at(step), 0.06, 0.015, 0.0, 0.4, noise);
  }
  if (intensity >= 3) {
    PlayNoiseDrum(mix, at(4), 0.28, 0.05, 185.0, 0.5, noise);
    PlayNoiseDrum(mix, at(12), 0.28, 0.05, 185.0, 0.5, noise);
    for (int step = 1; step < 16; step += 2) PlayNoiseDrum(mix, at(step), 0.05, 0.015, 0.0, 0.35, noise);
  }
}

int DrumIntensity(int bar) {
  switch (SectionOf(bar)) {
    case countdown:
      return 2;
    case waiting:
      return bar >= 26 ? 1 : 0;
    case launch:
      return 3;
    case growth:
      return bar < 64 ? 1 : bar < 72 ? 2 : 3;
    case ending:
      return bar < 104 ? 3 : 0;
    default:
      return 0;
  }
}

// A slow line of chord notes, two a bar, for the sections between the tunes.
void PlayChordLine(Mix& mix, int bar, double volume) {
  const Chord chord = ChordOf(bar);
  const long start = BarStart(bar);
  PlayLead(mix, start, 8 * samplesPerSixteenth - 900, chord.notes[2] + 12, volume);
  PlayLead(mix, start + 8 * samplesPerSixteenth, 8 * samplesPerSixteenth - 900,
           (bar % 2 ? chord.notes[0] : chord.notes[1]) + 12, volume);
}
}  // namespace

std::vector<long> SoundtrackSectionStarts() {
  std::vector<long> starts;
  for (const SectionSpan& span : sections) starts.push_back(BarStart(span.firstBar));
  return starts;
}

std::vector<int16_t> SynthesiseSoundtrack() {
  Mix dry = MakeMix(), echoed = MakeMix();
  Prng noise = MakePrng(0x5EED0005);
  for (int bar = 0; bar < lastBar; ++bar) {
    const Section section = SectionOf(bar);
    const Chord chord = ChordOf(bar);
    const long barStart = BarStart(bar);
    auto at = [&](int step) { return barStart + long(step) * samplesPerSixteenth; };
    const bool finalChord = section == ending && bar >= 104;

    // The pad throughout; the final chord is held until the show ends.
    const long padLength = finalChord ? (bar == 104 ? length - barStart : 0) : barLength;
    for (int pitch : chord.notes)
      if (padLength > 0) PlayPad(dry, barStart, padLength, pitch, section == opening && bar < 4 ? 0.03 : 0.04);

    // Arpeggio: up through the chord and its octave, every sixteenth; in the
    // quiet sections only every other one.
    const bool quiet = section == opening || section == waiting || section == seed || section == blossom;
    if (!finalChord && !(section == opening && bar < 4)) {
      const int arpeggio[4] = {chord.notes[0] + 12, chord.notes[1] + 12, chord.notes[2] + 12, chord.notes[1] + 24};
      for (int step = 0; step < 16; step += quiet ? 2 : 1) {
        const double volume = (quiet ? 0.035 : 0.05) * (step % 4 == 0 ? 1.0 : 0.7);
        PlayBlip(echoed, at(step), arpeggio[(quiet ? step / 2 : step) % 4], volume, step % 2 ? 0.7 : 0.3);
      }
    }

    // Bass: held notes in the quiet sections, driving eighths elsewhere.
    if (finalChord) {
      if (bar == 104) PlayBass(dry, barStart, length - barStart, chord.root, 0.2);
    } else if (quiet) {
      if (bar >= 8 || section != opening) PlayBass(dry, barStart, barLength, chord.root, 0.18);
    } else {
      const int octave[8] = {0, 0, 12, 0, 0, 12, 0, 7};
      for (int eighth = 0; eighth < 8; ++eighth)
        PlayBass(dry, at(eighth * 2), 2 * samplesPerSixteenth, chord.root + octave[eighth], 0.16);
    }

    PlayDrums(dry, barStart, DrumIntensity(bar), noise);
    // A roll into each section that starts with drums, rising to the GO of
    // the countdown and to the launch.
    const Section next = SectionOf(bar + 1);
    if (next != section && DrumIntensity(bar + 1) >= 2) {
      for (int step = 8; step < 16; ++step)
        PlayNoiseDrum(dry, at(step), 0.1 + 0.02 * (step - 8), 0.05, 185.0, 0.5, noise);
    }
    if (section == countdown && bar == 21) {
      for (int step = 0; step < 8; ++step) PlayNoiseDrum(dry, at(step), 0.08 + 0.01 * step, 0.04, 185.0, 0.5, noise);
    }
    if (bar == 104) PlayNoiseDrum(dry, barStart, 0.25, 0.5, 0.0, 0.5, noise);  // a last cymbal
  }

  // The melodies: the chorus tune at the launch, in the growth and at the
  // end; the verse tune as the tree grows; slow lines while pictures are held.
  auto playTune = [&](const Note* tune, size_t count, int firstBar, int bars, double volume) {
    for (size_t i = 0; i < count; ++i) {
      if (tune[i].bar >= bars) continue;
      const long start = BarStart(firstBar + tune[i].bar) + long(tune[i].step) * samplesPerSixteenth;
      PlayLead(echoed, start, long(tune[i].length) * samplesPerSixteenth - 600, tune[i].pitch, volume);
    }
  };
  const size_t chorusNotes = sizeof chorusTune / sizeof chorusTune[0];
  const size_t verseNotes = sizeof verseTune / sizeof verseTune[0];
  playTune(chorusTune, chorusNotes, 34, 8, 0.14);
  playTune(verseTune, verseNotes, 64, 8, 0.13);
  playTune(chorusTune, chorusNotes, 72, 8, 0.15);
  playTune(chorusTune, chorusNotes, 80, 4, 0.15);
  playTune(chorusTune, chorusNotes, 98, 4, 0.15);
  for (int bar = 26; bar < 34; ++bar) PlayChordLine(echoed, bar, 0.09);
  for (int bar = 88; bar < 98; ++bar) PlayChordLine(echoed, bar, 0.09);
  PlayLead(echoed, BarStart(104), length - BarStart(104) - long(rate), 69, 0.12);

  AddEcho(echoed, dry);
  for (size_t i = 0; i < size_t(length); ++i) {
    dry.left[i] += echoed.left[i];
    dry.right[i] += echoed.right[i];
  }

  // From silence at the start, and to silence before the end: the last
  // chord dies away over a second and a half, and the last half second is
  // silent, so the clock's end never cuts a sound still ringing.
  const long fadeIn = long(0.5 * rate), fadeOut = long(1.5 * rate), silentEnd = long(0.5 * rate);
  const long fadeOutStart = length - silentEnd - fadeOut;
  for (long i = 0; i < length; ++i) {
    double gain = 1.0;
    if (i < fadeIn) gain = double(i) / fadeIn;
    if (i >= fadeOutStart)
      gain = i < length - silentEnd ? 0.5 + 0.5 * std::cos(pi * double(i - fadeOutStart) / fadeOut) : 0.0;
    dry.left[size_t(i)] = float(dry.left[size_t(i)] * gain);
    dry.right[size_t(i)] = float(dry.right[size_t(i)] * gain);
  }

  // Bring the mix to the loudness aimed at, rounding off any peak above
  // the limit with a soft knee; the knee takes a little loudness, so measure
  // again and correct.
  const double knee = 0.7 * soundtrackPeak;
  auto shape = [&](double x) {
    const double size = std::fabs(x);
    if (size <= knee) return x;
    const double room = soundtrackPeak - knee;
    return std::copysign(knee + room * std::tanh((size - knee) / room), x);
  };
  // The encoder's low pass takes away highs that the loudness measure
  // weighs up, about 0.45 LU for this mix: aim that much higher.
  const double aim = soundtrackLoudness + 0.45;
  double gain = 1.0;
  Mix shaped = MakeMix();
  for (int pass = 0; pass < 4; ++pass) {
    for (size_t i = 0; i < size_t(length); ++i) {
      shaped.left[i] = float(shape(dry.left[i] * gain));
      shaped.right[i] = float(shape(dry.right[i] * gain));
    }
    gain *= std::pow(10.0, (aim - IntegratedLoudness(shaped.left, shaped.right, rate)) / 20.0);
  }
  std::vector<int16_t> samples(size_t(length) * soundtrackChannels);
  for (size_t i = 0; i < size_t(length); ++i) {
    samples[2 * i] = int16_t(std::lround(shape(dry.left[i] * gain) * 32767.0));
    samples[2 * i + 1] = int16_t(std::lround(shape(dry.right[i] * gain) * 32767.0));
  }
  return samples;
}

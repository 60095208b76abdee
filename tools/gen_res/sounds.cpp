// The game's sound effects, synthesised: tones made of a few partials with
// smooth envelopes, a little filtered noise for the knocks, each effect
// normalised to a peak of -3 dBFS and written as a canonical 44-byte-header
// WAV of 16-bit mono samples at 22050 Hz.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gen_res/gen_res.h"

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.7079457843841379;  // -3 dBFS

using Samples = std::vector<double>;

int ToSamples(double seconds) {
  return static_cast<int>(std::lround(seconds * kRate));
}

// Raised-cosine edges: a gain rising from 0 over `attack` seconds after t0
// and falling to 0 over `release` seconds before t1.
double Edges(double t, double t0, double t1, double attack, double release) {
  if (t < t0 || t > t1) return 0.0;
  double g = 1.0;
  if (attack > 0 && t - t0 < attack) g *= 0.5 - 0.5 * std::cos(kPi * (t - t0) / attack);
  if (release > 0 && t1 - t < release) g *= 0.5 - 0.5 * std::cos(kPi * (t1 - t) / release);
  return g;
}

struct Partial {
  double ratio;  // of the note's frequency
  double amp;
  double decay;  // time constant in seconds; 0 = none
};

struct Note {
  double start, length;  // seconds
  double freq;           // Hz
  double amp;
  double attack = 0.004, release = 0.02;
  double decay = 0;    // time constant of the whole note; 0 = none
  double floor = 0;    // the decay levels out here
  double vibrato = 0;  // depth as a share of the frequency
  double glideTo = 0;  // end frequency of a glide; 0 = none
  std::vector<Partial> partials{{1, 1, 0}};
};

void AddNote(Samples& s, const Note& n) {
  const int first = ToSamples(n.start);
  const int count = ToSamples(n.length);
  double phase[16] = {};
  for (int i = 0; i < count; ++i) {
    const int at = first + i;
    if (at < 0 || at >= static_cast<int>(s.size())) continue;
    const double t = static_cast<double>(i) / kRate;
    double env = Edges(t, 0, n.length, n.attack, n.release);
    if (n.decay > 0) env *= n.floor + (1 - n.floor) * std::exp(-t / n.decay);
    double f = n.freq;
    if (n.glideTo > 0) f = n.freq * std::pow(n.glideTo / n.freq, t / n.length);
    if (n.vibrato > 0) f *= 1 + n.vibrato * std::sin(2 * kPi * 5.5 * t) * std::min(1.0, t / 0.3);
    double v = 0;
    for (std::size_t p = 0; p < n.partials.size() && p < 16; ++p) {
      const Partial& q = n.partials[p];
      phase[p] += 2 * kPi * f * q.ratio / kRate;
      // Partials above the band would fold back as harsh tones.
      if (f * q.ratio >= kRate * 0.45) continue;
      const double e = q.decay > 0 ? std::exp(-t / q.decay) : 1.0;
      v += q.amp * e * std::sin(phase[p]);
    }
    s[static_cast<std::size_t>(at)] += n.amp * env * v;
  }
}

// Noise through a one-pole low-pass (cutoff in Hz), with a decaying envelope.
void AddNoise(Samples& s, double start, double length, double amp, double cutoff, double decay,
              bool highPass, uint32_t seed) {
  const double a = std::exp(-2 * kPi * cutoff / kRate);
  double low = 0;
  uint32_t x = seed;
  const int first = ToSamples(start);
  const int count = ToSamples(length);
  for (int i = 0; i < count; ++i) {
    const int at = first + i;
    if (at < 0 || at >= static_cast<int>(s.size())) continue;
    x = x * 1664525u + 1013904223u;
    const double white = static_cast<double>(x >> 8) / 8388608.0 - 1.0;
    low = (1 - a) * white + a * low;
    const double t = static_cast<double>(i) / kRate;
    const double env = Edges(t, 0, length, 0.001, 0.005) * std::exp(-t / decay);
    s[static_cast<std::size_t>(at)] += amp * env * (highPass ? white - low : low);
  }
}

// Peak to -3 dBFS, then 16-bit samples behind the canonical header.
std::string ToWav(Samples s) {
  double peak = 0;
  for (double v : s) peak = std::max(peak, std::fabs(v));
  const double scale = peak > 0 ? kPeak / peak : 0;
  std::string data;
  data.reserve(s.size() * 2);
  for (double v : s) {
    const long q = std::lround(std::clamp(v * scale, -1.0, 1.0) * 32767.0);
    const uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(q));
    data += static_cast<char>(u & 0xFF);
    data += static_cast<char>(u >> 8);
  }
  std::string h;
  auto u32 = [&h](uint32_t v) {
    for (int i = 0; i < 4; ++i) h += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto u16 = [&h](uint32_t v) {
    h += static_cast<char>(v & 0xFF);
    h += static_cast<char>((v >> 8) & 0xFF);
  };
  const uint32_t size = static_cast<uint32_t>(data.size());
  h += "RIFF";
  u32(36 + size);
  h += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  h += "data";
  u32(size);
  return h + data;
}

Samples Silence(double seconds) {
  return Samples(static_cast<std::size_t>(ToSamples(seconds)), 0.0);
}

// A plucked bell: a few inharmonic partials, the high ones dying first.
const std::vector<Partial> kBell = {
    {1, 1.0, 0.45}, {2.0, 0.45, 0.25}, {3.01, 0.25, 0.15}, {4.17, 0.14, 0.09}, {5.43, 0.08, 0.06}};
// A soft reed: odd harmonics.
const std::vector<Partial> kReed = {{1, 1.0, 0}, {3, 0.22, 0}, {5, 0.08, 0}, {7, 0.03, 0}};
// A brass-like tone: every harmonic, falling off.
const std::vector<Partial> kBrass = {{1, 1.0, 0}, {2, 0.6, 0},  {3, 0.42, 0}, {4, 0.3, 0},
                                     {5, 0.2, 0}, {6, 0.13, 0}, {7, 0.08, 0}, {8, 0.05, 0}};

// 1: the voices' start-up sound, never played by the game: a soft blip.
Samples Blip() {
  Samples s = Silence(0.08);
  AddNote(s, Note{0, 0.08, 880, 1, 0.003, 0.015, 0.03, 0, 0, 0, {{1, 1, 0}, {2, 0.2, 0.02}}});
  return s;
}

// 3: a typed letter: a short, high, dry tick.
Samples Tick() {
  Samples s = Silence(0.035);
  AddNote(s, Note{0, 0.035, 2400, 0.7, 0.001, 0.008, 0.006, 0, 0, 0, {{1, 1, 0}, {1.5, 0.3, 0}}});
  AddNoise(s, 0, 0.02, 0.5, 3000, 0.003, true, 3);
  return s;
}

// 4: a piece lands: a soft low thud, a falling sine and a dull knock.
Samples Thud() {
  Samples s = Silence(0.24);
  Note body{0, 0.24, 150, 1, 0.002, 0.05, 0.06};
  body.glideTo = 55;
  body.partials = {{1, 1, 0}, {2, 0.15, 0.03}};
  AddNote(s, body);
  AddNoise(s, 0, 0.08, 0.5, 500, 0.015, false, 4);
  return s;
}

// 5: the ring turns (played short) and the well settles (looped at half
// speed): a brief tone of whole periods of 220.5 Hz with a bright click on
// top.  It starts and ends in silence, so the loop joins without a click
// and purrs at the pace of the settling steps.
Samples Turn() {
  Samples s = Silence(0.1);  // 2205 samples: 22 whole periods
  Note body{0, 0.1, 220.5, 1, 0.002, 0.006, 0.025, 0.35};
  body.partials = {{1, 1, 0}, {2, 0.5, 0}, {3, 0.3, 0}, {4, 0.15, 0}, {10, 0.5, 0.008}};
  AddNote(s, body);
  return s;
}

// 6: nothing happened (a settle without a removal, the bonus key with no
// bonus): a soft falling two-note "dud".
Samples Dud() {
  Samples s = Silence(0.2);
  AddNote(s, Note{0, 0.075, 587.3, 0.8, 0.004, 0.02, 0.08, 0, 0, 0, kReed});
  AddNote(s, Note{0.07, 0.13, 440, 0.8, 0.004, 0.05, 0.08, 0, 0, 0, kReed});
  return s;
}

// 7: a landing that removes cubes: a bright pop and a bell.
Samples Pop() {
  Samples s = Silence(0.4);
  AddNote(s, Note{0, 0.4, 1046.5, 1, 0.002, 0.08, 0.15, 0, 0, 0, kBell});
  AddNote(s, Note{0, 0.06, 300, 0.6, 0.001, 0.03, 0.02, 0, 0, 700, {{1, 1, 0}}});
  return s;
}

// 9: a special piece arrives: four quick rising bell notes and a shimmer.
Samples Sparkle() {
  Samples s = Silence(0.55);
  const double notes[4] = {1318.5, 1568.0, 1975.5, 2637.0};
  for (int i = 0; i < 4; ++i) {
    AddNote(s, Note{0.06 * i, 0.55 - 0.06 * i, notes[i], 0.7, 0.002, 0.12, 0.1, 0, 0, 0, kBell});
  }
  AddNoise(s, 0.05, 0.45, 0.06, 6000, 0.15, true, 9);
  return s;
}

// 10: cubes removed after settling: a rolled major chord of bells.  The
// game plays it lower and louder for bigger removals.
Samples Chime() {
  Samples s = Silence(0.9);
  const double chord[4] = {523.25, 659.25, 783.99, 1046.5};
  for (int i = 0; i < 4; ++i) {
    AddNote(s, Note{0.035 * i, 0.9 - 0.035 * i, chord[i], 0.6, 0.002, 0.2, 0.3, 0, 0, 0, kBell});
  }
  return s;
}

// 11: game over (and, played higher and quicker, a bonus taken): a falling
// phrase of three notes on a soft reed, the last one held with vibrato.
Samples Fall() {
  Samples s = Silence(1.4);
  AddNote(s, Note{0, 0.28, 392.0, 0.8, 0.01, 0.06, 0, 0, 0, 0, kReed});
  AddNote(s, Note{0.26, 0.28, 329.6, 0.8, 0.01, 0.06, 0, 0, 0, 0, kReed});
  Note last{0.52, 0.88, 261.6, 0.9, 0.012, 0.35, 0.5, 0.2, 0.012};
  last.partials = kReed;
  AddNote(s, last);
  return s;
}

// 12: the stage is done: a brass fanfare, a rising arpeggio onto a held top.
Samples Fanfare() {
  Samples s = Silence(1.5);
  const double notes[3] = {523.25, 659.25, 783.99};
  for (int i = 0; i < 3; ++i) {
    AddNote(s, Note{0.13 * i, 0.14, notes[i], 0.8, 0.008, 0.03, 0, 0, 0, 0, kBrass});
  }
  Note top{0.39, 1.11, 1046.5, 0.9, 0.01, 0.4, 0.6, 0.3, 0.006};
  top.partials = kBrass;
  AddNote(s, top);
  Note under{0.39, 1.11, 523.25, 0.5, 0.02, 0.4, 0.6, 0.3};
  under.partials = kBrass;
  AddNote(s, under);
  return s;
}

// 13: a game for the records: a happy run up two octaves, a little trill
// and a bright held chord.
Samples Record() {
  Samples s = Silence(1.9);
  const double run[6] = {523.25, 659.25, 783.99, 1046.5, 1318.5, 1568.0};
  for (int i = 0; i < 6; ++i) {
    AddNote(s, Note{0.08 * i, 0.12, run[i], 0.7, 0.005, 0.03, 0, 0, 0, 0, kBrass});
  }
  for (int i = 0; i < 4; ++i) {
    const double f = (i % 2 == 0) ? 1318.5 : 1568.0;
    AddNote(s, Note{0.5 + 0.07 * i, 0.08, f, 0.5, 0.004, 0.02, 0, 0, 0, 0, kBell});
  }
  const double chord[3] = {1046.5, 1318.5, 1568.0};
  for (double f : chord) {
    AddNote(s, Note{0.8, 1.1, f, 0.5, 0.01, 0.45, 0.5, 0.25, 0.004, 0, kBell});
  }
  AddNote(s, Note{0.8, 1.1, 523.25, 0.4, 0.01, 0.45, 0.6, 0.3, 0, 0, kBrass});
  return s;
}

struct Effect {
  const char* file;
  Samples (*make)();
};

}  // namespace

int GenerateSounds(const std::string& resDir) {
  const Effect effects[] = {
      {"blip.wav", Blip}, {"tick.wav", Tick},       {"thud.wav", Thud},       {"turn.wav", Turn},
      {"dud.wav", Dud},   {"pop.wav", Pop},         {"sparkle.wav", Sparkle}, {"chime.wav", Chime},
      {"fall.wav", Fall}, {"fanfare.wav", Fanfare}, {"record.wav", Record},
  };
  if (!MakeDirs(resDir + "/zvu")) return 0;
  for (const Effect& e : effects) {
    if (!WriteFileBytes(resDir + "/zvu/" + e.file, ToWav(e.make()))) return 0;
  }
  return 1;
}

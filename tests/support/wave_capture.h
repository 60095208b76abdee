// What OpenAL Soft's wave-file back end wrote: a config that sends a
// device's output to a file, and a reader for that file (float or 16-bit
// samples, any channel count) with the measures the sound tests use.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Writes a config that sends all output to `wavPath`; returns its path.
inline std::string WriteWaveConfig(const std::string& dir, const std::string& wavPath) {
  const std::string conf = dir + "/alsoft.conf";
  std::ofstream(conf) << "[general]\ndrivers = wave\n[wave]\nfile = " << wavPath << "\n";
  return conf;
}

struct Recording {
  int rate = 0;
  int channels = 0;
  std::vector<float> left, right;  // a mono file has both the same

  double Seconds() const { return rate > 0 ? static_cast<double>(left.size()) / rate : 0; }
  std::size_t At(double seconds) const {
    const double i = std::max(0.0, seconds) * rate;
    return std::min(left.size(), static_cast<std::size_t>(i));
  }
  // Root mean square of one channel (0 left, 1 right) between two times.
  double Rms(int channel, double from, double to) const {
    const std::vector<float>& s = channel == 0 ? left : right;
    const std::size_t a = At(from), b = At(to);
    if (b <= a) return 0;
    double sum = 0;
    for (std::size_t i = a; i < b; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(b - a));
  }
  double Peak(double from, double to) const {
    double p = 0;
    for (std::size_t i = At(from); i < At(to); ++i) {
      p = std::max(
          {p, std::fabs(static_cast<double>(left[i])), std::fabs(static_cast<double>(right[i]))});
    }
    return p;
  }
};

// Reads the file; false when it is not a wave file.  A file whose sizes were
// never filled in (the device still open) is read to its end.
inline bool ReadRecording(const std::string& path, Recording& out) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
  auto u16 = [&b](std::size_t at) { return static_cast<uint32_t>(b[at] | (b[at + 1] << 8)); };
  auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
      std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
    return false;
  }
  int format = 0, bits = 0;
  out = Recording{};
  std::size_t at = 12;
  while (at + 8 <= b.size()) {
    const uint32_t size = u32(at + 4);
    const std::size_t body = at + 8;
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && body + 16 <= b.size()) {
      format = static_cast<int>(u16(body));
      out.channels = static_cast<int>(u16(body + 2));
      out.rate = static_cast<int>(u32(body + 4));
      bits = static_cast<int>(u16(body + 14));
      // WAVE_FORMAT_EXTENSIBLE: the real format is the sub-format's first word.
      if (format == 0xFFFE && body + 26 <= b.size()) format = static_cast<int>(u16(body + 24));
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      std::size_t end = body + size;
      if (size == 0 || end > b.size()) end = b.size();
      const int bytes = bits / 8;
      if (out.channels <= 0 || bytes <= 0 || (format != 1 && format != 3)) return false;
      const std::size_t frame = static_cast<std::size_t>(bytes) * out.channels;
      for (std::size_t f = body; f + frame <= end; f += frame) {
        float v[2] = {0, 0};
        for (int c = 0; c < std::min(out.channels, 2); ++c) {
          const std::size_t p = f + static_cast<std::size_t>(c) * bytes;
          if (format == 3 && bits == 32) {
            const uint32_t u = u32(p);
            std::memcpy(&v[c], &u, 4);
          } else if (format == 1 && bits == 16) {
            v[c] = static_cast<float>(static_cast<int16_t>(u16(p))) / 32768.0f;
          }
        }
        out.left.push_back(v[0]);
        out.right.push_back(out.channels > 1 ? v[1] : v[0]);
      }
      return out.rate > 0;
    }
    at = body + size + (size & 1);
  }
  return false;
}

// Stretches of sound: from where the level first passes `threshold` to the
// last such sample before a quiet gap of at least `gapSeconds`.
struct Burst {
  double start = 0, end = 0;  // seconds
  double Length() const { return end - start; }
};
inline std::vector<Burst> FindBursts(const Recording& r, double threshold = 1e-4,
                                     double gapSeconds = 0.05) {
  std::vector<Burst> bursts;
  const std::size_t gap = static_cast<std::size_t>(gapSeconds * r.rate);
  bool in = false;
  std::size_t start = 0, last = 0;
  for (std::size_t i = 0; i < r.left.size(); ++i) {
    const bool loud = std::fabs(r.left[i]) > threshold || std::fabs(r.right[i]) > threshold;
    if (loud) {
      if (!in) {
        in = true;
        start = i;
      }
      last = i;
    } else if (in && i - last > gap) {
      bursts.push_back(
          Burst{static_cast<double>(start) / r.rate, static_cast<double>(last + 1) / r.rate});
      in = false;
    }
  }
  if (in) {
    bursts.push_back(
        Burst{static_cast<double>(start) / r.rate, static_cast<double>(last + 1) / r.rate});
  }
  return bursts;
}

// Share of the power of both channels between `from` and `from + length`
// that lies at `freq` (Hann-windowed): about 1 for a lone sine of that
// frequency, near 0 when nothing there is near it.
inline double ToneShare(const Recording& r, double from, double length, double freq) {
  const std::size_t a = r.At(from), b = r.At(from + length);
  if (b <= a + 8) return 0;
  const std::size_t n = b - a;
  const double w = 2 * M_PI * freq / r.rate;
  double re = 0, im = 0, power = 0, windowSum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = 0.5 * (static_cast<double>(r.left[a + i]) + r.right[a + i]);
    const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / (n - 1));
    re += hann * x * std::cos(w * static_cast<double>(i));
    im -= hann * x * std::sin(w * static_cast<double>(i));
    power += x * x;
    windowSum += hann;
  }
  if (power <= 0) return 0;
  const double amplitude = 2 * std::sqrt(re * re + im * im) / windowSum;
  return (amplitude * amplitude / 2) / (power / static_cast<double>(n));
}

// The game's removal bells at time t: the landing pop at 1046.5 Hz, or the
// settle chime's fundamental at the pitches of small, middle and large
// removals.  A bell holds its tone for the 0.2 s looked at; none of the
// game's other sounds has a partial near these.
inline bool BellAt(const Recording& r, double t) {
  for (double f : {1046.5, 523.25, 418.6, 313.95}) {
    if (ToneShare(r, t, 0.2, f) > 0.15) return true;
  }
  return false;
}

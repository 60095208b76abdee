// Stage backgrounds "fon%d.tga": dark, quiet patterns under the well.  The
// game stretches them to a square of the window width with nearest
// sampling, so every feature is soft and a few pixels wide at least.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/gen_res/gen_res.h"

namespace {

constexpr int kSize = 1024;
// Overall brightness: dark enough for the well, light enough to be seen.
constexpr float kGain = 1.35f;

struct Colour {
  float r, g, b;
};

Colour Add(Colour c, Colour d, float k) {
  return {c.r + d.r * k, c.g + d.g * k, c.b + d.b * k};
}
Colour Lerp(Colour a, Colour b, float t) {
  return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

// Deterministic pseudo-random numbers for placing shapes.
struct Lcg {
  uint32_t s;
  float Next() {
    s = s * 1664525u + 1013904223u;
    return static_cast<float>(s >> 8) / static_cast<float>(1u << 24);
  }
};

// Low-frequency noise, computed on a coarse grid and interpolated: the
// patterns are soft, and a noise call for every pixel is what made them slow.
struct Field {
  static constexpr int kN = 256;
  std::vector<float> v;  // (kN + 1) squared values
};

struct FieldSpec {
  float freq;
  int octaves;
  uint32_t seed;
  float offsetU;
};

Field MakeField(const FieldSpec& s) {
  Field f;
  f.v.resize((Field::kN + 1) * (Field::kN + 1));
  for (int j = 0; j <= Field::kN; ++j)
    for (int i = 0; i <= Field::kN; ++i)
      f.v[j * (Field::kN + 1) + i] =
          Fbm(static_cast<float>(i) / Field::kN * s.freq + s.offsetU,
              static_cast<float>(j) / Field::kN * s.freq, s.octaves, s.seed);
  return f;
}

float Sample(const Field& f, float u, float v) {
  const float x = Clamp01(u) * Field::kN, y = Clamp01(v) * Field::kN;
  const int i = std::min(static_cast<int>(x), Field::kN - 1);
  const int j = std::min(static_cast<int>(y), Field::kN - 1);
  const float tx = x - i, ty = y - j;
  const float* row0 = &f.v[j * (Field::kN + 1) + i];
  const float* row1 = row0 + Field::kN + 1;
  return Mix(Mix(row0[0], row0[1], tx), Mix(row1[0], row1[1], tx), ty);
}

float Dither(int x, int y) {
  uint32_t h = static_cast<uint32_t>(x) * 0x27D4EB2Du ^ static_cast<uint32_t>(y) * 0x165667B1u;
  h ^= h >> 15;
  h *= 0x85EBCA77u;
  h ^= h >> 13;
  return (static_cast<float>(h & 0xFFFF) / 65535.0f - 0.5f) / 255.0f;
}

// Deep water: slow diagonal swell.
Colour Water(float u, float v, const Field& warp, const Field& ripple) {
  Colour c = Lerp({0.030f, 0.045f, 0.095f}, {0.045f, 0.075f, 0.135f}, v);
  const float w = 0.5f + 0.5f * std::sin((u * 0.8f + v) * 22.0f + Sample(warp, u, v) * 7.0f);
  c = Add(c, {0.012f, 0.022f, 0.034f}, w * w);
  return Add(c, {0.010f, 0.014f, 0.020f}, Sample(ripple, u, v));
}

// Soft lattice of diamonds on plum.
Colour Lattice(float u, float v, const Field& fadeField, const Field& cloud) {
  Colour c = Lerp({0.050f, 0.030f, 0.070f}, {0.075f, 0.040f, 0.085f}, v);
  const float period = 64.0f;
  const float a = (u + v) * kSize / period, b = (u - v) * kSize / period + 1000.0f;
  const float fa = a - std::floor(a), fb = b - std::floor(b);
  const float dist =
      std::fmin(std::fmin(fa, 1.0f - fa), std::fmin(fb, 1.0f - fb)) * period * 0.7071f;
  const float line = 1.0f - SmoothStep(0.8f, 2.6f, dist);
  const float fade = 0.35f + 0.65f * Sample(fadeField, u, v);
  c = Add(c, {0.030f, 0.018f, 0.040f}, line * fade);
  return Add(c, {0.012f, 0.006f, 0.016f}, Sample(cloud, u, v));
}

// Green marble veins.
Colour Marble(float u, float v, const Field& noise, const Field&) {
  Colour c = Lerp({0.030f, 0.058f, 0.042f}, {0.040f, 0.070f, 0.050f}, u * 0.5f + v * 0.5f);
  const float n = Sample(noise, u, v);
  const float m = std::sin(u * 7.0f + v * 3.0f + n * 9.0f);
  const float vein = std::pow(1.0f - std::fabs(m), 5.0f);
  c = Add(c, {0.030f, 0.052f, 0.034f}, vein);
  return Add(c, {0.016f, 0.022f, 0.014f}, n);
}

// Embers: ripples spreading from a warm glow.
Colour Ember(float u, float v, const Field& noise, const Field&) {
  Colour c = Lerp({0.065f, 0.030f, 0.026f}, {0.050f, 0.022f, 0.030f}, v);
  const float dx = u - 0.32f, dy = v - 0.68f;
  const float r = std::sqrt(dx * dx + dy * dy);
  const float n = Sample(noise, u, v);
  const float ring = 0.5f + 0.5f * std::sin(r * 70.0f - n * 5.0f);
  c = Add(c, {0.032f, 0.013f, 0.008f}, ring * std::exp(-r * 1.6f));
  return Add(c, {0.045f, 0.020f, 0.010f}, std::exp(-r * r * 9.0f));
}

using Pattern = Colour (*)(float u, float v, const Field& a, const Field& b);

Image Paint(Pattern pattern, const FieldSpec& specA, const FieldSpec& specB) {
  const Field a = MakeField(specA), b = MakeField(specB);
  Image img = MakeImage(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const float u = (x + 0.5f) / kSize, v = (y + 0.5f) / kSize;
      Colour c = pattern(u, v, a, b);
      const float dx = u - 0.5f, dy = v - 0.5f;
      const float vignette = kGain * (1.0f - 0.9f * (dx * dx + dy * dy));
      const float d = Dither(x, y);
      SetPixel(img, x, y, {c.r * vignette + d, c.g * vignette + d, c.b * vignette + d, 1.0f});
    }
  }
  return img;
}

// Shimmering teal bubbles, painted one disc at a time.
Image Bubbles() {
  Image img = MakeImage(kSize, kSize);
  const Field haze = MakeField({kSize / 300.0f, 2, 41u, 0.0f});
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float v = (y + 0.5f) / kSize;
      const float n = Sample(haze, (x + 0.5f) / kSize, v);
      SetPixel(img, x, y, {0.020f + 0.010f * n, Mix(0.060f, 0.085f, v), Mix(0.070f, 0.095f, v), 1});
    }
  Lcg rng{12345u};
  for (int i = 0; i < 40; ++i) {
    const float cx = rng.Next() * kSize, cy = rng.Next() * kSize;
    const float radius = 24.0f + rng.Next() * 96.0f;
    const float k = 0.012f + rng.Next() * 0.026f;
    const Colour tint = Lerp({0.35f, 0.85f, 0.80f}, {0.30f, 0.60f, 1.00f}, rng.Next());
    const int x0 = static_cast<int>(cx - radius - 2), x1 = static_cast<int>(cx + radius + 2);
    const int y0 = static_cast<int>(cy - radius - 2), y1 = static_cast<int>(cy + radius + 2);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize) continue;
        const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        const float disc = 1.0f - SmoothStep(radius - 2.5f, radius, d);
        if (disc <= 0.0f) continue;
        const float rim = SmoothStep(radius - 8.0f, radius - 1.5f, d);
        const float f = k * disc * (0.65f + 0.35f * rim);
        Rgba p = GetPixel(img, x, y);
        p.r += tint.r * f;
        p.g += tint.g * f;
        p.b += tint.b * f;
        SetPixel(img, x, y, p);
      }
  }
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float dx = (x + 0.5f) / kSize - 0.5f, dy = (y + 0.5f) / kSize - 0.5f;
      const float vignette = kGain * (1.0f - 0.9f * (dx * dx + dy * dy));
      Rgba p = GetPixel(img, x, y);
      const float d = Dither(x, y);
      SetPixel(img, x, y, {p.r * vignette + d, p.g * vignette + d, p.b * vignette + d, 1.0f});
    }
  return img;
}

}  // namespace

int GenerateBackgrounds(const std::string& resDir) {
  int ok = 1;
  ok = ok && WriteTga(resDir + "/fon1.tga", Paint(Water, {3, 3, 1u, 0}, {9, 2, 5u, 0}), 24);
  ok = ok && WriteTga(resDir + "/fon3.tga", Bubbles(), 24);
  ok = ok && WriteTga(resDir + "/fon5.tga", Paint(Lattice, {4, 2, 9u, 0}, {6, 3, 13u, 3}), 24);
  ok = ok && WriteTga(resDir + "/fon7.tga", Paint(Marble, {3, 4, 21u, 0}, {1, 1, 0u, 0}), 24);
  ok = ok && WriteTga(resDir + "/fon8.tga", Paint(Ember, {4, 3, 31u, 0}, {1, 1, 0u, 0}), 24);
  return ok;
}

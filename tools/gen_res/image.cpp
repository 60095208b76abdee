// Pictures in memory, supersampled painting, TGA output and a little maths.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/gen_res/gen_res.h"

Image MakeImage(int w, int h, Rgba fill) {
  Image img;
  img.w = w;
  img.h = h;
  img.px.resize(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < img.px.size(); i += 4) {
    img.px[i] = fill.r;
    img.px[i + 1] = fill.g;
    img.px[i + 2] = fill.b;
    img.px[i + 3] = fill.a;
  }
  return img;
}

Rgba GetPixel(const Image& img, int x, int y) {
  if (x < 0 || y < 0 || x >= img.w || y >= img.h) return {};
  const float* p = &img.px[(static_cast<size_t>(y) * img.w + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

void SetPixel(Image& img, int x, int y, Rgba c) {
  if (x < 0 || y < 0 || x >= img.w || y >= img.h) return;
  float* p = &img.px[(static_cast<size_t>(y) * img.w + x) * 4];
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
  p[3] = c.a;
}

void BlendPixel(Image& img, int x, int y, Rgba s) {
  if (x < 0 || y < 0 || x >= img.w || y >= img.h || s.a <= 0.0f) return;
  float* p = &img.px[(static_cast<size_t>(y) * img.w + x) * 4];
  const float da = p[3] * (1.0f - s.a);
  const float a = s.a + da;
  p[0] = (s.r * s.a + p[0] * da) / a;
  p[1] = (s.g * s.a + p[1] * da) / a;
  p[2] = (s.b * s.a + p[2] * da) / a;
  p[3] = a;
}

void BlendImage(Image& dst, const Image& src, int x, int y, float opacity) {
  for (int j = 0; j < src.h; ++j) {
    for (int i = 0; i < src.w; ++i) {
      Rgba c = GetPixel(src, i, j);
      c.a *= opacity;
      BlendPixel(dst, x + i, y + j, c);
    }
  }
}

Image PaintImage(int w, int h, int samples, Sampler fn, const void* ctx) {
  Image img = MakeImage(w, h);
  const float step = 1.0f / samples;
  const float norm = 1.0f / (samples * samples);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgba sum;
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const Rgba c = fn(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step, ctx);
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
          sum.a += c.a;
        }
      }
      // Averaged premultiplied colour back to straight alpha.
      const float a = sum.a * norm;
      if (a > 1e-6f) {
        SetPixel(img, x, y, {sum.r * norm / a, sum.g * norm / a, sum.b * norm / a, a});
      }
    }
  }
  return img;
}

void BleedColour(Image& img, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    Image next = img;
    for (int y = 0; y < img.h; ++y)
      for (int x = 0; x < img.w; ++x) {
        if (GetPixel(img, x, y).a > 0.0f) continue;
        Rgba sum;
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const Rgba c = GetPixel(img, x + dx, y + dy);
            if (c.a <= 0.0f && !(c.r > 0.0f || c.g > 0.0f || c.b > 0.0f)) continue;
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
            ++n;
          }
        if (n > 0) SetPixel(next, x, y, {sum.r / n, sum.g / n, sum.b / n, 0.0f});
      }
    img = std::move(next);
  }
}

namespace {

uint8_t ToByte(float v) {
  return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

// One row of pixels as B, G, R (, A) bytes.
void RowBytes(const Image& img, int y, int bpp, std::vector<uint8_t>& out) {
  out.clear();
  for (int x = 0; x < img.w; ++x) {
    const Rgba c = GetPixel(img, x, y);
    out.push_back(ToByte(c.b));
    out.push_back(ToByte(c.g));
    out.push_back(ToByte(c.r));
    if (bpp == 4) out.push_back(ToByte(c.a));
  }
}

// Run-length packets that stay within one row, as most readers expect.
void EncodeRleRow(const std::vector<uint8_t>& row, int bpp, std::vector<uint8_t>& out) {
  const int n = static_cast<int>(row.size()) / bpp;
  auto same = [&](int i, int j) {
    return std::equal(row.begin() + i * bpp, row.begin() + (i + 1) * bpp, row.begin() + j * bpp);
  };
  int i = 0;
  while (i < n) {
    int run = 1;
    while (i + run < n && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), row.begin() + i * bpp, row.begin() + (i + 1) * bpp);
      i += run;
      continue;
    }
    // Literal packet up to the next pair of equal pixels.
    int lit = 1;
    while (i + lit < n && lit < 128 && !(i + lit + 1 < n && same(i + lit, i + lit + 1))) ++lit;
    out.push_back(static_cast<uint8_t>(lit - 1));
    out.insert(out.end(), row.begin() + i * bpp, row.begin() + (i + lit) * bpp);
    i += lit;
  }
}

}  // namespace

int WriteTga(const std::string& path, const Image& img, int bits) {
  if (img.w <= 0 || img.h <= 0 || img.w > 65535 || img.h > 65535) return 0;
  if (bits != 24 && bits != 32) return 0;
  const int bpp = bits / 8;
  std::vector<uint8_t> raw, rle, row;
  raw.reserve(static_cast<size_t>(img.w) * img.h * bpp);
  for (int y = 0; y < img.h; ++y) {
    RowBytes(img, y, bpp, row);
    raw.insert(raw.end(), row.begin(), row.end());
    EncodeRleRow(row, bpp, rle);
  }
  const bool useRle = rle.size() < raw.size();
  uint8_t header[18] = {};
  header[2] = useRle ? 10 : 2;
  header[12] = static_cast<uint8_t>(img.w & 0xFF);
  header[13] = static_cast<uint8_t>(img.w >> 8);
  header[14] = static_cast<uint8_t>(img.h & 0xFF);
  header[15] = static_cast<uint8_t>(img.h >> 8);
  header[16] = static_cast<uint8_t>(bits);
  header[17] = static_cast<uint8_t>(0x20 | (bits == 32 ? 8 : 0));  // top row first
  std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
  const auto& data = useRle ? rle : raw;
  bytes.append(reinterpret_cast<const char*>(data.data()), data.size());
  return WriteFileBytes(path, bytes);
}

int WriteFileBytes(const std::string& path, const std::string& bytes) {
  const std::string tmp = path + ".tmp";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "gen_res: cannot write %s\n", tmp.c_str());
    return 0;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::remove(tmp.c_str());
    std::fprintf(stderr, "gen_res: cannot write %s\n", tmp.c_str());
    return 0;
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    std::fprintf(stderr, "gen_res: cannot rename %s\n", tmp.c_str());
    return 0;
  }
  return 1;
}

int MakeDirs(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "gen_res: cannot create %s\n", dir.c_str());
    return 0;
  }
  return 1;
}

float Clamp01(float v) {
  return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float Mix(float a, float b, float t) {
  return a + (b - a) * t;
}

float SmoothStep(float e0, float e1, float v) {
  const float t = Clamp01((v - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

float RoundRectDist(float x, float y, float cx, float cy, float hx, float hy, float r) {
  const float qx = std::fabs(x - cx) - (hx - r);
  const float qy = std::fabs(y - cy) - (hy - r);
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

namespace {

float Hash2(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
               seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

}  // namespace

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3.0f - 2.0f * tx);
  ty = ty * ty * (3.0f - 2.0f * ty);
  const float a = Hash2(ix, iy, seed), b = Hash2(ix + 1, iy, seed);
  const float c = Hash2(ix, iy + 1, seed), d = Hash2(ix + 1, iy + 1, seed);
  return Mix(Mix(a, b, tx), Mix(c, d, tx), ty);
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0.0f, amp = 0.5f, norm = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u);
    norm += amp;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f - 9.7f;
    amp *= 0.5f;
  }
  return sum / norm;
}

TextMask DilateMask(const TextMask& m, float radius) {
  const int r = static_cast<int>(std::ceil(radius + 0.5f));
  TextMask out;
  out.w = m.w + 2 * r;
  out.h = m.h + 2 * r;
  out.baseline = m.baseline + r;
  out.a.assign(static_cast<size_t>(out.w) * out.h, 0.0f);
  for (int y = 0; y < out.h; ++y) {
    for (int x = 0; x < out.w; ++x) {
      float best = 0.0f;
      for (int dy = -r; dy <= r; ++dy) {
        const int sy = y - r + dy;
        if (sy < 0 || sy >= m.h) continue;
        for (int dx = -r; dx <= r; ++dx) {
          const int sx = x - r + dx;
          if (sx < 0 || sx >= m.w) continue;
          const float v = m.a[static_cast<size_t>(sy) * m.w + sx];
          if (v <= best) continue;
          const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
          best = std::max(best, v * Clamp01(radius + 0.5f - d));
        }
      }
      out.a[static_cast<size_t>(y) * out.w + x] = best;
    }
  }
  return out;
}

TextMask BlurMask(const TextMask& m, int radius) {
  // Two box passes each way: close enough to a gaussian for a shadow.
  TextMask out;
  out.w = m.w + 4 * radius;
  out.h = m.h + 4 * radius;
  out.baseline = m.baseline + 2 * radius;
  out.a.assign(static_cast<size_t>(out.w) * out.h, 0.0f);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x)
      out.a[static_cast<size_t>(y + 2 * radius) * out.w + x + 2 * radius] =
          m.a[static_cast<size_t>(y) * m.w + x];
  std::vector<float> tmp(out.a.size());
  const float inv = 1.0f / (2 * radius + 1);
  for (int pass = 0; pass < 2; ++pass) {
    for (int y = 0; y < out.h; ++y)
      for (int x = 0; x < out.w; ++x) {
        float s = 0.0f;
        for (int k = -radius; k <= radius; ++k) {
          const int sx = x + k;
          if (sx >= 0 && sx < out.w) s += out.a[static_cast<size_t>(y) * out.w + sx];
        }
        tmp[static_cast<size_t>(y) * out.w + x] = s * inv;
      }
    for (int y = 0; y < out.h; ++y)
      for (int x = 0; x < out.w; ++x) {
        float s = 0.0f;
        for (int k = -radius; k <= radius; ++k) {
          const int sy = y + k;
          if (sy >= 0 && sy < out.h) s += tmp[static_cast<size_t>(sy) * out.w + x];
        }
        out.a[static_cast<size_t>(y) * out.w + x] = s * inv;
      }
  }
  return out;
}

// Desktop icons: the piece of the title picture, cut out and scaled to the
// sizes desktops ask for, written as PNG.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/gen_res/gen_res.h"

namespace {

// The piece with its ring sits around (256, 340) of the title picture.
constexpr int kCropX = 152, kCropY = 236, kCropSize = 208;
constexpr int kSizes[] = {48, 64, 128, 256};

// Area-weighted resampling of a square part of img (straight alpha, so the
// colours are weighted by coverage).
Image Resample(const Image& img, int x0, int y0, int size, int out) {
  Image r = MakeImage(out, out);
  const double scale = static_cast<double>(size) / out;
  for (int y = 0; y < out; ++y) {
    for (int x = 0; x < out; ++x) {
      const double sx0 = x0 + x * scale, sx1 = sx0 + scale;
      const double sy0 = y0 + y * scale, sy1 = sy0 + scale;
      double sum[4] = {0, 0, 0, 0}, area = 0;
      for (int py = static_cast<int>(std::floor(sy0)); py < static_cast<int>(std::ceil(sy1));
           ++py) {
        const double wy = std::min<double>(py + 1, sy1) - std::max<double>(py, sy0);
        for (int px = static_cast<int>(std::floor(sx0)); px < static_cast<int>(std::ceil(sx1));
             ++px) {
          const double wx = std::min<double>(px + 1, sx1) - std::max<double>(px, sx0);
          const double w = wx * wy;
          if (w <= 0) continue;
          const Rgba c = GetPixel(img, px, py);
          sum[0] += c.r * c.a * w;
          sum[1] += c.g * c.a * w;
          sum[2] += c.b * c.a * w;
          sum[3] += c.a * w;
          area += w;
        }
      }
      const double a = area > 0 ? sum[3] / area : 0;
      const double k = sum[3] > 0 ? 1.0 / sum[3] : 0;
      SetPixel(r, x, y,
               {static_cast<float>(sum[0] * k), static_cast<float>(sum[1] * k),
                static_cast<float>(sum[2] * k), static_cast<float>(a)});
    }
  }
  return r;
}

void PutBigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  PutBigEndian(out, static_cast<uint32_t>(
                        crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

uint8_t Byte(float v) {
  return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

int WritePng(const std::string& path, const Image& img) {
  std::string raw;
  raw.reserve(static_cast<size_t>(img.w * 4 + 1) * img.h);
  for (int y = 0; y < img.h; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < img.w; ++x) {
      const Rgba c = GetPixel(img, x, y);
      raw += static_cast<char>(Byte(c.r));
      raw += static_cast<char>(Byte(c.g));
      raw += static_cast<char>(Byte(c.b));
      raw += static_cast<char>(Byte(c.a));
    }
  }
  uLongf packedSize = compressBound(raw.size());
  std::vector<Bytef> packed(packedSize);
  if (compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(raw.data()), raw.size(),
                9) != Z_OK) {
    return 0;
  }
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(img.w));
  PutBigEndian(header, static_cast<uint32_t>(img.h));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", std::string(reinterpret_cast<const char*>(packed.data()), packedSize));
  PutChunk(png, "IEND", std::string());
  return WriteFileBytes(path, png);
}

}  // namespace

int GenerateIcons(const std::string& fontDir, const std::string& outDir) {
  if (!MakeDirs(outDir)) return 0;
  const Image title = PaintTitle(fontDir);
  int ok = 1;
  for (int size : kSizes) {
    const Image icon = Resample(title, kCropX, kCropY, kCropSize, size);
    ok = ok && WritePng(outDir + "/st-dromo-" + std::to_string(size) + ".png", icon);
  }
  return ok;
}

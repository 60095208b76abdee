// Image files: the TGA decoder and the raw pixel dump.  No GL here, so the
// decoders can be tested headless.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/file_util.h"
#include "gfx/texture.h"
#include "platform/platform.h"

namespace {

constexpr size_t kTgaHeaderSize = 18;
constexpr size_t kRawHeaderSize = 12;

uint32_t Le16(const uint8_t* p) {
  return p[0] | (p[1] << 8);
}
int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

void Error(const char* text) {
  MessageBox(text, "Error", MB_OK);
}

// Walks the destination in file order: rows bottom-up, or top-down when the
// file starts with the top row, so the result is always bottom row first.
struct PixelCursor {
  uint8_t* base;
  size_t rowBytes;
  uint32_t width, height;
  uint32_t bpp;  // bytes per pixel
  bool topFirst;
  uint32_t row = 0, col = 0;

  uint8_t* Next() {
    const uint32_t destRow = topFirst ? height - 1 - row : row;
    uint8_t* p = base + destRow * rowBytes + static_cast<size_t>(col) * bpp;
    if (++col == width) {
      col = 0;
      ++row;
    }
    return p;
  }
};

// File pixels are B, G, R (, A).
void PutPixel(uint8_t* dst, const uint8_t* src, uint32_t bpp) {
  dst[0] = src[2];
  dst[1] = src[1];
  dst[2] = src[0];
  if (bpp == 4) dst[3] = src[3];
}

// Run-length packets may cross row ends.  0 when the stream ends before the
// picture is complete.  Packets running past the last pixel are cut off.
int DecodeRle(const uint8_t* src, size_t size, PixelCursor& cur, size_t pixelCount) {
  size_t pos = 0, done = 0;
  const uint32_t bpp = cur.bpp;
  while (done < pixelCount) {
    if (pos >= size) return 0;
    const uint8_t head = src[pos++];
    size_t n = (head & 0x7F) + 1u;
    if (n > pixelCount - done) n = pixelCount - done;
    if (head & 0x80) {
      if (size - pos < bpp) return 0;
      for (size_t i = 0; i < n; ++i) PutPixel(cur.Next(), src + pos, bpp);
      pos += bpp;
    } else {
      if ((size - pos) / bpp < n) return 0;
      for (size_t i = 0; i < n; ++i, pos += bpp) PutPixel(cur.Next(), src + pos, bpp);
      // A literal packet cut at the picture's end still owns its other pixels;
      // they are simply not needed.
    }
    done += n;
  }
  return 1;
}

}  // namespace

int DecodeTga(const uint8_t* bytes, size_t size, DecodedImage& out) {
  out = DecodedImage{};
  if (bytes == nullptr || size < kTgaHeaderSize) return 0;
  const uint8_t mapType = bytes[1], type = bytes[2];
  const uint32_t width = Le16(bytes + 12), height = Le16(bytes + 14);
  const uint32_t depth = bytes[16];
  const bool topFirst = (bytes[17] & 0x20) != 0;
  if (type != 2 && type != 10) {
    Error("Only TGA (Uncompr. RGB) or (RLE RGB) image types");
    return 0;
  }
  if (mapType != 0 || (depth != 24 && depth != 32)) {
    Error("Only TGA (24) or (32) bit pixel");
    return 0;
  }
  if (width == 0 || height == 0) return 0;

  // Pixel data always starts right after the header (no image ID is read).
  const uint8_t* src = bytes + kTgaHeaderSize;
  const size_t srcSize = size - kTgaHeaderSize;
  const uint32_t bpp = depth / 8;
  const size_t pixelCount = static_cast<size_t>(width) * height;  // below 2^32
  // Refuse before allocating when the data cannot possibly fill the picture:
  // a tiny file must not claim gigabytes.
  if (type == 2) {
    if (srcSize / bpp < pixelCount) return 0;
  } else {
    const size_t minPackets = (pixelCount + 127) / 128;
    if (srcSize / (1 + bpp) < minPackets) return 0;
  }

  auto* pixels = static_cast<uint8_t*>(std::malloc(pixelCount * bpp));
  if (pixels == nullptr) {
    Error("TargaDecode can't allocate memory");
    return 0;
  }
  PixelCursor cur{pixels, static_cast<size_t>(width) * bpp, width, height, bpp, topFirst};
  if (type == 2) {
    for (size_t i = 0; i < pixelCount; ++i) PutPixel(cur.Next(), src + i * bpp, bpp);
  } else if (!DecodeRle(src, srcSize, cur, pixelCount)) {
    std::free(pixels);
    return 0;
  }
  out.pixels = pixels;
  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  out.bitsPerPixel = static_cast<int32_t>(depth);
  return 1;
}

void FreePixels(TextureSlot& slot) {
  std::free(slot.pixels);
  slot.pixels = nullptr;
}

namespace {

// Width, height, bytes per pixel (3 = RGB, anything else RGBA), then the
// pixels in upload order.  The sizes are checked against the file length.
int DecodeRaw(const uint8_t* bytes, size_t size, DecodedImage& out) {
  out = DecodedImage{};
  if (size < kRawHeaderSize) return 0;
  const int32_t width = Le32(bytes), height = Le32(bytes + 4);
  const uint32_t bpp = Le32(bytes + 8) == 3 ? 3 : 4;
  if (width <= 0 || height <= 0) return 0;
  const size_t available = (size - kRawHeaderSize) / bpp;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > available) return 0;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * bpp;
  auto* pixels = static_cast<uint8_t*>(std::malloc(count));
  if (pixels == nullptr) return 0;
  std::memcpy(pixels, bytes + kRawHeaderSize, count);
  out.pixels = pixels;
  out.width = width;
  out.height = height;
  out.bitsPerPixel = bpp == 3 ? 24 : 32;
  return 1;
}

// "x.tga" style names (a dot four characters from the end) are TGA files.
bool IsTgaName(const char* name) {
  const size_t n = std::strlen(name);
  return n >= 4 && name[n - 4] == '.';
}

}  // namespace

int LoadImageBytes(ByteReader& file, const char* fileName, bool tga) {
  if (fileName == nullptr || fileName[0] == '\0') return 0;
  // The header says how much the picture can use; nothing beyond that is
  // read, however long the file.
  ByteReader head;
  if (!LoadFileToReader(head, fileName, tga ? kTgaHeaderSize : kRawHeaderSize)) return 0;
  uint64_t limit = head.size;
  if (tga && head.size == kTgaHeaderSize) {
    const uint64_t pixels = static_cast<uint64_t>(Le16(head.data + 12)) * Le16(head.data + 14);
    const uint64_t bpp = head.data[16] / 8;
    // Run-length data is longest when every pixel is a packet of its own.
    limit = kTgaHeaderSize + pixels * (head.data[2] == 10 ? bpp + 1 : bpp);
  } else if (!tga && head.size == kRawHeaderSize) {
    const int32_t w = Le32(head.data), h = Le32(head.data + 4);
    const uint64_t bpp = Le32(head.data + 8) == 3 ? 3 : 4;
    if (w > 0 && h > 0) limit = kRawHeaderSize + static_cast<uint64_t>(w) * h * bpp;
  }
  ReleaseReader(head);
  return LoadFileToReader(file, fileName,
                          static_cast<uint32_t>(std::min<uint64_t>(limit, kReaderLimit)));
}

int ReadImageSize(const char* fileName, int32_t* width, int32_t* height) {
  if (fileName == nullptr || fileName[0] == '\0') return 0;
  const bool tga = IsTgaName(fileName);
  ByteReader head;
  if (!LoadFileToReader(head, fileName, tga ? kTgaHeaderSize : kRawHeaderSize)) return 0;
  int ok = 0;
  if (tga && head.size == kTgaHeaderSize) {
    const uint8_t* b = head.data;
    *width = static_cast<int32_t>(Le16(b + 12));
    *height = static_cast<int32_t>(Le16(b + 14));
    ok = (b[2] == 2 || b[2] == 10) && b[1] == 0 && (b[16] == 24 || b[16] == 32) && *width > 0 &&
         *height > 0;
  } else if (!tga && head.size == kRawHeaderSize) {
    *width = Le32(head.data);
    *height = Le32(head.data + 4);
    ok = *width > 0 && *height > 0;
  }
  ReleaseReader(head);
  return ok;
}

int LoadImageFile(TextureSlot& slot, const char* fileName) {
  FreePixels(slot);
  if (fileName == nullptr || fileName[0] == '\0') return 0;
  ByteReader file;
  if (!LoadImageBytes(file, fileName, IsTgaName(fileName))) return 0;
  DecodedImage img;
  const int ok = IsTgaName(fileName) ? DecodeTga(file.data, file.size, img)
                                     : DecodeRaw(file.data, file.size, img);
  ReleaseReader(file);
  if (!ok) return 0;
  slot.pixels = img.pixels;
  slot.width = img.width;
  slot.height = img.height;
  slot.bitsPerPixel = img.bitsPerPixel;
  return 1;
}

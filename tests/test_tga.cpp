// The TGA decoder and the raw pixel format: accepted layouts, rejections with
// their messages, and hostile files that must never be read past their end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "platform/platform.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A picture as RGB(A) rows, bottom row first: the order the decoder returns.
struct Picture {
  int width, height, bpp;  // bytes per pixel
  Bytes rgba;
};

Picture Gradient(int w, int h, int bpp) {
  Picture p{w, h, bpp, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.rgba.push_back(static_cast<uint8_t>(10 + x));
      p.rgba.push_back(static_cast<uint8_t>(100 + y));
      p.rgba.push_back(static_cast<uint8_t>(200 + x + y));
      if (bpp == 4) p.rgba.push_back(static_cast<uint8_t>(50 + 7 * x + y));
    }
  return p;
}

Bytes Header(int type, int w, int h, int depth, uint8_t descriptor, uint8_t mapType = 0) {
  Bytes b(18, 0);
  b[1] = mapType;
  b[2] = static_cast<uint8_t>(type);
  b[12] = static_cast<uint8_t>(w & 0xFF);
  b[13] = static_cast<uint8_t>(w >> 8);
  b[14] = static_cast<uint8_t>(h & 0xFF);
  b[15] = static_cast<uint8_t>(h >> 8);
  b[16] = static_cast<uint8_t>(depth);
  b[17] = descriptor;
  return b;
}

// File pixel of picture pixel (x, y): B, G, R (, A).
void AppendFilePixel(Bytes& out, const Picture& p, int x, int y) {
  const uint8_t* s = &p.rgba[(static_cast<size_t>(y) * p.width + x) * p.bpp];
  out.insert(out.end(), {s[2], s[1], s[0]});
  if (p.bpp == 4) out.push_back(s[3]);
}

Bytes UncompressedTga(const Picture& p, bool topFirst) {
  Bytes b = Header(2, p.width, p.height, p.bpp * 8, topFirst ? 0x20 : 0x00);
  for (int r = 0; r < p.height; ++r) {
    const int y = topFirst ? p.height - 1 - r : r;
    for (int x = 0; x < p.width; ++x) AppendFilePixel(b, p, x, y);
  }
  return b;
}

// The decoder gets a heap block of exactly the file's length, so that any
// read past the end is caught by the address sanitizer.
int Decode(const Bytes& file, DecodedImage& out) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() + (file.empty() ? 1 : 0)]);
  if (!file.empty()) std::memcpy(exact.get(), file.data(), file.size());
  return DecodeTga(exact.get(), file.size(), out);
}

Bytes Pixels(const DecodedImage& img) {
  const size_t n = static_cast<size_t>(img.width) * img.height * (img.bitsPerPixel / 8);
  return Bytes(img.pixels, img.pixels + n);
}

struct BoxLog {
  std::vector<std::string> texts, captions;
  std::vector<uint32_t> flags;
};
BoxLog gBoxes;

int RecordBox(const char* text, const char* caption, uint32_t flags) {
  gBoxes.texts.push_back(text);
  gBoxes.captions.push_back(caption);
  gBoxes.flags.push_back(flags);
  return IDOK;
}

class TgaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gBoxes = BoxLog{};
    SetMessageBoxHook(RecordBox);
  }
  void TearDown() override {
    std::free(img.pixels);
    SetMessageBoxHook(nullptr);
  }
  // Decodes into `img`, freeing the previous result.
  int Run(const Bytes& file) {
    std::free(img.pixels);
    img = DecodedImage{};
    return Decode(file, img);
  }
  DecodedImage img;
};

TEST_F(TgaTest, BothRowOriginsGiveTheSameBottomFirstBuffer) {
  for (int bpp : {3, 4}) {
    SCOPED_TRACE(bpp * 8);
    const Picture p = Gradient(5, 3, bpp);
    ASSERT_EQ(Run(UncompressedTga(p, false)), 1);
    EXPECT_EQ(img.width, 5);
    EXPECT_EQ(img.height, 3);
    EXPECT_EQ(img.bitsPerPixel, bpp * 8);
    EXPECT_EQ(Pixels(img), p.rgba);
    ASSERT_EQ(Run(UncompressedTga(p, true)), 1);
    EXPECT_EQ(Pixels(img), p.rgba);
  }
  EXPECT_TRUE(gBoxes.texts.empty());
}

TEST_F(TgaTest, ImageIdLengthAndHorizontalOriginAreIgnored) {
  const Picture p = Gradient(2, 2, 3);
  Bytes file = UncompressedTga(p, false);
  file[0] = 7;       // pixel data still starts at byte 18
  file[17] |= 0x10;  // right-to-left flag: not honoured
  ASSERT_EQ(Run(file), 1);
  EXPECT_EQ(Pixels(img), p.rgba);
}

TEST_F(TgaTest, RunLengthPacketsContinueAcrossRowEnds) {
  // 3 x 2 picture, bottom row first in the file: a run of 4 red pixels fills
  // the bottom row and the first pixel of the top row, then 2 literals.
  for (bool topFirst : {false, true}) {
    SCOPED_TRACE(topFirst);
    Bytes f = Header(10, 3, 2, 24, topFirst ? 0x20 : 0);
    f.insert(f.end(), {0x83, 0, 0, 255});             // run of 4, B G R
    f.insert(f.end(), {0x01, 255, 0, 0, 0, 255, 0});  // 2 literals: blue, green
    ASSERT_EQ(Run(f), 1);
    const Bytes red = {255, 0, 0}, blue = {0, 0, 255}, green = {0, 255, 0};
    Bytes firstRow = red, secondRow;
    firstRow.insert(firstRow.end(), red.begin(), red.end());
    firstRow.insert(firstRow.end(), red.begin(), red.end());
    secondRow = red;
    secondRow.insert(secondRow.end(), blue.begin(), blue.end());
    secondRow.insert(secondRow.end(), green.begin(), green.end());
    // The file's first row is the bottom row, or the top row when flagged.
    Bytes want = topFirst ? secondRow : firstRow;
    const Bytes& upper = topFirst ? firstRow : secondRow;
    want.insert(want.end(), upper.begin(), upper.end());
    EXPECT_EQ(Pixels(img), want);
  }
}

TEST_F(TgaTest, RunLength32BitMatchesUncompressed) {
  const Picture p = Gradient(4, 4, 4);
  Bytes f = Header(10, 4, 4, 32, 0);
  // Alternate literal packets of 3 and runs of 1 (a run of one is legal).
  int i = 0;
  while (i < 16) {
    const int n = std::min(3, 16 - i);
    f.push_back(static_cast<uint8_t>(n - 1));
    for (int k = 0; k < n; ++k, ++i) AppendFilePixel(f, p, i % 4, i / 4);
    if (i < 16) {
      f.push_back(0x80);
      AppendFilePixel(f, p, i % 4, i / 4);
      ++i;
    }
  }
  ASSERT_EQ(Run(f), 1);
  EXPECT_EQ(Pixels(img), p.rgba);
}

TEST_F(TgaTest, RunPastTheLastPixelIsCutOff) {
  Bytes f = Header(10, 2, 1, 24, 0);
  f.insert(f.end(), {0xFF, 1, 2, 3});  // a run of 128 for a 2-pixel picture
  ASSERT_EQ(Run(f), 1);
  EXPECT_EQ(Pixels(img), (Bytes{3, 2, 1, 3, 2, 1}));
}

TEST_F(TgaTest, UnsupportedTypesAndDepthsAreRefusedWithTheirMessage) {
  const char* kType = "Only TGA (Uncompr. RGB) or (RLE RGB) image types";
  const char* kDepth = "Only TGA (24) or (32) bit pixel";
  struct Case {
    int type, depth, mapType;
    const char* message;
  };
  const Case cases[] = {
      {0, 24, 0, kType},  {1, 24, 0, kType},   {3, 24, 0, kType}, {9, 24, 0, kType},
      {11, 32, 0, kType}, {2, 16, 0, kDepth},  {2, 8, 0, kDepth}, {10, 15, 0, kDepth},
      {2, 24, 1, kDepth}, {10, 32, 1, kDepth}, {2, 0, 0, kDepth},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type << " depth " << c.depth);
    gBoxes = BoxLog{};
    Bytes f = Header(c.type, 1, 1, c.depth, 0, static_cast<uint8_t>(c.mapType));
    f.resize(f.size() + 8, 0);
    EXPECT_EQ(Run(f), 0);
    EXPECT_EQ(img.pixels, nullptr);
    ASSERT_EQ(gBoxes.texts.size(), 1u);
    EXPECT_EQ(gBoxes.texts[0], c.message);
    EXPECT_EQ(gBoxes.captions[0], "Error");
    EXPECT_EQ(gBoxes.flags[0], static_cast<uint32_t>(MB_OK));
  }
}

TEST_F(TgaTest, EveryTruncationIsRefused) {
  const Picture p = Gradient(3, 3, 4);
  Bytes rle = Header(10, 3, 3, 32, 0);
  for (int i = 0; i < 9; ++i) {
    rle.push_back(i % 2 ? 0x80 : 0x00);  // alternate run and literal of one
    AppendFilePixel(rle, p, i % 3, i / 3);
  }
  for (const Bytes& whole : {UncompressedTga(p, false), UncompressedTga(p, true), rle}) {
    ASSERT_EQ(Run(whole), 1);
    for (size_t n = 0; n < whole.size(); ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ(Run(Bytes(whole.begin(), whole.begin() + static_cast<long>(n))), 0);
      EXPECT_EQ(img.pixels, nullptr);
    }
  }
  EXPECT_TRUE(gBoxes.texts.empty());  // a damaged file fails quietly
}

TEST_F(TgaTest, HugeAndZeroSizesAreRefused) {
  struct Case {
    int type, w, h;
  };
  const Case cases[] = {{2, 65535, 65535}, {10, 65535, 65535}, {10, 1000, 1000},
                        {2, 0, 5},         {2, 5, 0},          {10, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.type << ": " << c.w << " x " << c.h);
    Bytes f = Header(c.type, c.w, c.h, 32, 0);
    // A few packets of 128 pixels: far too few for the claimed size.
    for (int i = 0; i < 4; ++i) f.insert(f.end(), {0xFF, 1, 2, 3, 4});
    EXPECT_EQ(Run(f), 0);
  }
}

TEST_F(TgaTest, RandomBytesNeverReadPastTheEnd) {
  std::mt19937 rng(1234);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes f(rng() % 120);
    for (uint8_t& b : f) b = static_cast<uint8_t>(rng());
    if (f.size() >= 18) {
      // Mostly plausible headers, so the pixel paths are exercised.
      f[1] = 0;
      f[2] = (rng() % 2) ? 2 : 10;
      f[12] = static_cast<uint8_t>(rng() % 6);
      f[13] = 0;
      f[14] = static_cast<uint8_t>(rng() % 6);
      f[15] = 0;
      f[16] = (rng() % 2) ? 24 : 32;
    }
    if (Run(f) == 1) {
      ++accepted;
      const size_t need = static_cast<size_t>(img.width) * img.height * (img.bitsPerPixel / 8);
      ASSERT_GT(need, 0u);
      // Uncompressed data must really have been there.
      if (f[2] == 2) {
        ASSERT_LE(18 + need, f.size());
      }
    }
  }
  EXPECT_GT(accepted, 0);  // the sample did reach the decoding paths
}

// ------------------------------------------------------------ image files

class ImageFileTest : public TgaTest {
 protected:
  void SetUp() override {
    TgaTest::SetUp();
    char tmpl[] = "/tmp/dromo-tga-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    FreePixels(slot);
    std::filesystem::remove_all(dir);
    TgaTest::TearDown();
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  }
  static Bytes RawFile(int32_t w, int32_t h, int32_t bpp, const Bytes& pixels) {
    Bytes b;
    for (int32_t v : {w, h, bpp})
      for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
  }
  Bytes SlotPixels() const {
    const size_t n = static_cast<size_t>(slot.width) * slot.height * (slot.bitsPerPixel / 8);
    return Bytes(slot.pixels, slot.pixels + n);
  }
  std::string dir;
  TextureSlot slot;
};

TEST_F(ImageFileTest, NamesWithAFourCharacterExtensionAreTga) {
  const Picture p = Gradient(3, 2, 3);
  for (const char* name : {"pic.tga", "PIC.TGA", "pic.bmp"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(LoadImageFile(slot, Write(name, UncompressedTga(p, true)).c_str()), 1);
    EXPECT_EQ(slot.width, 3);
    EXPECT_EQ(slot.height, 2);
    EXPECT_EQ(slot.bitsPerPixel, 24);
    EXPECT_EQ(SlotPixels(), p.rgba);  // loading again freed the old pixels
  }
}

TEST_F(ImageFileTest, RawFilesCarryTheirSizeAndDepth) {
  struct Case {
    int32_t bytesField;
    int bits;
  };
  for (Case c : {Case{3, 24}, Case{4, 32}, Case{7, 32}, Case{0, 32}}) {
    SCOPED_TRACE(c.bytesField);
    const Picture p = Gradient(2, 3, c.bits / 8);
    ASSERT_EQ(LoadImageFile(slot, Write("picture", RawFile(2, 3, c.bytesField, p.rgba)).c_str()),
              1);
    EXPECT_EQ(slot.width, 2);
    EXPECT_EQ(slot.height, 3);
    EXPECT_EQ(slot.bitsPerPixel, c.bits);
    EXPECT_EQ(SlotPixels(), p.rgba);  // taken as stored, bottom row first
  }
}

TEST_F(ImageFileTest, BadRawFilesAndMissingFilesFail) {
  const Bytes six(2 * 3 * 3, 9);
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"short pixels", RawFile(2, 3, 3, Bytes(six.begin(), six.end() - 1))},
      {"short header", Bytes{2, 0, 0, 0, 3, 0, 0}},
      {"empty", Bytes{}},
      {"zero width", RawFile(0, 3, 3, six)},
      {"negative height", RawFile(2, -3, 3, six)},
      {"huge", RawFile(0x7FFFFFFF, 0x7FFFFFFF, 4, six)},
      {"32-bit data for 24", RawFile(2, 3, 4, six)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Old pixels go even when the new file fails.
    ASSERT_EQ(LoadImageFile(slot, Write("ok", RawFile(1, 1, 3, {1, 2, 3})).c_str()), 1);
    EXPECT_EQ(LoadImageFile(slot, Write("bad", c.file).c_str()), 0);
    EXPECT_EQ(slot.pixels, nullptr);
  }
  EXPECT_EQ(LoadImageFile(slot, (dir + "/missing.tga").c_str()), 0);
  EXPECT_EQ(LoadImageFile(slot, ""), 0);
  EXPECT_TRUE(gBoxes.texts.empty());
}

}  // namespace

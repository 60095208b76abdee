// Textures in a real GL context: filters, hand-made mip levels, the texture
// list with its slot rules, binding and release.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/gl_context.h"
#include "gfx/texture.h"
#include "platform/platform.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Rgba {
  uint8_t r, g, b, a;
};

// A solid TGA picture, bottom row first.
Bytes SolidTga(int w, int h, int bits, Rgba c) {
  Bytes b(18, 0);
  b[2] = 2;
  b[12] = static_cast<uint8_t>(w & 0xFF);
  b[13] = static_cast<uint8_t>(w >> 8);
  b[14] = static_cast<uint8_t>(h & 0xFF);
  b[15] = static_cast<uint8_t>(h >> 8);
  b[16] = static_cast<uint8_t>(bits);
  for (int i = 0; i < w * h; ++i) {
    b.insert(b.end(), {c.b, c.g, c.r});
    if (bits == 32) b.push_back(c.a);
  }
  return b;
}

int QuietBox(const char*, const char*, uint32_t) {
  return IDOK;
}

// Each test gets a fresh hidden GL context and a temporary folder.
class TextureTest : public GlSuite<32, 32> {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_TRUE(sContext) << "no GL context although DISPLAY is set";
    haveContext = true;
    ResetGlState(32, 32);
    char tmpl[] = "/tmp/dromo-tex-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    SetMessageBoxHook(QuietBox);
    store = std::make_unique<TextureStore>();
  }
  void TearDown() override {
    if (!haveContext) return;
    ReleaseStore(*store);
    FreePixels(slot);
    DeleteTexture(slot);
    SetMessageBoxHook(nullptr);
    std::filesystem::remove_all(dir);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
  }
  std::string WriteText(const std::string& name, const std::string& text) {
    return Write(name, Bytes(text.begin(), text.end()));
  }
  // One list entry: heading, slot, file name, mip levels.
  std::string Entry(int s, const std::string& file, int mip = 0) {
    return "-- entry\n" + std::to_string(s) + " slot\n  " + dir + "/" + file + " \t\n" +
           std::to_string(mip) + " mip levels\n";
  }
  std::string List(int n, const std::string& entries) {
    return "texture list\n" + std::to_string(n) + " entries\n" + entries;
  }
  int Load(const std::string& listText) {
    return LoadTextureList(*store, WriteText("list.txt", listText).c_str());
  }
  static GLint Param(GLenum name) {
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
    return v;
  }
  static GLint BoundTexture() {
    GLint v = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
    return v;
  }
  // First pixel of a level of the bound texture, as RGB.
  static std::vector<int> LevelPixel(int level) {
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    if (w <= 0 || h <= 0) return {};
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return {px[0], px[1], px[2]};
  }
  static GLint LevelWidth(int level) {
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    return w;
  }

  bool haveContext = false;
  std::string dir;
  std::unique_ptr<TextureStore> store;
  TextureSlot slot;
};

TEST_F(TextureTest, FiltersFollowDepthAndMipLevels) {
  struct Case {
    int bits, mip;
    GLint minFilter, magFilter;
    int mipmapped;
  };
  const Case cases[] = {
      {24, 0, GL_NEAREST, GL_NEAREST, 0},
      {32, 0, GL_LINEAR, GL_LINEAR, 0},
      {24, -3, GL_NEAREST, GL_NEAREST, 0},
      {24, 1, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1},
      {32, 2, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1},
      {24, 9, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1},
      // Too small for five hand-made levels (needs 32 x 32): plain filters.
      {24, 5, GL_NEAREST, GL_NEAREST, 0},
      {32, 4, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bits << " bits, mip " << c.mip);
    LastImageName = dir + "/p.tga";
    ASSERT_EQ(LoadImageFile(slot, Write("p.tga", SolidTga(16, 16, c.bits, {9, 8, 7, 6})).c_str()),
              1);
    ASSERT_EQ(CreateTexture(slot, c.mip, 1), 1);
    EXPECT_NE(slot.glName, 0u);
    EXPECT_EQ(slot.pixels, nullptr);
    EXPECT_EQ(slot.mipmapped, c.mipmapped);
    EXPECT_EQ(BoundTexture(), static_cast<GLint>(slot.glName));
    EXPECT_EQ(Param(GL_TEXTURE_MIN_FILTER), c.minFilter);
    EXPECT_EQ(Param(GL_TEXTURE_MAG_FILTER), c.magFilter);
    EXPECT_EQ(Param(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(Param(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(LevelPixel(0), (std::vector<int>{9, 8, 7}));
  }
}

// How far in from the edges every texel is fully opaque: what drawers may
// treat as covering whatever lies under it.
TEST_F(TextureTest, OpaqueInsetIsTheFirstSquareOfFullAlpha) {
  struct Case {
    const char* what;
    int bits, rim, mip;
    uint8_t rimAlpha, middleAlpha;
    int inset;
  };
  const Case cases[] = {
      {"opaque 32-bit", 32, 0, 0, 255, 255, 0},
      {"24-bit", 24, 3, 0, 0, 0, 0},
      {"two-texel soft rim", 32, 2, 0, 128, 255, 2},
      {"one texel short of opaque", 32, 1, 0, 255, 254, -1},
      {"mip-mapped", 32, 2, 1, 0, 255, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    slot = TextureSlot{};
    slot.width = slot.height = 16;
    slot.bitsPerPixel = c.bits;
    const int bpp = c.bits / 8;
    slot.pixels = static_cast<uint8_t*>(std::malloc(16 * 16 * static_cast<size_t>(bpp)));
    ASSERT_NE(slot.pixels, nullptr);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        uint8_t* p = slot.pixels + (y * 16 + x) * bpp;
        p[0] = p[1] = p[2] = 200;
        const bool rim = x < c.rim || y < c.rim || x >= 16 - c.rim || y >= 16 - c.rim;
        if (bpp == 4) p[3] = rim ? c.rimAlpha : c.middleAlpha;
      }
    }
    ASSERT_EQ(CreateTexture(slot, c.mip, 1), 1);
    EXPECT_EQ(slot.opaqueInset, c.inset);
    DeleteTexture(slot);
    EXPECT_EQ(slot.opaqueInset, -1);
  }
}

TEST_F(TextureTest, HandMadeLevelsNeedTheirMinimumSize) {
  struct Case {
    int mip, w, h;
    int mipmapped;
  };
  const Case cases[] = {
      {2, 1, 1, 1},   {3, 2, 1, 1},     {8, 2, 2, 1},     {12, 3, 1, 1},
      {4, 16, 16, 1}, {4, 15, 16, 0},   {4, 16, 15, 0},   {5, 32, 32, 1},
      {5, 31, 32, 0}, {5, 32, 31, 0},   {6, 64, 64, 1},   {6, 63, 64, 0},
      {6, 64, 63, 0}, {7, 128, 128, 1}, {7, 127, 128, 0}, {7, 128, 127, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mip " << c.mip << ", " << c.w << " x " << c.h);
    LastImageName = dir + "/none.tga";  // no level files
    ASSERT_EQ(LoadImageFile(slot, Write("m.tga", SolidTga(c.w, c.h, 32, {1, 2, 3, 4})).c_str()), 1);
    ASSERT_EQ(CreateTexture(slot, c.mip, 1), 1);
    EXPECT_EQ(slot.mipmapped, c.mipmapped);
    EXPECT_EQ(Param(GL_TEXTURE_MIN_FILTER), c.mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  }
}

TEST_F(TextureTest, CreateTextureKeepsPixelsUnlessAskedAndReplacesTheOldName) {
  ASSERT_EQ(LoadImageFile(slot, Write("p.tga", SolidTga(3, 5, 24, {1, 2, 3, 0})).c_str()), 1);
  ASSERT_EQ(CreateTexture(slot, 0, 0), 1);
  EXPECT_NE(slot.pixels, nullptr);
  const uint32_t first = slot.glName;
  // Odd RGB widths upload tightly packed rows.
  EXPECT_EQ(LevelPixel(0), (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(CreateTexture(slot, 0, 1), 1);
  EXPECT_EQ(slot.pixels, nullptr);
  EXPECT_FALSE(glIsTexture(first) && first != slot.glName) << "old texture not deleted";
}

TEST_F(TextureTest, CreateTextureRefusesSlotsWithoutUsablePixels) {
  EXPECT_EQ(CreateTexture(slot, 0, 1), 0);  // no pixels
  ASSERT_EQ(LoadImageFile(slot, Write("p.tga", SolidTga(2, 2, 24, {1, 2, 3, 0})).c_str()), 1);
  slot.bitsPerPixel = 16;
  EXPECT_EQ(CreateTexture(slot, 0, 1), 0);
  EXPECT_EQ(slot.glName, 0u);
}

TEST_F(TextureTest, HandMadeMipLevelsComeFromNumberedFiles) {
  // a.tga 32 x 32 with five levels: a1..a4 replace levels 1..4 and a4 also
  // stands for level 5 (1 x 1).
  Write("a.tga", SolidTga(32, 32, 24, {200, 0, 0, 0}));
  const Rgba levels[] = {{0, 0, 0, 0}, {0, 10, 0, 0}, {0, 20, 0, 0}, {0, 30, 0, 0}, {0, 40, 0, 0}};
  for (int i = 1; i <= 4; ++i)
    Write("a" + std::to_string(i) + ".tga", SolidTga(32 >> i, 32 >> i, 24, levels[i]));
  ASSERT_EQ(Load(List(1, Entry(3, "a.tga", 5))), 1);
  EXPECT_EQ(LastImageName, dir + "/a.tga");
  const TextureSlot& s = store->slots[3];
  ASSERT_NE(s.glName, 0u);
  EXPECT_EQ(s.mipmapped, 1);
  EXPECT_EQ(s.pixels, nullptr);  // the list frees pixels after upload
  glBindTexture(GL_TEXTURE_2D, s.glName);
  EXPECT_EQ(Param(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(LevelPixel(0), (std::vector<int>{200, 0, 0}));
  for (int i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(LevelWidth(i), 32 >> i);
    EXPECT_EQ(LevelPixel(i), (std::vector<int>{0, 10 * i, 0}));
  }
  EXPECT_EQ(LevelWidth(5), 1);
  EXPECT_EQ(LevelPixel(5), (std::vector<int>{0, 40, 0}));
}

TEST_F(TextureTest, MissingOrTooSmallLevelFilesKeepTheBuiltLevel) {
  Write("b.tga", SolidTga(16, 16, 32, {0, 0, 120, 255}));
  Write("b1.tga", SolidTga(8, 8, 32, {0, 77, 0, 255}));
  // b2 missing; b3 (2 x 2 expected) holds a single pixel and is not used.
  Write("b3.tga", SolidTga(1, 1, 32, {99, 99, 99, 255}));
  ASSERT_EQ(Load(List(1, Entry(0, "b.tga", 4))), 1);
  glBindTexture(GL_TEXTURE_2D, store->slots[0].glName);
  EXPECT_EQ(LevelPixel(1), (std::vector<int>{0, 77, 0}));
  EXPECT_EQ(LevelPixel(2), (std::vector<int>{0, 0, 120}));  // built from b.tga
  EXPECT_EQ(LevelPixel(3), (std::vector<int>{0, 0, 120}));
}

TEST_F(TextureTest, ListLoadsSlotsClampedIntoRange) {
  Write("p.tga", SolidTga(2, 2, 24, {1, 1, 1, 0}));
  Write("q.tga", SolidTga(2, 2, 32, {2, 2, 2, 2}));
  ASSERT_EQ(Load(List(2, Entry(600, "p.tga") + Entry(-5, "q.tga"))), 1);
  EXPECT_NE(store->slots[500].glName, 0u);
  EXPECT_EQ(store->slots[500].bitsPerPixel, 24);
  EXPECT_NE(store->slots[0].glName, 0u);
  EXPECT_EQ(store->slots[0].bitsPerPixel, 32);
  EXPECT_EQ(store->count, 1);                // last slot loaded + 1
  EXPECT_EQ(LastImageName, dir + "/q.tga");  // trimmed of blanks and tabs
}

TEST_F(TextureTest, ListCountIsLastSlotPlusOne) {
  Write("p.tga", SolidTga(2, 2, 24, {1, 1, 1, 0}));
  ASSERT_EQ(Load(List(2, Entry(4, "p.tga") + Entry(25, "p.tga", 1))), 1);
  EXPECT_EQ(store->count, 26);
  ReleaseStore(*store);
  EXPECT_EQ(store->count, 1);
  for (const TextureSlot& s : store->slots) {
    EXPECT_EQ(s.glName, 0u);
    EXPECT_EQ(s.pixels, nullptr);
  }
}

TEST_F(TextureTest, BrokenListsFailKeepingWhatLoaded) {
  Write("p.tga", SolidTga(2, 2, 24, {1, 1, 1, 0}));
  Write("bad.tga", Bytes{1, 2, 3});
  struct Case {
    const char* what;
    std::string text;
    int loadedSlot;  // slot expected to hold a texture afterwards, or -1
  };
  const Case cases[] = {
      {"duplicate slot", List(2, Entry(3, "p.tga") + Entry(3, "p.tga")), 3},
      {"missing picture", List(2, Entry(7, "p.tga") + Entry(8, "none.tga")), 7},
      {"damaged picture", List(1, Entry(8, "bad.tga")), -1},
      {"missing name line", List(2, Entry(1, "p.tga") + "-- entry\n2\n"), 1},
      {"missing entries", List(3, Entry(1, "p.tga")), 1},
      {"no count", "texture list\n", -1},
      {"count not a number", "texture list\nmany\n", -1},
      {"slot not a number", List(1, "-- entry\nx\np.tga\n0\n"), -1},
      {"mip levels missing", List(1, "-- entry\n4\n" + dir + "/p.tga\n"), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReleaseStore(*store);
    EXPECT_EQ(Load(c.text), 0);
    int loaded = 0;
    for (const TextureSlot& s : store->slots) {
      loaded += s.glName != 0;
      EXPECT_EQ(s.pixels, nullptr);
    }
    EXPECT_EQ(loaded, c.loadedSlot >= 0 ? 1 : 0);
    if (c.loadedSlot >= 0) {
      EXPECT_NE(store->slots[c.loadedSlot].glName, 0u);
    }
  }
  EXPECT_EQ(LoadTextureList(*store, (dir + "/no-such-list.txt").c_str()), 0);
  EXPECT_EQ(LoadTextureList(*store, nullptr), 0);
}

TEST_F(TextureTest, EntryCountIsCappedAtTheStoreSize) {
  // 600 announced, 501 present: the cap stops before the missing 502nd.
  Write("p.tga", SolidTga(1, 1, 24, {5, 5, 5, 0}));
  std::string entries;
  for (int s = 0; s < kTextureSlots; ++s) entries += Entry(s, "p.tga");
  ASSERT_EQ(Load(List(600, entries)), 1);
  EXPECT_EQ(store->count, kTextureSlots);
  EXPECT_NE(store->slots[500].glName, 0u);
}

TEST_F(TextureTest, ListAcceptsCrLfLinesAndRawPictures) {
  Bytes raw = {1, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 10, 20, 30};
  Write("rawpic", raw);
  ASSERT_EQ(Load("head\r\n1\r\n-- entry\r\n6\r\n" + dir + "/rawpic\r\n0\r\n"), 1);
  ASSERT_NE(store->slots[6].glName, 0u);
  glBindTexture(GL_TEXTURE_2D, store->slots[6].glName);
  EXPECT_EQ(LevelPixel(0), (std::vector<int>{10, 20, 30}));
}

TEST_F(TextureTest, BindingTakesOnlyLoadedSlotsInRange) {
  Write("p.tga", SolidTga(2, 2, 24, {1, 1, 1, 0}));
  ASSERT_EQ(Load(List(1, Entry(12, "p.tga"))), 1);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  for (int n : {-1, 501, 100000, 11}) {
    BindTextureSlot(*store, n);
    EXPECT_EQ(BoundTexture(), 0) << n;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << n;
  }
  BindTextureSlot(*store, 12);
  EXPECT_EQ(BoundTexture(), static_cast<GLint>(store->slots[12].glName));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  DisableTexturing();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  TextureSlot empty;
  BindTexture(empty);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  BindTexture(store->slots[12]);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  DeleteTexture(store->slots[12]);
  EXPECT_EQ(store->slots[12].glName, 0u);
}

}  // namespace

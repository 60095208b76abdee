// Bitmap fonts: the description file, glyph lists, coloured and skipped
// text checked on real pixels, widths and formatting.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/gl_context.h"
#include "app/app_state.h"
#include "platform/platform.h"
#include "gfx/texture.h"
#include "ui/fonts.h"

namespace {

using Rgb = std::array<int, 3>;

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255},
    kGreen{0, 255, 0}, kYellow{255, 255, 0}, kCyan{0, 255, 255}, kMagenta{255, 0, 255};

// The test font: 4 x 2 cells of 8 x 8 pixels, each cell one opaque colour,
// glyph i = character code i.  Widths: 8 for the overlay glyphs 0..3, then
// 3, 8, 4, 8.
const Rgb kCellColour[8] = {kRed, kBlue, kGreen, kYellow, kWhite, kWhite, kCyan, kMagenta};
constexpr int kWidth[8] = {8, 8, 8, 8, 3, 8, 4, 8};

std::vector<uint8_t> FontSheet() {
  std::vector<uint8_t> b(18, 0);
  b[2] = 2;
  b[12] = 32;
  b[14] = 16;
  b[16] = 32;
  b[17] = 0x28;  // top row first, 8 alpha bits
  for (int row = 0; row < 16; ++row)
    for (int col = 0; col < 32; ++col) {
      const Rgb& c = kCellColour[(row / 8) * 4 + col / 8];
      b.insert(b.end(), {static_cast<uint8_t>(c[2]), static_cast<uint8_t>(c[1]),
                         static_cast<uint8_t>(c[0]), 255});
    }
  return b;
}

// Font 1: codes 0..7 with widths per code; font 2: codes 32..255, one
// common width, on the same sheet.
const char* kDescription =
    "test fonts\n"
    "  =tex= texture names follow\n"
    "1 texture\n"
    "  sheet.tga\t \n"
    "=klv=\n"
    "2 fonts\n"
    "=fnt= small\n"
    "1 texture slot\n"
    "0 8 first char, count\n"
    "0 0 32 16\n"
    "4 2 grid\n"
    "0 widths follow\n"
    "8 8 8 8\n"
    "3 8 4 8\n"
    "=fnt=common\n"
    "1\n"
    "32 224\n"
    "5 6 32 16\n"
    "4 2\n"
    "1 common width\n"
    "7\n";

class FontTest : public GlSuite<128, 32> {
 protected:
  static constexpr int kW = 128, kH = 32;
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_TRUE(sContext) << "no GL context although DISPLAY is set";
    haveContext = true;
    ResetGlState(kW, kH);
    char tmpl[] = "/tmp/dromo-font-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    const auto sheet = FontSheet();
    std::ofstream(dir + "/sheet.tga", std::ios::binary)
        .write(reinterpret_cast<const char*>(sheet.data()), static_cast<long>(sheet.size()));
    fonts = std::make_unique<FontSet>();
    savedApp = gApp;
    gApp.windowWidth = kW;
    gApp.windowHeight = kH;
    glViewport(0, 0, kW, kH);
    Clear();
  }
  void TearDown() override {
    if (!haveContext) return;
    ReleaseFonts(*fonts);
    gFonts = FontSet{};
    gApp = savedApp;
    std::filesystem::remove_all(dir);
  }
  int Load(const std::string& description) {
    std::ofstream(dir + "/_tfonts.txt", std::ios::binary) << description;
    return LoadFonts(*fonts, dir.c_str());
  }
  static void Clear() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
  }
  static Rgb Pixel(int x, int y) {
    uint8_t p[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  // Colours along row y at the given columns.
  static std::vector<Rgb> Row(int y, std::initializer_list<int> xs) {
    std::vector<Rgb> out;
    for (int x : xs) out.push_back(Pixel(x, y));
    return out;
  }
  void Draw(const std::string& text, float x, const std::string& colours = "", int skipFront = 0,
            int skipBack = 0, int slot = 1) {
    DrawTextStr(*fonts, text, slot, x, kY, 0, 0, kW, kH, colours, skipFront, skipBack);
  }
  static constexpr int kY = 4, kRowY = 8;  // text baseline and a row through it

  bool haveContext = false;
  std::string dir;
  std::unique_ptr<FontSet> fonts;
  AppState savedApp;
};

::testing::AssertionResult Near(const Rgb& got, const Rgb& want, int tolerance) {
  for (int i = 0; i < 3; ++i)
    if (std::abs(got[i] - want[i]) > tolerance)
      return ::testing::AssertionFailure()
             << "got (" << got[0] << ", " << got[1] << ", " << got[2] << ") want (" << want[0]
             << ", " << want[1] << ", " << want[2] << ")";
  return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------- the file

TEST_F(FontTest, DescriptionGivesMetricsPerCodeOrCommon) {
  ASSERT_EQ(Load(kDescription), 1);
  EXPECT_NE(fonts->textures[1], 0u);
  for (int t = 2; t <= 12; ++t) EXPECT_EQ(fonts->textures[t], 0u);
  const Font& a = fonts->fonts[1];
  EXPECT_NE(a.listBase, 0u);
  EXPECT_EQ(a.firstChar, 0);
  EXPECT_EQ(a.glyphCount, 8);
  EXPECT_EQ(a.textureSlot, 1);
  EXPECT_EQ(a.textureWidth, 32);
  EXPECT_EQ(a.textureHeight, 16);
  EXPECT_EQ(a.columns, 4);
  EXPECT_EQ(a.rows, 2);
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(a.glyphs[c].width, kWidth[c]) << c;
    EXPECT_EQ(a.glyphs[c].height, 8) << c;
  }
  EXPECT_EQ(a.glyphs[8].width, 0);
  const Font& b = fonts->fonts[2];
  EXPECT_NE(b.listBase, 0u);
  EXPECT_EQ(b.extraA, 5);
  EXPECT_EQ(b.extraB, 6);
  EXPECT_EQ(b.glyphs[31].width, 0);
  EXPECT_EQ(b.glyphs[32].width, 7);
  EXPECT_EQ(b.glyphs[255].width, 7);
  EXPECT_EQ(b.glyphs[255].height, 8);
  EXPECT_EQ(fonts->fonts[3].listBase, 0u);
}

TEST_F(FontTest, MissingSectionsFailAndReleaseEverything) {
  const std::string head = "x\n=tex=\n1\nsheet.tga\n";
  const std::string font = "=fnt=\n1\n0 8\n0 0 32 16\n4 2\n1\n8\n";
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"no =tex=", "=klv=\n1\n" + font},
      {"four-character marker", "=tex\n1\nsheet.tga\n=klv=\n1\n" + font},
      {"=klv= missing", head + "=kl\n1\n" + font},
      {"second =fnt= missing", head + "=klv=\n2\n" + font},
      {"marker in the middle of a line", head + "x =klv=\n1\n" + font},
      {"empty file", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Load(c.text), 0);
    for (int i = 0; i <= 12; ++i) {
      EXPECT_EQ(fonts->textures[i], 0u) << i;
      EXPECT_EQ(fonts->fonts[i].listBase, 0u) << i;
    }
  }
  std::filesystem::remove(dir + "/_tfonts.txt");
  EXPECT_EQ(LoadFonts(*fonts, dir.c_str()), 0);
  EXPECT_EQ(LoadFonts(*fonts, nullptr), 0);
}

TEST_F(FontTest, CountsAreCappedAtTwelve) {
  // 13 announced each time but 12 present: without the cap the 13th texture
  // name would swallow "=klv=" and the 13th font would be missing.
  std::string text = "=tex=\n13\n";
  for (int i = 0; i < 12; ++i) text += "sheet.tga\n";
  text += "=klv=\n13\n";
  for (int i = 0; i < 12; ++i) text += "=fnt=\n1\n0 8\n0 0 32 16\n4 2\n1\n8\n";
  ASSERT_EQ(Load(text), 1);
  for (int i = 1; i <= 12; ++i) {
    EXPECT_NE(fonts->textures[i], 0u) << i;
    EXPECT_NE(fonts->fonts[i].listBase, 0u) << i;
  }
}

TEST_F(FontTest, UnusableFontsAndTexturesLeaveTheRestWorking) {
  const std::string text =
      "=tex=\n2\nnope.tga\nsheet.tga\n=klv=\n3\n"
      "=fnt= on the missing texture\n1\n0 8\n0 0 32 16\n4 2\n1\n8\n"
      "=fnt= no columns\n2\n0 8\n0 0 32 16\n0 2\n1\n8\n"
      "=fnt= cut short\n2\n0 8\n";
  ASSERT_EQ(Load(text), 1);
  EXPECT_EQ(fonts->textures[1], 0u);
  EXPECT_NE(fonts->textures[2], 0u);
  EXPECT_NE(fonts->fonts[1].listBase, 0u);
  EXPECT_EQ(fonts->fonts[2].listBase, 0u);
  EXPECT_EQ(fonts->fonts[3].listBase, 0u);
  Draw("\x05\x05", 0);  // font 1's texture slot is empty: nothing drawn
  EXPECT_EQ(Pixel(2, kRowY), kBlack);
  Draw("\x05\x05", 0, "", 0, 0, 2);
  EXPECT_EQ(Pixel(2, kRowY), kBlack);
}

TEST_F(FontTest, HostileNumbersMakeTheFontUnusableNotOverflow) {
  // Each case replaces one font's lines; a good font follows it, which must
  // still load, and the hostile one must end up without lists or widths.
  const std::string good = "=fnt= good\n1\n0 8\n0 0 32 16\n4 2\n1\n8\n";
  struct Case {
    const char* what;
    std::string font;
  };
  const Case cases[] = {
      {"widths 7 7999999999", "1\n1 2\n0 0 32 16\n4 2\n0\n7 7999999999\n"},
      {"common width too big for int", "1\n0 8\n0 0 32 16\n4 2\n7\n7999999999\n"},
      {"negative common width", "1\n0 8\n0 0 32 16\n4 2\n1\n-3\n"},
      {"one width too big", "1\n0 3\n0 0 32 16\n4 2\n0\n5 99999999999 5\n"},
      {"one width beyond a sheet's size", "1\n0 3\n0 0 32 16\n4 2\n0\n5 70000 5\n"},
      {"first code 2147483647, two glyphs", "1\n2147483647 2\n0 0 32 16\n4 2\n1\n8\n"},
      {"first code far below zero", "1\n-2147483648 2\n0 0 32 16\n4 2\n1\n8\n"},
      {"first code 256", "1\n256 2\n0 0 32 16\n4 2\n1\n8\n"},
      {"texture height beyond a sheet's size", "1\n0 8\n0 0 32 2147483647\n4 1\n1\n8\n"},
      {"texture width beyond a sheet's size", "1\n0 8\n0 0 2147483647 16\n4 2\n1\n8\n"},
      {"rows beyond a sheet's size", "1\n0 8\n0 0 32 16\n4 99999999\n1\n8\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Load("=tex=\n1\nsheet.tga\n=klv=\n2\n=fnt= hostile\n" + c.font + good), 1);
    const Font& bad = fonts->fonts[1];
    EXPECT_EQ(bad.listBase, 0u);
    EXPECT_EQ(TextWidth(*fonts, 1, std::string(4096, '\x05'), 0, -1), 0);
    for (const GlyphMetrics& g : bad.glyphs) {
      EXPECT_GE(g.width, 0);
      EXPECT_LE(g.width, 65535);
    }
    Draw("\x05\x05", 0, "", 0, 0, 1);  // an unusable font draws nothing
    EXPECT_EQ(Pixel(2, kRowY), kBlack);
    EXPECT_NE(fonts->fonts[2].listBase, 0u);
    EXPECT_EQ(fonts->fonts[2].glyphs[5].width, 8);
    ReleaseFonts(*fonts);
  }
  // The largest values a sheet can have still load.
  ASSERT_EQ(
      Load("=tex=\n1\nsheet.tga\n=klv=\n1\n=fnt=\n1\n255 1\n0 0 65535 65535\n1 1\n1\n65535\n"), 1);
  EXPECT_NE(fonts->fonts[1].listBase, 0u);
  EXPECT_EQ(fonts->fonts[1].glyphs[255].width, 65535);
  EXPECT_EQ(fonts->fonts[1].glyphs[255].height, 65535);
}

TEST_F(FontTest, ReleaseZeroesListsAndTextures) {
  ASSERT_EQ(Load(kDescription), 1);
  const uint32_t base = fonts->fonts[1].listBase;
  ReleaseFonts(*fonts);
  EXPECT_FALSE(glIsList(base));
  for (int i = 0; i <= 12; ++i) {
    EXPECT_EQ(fonts->textures[i], 0u);
    EXPECT_EQ(fonts->fonts[i].listBase, 0u);
    EXPECT_EQ(fonts->fonts[i].glyphCount, 0);
  }
}

// ------------------------------------------------------------- drawing

TEST_F(FontTest, OverlayGlyphsDoNotMoveThePen) {
  ASSERT_EQ(Load(kDescription), 1);
  for (int g = 0; g < 4; ++g) {
    SCOPED_TRACE(g);
    Clear();
    // Glyph g (8 wide) first, then glyph 4 (3 wide) over its left part.
    Draw(std::string{static_cast<char>(g), '\x04'}, 10);
    EXPECT_EQ(Row(kRowY, {11, 15, 19}), (std::vector<Rgb>{kWhite, kCellColour[g], kBlack}));
  }
  Clear();
  Draw("\x06\x04", 10);  // glyph 6 advances by its width 4
  EXPECT_EQ(Row(kRowY, {10, 13, 14, 16, 17}),
            (std::vector<Rgb>{kCyan, kCyan, kWhite, kWhite, kBlack}));
  EXPECT_EQ(Pixel(10, kY - 1), kBlack);  // glyph cells are 8 high from y
  EXPECT_EQ(Pixel(10, kY + 7), kCyan);
  EXPECT_EQ(Pixel(10, kY + 8), kBlack);
}

TEST_F(FontTest, ColourStringsColourEachCharacter) {
  ASSERT_EQ(Load(kDescription), 1);
  const std::string text(11, '\x05');  // eleven white glyphs, 8 wide
  glColor3f(0, 1, 0);
  Draw(text, 0, "raaaaqacccr");
  const std::vector<Rgb> want = {kRed,   kWhite, kWhite, kWhite, kWhite, kYellow,
                                 kWhite, kCyan,  kCyan,  kCyan,  kRed};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(Pixel(8 * i + 4, kRowY), want[i]) << i;

  // Colour strings of another length are ignored: the caller's colour.
  for (const std::string& colours : {std::string("raaaaqaccc"), std::string("raaaaqacccrr")}) {
    Clear();
    glColor3f(0, 1, 0);
    Draw(text, 0, colours);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(Pixel(8 * i + 4, kRowY), kGreen) << i;
  }
}

TEST_F(FontTest, ColourCodeTable) {
  ASSERT_EQ(Load(kDescription), 1);
  struct Case {
    char code;
    Rgb colour;
  };
  const Case cases[] = {
      {'a', {255, 255, 255}}, {'b', {0, 0, 255}},     {'c', {0, 255, 255}},
      {'d', {0, 180, 255}},   {'e', {0, 127, 127}},   {'f', {0, 190, 127}},
      {'g', {0, 255, 0}},     {'o', {255, 120, 32}},  {'p', {255, 0, 255}},
      {'q', {255, 255, 0}},   {'r', {255, 0, 0}},     {'s', {210, 210, 220}},
      {'t', {190, 190, 190}}, {'u', {160, 160, 160}}, {'v', {127, 127, 127}},
      {'y', {32, 32, 32}},    {'h', {0, 0, 0}},       {'z', {0, 0, 0}},
      {'A', {0, 0, 0}},       {' ', {40, 200, 120}},  {'\x01', {20, 100, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Clear();
    glColor4f(40 / 255.0f, 200 / 255.0f, 120 / 255.0f, 1);  // the caller's colour
    Draw("\x05", 0, std::string(1, c.code));
    EXPECT_TRUE(Near(Pixel(4, kRowY), c.colour, 1));
  }
}

TEST_F(FontTest, GreyCodesDrawGlyphZeroAsABackdrop) {
  ASSERT_EQ(Load(kDescription), 1);
  struct Case {
    char code;
    int grey;
    float backdrop;
  };
  for (Case c : {Case{'w', 96, 0.6f}, Case{'x', 63, 0.5f}}) {
    SCOPED_TRACE(c.code);
    Clear();
    // Glyph 4 is 3 wide; glyph 0's red cell shows beside it at half alpha.
    Draw("\x04", 0, std::string(1, c.code));
    EXPECT_EQ(Pixel(1, kRowY), (Rgb{c.grey, c.grey, c.grey}));
    EXPECT_TRUE(Near(Pixel(5, kRowY), Rgb{static_cast<int>(255 * c.backdrop * 0.5f), 0, 0}, 2));
    EXPECT_EQ(Pixel(9, kRowY), kBlack);
  }
  // A font without a glyph for code 0 draws no backdrop.
  Clear();
  Draw("$", 0, "w", 0, 0, 2);  // font 2's glyph 4: a white cell, 7 wide
  EXPECT_EQ(Pixel(5, kRowY), (Rgb{96, 96, 96}));
  EXPECT_EQ(Pixel(7, kRowY), kBlack);
}

TEST_F(FontTest, SkipCountsTrimTheText) {
  ASSERT_EQ(Load(kDescription), 1);
  const std::string text = "\x05\x05\x06\x05\x05";  // 8 + 8 + 4 + 8 + 8 pixels
  struct Case {
    int front, back;
    std::vector<Rgb> at;  // columns 1, 5, 17, 35, 37
  };
  const std::vector<Rgb> whole = {kWhite, kWhite, kCyan, kWhite, kBlack};
  const Case cases[] = {
      {2, 2, {kCyan, kBlack, kBlack, kBlack, kBlack}},  // only the middle one, at x
      {2, 3, {kBlack, kBlack, kBlack, kBlack, kBlack}},
      {3, 2, {kBlack, kBlack, kBlack, kBlack, kBlack}},
      {-1, 0, whole},
      {5, 0, whole},
      {0, -1, whole},
      {0, 5, whole},
      {1, 1, {kWhite, kWhite, kWhite, kBlack, kBlack}},  // 8 + 4 + 8 from x
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.front << ", " << c.back);
    Clear();
    Draw(text, 0, "", c.front, c.back);
    EXPECT_EQ(Row(kRowY, {1, 5, 17, 35, 37}), c.at);
  }
  // With colours, the skipped characters' codes are skipped too.
  Clear();
  Draw(text, 0, "ccgcc", 2, 2);
  EXPECT_EQ(Pixel(1, kRowY), kGreen);
}

TEST_F(FontTest, NothingIsDrawnForBadArguments) {
  ASSERT_EQ(Load(kDescription), 1);
  Draw("", 0);
  Draw("\x05", 0, "", 0, 0, 0);
  Draw("\x05", 0, "", 0, 0, 13);
  Draw("\x05", 0, "", 0, 0, -1);
  DrawText(*fonts, nullptr, 1, 0, kY, 0, 0, kW, kH, nullptr, 0, 0);
  DrawChar(*fonts, 0, 1, 0, kY, 0, 0, kW, kH);
  DrawChar(*fonts, 5, 13, 0, kY, 0, 0, kW, kH);
  DrawChar(*fonts, 256 + 5, 1, 0, kY, 0, 0, kW, kH);
  fonts->fonts[1].textureSlot = 13;
  Draw("\x05", 0);
  fonts->fonts[1].textureSlot = 1;
  for (int x : {1, 5}) EXPECT_EQ(Pixel(x, kRowY), kBlack);
}

TEST_F(FontTest, CharactersTheFontLacksDrawNothing) {
  ASSERT_EQ(Load(kDescription), 1);
  // 'A' is not in font 1; its list number would be another font's glyph.
  Draw(
      "\x05"
      "A\x05",
      0);
  EXPECT_EQ(Row(kRowY, {1, 9, 15, 17}), (std::vector<Rgb>{kWhite, kWhite, kWhite, kBlack}));
  Clear();
  Draw(
      "\x05"
      "A\x05",
      0, "rgb");
  EXPECT_EQ(Row(kRowY, {1, 9, 17}), (std::vector<Rgb>{kRed, kBlue, kBlack}));
}

TEST_F(FontTest, DrawTextCharAndAtAgree) {
  ASSERT_EQ(Load(kDescription), 1);
  gFonts = *fonts;  // the panels draw through the global set
  DrawText(*fonts, "\x05\x05", 1, 0, kY, 0, 0, kW, kH, "rg", 0, 0);
  glColor3f(1, 1, 1);  // coloured text leaves its last colour current
  DrawChar(*fonts, 6, 1, 20, kY, 0, 0, kW, kH);
  DrawTextAt("\x06", 1, 30, kY);
  DrawTextAt("\x05\x05", 1, 40, kY, "rr", 1, 0);
  EXPECT_EQ(Row(kRowY, {1, 9, 21, 31, 41, 49}),
            (std::vector<Rgb>{kRed, kGreen, kCyan, kCyan, kRed, kBlack}));
  gFonts = FontSet{};  // the lists belong to *fonts
  // A view offset moves the text with it.
  Clear();
  DrawText(*fonts, "\x06", 1, 0, 0, -50, -10, kW, kH, nullptr, 0, 0);
  EXPECT_EQ(Pixel(51, 11), kCyan);
}

// Strings go out as one batch of quads; the picture must be the one the
// glyph lists draw when called over the bytes.
TEST_F(FontTest, StringsDrawWhatTheGlyphListsDraw) {
  ASSERT_EQ(Load(kDescription), 1);
  auto frame = [] {
    std::vector<uint8_t> p(static_cast<size_t>(kW) * kH * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, p.data());
    return p;
  };
  struct Case {
    int slot;
    std::string text;
    float x;
  };
  // Font 1 mixes overlay glyphs and narrow ones; font 2 has a common width
  // narrower than its cells and rows far below the sheet (wrapped).
  const Case cases[] = {
      {1, "\x04\x06\x01\x05\x07\x02\x06\x03\x04", 3},
      {2, "AZ az~!\xC0\xFF", 1.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    Clear();
    Draw(c.text, c.x, "", 0, 0, c.slot);
    const auto batched = frame();

    Clear();
    const Font& f = fonts->fonts[c.slot];
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fonts->textures[f.textureSlot]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kW, 0, kH, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(c.x, kY, 0);
    glListBase(f.listBase - static_cast<GLuint>(f.firstChar));
    glCallLists(static_cast<GLsizei>(c.text.size()), GL_UNSIGNED_BYTE, c.text.data());
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    const auto listed = frame();

    EXPECT_NE(std::count(listed.begin(), listed.end(), 0), static_cast<long>(listed.size()));
    EXPECT_TRUE(batched == listed);
  }
}

// A sheet drawn in greys is kept as one grey byte and the alpha per texel,
// and draws exactly what the same sheet in full colour draws; a coloured
// sheet keeps its colours.
TEST_F(FontTest, GreySheetsAreKeptSmallerAndDrawTheSame) {
  std::vector<uint8_t> sheet = FontSheet();
  for (size_t i = 18; i + 3 < sheet.size(); i += 4) {
    const auto k = static_cast<uint8_t>(i * 37 / 4);
    sheet[i] = sheet[i + 1] = sheet[i + 2] = k;
    sheet[i + 3] = static_cast<uint8_t>(255 - k / 2);
  }
  std::ofstream(dir + "/sheet.tga", std::ios::binary)
      .write(reinterpret_cast<const char*>(sheet.data()), static_cast<long>(sheet.size()));
  ASSERT_EQ(Load(kDescription), 1);
  const GLuint name = fonts->textures[fonts->fonts[2].textureSlot];
  auto internalFormat = [name] {
    GLint f = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &f);
    glBindTexture(GL_TEXTURE_2D, 0);
    return f;
  };
  EXPECT_EQ(internalFormat(), GL_LUMINANCE_ALPHA);
  auto drawn = [this] {
    Clear();
    glColor4f(0.9f, 0.5f, 0.25f, 0.8f);
    Draw("AZ az~!\xC0\xFF", 1.5f, "", 0, 0, 2);
    std::vector<uint8_t> p(static_cast<size_t>(kW) * kH * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, p.data());
    return p;
  };
  const auto grey = drawn();
  DecodedImage img;
  ASSERT_EQ(DecodeTga(sheet.data(), sheet.size(), img), 1);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, img.width, img.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               img.pixels);
  std::free(img.pixels);
  const auto full = drawn();
  EXPECT_NE(std::count(grey.begin(), grey.end(), 0), static_cast<long>(grey.size()));
  EXPECT_TRUE(grey == full);

  ReleaseFonts(*fonts);
  const auto coloured = FontSheet();
  std::ofstream(dir + "/sheet.tga", std::ios::binary)
      .write(reinterpret_cast<const char*>(coloured.data()), static_cast<long>(coloured.size()));
  ASSERT_EQ(Load(kDescription), 1);
  EXPECT_EQ(internalFormat(), GL_RGBA);
}

TEST_F(FontTest, DrawingRestoresMatricesAndLeavesBlendAndTextureOff) {
  ASSERT_EQ(Load(kDescription), 1);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 10, 0, 10, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(3, 4, 0);
  GLfloat projBefore[16], viewBefore[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projBefore);
  glGetFloatv(GL_MODELVIEW_MATRIX, viewBefore);
  glEnable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  for (const char* colours : {"", "ab"}) {
    Draw("\x05\x06", 0, colours);
    GLfloat proj[16], view[16];
    glGetFloatv(GL_PROJECTION_MATRIX, proj);
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(proj[i], projBefore[i]);
      EXPECT_EQ(view[i], viewBefore[i]);
    }
    GLint mode = 0, depthMask = 1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(depthMask, GL_FALSE);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  }
}

// -------------------------------------------------- widths and formatting

TEST(TextWidth, SumsAdvanceWidthsOfARange) {
  auto fonts = std::make_unique<FontSet>();
  Font& f = fonts->fonts[4];
  f.glyphs['a'].width = 5;
  f.glyphs['b'].width = 7;
  f.glyphs[0xE9].width = 11;            // a Windows-1251 letter
  const std::string text = "ab\xE9?a";  // '?' has no metrics: adds 0
  struct Case {
    int slot, start, count, want;
  };
  const Case cases[] = {
      {4, 0, -1, 28}, {4, 0, 5, 28},  {4, 0, 99, 28}, {4, 1, 2, 18}, {4, 2, -5, 16},
      {4, 4, 1, 5},   {4, 5, -1, 0},  {4, 9, 1, 0},   {4, -1, 2, 0}, {4, 0, 0, 0},
      {0, 0, -1, 0},  {13, 0, -1, 0}, {3, 0, -1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextWidth(*fonts, c.slot, text, c.start, c.count), c.want)
        << c.slot << " " << c.start << " " << c.count;
  EXPECT_EQ(TextWidth(*fonts, 4, "", 0, -1), 0);
}

TEST(TextWidth, TheSumSaturatesInsteadOfOverflowing) {
  auto fonts = std::make_unique<FontSet>();
  fonts->fonts[4].glyphs['W'].width = 65535;  // the widest a loaded glyph can be
  fonts->fonts[4].glyphs['M'].width = INT32_MAX;
  EXPECT_EQ(TextWidth(*fonts, 4, std::string(30000, 'W'), 0, -1), 30000 * 65535);
  EXPECT_EQ(TextWidth(*fonts, 4, std::string(40000, 'W'), 0, -1), INT32_MAX);
  EXPECT_EQ(TextWidth(*fonts, 4, "MM", 0, -1), INT32_MAX);
}

TEST(Format, FormatsPrintfStyleWithinTheBuffer) {
  EXPECT_EQ(Format("%d/%s %05.1f", 42, "ab", 3.14159), "42/ab 003.1");
  const char* none = nullptr;
  EXPECT_EQ(Format(none), "");
  const std::string longText(500, 'q');
  const std::string cut = Format("<%s>", longText.c_str());
  EXPECT_EQ(cut.size(), 199u);
  EXPECT_EQ(cut, "<" + longText.substr(0, 198));
  EXPECT_EQ(Format("%s", std::string(199, 'z').c_str()).size(), 199u);
  EXPECT_EQ(Format("%s", std::string(198, 'z').c_str()).size(), 198u);
}

}  // namespace

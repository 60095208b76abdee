// The generated resource tree <build>/res: texture list, pictures, fonts,
// message base and backgrounds, read back with small parsers of our own that
// follow the game's reading rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"

namespace {

namespace fs = std::filesystem;

std::string BuildDir() {
  const char* d = std::getenv("DROMO_BUILD_DIR");
  return d != nullptr ? d : "..";
}

std::string SourceDir() {
  const char* d = std::getenv("DROMO_SOURCE_DIR");
  return d != nullptr ? d : "../..";
}

std::string ResDir() {
  return BuildDir() + "/res";
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::stringstream s;
  s << f.rdbuf();
  out = s.str();
  return true;
}

// ---- TGA, by the decoder's header rules ----

struct Tga {
  int type = 0, width = 0, height = 0, depth = 0;
  std::vector<uint8_t> rgba;  // top row first, 4 bytes a pixel

  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Empty result text when the file is a TGA the game accepts, with pixel data
// that exactly fills the picture.
std::string ParseTga(const std::string& bytes, Tga& out) {
  if (bytes.size() < 18) return "shorter than the header";
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  if (b[0] != 0) return "image ID not empty (pixel data is read from byte 18)";
  if (b[1] != 0) return "colour map present";
  out.type = b[2];
  if (out.type != 2 && out.type != 10) return "image type " + std::to_string(out.type);
  out.width = b[12] | (b[13] << 8);
  out.height = b[14] | (b[15] << 8);
  out.depth = b[16];
  if (out.depth != 24 && out.depth != 32) return "depth " + std::to_string(out.depth);
  if (out.width == 0 || out.height == 0) return "empty picture";
  const bool topFirst = (b[17] & 0x20) != 0;
  const size_t bpp = out.depth / 8;
  const size_t count = static_cast<size_t>(out.width) * out.height;
  std::vector<uint8_t> file;  // pixels in file order
  file.reserve(count * bpp);
  size_t pos = 18;
  if (out.type == 2) {
    if (bytes.size() - pos != count * bpp) return "data length does not match the size";
    file.assign(b + pos, b + bytes.size());
  } else {
    while (file.size() < count * bpp) {
      if (pos >= bytes.size()) return "run-length data ends early";
      const uint8_t head = b[pos++];
      const size_t n = (head & 0x7F) + 1u;
      if (file.size() / bpp + n > count) return "run-length packet runs past the picture";
      const size_t take = (head & 0x80) ? bpp : n * bpp;
      if (bytes.size() - pos < take) return "run-length packet cut short";
      if (head & 0x80) {
        for (size_t i = 0; i < n; ++i) file.insert(file.end(), b + pos, b + pos + bpp);
      } else {
        file.insert(file.end(), b + pos, b + pos + take);
      }
      pos += take;
    }
    if (pos != bytes.size()) return "bytes after the run-length data";
  }
  out.rgba.assign(count * 4, 0);
  for (size_t i = 0; i < count; ++i) {
    const size_t row = i / out.width, col = i % out.width;
    const size_t destRow = topFirst ? row : out.height - 1 - row;
    uint8_t* d = &out.rgba[(destRow * out.width + col) * 4];
    const uint8_t* s = &file[i * bpp];
    d[0] = s[2];
    d[1] = s[1];
    d[2] = s[0];
    d[3] = bpp == 4 ? s[3] : 255;
  }
  return "";
}

std::string LoadTga(const std::string& path, Tga& out) {
  std::string bytes;
  if (!ReadFile(path, bytes)) return "cannot read " + path;
  const std::string why = ParseTga(bytes, out);
  return why.empty() ? why : path + ": " + why;
}

TEST(TgaCheckTest, RejectsWhatTheGameRejects) {
  auto header = [](uint8_t type, uint8_t depth, int w, int h) {
    std::string s(18, '\0');
    s[2] = static_cast<char>(type);
    s[12] = static_cast<char>(w);
    s[14] = static_cast<char>(h);
    s[16] = static_cast<char>(depth);
    return s;
  };
  struct Case {
    std::string bytes;
    bool ok;
  } cases[] = {
      {header(2, 24, 2, 1) + std::string(6, 'x'), true},
      {header(2, 24, 2, 1) + std::string(5, 'x'), false},                   // short
      {header(2, 24, 2, 1) + std::string(7, 'x'), false},                   // long
      {header(2, 16, 2, 1) + std::string(4, 'x'), false},                   // depth
      {header(1, 24, 2, 1) + std::string(6, 'x'), false},                   // type
      {header(10, 32, 3, 1) + "\x82" + std::string(4, 'x'), true},          // one run
      {header(10, 32, 3, 1) + "\x83" + std::string(4, 'x'), false},         // run too long
      {header(10, 32, 3, 1) + "\x02" + std::string(8, 'x'), false},         // literal cut
      {header(10, 32, 3, 1) + "\x82" + std::string(5, 'x'), false},         // trailing byte
      {std::string("\x01") + header(2, 24, 1, 1).substr(1) + "abc", false}  // image ID
  };
  for (const Case& c : cases) {
    Tga t;
    EXPECT_EQ(ParseTga(c.bytes, t).empty(), c.ok) << "case of " << c.bytes.size() << " bytes";
  }
}

TEST(TgaCheckTest, BottomAndTopOriginGiveTheSamePicture) {
  std::string bottom(18, '\0'), top;
  bottom[2] = 2;
  bottom[12] = 1;
  bottom[14] = 2;
  bottom[16] = 24;
  top = bottom;
  top[17] = 0x20;
  bottom += std::string("\x01\x02\x03\x04\x05\x06", 6);  // bottom row, then top row
  top += std::string("\x04\x05\x06\x01\x02\x03", 6);     // top row, then bottom row
  Tga a, b;
  ASSERT_EQ(ParseTga(bottom, a), "");
  ASSERT_EQ(ParseTga(top, b), "");
  EXPECT_EQ(a.rgba, b.rgba);
  EXPECT_EQ(a.At(0, 0)[0], 6);  // top row, R from B,G,R = 4,5,6
}

// ---- the texture list, read as the game reads it ----

struct ListEntry {
  int slot = 0;
  std::string name;
  int mipLevels = 0;
};

std::string TrimBlanks(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

void SkipLine(std::istream& in) {
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

bool ReadTextureList(const std::string& path, std::vector<ListEntry>& out, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = "cannot open " + path;
    return false;
  }
  std::string line;
  std::getline(in, line);
  int n = 0;
  if (!(in >> n)) {
    why = "no entry count";
    return false;
  }
  SkipLine(in);
  for (int i = 0; i < std::min(n, 501); ++i) {
    ListEntry e;
    std::getline(in, line);
    if (!(in >> e.slot)) {
      why = "entry " + std::to_string(i + 1) + ": no slot number";
      return false;
    }
    SkipLine(in);
    e.slot = std::clamp(e.slot, 0, 500);
    if (!std::getline(in, line)) {
      why = "entry " + std::to_string(i + 1) + ": no file name";
      return false;
    }
    e.name = TrimBlanks(line);
    if (!(in >> e.mipLevels)) {
      why = "entry " + std::to_string(i + 1) + ": no mip levels";
      return false;
    }
    SkipLine(in);
    out.push_back(e);
  }
  return true;
}

// Slots the drawers bind by number: colour k with texture base 1 (k + 1, and
// 4 as the falling piece's shadow, 2 as the name box), the intro cells and
// title (6, 11, 12, 24), wall corners (12, 13), cell frame (16), overlay and
// marker (17), chain gauge (20), the clamped strip (25), arrows (35..38).
const std::vector<int> kBoundSlots = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                      13, 16, 17, 20, 24, 25, 35, 36, 37, 38};

class TextureListFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(ReadTextureList(ResDir() + "/base/pix_start.txt", entries_, why)) << why;
  }
  const ListEntry* Find(int slot) const {
    for (const ListEntry& e : entries_)
      if (e.slot == slot) return &e;
    return nullptr;
  }
  Tga Load(int slot) const {
    Tga t;
    const ListEntry* e = Find(slot);
    EXPECT_NE(e, nullptr) << "slot " << slot;
    if (e != nullptr) {
      EXPECT_EQ(LoadTga(BuildDir() + "/" + e->name, t), "");
    }
    return t;
  }
  std::vector<ListEntry> entries_;
};

TEST_F(TextureListFileTest, EveryBoundSlotIsListedExactlyOnce) {
  std::map<int, int> seen;
  for (const ListEntry& e : entries_) ++seen[e.slot];
  for (const auto& [slot, times] : seen) EXPECT_EQ(times, 1) << "slot " << slot;
  for (int slot : kBoundSlots) EXPECT_EQ(seen.count(slot), 1u) << "slot " << slot << " not listed";
}

TEST_F(TextureListFileTest, EveryListedFileIsAValidPicture) {
  ASSERT_FALSE(entries_.empty());
  for (const ListEntry& e : entries_) {
    Tga t;
    // The game runs in the build folder, so names are relative to it.
    EXPECT_EQ(LoadTga(BuildDir() + "/" + e.name, t), "") << "slot " << e.slot;
    // Power-of-two sizes, so the pictures upload alike on every GL.
    EXPECT_EQ(t.width & (t.width - 1), 0) << e.name;
    EXPECT_EQ(t.height & (t.height - 1), 0) << e.name;
    // Hand-made mip levels 4..7 need the picture large enough and their files.
    if (e.mipLevels >= 4 && e.mipLevels <= 7) {
      EXPECT_GE(std::min(t.width, t.height), 1 << e.mipLevels) << e.name;
      for (int i = 1; i < e.mipLevels; ++i) {
        const std::string level = e.name.substr(0, e.name.size() - 4) + std::to_string(i) + ".tga";
        EXPECT_TRUE(fs::exists(BuildDir() + "/" + level)) << level;
      }
    }
    // Unmipmapped 24-bit pictures get nearest filtering: only 32-bit ones here.
    if (e.mipLevels == 0) {
      EXPECT_EQ(t.depth, 32) << e.name;
    }
  }
}

TEST_F(TextureListFileTest, ListHasNoCarriageReturns) {
  std::string text;
  ASSERT_TRUE(ReadFile(ResDir() + "/base/pix_start.txt", text));
  EXPECT_EQ(text.find('\r'), std::string::npos);  // a name line must not end in CR
}

TEST_F(TextureListFileTest, TitlePictureIsDrawnAtItsOwnSize) {
  const Tga t = Load(24);
  EXPECT_EQ(t.width, 512);
  EXPECT_EQ(t.height, 512);
}

TEST_F(TextureListFileTest, ColourTilesAreOpaqueInTheMiddleAndClearlyDistinct) {
  std::vector<std::array<double, 3>> mean;
  for (int colour = 1; colour <= 9; ++colour) {
    const Tga t = Load(colour + 1);
    ASSERT_EQ(t.depth, 32) << "colour " << colour;
    // Transparent corners let the tinted backdrop show around the tile.
    EXPECT_LT(t.At(0, 0)[3], 40) << "colour " << colour;
    EXPECT_EQ(t.At(t.width / 2, t.height / 2)[3], 255) << "colour " << colour;
    std::array<double, 3> m{};
    int n = 0;
    for (int y = t.height / 4; y < t.height * 3 / 4; ++y)
      for (int x = t.width / 4; x < t.width * 3 / 4; ++x, ++n)
        for (int c = 0; c < 3; ++c) m[c] += t.At(x, y)[c];
    for (double& v : m) v /= n;
    mean.push_back(m);
  }
  for (size_t i = 0; i < mean.size(); ++i)
    for (size_t j = i + 1; j < mean.size(); ++j) {
      const double d =
          std::hypot(mean[i][0] - mean[j][0], mean[i][1] - mean[j][1], mean[i][2] - mean[j][2]);
      EXPECT_GT(d, 60.0) << "colours " << i + 1 << " and " << j + 1 << " look alike";
    }
}

// The arrows show where the side cells of a piece move when it turns: with
// clockwise turning the top cell (slot 2, texture 36) goes right, the right
// one (38) down, the bottom one (35) left and the left one (37) up; with
// counter-clockwise turning the same textures sit on the opposite cells.
TEST_F(TextureListFileTest, ArrowsPointTheWayTheirCellsTurn) {
  struct Case {
    int slot;
    int dx, dy;  // y downwards in the picture as seen
  } cases[] = {{35, -1, 0}, {36, 1, 0}, {37, 0, -1}, {38, 0, 1}};
  for (const Case& c : cases) {
    const Tga t = Load(c.slot);
    ASSERT_GT(t.width, 0);
    // The head, the wide part, lies in the half the arrow points to.
    auto isFill = [&](int x, int y) {
      const uint8_t* p = t.At(x, y);
      return p[3] > 200 && p[0] > 180;
    };
    int forward = 0, backward = 0;
    for (int y = 0; y < t.height; ++y)
      for (int x = 0; x < t.width; ++x) {
        if (!isFill(x, y)) continue;
        const int along = c.dx * (2 * x + 1 - t.width) + c.dy * (2 * y + 1 - t.height);
        if (along > 0) ++forward;
        if (along < 0) ++backward;
      }
    EXPECT_GT(backward, 0) << "slot " << c.slot;
    EXPECT_GT(forward, backward * 5 / 4) << "slot " << c.slot;
  }
}

// ---- fonts, read by the font loader's rules ----

struct FontDesc {
  int textureSlot = 0, firstChar = 0, glyphCount = 0;
  int extraA = 0, extraB = 0, textureWidth = 0, textureHeight = 0;
  int columns = 0, rows = 0;
  std::vector<int> widths;  // by code, 256 entries
};

struct FontFile {
  std::vector<std::string> textures;
  std::vector<FontDesc> fonts;
};

bool FindMarker(std::istream& in, const char* marker) {
  std::string line;
  for (int i = 0; i < 9999 && std::getline(in, line); ++i)
    if (line.size() >= 5 && line.compare(0, 5, marker) == 0) return true;
  return false;
}

bool ReadFontFile(const std::string& path, FontFile& out, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return why = "cannot open " + path, false;
  if (!FindMarker(in, "=tex=")) return why = "no =tex=", false;
  int t = 0;
  if (!(in >> t)) return why = "no texture count", false;
  SkipLine(in);
  t = std::min(t, 12);
  for (int i = 0; i < t; ++i) {
    std::string line;
    if (!std::getline(in, line)) return why = "texture names end early", false;
    out.textures.push_back(TrimBlanks(line));
  }
  if (!FindMarker(in, "=klv=")) return why = "no =klv=", false;
  int f = 0;
  if (!(in >> f)) return why = "no font count", false;
  SkipLine(in);
  f = std::min(f, 12);
  for (int i = 0; i < f; ++i) {
    if (!FindMarker(in, "=fnt=")) return why = "no =fnt= for font " + std::to_string(i + 1), false;
    FontDesc d;
    in >> d.textureSlot;
    SkipLine(in);
    in >> d.firstChar >> d.glyphCount;
    SkipLine(in);
    in >> d.extraA >> d.extraB >> d.textureWidth >> d.textureHeight;
    SkipLine(in);
    in >> d.columns >> d.rows;
    SkipLine(in);
    int w = 0;
    in >> w;
    SkipLine(in);
    if (!in) return why = "font " + std::to_string(i + 1) + " header cut short", false;
    d.widths.assign(256, 0);
    const int last = std::min(d.firstChar + d.glyphCount, 256);
    if (w != 0) {
      in >> w;
      SkipLine(in);
      for (int c = d.firstChar; c < last; ++c) d.widths[c] = w;
    } else {
      for (int c = d.firstChar; c < last; ++c) in >> d.widths[c];
      SkipLine(in);
    }
    if (!in) return why = "font " + std::to_string(i + 1) + " widths cut short", false;
    out.fonts.push_back(d);
  }
  return true;
}

// One font with its sheet, and ink measurements in its cells.
struct SheetFont {
  FontDesc d;
  Tga sheet;
  int cellW = 0, cellH = 0;

  const uint8_t* Px(int code, int x, int y) const {
    const int i = code - d.firstChar;
    return sheet.At((i % d.columns) * cellW + x, (i / d.columns) * cellH + y);
  }
  // The letter body: light and mostly opaque (shadows and outlines are dark).
  bool Body(int code, int x, int y) const {
    const uint8_t* p = Px(code, x, y);
    return p[3] > 128 && p[0] > 128;
  }
  bool AnyInk(int code, int x0, int x1) const {
    for (int y = 0; y < cellH; ++y)
      for (int x = x0; x < x1; ++x)
        if (Px(code, x, y)[3] != 0) return true;
    return false;
  }
  // Lowest and highest rows of the letter body, counted from the cell top; -1 if none.
  int BodyBottom(int code) const {
    for (int y = cellH - 1; y >= 0; --y)
      for (int x = 0; x < cellW; ++x)
        if (Body(code, x, y)) return y;
    return -1;
  }
  int BodyTop(int code) const {
    for (int y = 0; y < cellH; ++y)
      for (int x = 0; x < cellW; ++x)
        if (Body(code, x, y)) return y;
    return -1;
  }
  int Width(const std::string& text) const {
    int w = 0;
    for (unsigned char c : text) w += d.widths[c];
    return w;
  }
};

class FontSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(ReadFontFile(ResDir() + "/base/_tfonts.txt", file_, why)) << why;
    for (const FontDesc& d : file_.fonts) {
      SheetFont f;
      f.d = d;
      ASSERT_GE(d.textureSlot, 1);
      ASSERT_LE(d.textureSlot, static_cast<int>(file_.textures.size()));
      ASSERT_EQ(LoadTga(ResDir() + "/base/" + file_.textures[d.textureSlot - 1], f.sheet), "");
      ASSERT_GT(d.columns, 0);
      ASSERT_GT(d.rows, 0);
      f.cellW = d.textureWidth / d.columns;
      f.cellH = d.textureHeight / d.rows;
      fonts_.push_back(std::move(f));
    }
  }
  FontFile file_;
  std::vector<SheetFont> fonts_;
};

TEST_F(FontSheetTest, DescribesSixFontsWhoseSheetsMatchTheirPictures) {
  ASSERT_GE(fonts_.size(), 6u);
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const SheetFont& f = fonts_[i];
    SCOPED_TRACE("font " + std::to_string(i + 1));
    EXPECT_EQ(f.sheet.width, f.d.textureWidth);
    EXPECT_EQ(f.sheet.height, f.d.textureHeight);
    EXPECT_EQ(f.sheet.depth, 32);
    // Cells tile the sheet exactly, so row offsets never drift.
    EXPECT_EQ(f.d.textureWidth % f.d.columns, 0);
    EXPECT_EQ(f.d.textureHeight % f.d.rows, 0);
    EXPECT_GE(f.d.columns * f.d.rows, f.d.glyphCount);
    // Glyph 0 must be code 0: the "w" and "x" colour codes draw it as a backdrop.
    EXPECT_EQ(f.d.firstChar, 0);
    EXPECT_EQ(f.d.glyphCount, 256);
  }
}

TEST_F(FontSheetTest, DescriptionHasNoCarriageReturns) {
  std::string text;
  ASSERT_TRUE(ReadFile(ResDir() + "/base/_tfonts.txt", text));
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

std::vector<int> RequiredCodes() {
  std::vector<int> codes;
  for (int c = 'A'; c <= 'Z'; ++c) codes.push_back(c);
  for (int c = 'a'; c <= 'z'; ++c) codes.push_back(c);
  for (int c = '0'; c <= '9'; ++c) codes.push_back(c);
  for (int c = 0xC0; c <= 0xFF; ++c) codes.push_back(c);  // А..я
  codes.push_back(0xA8);                                  // Ё
  codes.push_back(0xB8);                                  // ё
  for (unsigned char c : std::string(".,:;!?-+()%#<>=/"_w)) codes.push_back(c);
  return codes;
}

TEST_F(FontSheetTest, EveryLetterAndDigitHasInkWithinItsWidth) {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const SheetFont& f = fonts_[i];
    for (int code : RequiredCodes()) {
      SCOPED_TRACE("font " + std::to_string(i + 1) + " code " + std::to_string(code));
      const int w = f.d.widths[code];
      ASSERT_GT(w, 0);
      ASSERT_LE(w, f.cellW);
      EXPECT_TRUE(f.AnyInk(code, 0, w));
      // Ink right of the width would be cut off when drawn.
      EXPECT_FALSE(f.AnyInk(code, w, f.cellW));
    }
  }
}

TEST_F(FontSheetTest, ControlCodesAreEmptyAndGlyphZeroIsABlock) {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const SheetFont& f = fonts_[i];
    SCOPED_TRACE("font " + std::to_string(i + 1));
    for (int code = 1; code < 32; ++code) EXPECT_FALSE(f.AnyInk(code, 0, f.cellW)) << code;
    const int w = f.d.widths[0];
    ASSERT_GT(w, 0);
    int solid = 0;
    for (int y = 0; y < f.cellH; ++y)
      for (int x = 0; x < w; ++x) solid += f.Px(0, x, y)[3] == 255;
    EXPECT_GE(solid, w * f.cellH / 2);
  }
}

TEST_F(FontSheetTest, SpaceIsNarrowerThanALetter) {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const SheetFont& f = fonts_[i];
    const int space = f.d.widths[' '], n = f.d.widths['n'];
    EXPECT_GE(space * 3, n) << "font " << i + 1;
    EXPECT_LE(space, n) << "font " << i + 1;
    EXPECT_FALSE(f.AnyInk(' ', 0, f.cellW)) << "font " << i + 1;
  }
}

TEST_F(FontSheetTest, LettersShareOneBaseline) {
  const std::string flat = "HEILTxzНПШЕ1"_w;
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const SheetFont& f = fonts_[i];
    SCOPED_TRACE("font " + std::to_string(i + 1));
    const int base = f.BodyBottom('H');
    ASSERT_GE(base, 0);
    for (unsigned char c : flat) EXPECT_NEAR(f.BodyBottom(c), base, 1) << "code " << int(c);
    // Descenders go below the line, and accents above the plain letters.
    for (unsigned char c : std::string("рgуДЩ"_w)) EXPECT_GT(f.BodyBottom(c), base) << int(c);
    EXPECT_LT(f.BodyTop(0xA8), f.BodyTop(0xC5));  // Ё above Е
    EXPECT_LT(f.BodyTop(0xC9), f.BodyTop(0xC8));  // Й above И
  }
}

// At 800 x 600 the score box (font 6) is 104 x 36 pixels and the title strip
// (font 2) 12 pixels high; text sits a couple of pixels above a box's bottom.
TEST_F(FontSheetTest, ScoreAndTitleFitTheirBoxes) {
  ASSERT_GE(fonts_.size(), 6u);
  const SheetFont& score = fonts_[5];
  EXPECT_LE(score.Width("99999"), 104 - 4);
  int top = score.cellH;
  for (unsigned char c : std::string("0123456789PAUSE")) {
    for (int y = 0; y < score.cellH; ++y) {
      bool ink = false;
      for (int x = 0; x < score.d.widths[c]; ++x) ink = ink || score.Px(c, x, y)[3] > 0;
      if (ink) {
        top = std::min(top, y);
        break;
      }
    }
  }
  EXPECT_LE(score.cellH - top, 36 - 2) << "ink rises " << score.cellH - top;

  // The title is drawn one pixel above the strip's bottom: its ink, and
  // that of any ASCII text, must stay within the 11 pixels above that.
  const SheetFont& title = fonts_[1];
  for (unsigned char c : std::string("vornadel-Dromo2<>")) ASSERT_GE(title.BodyTop(c), 0) << c;
  for (int c = 33; c < 127; ++c) {
    if (title.BodyTop(c) < 0) continue;  // too faint to have a body, like the grave accent
    EXPECT_LE(title.cellH - title.BodyTop(c), 11) << static_cast<char>(c);
  }
}

// ---- message base ----

TEST(MessageBaseFileTest, IsWindows1251WithEnglishThenRussianTexts) {
  std::string bytes;
  ASSERT_TRUE(ReadFile(ResDir() + "/base/msgbase.txt", bytes));
  EXPECT_EQ(bytes.find('\x98'), std::string::npos);  // the one byte Windows-1251 lacks
  EXPECT_EQ(bytes.find('\r'), std::string::npos);    // texts are kept with every byte
  std::istringstream in(bytes);
  int n = 0;
  ASSERT_TRUE(in >> n);
  SkipLine(in);
  ASSERT_GE(n, 12);
  std::vector<std::string> texts;
  for (int k = 1; k <= n; ++k) {
    std::string heading, en, ru;
    ASSERT_TRUE(std::getline(in, heading)) << "message " << k;
    ASSERT_TRUE(std::getline(in, en)) << "message " << k;
    ASSERT_TRUE(std::getline(in, ru)) << "message " << k;
    EXPECT_FALSE(en.empty()) << "message " << k;
    EXPECT_FALSE(ru.empty()) << "message " << k;
    for (unsigned char c : en) EXPECT_TRUE(c >= 32 && c < 127) << "message " << k;
    EXPECT_TRUE(std::any_of(
        ru.begin(), ru.end(),
        [](char c) { return static_cast<unsigned char>(c) >= 0xC0 || c == '\xA8' || c == '\xB8'; }))
        << "message " << k << " second text is not Russian";
    texts.push_back(en);
    texts.push_back(ru);
  }
  // Message 12 is the prompt under the stage results.
  EXPECT_NE(texts[22].find("Enter"), std::string::npos);
}

TEST(MessageBaseFileTest, MatchesItsUtf8Source) {
  std::string bytes, source;
  ASSERT_TRUE(ReadFile(ResDir() + "/base/msgbase.txt", bytes));
  ASSERT_TRUE(ReadFile(SourceDir() + "/res/base/msgbase.utf8.txt", source));
  source.erase(std::remove(source.begin(), source.end(), '\r'), source.end());
  if (source.compare(0, 3, "\xEF\xBB\xBF") == 0) source.erase(0, 3);
  if (!source.empty() && source.back() != '\n') source += '\n';
  EXPECT_EQ(Cp1251ToUtf8(bytes), source);
}

// The build converts the source with the generator; a slip in the source
// must stop the build rather than shift every later text by a line.
TEST(MessageBaseFileTest, ConverterRejectsBrokenSources) {
  const std::string tool = BuildDir() + "/tools/gen_res/dromo_gen_res";
  ASSERT_TRUE(fs::exists(tool));
  // Unique per run, so that two build trees can test at the same time.
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path dir = fs::temp_directory_path() / ("dromo_msgbase_" + std::to_string(stamp));
  fs::create_directories(dir);
  struct Case {
    const char* source;
    bool ok;
    const char* expected;  // Windows-1251 result when ok
  } cases[] = {
      {"2 texts\n-- a\nA\nА\n-- b\nB b\nБ б\n", true,
       "2 texts\n-- a\nA\n\xC0\n-- b\nB b\n\xC1 \xE1\n"},
      {"2\r\n-\r\nA\r\nЁ\r\n-\r\nB\r\nё\r\n", true, "2\n-\nA\n\xA8\n-\nB\n\xB8\n"},
      {"2\n-\nA\nА\n-\nB\nБ\n\n\n", true, "2\n-\nA\n\xC0\n-\nB\n\xC1\n"},  // blank tail
      {"3\n-\nA\nА\n-\nB\nБ\n", false, ""},                                // too few lines
      {"2\n-\nA\nА\n-\nB\nБ\n-\nC\nВ\n", false, ""},                       // count too small
      {"1\n-\nA\nА\n", false, ""},                                         // the game ignores N < 2
      {"two\n-\nA\nА\n-\nB\nБ\n", false, ""},                              // no count
      {"2\n-\nA\nü\n-\nB\nБ\n", false, ""},                                // not in Windows-1251
      {"2\n-\nA\n\xFF\n-\nB\nБ\n", false, ""},                             // not UTF-8
  };
  int i = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE("case " + std::to_string(i));
    const fs::path in = dir / ("in" + std::to_string(i) + ".txt");
    const fs::path out = dir / ("out" + std::to_string(i) + ".txt");
    ++i;
    {
      std::ofstream f(in, std::ios::binary);
      f << c.source;
    }
    const std::string cmd =
        "\"" + tool + "\" msgbase \"" + in.string() + "\" \"" + out.string() + "\" 2>/dev/null";
    const int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc == 0, c.ok);
    std::string result;
    EXPECT_EQ(ReadFile(out.string(), result), c.ok);  // nothing written on failure
    if (c.ok) {
      EXPECT_EQ(result, c.expected);
    }
  }
  fs::remove_all(dir);
}

// ---- backgrounds and copies ----

TEST(BackgroundFileTest, AreLargeSquareDarkAndQuiet) {
  for (int n : {1, 3, 5, 7, 8}) {
    SCOPED_TRACE("fon" + std::to_string(n));
    Tga t;
    ASSERT_EQ(LoadTga(ResDir() + "/fon" + std::to_string(n) + ".tga", t), "");
    EXPECT_GE(t.width, 800);
    EXPECT_EQ(t.width, t.height);  // drawn as a square of the window width
    double sum = 0, sum2 = 0;
    const size_t count = static_cast<size_t>(t.width) * t.height;
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = &t.rgba[i * 4];
      const double l = (0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255.0;
      sum += l;
      sum2 += l * l;
    }
    const double mean = sum / count, sd = std::sqrt(sum2 / count - mean * mean);
    EXPECT_LT(mean, 0.25);
    EXPECT_GT(mean, 0.01);  // not plain black either
    EXPECT_LT(sd, 0.06);
  }
}

TEST(ResourceTreeTest, HandWrittenFilesAreCopied) {
  const fs::path src = fs::path(SourceDir()) / "res";
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const fs::path rel = fs::relative(entry.path(), src);
    if (rel == fs::path("base/msgbase.utf8.txt")) continue;  // converted, not copied
    ++files;
    std::string a, b;
    ASSERT_TRUE(ReadFile(entry.path().string(), a));
    ASSERT_TRUE(ReadFile((fs::path(ResDir()) / rel).string(), b)) << rel;
    EXPECT_EQ(a, b) << rel;
  }
  EXPECT_GE(files, 1);
}

}  // namespace

// Bitmap font sheets: every Windows-1251 code rendered with FreeType into a
// 16 x 16 grid of cells, white glyphs on transparent, plus the description
// file "_tfonts.txt" with the per-code advance widths.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "tools/gen_res/gen_res.h"

namespace {

enum Effect { kPlain, kDropShadow, kOutline };

struct FontSpec {
  int slot;
  const char* file;
  int pixelSize;
  float hScale;  // below 1 narrows the letters
  Effect effect;
  bool snapStems;  // full hinting: crisp upright strokes in the small monospaced font
  const char* use;
  // When nonzero, the size is lowered until the ink of every ASCII glyph,
  // shadow included, rises at most this many pixels above the cell bottom.
  int fitHeight = 0;
};

// Sizes chosen for an 800 x 600 window: panel rows there are 24 to 40 pixels
// high, the title strip 12, and the score box 104 x 36.
constexpr FontSpec kFonts[] = {
    {1, "DejaVuSansMono.ttf", 12, 1.0f, kPlain, true, "debug overlay"},
    // Drawn one pixel above the bottom of the 12-pixel title strip.
    {2, "DejaVuSans.ttf", 10, 1.0f, kDropShadow, false, "title strip", 11},
    {3, "DejaVuSans.ttf", 12, 1.0f, kDropShadow, false, "statistics lines in narrow windows"},
    {4, "DejaVuSans-Bold.ttf", 13, 1.0f, kDropShadow, false, "results lines in narrow windows"},
    {5, "DejaVuSans-Bold.ttf", 15, 1.0f, kDropShadow, false, "main panel font"},
    {6, "DejaVuSans-Bold.ttf", 28, 0.9f, kOutline, false, "score and PAUSE"},
};

constexpr int kGrid = 16;  // 16 x 16 cells, codes 0..255

struct Glyph {
  int width = 0;  // advance in the sheet, effects included
  int left = 0, top = 0;
  int bw = 0, bh = 0;
  std::vector<float> cov;  // bw x bh coverage
};

int NextPow2(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

// Printable codes; the control codes, DEL and the one unassigned byte stay empty.
bool Printable(int code) {
  return code >= 32 && code != 127 && code != 0x98;
}

struct Effects {
  int padLeft = 0, padRight = 0, padTop = 0, padBottom = 0;
};

Effects EffectPads(Effect e) {
  switch (e) {
    case kPlain:
      return {};
    case kDropShadow:
      return {0, 0, 0, 1};  // straight down: letters keep their spacing
    case kOutline:
      return {2, 2, 2, 4};
  }
  return {};
}

// Composes one cell: the glyph in white over its shadow (and outline) in black.
void ComposeCell(Image& sheet, int cx, int cy, int cellW, int cellH, const Glyph& g,
                 int baselineRow, Effect effect) {
  TextMask m;
  m.w = cellW;
  m.h = cellH;
  m.a.assign(static_cast<size_t>(cellW) * cellH, 0.0f);
  const int ox = g.left, oy = baselineRow - g.top;
  for (int y = 0; y < g.bh; ++y)
    for (int x = 0; x < g.bw; ++x) {
      const int tx = ox + x, ty = oy + y;
      if (tx < 0 || ty < 0 || tx >= cellW || ty >= cellH) continue;
      m.a[static_cast<size_t>(ty) * cellW + tx] = g.cov[static_cast<size_t>(y) * g.bw + x];
    }
  TextMask outline;
  if (effect == kOutline) outline = DilateMask(m, 1.4f);  // grown by 2 on each side
  auto at = [](const TextMask& t, int x, int y, int shift) {
    x += shift;
    y += shift;
    if (x < 0 || y < 0 || x >= t.w || y >= t.h) return 0.0f;
    return t.a[static_cast<size_t>(y) * t.w + x];
  };
  for (int y = 0; y < cellH; ++y) {
    for (int x = 0; x < cellW; ++x) {
      const float gl = m.a[static_cast<size_t>(y) * cellW + x];
      float dark = 0.0f;
      if (effect == kDropShadow) {
        dark = 0.6f * at(m, x, y - 1, 0);
      } else if (effect == kOutline) {
        const int r = (outline.w - m.w) / 2;
        const float ring = 0.92f * at(outline, x, y, r);
        const float shadow = 0.45f * at(outline, x, y - 2, r);
        dark = ring + shadow * (1.0f - ring);
      }
      const float a = gl + dark * (1.0f - gl);
      if (a <= 0.0f) continue;
      const float white = gl / a;
      SetPixel(sheet, cx + x, cy + y, {white, white, white, a});
    }
  }
}

// Renders every printable code at one pixel size; above and below are the
// extents of the line, ascent the face's own.
void LoadGlyphs(FT_Face face, const FontSpec& spec, int pixelSize, const Effects& pad,
                std::vector<Glyph>& glyphs, int& ascent, int& above, int& below) {
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  if (spec.hScale != 1.0f) {
    FT_Matrix narrow = {static_cast<FT_Fixed>(spec.hScale * 65536.0f), 0, 0, 0x10000};
    FT_Set_Transform(face, &narrow, nullptr);
  }
  ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
  const int descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));

  glyphs.assign(256, Glyph{});
  above = ascent;
  below = descent;
  for (int code = 0; code < 256; ++code) {
    if (!Printable(code)) continue;
    const FT_UInt index = FT_Get_Char_Index(face, cp1251::ToCodePoint(static_cast<uint8_t>(code)));
    if (index == 0) continue;
    const FT_Int32 hinting = spec.snapStems ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_LIGHT;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | hinting) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    Glyph& g = glyphs[static_cast<size_t>(code)];
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.bw = static_cast<int>(slot->bitmap.width);
    g.bh = static_cast<int>(slot->bitmap.rows);
    g.cov.resize(static_cast<size_t>(g.bw) * g.bh);
    for (int y = 0; y < g.bh; ++y)
      for (int x = 0; x < g.bw; ++x)
        g.cov[static_cast<size_t>(y) * g.bw + x] =
            slot->bitmap.buffer[y * slot->bitmap.pitch + x] / 255.0f;
    // A glyph (or its outline) that reaches left of its pen is moved right
    // instead of cut; the advance grows by the same amount.
    const int shift = g.bw > 0 ? std::max(0, pad.padLeft - g.left) : 0;
    g.left += shift;
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6) + shift;
    g.width = std::max(advance, g.left + g.bw + pad.padRight);
    g.width = std::max(g.width, 1);
    if (g.bw > 0) {
      above = std::max(above, g.top);
      below = std::max(below, g.bh - g.top);
    }
  }
}

int RenderFont(FT_Library lib, const std::string& fontDir, const FontSpec& spec,
               const std::string& outDir, std::string& description) {
  const std::string path = fontDir + "/" + spec.file;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "gen_res: cannot open font %s\n", path.c_str());
    return 0;
  }
  std::vector<Glyph> glyphs;
  int pixelSize = spec.pixelSize, above = 0, below = 0, ascent = 0;
  const Effects pad = EffectPads(spec.effect);
  for (;;) {
    LoadGlyphs(face, spec, pixelSize, pad, glyphs, ascent, above, below);
    int inkTop = 0, inkBottom = 0;
    for (int code = 32; code < 127; ++code) {
      const Glyph& g = glyphs[static_cast<size_t>(code)];
      if (g.bw <= 0) continue;
      inkTop = std::max(inkTop, g.top);
      inkBottom = std::max(inkBottom, g.bh - g.top);
    }
    if (spec.fitHeight <= 0) break;
    // A fitted font keeps its line to the ASCII ink: what reaches further
    // (accents, deep Cyrillic descenders) is cut at the cell's edges.
    below = inkBottom;
    above = inkTop;
    if (inkBottom + pad.padBottom + inkTop <= spec.fitHeight || pixelSize <= 6) break;
    --pixelSize;
  }
  FT_Done_Face(face);

  // Glyph 0 is the backdrop of the "w" and "x" colour codes: a solid block as
  // wide as a digit and as tall as the line.
  glyphs[0].width = glyphs['0'].width;

  const int base = below + pad.padBottom;  // baseline above the cell bottom
  int maxWidth = 1;
  for (const Glyph& g : glyphs) maxWidth = std::max(maxWidth, g.width);
  const int cellH = NextPow2(base + above + pad.padTop);
  const int cellW = NextPow2(maxWidth);
  const int sheetW = cellW * kGrid, sheetH = cellH * kGrid;
  Image sheet = MakeImage(sheetW, sheetH);
  const int baselineRow = cellH - base;
  for (int code = 0; code < 256; ++code) {
    const int cx = (code % kGrid) * cellW, cy = (code / kGrid) * cellH;
    if (code == 0) {
      const int top = std::max(0, baselineRow - ascent);
      for (int y = top; y < cellH; ++y)
        for (int x = 0; x < glyphs[0].width; ++x) SetPixel(sheet, cx + x, cy + y, {1, 1, 1, 1});
      continue;
    }
    if (glyphs[code].bw > 0)
      ComposeCell(sheet, cx, cy, cellW, cellH, glyphs[code], baselineRow, spec.effect);
  }
  const std::string sheetName = "font" + std::to_string(spec.slot) + ".tga";
  if (!WriteTga(outDir + "/" + sheetName, sheet, 32)) return 0;

  std::string d;
  d += "=fnt= " + std::to_string(spec.slot) + ": " + spec.use + " (" + spec.file + ", " +
       std::to_string(pixelSize) + " px)\n";
  d += std::to_string(spec.slot) + " texture slot\n";
  d += "0 256 first character code, glyph count\n";
  d += std::to_string(pixelSize) + " " + std::to_string(base) + " " + std::to_string(sheetW) + " " +
       std::to_string(sheetH) +
       " pixel size, baseline above the cell bottom, texture width and height\n";
  d += std::to_string(kGrid) + " " + std::to_string(kGrid) + " columns, rows\n";
  d += "0 advance widths of codes 0..255 follow\n";
  for (int row = 0; row < kGrid; ++row) {
    for (int col = 0; col < kGrid; ++col) {
      if (col > 0) d += ' ';
      d += std::to_string(glyphs[row * kGrid + col].width);
    }
    d += '\n';
  }
  description += d;
  return 1;
}

}  // namespace

int GenerateFonts(const std::string& fontDir, const std::string& resDir) {
  const std::string outDir = resDir + "/base";
  if (!MakeDirs(outDir)) return 0;
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) {
    std::fprintf(stderr, "gen_res: FreeType does not start\n");
    return 0;
  }
  constexpr int kCount = static_cast<int>(sizeof kFonts / sizeof kFonts[0]);
  std::string text =
      "_tfonts: the bitmap fonts; made by the resource generator (tools/gen_res), do not edit\n";
  text += "=tex=\n";
  text += std::to_string(kCount) + " font sheets, texture slots 1..\n";
  for (const FontSpec& f : kFonts) text += "font" + std::to_string(f.slot) + ".tga\n";
  text += "=klv=\n";
  text += std::to_string(kCount) + " fonts\n";
  int ok = 1;
  for (const FontSpec& f : kFonts) ok = ok && RenderFont(lib, fontDir, f, outDir, text);
  FT_Done_FreeType(lib);
  return ok && WriteFileBytes(outDir + "/_tfonts.txt", text);
}

TextMask RenderTextMask(const std::string& fontFile, int pixelSize, const std::string& utf8,
                        float hScale) {
  TextMask out;
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return out;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, fontFile.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(lib);
    return out;
  }
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  if (hScale != 1.0f) {
    FT_Matrix narrow = {static_cast<FT_Fixed>(hScale * 65536.0f), 0, 0, 0x10000};
    FT_Set_Transform(face, &narrow, nullptr);
  }
  const int ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
  const int descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));

  struct Placed {
    int x, top, bw, bh;
    std::vector<float> cov;
  };
  std::vector<Placed> placed;
  long pen = 0;  // 26.6
  FT_UInt prev = 0;
  int minX = 0, maxX = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = cp1251::DecodeUtf8(utf8.data(), utf8.size(), i);
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    if (prev != 0 && index != 0 && FT_HAS_KERNING(face)) {
      FT_Vector k;
      if (FT_Get_Kerning(face, prev, index, FT_KERNING_DEFAULT, &k) == 0) pen += k.x;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    Placed p;
    p.x = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
    p.top = slot->bitmap_top;
    p.bw = static_cast<int>(slot->bitmap.width);
    p.bh = static_cast<int>(slot->bitmap.rows);
    p.cov.resize(static_cast<size_t>(p.bw) * p.bh);
    for (int y = 0; y < p.bh; ++y)
      for (int x = 0; x < p.bw; ++x)
        p.cov[static_cast<size_t>(y) * p.bw + x] =
            slot->bitmap.buffer[y * slot->bitmap.pitch + x] / 255.0f;
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x + p.bw);
    pen += slot->advance.x;
    prev = index;
    placed.push_back(std::move(p));
  }
  maxX = std::max(maxX, static_cast<int>((pen + 63) >> 6));
  FT_Done_Face(face);
  FT_Done_FreeType(lib);

  out.w = maxX - minX;
  out.h = ascent + descent;
  out.baseline = ascent;
  out.a.assign(static_cast<size_t>(out.w) * out.h, 0.0f);
  for (const Placed& p : placed)
    for (int y = 0; y < p.bh; ++y)
      for (int x = 0; x < p.bw; ++x) {
        const int tx = p.x - minX + x, ty = out.baseline - p.top + y;
        if (tx < 0 || ty < 0 || tx >= out.w || ty >= out.h) continue;
        float& dst = out.a[static_cast<size_t>(ty) * out.w + tx];
        dst = std::min(1.0f, dst + p.cov[static_cast<size_t>(y) * p.bw + x]);
      }
  return out;
}

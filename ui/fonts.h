// Bitmap fonts: glyph grids in TGA textures, one display list per glyph.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct GlyphMetrics {
  int32_t width = 0;
  int32_t height = 0;
};

struct Font {
  uint32_t listBase = 0;  // 0 = not loaded
  int32_t firstChar = 0;
  int32_t glyphCount = 0;
  std::array<GlyphMetrics, 256> glyphs{};
  int32_t textureSlot = 0;
  int32_t extraA = 0, extraB = 0;
  int32_t textureWidth = 0, textureHeight = 0;
  int32_t columns = 0, rows = 0;
};

struct FontSet {
  std::array<uint32_t, 13> textures{};  // slots 1..12
  std::array<Font, 13> fonts{};         // slots 1..12
};

extern FontSet gFonts;

// Reads directory + "/_tfonts.txt" and the font sheets it names.
int LoadFonts(FontSet& fonts, const char* directory);
void ReleaseFonts(FontSet& fonts);
// (x, y) is the lower-left corner of the first glyph in the view's pixels.
// colours: one palette letter per character, ignored unless its length is
// the text's.  skipFront/skipBack leave out characters at either end.
// Bytes the font has no glyph for draw nothing.  Leaves blending and
// texturing off and the caller's matrices as they were.
void DrawText(FontSet& fonts, const char* text, int fontSlot, float x, float y, int viewX,
              int viewY, int viewW, int viewH, const char* colours, int skipFront, int skipBack);
void DrawTextStr(FontSet& fonts, const std::string& text, int fontSlot, float x, float y, int viewX,
                 int viewY, int viewW, int viewH, const std::string& colours, int skipFront,
                 int skipBack);
void DrawChar(FontSet& fonts, int code, int fontSlot, float x, float y, int viewX, int viewY,
              int viewW, int viewH);
// Advance widths of text[start .. start + count - 1]; count < 0 = to the end.
int TextWidth(const FontSet& fonts, int fontSlot, const std::string& text, int start, int count);
// printf-style, limited to 199 characters.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shorthand used by the panels: text at window pixels (x, y) in the current colour.
void DrawTextAt(const std::string& text, int fontSlot, float x, float y,
                const std::string& colours = std::string(), int skipFront = 0, int skipBack = 0);

// Bitmap fonts: a grid of glyph cells in a TGA texture, one display list per
// glyph, and a string drawn with one glCallLists over its bytes.
#include "ui/fonts.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "app/app_state.h"
#include "base/file_util.h"
#include "gfx/draw_cache.h"
#include "gfx/texture.h"

FontSet gFonts;

namespace {

constexpr int kMaxSlot = 12;
// Lines searched for a section marker before the file is given up on.
constexpr int kMarkerSearchLines = 9999;
// A font indexed by bytes never needs more glyphs than there are byte codes.
constexpr int kMaxGlyphs = 256;
// Font sheets are TGA pictures, whose sides are 16-bit; no size, cell or
// glyph width of a real font comes near this.  Larger values are a broken or
// hostile file and make the font unusable rather than overflow the sums.
constexpr int32_t kMaxPixels = 65535;
// A first code below -kMaxGlyphs reaches no byte at all, one above 255 none
// either; the range keeps firstChar + i far inside int.
constexpr int32_t kMinFirstChar = -kMaxGlyphs, kMaxFirstChar = 255;

bool InPixelRange(int32_t v, int32_t low) {
  return v >= low && v <= kMaxPixels;
}

bool ValidSlot(int slot) {
  return slot >= 1 && slot <= kMaxSlot;
}

// A section starts at a line whose first five characters (after trimming
// blanks and tabs) are the marker; the rest of that line is free text.
bool FindMarker(std::istream& in, const char* marker) {
  std::string line;
  for (int i = 0; i < kMarkerSearchLines; ++i) {
    if (!std::getline(in, line)) return false;
    const std::string t = Trim(line);
    if (t.size() >= 5 && t.compare(0, 5, marker) == 0) return true;
  }
  return false;
}

void ReadInts(std::istream& in, std::initializer_list<int32_t*> values) {
  for (int32_t* v : values) in >> *v;
  SkipRestOfLine(in);
}

// Sheets drawn in grey (white letters, black shadows) become one grey byte
// per texel beside the alpha, in place: the same texels under the
// modulated colour for half the memory, or less.  False for a coloured sheet.
bool PackGrey(DecodedImage& img) {
  const size_t bpp = img.bitsPerPixel == 32 ? 4 : 3;
  const size_t count = static_cast<size_t>(img.width) * static_cast<size_t>(img.height);
  const uint8_t* p = img.pixels;
  for (size_t i = 0; i < count; ++i, p += bpp) {
    if (p[0] != p[1] || p[0] != p[2]) return false;
  }
  uint8_t* out = img.pixels;
  p = img.pixels;
  for (size_t i = 0; i < count; ++i, p += bpp) {
    *out++ = p[0];
    if (bpp == 4) *out++ = p[3];
  }
  return true;
}

// A texture that cannot be read or decoded leaves the slot as it was.
void LoadFontTexture(FontSet& fonts, int slot, const std::string& path) {
  ByteReader file;
  if (!LoadImageBytes(file, path.c_str(), true)) return;
  DecodedImage img;
  const int ok = DecodeTga(file.data, file.size, img);
  ReleaseReader(file);
  if (!ok) return;
  NoteTexturesChanged();
  if (fonts.textures[slot] != 0) glDeleteTextures(1, &fonts.textures[slot]);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLenum format = img.bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
  if (PackGrey(img)) format = img.bitsPerPixel == 32 ? GL_LUMINANCE_ALPHA : GL_LUMINANCE;
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), img.width, img.height, 0, format,
               GL_UNSIGNED_BYTE, img.pixels);
  std::free(img.pixels);
  fonts.textures[slot] = name;
}

void DeleteFontLists(Font& font) {
  if (font.listBase != 0 && font.glyphCount > 0) glDeleteLists(font.listBase, font.glyphCount);
  font.listBase = 0;
  font.glyphCount = 0;
}

// Glyph i lies in cell (i mod columns, i div columns), rows counted from the
// top of the picture.  Glyphs 0..3 do not move the pen: they are overlays
// (backdrops, accents) for the character that follows.
void BuildGlyphLists(Font& f) {
  const float du = 1.0f / static_cast<float>(f.textureWidth);
  const int cellW = f.textureWidth / f.columns;
  const int cellH = f.textureHeight / f.rows;
  const float cellU = static_cast<float>(cellW) * du;
  const float cellV = static_cast<float>(cellH) / static_cast<float>(f.textureHeight);
  for (int i = 0; i < f.glyphCount; ++i) {
    const int code = f.firstChar + i;
    GlyphMetrics m;
    if (code >= 0 && code < 256) m = f.glyphs[code];
    const float w = static_cast<float>(m.width), h = static_cast<float>(m.height);
    const float u = static_cast<float>(i % f.columns) * cellU;
    const float v = 1.0f - static_cast<float>(i / f.columns + 1) * cellV;
    const float u1 = u + w * du;
    glNewList(f.listBase + static_cast<GLuint>(i), GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(u, v);
    glVertex2f(0, 0);
    glTexCoord2f(u1, v);
    glVertex2f(w, 0);
    glTexCoord2f(u1, v + cellV);
    glVertex2f(w, h);
    glTexCoord2f(u, v + cellV);
    glVertex2f(0, h);
    glEnd();
    if (i >= 4) glTranslatef(w, 0, 0);
    glEndList();
  }
}

void ParseFont(std::istream& in, Font& f) {
  DeleteFontLists(f);
  f.glyphs = {};  // a reload must not keep an older font's widths
  int32_t glyphCount = 0;
  ReadInts(in, {&f.textureSlot});
  ReadInts(in, {&f.firstChar, &glyphCount});
  ReadInts(in, {&f.extraA, &f.extraB, &f.textureWidth, &f.textureHeight});
  ReadInts(in, {&f.columns, &f.rows});
  // A grid that cannot be divided into cells makes the font unusable, and so
  // do sizes and codes no font sheet can have.
  if (!in || glyphCount <= 0 || !InPixelRange(f.columns, 1) || !InPixelRange(f.rows, 1) ||
      !InPixelRange(f.textureWidth, 1) || !InPixelRange(f.textureHeight, 1) ||
      f.firstChar < kMinFirstChar || f.firstChar > kMaxFirstChar)
    return;
  glyphCount = std::min(glyphCount, kMaxGlyphs);
  const GLuint base = glGenLists(glyphCount);
  if (base == 0) return;
  f.listBase = base;
  f.glyphCount = glyphCount;

  const int64_t first = f.firstChar;
  const int64_t lastCode = std::min<int64_t>(first + glyphCount, 256);
  const int32_t cellH = f.textureHeight / f.rows;
  auto setMetrics = [&](int64_t code, int32_t width) {
    if (code < 0 || code >= 256) return;
    f.glyphs[code].width = width;
    f.glyphs[code].height = cellH;
  };
  // A width out of range (a number too big for the stream is read as the
  // largest int) leaves the font unusable.
  bool widthsOk = true;
  int32_t w = 0;
  ReadInts(in, {&w});
  if (w != 0) {
    int32_t common = 0;
    ReadInts(in, {&common});
    widthsOk = InPixelRange(common, 0);
    for (int64_t code = first; code < lastCode && widthsOk; ++code) setMetrics(code, common);
  } else {
    for (int64_t code = first; code < lastCode && in && widthsOk; ++code) {
      int32_t width = 0;
      in >> width;
      widthsOk = InPixelRange(width, 0);
      if (widthsOk) setMetrics(code, width);
    }
    SkipRestOfLine(in);
  }
  if (!widthsOk) {
    // Only this font is lost: the stream goes on after the offending line,
    // so the fonts that follow still load.
    if (!in) {
      in.clear();
      SkipRestOfLine(in);
    }
    DeleteFontLists(f);
    f.glyphs = {};
    return;
  }
  BuildGlyphLists(f);
}

void DrawBytes(FontSet& fonts, const char* text, size_t length, int fontSlot, float x, float y,
               int viewX, int viewY, int viewW, int viewH, const char* colours, size_t colourLength,
               int skipFront, int skipBack);

// A recorded text: these, then the text's bytes, then the colours' bytes.
struct TextArgs {
  FontSet* fonts;
  int32_t fontSlot;
  float x, y;
  int32_t viewX, viewY, viewW, viewH;
  int32_t skipFront, skipBack;
  uint32_t length;
  int32_t colourLength;  // -1: no colour string
  // Recordings are compared byte by byte: no padding left undefined.
  int32_t unused = 0;
};
static_assert(sizeof(TextArgs) == sizeof(FontSet*) + 12 * sizeof(int32_t), "TextArgs has padding");

void ReplayText(const uint8_t* p, size_t size) {
  TextArgs a;
  if (size < sizeof a) return;
  std::memcpy(&a, p, sizeof a);
  const char* text = reinterpret_cast<const char*>(p + sizeof a);
  const char* colours = a.colourLength >= 0 ? text + a.length : nullptr;
  DrawBytes(*a.fonts, text, a.length, a.fontSlot, a.x, a.y, a.viewX, a.viewY, a.viewW, a.viewH,
            colours, a.colourLength >= 0 ? static_cast<size_t>(a.colourLength) : 0, a.skipFront,
            a.skipBack);
}

void RecordText(FontSet& fonts, const char* text, size_t length, int fontSlot, float x, float y,
                int viewX, int viewY, int viewW, int viewH, const char* colours,
                size_t colourLength, int skipFront, int skipBack) {
  const TextArgs a{&fonts,
                   fontSlot,
                   x,
                   y,
                   viewX,
                   viewY,
                   viewW,
                   viewH,
                   skipFront,
                   skipBack,
                   static_cast<uint32_t>(length),
                   colours != nullptr ? static_cast<int32_t>(colourLength) : -1};
  std::vector<uint8_t> bytes(sizeof a + length + (colours != nullptr ? colourLength : 0));
  std::memcpy(bytes.data(), &a, sizeof a);
  if (length > 0) std::memcpy(bytes.data() + sizeof a, text, length);
  if (colours != nullptr && colourLength > 0)
    std::memcpy(bytes.data() + sizeof a + length, colours, colourLength);
  // Where the glyphs go, as DrawBytes places them; in another view than
  // the window's, anywhere.
  const Font& font = fonts.fonts[fontSlot];
  const int64_t lo = font.firstChar, hi = lo + font.glyphCount;
  const size_t from = static_cast<size_t>(skipFront), to = length - static_cast<size_t>(skipBack);
  const float backdrop = lo <= 0 && hi > 0 ? static_cast<float>(font.glyphs[0].width) : 0.0f;
  float pen = 0, right = 0, top = 0;
  for (size_t i = from; i < to; ++i) {
    const int64_t code = static_cast<unsigned char>(text[i]);
    if (code < lo || code >= hi) continue;
    const float w = static_cast<float>(font.glyphs[code].width);
    right = std::max(right, pen + std::max(w, backdrop));
    top = std::max(top,
                   static_cast<float>(std::max(font.glyphs[code].height, font.glyphs[0].height)));
    if (code - lo >= 4) pen += w;
  }
  if (viewX == 0 && viewY == 0 && viewW == gApp.windowWidth && viewH == gApp.windowHeight) {
    RecordDraw(ReplayText, bytes.data(), bytes.size(), x, y, x + right, y + top);
  } else {
    RecordDraw(ReplayText, bytes.data(), bytes.size(), -1.0e6f, -1.0e6f, 1.0e6f, 1.0e6f);
  }
}

// The shared body of DrawText and DrawTextStr; colours are used only when
// they match the text in length.
void DrawBytes(FontSet& fonts, const char* text, size_t length, int fontSlot, float x, float y,
               int viewX, int viewY, int viewW, int viewH, const char* colours, size_t colourLength,
               int skipFront, int skipBack) {
  if (text == nullptr || length == 0 || !ValidSlot(fontSlot)) return;
  const Font& font = fonts.fonts[fontSlot];
  if (font.listBase == 0 || !ValidSlot(font.textureSlot)) return;
  const GLuint texture = fonts.textures[font.textureSlot];
  if (texture == 0) return;
  const int64_t len = static_cast<int64_t>(length);
  if (skipFront < 0 || skipFront >= len) skipFront = 0;
  if (skipBack < 0 || skipBack >= len) skipBack = 0;
  if (skipFront + skipBack >= len) return;
  const size_t from = static_cast<size_t>(skipFront), to = length - static_cast<size_t>(skipBack);
  const bool coloured = colours != nullptr && colourLength == length;
  if (DrawRecording()) {
    RecordText(fonts, text, length, fontSlot, x, y, viewX, viewY, viewW, viewH, colours,
               colourLength, skipFront, skipBack);
    return;
  }

  GLfloat saved[4] = {1, 1, 1, 1};
  if (coloured) glGetFloatv(GL_CURRENT_COLOR, saved);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(viewX, viewX + viewW, viewY, viewY + viewH, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(x, y, 0);
  // The glyph quads of one string go out between one glBegin and glEnd:
  // with a software renderer every separate draw has a fixed cost, so this
  // is much cheaper than a list call per glyph while the picture is the same
  // as the glyph lists would draw.
  const int64_t lo = font.firstChar, hi = lo + font.glyphCount;
  const float du = 1.0f / static_cast<float>(font.textureWidth);
  const float cellU = static_cast<float>(font.textureWidth / font.columns) * du;
  const float cellV =
      static_cast<float>(font.textureHeight / font.rows) / static_cast<float>(font.textureHeight);
  float pen = 0, right = 0, top = 0;
  // Glyph i of the font at the pen; glyphs 0..3 are overlays and do not
  // move it.
  auto glyph = [&](int64_t code) {
    const int64_t i = code - lo;
    const GlyphMetrics m = font.glyphs[code];
    const float w = static_cast<float>(m.width), h = static_cast<float>(m.height);
    const float u = static_cast<float>(i % font.columns) * cellU;
    const float v = 1.0f - static_cast<float>(i / font.columns + 1) * cellV;
    const float u1 = u + w * du;
    glTexCoord2f(u, v);
    glVertex2f(pen, 0);
    glTexCoord2f(u1, v);
    glVertex2f(pen + w, 0);
    glTexCoord2f(u1, v + cellV);
    glVertex2f(pen + w, h);
    glTexCoord2f(u, v + cellV);
    glVertex2f(pen, h);
    right = std::max(right, pen + w);
    top = std::max(top, h);
    if (i >= 4) pen += w;
  };
  // Bytes the font has no glyph for draw nothing.
  auto inFont = [&](char c) {
    const int64_t code = static_cast<unsigned char>(c);
    return code >= lo && code < hi;
  };
  // Code 0's glyph, the backdrop of "w" and "x", when the font has one.
  const bool hasBackdrop = lo <= 0 && hi > 0;
  auto backdrop = [&](float grey) {
    if (!hasBackdrop) return;
    glColor4f(grey, grey, grey, 0.5f);
    glyph(0);
  };
  glBegin(GL_QUADS);
  for (size_t i = from; i < to; ++i) {
    if (coloured) {
      switch (static_cast<unsigned char>(colours[i])) {
        case 'a':
          glColor3ub(255, 255, 255);
          break;
        case 'b':
          glColor3ub(0, 0, 255);
          break;
        case 'c':
          glColor3ub(0, 255, 255);
          break;
        case 'd':
          glColor3ub(0, 180, 255);
          break;
        case 'e':
          glColor3ub(0, 127, 127);
          break;
        case 'f':
          glColor3ub(0, 190, 127);
          break;
        case 'g':
          glColor3ub(0, 255, 0);
          break;
        case 'o':
          glColor3ub(255, 120, 32);
          break;
        case 'p':
          glColor3ub(255, 0, 255);
          break;
        case 'q':
          glColor3ub(255, 255, 0);
          break;
        case 'r':
          glColor3ub(255, 0, 0);
          break;
        case 's':
          glColor3ub(210, 210, 220);
          break;
        case 't':
          glColor3ub(190, 190, 190);
          break;
        case 'u':
          glColor3ub(160, 160, 160);
          break;
        case 'v':
          glColor3ub(127, 127, 127);
          break;
        case 'w':
          backdrop(0.6f);
          glColor3ub(96, 96, 96);
          break;
        case 'x':
          backdrop(0.5f);
          glColor3ub(63, 63, 63);
          break;
        case 'y':
          glColor3ub(32, 32, 32);
          break;
        case ' ':
          glColor4fv(saved);
          break;
        case 1:
          glColor4f(saved[0], saved[1], saved[2], 0.5f);
          break;
        default:
          glColor3ub(0, 0, 0);
          break;
      }
    }
    if (inFont(text[i])) glyph(static_cast<unsigned char>(text[i]));
  }
  glEnd();
  if (viewX == 0 && viewY == 0 && viewW == gApp.windowWidth && viewH == gApp.windowHeight) {
    NoteDrawn(x, y, x + right, y + top);
  } else {
    NoteDrawn(-1.0e6f, -1.0e6f, 1.0e6f, 1.0e6f);  // somewhere in another view
  }

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace

int LoadFonts(FontSet& fonts, const char* directory) {
  const std::string dir = directory != nullptr ? directory : "";
  std::istringstream in;
  if (!OpenTextList((dir + "/_tfonts.txt").c_str(), in)) return 0;
  NoteTexturesChanged();  // new widths draw old texts differently
  if (!FindMarker(in, "=tex=")) return 0;
  int32_t textures = 0;
  ReadInts(in, {&textures});
  textures = std::min(textures, kMaxSlot);
  std::string line;
  for (int i = 1; i <= textures; ++i) {
    if (!std::getline(in, line)) line.clear();
    const std::string name = Trim(line);
    if (!name.empty()) LoadFontTexture(fonts, i, dir + "/" + name);
  }
  if (!FindMarker(in, "=klv=")) {
    ReleaseFonts(fonts);
    return 0;
  }
  int32_t count = 0;
  ReadInts(in, {&count});
  count = std::min(count, kMaxSlot);
  for (int i = 1; i <= count; ++i) {
    if (!FindMarker(in, "=fnt=")) {
      ReleaseFonts(fonts);
      return 0;
    }
    ParseFont(in, fonts.fonts[i]);
  }
  return 1;
}

void ReleaseFonts(FontSet& fonts) {
  NoteTexturesChanged();
  for (Font& f : fonts.fonts) DeleteFontLists(f);
  for (uint32_t& t : fonts.textures) {
    if (t != 0) glDeleteTextures(1, &t);
    t = 0;
  }
}

void DrawText(FontSet& fonts, const char* text, int fontSlot, float x, float y, int viewX,
              int viewY, int viewW, int viewH, const char* colours, int skipFront, int skipBack) {
  if (text == nullptr) return;
  DrawBytes(fonts, text, std::strlen(text), fontSlot, x, y, viewX, viewY, viewW, viewH, colours,
            colours != nullptr ? std::strlen(colours) : 0, skipFront, skipBack);
}

void DrawTextStr(FontSet& fonts, const std::string& text, int fontSlot, float x, float y, int viewX,
                 int viewY, int viewW, int viewH, const std::string& colours, int skipFront,
                 int skipBack) {
  DrawBytes(fonts, text.data(), text.size(), fontSlot, x, y, viewX, viewY, viewW, viewH,
            colours.empty() ? nullptr : colours.data(), colours.size(), skipFront, skipBack);
}

void DrawChar(FontSet& fonts, int code, int fontSlot, float x, float y, int viewX, int viewY,
              int viewW, int viewH) {
  if (code <= 0 || code > 255 || !ValidSlot(fontSlot)) return;
  const char text[2] = {static_cast<char>(code), '\0'};
  DrawBytes(fonts, text, 1, fontSlot, x, y, viewX, viewY, viewW, viewH, nullptr, 0, 0, 0);
}

void DrawTextAt(const std::string& text, int fontSlot, float x, float y, const std::string& colours,
                int skipFront, int skipBack) {
  DrawTextStr(gFonts, text, fontSlot, x, y, 0, 0, gApp.windowWidth, gApp.windowHeight, colours,
              skipFront, skipBack);
}

int TextWidth(const FontSet& fonts, int fontSlot, const std::string& text, int start, int count) {
  const int64_t len = static_cast<int64_t>(text.size());
  if (!ValidSlot(fontSlot) || start < 0 || count == 0 || start >= len) return 0;
  const int64_t n = count < 0 ? len - start : std::min<int64_t>(count, len - start);
  const Font& font = fonts.fonts[fontSlot];
  // Widths are at most 65535 each, so even a text of billions of characters
  // cannot overflow the 64-bit sum; the int result saturates.
  int64_t width = 0;
  for (int64_t i = start; i < start + n; ++i)
    width += font.glyphs[static_cast<unsigned char>(text[i])].width;
  return static_cast<int>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
}

std::string Format(const char* format, ...) {
  if (format == nullptr) return std::string();
  // The texts the game composes are short; anything longer is cut, never
  // written past the buffer.
  char buffer[200] = {};
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return std::string(buffer);
}

// The resource generator: bitmap font sheets, the textures of the start-up
// list, the stage backgrounds and the Windows-1251 message base, all made at
// build time from code and the DejaVu fonts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture in straight-alpha RGBA floats, top row first.
struct Image {
  int w = 0, h = 0;
  std::vector<float> px;  // 4 floats a pixel
};

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};

Image MakeImage(int w, int h, Rgba fill = {});
Rgba GetPixel(const Image& img, int x, int y);
void SetPixel(Image& img, int x, int y, Rgba c);
// Paints `src` over the pixel (straight alpha "over").
void BlendPixel(Image& img, int x, int y, Rgba src);
// Places `src` with its top-left corner at (x, y), blended over.
void BlendImage(Image& dst, const Image& src, int x, int y, float opacity = 1.0f);

// A shape sampled at continuous picture coordinates (pixel centres at +0.5),
// returning premultiplied colour.  Painted with samples x samples per pixel.
using Sampler = Rgba (*)(float x, float y, const void* ctx);
Image PaintImage(int w, int h, int samples, Sampler fn, const void* ctx);

// Gives fully transparent pixels the colour of their visible neighbours, so
// that filtering and mip levels do not pull dark fringes into the edges.
void BleedColour(Image& img, int passes);
// Writes a TGA (32-bit with alpha, or 24-bit), run-length coded when that is
// smaller; top-left origin.  Writes to a temporary name and renames.  1/0.
int WriteTga(const std::string& path, const Image& img, int bits);
// Writes text bytes exactly; 1/0.
int WriteFileBytes(const std::string& path, const std::string& bytes);
int MakeDirs(const std::string& dir);

// Small maths used by the painters.
float Clamp01(float v);
float Mix(float a, float b, float t);
float SmoothStep(float e0, float e1, float v);
// Signed distance to a rounded rectangle centred at (cx, cy) with half sizes
// (hx, hy) and corner radius r; negative inside.
float RoundRectDist(float x, float y, float cx, float cy, float hx, float hy, float r);
// Smooth value noise in 0..1 with integer lattice, and a few octaves of it.
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, int octaves, uint32_t seed);

// Coverage mask of a line of text rendered with FreeType.
struct TextMask {
  int w = 0, h = 0;
  int baseline = 0;  // row of the baseline, from the top
  std::vector<float> a;
};
// Renders UTF-8 text at a pixel size; hScale < 1 narrows the letters.  An
// empty mask (w = 0) when the font cannot be opened.
TextMask RenderTextMask(const std::string& fontFile, int pixelSize, const std::string& utf8,
                        float hScale = 1.0f);
// Grows a mask by a soft disc of the given radius (for outlines and shadows).
TextMask DilateMask(const TextMask& m, float radius);
TextMask BlurMask(const TextMask& m, int radius);

// The three jobs; each returns 1 on success and reports its own errors.
int GenerateFonts(const std::string& fontDir, const std::string& resDir);
int GeneratePictures(const std::string& fontDir, const std::string& resDir);
// The 512 x 512 title picture of the intro.
Image PaintTitle(const std::string& fontDir);
// The desktop icons, PNG at 48, 64, 128 and 256 pixels, from the title picture.
int GenerateIcons(const std::string& fontDir, const std::string& outDir);
int ConvertMessageBase(const std::string& utf8Path, const std::string& outPath);
// The sound effects of the sound list, res/zvu/*.wav.
int GenerateSounds(const std::string& resDir);

// Internal pieces shared between painters.
struct GemStyle {
  Rgba colour;
  int emblem = 0;        // 0 none, 1..9 a small embossed sign
  float corner = 11.0f;  // corner radius in a 64-pixel tile; 32 = round
};
Image PaintGem(int size, const GemStyle& style);
enum ArrowDir { kArrowLeft, kArrowRight, kArrowUp, kArrowDown };
Image PaintArrow(int size, ArrowDir dir);
int GenerateBackgrounds(const std::string& resDir);

// The textures of the start-up list: colour gems, wall corners, cell frame,
// overlay, chain square, title picture, title strip and rotation arrows.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/gen_res/gen_res.h"

namespace {

struct Vec3 {
  float x, y, z;
};

Vec3 Normalize(Vec3 v) {
  const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / l, v.y / l, v.z / l};
}

float Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

Rgba Premul(float r, float g, float b, float a) {
  return {r * a, g * a, b * a, a};
}

// Light from the upper left, towards the viewer (y grows downwards).
const Vec3 kLight = Normalize({-0.45f, -0.65f, 0.62f});
const Vec3 kHalf = Normalize({kLight.x, kLight.y, kLight.z + 1.0f});

// Shading of a bevelled tile at depth t from its edge, with outward edge
// direction (gx, gy): 1 on the flat top, more on the lit slope, less on the far one.
struct Shade {
  float diffuse, specular;
};

Shade BevelShade(float t, float gx, float gy, float bevel, float steep) {
  const float slope = t < bevel ? (1.0f - t / bevel) * steep : 0.0f;
  const Vec3 n = Normalize({gx * slope, gy * slope, 1.0f});
  const float diffuse = std::max(Dot(n, kLight), 0.0f) / kLight.z;
  const float specular = std::pow(std::max(Dot(n, kHalf), 0.0f), 48.0f);
  return {diffuse, specular};
}

// Gradient of a distance function by central differences.
template <typename F>
void Gradient(F dist, float x, float y, float& gx, float& gy) {
  const float e = 0.3f;
  gx = dist(x + e, y) - dist(x - e, y);
  gy = dist(x, y + e) - dist(x, y - e);
  const float l = std::sqrt(gx * gx + gy * gy);
  if (l > 1e-6f) {
    gx /= l;
    gy /= l;
  }
}

float Len(float x, float y) {
  return std::sqrt(x * x + y * y);
}

float TriangleDist(float px, float py, float r) {  // pointing up, y upwards
  const float k = std::sqrt(3.0f);
  px = std::fabs(px) - r;
  py = py + r / k;
  if (px + k * py > 0.0f) {
    const float nx = (px - k * py) / 2.0f, ny = (-k * px - py) / 2.0f;
    px = nx;
    py = ny;
  }
  px -= std::clamp(px, -2.0f * r, 0.0f);
  return -Len(px, py) * (py < 0.0f ? -1.0f : 1.0f);
}

float HexagonDist(float px, float py, float r) {
  const float kx = -0.866025404f, ky = 0.5f, kz = 0.577350269f;
  px = std::fabs(px);
  py = std::fabs(py);
  const float d = 2.0f * std::min(kx * px + ky * py, 0.0f);
  px -= d * kx;
  py -= d * ky;
  px -= std::clamp(px, -kz * r, kz * r);
  py -= r;
  return Len(px, py) * (py < 0.0f ? -1.0f : 1.0f);
}

float BoxDist(float px, float py, float hx, float hy) {
  return RoundRectDist(px, py, 0.0f, 0.0f, hx, hy, 0.0f);
}

// The small sign embossed in a gem, so that colours also differ in shape.
float EmblemDist(int emblem, float dx, float dy) {
  const float s = 7.5f;
  switch (emblem) {
    case 1:
      return Len(dx, dy) - s;
    case 2:
      return (std::fabs(dx) + std::fabs(dy)) * 0.7071f - s * 0.78f;
    case 3:
      return RoundRectDist(dx, dy, 0, 0, s * 0.8f, s * 0.8f, 1.5f);
    case 4:
      return TriangleDist(dx, -dy + 1.5f, s * 1.05f);
    case 5:
      return std::min(BoxDist(dx, dy, s, s * 0.32f), BoxDist(dx, dy, s * 0.32f, s));
    case 6:
      return HexagonDist(dx, dy, s * 0.9f);
    case 7:
      return TriangleDist(dx, dy + 1.5f, s * 1.05f);
    case 8:
      return std::fabs(Len(dx, dy) - s * 0.8f) - 2.2f;
    case 9: {
      const float u = (dx + dy) * 0.7071f, v = (dx - dy) * 0.7071f;
      return std::min(BoxDist(u, v, s, s * 0.3f), BoxDist(u, v, s * 0.3f, s));
    }
    default:
      return 1e9f;
  }
}

struct GemCtx {
  GemStyle style;
  float scale;  // tile pixels to the 64-unit design space
};

Rgba GemSample(float px, float py, const void* vctx) {
  const auto& c = *static_cast<const GemCtx*>(vctx);
  const float x = px * c.scale, y = py * c.scale;
  const float half = 30.5f, r = std::min(c.style.corner, half);
  auto dist = [&](float a, float b) { return RoundRectDist(a, b, 32.0f, 32.0f, half, half, r); };
  const float d = dist(x, y);
  if (d > 0.0f) return {};
  const float t = -d;
  float gx, gy;
  Gradient(dist, x, y, gx, gy);
  const float bevel = 8.0f;
  const Shade sh = BevelShade(t, gx, gy, bevel, 1.7f);

  const Rgba base = c.style.colour;
  // Glass body: darker towards the bottom, a glow where light leaves it.
  float k = 1.10f - 0.30f * (y / 64.0f);
  const float glow = std::exp(-((x - 32) * (x - 32) + (y - 41) * (y - 41)) / 260.0f);
  float cr = base.r * k + base.r * 0.35f * glow;
  float cg = base.g * k + base.g * 0.35f * glow;
  float cb = base.b * k + base.b * 0.35f * glow;
  // Bevel light: darker on the far slope, towards white on the near one.
  if (sh.diffuse < 1.0f) {
    const float f = 0.45f + 0.55f * sh.diffuse;
    cr *= f;
    cg *= f;
    cb *= f;
  } else {
    const float w = std::min(0.5f, (sh.diffuse - 1.0f) * 0.55f);
    cr = Mix(cr, 1.0f, w);
    cg = Mix(cg, 1.0f, w);
    cb = Mix(cb, 1.0f, w);
  }
  // Embossed sign in the middle.
  const float e = EmblemDist(c.style.emblem, x - 32.0f, y - 33.0f);
  if (e < 0.0f) {
    cr = Mix(cr, 1.0f, 0.17f);
    cg = Mix(cg, 1.0f, 0.17f);
    cb = Mix(cb, 1.0f, 0.17f);
  }
  if (std::fabs(e) < 0.9f) {
    cr *= 0.82f;
    cg *= 0.82f;
    cb *= 0.82f;
  }
  // Gloss over the upper half of the top.
  const float ex = (x - 32.0f) / 22.0f, ey = (y - 19.0f) / 11.5f;
  const float inEllipse = 1.0f - (ex * ex + ey * ey);
  if (inEllipse > 0.0f && t > bevel - 2.5f) {
    const float gloss = 0.40f * SmoothStep(0.0f, 0.7f, inEllipse) * Clamp01(1.15f - (y - 8) / 20);
    cr = Mix(cr, 1.0f, gloss);
    cg = Mix(cg, 1.0f, gloss);
    cb = Mix(cb, 1.0f, gloss);
  }
  const float spec = 0.75f * sh.specular;
  cr = Mix(cr, 1.0f, spec);
  cg = Mix(cg, 1.0f, spec);
  cb = Mix(cb, 1.0f, spec);
  // Dark rim so neighbouring gems stay apart.
  if (t < 1.4f) {
    const float f = 0.55f + 0.45f * (t / 1.4f);
    cr *= f;
    cg *= f;
    cb *= f;
  }
  return Premul(Clamp01(cr), Clamp01(cg), Clamp01(cb), 1.0f);
}

// Matte stone block with a bevel and a groove: wall corners and the intro.
struct StoneCtx {
  Rgba colour;
  uint32_t seed;
  float scale;
};

Rgba StoneSample(float px, float py, const void* vctx) {
  const auto& c = *static_cast<const StoneCtx*>(vctx);
  const float x = px * c.scale, y = py * c.scale;
  auto dist = [](float a, float b) {
    return RoundRectDist(a, b, 32.0f, 32.0f, 32.0f, 32.0f, 4.0f);
  };
  const float d = dist(x, y);
  if (d > 0.0f) return {};
  const float t = -d;
  float gx, gy;
  Gradient(dist, x, y, gx, gy);
  const Shade sh = BevelShade(t, gx, gy, 7.0f, 1.3f);
  const float grain = 0.88f + 0.24f * Fbm(x / 5.0f, y / 5.0f, 3, c.seed);
  float f = grain * (0.5f + 0.5f * std::min(sh.diffuse, 1.6f)) * (1.05f - 0.12f * y / 64.0f);
  // A groove inside the bevel, lit from the opposite side.
  const float groove = std::fabs(t - 10.0f);
  if (groove < 1.2f) f *= 0.78f + 0.22f * (groove / 1.2f);
  if (t < 1.2f) f *= 0.6f + 0.4f * t / 1.2f;
  return Premul(Clamp01(c.colour.r * f), Clamp01(c.colour.g * f), Clamp01(c.colour.b * f), 1.0f);
}

// The cell frame behind coloured cells, drawn tinted: bright soft rim, faint middle.
Rgba FrameSample(float x, float y, const void*) {
  const float d = RoundRectDist(x, y, 32.0f, 32.0f, 31.5f, 31.5f, 12.0f);
  if (d > 0.0f) return {};
  const float t = -d;
  const float rim = 1.0f - SmoothStep(1.5f, 8.0f, t);
  const float a = 0.30f + 0.70f * rim;
  const float lum = 0.82f + 0.18f * Clamp01(1.0f - (x + y) / 96.0f);
  return Premul(lum, lum, lum, a);
}

// Overlay and marker: translucent frosted hatching with a bright rim.
Rgba VeilSample(float x, float y, const void*) {
  const float d = RoundRectDist(x, y, 32.0f, 32.0f, 31.0f, 31.0f, 9.0f);
  if (d > 0.0f) return {};
  const float t = -d;
  const float phase = (x + y) / 10.0f;
  const float s = phase - std::floor(phase);
  const float stripe = SmoothStep(0.0f, 0.08f, s) * (1.0f - SmoothStep(0.38f, 0.46f, s));
  float a = 0.26f + 0.30f * stripe;
  float lum = 0.86f + 0.08f * stripe;
  if (t < 3.0f) {
    a = Mix(0.9f, a, SmoothStep(1.5f, 3.0f, t));
    lum = Mix(1.0f, lum, SmoothStep(1.5f, 3.0f, t));
  }
  return Premul(lum, lum, std::min(1.0f, lum + 0.05f), a);
}

// Title strip: a band fading in from the left, clamped at its ends.
Rgba StripSample(float x, float y, const void*) {
  const float u = x / 256.0f, v = y / 32.0f;
  const float a = 0.88f * SmoothStep(0.0f, 0.4f, u);
  float r = Mix(0.17f, 0.05f, v), g = Mix(0.40f, 0.13f, v), b = Mix(0.50f, 0.22f, v);
  const float line = 1.0f - SmoothStep(0.0f, 1.5f, std::fabs(y - 2.5f));
  r = Mix(r, 0.65f, 0.7f * line);
  g = Mix(g, 0.88f, 0.7f * line);
  b = Mix(b, 0.92f, 0.7f * line);
  const float bottom = 1.0f - SmoothStep(0.0f, 1.5f, std::fabs(y - 30.5f));
  r *= 1.0f - 0.5f * bottom;
  g *= 1.0f - 0.5f * bottom;
  b *= 1.0f - 0.5f * bottom;
  return Premul(r, g, b, a);
}

// Arrow pointing right in a 64-unit tile; other directions turn the tile.
float ArrowRightDist(float x, float y) {
  static const float kPts[][2] = {{13.0f, 25.5f}, {33.0f, 25.5f}, {33.0f, 14.0f}, {53.5f, 32.0f},
                                  {33.0f, 50.0f}, {33.0f, 38.5f}, {13.0f, 38.5f}};
  constexpr int n = 7;
  float d = 1e9f, sgn = 1.0f;
  for (int i = 0, j = n - 1; i < n; j = i, ++i) {
    const float ex = kPts[j][0] - kPts[i][0], ey = kPts[j][1] - kPts[i][1];
    const float wx = x - kPts[i][0], wy = y - kPts[i][1];
    const float h = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
    const float bx = wx - ex * h, by = wy - ey * h;
    d = std::min(d, bx * bx + by * by);
    const bool c1 = y >= kPts[i][1], c2 = y<kPts[j][1], c3 = ex * wy> ey * wx;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sgn = -sgn;
  }
  return sgn * std::sqrt(d) - 1.3f;  // slightly rounded corners
}

struct ArrowCtx {
  ArrowDir dir;
  float scale;
};

float ArrowDist(ArrowDir dir, float x, float y) {
  switch (dir) {
    case kArrowRight:
      return ArrowRightDist(x, y);
    case kArrowLeft:
      return ArrowRightDist(64.0f - x, y);
    case kArrowUp:
      return ArrowRightDist(64.0f - y, x);
    case kArrowDown:
      return ArrowRightDist(y, 64.0f - x);
  }
  return 1e9f;
}

Rgba ArrowSample(float px, float py, const void* vctx) {
  const auto& c = *static_cast<const ArrowCtx*>(vctx);
  const float x = px * c.scale, y = py * c.scale;
  const float d = ArrowDist(c.dir, x, y);
  if (d < 0.0f) {
    const float v = y / 64.0f;
    return Premul(Mix(1.0f, 0.80f, v), Mix(1.0f, 0.86f, v), Mix(1.0f, 0.95f, v), 1.0f);
  }
  if (d < 2.4f) return Premul(0.05f, 0.07f, 0.13f, 0.92f);
  const float ds = ArrowDist(c.dir, x - 2.0f, y - 2.5f);
  const float shadow = 0.40f * (1.0f - SmoothStep(-1.0f, 4.5f, ds));
  return Premul(0.0f, 0.0f, 0.0f, shadow);
}

// ---- title picture ----

Rgba TitleBackSample(float x, float y, const void*) {
  const float d = RoundRectDist(x, y, 256.0f, 256.0f, 248.0f, 248.0f, 30.0f);
  if (d > 0.0f) return {};
  const float t = -d;
  const float v = y / 512.0f;
  float r = Mix(0.06f, 0.15f, v), g = Mix(0.09f, 0.05f, v), b = Mix(0.22f, 0.19f, v);
  // Soft diagonal light rays from the upper left.
  const float ang = std::atan2(y + 80.0f, x + 60.0f);
  const float ray = 0.5f + 0.5f * std::sin(ang * 26.0f);
  const float rays = 0.035f * ray * Clamp01(1.0f - Len(x, y) / 700.0f);
  r += rays;
  g += rays;
  b += rays * 1.3f;
  // A glow behind the piece.
  const float glow = std::exp(-((x - 256) * (x - 256) + (y - 338) * (y - 338)) / 9000.0f);
  r += 0.10f * glow;
  g += 0.12f * glow;
  b += 0.22f * glow;
  // Golden border just inside the edge, with a dark line outside it.
  const float border = 1.0f - SmoothStep(0.8f, 1.8f, std::fabs(t - 5.0f));
  r = Mix(r, 0.90f, border);
  g = Mix(g, 0.72f, border);
  b = Mix(b, 0.34f, border);
  if (t < 2.5f) {
    r *= 0.4f;
    g *= 0.4f;
    b *= 0.4f;
  }
  return Premul(r, g, b, 0.95f);
}

// Text with a vertical fill gradient, an outline and a soft drop shadow.
void DrawFancyText(Image& img, const TextMask& m, int x, int baselineY, Rgba top, Rgba bottom,
                   float outlineRadius, Rgba outline, int shadowDx, int shadowDy,
                   float shadowAlpha) {
  if (m.w == 0) return;
  const int ox = x, oy = baselineY - m.baseline;
  if (shadowAlpha > 0.0f) {
    const TextMask s = BlurMask(DilateMask(m, outlineRadius), 2);
    const int r = (s.w - m.w) / 2;
    for (int j = 0; j < s.h; ++j)
      for (int i = 0; i < s.w; ++i) {
        const float a = s.a[static_cast<size_t>(j) * s.w + i] * shadowAlpha;
        BlendPixel(img, ox - r + i + shadowDx, oy - r + j + shadowDy, {0, 0, 0, a});
      }
  }
  if (outlineRadius > 0.0f) {
    const TextMask o = DilateMask(m, outlineRadius);
    const int r = (o.w - m.w) / 2;
    for (int j = 0; j < o.h; ++j)
      for (int i = 0; i < o.w; ++i) {
        Rgba c = outline;
        c.a *= o.a[static_cast<size_t>(j) * o.w + i];
        BlendPixel(img, ox - r + i, oy - r + j, c);
      }
  }
  for (int j = 0; j < m.h; ++j) {
    const float v = Clamp01(static_cast<float>(j - (m.baseline - m.h * 0.7f)) / (m.h * 0.7f));
    for (int i = 0; i < m.w; ++i) {
      const float a = m.a[static_cast<size_t>(j) * m.w + i];
      if (a <= 0.0f) continue;
      BlendPixel(img, ox + i, oy + j,
                 {Mix(top.r, bottom.r, v), Mix(top.g, bottom.g, v), Mix(top.b, bottom.b, v), a});
    }
  }
}

const Rgba kGemColours[9] = {
    {0.82f, 0.14f, 0.16f, 1}, {0.22f, 0.74f, 0.25f, 1}, {0.18f, 0.40f, 0.95f, 1},
    {0.98f, 0.84f, 0.20f, 1}, {0.88f, 0.24f, 0.78f, 1}, {0.16f, 0.80f, 0.88f, 1},
    {1.00f, 0.55f, 0.12f, 1}, {0.80f, 0.83f, 0.88f, 1}, {0.52f, 0.30f, 0.92f, 1},
};

GemStyle ColourGem(int colour) {
  return {kGemColours[colour - 1], colour, 11.0f};
}

}  // namespace

Image PaintGem(int size, const GemStyle& style) {
  const GemCtx ctx{style, 64.0f / size};
  return PaintImage(size, size, 4, GemSample, &ctx);
}

Image PaintArrow(int size, ArrowDir dir) {
  const ArrowCtx ctx{dir, 64.0f / size};
  return PaintImage(size, size, 4, ArrowSample, &ctx);
}

Image PaintTitle(const std::string& fontDir) {
  Image img = PaintImage(512, 512, 2, TitleBackSample, nullptr);
  const std::string bold = fontDir + "/DejaVuSans-Bold.ttf";
  const std::string sans = fontDir + "/DejaVuSans.ttf";

  // A piece: silver centre and a full ring, with the clockwise arrows on its
  // four side cells, as the game shows them.
  const int cell = 60, cx = 256, cy = 340;
  const int ring[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  const int ringColour[8] = {1, 4, 2, 6, 3, 9, 5, 7};
  const Image centre = PaintGem(cell, ColourGem(8));
  BlendImage(img, centre, cx - cell / 2, cy - cell / 2);
  for (int k = 0; k < 8; ++k) {
    const Image gem = PaintGem(cell, ColourGem(ringColour[k]));
    BlendImage(img, gem, cx - cell / 2 + ring[k][0] * (cell + 2),
               cy - cell / 2 + ring[k][1] * (cell + 2));
  }
  const ArrowDir arrows[4] = {kArrowRight, kArrowDown, kArrowLeft, kArrowUp};  // top, right, ...
  for (int k = 0; k < 4; ++k) {
    const int* pos = ring[1 + 2 * k];
    const Image a = PaintArrow(cell, arrows[k]);
    BlendImage(img, a, cx - cell / 2 + pos[0] * (cell + 2), cy - cell / 2 + pos[1] * (cell + 2),
               0.7f);
  }
  // Single cells falling at the sides, with faint trails.
  const struct {
    int x, y, colour;
  } fallers[] = {{62, 262, 4}, {420, 300, 3}, {96, 392, 2}, {440, 410, 1}};
  for (const auto& f : fallers) {
    const int s = 34;
    for (int j = 0; j < 70; ++j) {
      const float a = 0.16f * (1.0f - j / 70.0f);
      const Rgba& c = kGemColours[f.colour - 1];
      for (int i = 6; i < s - 6; ++i) BlendPixel(img, f.x + i, f.y - j, {c.r, c.g, c.b, a});
    }
    BlendImage(img, PaintGem(s, ColourGem(f.colour)), f.x, f.y);
  }

  // The name: "st-" small and cool, "DROMO" big and golden.
  // Sized to leave a margin inside the border whatever the font's metrics.
  const TextMask st0 = RenderTextMask(bold, 58, "st-");
  const TextMask dromo0 = RenderTextMask(bold, 104, "DROMO", 0.92f);
  const float fit = std::min(1.0f, 420.0f / static_cast<float>(std::max(1, st0.w + dromo0.w)));
  const TextMask st = RenderTextMask(bold, static_cast<int>(58 * fit), "st-");
  const TextMask dromo = RenderTextMask(bold, static_cast<int>(104 * fit), "DROMO", 0.92f);
  const int total = st.w + dromo.w;
  const int left = (512 - total) / 2, baseline = 172;
  DrawFancyText(img, st, left, baseline, {0.70f, 0.95f, 1.0f, 1}, {0.35f, 0.65f, 0.95f, 1}, 2.5f,
                {0.02f, 0.05f, 0.12f, 1}, 4, 5, 0.6f);
  DrawFancyText(img, dromo, left + st.w, baseline, {1.0f, 0.93f, 0.55f, 1},
                {0.98f, 0.55f, 0.14f, 1}, 3.0f, {0.16f, 0.07f, 0.02f, 1}, 5, 6, 0.6f);
  const TextMask sub = RenderTextMask(sans, 28, "vornadel-Dromo v2");
  DrawFancyText(img, sub, (512 - sub.w) / 2, 218, {0.85f, 0.90f, 1.0f, 1}, {0.62f, 0.70f, 0.90f, 1},
                1.2f, {0.02f, 0.03f, 0.08f, 1}, 2, 2, 0.5f);
  const TextMask tag = RenderTextMask(sans, 21, "цвет к цвету — три в ряд");
  DrawFancyText(img, tag, (512 - tag.w) / 2, 478, {1.0f, 0.90f, 0.70f, 1}, {0.92f, 0.72f, 0.50f, 1},
                1.0f, {0.05f, 0.02f, 0.02f, 1}, 2, 2, 0.5f);
  return img;
}

int GeneratePictures(const std::string& fontDir, const std::string& resDir) {
  const std::string dir = resDir + "/pix";
  if (!MakeDirs(dir)) return 0;
  int ok = 1;
  auto put = [&](const std::string& name, Image img) {
    BleedColour(img, 4);
    ok = ok && WriteTga(dir + "/" + name, img, 32);
  };
  for (int colour = 1; colour <= 9; ++colour)
    put("gem" + std::to_string(colour) + ".tga", PaintGem(64, ColourGem(colour)));
  put("intro.tga", PaintGem(64, {{0.10f, 0.62f, 0.60f, 1}, 2, 14.0f}));
  const StoneCtx rose{{0.70f, 0.50f, 0.50f, 1}, 7u, 1.0f};
  put("corner1.tga", PaintImage(64, 64, 3, StoneSample, &rose));
  const StoneCtx sand{{0.62f, 0.61f, 0.52f, 1}, 11u, 1.0f};
  put("corner2.tga", PaintImage(64, 64, 3, StoneSample, &sand));
  put("frame.tga", PaintImage(64, 64, 4, FrameSample, nullptr));
  put("veil.tga", PaintImage(64, 64, 4, VeilSample, nullptr));
  put("chain.tga", PaintGem(32, {{1.0f, 0.70f, 0.16f, 1}, 0, 32.0f}));
  put("title.tga", PaintTitle(fontDir));
  put("strip.tga", PaintImage(256, 32, 3, StripSample, nullptr));
  put("arrow_left.tga", PaintArrow(64, kArrowLeft));
  put("arrow_right.tga", PaintArrow(64, kArrowRight));
  put("arrow_up.tga", PaintArrow(64, kArrowUp));
  put("arrow_down.tga", PaintArrow(64, kArrowDown));
  return ok && GenerateBackgrounds(resDir);
}

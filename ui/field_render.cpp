// The well on the screen.  Software renderers pay per pixel and per state
// change, so quads are collected per pass and drawn grouped by layer and
// texture inside one glBegin/glEnd each, with every texture bound once.
#include "ui/field_render.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/frame.h"
#include "base/random.h"
#include "base/timers.h"
#include "game/field.h"
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/draw_cache.h"
#include "gfx/texture.h"
#include "ui/fonts.h"

namespace {

// ------------------------------------------------------------ constants

constexpr int kShadowTexture = 4;
constexpr int kLeftCornerTexture = 12;
constexpr int kRightCornerTexture = 13;
constexpr int kVeilTexture = 17;  // settle bars, game-over overlay, markers
constexpr int kArrowLeft = 35, kArrowRight = 36, kArrowUp = 37, kArrowDown = 38;

constexpr float kBackgroundAlpha = 0.65f;
constexpr int32_t kSettleStepMs = 120;
constexpr int32_t kRemovalFlashMs = 1500;
constexpr int32_t kPointsShowMs = 2500;
constexpr int32_t kRotateAnimMs = 300;
constexpr float kBackdropGrow = 3.0f;
constexpr float kPieceGrow = 3.0f;
constexpr float kShadowGrow = 4.0f;
constexpr float kPreviewFrame = 16.0f;
constexpr float kSpawnFrame = 6.0f;
constexpr float kFrameGrey = 127.0f / 255.0f;

constexpr int kChainFont = 6;
constexpr int kChargesFont = 5;

// ------------------------------------------------------------ quad batches

// A rectangle that later opaque pixels cover (see "hidden pixels").
struct Hole {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // whole pixels; empty when x1 <= x0
};

struct QuadItem {
  int32_t key;  // layer * 1024 + texture: the drawing order
  int32_t seq;  // order of arrival, kept within a key
  float x, y, w, h;
  WellColour c;
  float u0, v0, u1, v1;  // texture coordinates of the lower-left and upper-right corners
};

// More than the largest well needs in its busiest pass (two quads per cell
// and a bar each while settling).
constexpr int kMaxItems = 16 * kMaxFieldCells;
std::array<QuadItem, kMaxItems> gItems;
int gItemCount = 0;

// Texture state as this file last left it; anything else may have changed
// it in between, so each pass starts from "unknown".
GLuint gBoundName = 0;
int gTexturing = -1;  // -1 unknown, 0 off, 1 on

void ForgetTextureState() {
  gBoundName = 0;
  gTexturing = -1;
}

// A missing picture draws a flat quad rather than whatever was bound last.
void UseTexture(int slot) {
  GLuint name = 0;
  if (slot > 0 && slot < kTextureSlots) name = gTextures.slots[slot].glName;
  if (name == 0) {
    if (gTexturing != 0) glDisable(GL_TEXTURE_2D);
    gTexturing = 0;
    return;
  }
  if (gTexturing != 1) glEnable(GL_TEXTURE_2D);
  gTexturing = 1;
  if (gBoundName != name) glBindTexture(GL_TEXTURE_2D, name);
  gBoundName = name;
}

void Add(int layer, int texture, float x, float y, float w, float h, const WellColour& c) {
  // An invisible quad still costs its pixels.
  if (c.a <= 0.0f || w <= 0.0f || h <= 0.0f || gItemCount >= kMaxItems) return;
  gItems[gItemCount] = QuadItem{layer * 1024 + texture, gItemCount, x, y, w, h, c, 0, 0, 1, 1};
  ++gItemCount;
}

// The part of a quad outside the given holes, as up to a few quads that
// show the texture where the whole quad would.
void AddAround(int layer, int texture, float x, float y, float w, float h, const WellColour& c,
               const Hole* const* holes, int holeCount) {
  if (c.a <= 0.0f || w <= 0.0f || h <= 0.0f) return;
  struct Piece {
    float x0, y0, x1, y1;
  };
  const float xEnd = x + w, yEnd = y + h;
  std::array<Piece, 64> parts;
  int n = 0;
  parts[n++] = Piece{x, y, xEnd, yEnd};
  for (int k = 0; k < holeCount; ++k) {
    const Hole* hole = holes[k];
    if (hole == nullptr) continue;
    std::array<Piece, 64> next;
    int m = 0;
    for (int k = 0; k < n; ++k) {
      const Piece p = parts[static_cast<size_t>(k)];
      const float hx0 = std::max(p.x0, hole->x0), hx1 = std::min(p.x1, hole->x1);
      const float hy0 = std::max(p.y0, hole->y0), hy1 = std::min(p.y1, hole->y1);
      if (hx1 <= hx0 || hy1 <= hy0 || m + 4 > static_cast<int>(next.size())) {
        if (m < static_cast<int>(next.size())) next[static_cast<size_t>(m++)] = p;
        continue;
      }
      if (hy0 > p.y0) next[static_cast<size_t>(m++)] = Piece{p.x0, p.y0, p.x1, hy0};
      if (p.y1 > hy1) next[static_cast<size_t>(m++)] = Piece{p.x0, hy1, p.x1, p.y1};
      if (hx0 > p.x0) next[static_cast<size_t>(m++)] = Piece{p.x0, hy0, hx0, hy1};
      if (p.x1 > hx1) next[static_cast<size_t>(m++)] = Piece{hx1, hy0, p.x1, hy1};
    }
    parts = next;
    n = m;
  }
  for (int k = 0; k < n && gItemCount < kMaxItems; ++k) {
    const Piece& p = parts[static_cast<size_t>(k)];
    // Edges the holes did not move stay exactly where the whole quad has them.
    const bool left = p.x0 == x, right = p.x1 == xEnd, bottom = p.y0 == y, top = p.y1 == yEnd;
    QuadItem& q = gItems[gItemCount];
    q.key = layer * 1024 + texture;
    q.seq = gItemCount;
    q.x = p.x0;
    q.y = p.y0;
    q.w = left && right ? w : p.x1 - p.x0;
    q.h = bottom && top ? h : p.y1 - p.y0;
    q.c = c;
    q.u0 = left ? 0.0f : (p.x0 - x) / w;
    q.u1 = right ? 1.0f : (p.x1 - x) / w;
    q.v0 = bottom ? 0.0f : (p.y0 - y) / h;
    q.v1 = top ? 1.0f : (p.y1 - y) / h;
    ++gItemCount;
  }
}

// ------------------------------------------------------------ geometry

struct Geometry {
  float x0 = 0, y0 = 0, cw = 0, ch = 0;
  int32_t width = 0, height = 0;
};

bool CurrentGeometry(Geometry& geo) {
  const GameState& g = gGame;
  if (g.field == nullptr || g.cellW <= 0 || g.cellH <= 0) return false;
  geo.x0 = static_cast<float>(g.wellX);
  geo.y0 = static_cast<float>(g.wellY);
  geo.cw = static_cast<float>(g.cellW);
  geo.ch = static_cast<float>(g.cellH);
  geo.width = g.field->width;
  geo.height = g.field->height;
  return true;
}

// Row 0 is at the top.
float CellX(const Geometry& geo, int32_t index) {
  return geo.x0 + static_cast<float>(index % geo.width) * geo.cw;
}
float CellY(const Geometry& geo, int32_t index) {
  return geo.y0 + static_cast<float>(geo.height - 1 - index / geo.width) * geo.ch;
}

int ColourTexture(int colour, const WellStyle& style) {
  if (colour >= 1 && colour <= 9) return colour + style.textureBase;
  return kVeilTexture;  // the special piece's centre
}

constexpr WellColour kWhite{1, 1, 1, 1};

WellColour White(float alpha) {
  return WellColour{1, 1, 1, alpha};
}

// ------------------------------------------------------------ hidden pixels

// A gem drawn at full alpha hides every pixel that samples only its opaque
// texels, whatever the well drew there before it.  The textured layers
// under the gems (settle bars, cell backdrops) leave those rectangles out:
// the same picture for fewer pixels blended.
std::vector<Hole> gCellHoles;     // by cell index
std::array<Hole, 9> gPieceHoles;  // the falling piece's gems
int gPieceHoleCount = 0;
bool gHolesOn = false;

// Pixel edges [first, end) along one side of a quad at `start`, `size`
// long, showing `texels` texels of which `inset` at each end may be less
// than opaque; a pixel counts when both texels of its linear sample are
// opaque, with a pixel to spare for rounding.
bool OpaqueSpan(float start, float size, int texels, int inset, float* first, float* end) {
  if (texels <= 2 * inset + 2 || size <= 0.0f) return false;
  const float scale = size / static_cast<float>(texels);
  const float lo = start + (static_cast<float>(inset) + 0.5f) * scale;
  const float hi = start + (static_cast<float>(texels - inset) - 0.5f) * scale;
  *first = std::ceil(lo + 0.5f);
  *end = std::ceil(hi - 1.5f);
  return *end > *first;
}

Hole GemHole(int texture, float x, float y, float w, float h) {
  Hole hole;
  if (texture <= 0 || texture >= kTextureSlots) return hole;
  const TextureSlot& t = gTextures.slots[texture];
  if (t.glName == 0 || t.opaqueInset < 0) return hole;
  if (!OpaqueSpan(x, w, t.width, t.opaqueInset, &hole.x0, &hole.x1) ||
      !OpaqueSpan(y, h, t.height, t.opaqueInset, &hole.y0, &hole.y1))
    return Hole{};
  return hole;
}

// Every gem of the cells and the falling piece, as the passes below draw
// them at full alpha.
void FindHoles(const Geometry& geo, const WellStyle& style) {
  const Field& f = *gGame.field;
  gHolesOn = !StraightDrawing();
  gPieceHoleCount = 0;
  gCellHoles.assign(static_cast<size_t>(f.count), Hole{});
  if (!gHolesOn) return;
  // With the colour pulse the gems grow by 0..3 pixels; the least growth
  // has the smallest opaque middle.
  const float g = gOptions.colourPulse != 0 ? 0.0f : 3.0f;
  for (int32_t i = 0; i < f.count; ++i) {
    const int32_t v = f.cellAt(i);
    if (v <= 0) continue;
    gCellHoles[static_cast<size_t>(i)] = GemHole(ColourTexture(v, style), CellX(geo, i) - g,
                                                 CellY(geo, i) - g, geo.cw + 2 * g, geo.ch + 2 * g);
  }
  const GameState& gs = gGame;
  const Piece& p = gs.current;
  if (p.position < geo.width || gs.special.active) return;
  const float lift = FallingPieceOffset(gs.fallTimer, gs.fallPeriod, gs.cellH, gOptions.stepF);
  for (int slot = 0; slot <= 8; ++slot) {
    const int32_t colour = slot == 0 ? p.centre : p.ring[slot - 1];
    if (colour <= 0) continue;
    const int32_t index = p.position + RingOffset(slot, geo.width);
    const Hole h = GemHole(ColourTexture(colour, style), CellX(geo, index) - kPieceGrow,
                           CellY(geo, index) + lift - kPieceGrow, geo.cw + 2 * kPieceGrow,
                           geo.ch + 2 * kPieceGrow);
    if (h.x1 > h.x0) gPieceHoles[static_cast<size_t>(gPieceHoleCount++)] = h;
  }
}

const Hole* CellHole(int32_t index) {
  if (!gHolesOn || index < 0 || static_cast<size_t>(index) >= gCellHoles.size()) return nullptr;
  const Hole& h = gCellHoles[static_cast<size_t>(index)];
  return h.x1 > h.x0 ? &h : nullptr;
}

// The holes over one quad: of some cells and of the falling piece.
struct HoleList {
  std::array<const Hole*, 40> holes{};
  int count = 0;
  void Cell(int32_t index) {
    const Hole* h = CellHole(index);
    if (h != nullptr && count < static_cast<int>(holes.size()))
      holes[static_cast<size_t>(count++)] = h;
  }
  void Piece() {
    if (!gHolesOn) return;
    for (int k = 0; k < gPieceHoleCount && count < static_cast<int>(holes.size()); ++k)
      holes[static_cast<size_t>(count++)] = &gPieceHoles[static_cast<size_t>(k)];
  }
};

// Blending and the texture generation decide what a quad leaves behind.
uint64_t BlendState() {
  GLint v[3] = {glIsEnabled(GL_BLEND), 0, 0};
  glGetIntegerv(GL_BLEND_SRC, &v[1]);
  glGetIntegerv(GL_BLEND_DST, &v[2]);
  const uint64_t generation = TextureGeneration();
  return HashBytes(v, sizeof v, generation);
}

void NoteQuad(const QuadItem& q, uint64_t state) {
  struct {
    int32_t key;
    float x, y, w, h;
    WellColour c;
  } what{q.key, q.x, q.y, q.w, q.h, q.c};
  NoteDrawnContent(q.x, q.y, q.x + q.w, q.y + q.h, HashBytes(&what, sizeof what, state));
}

void Flush() {
  if (gItemCount == 0) return;
  std::sort(gItems.begin(), gItems.begin() + gItemCount, [](const QuadItem& a, const QuadItem& b) {
    return a.key != b.key ? a.key < b.key : a.seq < b.seq;
  });
  if (DrawProbing()) {
    // The quads and their pictures are all that decides what they draw.
    for (int i = 0; i < gItemCount; ++i) {
      const int t = gItems[i].key % 1024;
      const GLuint name = t > 0 && t < kTextureSlots ? gTextures.slots[t].glName : 0;
      FoldIntoProbe(&name, sizeof name);
    }
    FoldIntoProbe(gItems.data(), sizeof(QuadItem) * static_cast<size_t>(gItemCount));
    gItemCount = 0;
    return;
  }
  int texture = -1;
  bool open = false;
  // Every quad here has one colour at all four corners.  Smooth shading all
  // the same: Mesa's software renderer fills flat-shaded quads as two
  // triangles each, smooth ones as rectangles on its fast path.
  // What each quad draws, for the panels that a copy may draw over it.
  const uint64_t state = BlendState();
  for (int i = 0; i < gItemCount; ++i) {
    const QuadItem& q = gItems[i];
    NoteQuad(q, state);
    const int t = q.key % 1024;
    if (t != texture) {
      if (open) glEnd();
      UseTexture(t);
      texture = t;
      glBegin(GL_QUADS);
      open = true;
    }
    glColor4f(q.c.r, q.c.g, q.c.b, q.c.a);
    glTexCoord2f(q.u0, q.v0);
    glVertex2f(q.x, q.y);
    glTexCoord2f(q.u1, q.v0);
    glVertex2f(q.x + q.w, q.y);
    glTexCoord2f(q.u1, q.v1);
    glVertex2f(q.x + q.w, q.y + q.h);
    glTexCoord2f(q.u0, q.v1);
    glVertex2f(q.x, q.y + q.h);
  }
  if (open) glEnd();
  gItemCount = 0;
}

// ------------------------------------------------------------ pulses

// The well's own pulses (value, min, max, step); all ping-pong at 10 ms.
struct PulseSpec {
  float value, min, max, step;
};
constexpr PulseSpec kWellPulseSpecs[8] = {
    {0.75f, 0.4f, 0.85f, 0.0001f}, {0.75f, 0.4f, 0.85f, 0.0002f}, {0.75f, 0.4f, 0.9f, 0.00025f},
    {0.55f, 0.4f, 0.7f, 0.01f},    {0.35f, 0.3f, 0.7f, 0.004f},   {0.8f, 0.8f, 1.0f, 0.009f},
    {0.8f, 0.8f, 1.0f, 0.007f},    {0.8f, 0.8f, 1.0f, 0.004f},
};
constexpr int kBarPulse = 3;   // tints the settle bars; the falling piece's shadow
constexpr int kLatePulse = 4;  // stepped after the cell pass
std::array<Pulse, 8> gWellPulses;
bool gWellPulsesCreated = false;

void StepWellPulses() {
  if (!gWellPulsesCreated) {
    for (size_t i = 0; i < gWellPulses.size(); ++i) {
      const PulseSpec& s = kWellPulseSpecs[i];
      PulseInit(gWellPulses[i], s.value, s.min, s.max, s.step, kPulsePingPong, 10);
    }
    gWellPulsesCreated = true;
  }
  for (size_t i = 0; i < gWellPulses.size(); ++i) {
    if (static_cast<int>(i) != kLatePulse) PulseStep(gWellPulses[i]);
  }
}

// Pulses of the coloured cells.
struct CellPulseSet {
  Pulse p1, p2, p3, p4, p5, pb, pg;
};
CellPulseSet gCellPulses;
CellPulseState gCellState;

void ResetCellState() {
  gCellState = CellPulseState{};
  gCellState.sparkleMs[0] = 4500;
  gCellState.sparkleMs[1] = 3500;
}

struct CellStateInit {
  CellStateInit() { ResetCellState(); }
} gCellStateInit;

void CreateCellPulses() {
  CellPulseSet& c = gCellPulses;
  PulseInit(c.p1, 0.8f, 0.8f, 1.0f, 0.006f, kPulsePingPong, 10);
  PulseInit(c.p2, 0.8f, 0.8f, 1.0f, 0.004f, kPulsePingPong, 10);
  PulseInit(c.p3, 0.8f, 0.8f, 1.0f, 0.003f, kPulsePingPong, 10);
  PulseInit(c.p4, 0.8f, 0.8f, 1.0f, 0.0012f, kPulsePingPong, 10);
  PulseInit(c.p5, 0.8f, 0.7f, 1.0f, 0.0006f, kPulsePingPong, 10);
  PulseInit(c.pb, 0.7f, 0.6f, 0.8f, 0.004f, kPulsePingPong, 10);
  PulseInit(c.pg, 1.0f, 0.0f, 3.8f, 0.005f, kPulsePingPong, 10);
  gCellState.created = 1;
}

void RunSparkle(int k, int lo, int hi) {
  int32_t& ms = gCellState.sparkleMs[k];
  CountDown(ms);
  if (ms == 0) {
    ms = Random(lo, hi);
    gCellState.sparkle[k] ^= 1;
  }
}

void SyncCellState() {
  const CellPulseSet& c = gCellPulses;
  gCellState.p1 = c.p1.value;
  gCellState.p2 = c.p2.value;
  gCellState.p3 = c.p3.value;
  gCellState.p4 = c.p4.value;
  gCellState.p5 = c.p5.value;
  gCellState.pb = c.pb.value;
  gCellState.pg = c.pg.value;
}

// ------------------------------------------------------------ display timers

uint32_t gTimersTick = 0;
bool gTimersTickKnown = false;

// Once per new frame-clock tick: a frame that did not tick (an unfocused
// one) must not run the effects down at the last frame's pace.
void CountDisplayTimers() {
  if (gTimersTickKnown && gFrameClock.tick == gTimersTick) return;
  gTimersTick = gFrameClock.tick;
  gTimersTickKnown = true;
  CountDown(gGame.removedShowTimer);
  CountDown(gGame.pointsShowTimer);
}

// ------------------------------------------------------------ passes

bool InSpawnArea(int32_t index) {
  for (int32_t s : gGame.spawnArea) {
    if (s == index) return true;
  }
  return false;
}

// The well is the first thing drawn on the cleared (black) screen, so its
// translucent background can be drawn opaque in colours already multiplied
// by their alpha: the same picture without reading the screen back.  Cells
// of one colour above each other in a column go into one quad.
void BackgroundPass(const Geometry& geo, const WellStyle& style) {
  const Field& f = *gGame.field;
  FindHoles(geo, style);
  SetBlend(0);
  // The darkest columns come out black, as the screen already is.
  const bool skipBlack = !StraightDrawing();
  for (int32_t col = 0; col < f.width; ++col) {
    int32_t runStart = 0, runLength = 0;
    WellColour run{};
    bool runTextured = false;
    const auto flushRun = [&] {
      if (runLength == 0) return;
      if (skipBlack && !runTextured && run.r == 0.0f && run.g == 0.0f && run.b == 0.0f) {
        runLength = 0;
        return;
      }
      // The run goes from its top cell (runStart) down runLength rows.
      const int32_t bottom = runStart + (runLength - 1) * f.width;
      // Opaque runs cost little a pixel: cutting the gems out of them would
      // cost more in quads than it saves.
      Add(0, runTextured ? style.backgroundTexture : 0, CellX(geo, bottom), CellY(geo, bottom),
          geo.cw, geo.ch * static_cast<float>(runLength), run);
      runLength = 0;
    };
    for (int32_t row = 0; row < f.height; ++row) {
      const int32_t i = f.index(row, col);
      bool textured = false;
      WellColour c = WellBackgroundColour(f.cellAt(i), InSpawnArea(i), col, f.width,
                                          style.backgroundTexture, &textured);
      c = WellColour{c.r * c.a, c.g * c.a, c.b * c.a, 1.0f};
      // A textured cell maps the picture onto itself alone.
      const bool same = runLength > 0 && !textured && !runTextured && c.r == run.r &&
                        c.g == run.g && c.b == run.b;
      if (!same) {
        flushRun();
        runStart = i;
        run = c;
        runTextured = textured;
      }
      ++runLength;
    }
    flushRun();
  }
  Flush();
  SetBlend(kBlendNormal);
  if (gGame.settleSteps > 0) {
    // Bars that grow while the next gravity step comes closer.
    const float frac =
        static_cast<float>(std::clamp(gGame.settleTimer, 0, kSettleStepMs)) / kSettleStepMs;
    const WellColour bar{0.5f, gWellPulses[kBarPulse].value, 1.0f, 0.03f};
    for (int32_t i = 0; i < f.count; ++i) {
      // A bar reaches into the cell above while it grows.
      HoleList holes;
      holes.Cell(i);
      holes.Cell(i - f.width);
      holes.Piece();
      AddAround(1, kVeilTexture, CellX(geo, i), CellY(geo, i), geo.cw, geo.ch + frac * geo.ch, bar,
                holes.holes.data(), holes.count);
    }
    Flush();
  }
}

// One bevelled edge: both ends in the light colour, the middle in the other.
void EdgeLine(float ax, float ay, float bx, float by) {
  const float mx = (ax + bx) * 0.5f, my = (ay + by) * 0.5f;
  glColor3ub(240, 140, 140);
  glVertex2f(ax, ay);
  glColor3ub(180, 180, 160);
  glVertex2f(mx, my);
  glVertex2f(mx, my);
  glColor3ub(240, 140, 140);
  glVertex2f(bx, by);
}

bool IsWall(const Field& f, int32_t row, int32_t col) {
  if (row < 0 || col < 0 || col >= f.width || row >= f.height) return false;
  return f.cellAt(f.index(row, col)) == kWall;
}

// The bevelled lines along the walls, noted as drawn with their content.
void DrawEdgeLines(const Geometry& geo, uint64_t edges) {
  const Field& f = *gGame.field;
  NoteDrawnContent(geo.x0 - 1, geo.y0 - 1, geo.x0 + static_cast<float>(f.width) * geo.cw + 1,
                   geo.y0 + static_cast<float>(f.height) * geo.ch + 1, edges);
  glBegin(GL_LINES);
  for (int32_t i = 0; i < f.count; ++i) {
    if (f.cellAt(i) == kWall) continue;
    const int32_t row = i / f.width, col = i % f.width;
    const float x = CellX(geo, i), y = CellY(geo, i);
    if (IsWall(f, row, col - 1)) EdgeLine(x, y, x, y + geo.ch);
    if (IsWall(f, row, col + 1)) EdgeLine(x + geo.cw, y, x + geo.cw, y + geo.ch);
    if (IsWall(f, row + 1, col)) EdgeLine(x, y, x + geo.cw, y);
    if (IsWall(f, row - 1, col)) EdgeLine(x, y + geo.ch, x + geo.cw, y + geo.ch);
  }
  glEnd();
}

void EdgesPass(const Geometry& geo) {
  const Field& f = *gGame.field;
  const bool probing = DrawProbing();
  if (!probing) UseTexture(0);
  // The edges follow the walls alone: the same walls, the same lines.  (A
  // probe has folded the blending in already, call by call.)
  struct {
    Geometry geo;
    uint64_t state;
  } what{geo, probing ? 0 : BlendState()};
  uint64_t edges = HashBytes(&what, sizeof what, 7);
  for (int32_t i = 0; i < f.count; ++i) {
    const int32_t wall = f.cellAt(i) == kWall ? 1 : 0;
    edges = HashBytes(&wall, sizeof wall, edges);
  }
  if (probing) {
    FoldIntoProbe(&edges, sizeof edges);
  } else {
    DrawEdgeLines(geo, edges);
  }
  // Stone corner pieces where the playing area turns a corner between two walls.
  const float s = std::min(geo.cw, geo.ch) / 3.0f;
  for (int32_t i = 0; i < f.count; ++i) {
    if (f.cellAt(i) == kWall) continue;
    const int32_t row = i / f.width, col = i % f.width;
    const float x = CellX(geo, i), y = CellY(geo, i);
    for (int dx : {-1, 1}) {
      for (int dy : {-1, 1}) {  // -1 = up
        if (!IsWall(f, row, col + dx) || !IsWall(f, row + dy, col)) continue;
        const float cx = dx < 0 ? x : x + geo.cw;
        const float cy = dy < 0 ? y + geo.ch : y;
        Add(0, dx < 0 ? kLeftCornerTexture : kRightCornerTexture, cx - s / 2, cy - s / 2, s, s,
            White(0.7f));
      }
    }
  }
  Flush();
}

// `hole`: where the cell's own gem hides its backdrop.
void AddColouredCell(int colour, float x, float y, float w, float h, const WellStyle& style,
                     const Hole* hole = nullptr) {
  const CellLook look = ColouredCellLook(colour);
  if (look.backdrop) {
    AddAround(0, style.backdropTexture, x - kBackdropGrow, y - kBackdropGrow, w + 2 * kBackdropGrow,
              h + 2 * kBackdropGrow, look.backdropColour, &hole, 1);
  }
  const float g = static_cast<float>(look.grow);
  Add(1, ColourTexture(colour, style), x - g, y - g, w + 2 * g, h + 2 * g, look.tint);
}

void CellsPass(const Geometry& geo, const WellStyle& style) {
  const Field& f = *gGame.field;
  const bool gameOver = gGame.spawnBlockCell != 0;
  for (int32_t i = 0; i < f.count; ++i) {
    const int32_t v = f.cellAt(i);
    if (v <= 0) continue;
    const float x = CellX(geo, i), y = CellY(geo, i);
    AddColouredCell(v, x, y, geo.cw, geo.ch, style, CellHole(i));
    if (gameOver) Add(2, kVeilTexture, x, y, geo.cw, geo.ch, kWhite);
  }
  Flush();
  PulseStep(gWellPulses[kLatePulse]);
}

int ArrowTexture(int slot, bool ccw) {
  switch (slot) {
    case 2:
      return ccw ? kArrowLeft : kArrowRight;
    case 4:
      return ccw ? kArrowUp : kArrowDown;
    case 6:
      return ccw ? kArrowRight : kArrowLeft;
    case 8:
      return ccw ? kArrowDown : kArrowUp;
    default:
      return 0;
  }
}

void PiecePass(const Geometry& geo, const WellStyle& style) {
  const GameState& g = gGame;
  const Piece& p = g.current;
  // The special piece shows only as its marker (effects pass).
  if (p.position < geo.width || g.special.active) return;
  const float lift = FallingPieceOffset(g.fallTimer, g.fallPeriod, g.cellH, gOptions.stepF);
  const float shadowAlpha = gWellPulses[kBarPulse].value;
  const float flash = static_cast<float>(g.rotateAnim) / kRotateAnimMs;
  for (int slot = 0; slot <= 8; ++slot) {
    const int32_t colour = slot == 0 ? p.centre : p.ring[slot - 1];
    if (colour <= 0) continue;
    const int32_t index = p.position + RingOffset(slot, geo.width);
    const float x = CellX(geo, index), y = CellY(geo, index) + lift;
    Add(0, kShadowTexture, x - kShadowGrow, y - kShadowGrow, geo.cw + 2 * kShadowGrow,
        geo.ch + 2 * kShadowGrow, White(shadowAlpha));
    const int texture = ColourTexture(colour, style);
    Add(1, texture, x - kPieceGrow, y - kPieceGrow, geo.cw + 2 * kPieceGrow,
        geo.ch + 2 * kPieceGrow, kWhite);
    if (slot == 0 || slot % 2 != 0) continue;
    if (g.rotateAnim <= 0) {
      Add(2, ArrowTexture(slot, gOptions.ccw != 0), x, y, geo.cw, geo.ch, White(0.7f));
    } else {
      // A flash that fades out over the turn.
      Add(2, texture, x, y, geo.cw, geo.ch, White(std::clamp(flash, 0.0f, 1.0f)));
      Add(3, texture, x, y, geo.cw, geo.ch, White(std::clamp(flash - 0.2f, 0.0f, 1.0f)));
    }
  }
  Flush();
}

// Text in the current blending; texturing and blending are changed by it.
void WellText(const std::string& text, int font, float x, float y, const WellColour& c) {
  glColor4f(c.r, c.g, c.b, c.a);
  DrawTextAt(text, font, x, y);
  SetBlend(kBlendNormal);
  ForgetTextureState();
}

void EffectsPass(const Geometry& geo, const WellStyle& style) {
  GameState& g = gGame;
  if (g.removedShowTimer > 0) {
    const float a =
        std::clamp(static_cast<float>(g.removedShowTimer) / kRemovalFlashMs, 0.2f, 1.0f);
    const int n = std::clamp(g.removedCount, 0, kRemovedListCapacity);
    for (int k = 0; k < n; ++k) {
      const int32_t index = g.removedCells[k];
      if (index < 0 || index >= g.field->count) continue;
      Add(0, ColourTexture(g.removedColours[k], style), CellX(geo, index), CellY(geo, index),
          geo.cw, geo.ch, White(a));
    }
    Flush();
  }
  if (g.pointsShowTimer > 0) {
    const int32_t corner = g.spawnArea[6];  // the lower-left spawn cell
    const float a = static_cast<float>(g.pointsShowTimer) / kPointsShowMs;
    WellText(Format("%d", g.lastChainBonus), kChainFont, CellX(geo, corner) + 4.0f,
             CellY(geo, corner) + 4.0f, White(a));
  }
  const Piece& p = g.current;
  if (g.special.active && p.position >= geo.width) {
    const float x = CellX(geo, p.position), y = CellY(geo, p.position);
    Add(0, kVeilTexture, x, y, geo.cw, geo.ch, White(0.6f));
    // Four arrows pointing at it from the sides.
    Add(1, kArrowRight, x - geo.cw, y, geo.cw, geo.ch, White(0.7f));
    Add(1, kArrowLeft, x + geo.cw, y, geo.cw, geo.ch, White(0.7f));
    Add(1, kArrowDown, x, y + geo.ch, geo.cw, geo.ch, White(0.7f));
    Add(1, kArrowUp, x, y - geo.ch, geo.cw, geo.ch, White(0.7f));
    Flush();
    WellText(Format("M%d.", g.special.charges), kChargesFont, x + 2 * geo.cw, y + 2 * geo.ch,
             kWhite);
  }
}

// A frame of bars `t` wide; `outside` puts them wholly outside the
// rectangle, otherwise they are centred on its edges as a wide line is.
void AddFrame(int layer, float x, float y, float w, float h, float t, bool outside) {
  const WellColour grey{kFrameGrey, kFrameGrey, kFrameGrey, 1.0f};
  const float o = outside ? t : t / 2;
  const float l = x - o, b = y - o, r = x + w + o - t, top = y + h + o - t;
  Add(layer, 0, l, b, w + 2 * o, t, grey);
  Add(layer, 0, l, top, w + 2 * o, t, grey);
  Add(layer, 0, l, b + t, t, top - b - t, grey);
  Add(layer, 0, r, b + t, t, top - b - t, grey);
}

void PreviewPass(const Geometry& geo, const WellStyle& style) {
  const GameState& g = gGame;
  // The box goes beside the well when its place would cover the well.
  float px = static_cast<float>(g.previewX);
  const float py = static_cast<float>(g.previewY);
  const float wellRight = geo.x0 + static_cast<float>(geo.width) * geo.cw;
  if (px < wellRight && px + 3 * geo.cw > geo.x0) {
    px = wellRight + static_cast<float>(g.cellW / 3);
  }
  AddFrame(0, px, py, 3 * geo.cw, 3 * geo.ch, kPreviewFrame, true);
  if (PreviewContentShown(g.piecesInStage)) {
    Add(1, 0, px, py, 3 * geo.cw, 3 * geo.ch, WellColour{0.2f, 0.3f, 0.4f, 0.4f});
    const Piece& n = g.next;
    for (int slot = 0; slot <= 8 && n.centre != 0; ++slot) {
      const int32_t colour = slot == 0 ? n.centre : n.ring[slot - 1];
      if (colour <= 0) continue;
      // The 3 x 3 place of the slot: RingOffset in a grid three cells wide.
      const int32_t cell = 4 + RingOffset(slot, 3);
      const float x = px + static_cast<float>(cell % 3) * geo.cw;
      const float y = py + static_cast<float>(2 - cell / 3) * geo.ch;
      Add(2, style.backdropTexture, x, y, geo.cw, geo.ch, kWhite);
      Add(3, ColourTexture(colour, style), x, y, geo.cw, geo.ch, kWhite);
    }
  }
  const int32_t corner = g.spawnArea[6];
  AddFrame(4, CellX(geo, corner), CellY(geo, corner), 3 * geo.cw, 3 * geo.ch, kSpawnFrame, false);
  Flush();
}

}  // namespace

// ------------------------------------------------------------ the rules

float FallingPieceOffset(int32_t fallTimer, int32_t fallPeriod, int32_t cellH, int32_t stepF) {
  if (stepF != 0 || fallPeriod <= 0 || fallTimer <= 0) return 0.0f;
  const float f = std::min(1.0f, static_cast<float>(fallTimer) / static_cast<float>(fallPeriod));
  return f * static_cast<float>(cellH);
}

bool PreviewContentShown(int32_t piecesInStage) {
  return piecesInStage > 2;
}

float WellBrightness(int32_t column, int32_t width) {
  const int32_t half = width / 2;
  float b;
  if (column > half) {
    b = half > 0 ? static_cast<float>(column - half) / static_cast<float>(half) : 1.0f;
  } else {
    const int32_t span = width - half - 1;
    b = span > 0 ? 1.0f - static_cast<float>(column) / static_cast<float>(span) : 1.0f;
  }
  return std::clamp(b * 0.7f, 0.15f, 1.0f);
}

WellColour WellBackgroundColour(int32_t cell, bool inSpawnArea, int32_t column, int32_t width,
                                int backgroundTexture, bool* textured) {
  const bool useTexture = backgroundTexture != 0;
  if (textured != nullptr) *textured = false;
  if (cell == kWall) return WellColour{1.0f, 1.0f, 1.0f, kBackgroundAlpha};
  if (textured != nullptr) *textured = useTexture;
  if (inSpawnArea) return WellColour{1.0f, 0.25f, 0.3f, kBackgroundAlpha};
  const float b = WellBrightness(column, width);
  const float g = useTexture ? b + 0.05f : b - 0.25f;
  const float bl = useTexture ? b + 0.1f : b - 0.3f;
  return WellColour{0.0f, std::clamp(g, 0.0f, 1.0f), std::clamp(bl, 0.0f, 1.0f), kBackgroundAlpha};
}

// ------------------------------------------------------------ coloured cells

CellLook ColouredCellLook(int colour) {
  CellPulseSet& c = gCellPulses;
  if (!gCellState.created) CreateCellPulses();
  if (PulsesSteppedThisFrame == 0) {
    PulsesSteppedThisFrame = 1;
    PulseStep(c.p1);
    PulseStep(c.p5);
    PulseStep(c.p2);
    PulseStep(c.p3);
    PulseStep(c.p4);
    RunSparkle(0, 8500, 15000);
    RunSparkle(1, 9500, 12000);
  }
  PulseStep(c.pb);
  CellLook look;
  const bool pulsing = gOptions.colourPulse != 0;
  look.grow = pulsing ? std::clamp(static_cast<int>(PulseStep(c.pg)), 0, 3) : 3;
  SyncCellState();

  switch (colour) {
    case 1:
      look.backdropColour = WellColour{1, 0, 0, 0.7f};
      break;
    case 2:
      look.backdropColour = WellColour{0, 1, 0, 0.7f};
      break;
    case 3:
      look.backdropColour = WellColour{0, 0, 1, 0.7f};
      break;
    case 4:
      look.backdropColour = WellColour{1, 1, 0, c.pb.value};
      break;
    case 5:
      look.backdropColour = WellColour{1, 0, 1, c.pb.value};
      break;
    case 6:
      look.backdropColour = WellColour{0, 1, 1, c.pb.value};
      break;
    default:
      break;
  }
  look.backdrop = colour >= 1 && colour <= 6 ? 1 : 0;

  look.tint = kWhite;
  if (pulsing) {
    const float p1 = c.p1.value, p2 = c.p2.value, p3 = c.p3.value, p4 = c.p4.value;
    const float p5 = c.p5.value;
    switch (colour) {
      case 1:
        if (gCellState.sparkle[0]) look.tint = WellColour{1, p1, p1, 1};
        break;
      case 2:
        look.tint = WellColour{p5, 1, p5, 1};
        break;
      case 3:
        if (gCellState.sparkle[1]) look.tint = WellColour{p2, p2, 1, 1};
        break;
      case 4:
        look.tint = WellColour{1, p4, p4, 1};
        break;
      case 5:
        look.tint = WellColour{p3, p3, p3, 1};
        break;
      default:
        break;
    }
  }
  return look;
}

void DrawColouredCell(int colour, float x, float y, float w, float h, const WellStyle& style) {
  if (In2D != 1) return;
  ForgetTextureState();
  AddColouredCell(colour, x, y, w, h, style);
  Flush();
}

const CellPulseState& CellPulses() {
  return gCellState;
}

void ResetWellDrawing() {
  gCellPulses = CellPulseSet{};
  ResetCellState();
  gWellPulses = {};
  gWellPulsesCreated = false;
  gTimersTickKnown = false;
  gItemCount = 0;
  gHolesOn = false;
}

// ------------------------------------------------------------ the well

void DrawWellPass(int pass, const WellStyle& style) {
  Geometry geo;
  if (In2D != 1 || !CurrentGeometry(geo)) return;
  ForgetTextureState();
  switch (pass) {
    case kWellPassSetup:
      StepWellPulses();
      CountDisplayTimers();
      if (!DrawProbing()) glLoadIdentity();
      SetBlend(kBlendNormal);
      SetColor(1.0f, 1.0f, 1.0f, 1.0f);  // colour-material on for the whole well
      break;
    case kWellPassBackground:
      BackgroundPass(geo, style);
      break;
    case kWellPassEdges:
      EdgesPass(geo);
      break;
    case kWellPassCells:
      CellsPass(geo, style);
      break;
    case kWellPassPiece:
      PiecePass(geo, style);
      break;
    case kWellPassEffects:
      EffectsPass(geo, style);
      break;
    case kWellPassPreview:
      PreviewPass(geo, style);
      break;
    default:
      break;
  }
}

void DrawWell(const WellStyle& style) {
  for (int pass = 0; pass < kWellPassCount; ++pass) DrawWellPass(pass, style);
  DisableTexturing();
}

// The well drawing: its rules (falling-piece offset, preview visibility,
// background brightness, the look of coloured cells and their pulses) and
// the picture they make on a real GL context, with solid-colour textures.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/frame.h"
#include "base/timers.h"
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "ui/field_render.h"

namespace {

uint32_t gNow = 1000;
uint32_t FakeTicks() {
  return gNow;
}

// One frame of the fake clock: time passes, the frame clock ticks and the
// frame's pulses may step again.
void NextFrame(uint32_t ms) {
  gNow += ms;
  TickFrameClock();
  PulsesSteppedThisFrame = 0;
}

class FakeClock : public ::testing::Test {
 protected:
  void SetUp() override {
    gNow = 1000;
    SetTickSource(FakeTicks);
    gFrameClock = FrameClock{};
    ResetFrameClock();
    ResetWellDrawing();
    PulsesSteppedThisFrame = 0;
    savedOptions = gOptions;
  }
  void TearDown() override {
    gOptions = savedOptions;
    SetTickSource(nullptr);
  }
  GameOptions savedOptions;
};

// ------------------------------------------------------------ pure rules

TEST(WellRules, FallingPieceOffset) {
  struct Case {
    int32_t timer, period, cellH, stepF;
    float lift;
  };
  const Case cases[] = {
      {500, 1000, 42, 0, 21.0f},   // half way through the period: half a cell up
      {1000, 1000, 42, 0, 42.0f},  // just fell: one whole cell up
      {250, 1000, 40, 0, 10.0f},   // a quarter of a 40-pixel cell
      {0, 1000, 42, 0, 0.0f},      // the timer ran out: exactly on its row
      {500, 1000, 42, 1, 0.0f},    // drawn row by row
      {1000, 1000, 42, 1, 0.0f},   // row by row, just fell
      {1500, 1000, 42, 0, 42.0f},  // never more than one cell
      {500, 0, 42, 0, 0.0f},       // no period, no glide
      {-20, 1000, 42, 0, 0.0f},    // a negative timer is no glide either
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(FallingPieceOffset(c.timer, c.period, c.cellH, c.stepF), c.lift)
        << c.timer << "/" << c.period << " stepF " << c.stepF;
  }
}

TEST(WellRules, PreviewShowsFromTheThirdPieceOfAStage) {
  const struct {
    int32_t pieces;
    bool shown;
  } cases[] = {{0, false}, {1, false}, {2, false}, {3, true}, {4, true}, {40, true}};
  for (const auto& c : cases) EXPECT_EQ(PreviewContentShown(c.pieces), c.shown) << c.pieces;
}

TEST(WellRules, BrightnessFallsTowardsTheMiddleColumn) {
  const struct {
    int32_t column, width;
    float b;
  } cases[] = {
      {0, 13, 0.7f},   // at the left wall
      {3, 13, 0.35f},  // 1 - 3/6
      {6, 13, 0.15f},  // the middle: 0, kept at 0.15
      {7, 13, 0.15f},  // 1/6 * 0.7 = 0.117, kept at 0.15
      {9, 13, 0.35f},  // (9 - 6) / 6
      {12, 13, 0.7f},  // right wall
      {0, 11, 0.7f},   // narrowest well: left wall
      {5, 11, 0.15f},  // its middle
      {10, 11, 0.7f},  // its right wall
      {16, 17, 0.7f},  // widest well: right wall
      {2, 16, 0.5f},   // 1 - 2/(16 - 8 - 1)
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(WellBrightness(c.column, c.width), c.b, 1e-5) << c.column << " of " << c.width;
  }
}

TEST(WellRules, BackgroundCellColours) {
  struct Case {
    int32_t cell;
    bool spawn;
    int32_t column;
    int texture;
    WellColour want;
    bool textured;
  };
  const Case cases[] = {
      {kWall, false, 0, 0, {1, 1, 1, 0.65f}, false},              // walls white, never textured
      {kWall, true, 6, 5, {1, 1, 1, 0.65f}, false},               // also in the spawn area
      {0, true, 6, 0, {1, 0.25f, 0.3f, 0.65f}, false},            // the spawn area in red
      {3, true, 6, 5, {1, 0.25f, 0.3f, 0.65f}, true},             // over the picture
      {0, false, 1, 0, {0, 0.333333f, 0.283333f, 0.65f}, false},  // b = 0.5833
      {0, false, 1, 5, {0, 0.633333f, 0.683333f, 0.65f}, true},   // tinting the picture
      {0, false, 6, 0, {0, 0, 0, 0.65f}, false},        // b = 0.15: below black stays black
      {0, false, 6, 5, {0, 0.2f, 0.25f, 0.65f}, true},  // the middle, textured
  };
  for (const Case& c : cases) {
    bool textured = !c.textured;
    const WellColour got =
        WellBackgroundColour(c.cell, c.spawn, c.column, 13, c.texture, &textured);
    EXPECT_NEAR(got.r, c.want.r, 1e-5) << c.cell << " col " << c.column;
    EXPECT_NEAR(got.g, c.want.g, 1e-5) << c.cell << " col " << c.column;
    EXPECT_NEAR(got.b, c.want.b, 1e-5) << c.cell << " col " << c.column;
    EXPECT_FLOAT_EQ(got.a, c.want.a);
    EXPECT_EQ(textured, c.textured) << c.cell << " col " << c.column;
  }
}

// ------------------------------------------------------------ coloured cells

using CellLookTest = FakeClock;

TEST_F(CellLookTest, BackdropsByColour) {
  gOptions.colourPulse = 0;
  const struct {
    int colour;
    int backdrop;
    float r, g, b;
    bool pulsed;  // alpha from the backdrop pulse, else 0.7
  } cases[] = {
      {1, 1, 1, 0, 0, false}, {2, 1, 0, 1, 0, false}, {3, 1, 0, 0, 1, false},
      {4, 1, 1, 1, 0, true},  {5, 1, 1, 0, 1, true},  {6, 1, 0, 1, 1, true},
      {7, 0, 0, 0, 0, false}, {8, 0, 0, 0, 0, false}, {9, 0, 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    const CellLook look = ColouredCellLook(c.colour);
    EXPECT_EQ(look.backdrop, c.backdrop) << c.colour;
    if (!c.backdrop) continue;
    EXPECT_FLOAT_EQ(look.backdropColour.r, c.r) << c.colour;
    EXPECT_FLOAT_EQ(look.backdropColour.g, c.g) << c.colour;
    EXPECT_FLOAT_EQ(look.backdropColour.b, c.b) << c.colour;
    const float alpha = c.pulsed ? CellPulses().pb : 0.7f;
    EXPECT_FLOAT_EQ(look.backdropColour.a, alpha) << c.colour;
    if (c.pulsed) {
      EXPECT_GE(alpha, 0.6f);
      EXPECT_LE(alpha, 0.8f);
    }
    // Without the colour pulse: white, full size margin.
    EXPECT_FLOAT_EQ(look.tint.r + look.tint.g + look.tint.b + look.tint.a, 4.0f) << c.colour;
    EXPECT_EQ(look.grow, 3);
  }
}

TEST_F(CellLookTest, ColourPulseTints) {
  gOptions.colourPulse = 1;
  // Let the pulses move off their start values first.
  for (int i = 0; i < 30; ++i) {
    NextFrame(37);
    ColouredCellLook(9);
  }
  ASSERT_EQ(CellPulses().sparkle[0], 0);
  ASSERT_EQ(CellPulses().sparkle[1], 0);
  for (int colour = 1; colour <= 9; ++colour) {
    const CellLook look = ColouredCellLook(colour);
    const CellPulseState& p = CellPulses();
    WellColour want{1, 1, 1, 1};
    if (colour == 2) want = {p.p5, 1, p.p5, 1};
    if (colour == 4) want = {1, p.p4, p.p4, 1};
    if (colour == 5) want = {p.p3, p.p3, p.p3, 1};
    EXPECT_FLOAT_EQ(look.tint.r, want.r) << colour;
    EXPECT_FLOAT_EQ(look.tint.g, want.g) << colour;
    EXPECT_FLOAT_EQ(look.tint.b, want.b) << colour;
    EXPECT_FLOAT_EQ(look.tint.a, 1.0f) << colour;
    EXPECT_EQ(look.grow, static_cast<int>(p.pg)) << colour;
    EXPECT_GE(look.grow, 0);
    EXPECT_LE(look.grow, 3);
  }
  EXPECT_GT(CellPulses().p5, 0.8f) << "P5 moved up from its start";
  EXPECT_LT(CellPulses().p5, 1.0f);
}

TEST_F(CellLookTest, FramePulsesStepOnceAFrame) {
  ColouredCellLook(1);
  EXPECT_EQ(PulsesSteppedThisFrame, 1) << "the first cell of a frame marks the pulses stepped";
  gNow += 100;
  ColouredCellLook(1);
  const float p1 = CellPulses().p1;
  gNow += 100;
  ColouredCellLook(2);
  EXPECT_FLOAT_EQ(CellPulses().p1, p1) << "a second cell in the same frame steps nothing";
  NextFrame(100);
  ColouredCellLook(2);
  EXPECT_NE(CellPulses().p1, p1) << "a new frame steps again";
}

TEST_F(CellLookTest, SparklesFlipAfterTheirCountdowns) {
  gOptions.colourPulse = 1;
  ColouredCellLook(1);  // creates the pulses; the first frame's delta is 1 ms
  int32_t elapsed = 1;
  // The first sparkle starts at 4500 ms, the second at 3500 ms.
  while (elapsed + 100 < 3500) {
    NextFrame(100);
    elapsed += 100;
    ColouredCellLook(1);
  }
  EXPECT_EQ(CellPulses().sparkle[1], 0);
  NextFrame(100);
  ColouredCellLook(3);
  elapsed += 100;
  EXPECT_EQ(CellPulses().sparkle[1], 1) << "after " << elapsed << " ms";
  EXPECT_GE(CellPulses().sparkleMs[1], 9500) << "re-armed";
  EXPECT_LE(CellPulses().sparkleMs[1], 12000);
  EXPECT_EQ(CellPulses().sparkle[0], 0);
  while (elapsed + 100 < 4500) {
    NextFrame(100);
    elapsed += 100;
    ColouredCellLook(1);
  }
  EXPECT_EQ(CellPulses().sparkle[0], 0);
  NextFrame(100);
  const CellLook red = ColouredCellLook(1);
  EXPECT_EQ(CellPulses().sparkle[0], 1);
  EXPECT_GE(CellPulses().sparkleMs[0], 8500);
  EXPECT_LE(CellPulses().sparkleMs[0], 15000);
  EXPECT_FLOAT_EQ(red.tint.g, CellPulses().p1) << "red now sparkles with P1";
  const CellLook blue = ColouredCellLook(3);
  EXPECT_FLOAT_EQ(blue.tint.r, CellPulses().p2);
  EXPECT_FLOAT_EQ(blue.tint.b, 1.0f);
}

// ------------------------------------------------------------ the picture

using Rgb = std::array<int, 3>;

void SolidTexture(int slot, uint8_t r, uint8_t g, uint8_t b) {
  TextureSlot& t = gTextures.slots[slot];
  t.width = t.height = 4;
  t.bitsPerPixel = 32;
  t.pixels = static_cast<uint8_t*>(std::malloc(4 * 4 * 4));
  for (int i = 0; i < 16; ++i) {
    t.pixels[4 * i] = r;
    t.pixels[4 * i + 1] = g;
    t.pixels[4 * i + 2] = b;
    t.pixels[4 * i + 3] = 255;
  }
  CreateTexture(t, 0, 1);
}

constexpr Rgb kYellow{255, 255, 0}, kRed{255, 0, 0}, kGreen{0, 255, 0}, kMagenta{255, 0, 255};

class WellPicture : public FakeClock {
 protected:
  void SetUp() override {
    FakeClock::SetUp();
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_EQ(CreateGlTestContext(800, 600), 1);
    context = true;
    savedApp = gApp;
    gApp.windowWidth = 800;
    gApp.windowHeight = 600;
    glViewport(0, 0, 800, 600);
    SolidTexture(2, 255, 255, 0);   // colour 1
    SolidTexture(3, 255, 0, 0);     // colour 2
    SolidTexture(4, 0, 0, 255);     // colour 3 and the shadow
    SolidTexture(6, 0, 255, 0);     // colour 5
    SolidTexture(16, 40, 40, 40);   // cell frame
    SolidTexture(17, 255, 0, 255);  // overlay
    gGame = GameState{};
    gOptions.colourPulse = 0;
    gOptions.stepF = 0;
    // "спорт" at 800 x 600: cells 40 x 42, the bottom row at (-8, -21).
    field = SelectVariant(kVariantSport);
    ASSERT_NE(field, nullptr);
    field->reset();
    ASSERT_EQ(gGame.cellW, 40);
    ASSERT_EQ(gGame.cellH, 42);
    gGame.previewX = 520;
    gGame.previewY = 438;
  }
  void TearDown() override {
    if (context) {
      End2D();
      ReleaseStore(gTextures);
      gGame = GameState{};
      gApp = savedApp;
      DestroyGlTestContext();
    }
    FakeClock::TearDown();
  }
  void Draw() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(Begin2D(0, 800, 0, 600), 1);
    DrawWell();
    End2D();
  }
  // Screen position of a point inside a cell (fx, fy fractions of the cell).
  int X(int column, float fx = 0.5f) const {
    return gGame.wellX + column * gGame.cellW + static_cast<int>(fx * gGame.cellW);
  }
  int Y(int row, float fy = 0.5f) const {
    return gGame.wellY + (field->height - 1 - row) * gGame.cellH +
           static_cast<int>(fy * gGame.cellH);
  }
  static Rgb Pixel(int x, int y) {
    uint8_t p[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  static bool Near(const Rgb& a, const Rgb& b, int tolerance = 3) {
    for (int i = 0; i < 3; ++i) {
      if (std::abs(a[i] - b[i]) > tolerance) return false;
    }
    return true;
  }
  bool context = false;
  AppState savedApp;
  Field* field = nullptr;
};

::testing::AssertionResult Is(const Rgb& got, const Rgb& want) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(got[i] - want[i]) > 3) {
      return ::testing::AssertionFailure()
             << "got (" << got[0] << ", " << got[1] << ", " << got[2] << "), want (" << want[0]
             << ", " << want[1] << ", " << want[2] << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(WellPicture, BackgroundFollowsTheBrightnessRule) {
  Draw();
  // Empty playing cells of row 10, and a wall: the background's colour at
  // alpha 0.65 over black.
  for (int column : {0, 1, 3, 6, 9, 11, 12}) {
    const WellColour c = WellBackgroundColour(field->cellAt(field->index(10, column)), false,
                                              column, 13, 0, nullptr);
    const Rgb want{static_cast<int>(std::lround(c.r * c.a * 255)),
                   static_cast<int>(std::lround(c.g * c.a * 255)),
                   static_cast<int>(std::lround(c.b * c.a * 255))};
    EXPECT_TRUE(Is(Pixel(X(column), Y(10)), want)) << "column " << column;
  }
  // The spawn area (row 1, columns 5..7) in red.
  EXPECT_TRUE(Is(Pixel(X(6), Y(1)), Rgb{166, 41, 50}));
}

TEST_F(WellPicture, SettledCellsAndTheGameOverOverlay) {
  field->setCell(field->index(13, 5), 1);
  field->setCell(field->index(13, 6), 2);
  Draw();
  EXPECT_TRUE(Is(Pixel(X(5), Y(13)), kYellow));
  EXPECT_TRUE(Is(Pixel(X(6), Y(13)), kRed));
  const Rgb empty = Pixel(X(8), Y(13));

  gGame.spawnBlockCell = field->index(2, 6);
  Draw();
  EXPECT_TRUE(Is(Pixel(X(5), Y(13)), kMagenta)) << "every coloured cell is overlaid";
  EXPECT_TRUE(Is(Pixel(X(6), Y(13)), kMagenta));
  EXPECT_TRUE(Is(Pixel(X(8), Y(13)), empty)) << "empty cells are not";
}

TEST_F(WellPicture, FallingPieceGlidesUnlessSteppedByRows) {
  Piece& p = gGame.current;
  p.centre = 5;  // green
  p.position = field->index(5, 6);
  gGame.fallPeriod = 1000;
  gGame.fallTimer = 500;  // half a period since the last fall: half a cell up
  const int low = Y(5, 0.2f), high = Y(5, 1.25f);

  gOptions.stepF = 0;
  Draw();
  EXPECT_FALSE(Is(Pixel(X(6), low), kGreen)) << "lifted off the bottom of its cell";
  EXPECT_TRUE(Is(Pixel(X(6), high), kGreen)) << "and into the cell above";

  gOptions.stepF = 1;
  Draw();
  EXPECT_TRUE(Is(Pixel(X(6), low), kGreen)) << "exactly on its cell";
  EXPECT_FALSE(Is(Pixel(X(6), high), kGreen));

  gOptions.stepF = 0;
  gGame.fallTimer = 0;  // the fall is due: on its row
  Draw();
  EXPECT_TRUE(Is(Pixel(X(6), low), kGreen));
}

TEST_F(WellPicture, PreviewHiddenForTheFirstTwoPieces) {
  gGame.next.centre = 2;   // red
  gGame.next.ring[3] = 1;  // yellow on the right
  // The preview box is 3 x 3 cells at (520, 438); the centre cell's middle:
  const int cx = 520 + 40 + 20, cy = 438 + 42 + 21;
  const int rx = 520 + 80 + 20;
  for (int32_t pieces : {0, 1, 2}) {
    gGame.piecesInStage = pieces;
    Draw();
    EXPECT_FALSE(Is(Pixel(cx, cy), kRed)) << pieces << " pieces";
    EXPECT_FALSE(Is(Pixel(rx, cy), kYellow)) << pieces << " pieces";
  }
  gGame.piecesInStage = 3;
  Draw();
  EXPECT_TRUE(Is(Pixel(cx, cy), kRed));
  EXPECT_TRUE(Is(Pixel(rx, cy), kYellow));
  // The grey frame outside the box is there either way.
  EXPECT_TRUE(Is(Pixel(520 - 8, cy), Rgb{127, 127, 127}));
}

TEST_F(WellPicture, DisplayTimersRunDownOncePerFrameTick) {
  gGame.removedShowTimer = 1500;
  gGame.pointsShowTimer = 2500;
  NextFrame(40);
  Draw();
  EXPECT_EQ(gGame.removedShowTimer, 1460);
  EXPECT_EQ(gGame.pointsShowTimer, 2460);
  Draw();  // no new frame tick: an unfocused frame redraws the same moment
  EXPECT_EQ(gGame.removedShowTimer, 1460);
  NextFrame(1500);
  Draw();
  EXPECT_EQ(gGame.removedShowTimer, 0);
  EXPECT_EQ(gGame.pointsShowTimer, 960);
}

TEST_F(WellPicture, RemovalFlashFadesBetweenItsBounds) {
  const int32_t cell = field->index(12, 4);
  gGame.removedCells[0] = cell;
  gGame.removedColours[0] = 2;  // red
  gGame.removedCount = 1;
  const Rgb empty = [&] {
    Draw();
    return Pixel(X(4), Y(12));
  }();
  const struct {
    int32_t timer;
    float alpha;
  } cases[] = {{1500, 1.0f}, {750, 0.5f}, {150, 0.2f}, {0, 0.0f}};
  for (const auto& c : cases) {
    gGame.removedShowTimer = c.timer;
    NextFrame(0);  // the same tick again: the timer is drawn as set
    Draw();
    const Rgb got = Pixel(X(4), Y(12));
    // Red over the empty cell at the flash's alpha; a finished flash draws nothing.
    const int want = static_cast<int>(std::lround(255 * c.alpha + empty[0] * (1 - c.alpha)));
    EXPECT_NEAR(got[0], want, 4) << "timer " << c.timer;
  }
}

// Arrow pictures in four colours: 35 red, 36 green, 37 blue, 38 white.
void ArrowTextures() {
  SolidTexture(35, 255, 0, 0);
  SolidTexture(36, 0, 255, 0);
  SolidTexture(37, 0, 0, 255);
  SolidTexture(38, 255, 255, 255);
}

Rgb ArrowColour(int texture) {
  switch (texture) {
    case 35:
      return {255, 0, 0};
    case 36:
      return {0, 255, 0};
    case 37:
      return {0, 0, 255};
    default:
      return {255, 255, 255};
  }
}

// `top` at `alpha` over `under`.
Rgb Over(const Rgb& top, float alpha, const Rgb& under) {
  Rgb out{};
  for (int i = 0; i < 3; ++i) {
    out[i] = static_cast<int>(std::lround(top[i] * alpha + under[i] * (1.0f - alpha)));
  }
  return out;
}

TEST_F(WellPicture, RingArrowsShowTheTurnDirection) {
  ArrowTextures();
  gOptions.stepF = 1;
  Piece& p = gGame.current;
  p.centre = 1;  // yellow, and yellow orthogonal ring cells
  for (int slot : {2, 4, 6, 8}) p.ring[slot - 1] = 1;
  p.position = field->index(5, 6);
  // Slot, its cell (row, column), arrow with CCW off, arrow with CCW on.
  const struct {
    int slot, row, column, clockwise, counter;
  } cases[] = {
      {2, 4, 6, 36, 35},
      {4, 5, 7, 38, 37},
      {6, 6, 6, 35, 36},
      {8, 5, 5, 37, 38},
  };
  for (int ccw : {0, 1}) {
    gOptions.ccw = ccw;
    gGame.rotateAnim = 0;
    Draw();
    for (const auto& c : cases) {
      const int texture = ccw ? c.counter : c.clockwise;
      EXPECT_TRUE(Is(Pixel(X(c.column), Y(c.row)), Over(ArrowColour(texture), 0.7f, kYellow)))
          << "slot " << c.slot << " ccw " << ccw << ": arrow " << texture;
    }
    EXPECT_TRUE(Is(Pixel(X(6), Y(5)), kYellow)) << "the centre carries no arrow";
    gGame.rotateAnim = 300;  // just turned: the flash replaces the arrows
    Draw();
    for (const auto& c : cases) {
      EXPECT_TRUE(Is(Pixel(X(c.column), Y(c.row)), kYellow)) << "slot " << c.slot << " flashing";
    }
  }
}

TEST_F(WellPicture, SpecialPieceShowsItsMarkerNotAPiece) {
  ArrowTextures();
  gOptions.stepF = 1;
  const int32_t at = field->index(5, 6);
  field->setCell(at, 2);  // a red cell under it stays a normal cell
  Draw();
  const Rgb red = Pixel(X(6), Y(5));
  ASSERT_TRUE(Is(red, kRed));
  // Left, right, above, below: arrows pointing at the cell.
  const struct {
    int row, column, texture;
  } around[] = {{5, 5, 36}, {5, 7, 35}, {4, 6, 38}, {6, 6, 37}};
  std::array<Rgb, 4> empty{};
  for (int i = 0; i < 4; ++i) empty[i] = Pixel(X(around[i].column), Y(around[i].row));

  Piece& p = gGame.current;
  p.centre = kSpecialCentre;
  p.position = at;
  gGame.special.active = 1;
  gGame.special.charges = 3;
  Draw();
  EXPECT_TRUE(Is(Pixel(X(6), Y(5)), Over(Rgb{255, 0, 255}, 0.6f, red))) << "veiled at 0.6";
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(Is(Pixel(X(around[i].column), Y(around[i].row)),
                   Over(ArrowColour(around[i].texture), 0.7f, empty[i])))
        << "arrow " << around[i].texture;
  }
}

TEST_F(WellPicture, NothingOutside2DOrWithoutAWell) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawWell();  // no 2D projection
  DrawColouredCell(1, 100, 100, 40, 40);
  EXPECT_TRUE(Is(Pixel(X(6), Y(1)), Rgb{0, 0, 0}));
  EXPECT_TRUE(Is(Pixel(120, 120), Rgb{0, 0, 0}));
  gGame.field = nullptr;
  Draw();
  EXPECT_TRUE(Is(Pixel(X(6), Y(1)), Rgb{0, 0, 0}));
}

}  // namespace

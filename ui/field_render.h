// The well on the screen: its background, walls, cells, the falling piece,
// the next-piece preview and the short effects of play, all read from gGame.
// Only the display timers of the removal flash and the chain-bonus number
// are counted down here.  Draws inside a 2D projection over the window.
#pragma once

#include <cstdint>

// Drawing settings of the well's panel.
struct WellStyle {
  int textureBase = 1;        // colour k is drawn with texture k + base
  int backgroundTexture = 0;  // 0 = untextured background cells
  int backdropTexture = 16;   // the frame behind coloured cells
};

// The whole well, in its fixed order.  The caller holds the 2D projection.
void DrawWell(const WellStyle& style = WellStyle{});

// The passes of DrawWell in drawing order, one by one (the benchmark times
// them).  DrawWell is exactly these in this order.
enum WellPass : int {
  kWellPassSetup = 0,  // pulses, display timers, GL state
  kWellPassBackground,
  kWellPassEdges,
  kWellPassCells,
  kWellPassPiece,
  kWellPassEffects,  // removal flash, chain-bonus number, special-piece marker
  kWellPassPreview,  // next-piece preview and the spawn frame
  kWellPassCount
};
void DrawWellPass(int pass, const WellStyle& style = WellStyle{});

// ------------------------------------------------------------ the rules

// How far above its cell the falling piece is drawn: it glides down one row
// per fall period, unless it is drawn row by row (stepF).
float FallingPieceOffset(int32_t fallTimer, int32_t fallPeriod, int32_t cellH, int32_t stepF);
// The preview shows the next piece only after two pieces of the stage.
bool PreviewContentShown(int32_t piecesInStage);
// Horizontal brightness of a background cell: bright at the walls, dark in
// the middle column, times 0.7, within 0.15..1.0.
float WellBrightness(int32_t column, int32_t width);

struct WellColour {
  float r = 0, g = 0, b = 0, a = 0;
};
// The background cell's colour; `textured` tells whether the background
// texture is drawn under it.
WellColour WellBackgroundColour(int32_t cell, bool inSpawnArea, int32_t column, int32_t width,
                                int backgroundTexture, bool* textured);

// ------------------------------------------------------------ coloured cells

// The look of a coloured cell at this moment.  Asking for it is drawing it as
// far as the pulses go: the first cell of a frame steps the frame's pulses
// (PulsesSteppedThisFrame) and every cell steps the backdrop pulse.
struct CellLook {
  int backdrop = 0;  // 1: the backdrop is drawn, in backdropColour
  WellColour backdropColour;
  WellColour tint;  // of the colour texture
  int grow = 3;     // pixels the colour texture grows on every side
};
CellLook ColouredCellLook(int colour);
// One coloured cell at (x, y, w, h): backdrop grown by 3 pixels, then the
// colour texture grown by the look's margin.
void DrawColouredCell(int colour, float x, float y, float w, float h,
                      const WellStyle& style = WellStyle{});

struct CellPulseState {
  float p1 = 0, p2 = 0, p3 = 0, p4 = 0, p5 = 0, pb = 0, pg = 0;
  int32_t sparkleMs[2] = {0, 0};
  int32_t sparkle[2] = {0, 0};
  int32_t created = 0;
};
const CellPulseState& CellPulses();
// Back to the state at program start (pulses not yet created, sparkles
// clear, their countdowns at 4500 and 3500 ms).
void ResetWellDrawing();

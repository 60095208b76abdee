// The six well shapes: their grids, their blocked cells per stage, the
// choice of a shape and the start of a stage.
#include <cstdint>

#include "base/random.h"
#include "game/game.h"
#include "game/host.h"
#include "records/records.h"

namespace {

// One grid per shape, for the whole run: a change of shape is detected by
// comparing grids.
Field gFields[6] = {Field(11, 14), Field(13, 15), Field(13, 13),
                    Field(15, 16), Field(16, 17), Field(17, 17)};

struct CellFactors {
  double w, h;
};
constexpr CellFactors kCellFactors[6] = {{0.054, 0.072}, {0.05, 0.07},   {0.05, 0.07},
                                         {0.046, 0.062}, {0.041, 0.054}, {0.041, 0.054}};

void Block(Field& f, int32_t row, int32_t column) {
  f.setCell(f.index(row, column), kWall);
}

// The blocked (and, for "бутыль" stage 1, pre-set) cells of a shape.
void WriteShapeCells(Field& f, int variant, int stage) {
  const int32_t w = f.width, h = f.height;
  switch (variant) {
    case kVariantSport:
      if (stage <= 2) {
        for (int32_t r = 0; r <= h - 2; ++r) {
          Block(f, r, 1);
          Block(f, r, 2);
          Block(f, r, w - 3);
          Block(f, r, w - 2);
        }
      } else if (stage <= 4) {
        for (int32_t r = 0; r <= h - 2; ++r) {
          Block(f, r, 1);
          Block(f, r, w - 2);
        }
        Block(f, h - 2, 2);
        Block(f, h - 2, w - 3);
      } else {
        Block(f, h - 2, 1);
        Block(f, h - 2, w - 2);
      }
      break;
    case kVariantJug:
      for (int32_t r : {0, 1, h - 3}) {
        Block(f, r, 1);
        Block(f, r, w - 2);
      }
      Block(f, h - 2, 1);
      Block(f, h - 2, 2);
      Block(f, h - 2, w - 3);
      Block(f, h - 2, w - 2);
      break;
    case kVariantBottle:
      Block(f, 0, 1);
      Block(f, 0, 2);
      Block(f, 0, w - 3);
      Block(f, 0, w - 2);
      Block(f, 1, 1);
      Block(f, 1, w - 2);
      if (stage == 1) {
        // Two floating columns of colours 1..5; the first settle drops them.
        const int32_t c0 = w / 2 - 2;
        for (int32_t k = 1; k <= 5; ++k) {
          f.setCell(f.index(4 + k, c0), k);
          f.setCell(f.index(4 + k, c0 + 4), k);
        }
      }
      break;
    case kVariantWaist: {
      const int32_t m = h / 2;
      for (int32_t r = m - 1; r <= m + 1; ++r) {
        Block(f, r, 1);
        Block(f, r, w - 2);
      }
      Block(f, m, 2);
      Block(f, m, w - 3);
      break;
    }
    case kVariantHurdle: {
      const int32_t c = f.count / 2;
      for (int32_t i : {c, c - 1, c + 1, c - w, c + w}) f.setCell(i, kWall);
      break;
    }
    default:  // "лёгкое": the two lower corners of the playing area
      Block(f, h - 2, 1);
      Block(f, h - 2, w - 2);
      break;
  }
}

// Screen position of the well: the lower-left corner of its bottom row.
void PlaceWell(const Field& f, int variant) {
  GameState& g = gGame;
  const WindowSize window = GameWindowSize();
  const int32_t W = window.width, H = window.height;
  const int32_t cw = g.cellW, ch = g.cellH;
  const int32_t wellW = cw * f.width, wellH = ch * f.height;
  const int32_t margin = static_cast<int32_t>(W * 0.04);
  int32_t x;
  if (gOptions.layoutMode == 0) {
    x = W / 2 - wellW / 2;
  } else {
    x = W / 2 - wellW;  // the well ends at the middle of the window
    if (x < margin) {
      x = margin;
      if (margin + wellW > W / 2 + W / 4) x = margin / 3;
    }
  }
  int32_t y = H - wellH + ch;
  if (y > H / 2) y = H / 2;
  if (y < ch / 2) y = ch / 2;
  int32_t x0 = x - cw;
  const int32_t y0 = y - ch;
  switch (variant) {
    case kVariantEasy:
      x0 += cw;
      break;
    case kVariantBottle:
      x0 = static_cast<int32_t>(x0 - 0.65 * cw);
      break;
    case kVariantHurdle:
      x0 = static_cast<int32_t>(x0 - 0.7 * cw);
      break;
    default:
      break;
  }
  g.wellX = x0;
  g.wellY = y0;
}

}  // namespace

Field* FieldForVariant(int variant) {
  if (variant < 1 || variant > 6) return nullptr;
  return &gFields[variant - 1];
}

int InitialStageTarget(int variant) {
  switch (variant) {
    case kVariantSport:
      return 55;
    case kVariantHurdle:
      return 85;
    default:
      return 50;
  }
}

int32_t SpawnPosition(const Field& field) {
  return field.width + field.width / 2;
}

Field* SelectVariant(int shape) {
  GameState& g = gGame;
  const int variant = shape >= 2 && shape <= 6 ? shape : 1;
  Field* f = FieldForVariant(variant);
  g.variant = variant;
  g.field = f;

  const CellFactors& k = kCellFactors[variant - 1];
  const WindowSize window = GameWindowSize();
  g.cellW = static_cast<int32_t>(window.width * k.w);
  g.cellH = static_cast<int32_t>(window.height * k.h);

  const int32_t c = f->width / 2;
  int n = 0;
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t col = c - 1; col <= c + 1; ++col) g.spawnArea[n++] = f->index(row, col);
  }
  PlaceWell(*f, variant);
  return f;
}

void BuildField(Field* grid) {
  if (grid == nullptr) return;
  GameState& g = gGame;

  // A change of shape lets that shape's records be reset once more.
  if (g.lastBuilt != nullptr && g.lastBuilt != grid) gRecordsCleared = 0;
  g.lastBuilt = grid;

  // Pace adjustments by the stage that has just ended.
  switch (g.stage) {
    case 6:
      if (g.fallPeriod > 800) g.fallPeriod = 800;
      break;
    case 7:
      if (g.fallPeriod < 400) g.fallPeriod = 400;
      if (g.fallPeriod > 700) g.fallPeriod = 700;
      break;
    case 8:
      g.fallPeriod = 1000;
      g.stageTarget = 1001;
      break;
    default:
      break;
  }

  ++g.stage;
  g.halfMilestone = 0;
  g.stageCubes = 0;

  SelectBackground(g.stage, 0);
  g.backgroundFade = 0;

  g.piecesInStage = 0;
  g.spawnBlockCell = 0;
  g.stageRemoved = 0;
  g.stagePoints = 0;
  g.stageChainBonus = 0;
  g.stageStartScore = g.score;
  ClearStatTable(g.stageChains);
  ClearStatTable(g.stageSizes);

  g.ruleCode = 20;
  grid->reset();
  WriteShapeCells(*grid, g.variant, g.stage);

  if (g.variant == kVariantJug) {
    ShowGamePanel(kBonusPanel, true);
    RefillBonusSlots();
  }
}

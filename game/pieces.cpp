// Piece generation, the progress milestones of "спорт" and the stored
// bonuses of "кувшин".
#include <algorithm>

#include "base/random.h"
#include "game/game.h"
#include "game/host.h"

namespace {

constexpr int kDrawTries = 999;

// A draw from lo..hi that differs from `avoid`; after 999 equal draws the
// last one is kept.
int DrawNot(int lo, int hi, int avoid) {
  int v = lo;
  for (int i = 0; i < kDrawTries; ++i) {
    v = Random(lo, hi);
    if (v != avoid) break;
  }
  return v;
}

int DrawNotEither(int lo, int hi, int a, int b) {
  int v = lo;
  for (int i = 0; i < kDrawTries; ++i) {
    v = Random(lo, hi);
    if (v != a && v != b) break;
  }
  return v;
}

int SportColours(int stage) {
  static constexpr int kByStage[10] = {4, 4, 5, 6, 7, 7, 8, 9, 9, 6};
  return kByStage[std::clamp(stage, 0, 9)];
}

// Ring slot access by its 1-based number.
int32_t& Slot(Piece& p, int slot) {
  return p.ring[slot - 1];
}

// A colour of stage 8 "спорт" never is 1: it becomes 9 or 8.
int NoColourOne(int colour) {
  if (colour != 1) return colour;
  return Random(0, 1) == 0 ? 9 : 8;
}

// The milestone blocks and the special piece of "спорт".  True when the
// piece is complete.
bool SportMilestonePiece(Piece& p, int n) {
  const int stage = gGame.stage;
  if (FirstMilestoneFires()) {
    if (stage <= 2) {
      // A full block whose centre colour no other piece of the stage has.
      p.centre = std::min(n + 1, 9);
      for (int s = 1; s <= 8; ++s) Slot(p, s) = Random(1, n);
      PlaySound(kVoiceRight, 9, 0, 0.8f, 0.9f, 1.0f, 10);
      return true;
    }
    if (stage <= 5) {
      p.centre = Random(1, n);
      for (int s : {1, 3, 5, 7}) Slot(p, s) = DrawNot(1, n, p.centre);
      Slot(p, 2) = DrawNot(1, n, Slot(p, 1));
      Slot(p, 4) = DrawNot(1, n, Slot(p, 5));
      Slot(p, 6) = DrawNot(1, n, p.centre);
      Slot(p, 8) = DrawNot(1, n, p.centre);
      PlaySound(kVoiceRight, 9, 0, 0.8f, 0.9f, 1.0f, 10);
      return true;
    }
    return false;  // consumed without a block
  }
  if (HalfMilestoneFires() && stage > 3) {
    p.centre = kSpecialCentre;
    PlaySound(kVoiceRight, 9, 0, 0.9f, 1.2f, 1.3f, 10);
    return true;
  }
  return false;
}

// Left cell of an ordinary piece (and the T-stem of "спорт" stages 3, 4).
void LeftCell(Piece& p, int n) {
  GameState& g = gGame;
  const int right = Slot(p, 4);
  switch (g.variant) {
    case kVariantJug:
      Slot(p, 8) = DrawNot(1, n, right);
      break;
    case kVariantSport:
      switch (g.stage) {
        case 3:
        case 4: {
          const int stem = Random(0, 1) == 0 ? 6 : 2;
          Slot(p, stem) = Random(0, n - 1);
          Slot(p, 8) = DrawNot(1, n, right);
          break;
        }
        case 5:
        case 6:
          Slot(p, 8) = Random(1, n);
          break;
        default:
          if (g.stage >= 9) {
            Slot(p, 8) = Random(5, 8);
          } else {
            Slot(p, 8) = DrawNot(1, n, right);
          }
          break;
      }
      if (g.stage == 8) {
        Slot(p, 4) = NoColourOne(Slot(p, 4));
        Slot(p, 8) = NoColourOne(Slot(p, 8));
      }
      break;
    default:
      Slot(p, 8) = DrawNot(0, n, right);
      break;  // 0 leaves the cell out
  }
}

}  // namespace

int ProgressPercent() {
  const GameState& g = gGame;
  if (g.stageTarget == 0) return 0;
  return static_cast<int>(static_cast<float>(g.stageCubes) / static_cast<float>(g.stageTarget) *
                          100.0f);
}

bool FirstMilestoneFires() {
  GameState& g = gGame;
  const int pct = ProgressPercent();
  if (g.firstMilestone == 0 && pct > 20) {
    g.firstMilestone = 1;
    return true;
  }
  if (g.firstMilestone == 1 && pct >= 70) {
    g.firstMilestone = 2;
    return true;
  }
  return false;
}

bool HalfMilestoneFires() {
  GameState& g = gGame;
  if (g.halfMilestone == 0 && ProgressPercent() > 50) {
    g.halfMilestone = 1;
    return true;
  }
  return false;
}

int ColourCount() {
  switch (gGame.variant) {
    case kVariantSport:
      return SportColours(gGame.stage);
    case kVariantJug:
      return std::max(Random(5, 8), 3);
    case kVariantBottle:
      return std::max(Random(4, 7), 3);
    case kVariantWaist:
      return 7;
    case kVariantHurdle:
      return 5;
    default:
      return 6;
  }
}

int GeneratePiece(Field& field, Piece& out) {
  GameState& g = gGame;
  const int32_t spawn = SpawnPosition(field);

  // Stage 9 ends after 156 cubes, whatever the well looks like.
  if (g.stageCubes > 155 && g.stage > 8) {
    field.setCell(spawn, 1);
    g.spawnBlockCell = spawn;
    return 0;
  }

  // The special piece has left: its pace and drawing mode come back.
  if (g.special.savedPeriod != 0) {
    g.fallPeriod = g.special.savedPeriod;
    g.special.savedPeriod = 0;
    g.special.charges = 0;
    gOptions.stepF = g.special.savedStepF;
  }

  const int32_t c = field.width / 2;
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t col = c - 1; col <= c + 1; ++col) {
      const int32_t i = field.index(row, col);
      if (field.cellAt(i) > 0) {
        g.spawnBlockCell = i;
        return 0;
      }
    }
  }

  Piece p;
  p.position = spawn;
  const bool nearlyFull = field.isRowFilled(4);
  const int n = ColourCount();

  if (g.lastRemoval > 0) {
    if (g.variant == kVariantSport && g.stage > 3 && Random(0, 1) == 1) {
      Slot(p, 4) = Random(1, n);
      p.centre = DrawNot(1, n, Slot(p, 4));
      out = p;
      return 1;
    }
    if (g.variant == kVariantJug || g.variant == kVariantBottle) {
      Slot(p, 2) = Random(1, n - 1);
      p.centre = DrawNot(1, n, Slot(p, 2));
      out = p;
      return 1;
    }
  }

  if (g.variant == kVariantSport && SportMilestonePiece(p, n)) {
    out = p;
    return 1;
  }

  if (nearlyFull) {
    Slot(p, 4) = Random(1, n);
    Slot(p, 8) = Random(1, n);
    p.centre = DrawNot(1, n, Slot(p, 4));
    out = p;
    return 1;
  }

  if (g.variant == kVariantSport && g.stage >= 9) {
    const int v = Random(4, 9);
    Slot(p, 4) = v == 4 ? 9 : v;
  } else {
    Slot(p, 4) = Random(1, n);
  }
  LeftCell(p, n);
  p.centre = DrawNotEither(1, n, Slot(p, 4), Slot(p, 8));

  switch (g.variant) {
    case kVariantBottle:
      Slot(p, 2) = Random(0, n - 1);
      break;
    case kVariantWaist:
      Slot(p, 2) = DrawNot(0, n - 1, p.centre);
      Slot(p, 6) = DrawNot(0, n - 1, p.centre);
      if (Slot(p, 2) != 0 && Slot(p, 4) != 0 && Slot(p, 6) != 0 && Slot(p, 8) != 0) {
        Slot(p, Random(0, 1) == 0 ? 2 : 6) = p.centre;
      }
      break;
    case kVariantHurdle:
      Slot(p, 2) = Random(1, n);
      Slot(p, 6) = Random(1, n);
      if (g.lastRemoval > 0) {
        for (int s : {1, 3, 5, 7}) Slot(p, s) = DrawNot(0, n - 1, p.centre);
      }
      break;
    default:
      break;
  }
  out = p;
  return 1;
}

void RefillBonusSlots() {
  GameState& g = gGame;
  if (g.stage <= 1) {
    g.bonus[0] = BonusSlot{};
    g.bonus[1].centre = Random(1, 3);
    g.bonus[1].left = Random(4, 6);
    g.bonus[2] = BonusSlot{};
    return;
  }
  g.bonusCooldownMs = 2000;
  for (BonusSlot& slot : g.bonus) {
    if (slot.centre != 0) continue;
    if (Random(1, 10) > 8) {
      slot.centre = kSpecialCentre;
      slot.left = 0;
    } else {
      slot.centre = Random(2, 7);
      slot.left = Random(1, 5);
    }
    break;
  }
}

void TakeBonus() {
  GameState& g = gGame;
  if (g.paused || g.variant != kVariantJug || g.bonusCooldownMs != 0) return;
  g.bonusCooldownMs = 2000;
  int filled[3];
  int n = 0;
  for (int i = 0; i < 3; ++i) {
    if (g.bonus[i].centre != 0) filled[n++] = i;
  }
  if (n == 0) {
    PlaySound(kVoiceRight, 6, 0, 0.8f, 1.4f, 1.6f, 10);
    return;
  }
  BonusSlot& slot = g.bonus[filled[Random(0, n - 1)]];
  g.next.centre = slot.centre;
  g.next.ring.fill(0);
  g.next.ring[7] = slot.left;
  slot = BonusSlot{};
  PlaySound(kVoiceRight, 11, 0, 0.6f, 1.4f, 1.6f, 10);
}

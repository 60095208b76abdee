// A small headless player for whole games on the test host, shared by the
// simulation test and the benchmark.
//
// The bot stands in for the frame driver and the player: it advances the
// fake clock, ticks the frame clock, counts down the bonus cooldown, picks a
// shape when the shape choice would open, steers each piece to a column and
// turn chosen by a cheap rule, drops it, types a name when the records name
// entry opens and closes the results panel once it may be closed.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/text_entry.h"
#include "base/file_util.h"
#include "base/timers.h"
#include "game/game.h"
#include "records/records.h"
#include "support/fake_clock.h"
#include "support/test_host.h"

namespace bot {

// A fresh game on the test host at 800 x 600, rand seeded, shape 1 built;
// EndHeadlessGame undoes it.
inline void StartHeadlessGame(unsigned seed) {
  InstallFakeClock();
  test_host::Reset();
  std::srand(seed);
  GameStartup();
}

inline void EndHeadlessGame() {
  test_host::Reset();
  RemoveFakeClock();
}

// ------------------------------------------------------------ the player

// The bot's own generator, so that its choices do not disturb rand().
struct Rng {
  uint32_t s = 2463534242u;
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
};

struct Tally {
  int games = 0;
  std::array<int, 7> gamesByShape{};
  int ranked = 0;
  int unranked = 0;
  int cancelledNames = 0;
  int stageEnds = 0;
  int maxStage = 0;
  int specials = 0;
  int bonusesTaken = 0;
  int64_t frames = 0;
  int bestScore = 0;
};

struct Player {
  Rng rng;
  Tally tally;
  int nextShape = 1;

  // The plan for the piece in play.
  bool planned = false;
  int targetColumn = 0;
  int turnsLeft = 0;
  int keepSkill = 0;  // pieces left before this game's play turns careless
  int lastPosition = 0;
  int blockedMoves = 0;
  bool rotatePressedLastFrame = false;

  // Name entry script of the current game.
  int typed = 0;
  int toType = 0;
  bool cancelName = false;
  bool nameCancelled = false;  // how the latest entry ended
  std::string expectedName;    // the entry's text when it ended
  bool lazy = false;           // this piece falls by itself

  int lastEndState = 0;
  int lastStage = 0;
  bool specialSeen = false;
};

// A cheap value of a piece resting at centre p: for each of its cells the
// same-coloured cells of the well in line with it, a run long enough to be
// removed counting most, and depth.  No allocation; the well is not changed.
inline int PlacementValue(const Field& f, int32_t p, const Piece& piece, int minRun) {
  int value = (p / f.width) * 4;
  const int32_t steps[4] = {1, f.width, f.width + 1, f.width - 1};
  for (int slot = 0; slot <= 8; ++slot) {
    const int32_t colour = slot == 0 ? piece.centre : piece.ring[slot - 1];
    if (colour == 0) continue;
    const int32_t at = p + (slot == 0 ? 0 : RingOffset(slot, f.width));
    for (int32_t d : steps) {
      int run = 1;
      for (int32_t i = at + d; f.cellAt(i) == colour; i += d) ++run;
      for (int32_t i = at - d; f.cellAt(i) == colour; i -= d) ++run;
      value += run >= minRun ? 60 * run : 4 * (run - 1);
    }
  }
  return value;
}

inline void RingTurn(Piece& piece, int turns) {
  for (int t = 0; t < 2; ++t) {
    if (turns > 0) {
      std::rotate(piece.ring.rbegin(), piece.ring.rbegin() + 1, piece.ring.rend());
    } else {
      std::rotate(piece.ring.begin(), piece.ring.begin() + 1, piece.ring.end());
    }
  }
}

inline void PlanPiece(Player& b) {
  const GameState& g = gGame;
  const Field& f = *g.field;
  b.planned = true;
  b.blockedMoves = 0;
  b.lazy = b.rng.Chance(3);
  b.lastPosition = g.current.position;
  const int32_t start = g.current.position;
  const int32_t startColumn = start % f.width;
  if (b.keepSkill <= 0 || b.rng.Chance(15)) {
    b.targetColumn = 1 + b.rng.Below(f.width - 2);
    b.turnsLeft = b.rng.Below(4);
    return;
  }
  --b.keepSkill;
  const int dir = gOptions.ccw ? -1 : 1;
  const int minRun = LineMinimum();
  int best = -1;
  Piece probe = g.current;
  for (int turns = 0; turns < 4; ++turns) {
    if (turns > 0) RingTurn(probe, dir);
    for (int32_t col = 1; col < f.width - 1; ++col) {
      int32_t p = start + (col - startColumn);
      if (f.cellAt(p) != 0 || f.pieceCollides(p, probe)) continue;
      while (f.cellAt(p + f.width) == 0 && !f.pieceCollides(p + f.width, probe)) p += f.width;
      const int v = PlacementValue(f, p, probe, minRun) + b.rng.Below(3);
      if (v > best) {
        best = v;
        b.targetColumn = col;
        b.turnsLeft = turns;
      }
    }
  }
  if (best < 0) {
    b.targetColumn = startColumn;
    b.turnsLeft = 0;
  }
}

struct Commands {
  int left = 0, right = 0, rotate = 0, down = 0;
};

inline Commands Steer(Player& b) {
  Commands c;
  const GameState& g = gGame;
  const Piece& piece = g.current;
  if (g.field == nullptr || piece.position <= 0 || g.endState != 0 || g.paused) {
    b.planned = false;
    return c;
  }
  const Field& f = *g.field;
  if (g.special.active) {
    // Wander and paint now and then; it leaves the well by itself.
    const int r = b.rng.Below(10);
    c.left = r == 0;
    c.right = r == 1;
    c.rotate = r == 2;
    return c;
  }
  if (!b.planned) PlanPiece(b);
  if (b.turnsLeft > 0) {
    // One attempt every other frame; a refused turn ends the turning.
    if (b.rotatePressedLastFrame) {
      b.rotatePressedLastFrame = false;
      return c;
    }
    c.rotate = 1;
    b.rotatePressedLastFrame = true;
    --b.turnsLeft;
    return c;
  }
  const int32_t column = piece.position % f.width;
  if (column != b.targetColumn && b.blockedMoves < 3) {
    if (piece.position == b.lastPosition) ++b.blockedMoves;
    b.lastPosition = piece.position;
    if (column > b.targetColumn) {
      c.left = 1;
    } else {
      c.right = 1;
    }
    // Now and then both: left must win.
    if (b.rng.Chance(3)) c.left = c.right = 1;
    return c;
  }
  // Mostly a drop; now and then a piece falls by itself.
  c.down = b.lazy ? 0 : 1;
  return c;
}

// Types a name into the open text entry, a character per frame, and notes
// what the entry held when it ended.
inline void TypeName(Player& b) {
  if (b.typed == 0) {
    b.toType = b.rng.Below(18);
    b.cancelName = b.rng.Chance(15);
  }
  if (b.typed < b.toType) {
    static constexpr unsigned char kKeys[] = {0xC0, 0xC1, 0xE0, 0xEF, 0xFF, 'a', 'Z', '7',
                                              ' ',  ' ',  8,    9,    35,   36,  '%', '\''};
    TextEntryChar(kKeys[b.rng.Below(static_cast<int>(sizeof kKeys))]);
    ++b.typed;
  } else {
    TextEntryChar(b.cancelName ? 27 : 13);
  }
  if (!TextEntryEditing()) {
    b.nameCancelled = gTextEntry.owner != nullptr && *gTextEntry.owner == 2;
    b.expectedName = gTextEntry.buffer;
  }
}

// What a finished name entry stores: "Comp" when cancelled, the trimmed
// text or "Zero", cut to 12 bytes and padded with spaces.
inline std::string StoredName(const std::string& text, bool cancelled) {
  std::string name = cancelled ? std::string("Comp") : Trim(text);
  if (name.empty()) name = "Zero";
  name.resize(12, ' ');
  return name;
}

// One frame of play.  ms is the frame length.
inline void PlayFrame(Player& b, uint32_t ms) {
  GameState& g = gGame;
  AdvanceFrame(ms);
  CountDown(g.bonusCooldownMs);
  ++b.tally.frames;

  // The shape choice opens after every restart; the bot confirms at once.
  if (test_host::gHost.choiceOpen) {
    StartNewGame(b.nextShape);
    test_host::gHost.choiceOpen = false;
    ++b.tally.games;
    ++b.tally.gamesByShape[b.nextShape];
    b.nextShape = b.nextShape % 6 + 1;
    b.keepSkill = b.rng.Below(4) == 0 ? b.rng.Below(400) : b.rng.Below(25);
    gOptions.ccw = b.rng.Below(2);
    b.planned = false;
    b.typed = 0;
    return;
  }

  if (StageResultsClosable()) {
    CloseStageResults();
    return;
  }

  if (TextEntryEditing()) TypeName(b);

  Commands c = Steer(b);
  if (g.variant == kVariantJug && b.rng.Chance(2)) {
    const int before = g.bonusCooldownMs;
    TakeBonus();
    if (before == 0 && g.bonusCooldownMs != 0) ++b.tally.bonusesTaken;
  }
  GameTick(c.left, c.right, c.rotate, c.down, 0, 0, 0);
  if (g.current.position == 0) b.planned = false;
  if (g.special.active && !b.specialSeen) {
    b.specialSeen = true;
    ++b.tally.specials;
  }
  if (!g.special.active) b.specialSeen = false;
}

}  // namespace bot

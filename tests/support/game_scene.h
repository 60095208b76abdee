// A game in its fifth stage, as the frame benchmark and the frame comparison
// test draw it: the lower half of the well filled, a piece falling, the
// preview and the chain display on, the default records table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/frame.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "ui/field_choice.h"
#include "ui/name_entry.h"
#include "ui/panel_tree.h"

struct SceneLook {
  int colours = 9;          // cells are filled with colours 1..colours
  bool topRingCell = true;  // the piece has a cell above its centre too
  int32_t score = 312;
  const char* fourthName = "Nadia";  // the fourth entry's name ("" keeps "---")
};

// The default records, as a fresh records file has them, without writing it.
inline void DefaultRecords(const char* fourthName) {
  FillDefaultRecords(gRecordTable, 16, 1, 2026);
  if (fourthName[0] != '\0')
    std::snprintf(gRecordTable[3].name, sizeof gRecordTable[3].name, "%-12s", fourthName);
  BuildRecordLines(gRecordTable);
  gRecordsLoaded = 1;
}

inline void HideScreens() {
  ShowPanel(FieldChoicePanel, false);
  ShowPanel(StageResultsPanel, false);
  ShowPanel(OptionsPanel, false);
  ShowPanel(NameEntryPanel, false);
}

// `settling` adds the settle phase with its bars.
inline Field* MiddleOfAGame(int shape, bool settling, const SceneLook& look = SceneLook{}) {
  gChoiceState = 2;
  HideScreens();
  Field* f = SelectVariant(shape);
  ResetGame();
  gGame.stage = 4;
  BuildField(f);
  DefaultRecords(look.fourthName);
  std::srand(7);
  for (int32_t row = f->height / 2; row < f->height - 1; ++row) {
    for (int32_t col = 1; col < f->width - 1; ++col) {
      const int32_t i = f->index(row, col);
      if (f->cellAt(i) == 0) f->setCell(i, 1 + std::rand() % look.colours);
    }
  }
  GameState& g = gGame;
  g.current = Piece{};
  g.current.centre = 2;
  if (look.topRingCell) g.current.ring[1] = 7;
  g.current.ring[3] = 4;  // right
  g.current.ring[7] = 5;  // left
  g.current.position = f->index(3, f->width / 2);
  g.fallTimer = 600;
  g.spawnDelay = 0;
  g.downGuard = 0;
  g.next.centre = 3;
  g.next.ring[3] = 1;
  g.next.ring[7] = 6;
  g.piecesInStage = 5;
  g.score = look.score;
  g.cubes = 80;
  g.stageCubes = 30;
  g.chainNumber = 3;
  g.chainBonus = 33;
  g.lastRemoval = 4;
  g.lastPoints = 16;
  g.bestPoints = 36;
  g.settleSteps = settling ? 10 : 0;
  g.settleTimer = settling ? 60 : 0;
  ApplyVisibilityRules();
  return f;
}

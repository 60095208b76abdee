// A headless game on the game's own shell, for the interface tests that
// drive the rules through it: the fake clock, no real message box, the
// managed panels as bare rectangles at 800 x 600.
#pragma once

#include <cstdlib>

#include "app/app_state.h"
#include "game/game.h"
#include "platform/platform.h"
#include "support/fake_clock.h"
#include "ui/panel_tree.h"

namespace shell_game {

inline int gMessageBoxes = 0;

inline int CountMessageBox(const char*, const char*, uint32_t) {
  ++gMessageBoxes;
  return IDOK;
}

inline void Start(unsigned seed) {
  bot::InstallFakeClock();
  gMessageBoxes = 0;
  SetMessageBoxHook(CountMessageBox);
  SetRootPanel(800, 600);
  for (Panel** p :
       {&OptionsPanel, &NameEntryPanel, &StageResultsPanel, &ResultsColumnsPanel, &RecordsPanel,
        &RecordsStripPanel, &FieldChoicePanel, &BonusPanel, &SideInfoPanel}) {
    *p = CreatePanel(nullptr, nullptr, nullptr, 0, 0, 0.1f, 0.1f, 0, 0);
  }
  gApp.windowWidth = 800;
  gApp.windowHeight = 600;
  std::srand(seed);
  GameStartup();
}

inline void End() {
  ReleasePanelTree();
  SetMessageBoxHook(nullptr);
  bot::RemoveFakeClock();
}

}  // namespace shell_game

// Process-wide shell state: window size and flags and the key table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/host.h"

struct AppState {
  int32_t windowWidth = 800;
  int32_t windowHeight = 600;
  int32_t active = 0;   // frames are drawn
  int32_t focused = 0;  // input is sampled and the game stepped
  int32_t quitRequested = 0;
  int32_t loopSleepMs = 10;
  int32_t debugOverlay = 0;
  int32_t languageFlag = 0;  // 0 Russian, 1 English
};

// GameWindowSize (game/host.h) hands the rules its window size.
extern AppState gApp;

// 256 down-flags by Windows virtual-key code; mouse buttons at 1, 2 and 4.
extern std::array<int32_t, 256> gKeyTable;
void ClearKeyTable();

// Key and button messages go through these.  A press stays in the table
// until a frame has read it, so a press and release that both arrive
// between two frames still count as down for one frame; such a release
// applies once the frame is done (KeyTableFrameSeen).
void KeyTablePress(int code);
void KeyTableRelease(int code);
void KeyTableFrameSeen();

// The one-line text entry (its own module).
#include "app/text_entry.h"

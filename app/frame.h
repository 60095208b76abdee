// The frame driver: one call per idle pass of the main loop draws one frame
// (the loop presents it).  In order: the start-up intro (which takes the
// whole frame while it runs), the visibility rules of the managed panels,
// input and the game step (only while focused), then the picture.
#pragma once

#include <cstdint>

#include "game/host.h"

// The menu's and the name grid's countdowns and selection live with them.
#include "ui/name_entry.h"
#include "ui/options_menu.h"

void RunFrame(int focused);

// SetupIntro (game/host.h) starts the full-screen intro.  True while the
// intro takes the frames: time left, and neither the stage results nor the
// results panel's close lock hold the game.
bool IntroRunning();

struct IntroState {
  int32_t remainingMs = 0;
  float anchor = 128.0f;
  float alpha = 0.0f;
  float a = 0.0f, b = 0.0f, c = 0.0f;  // the moving coordinates
};
const IntroState& Intro();

// The visibility rules of the managed panels, applied every frame.
void ApplyVisibilityRules();
// The frame borders drawn over the panel tree (each panel that has one).
void DrawPanelBorders();

// The four movement commands of this frame and the pointer position.
extern int32_t CommandLeft, CommandRight, CommandUp, CommandDown;
extern int32_t MouseX, MouseY;
extern int32_t PulsesSteppedThisFrame;

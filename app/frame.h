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

// 1 when the frame drew a picture for the loop to present.  A frame that
// ends before drawing (the options chord) or, with still-frame skipping on,
// whose picture would be the one on the screen draws nothing.
int RunFrame(int focused);

// On (as the program runs): a frame whose picture would be the same as the
// last one presented is not drawn.  Off (the default, for tests that read
// every frame) every frame draws.  Either way starts afresh.
void SetStillFrameSkipping(int on);
// The next frame is drawn whatever it shows: the window was exposed,
// resized or shown again.
void RequestFullFrame();
// Pictures drawn since skipping was last switched (the intro's included).
int FramesDrawn();
// The current state's picture, drawn as a frame draws it, without the
// frame's logic (tests compare it with what a skipped frame left).
void DrawCurrentPicture(int focused);

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

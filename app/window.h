// The one borderless window with its OpenGL context, and its window
// procedure.
#pragma once

#include <cstdint>

#include "game/host.h"

// What exists of the window; teardown releases only that.
struct GlWindow {
  int32_t classRegistered = 0;
  int32_t window = 0;
  int32_t dc = 0;
  int32_t rc = 0;
  int32_t windowedMode = 0;  // always 0: the window is a borderless popup
  int32_t pixelFormatPrepared = 0;
};

extern GlWindow gGlWindow;

// ShowMessageBox (game/host.h): the game's boxes go through the platform's.

// Reads "wsize.txt" (possibly asking the player) into gApp's window size.
void ChooseWindowSize();
// The same, from another file (tests).
void ChooseWindowSizeFrom(const char* fileName);

// 1 on success; on failure the message box has been shown and everything
// built so far torn down.
int CreateGlWindow(int width, int height);
// Projection, fixed GL state, fonts, start-up textures, panels, bindings.
int InitGl();
void ResizeGlScene(int width, int height);
void KillGlWindow();

// The window procedure: writes the flags of gApp, the key table, the text
// entry and the wheel accumulator.
intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Enter, Space and the keys of the Up action close the stage results; 1 when
// the key was taken (it then never reaches the key table).
int ResultsCloseKey(int code, int pressed);

// The frame driver: one call per idle pass of the main loop draws one frame.
#pragma once

#include <cstdint>

void RunFrame(int focused);
// Starts the full-screen intro (3000 ms): at start-up and at every game over.
void SetupIntro();
bool IntroRunning();

// The four movement commands of this frame and the pointer position.
extern int32_t CommandLeft, CommandRight, CommandUp, CommandDown;
extern int32_t MouseX, MouseY;
extern int32_t PulsesSteppedThisFrame;
extern int32_t MenuCooldownMs, OptionsToggleCooldownMs, TextCooldownMs;

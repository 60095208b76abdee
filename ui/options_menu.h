// The options menu: nine lines over the left of the window, opened and
// closed by the pause chord (both mouse buttons), walked with the movement
// commands and applied with the rotate command.  While it is open the game
// does not advance.
#pragma once

#include <cstdint>
#include <string>

struct Panel;

// Countdowns (ms) run down once per focused frame by the frame driver.
extern int32_t MenuCooldownMs, OptionsToggleCooldownMs;
// Highlighted line (1 at the top) and the number of lines.
extern int32_t OptionsLine, OptionsLineCount;
// 1 while the player has muted the sound from the menu.
extern int32_t gSoundMuted;

struct OptionsCounts {
  int32_t quitCountdown = 3;   // presses left before quitting
  int32_t resetCountdown = 3;  // presses left before the records reset; 1 = done
};
const OptionsCounts& OptionsMenuCounts();

// Opens or closes the menu unless the 990 ms toggle cooldown runs; true when
// it acted (the frame then ends without drawing).
bool ToggleOptionsMenu();
// One frame of the open menu: next line, previous line or apply.
void OptionsMenuNavigate(int left, int right, int up, int down, int wheelUp);
// Applies the highlighted line, at most once per 400 ms.
void ActivateOptionLine();
// True when the options panel is hidden (or absent).
bool OptionsHidden();

// Moving the selection by `delta` wraps at both ends; with fewer than two
// lines nothing moves, and a selection out of range is first brought back
// into it.
int WrapOptionsLine(int line, int delta, int count);

// The text of line `tag` as it reads now (Windows-1251).
std::string OptionLineText(int tag);
// Draw callback of the line panels (tagged 1..9 from the top).
void DrawOptionLine(Panel* p);

// Back to the program-start state (tests).
void ResetOptionsMenu();

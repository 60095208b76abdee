// The records name entry: the 11 x 3 letter grid walked with the movement
// commands and the wheel and pressed with the rotate command, and the input
// box that shows the prompt, the text and the caret while a text entry runs.
#pragma once

#include <cstdint>
#include <string>

#include "game/host.h"

struct Panel;
struct TextEntry;

// While above 0 a press of a cell is ignored; run down by the frame driver.
extern int32_t TextCooldownMs;
// The highlighted cell 1..33; kept between entries.
extern int32_t gNameCursor;

constexpr int kNameCells = 33;
constexpr int kNameDeleteCell = 32;
constexpr int kNameAcceptCell = 33;

// Windows-1251 codes of a letter cell: the capital starts a name (0: the
// cell has none), the small letter follows; both 0 for the command cells.
int NameCellCapital(int tag);
int NameCellSmall(int tag);
// What a cell shows.
std::string NameCellLabel(int tag);

// One frame of the grid while the name entry is shown: moves the highlight
// within its row or presses the highlighted cell, editing `entry` (its
// owner's cell gets 1 when "@" accepts).  lastName is the previous name.
// NameGridInput(lastName) of game/host.h is this with the text entry and
// the frame's commands.
void NameGridInput(TextEntry& entry, std::string& lastName, int left, int right, int up);
// The wheel: a row down or up, wrapping, only while the name entry shows.
void NameGridRowDown();
void NameGridRowUp();

// Draw callback of the letter cells (tagged 1..33).
void DrawNameCell(Panel* p);
// Drawn every frame by the frame driver; shows only while a text entry runs.
void DrawTextInputBox();

// Back to the program-start state (tests).
void ResetNameEntry();

// The game rules as the shell and the interface call them.
#pragma once

#include <cstdint>

struct Field;

// Program start-up: game state reset, shape 1 selected and its first stage built.
void GameStartup();
// The field choice confirmed a shape: SelectVariant, ResetGame, BuildField.
void StartNewGame(int shape);
Field* SelectVariant(int shape);
void ResetGame();
void BuildField(Field* grid);

// Once per focused frame while the field choice does not take the frame.
void GameTick(int left, int right, int rotate, int down, int click, int mouseX, int mouseY);
// Space key or wheel-up: takes a stored bonus ("кувшин" only).
void TakeBonus();
// The stage results were closed by the player: hide them, unpause, next stage.
void CloseStageResults();
// The results panel may be closed now (paused, no close lock, no name entry).
bool StageResultsClosable();

// Stage progress in percent, truncated; 0 when the target is 0.
int ProgressPercent();
// Unbiased statistics: slot k (0..7) of a table, 0 outside; and the sum of
// the positive counts.
int StatCount(const struct StatTable& table, int k);
int StatSum(const struct StatTable& table);

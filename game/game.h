// The game rules as the shell and the interface call them, and the rule
// steps themselves (the tests drive them one by one).
#pragma once

#include <cstdint>

#include "game/field.h"
#include "game/game_state.h"
#include "records/records.h"

// ------------------------------------------------------------ entry points

// Program start-up: game state reset, shape 1 selected and its first stage built.
void GameStartup();
// The field choice confirmed a shape: SelectVariant, ResetGame, BuildField.
void StartNewGame(int shape);
// Selects shape 1..6 (anything else is 1), its spawn area, cell size and
// well placement; returns its grid, which becomes the current field.
Field* SelectVariant(int shape);
// Zeroes the game for a fresh game (stage 0; BuildField then starts stage 1).
void ResetGame();
// Starts the next stage on the grid (nothing for a null grid).
void BuildField(Field* grid);

// Once per focused frame while the field choice does not take the frame.
// Left wins over right.
void GameTick(int left, int right, int rotate, int down, int click, int mouseX, int mouseY);
// Space key or wheel-up: takes a stored bonus ("кувшин" only).
void TakeBonus();
// The stage results were closed by the player: hide them, unpause, next
// stage.  Does nothing while they may not be closed.
void CloseStageResults();
// The results panel may be closed now (paused, no close lock, no name entry).
bool StageResultsClosable();

// Stage progress in percent, truncated; 0 when the target is 0.
int ProgressPercent();
// Unbiased statistics: slot k (0..7) of a table, 0 outside; and the sum of
// the positive counts.
int StatCount(const StatTable& table, int k);
int StatSum(const StatTable& table);

// ------------------------------------------------------------ wells

enum FieldVariant : int {
  kVariantEasy = 1,    // "лёгкое"
  kVariantSport = 2,   // "спорт"
  kVariantJug = 3,     // "кувшин"
  kVariantBottle = 4,  // "бутыль"
  kVariantWaist = 5,   // "талия"
  kVariantHurdle = 6,  // "помеха"
};

// The grid of shape 1..6 (the same grid for the same shape, always);
// nullptr outside 1..6.
Field* FieldForVariant(int variant);
// Stage target of a fresh game: 55 "спорт", 85 "помеха", 50 otherwise.
int InitialStageTarget(int variant);
// Spawn position of a grid: row 1, column width / 2.
int32_t SpawnPosition(const Field& field);

// ------------------------------------------------------------ pieces

// Makes a piece for the current shape and stage into `out` (centre, ring,
// position = spawn).  0 when the spawn is blocked: the blocking cell is
// marked in gGame.spawnBlockCell and `out` is left alone.
int GeneratePiece(Field& field, Piece& out);
// Colour count of the next piece (draws for "кувшин" and "бутыль").
int ColourCount();
// The two progress milestones of "спорт"; each call may consume one.
bool FirstMilestoneFires();
bool HalfMilestoneFires();
// Bonus slots of "кувшин" at a stage start.
void RefillBonusSlots();

// ------------------------------------------------------------ play

void GameStep(Field& field, Piece& piece, int left, int right, int rotate, int down);
// Writes the landed piece into the grid and starts the settle phase.
void LandPiece(Field& field, Piece& piece);
// Moves the piece by -1, +1 or width when the centre's target is empty and
// the ring fits there.
bool MovePiece(const Field& field, int32_t& position, const Piece& piece, int32_t delta);
// Moves the special piece's centre: only walls and blocked cells stop it.
bool MoveCentre(const Field& field, int32_t& position, int32_t delta);

// ------------------------------------------------------------ scoring

// Minimum run that is removed: 3; 4 for "бутыль", for "талия" from stage 4
// on and for every shape from stage 9 on.
int LineMinimum();
// Removes every run of at least n cells; the removal is kept for drawing.
int RemoveLines(Field& field, int n);
// Phase 0 right after a landing (returns the cells removed then); phase 1
// after the settle phase scores the whole landing.
int ScoreRemovals(Field& field, int phase);
// Points of one removal of `total` cells.
int RemovalPoints(int total);
// Ends the running chain, counting it in the chain-length tables.
void EndChain();
// Once at the start of each stage-end pause.
void StageEndStart();
// Clears a statistics table (to its bias) and counts one value in a slot.
void ClearStatTable(StatTable& table);
void CountStat(StatTable& table, int slot);
// A new game's sums: chain bonuses, removal points, removed cells of the
// stage, the pending removal and all four statistics tables.
void ClearGameSums(GameState& g);
// The values handed to the records table.
RecordValues CurrentRecordValues();

// ------------------------------------------------------------ end of game

void GameOver();
// False while playing; runs one step of the end-of-game machine otherwise.
bool EndOfGame();
// True when play may not go on this frame; restarts a finished game once
// its results were closed.
bool CheckGameEnd();
// A ranking game still waiting for its name is entered into its table with
// the text typed so far (the program is about to quit).
void FinishPendingRecord();

// The state of the running game: the six wells, the pieces, the stage, the
// score, the chain, the timers of play and the end-of-game machine.  One
// process-wide instance, `gGame`; the drawing code reads it and never writes
// rules state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/text.h"

struct Field;

// A piece: a centre cell and a ring of up to eight cells, slots 1..8
// clockwise from the upper left (ring[0] is slot 1).
struct Piece {
  int32_t centre = 0;  // 1..9, or kSpecialCentre; 0 = no piece (for the preview)
  std::array<int32_t, 8> ring{};
  int32_t position = 0;  // centre cell index; 0 = no piece in play
};

constexpr int32_t kSpecialCentre = 12;  // the special (painting) piece
constexpr int32_t kRemovedListCapacity = 499;

// A stored bonus of the "кувшин" well: centre colour K and left colour V; K = 0 is empty.
struct BonusSlot {
  int32_t centre = 0;
  int32_t left = 0;
};

struct SpecialState {
  int32_t charges = 0;        // 0..100
  int32_t paintCooldown = 0;  // ms
  int32_t savedPeriod = 0;    // 0 = no special piece in play
  int32_t savedStepF = 0;
  int32_t active = 0;
};

// Player options (the options menu toggles them; they are not saved).
struct GameOptions {
  int32_t ccw = 1;          // rotation counter-clockwise
  int32_t drop = 1;         // down starts a drop to the bottom
  int32_t stepF = 0;        // falling piece drawn row by row
  int32_t colourPulse = 1;  // cells pulse in colour
  // Two switches of the well drawing that always follow the colour pulse.
  int32_t pulseCompanions[2] = {1, 1};
  int32_t chainDisplay = 1;  // chain label and gauge shown
  int32_t layoutMode = 2;    // well placement: 0 centred, otherwise left of the middle
};

// The four statistics tables: 8 counters each, kept with a bias (slot k
// holds its count plus k + 1, so a cleared table holds 1..8).  The records
// file stores them that way.
struct StatTable {
  std::array<int32_t, 8> slot{1, 2, 3, 4, 5, 6, 7, 8};
};

struct GameState {
  // --- well and pieces
  int32_t variant = 1;                 // FieldVariant 1..6
  Field* field = nullptr;              // current well
  Field* lastBuilt = nullptr;          // the grid the last stage was built on
  std::array<int32_t, 9> spawnArea{};  // the 3x3 cells around the spawn position
  Piece current;
  Piece next;
  int32_t initialised = 0;   // game settings set up (GameTick does nothing before)
  float backgroundFade = 0;  // fade-in of the stage background; BuildField restarts it at 0

  // --- screen geometry of the well (set by SelectVariant)
  int32_t cellW = 0, cellH = 0;
  int32_t wellX = 0, wellY = 0;        // lower-left corner of the bottom (wall) row
  int32_t previewX = 0, previewY = 0;  // next-piece preview box

  // --- stage and pace
  int32_t stage = 0;
  int32_t stageTarget = 50;
  int32_t stageCubes = 0;
  int32_t fallPeriod = 1000;
  int32_t slowDownDone = 0;  // the one-time reset to 1000 ms at a target above 70
  int32_t ruleCode = 20;
  int32_t piecesInStage = 0;
  int32_t firstMilestone = 0;  // 0 -> 1 -> 2
  int32_t halfMilestone = 0;

  // --- timers of play (ms countdowns)
  int32_t fallTimer = 0;
  int32_t spawnDelay = 0;
  int32_t downGuard = 0;
  int32_t rotateSoundGuard = 0;
  int32_t rotateAnim = 0;
  int32_t dropping = 0;
  int32_t graceUsed = 0;
  int32_t settleSteps = 0;
  int32_t settleTimer = 0;
  int32_t settleSoundOn = 0;
  int32_t stageEndTimer = 0;
  int32_t stageEndStarted = 0;
  int32_t paused = 0;
  SpecialState special;

  // --- bonus slots ("кувшин")
  std::array<BonusSlot, 3> bonus{};
  int32_t bonusCooldownMs = 0;  // counted down by the frame driver

  // --- scoring
  int32_t score = 0;
  int32_t cubes = 0;
  int32_t pendingRemoved = 0;
  int32_t removedThisLanding = 0;
  int32_t lastRemoval = 0;
  int32_t lastPoints = 0;
  int32_t bestPoints = 0;
  int32_t pointsShowTimer = 0;  // 2500 ms; the well drawing counts it down
  int32_t chainNumber = 0;
  int32_t chainBonus = 0;
  int32_t lastChainBonus = 0;
  int32_t chainBonusSum = 0;
  int32_t pointsSum = 0;
  int32_t stageChainBonus = 0;
  int32_t stagePoints = 0;
  int32_t stageRemoved = 0;
  int32_t stageStartScore = 0;
  // The latest removal, kept for the removal flash.
  std::array<int32_t, kRemovedListCapacity> removedCells{};
  std::array<int32_t, kRemovedListCapacity> removedColours{};
  int32_t removedCount = 0;
  int32_t removedShowTimer = 0;  // 1500 ms; the well drawing counts it down
  StatTable stageChains, gameChains, stageSizes, gameSizes;

  // --- end of game
  int32_t endState = 0;
  int32_t endTimer = 0;
  int32_t gameOverTimer = 0;
  int32_t spawnBlockCell = 0;
  int32_t recordRank = -1;  // 1..20 the finished game's place; -1 none
  int32_t closeLock = 0;
  int32_t nameInput = 0;
  std::string playerName = "Жорб"_w;  // the previous name, offered again (Windows-1251)
};

extern GameState gGame;
extern GameOptions gOptions;

// The game step: spawning, moving, turning, dropping and landing pieces,
// the settle phase and the stage-end pause; and the entry points the shell
// calls.
#include <algorithm>
#include <utility>

#include "base/timers.h"
#include "game/game.h"
#include "game/host.h"
#include "records/records.h"

// gGame and gOptions are defined in game/game_state.cpp.

namespace {

constexpr int32_t kSpawnDelayMs = 900;
constexpr int32_t kDownGuardMs = 400;
constexpr int32_t kSettleStepMs = 120;
constexpr int32_t kRotateAnimMs = 300;
constexpr int32_t kRotateSoundGuardMs = 80;

bool SpecialInPlay() {
  return gGame.special.active != 0;
}

// Settle phase: one gravity step per 120 ms, then the landing is scored.
// True while the phase takes the frame.
bool Settle(Field& field) {
  GameState& g = gGame;
  if (g.settleSteps <= 0) return false;
  if (!g.settleSoundOn) {
    g.settleSoundOn = 1;
    PlaySound(kVoiceLeft, 5, 1, 0.5f, 0.5f, 0.5f, 0);
  }
  bool due;
  if (g.settleTimer > 0) {
    due = CountDownExpired(g.settleTimer) != 0;
  } else {
    due = true;
  }
  if (due) {
    g.settleTimer = kSettleStepMs;
    --g.settleSteps;
    if (!field.gravityStep()) g.settleSteps = 0;
  }
  if (g.settleSteps > 0) return true;

  const int total = ScoreRemovals(field, 1);
  g.settleSoundOn = 0;
  if (total == 0) {
    PlaySound(kVoiceLeft, 6, 0, 0.4f, 0.8f, 0.8f, 0);
  } else if (total <= 3) {
    PlaySound(kVoiceLeft, 10, 0, 0.8f, 1.0f, 1.0f, 0);
  } else if (total <= 6) {
    PlaySound(kVoiceLeft, 10, 0, 0.85f, 0.8f, 0.8f, 0);
  } else {
    PlaySound(kVoiceLeft, 10, 0, 0.9f, 0.6f, 0.6f, 0);
  }
  return true;
}

// Stage-end pause: true while it takes the frame, the last frame included.
bool StageEndPause() {
  GameState& g = gGame;
  g.removedThisLanding = 0;
  if (g.stageEndTimer == 0) return false;
  if (!g.stageEndStarted) {
    g.stageEndStarted = 1;
    PlaySound(kVoiceRight, 12, 0, 0.9f, 1.0f, 1.0f, 0);
    StageEndStart();
  }
  CountDown(g.stageEndTimer);
  if (g.stageEndTimer != 0) return true;
  g.stageEndStarted = 0;
  if (!ShowGamePanel(kStageResultsPanel, true)) ShowMessageBox("URA", "!!!");
  // Paused either way, so that closing the results starts the next stage.
  // The frame ends here too: the next piece belongs in the new well, not in
  // the full one that closing the results clears.
  g.paused = 1;
  return true;
}

void Spawn(Field& field, Piece& piece) {
  GameState& g = gGame;
  if (GeneratePiece(field, piece) == 0) {
    GameOver();
  } else {
    g.spawnDelay = kSpawnDelayMs;
  }
  if (g.next.centre == 0) {
    Piece made;
    if (GeneratePiece(field, made) != 0) {
      g.next.centre = made.centre;
      g.next.ring = made.ring;
    }
  }
  // The piece that enters is the one the preview showed.
  std::swap(piece.centre, g.next.centre);
  std::swap(piece.ring, g.next.ring);
  ++g.piecesInStage;
  g.downGuard = kDownGuardMs;
  g.dropping = 0;
  if (piece.centre == kSpecialCentre && piece.position > 0) {
    g.special.charges = 4;
    g.special.active = 1;
    g.special.savedPeriod = g.fallPeriod;
    g.fallPeriod = 1000;
    g.special.paintCooldown = 1008;
    g.special.savedStepF = gOptions.stepF;
    gOptions.stepF = 1;
  }
}

void SpecialCommands(Field& field, Piece& piece, int left, int right, int rotate) {
  SpecialState& s = gGame.special;
  CountDown(s.paintCooldown);
  if (left) {
    MoveCentre(field, piece.position, -1);
  } else if (right) {
    MoveCentre(field, piece.position, +1);
  }
  if (s.paintCooldown == 0 && rotate && s.charges > 0 && field.cellAt(piece.position) > 0) {
    s.charges = std::clamp(s.charges - 1, 0, 100);
    field.repaintFromNeighbour(piece.position);
    s.paintCooldown = 250;
  }
}

}  // namespace

// ------------------------------------------------------------ moves

bool MovePiece(const Field& field, int32_t& position, const Piece& piece, int32_t delta) {
  const int32_t target = position + delta;
  if (field.cellAt(target) != 0 || field.pieceCollides(target, piece)) return false;
  position = target;
  return true;
}

bool MoveCentre(const Field& field, int32_t& position, int32_t delta) {
  const int32_t target = position + delta;
  if (field.cellAt(target) < 0) return false;
  position = target;
  return true;
}

void LandPiece(Field& field, Piece& piece) {
  GameState& g = gGame;
  if (!field.placePiece(piece.position, piece)) {
    piece.position = 0;
    return;
  }
  int cells = 1;
  for (int32_t c : piece.ring) cells += c != 0 ? 1 : 0;
  g.score += cells;
  field.setCell(piece.position, piece.centre);
  piece.position = 0;
  g.settleSteps = g.ruleCode - 1;
}

// ------------------------------------------------------------ the step

void GameStep(Field& field, Piece& piece, int left, int right, int rotate, int down) {
  GameState& g = gGame;

  if (g.rotateSoundGuard == 0 && rotate) {
    g.rotateSoundGuard = kRotateSoundGuardMs;
    PlaySound(kVoiceCentre, 5, 0, 0.8f, 0.9f, 1.0f, 10);
  } else {
    CountDown(g.rotateSoundGuard);
  }
  CountDown(g.rotateAnim);

  if (Settle(field)) return;
  if (StageEndPause()) return;

  if (!gRecordsLoaded) {
    LoadRecords(RecordsFileName());
    gRecordsLoaded = 1;
    gPreviewTable = gRecordTable;
    piece.position = 0;
  }

  if (piece.position < 1) {
    Spawn(field, piece);
    return;
  }

  CountDown(g.fallTimer);
  CountDown(g.spawnDelay);
  CountDown(g.downGuard);

  if (left || right) g.dropping = 0;
  const bool special = SpecialInPlay();
  if (special) {
    down = 0;
    g.dropping = 0;
  }

  if (!g.dropping && (!down || g.downGuard > 0)) {
    if (special) {
      SpecialCommands(field, piece, left, right, rotate);
    } else if (!rotate) {
      if (left) {
        MovePiece(field, piece.position, piece, -1);
      } else if (right) {
        MovePiece(field, piece.position, piece, +1);
      }
    } else if (field.rotatePiece(piece.position, piece, gOptions.ccw ? -2 : 2)) {
      g.rotateAnim = kRotateAnimMs;
    }
  } else {
    if (gOptions.drop) g.dropping = 1;
    if (!g.graceUsed || g.dropping) g.fallTimer = 0;
  }

  if (special) {
    // It falls through everything and leaves the well at the bottom.
    if (g.fallTimer == 0 && g.spawnDelay == 0) {
      g.fallTimer = g.fallPeriod;
      piece.position += field.width;
      if (piece.position > field.count - field.width) {
        piece.position = 0;
        g.special.active = 0;
      }
    }
    return;
  }

  if (g.fallTimer > 0 || g.spawnDelay > 0) return;
  g.fallTimer = g.fallPeriod;
  if (g.graceUsed) {
    g.graceUsed = 0;
    down = 0;
  }
  if (MovePiece(field, piece.position, piece, field.width)) return;
  if (!g.dropping && down) {
    // One more period to slide or turn before it lands.
    g.graceUsed = 1;
    g.fallTimer = g.fallPeriod;
    return;
  }

  LandPiece(field, piece);
  if (ScoreRemovals(field, 0) > 0) {
    PlaySound(kVoiceCentre, 7, 0, 0.9f, 1.0f, 1.0f, 0);
  } else {
    PlaySound(kVoiceCentre, 4, 0, 0.9f, 0.8f, 0.9f, 10);
  }
}

void GameTick(int left, int right, int rotate, int down, int click, int mouseX, int mouseY) {
  GameState& g = gGame;
  CountDown(g.closeLock);
  if (!g.initialised) return;
  if (click) RecordsListClick(mouseX, mouseY);
  if (left) right = 0;
  if (CheckGameEnd()) return;
  if (g.field != nullptr) GameStep(*g.field, g.current, left, right, rotate, down);
}

// ------------------------------------------------------------ game life

void ResetGame() {
  GameState& g = gGame;
  g.chainNumber = 0;
  g.chainBonus = 0;
  g.lastChainBonus = 0;
  ClearGameSums(g);
  g.firstMilestone = 0;
  g.halfMilestone = 0;
  g.score = 0;
  g.cubes = 0;
  g.lastRemoval = 0;
  g.lastPoints = 0;
  g.bestPoints = 0;
  gPreviewRank = 0;
  g.recordRank = -1;
  g.stageStartScore = 0;
  gRecordsLoaded = 0;
  g.stageCubes = 0;
  g.stageTarget = InitialStageTarget(g.variant);
  g.slowDownDone = 0;
  g.stage = 0;
  g.fallPeriod = 1000;
  g.next = Piece{};
  // Nothing of the previous game's piece, landing or stage end carries
  // over (a piece left from the old well would not fit the new one).
  g.current = Piece{};
  g.settleSteps = 0;
  g.settleTimer = 0;
  g.settleSoundOn = 0;
  g.stageEndTimer = 0;
  g.stageEndStarted = 0;
  g.dropping = 0;
  g.graceUsed = 0;
  const WindowSize window = GameWindowSize();
  g.previewX = static_cast<int32_t>(window.width * 0.65);
  g.previewY = static_cast<int32_t>(window.height * 0.73);
}

void GameStartup() {
  gGame = GameState{};
  gOptions = GameOptions{};
  SelectVariant(1);
  ResetGame();
  BuildField(gGame.field);
  gGame.initialised = 1;
}

void StartNewGame(int shape) {
  Field* f = SelectVariant(shape);
  ResetGame();
  BuildField(f);
}

bool StageResultsClosable() {
  const GameState& g = gGame;
  return g.paused && g.closeLock == 0 && g.nameInput == 0;
}

void CloseStageResults() {
  if (!StageResultsClosable()) return;
  ShowGamePanel(kStageResultsPanel, false);
  gGame.paused = 0;
  BuildField(gGame.field);
}

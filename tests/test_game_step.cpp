// The game step frame by frame: spawn and hang, moves, turns, drops, the
// grace period, landing, settling, the special piece and the stage end.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/bot.h"

namespace {

class Step : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(workDir_.dir.empty());
    bot::StartHeadlessGame(99);
  }
  void TearDown() override { bot::EndHeadlessGame(); }

  // A new game of a shape and its first frame (records loaded, first spawn).
  void Begin(int shape) {
    StartNewGame(shape);
    Tick(16);
    ASSERT_GT(gGame.current.position, 0);
  }
  static void Tick(uint32_t ms, int left = 0, int right = 0, int rotate = 0, int down = 0) {
    bot::AdvanceFrame(ms);
    GameTick(left, right, rotate, down, 0, 0, 0);
  }
  static Field& F() { return *gGame.field; }
  static Piece& Cur() { return gGame.current; }
  static int Row() { return Cur().position / F().width; }
  static int Col() { return Cur().position % F().width; }
  // Gives the piece in play a known shape (it keeps its place).
  static void Shape(int centre, std::array<int32_t, 8> ring) {
    Cur().centre = centre;
    Cur().ring = ring;
  }
  // Waits out the hang after the spawn.
  static void WaitHang() {
    while (gGame.spawnDelay > 0) Tick(50);
  }

  bot::TempWorkDir workDir_;
};

// ------------------------------------------------------------ game life

TEST_F(Step, StartupBuildsTheFirstStageOfShapeOne) {
  gGame.score = 77;
  gGame.playerName = "x";
  gGame.endState = 4;
  GameStartup();
  EXPECT_EQ(gGame.initialised, 1);
  EXPECT_EQ(gGame.variant, 1);
  EXPECT_EQ(gGame.field, FieldForVariant(1));
  EXPECT_EQ(gGame.stage, 1);
  EXPECT_EQ(gGame.stageTarget, 50);
  EXPECT_EQ(gGame.fallPeriod, 1000);
  EXPECT_EQ(gGame.score, 0);
  EXPECT_EQ(gGame.endState, 0);
  EXPECT_EQ(gGame.playerName, "Жорб"_w);
  EXPECT_EQ(gGame.previewX, 520);  // 800 x 0.65
  EXPECT_EQ(gGame.previewY, 438);  // 600 x 0.73
}

TEST_F(Step, ANewGameStartsFromScratch) {
  Begin(6);
  gGame.score = 500;
  gGame.cubes = 40;
  gGame.stage = 4;
  gGame.fallPeriod = 300;
  gGame.settleSteps = 5;
  gGame.stageEndTimer = 700;
  CountStat(gGame.gameSizes, 1);
  gPreviewRank = 3;
  StartNewGame(2);
  EXPECT_EQ(gGame.variant, 2);
  EXPECT_EQ(gGame.stage, 1);
  EXPECT_EQ(gGame.stageTarget, 55);
  EXPECT_EQ(gGame.score, 0);
  EXPECT_EQ(gGame.cubes, 0);
  EXPECT_EQ(gGame.fallPeriod, 1000);
  EXPECT_EQ(gGame.settleSteps, 0);
  EXPECT_EQ(gGame.stageEndTimer, 0);
  EXPECT_EQ(StatSum(gGame.gameSizes), 0);
  EXPECT_EQ(gPreviewRank, 0);
  EXPECT_EQ(gRecordsLoaded, 0);
  EXPECT_EQ(Cur().position, 0);
  EXPECT_EQ(gGame.next.centre, 0);
  Tick(16);
  EXPECT_EQ(gRecordsLoaded, 1);
  EXPECT_EQ(Cur().position, SpawnPosition(F()));
}

// What a landing sounds like, voice by voice: the turn's click, the landing
// without a removal, the settle loop and the settle's end.
TEST_F(Step, ALandingIsHeardOnItsVoices) {
  Begin(1);
  Shape(2, {1, 0, 0, 0, 0, 0, 0, 0});
  WaitHang();
  test_host::gHost.sounds.clear();
  Tick(16, 0, 0, 1, 0);
  for (int frame = 0; frame < 100 && gGame.settleSteps == 0; ++frame) Tick(16, 0, 0, 0, 1);
  ASSERT_GT(gGame.settleSteps, 0) << "the piece landed";
  for (int frame = 0; frame < 100 && gGame.settleSteps > 0; ++frame) Tick(120);
  Tick(16);
  struct Heard {
    int voice, n, loop;
    float gain, low, high;
    int steps;
  };
  const Heard expected[] = {
      {kVoiceCentre, 5, 0, 0.8f, 0.9f, 1.0f, 10},  // the turn
      {kVoiceCentre, 4, 0, 0.9f, 0.8f, 0.9f, 10},  // landed, nothing removed
      {kVoiceLeft, 5, 1, 0.5f, 0.5f, 0.5f, 0},     // the settle loop
      {kVoiceLeft, 6, 0, 0.4f, 0.8f, 0.8f, 0},     // settled, nothing removed
  };
  const auto& heard = test_host::gHost.sounds;
  ASSERT_GE(heard.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const Heard& e = expected[i];
    EXPECT_EQ(heard[i].voice, e.voice);
    EXPECT_EQ(heard[i].n, e.n);
    EXPECT_EQ(heard[i].loop, e.loop);
    EXPECT_FLOAT_EQ(heard[i].gain, e.gain);
    EXPECT_FLOAT_EQ(heard[i].low, e.low);
    EXPECT_FLOAT_EQ(heard[i].high, e.high);
    EXPECT_EQ(heard[i].steps, e.steps);
  }
}

// ------------------------------------------------------------ spawn

TEST_F(Step, NothingHappensBeforeTheSettingsAreInitialised) {
  gGame.initialised = 0;
  gGame.closeLock = 100;
  StartNewGame(1);
  Tick(40);
  EXPECT_EQ(gRecordsLoaded, 0);
  EXPECT_EQ(Cur().position, 0);
  EXPECT_EQ(gGame.closeLock, 60);  // the close lock still runs
}

TEST_F(Step, FirstFrameLoadsRecordsAndSpawnsThePreview) {
  StartNewGame(1);
  EXPECT_EQ(gRecordsLoaded, 0);
  Tick(16);
  EXPECT_EQ(gRecordsLoaded, 1);
  EXPECT_EQ(gPreviewTable[0].score, gRecordTable[0].score);
  EXPECT_EQ(Cur().position, SpawnPosition(F()));
  EXPECT_NE(gGame.next.centre, 0);
  EXPECT_EQ(gGame.piecesInStage, 1);
  EXPECT_EQ(gGame.spawnDelay, 900);
  EXPECT_EQ(gGame.downGuard, 400);

  // The next piece that enters is the one the preview shows now.
  const Piece preview = gGame.next;
  Cur().position = 0;
  Tick(16);
  EXPECT_EQ(Cur().centre, preview.centre);
  EXPECT_EQ(Cur().ring, preview.ring);
  EXPECT_EQ(gGame.piecesInStage, 2);
}

TEST_F(Step, ANewPieceHangs900msThenFallsEachPeriod) {
  Begin(1);
  const int row = Row();
  for (int t = 100; t < 900; t += 100) {
    Tick(100);
    EXPECT_EQ(Row(), row) << t << " ms";
  }
  Tick(100);  // 900 ms: the hang is over and the fall timer was idle
  EXPECT_EQ(Row(), row + 1);
  for (int t = 100; t < 1000; t += 100) {
    Tick(100);
    EXPECT_EQ(Row(), row + 1);
  }
  Tick(100);
  EXPECT_EQ(Row(), row + 2);
}

// ------------------------------------------------------------ commands

TEST_F(Step, LeftWinsOverRight) {
  Begin(1);
  const int col = Col();
  Tick(16, 1, 1);
  EXPECT_EQ(Col(), col - 1);
  Tick(16, 0, 1);
  EXPECT_EQ(Col(), col);
}

TEST_F(Step, SidewaysMovesStopAtWallsAndCells) {
  Begin(1);
  Shape(1, {0, 0, 0, 2, 0, 0, 0, 3});
  for (int i = 0; i < 10; ++i) Tick(16, 1);
  EXPECT_EQ(Col(), 2);  // the left cell sits at column 1
  F().setCell(F().index(Row(), 5), 4);
  for (int i = 0; i < 10; ++i) Tick(16, 0, 1);
  EXPECT_EQ(Col(), 3);  // the right cell stops next to the coloured one
}

TEST_F(Step, RotationFollowsTheDirectionOption) {
  Begin(1);
  Shape(1, {0, 0, 0, 4, 0, 0, 0, 8});
  gOptions.ccw = 0;
  Tick(16, 0, 0, 1);
  EXPECT_EQ(Cur().ring, (std::array<int32_t, 8>{0, 8, 0, 0, 0, 4, 0, 0}));
  EXPECT_EQ(gGame.rotateAnim, 300);
  gOptions.ccw = 1;
  Tick(16, 0, 0, 1);
  EXPECT_EQ(Cur().ring, (std::array<int32_t, 8>{0, 0, 0, 4, 0, 0, 0, 8}));
  // A turn and a sideways move never share a frame.
  const int col = Col();
  Tick(16, 1, 0, 1);
  EXPECT_EQ(Col(), col);
}

TEST_F(Step, RotationNeedsTheEighthTurnFree) {
  Begin(1);
  Shape(1, {0, 0, 0, 4, 0, 0, 0, 8});
  gOptions.ccw = 0;
  F().setCell(Cur().position + RingOffset(5, F().width), 2);  // 45° of the right cell
  Tick(16, 0, 0, 1);
  EXPECT_EQ(Cur().ring, (std::array<int32_t, 8>{0, 0, 0, 4, 0, 0, 0, 8}));
  EXPECT_EQ(gGame.rotateAnim, 0);
}

TEST_F(Step, DownIsIgnoredDuringTheGuardThenDropsToTheBottom) {
  Begin(1);
  Tick(300, 0, 0, 0, 1);
  EXPECT_EQ(gGame.dropping, 0);
  Tick(200, 0, 0, 0, 1);  // 500 ms: past the guard
  EXPECT_EQ(gGame.dropping, 1);
  const int row = Row();
  Tick(100);  // still hanging
  EXPECT_EQ(Row(), row);
  Tick(300);  // hang over: one row per frame without holding down
  EXPECT_EQ(Row(), row + 1);
  Tick(16);
  EXPECT_EQ(Row(), row + 2);
  int frames = 0;
  while (Cur().position != 0 && frames < 30) {
    Tick(16);
    ++frames;
  }
  EXPECT_EQ(Cur().position, 0) << "landed";
  EXPECT_LE(frames, F().height);
}

TEST_F(Step, ASidewaysCommandCancelsTheDrop) {
  Begin(1);
  WaitHang();
  Tick(16, 0, 0, 0, 1);
  ASSERT_EQ(gGame.dropping, 1);
  const int row = Row();
  Tick(16, 1);
  EXPECT_EQ(gGame.dropping, 0);
  Tick(16);
  EXPECT_EQ(Row(), row);  // back to the fall period
}

TEST_F(Step, WithoutDropHoldingDownFallsARowPerFrame) {
  gOptions.drop = 0;
  Begin(1);
  WaitHang();
  const int row = Row();
  for (int i = 1; i <= 3; ++i) {
    Tick(16, 0, 0, 0, 1);
    EXPECT_EQ(Row(), row + i);
  }
  EXPECT_EQ(gGame.dropping, 0);
  Tick(16);
  EXPECT_EQ(Row(), row + 3);
}

TEST_F(Step, GracePeriodOnlyWhileDownIsHeld) {
  for (int holdDown : {1, 0}) {
    gOptions.drop = 0;
    Begin(1);
    Shape(1, {0, 0, 0, 2, 0, 0, 0, 3});
    WaitHang();
    // Bring the piece onto the floor.
    while (F().cellAt(Cur().position + F().width) == 0) Tick(16, 0, 0, 0, 1);
    const int32_t resting = Cur().position;
    gGame.fallTimer = 0;
    Tick(16, 0, 0, 0, holdDown);
    if (holdDown) {
      EXPECT_EQ(Cur().position, resting) << "one more period";
      EXPECT_EQ(gGame.graceUsed, 1);
      Tick(16, 1);  // released, it can still slide
      EXPECT_EQ(Cur().position, resting - 1);
      for (int t = 0; t < 900; t += 100) Tick(100, 0, 0, 0, 1);
      EXPECT_NE(Cur().position, 0);
      Tick(100, 0, 0, 0, 1);
    }
    EXPECT_EQ(Cur().position, 0) << "landed, down " << holdDown;
    EXPECT_EQ(gGame.graceUsed, 0);
  }
}

TEST_F(Step, WithDropAPieceLandsWithoutGrace) {
  Begin(1);
  WaitHang();
  Tick(16, 0, 0, 0, 1);
  int frames = 0;
  while (Cur().position != 0 && frames++ < 30) Tick(16, 0, 0, 0, 1);
  EXPECT_EQ(Cur().position, 0);
  EXPECT_EQ(gGame.graceUsed, 0);
}

// ------------------------------------------------------------ landing

TEST_F(Step, LandingWritesThePieceAndStartsSettling) {
  Begin(1);
  Piece& p = Cur();
  p.position = F().index(12, 4);
  p.centre = 1;
  p.ring = {0, 0, 0, 2, 0, 0, 0, 3};
  gGame.score = 10;
  LandPiece(F(), p);
  EXPECT_EQ(p.position, 0);
  EXPECT_EQ(F().cellAt(F().index(12, 3)), 3);
  EXPECT_EQ(F().cellAt(F().index(12, 4)), 1);
  EXPECT_EQ(F().cellAt(F().index(12, 5)), 2);
  EXPECT_EQ(gGame.score, 13);
  EXPECT_EQ(gGame.settleSteps, 19);

  // A piece that cannot be written is discarded.
  gGame.settleSteps = 0;
  p.position = F().index(12, 1);  // its left cell would be in the wall
  p.ring = {0, 0, 0, 2, 0, 0, 0, 3};
  LandPiece(F(), p);
  EXPECT_EQ(p.position, 0);
  EXPECT_EQ(gGame.score, 13);
  EXPECT_EQ(gGame.settleSteps, 0);
}

TEST_F(Step, SettlingDropsLooseCells120msApartThenScores) {
  Begin(1);
  // A cell hanging three rows above the floor, and a pair below it that it
  // completes once it has fallen.
  Field& f = F();
  f.setCell(f.index(9, 5), 4);
  f.setCell(f.index(12, 3), 4);
  f.setCell(f.index(12, 4), 4);
  Cur().position = 0;
  gGame.settleSteps = 19;
  gGame.settleTimer = 0;
  Tick(16);
  EXPECT_EQ(f.cellAt(f.index(10, 5)), 4);  // the first step is at once
  EXPECT_EQ(gGame.settleTimer, 120);
  Tick(100);
  EXPECT_EQ(f.cellAt(f.index(10, 5)), 4);
  Tick(20);
  EXPECT_EQ(f.cellAt(f.index(11, 5)), 4);
  Tick(120);
  EXPECT_EQ(f.cellAt(f.index(12, 5)), 4);
  EXPECT_GT(gGame.settleSteps, 0);
  Tick(120);  // nothing moves: the phase ends and the run of three goes
  EXPECT_EQ(gGame.settleSteps, 0);
  EXPECT_EQ(gGame.lastRemoval, 3);
  EXPECT_EQ(f.cellAt(f.index(12, 5)), 0);
  EXPECT_EQ(Cur().position, 0);  // the frame ended with the scoring
  Tick(16);
  EXPECT_GT(Cur().position, 0);
}

TEST_F(Step, SettleBudgetIsNineteenSteps) {
  Begin(5);  // the tallest wells
  Field& f = F();
  f.setCell(f.index(0, 3), 2);  // 15 empty rows below it, then the floor
  Cur().position = 0;
  gGame.settleSteps = 19;
  int frames = 0;
  while (gGame.settleSteps > 0 && frames++ < 1000) Tick(120);
  EXPECT_EQ(f.cellAt(f.index(15, 3)), 2);
  // A well too tall for the budget leaves the cell hanging.
  Field tall(9, 30);
  tall.setCell(tall.index(0, 3), 2);
  gGame.settleSteps = 19;
  while (gGame.settleSteps > 0) {
    bot::AdvanceFrame(120);
    GameStep(tall, gGame.current, 0, 0, 0, 0);
  }
  EXPECT_EQ(tall.cellAt(tall.index(19, 3)), 2);
}

// ------------------------------------------------------------ special piece

class Special : public Step {
 protected:
  // Spawns the special piece with the given fall period in force.
  void SpawnSpecial(int period) {
    Begin(1);
    gGame.fallPeriod = period;
    gOptions.stepF = 0;
    Cur().position = 0;
    gGame.next = Piece{};
    gGame.next.centre = kSpecialCentre;
    Tick(16);
    ASSERT_EQ(Cur().centre, kSpecialCentre);
  }
};

TEST_F(Special, SetUpOnSpawn) {
  SpawnSpecial(640);
  EXPECT_EQ(gGame.special.active, 1);
  EXPECT_EQ(gGame.special.charges, 4);
  EXPECT_EQ(gGame.special.savedPeriod, 640);
  EXPECT_EQ(gGame.fallPeriod, 1000);
  EXPECT_EQ(gGame.special.paintCooldown, 1008);
  EXPECT_EQ(gOptions.stepF, 1);
}

TEST_F(Special, MovesThroughColoursButNotWalls) {
  SpawnSpecial(640);
  Field& f = F();
  const int row = Row();
  f.setCell(f.index(row, Col() - 1), 3);
  Tick(16, 1);
  EXPECT_EQ(f.cellAt(Cur().position), 3);
  for (int i = 0; i < 10; ++i) Tick(16, 1);
  EXPECT_EQ(Col(), 1);
  f.setCell(f.index(row, Col() + 1), -1);
  Tick(16, 0, 1);
  EXPECT_EQ(Col(), 1);
}

TEST_F(Special, FallsEverySecondThroughEverythingAndLeavesAtTheBottom) {
  SpawnSpecial(640);
  Field& f = F();
  for (int r = 3; r < f.height - 1; ++r) f.setCell(f.index(r, Col()), 1 + r % 5);
  int falls = 0;
  int previous = Row();
  uint32_t elapsed = 0;
  while (Cur().position != 0 && elapsed < 30000) {
    Tick(50, 0, 0, 0, 1);  // down does nothing for it
    elapsed += 50;
    if (Cur().position != 0 && Row() != previous) {
      ++falls;
      previous = Row();
    }
  }
  EXPECT_EQ(Cur().position, 0);
  EXPECT_EQ(gGame.special.active, 0);
  EXPECT_EQ(falls, f.height - 3);  // rows 2 .. height-2
  EXPECT_EQ(elapsed, 900u + 1000u * (f.height - 3)) << "one row per 1000 ms";
  // Nothing was written into the well by it.
  for (int r = 3; r < f.height - 1; ++r) EXPECT_EQ(f.cellAt(f.index(r, 5)), 1 + r % 5);
  // The next piece brings the old pace back.
  Tick(16);
  EXPECT_EQ(gGame.fallPeriod, 640);
  EXPECT_EQ(gOptions.stepF, 0);
  EXPECT_EQ(gGame.special.charges, 0);
}

TEST_F(Special, RepaintsAtMostFourCells250msApartAfter1008ms) {
  SpawnSpecial(640);
  Field& f = F();
  // Colour 2 on both sides of its column; it sits on colour 5 each frame.
  const int col = Col();
  for (int r = 1; r < f.height - 1; ++r) {
    f.setCell(f.index(r, col - 1), 2);
    f.setCell(f.index(r, col + 1), 2);
  }
  int repaints = 0;
  uint32_t firstAt = 0, lastAt = 0, elapsed = 0;
  int32_t lastCharges = gGame.special.charges;
  while (elapsed < 3000) {
    f.setCell(Cur().position, 5);
    f.setCell(Cur().position - f.width, 0);
    Tick(8, 0, 0, 1);
    elapsed += 8;
    if (gGame.special.charges != lastCharges) {
      ++repaints;
      if (repaints == 1) firstAt = elapsed;
      if (repaints > 1) {
        EXPECT_GE(elapsed - lastAt, 250u);
      }
      lastAt = elapsed;
      lastCharges = gGame.special.charges;
      EXPECT_EQ(f.cellAt(Cur().position), 2);
    }
  }
  EXPECT_EQ(repaints, 4);
  EXPECT_GE(firstAt, 1008u);
  EXPECT_EQ(gGame.special.charges, 0);
}

// ------------------------------------------------------------ stage end

TEST_F(Step, StageEndPausesThenShowsTheResults) {
  Begin(1);
  gGame.stageCubes = 48;
  Field& f = F();
  f.setCell(f.index(12, 3), 2);
  f.setCell(f.index(12, 4), 2);
  f.setCell(f.index(12, 5), 2);
  Cur().position = 0;
  gGame.settleSteps = 1;
  gGame.settleTimer = 0;
  const int scoreBefore = gGame.score;
  Tick(16);  // settle ends, the removal completes the stage
  EXPECT_EQ(gGame.stageCubes, 51);
  EXPECT_EQ(gGame.stageEndTimer, 1500);
  EXPECT_EQ(gGame.score, scoreBefore + 9 + 50);
  EXPECT_EQ(gGame.settleSteps, 20);  // one more settle phase first
  while (gGame.settleSteps > 0) Tick(120);
  EXPECT_EQ(gGame.stageTarget, 50);
  Tick(16);  // the pause starts
  EXPECT_EQ(gGame.stageEndStarted, 1);
  EXPECT_EQ(gGame.stageTarget, 59);
  EXPECT_FALSE(test_host::Shown(kStageResultsPanel));
  for (int t = 16; t < 1500; t += 100) Tick(100);
  EXPECT_TRUE(test_host::Shown(kStageResultsPanel));
  EXPECT_EQ(gGame.paused, 1);
  EXPECT_EQ(gGame.stageEndStarted, 0);
  EXPECT_TRUE(StageResultsClosable());

  // Paused: nothing moves until the results are closed.
  const int32_t pos = Cur().position;
  Tick(2000, 1);
  EXPECT_EQ(Cur().position, pos);
  CloseStageResults();
  EXPECT_FALSE(test_host::Shown(kStageResultsPanel));
  EXPECT_EQ(gGame.paused, 0);
  EXPECT_EQ(gGame.stage, 2);
  EXPECT_EQ(gGame.stageCubes, 0);
  EXPECT_EQ(f.cellAt(f.index(12, 3)), 0);
}

// The well that completed its stage may hold a colour in the spawn area;
// the next piece must enter the new well, not that one.
TEST_F(Step, AStageEndedWithAColourInTheSpawnAreaGoesOnToTheNextStage) {
  Begin(1);
  Field& f = F();
  const int32_t spawnCell = f.index(2, f.width / 2);
  gGame.stageEndTimer = 100;
  Cur().position = 0;
  f.setCell(spawnCell, 4);
  Tick(16);
  Tick(100);  // the pause ends: results shown
  ASSERT_TRUE(test_host::Shown(kStageResultsPanel));
  EXPECT_EQ(gGame.endState, 0) << "no game over";
  EXPECT_EQ(Cur().position, 0) << "no piece spawned into the finished well";
  Tick(500);
  EXPECT_EQ(gGame.endState, 0);
  CloseStageResults();
  EXPECT_EQ(gGame.stage, 2);
  EXPECT_EQ(f.cellAt(spawnCell), 0);
  Tick(16);
  EXPECT_GT(Cur().position, 0) << "the next piece enters the new well";
  EXPECT_EQ(gGame.endState, 0);
}

// During play a colour in the spawn area still ends the game.
TEST_F(Step, AColourInTheSpawnAreaDuringPlayEndsTheGame) {
  Begin(1);
  Field& f = F();
  f.setCell(f.index(1, f.width / 2 - 1), 3);
  Cur().position = 0;
  Tick(16);
  EXPECT_NE(gGame.endState, 0) << "game over";
  EXPECT_EQ(gGame.spawnBlockCell, f.index(1, f.width / 2 - 1));
}

TEST_F(Step, StageEndWithoutAResultsPanelShowsAMessageBox) {
  Begin(1);
  test_host::gHost.present[kStageResultsPanel] = false;
  gGame.stageEndTimer = 100;
  Tick(16);
  EXPECT_EQ(test_host::gHost.messageBoxes, 0);
  Tick(100);
  EXPECT_EQ(test_host::gHost.messageBoxes, 1);
  EXPECT_EQ(test_host::gHost.lastMessage, "!!!: URA");
  EXPECT_EQ(gGame.paused, 1);  // closing the results still starts the next stage
  CloseStageResults();
  EXPECT_EQ(gGame.stage, 2);
}

TEST_F(Step, ResultsCannotBeClosedWhileLockedOrTyping) {
  Begin(1);
  struct {
    int paused, closeLock, nameInput;
    bool closable;
  } cases[] = {{1, 0, 0, true}, {0, 0, 0, false}, {1, 5, 0, false}, {1, 0, -1, false}};
  for (auto c : cases) {
    gGame.paused = c.paused;
    gGame.closeLock = c.closeLock;
    gGame.nameInput = c.nameInput;
    EXPECT_EQ(StageResultsClosable(), c.closable);
    const int stage = gGame.stage;
    CloseStageResults();
    EXPECT_EQ(gGame.stage, c.closable ? stage + 1 : stage);
  }
}

// ------------------------------------------------------------ records list

// Where the click falls is the interface's business; the game hands it on
// once a game is set up, with its position.
TEST_F(Step, AClickGoesToTheRecordsList) {
  Begin(1);
  bot::AdvanceFrame(16);
  GameTick(0, 0, 0, 0, 1, 210, 313);
  GameTick(0, 0, 0, 0, 0, 10, 20);  // no click
  ASSERT_EQ(test_host::gHost.clicks.size(), 1u);
  EXPECT_EQ(test_host::gHost.clicks[0].x, 210);
  EXPECT_EQ(test_host::gHost.clicks[0].y, 313);
  gGame.initialised = 0;
  GameTick(0, 0, 0, 0, 1, 210, 313);
  EXPECT_EQ(test_host::gHost.clicks.size(), 1u) << "nothing before the game is set up";
}

// ------------------------------------------------------------ moves

TEST(StepMoves, MovePieceAndMoveCentre) {
  Field f(9, 12);
  const Piece piece = [] {
    Piece p;
    p.centre = 1;
    p.ring = {0, 0, 0, 2, 0, 0, 0, 0};
    return p;
  }();
  int32_t p = f.index(5, 4);
  f.setCell(f.index(5, 3), 7);
  EXPECT_FALSE(MovePiece(f, p, piece, -1));  // the centre's target is coloured
  EXPECT_EQ(p, f.index(5, 4));
  EXPECT_TRUE(MovePiece(f, p, piece, 1));
  EXPECT_TRUE(MovePiece(f, p, piece, 1));
  EXPECT_FALSE(MovePiece(f, p, piece, 1));  // the right cell meets the wall
  EXPECT_EQ(p, f.index(5, 6));
  EXPECT_TRUE(MovePiece(f, p, piece, f.width));

  int32_t c = f.index(5, 4);
  EXPECT_TRUE(MoveCentre(f, c, -1));  // onto the coloured cell
  EXPECT_TRUE(MoveCentre(f, c, -1));
  EXPECT_TRUE(MoveCentre(f, c, -1));
  EXPECT_FALSE(MoveCentre(f, c, -1));  // the wall
  EXPECT_EQ(c, f.index(5, 1));
}

}  // namespace

// Matching, chains, points, the score cap, the pace, stage targets and the
// statistics tables.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/bot.h"

namespace {

class Scoring : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(workDir_.dir.empty());
    bot::StartHeadlessGame(4242);
  }
  void TearDown() override { bot::EndHeadlessGame(); }

  static Field& Start(int shape) {
    StartNewGame(shape);
    return *gGame.field;
  }
  static void Tick(uint32_t ms, int left = 0, int right = 0, int rotate = 0, int down = 0) {
    bot::AdvanceFrame(ms);
    GameTick(left, right, rotate, down, 0, 0, 0);
  }
  // Scores a settled landing that removed `total` cells in its first phase.
  static int Landing(Field& f, int total) {
    gGame.pendingRemoved = total;
    return ScoreRemovals(f, 1);
  }

  bot::TempWorkDir workDir_;
};

TEST(ScoringRules, PointsPerRemovalSize) {
  const int table[][2] = {{0, 0},  {1, 1},  {2, 4},    {3, 9},    {5, 25},   {6, 54},
                          {7, 63}, {9, 81}, {10, 120}, {13, 156}, {14, 196}, {20, 280}};
  for (auto [total, points] : table) EXPECT_EQ(RemovalPoints(total), points) << total;
}

TEST_F(Scoring, MinimumRunByShapeAndStage) {
  const int table[][3] = {{1, 1, 3}, {1, 8, 3}, {1, 9, 4}, {2, 5, 3}, {3, 2, 3}, {4, 1, 4},
                          {5, 3, 3}, {5, 4, 4}, {5, 7, 4}, {6, 1, 3}, {6, 9, 4}};
  for (auto [shape, stage, n] : table) {
    gGame.variant = shape;
    gGame.stage = stage;
    EXPECT_EQ(LineMinimum(), n) << "shape " << shape << " stage " << stage;
  }
}

TEST_F(Scoring, RemovalsOfTheFirstPhaseWaitForTheSecond) {
  Field& f = Start(1);
  for (int c = 2; c <= 4; ++c) f.setCell(f.index(12, c), 3);  // a run of three
  EXPECT_EQ(ScoreRemovals(f, 0), 3);
  EXPECT_EQ(gGame.pendingRemoved, 3);
  EXPECT_EQ(gGame.removedThisLanding, 3);
  EXPECT_EQ(gGame.score, 0);
  EXPECT_EQ(gGame.removedCount, 3);
  EXPECT_EQ(gGame.removedShowTimer, 1500);
  EXPECT_EQ(gGame.removedColours[0], 3);
  EXPECT_EQ(f.cellAt(f.index(12, 3)), 0);
  // Diagonal runs go too; a gap keeps three apart.
  f.setCell(f.index(10, 2), 4);
  f.setCell(f.index(11, 3), 4);
  f.setCell(f.index(12, 4), 4);
  f.setCell(f.index(10, 6), 5);
  f.setCell(f.index(11, 7), 5);
  f.setCell(f.index(8, 4), 5);  // (9, 5) stays empty
  EXPECT_EQ(ScoreRemovals(f, 0), 3);
  EXPECT_EQ(f.cellAt(f.index(10, 6)), 5);
  EXPECT_EQ(ScoreRemovals(f, 1), 6);
  EXPECT_EQ(gGame.pendingRemoved, 0);
  EXPECT_EQ(gGame.lastRemoval, 6);
  EXPECT_EQ(gGame.lastPoints, 54);
}

TEST_F(Scoring, AnLOfThreeAndThreeScoresFiveSquared) {
  Field& f = Start(1);
  for (int r = 10; r <= 12; ++r) f.setCell(f.index(r, 2), 6);
  f.setCell(f.index(12, 3), 6);
  f.setCell(f.index(12, 4), 6);
  gGame.chainNumber = 1;
  gGame.chainBonus = 11;
  EXPECT_EQ(ScoreRemovals(f, 1), 5);
  EXPECT_EQ(gGame.lastPoints, 25);
  EXPECT_EQ(gGame.score, 25 + 11);
  EXPECT_EQ(gGame.chainNumber, 2);
}

// A piece lands and completes a vertical three; the cell it carries on top
// then falls into a row where it makes four.  One removal of seven: 63.
TEST_F(Scoring, ThreeAtOnceAndFourAfterSettlingScoreAsSeven) {
  Field& f = Start(1);
  Tick(16);  // records loaded, a piece spawned
  f.setCell(f.index(12, 2), 5);
  f.setCell(f.index(12, 3), 5);
  f.setCell(f.index(12, 5), 5);
  f.setCell(f.index(12, 4), 3);
  f.setCell(f.index(11, 4), 3);
  Piece& p = gGame.current;
  p.centre = 3;
  p.ring = {0, 5, 0, 0, 0, 0, 0, 0};
  Tick(16, 1);  // one column left, onto column 4
  ASSERT_EQ(p.position % f.width, 4);
  while (gGame.downGuard > 0) Tick(50);
  int frames = 0;
  while (p.position != 0 && frames++ < 100) Tick(16, 0, 0, 0, 1);
  ASSERT_EQ(p.position, 0);
  EXPECT_EQ(gGame.removedThisLanding, 3);
  EXPECT_EQ(gGame.pendingRemoved, 3);
  EXPECT_EQ(gGame.score, 2);  // the landed cells
  frames = 0;
  while (gGame.settleSteps > 0 && frames++ < 100) Tick(40);
  EXPECT_EQ(gGame.lastRemoval, 7);
  EXPECT_EQ(gGame.lastPoints, 63);
  EXPECT_EQ(gGame.score, 2 + 63);
  EXPECT_EQ(gGame.bestPoints, 63);
  EXPECT_EQ(gGame.pointsShowTimer, 2500);
  EXPECT_EQ(StatCount(gGame.gameSizes, 4), 1);  // 7 cells
  EXPECT_EQ(StatCount(gGame.stageSizes, 4), 1);
  for (int c = 2; c <= 5; ++c) EXPECT_EQ(f.cellAt(f.index(12, c)), 0);
}

TEST_F(Scoring, ChainBonusesGrowByElevenUpToNine) {
  Field& f = Start(1);
  gGame.stageTarget = 1000;
  const int expected[] = {0, 11, 22, 33, 44, 55, 66, 77, 88, 0};
  int sum = 0;
  for (int k = 0; k < 10; ++k) {
    Landing(f, 3);
    EXPECT_EQ(gGame.lastChainBonus, expected[k]) << "landing " << k + 1;
    EXPECT_EQ(gGame.chainNumber, k < 9 ? k + 1 : 1) << "landing " << k + 1;
    sum += expected[k];
  }
  EXPECT_EQ(gGame.chainBonusSum, sum);
  EXPECT_EQ(gGame.stageChainBonus, sum);
  EXPECT_EQ(gGame.score, sum + 10 * 9);
  EXPECT_EQ(StatCount(gGame.gameChains, 7), 1);  // one chain of nine
  EXPECT_EQ(StatSum(gGame.gameChains), 1);
}

TEST_F(Scoring, ALandingWithoutRemovalEndsTheChain) {
  Field& f = Start(1);
  gGame.stageTarget = 1000;
  Landing(f, 3);
  Landing(f, 0);  // a chain of one is not counted
  EXPECT_EQ(gGame.chainNumber, 0);
  EXPECT_EQ(StatSum(gGame.gameChains), 0);
  EXPECT_EQ(gGame.lastPoints, 0);
  EXPECT_EQ(gGame.lastRemoval, 0);
  Landing(f, 4);
  Landing(f, 4);
  Landing(f, 4);
  Landing(f, 0);
  EXPECT_EQ(StatCount(gGame.gameChains, 1), 1);  // one chain of three
  EXPECT_EQ(StatCount(gGame.stageChains, 1), 1);
  EXPECT_EQ(gGame.chainBonus, 0);
  EXPECT_EQ(gGame.bestPoints, 16);
}

TEST_F(Scoring, ScoreIsCappedWhenRemovalPointsAreAdded) {
  Field& f = Start(1);
  gGame.stageTarget = 1000;
  gGame.score = 99990;
  Landing(f, 5);
  EXPECT_EQ(gGame.score, 99999);
  gGame.score += 50;  // a stage bonus is not capped by itself
  Piece p;
  p.centre = 1;
  p.position = f.index(5, 5);
  LandPiece(f, p);  // nor is a landed piece
  EXPECT_EQ(gGame.score, 100050);
  Landing(f, 3);  // the next removal caps it again
  EXPECT_EQ(gGame.score, 99999);
}

TEST_F(Scoring, EveryRemovalSpeedsUpWithinLimits) {
  Field& f = Start(1);
  gGame.stageTarget = 1000;
  const int table[][3] = {{1, 1000, 990}, {2, 1000, 995}, {8, 700, 695},  {9, 700, 650},
                          {1, 205, 200},  {9, 230, 200},  {3, 1300, 1200}};
  for (auto [stage, before, after] : table) {
    gGame.stage = stage;
    gGame.fallPeriod = before;
    Landing(f, 3);
    EXPECT_EQ(gGame.fallPeriod, after) << "stage " << stage << " from " << before;
  }
  gGame.fallPeriod = 500;
  Landing(f, 0);
  EXPECT_EQ(gGame.fallPeriod, 500);
}

TEST_F(Scoring, CubesAndStageCounters) {
  Field& f = Start(1);
  Landing(f, 4);
  Landing(f, 6);
  EXPECT_EQ(gGame.cubes, 10);
  EXPECT_EQ(gGame.stageCubes, 10);
  EXPECT_EQ(gGame.stageRemoved, 10);
  EXPECT_EQ(gGame.pointsSum, 16 + 54);
  EXPECT_EQ(gGame.stagePoints, 16 + 54);
  EXPECT_EQ(ProgressPercent(), 20);
}

TEST_F(Scoring, ReachingTheTargetStartsTheStageEndOnce) {
  Field& f = Start(1);
  gGame.stage = 2;
  gGame.stageTarget = 59;
  gGame.stageCubes = 55;
  Landing(f, 3);
  Landing(f, 3);  // the chain ended at the stage end
  EXPECT_EQ(gGame.stageCubes, 61);
  EXPECT_EQ(gGame.stageEndTimer, 1500);
  EXPECT_EQ(gGame.settleSteps, 20);
  EXPECT_EQ(gGame.chainNumber, 0);
  EXPECT_EQ(gGame.score, 9 + 11 + 9 + 100);
  EXPECT_EQ(StatCount(gGame.gameChains, 0), 1);
  // A removal while the pause runs does not start it again.
  gGame.settleSteps = 0;
  gGame.stageEndTimer = 700;
  const int score = gGame.score;
  Landing(f, 3);
  EXPECT_EQ(gGame.stageEndTimer, 700);
  EXPECT_EQ(gGame.score, score + 9);
  EXPECT_EQ(gGame.settleSteps, 0);
}

struct TargetCase {
  int shape;
  int resetAtStageEnd;  // the stage end at which the target first exceeds 70
};

TEST_F(Scoring, StageTargetsAndTheOneTimeSlowDown) {
  const TargetCase cases[] = {{1, 3}, {2, 2}, {3, 3}, {4, 3}, {5, 3}, {6, 1}};
  for (const TargetCase& c : cases) {
    StartNewGame(c.shape);
    const int base = InitialStageTarget(c.shape);
    EXPECT_EQ(base, c.shape == 2 ? 55 : c.shape == 6 ? 85 : 50);
    for (int stage = 1; stage <= 5; ++stage) {
      ASSERT_EQ(gGame.stageTarget, base + 9 * (stage - 1));
      gGame.fallPeriod = 600;
      gGame.firstMilestone = 2;
      StageEndStart();
      EXPECT_EQ(gGame.firstMilestone, 0);
      int expected = 600;
      if (stage == c.resetAtStageEnd) expected = (c.shape == 3 || c.shape == 5) ? 605 : 1000;
      EXPECT_EQ(gGame.fallPeriod, expected) << "shape " << c.shape << " stage " << stage;
      BuildField(gGame.field);
    }
  }
}

TEST_F(Scoring, StageEightEndSetsTheLastTarget) {
  StartNewGame(1);
  while (gGame.stage < 8) {
    StageEndStart();
    BuildField(gGame.field);
  }
  EXPECT_EQ(gGame.stageTarget, 50 + 9 * 7);
  StageEndStart();
  BuildField(gGame.field);
  EXPECT_EQ(gGame.stage, 9);
  EXPECT_EQ(gGame.stageTarget, 1001);
  EXPECT_EQ(gGame.fallPeriod, 1000);
}

TEST_F(Scoring, RemovalSizesAreCountedFromThree) {
  Field& f = Start(1);
  gGame.stageTarget = 1000;
  for (int total : {1, 2, 3, 3, 9, 10, 25}) Landing(f, total);
  EXPECT_EQ(StatCount(gGame.gameSizes, 0), 2);
  EXPECT_EQ(StatCount(gGame.gameSizes, 6), 1);
  EXPECT_EQ(StatCount(gGame.gameSizes, 7), 2);
  EXPECT_EQ(StatSum(gGame.gameSizes), 5);
}

TEST(ScoringStats, TablesKeepTheirBias) {
  StatTable t;
  EXPECT_EQ(t.slot, (std::array<int32_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(StatSum(t), 0);
  CountStat(t, 3);
  CountStat(t, 3);
  CountStat(t, 8);   // outside: ignored
  CountStat(t, -1);  // outside: ignored
  EXPECT_EQ(t.slot[3], 6);
  EXPECT_EQ(StatCount(t, 3), 2);
  EXPECT_EQ(StatCount(t, -1), 0);
  EXPECT_EQ(StatCount(t, 8), 0);
  t.slot[5] = 2;  // below its bias: not a positive count
  EXPECT_EQ(StatSum(t), 2);
  ClearStatTable(t);
  EXPECT_EQ(t.slot, (std::array<int32_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(Scoring, TheRecordsPreviewFollowsTheScore) {
  Field& f = Start(1);
  Tick(16);  // the default table is loaded: 940 down to 750
  ASSERT_EQ(gRecordTable[0].score, 940);
  gGame.stageTarget = 1000;
  Landing(f, 3);
  EXPECT_EQ(gPreviewRank, 0);
  gGame.score = 930;
  Landing(f, 5);  // 930 + 11 + 25
  EXPECT_EQ(gPreviewRank, 1);
  EXPECT_EQ(gPreviewTable[0].score, 966);
  EXPECT_EQ(gPreviewTable[0].cubes, 8);
  EXPECT_EQ(gPreviewTable[0].chainBonus, 11);
  EXPECT_EQ(gPreviewTable[0].sizeCounts, gGame.gameSizes.slot);
}

}  // namespace

// Piece generation by shape and stage, spawn blocking, the milestones of
// "спорт" and the stored bonuses of "кувшин".
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "support/bot.h"

namespace {

class Pieces : public ::testing::Test {
 protected:
  void SetUp() override { bot::StartHeadlessGame(12345); }
  void TearDown() override { bot::EndHeadlessGame(); }

  // A fresh game of a shape, at a stage.
  static Field& Start(int shape, int stage) {
    StartNewGame(shape);
    while (gGame.stage < stage) BuildField(gGame.field);
    return *gGame.field;
  }

  static Piece Make(Field& f) {
    Piece p;
    EXPECT_NE(GeneratePiece(f, p), 0);
    EXPECT_EQ(p.position, SpawnPosition(f));
    return p;
  }

  static int Filled(const Piece& p) {
    int n = 0;
    for (int32_t c : p.ring) n += c != 0;
    return n;
  }
  static int32_t S(const Piece& p, int slot) { return p.ring[slot - 1]; }
};

// ------------------------------------------------------------ spawn

TEST_F(Pieces, AColourInTheSpawnAreaBlocksAndIsMarked) {
  Field& f = Start(1, 1);
  const int32_t cell = f.index(2, f.width / 2 + 1);
  f.setCell(cell, 4);
  Piece p;
  p.centre = 77;
  EXPECT_EQ(GeneratePiece(f, p), 0);
  EXPECT_EQ(gGame.spawnBlockCell, cell);
  EXPECT_EQ(p.centre, 77);  // nothing written
  EXPECT_EQ(p.position, 0);
}

TEST_F(Pieces, BlockedCellsInTheSpawnAreaDoNotBlock) {
  Field& f = Start(6, 1);
  f.setCell(f.index(0, f.width / 2 - 1), -1);
  f.setCell(f.index(2, f.width / 2), -1);
  Piece p;
  EXPECT_NE(GeneratePiece(f, p), 0);
  EXPECT_EQ(gGame.spawnBlockCell, 0);
}

TEST_F(Pieces, StageNineEndsAfter156Cubes) {
  Field& f = Start(2, 9);
  gGame.stageCubes = 155;
  Piece p;
  EXPECT_NE(GeneratePiece(f, p), 0);
  gGame.stageCubes = 156;
  EXPECT_EQ(GeneratePiece(f, p), 0);
  EXPECT_EQ(f.cellAt(SpawnPosition(f)), 1);
  EXPECT_EQ(gGame.spawnBlockCell, SpawnPosition(f));
  // Stage 8 with as many cubes goes on.
  Field& g = Start(2, 8);
  gGame.stageCubes = 500;
  EXPECT_NE(GeneratePiece(g, p), 0);
}

TEST_F(Pieces, TheSpecialPiecesPaceComesBackWithTheNextPiece) {
  Field& f = Start(1, 1);
  gGame.fallPeriod = 1000;
  gGame.special.savedPeriod = 640;
  gGame.special.charges = 2;
  gGame.special.savedStepF = 0;
  gOptions.stepF = 1;
  Make(f);
  EXPECT_EQ(gGame.fallPeriod, 640);
  EXPECT_EQ(gGame.special.savedPeriod, 0);
  EXPECT_EQ(gGame.special.charges, 0);
  EXPECT_EQ(gOptions.stepF, 0);
}

// ------------------------------------------------------------ colours

struct ColourCase {
  int shape, stage, lowest, highest;
};

TEST_F(Pieces, ColourRangeByShapeAndStage) {
  const ColourCase cases[] = {
      {1, 1, 1, 6}, {2, 1, 1, 4}, {2, 2, 1, 5}, {2, 3, 1, 6}, {2, 4, 1, 7},
      {2, 5, 1, 7}, {2, 6, 1, 8}, {2, 7, 1, 9}, {2, 8, 1, 9}, {2, 9, 1, 9},
      {3, 1, 1, 8}, {4, 1, 1, 7}, {5, 1, 1, 7}, {6, 1, 1, 5},
  };
  for (const ColourCase& c : cases) {
    Field& f = Start(c.shape, c.stage);
    gGame.stageCubes = 0;  // no milestone
    int lo = 99, hi = 0;
    for (int i = 0; i < 600; ++i) {
      const Piece p = Make(f);
      lo = std::min<int>(lo, p.centre);
      hi = std::max<int>(hi, p.centre);
      for (int32_t r : p.ring) {
        if (r == 0) continue;
        lo = std::min<int>(lo, r);
        hi = std::max<int>(hi, r);
      }
    }
    EXPECT_EQ(lo, c.lowest) << "shape " << c.shape << " stage " << c.stage;
    EXPECT_EQ(hi, c.highest) << "shape " << c.shape << " stage " << c.stage;
  }
}

TEST_F(Pieces, EasyPiecesAreHorizontalAndOneInSixHasNoLeftCell) {
  Field& f = Start(1, 1);
  int noLeft = 0;
  constexpr int kPieces = 3000;
  for (int i = 0; i < kPieces; ++i) {
    const Piece p = Make(f);
    for (int slot : {1, 2, 3, 5, 6, 7}) ASSERT_EQ(S(p, slot), 0);
    ASSERT_NE(S(p, 4), 0);
    ASSERT_NE(S(p, 8), S(p, 4));  // drawn from 0..6 until it differs from slot 4
    ASSERT_NE(p.centre, S(p, 4));
    ASSERT_NE(p.centre, S(p, 8));
    noLeft += S(p, 8) == 0;
  }
  EXPECT_GT(noLeft, kPieces / 6 - 150);
  EXPECT_LT(noLeft, kPieces / 6 + 150);
}

TEST_F(Pieces, ShapeForms) {
  struct Form {
    int shape, stage;
    bool (*ok)(const Piece&);
  };
  const Form forms[] = {
      // "кувшин": always three across.
      {3, 1,
       [](const Piece& p) {
         return S(p, 4) && S(p, 8) && S(p, 4) != S(p, 8) && !S(p, 2) && !S(p, 6);
       }},
      // "бутыль": three or two across, maybe an upper cell.
      {4, 1, [](const Piece& p) { return S(p, 4) && !S(p, 6) && !S(p, 1) && !S(p, 5); }},
      // "талия": a cross; a full cross repeats the centre above or below.
      {5, 1,
       [](const Piece& p) {
         const bool full = S(p, 2) && S(p, 4) && S(p, 6) && S(p, 8);
         return S(p, 4) && !S(p, 1) && !S(p, 3) && !S(p, 5) && !S(p, 7) &&
                (!full || S(p, 2) == p.centre || S(p, 6) == p.centre);
       }},
      // "помеха": up and down always there.
      {6, 1, [](const Piece& p) { return S(p, 2) && S(p, 4) && S(p, 6) && !S(p, 1) && !S(p, 7); }},
      // "спорт" stages 3, 4: a T with at most one stem, up or down.
      {2, 3,
       [](const Piece& p) {
         return S(p, 4) && S(p, 8) && !(S(p, 2) && S(p, 6)) && !S(p, 1) && !S(p, 5);
       }},
      // "спорт" stage 8: colour 1 left and right becomes 8 or 9.
      {2, 8, [](const Piece& p) { return S(p, 4) != 1 && S(p, 8) != 1 && S(p, 8) != 0; }},
      // "спорт" stage 9: right 5..9, left 5..8.
      {2, 9, [](const Piece& p) { return S(p, 4) >= 5 && S(p, 8) >= 5 && S(p, 8) <= 8; }},
  };
  for (const Form& form : forms) {
    Field& f = Start(form.shape, form.stage);
    gGame.stageCubes = 0;
    for (int i = 0; i < 500; ++i) {
      const Piece p = Make(f);
      ASSERT_TRUE(form.ok(p)) << "shape " << form.shape << " stage " << form.stage << " piece "
                              << i;
      ASSERT_GE(p.centre, 1);
      ASSERT_LE(p.centre, 9);
    }
  }
}

TEST_F(Pieces, WaistSometimesMakesAFullCross) {
  Field& f = Start(5, 1);
  int full = 0;
  for (int i = 0; i < 500; ++i) {
    const Piece p = Make(f);
    full += Filled(p) == 4;
  }
  EXPECT_GT(full, 0);
}

TEST_F(Pieces, SportStageNineRightCellFavoursNine) {
  Field& f = Start(2, 9);
  std::map<int, int> right;
  for (int i = 0; i < 3000; ++i) ++right[S(Make(f), 4)];
  EXPECT_EQ(right.count(4), 0u);
  for (int c = 5; c <= 8; ++c) EXPECT_GT(right[c], 300) << c;
  EXPECT_GT(right[9], right[5] + 200);  // two chances in six
}

// ------------------------------------------------------------ after a removal

TEST_F(Pieces, AfterARemovalJugAndBottleMakeTwoCellVerticalPieces) {
  for (int shape : {3, 4}) {
    Field& f = Start(shape, 1);
    gGame.lastRemoval = 3;
    for (int i = 0; i < 300; ++i) {
      const Piece p = Make(f);
      ASSERT_EQ(Filled(p), 1);
      ASSERT_NE(S(p, 2), 0);
      ASSERT_NE(p.centre, S(p, 2));
    }
  }
}

TEST_F(Pieces, AfterARemovalSportMakesTwoCellPiecesFromStageFourOn) {
  for (int stage : {1, 2, 3, 4, 6}) {
    Field& f = Start(2, stage);
    gGame.stageCubes = 0;
    gGame.lastRemoval = 4;
    int twoCell = 0;
    constexpr int kPieces = 600;
    for (int i = 0; i < kPieces; ++i) {
      const Piece p = Make(f);
      if (Filled(p) == 1 && S(p, 4) != 0) {
        ++twoCell;
        ASSERT_NE(p.centre, S(p, 4));
      }
    }
    if (stage <= 3) {
      EXPECT_EQ(twoCell, 0) << "stage " << stage;
    } else {
      EXPECT_GT(twoCell, kPieces / 2 - 80) << "stage " << stage;
      EXPECT_LT(twoCell, kPieces / 2 + 80) << "stage " << stage;
    }
  }
}

TEST_F(Pieces, AfterARemovalHurdleMayFillTheCorners) {
  Field& f = Start(6, 1);
  gGame.lastRemoval = 5;
  int corners = 0;
  for (int i = 0; i < 300; ++i) {
    const Piece p = Make(f);
    for (int slot : {1, 3, 5, 7}) {
      if (S(p, slot) != 0) {
        ++corners;
        ASSERT_NE(S(p, slot), p.centre);
        ASSERT_LE(S(p, slot), 4);  // drawn from 0..N-1
      }
    }
  }
  EXPECT_GT(corners, 300);
}

TEST_F(Pieces, NearlyFullWellMakesThreeAcross) {
  for (int shape : {1, 5, 6}) {
    Field& f = Start(shape, 1);
    for (int c = 1; c < f.width - 1; ++c) f.setCell(f.index(4, c), 1 + c % 2);
    for (int i = 0; i < 200; ++i) {
      const Piece p = Make(f);
      ASSERT_EQ(Filled(p), 2) << "shape " << shape;
      ASSERT_NE(S(p, 4), 0);
      ASSERT_NE(S(p, 8), 0);
      ASSERT_NE(p.centre, S(p, 4));
    }
  }
}

// ------------------------------------------------------------ milestones

TEST_F(Pieces, ProgressPercentIsTruncated) {
  Start(1, 1);
  struct {
    int cubes, target, percent;
  } cases[] = {{0, 50, 0}, {11, 50, 22},  {35, 50, 70}, {30, 50, 60},
               {1, 3, 33}, {60, 50, 120}, {5, 0, 0}};
  for (auto c : cases) {
    gGame.stageCubes = c.cubes;
    gGame.stageTarget = c.target;
    EXPECT_EQ(ProgressPercent(), c.percent) << c.cubes << "/" << c.target;
  }
}

TEST_F(Pieces, SportStageOneBlocksAtTwentyAndSeventyPercent) {
  Field& f = Start(2, 1);
  gGame.stageCubes = 11;  // 20 %: not above 20
  EXPECT_NE(Make(f).centre, 5);
  gGame.stageCubes = 12;  // 21 %
  Piece block = Make(f);
  EXPECT_EQ(block.centre, 5);  // N + 1, a colour no other piece has
  EXPECT_EQ(Filled(block), 8);
  for (int32_t c : block.ring) EXPECT_LE(c, 4);
  EXPECT_EQ(gGame.firstMilestone, 1);
  EXPECT_NE(Make(f).centre, 5);  // once only
  gGame.stageCubes = 38;         // 69 %
  EXPECT_NE(Make(f).centre, 5);
  gGame.stageCubes = 39;  // 70 %
  EXPECT_EQ(Make(f).centre, 5);
  EXPECT_EQ(gGame.firstMilestone, 2);
  gGame.stageCubes = 54;
  EXPECT_NE(Make(f).centre, 5);
}

TEST_F(Pieces, SportMiddleStageBlocksAvoidTheCentreColour) {
  for (unsigned seed = 1; seed <= 50; ++seed) {
    std::srand(seed);
    Field& f = Start(2, 4);
    gGame.stageTarget = 100;
    gGame.stageCubes = 30;
    const Piece p = Make(f);
    ASSERT_EQ(Filled(p), 8);
    for (int slot : {1, 3, 5, 6, 7, 8}) ASSERT_NE(S(p, slot), p.centre) << slot;
    ASSERT_NE(S(p, 2), S(p, 1));
    ASSERT_NE(S(p, 4), S(p, 5));
  }
}

TEST_F(Pieces, SportHalfMilestoneMakesTheSpecialPieceFromStageFourOn) {
  for (int stage : {2, 3, 4, 7}) {
    Field& f = Start(2, stage);
    gGame.firstMilestone = 2;  // both blocks already given
    gGame.stageTarget = 100;
    gGame.stageCubes = 51;
    const Piece p = Make(f);
    EXPECT_EQ(gGame.halfMilestone, 1);
    if (stage > 3) {
      EXPECT_EQ(p.centre, kSpecialCentre) << "stage " << stage;
      EXPECT_EQ(Filled(p), 0);
    } else {
      EXPECT_NE(p.centre, kSpecialCentre) << "stage " << stage;
    }
    EXPECT_NE(Make(f).centre, kSpecialCentre) << "once per stage";
  }
}

TEST_F(Pieces, SportLateFirstMilestoneIsConsumedWithoutABlock) {
  Field& f = Start(2, 6);
  gGame.stageTarget = 100;
  gGame.stageCubes = 60;  // both milestones due
  const Piece p = Make(f);
  EXPECT_EQ(gGame.firstMilestone, 1);
  EXPECT_EQ(gGame.halfMilestone, 0);  // not looked at this time
  EXPECT_LT(Filled(p), 8);
  EXPECT_NE(p.centre, kSpecialCentre);
}

TEST_F(Pieces, OtherShapesHaveNoMilestones) {
  Field& f = Start(1, 5);
  gGame.stageCubes = 40;
  gGame.stageTarget = 50;
  const Piece p = Make(f);
  EXPECT_EQ(gGame.firstMilestone, 0);
  EXPECT_EQ(gGame.halfMilestone, 0);
  EXPECT_NE(p.centre, kSpecialCentre);
}

// ------------------------------------------------------------ bonuses

TEST_F(Pieces, TakeBonusReplacesTheNextPiece) {
  Start(3, 1);
  gGame.bonus = {BonusSlot{}, BonusSlot{6, 2}, BonusSlot{}};
  gGame.next.centre = 3;
  gGame.next.ring = {1, 1, 1, 1, 1, 1, 1, 1};
  gGame.bonusCooldownMs = 0;
  TakeBonus();
  EXPECT_EQ(gGame.next.centre, 6);
  EXPECT_EQ(gGame.next.ring, (std::array<int32_t, 8>{0, 0, 0, 0, 0, 0, 0, 2}));
  EXPECT_EQ(gGame.bonus[1].centre, 0);
  EXPECT_EQ(gGame.bonusCooldownMs, 2000);
  // No bonus left: only the cooldown starts.
  gGame.bonusCooldownMs = 0;
  TakeBonus();
  EXPECT_EQ(gGame.next.centre, 6);
  EXPECT_EQ(gGame.bonusCooldownMs, 2000);
}

TEST_F(Pieces, TakeBonusIsRefusedWhenItMayNotAct) {
  struct {
    int shape, paused, cooldown;
  } refused[] = {{3, 1, 0}, {3, 0, 5}, {1, 0, 0}};
  for (auto c : refused) {
    Start(c.shape, 1);
    gGame.bonus = {BonusSlot{4, 1}, BonusSlot{}, BonusSlot{}};
    gGame.next.centre = 2;
    gGame.paused = c.paused;
    gGame.bonusCooldownMs = c.cooldown;
    TakeBonus();
    EXPECT_EQ(gGame.next.centre, 2);
    EXPECT_EQ(gGame.bonus[0].centre, 4);
    EXPECT_EQ(gGame.bonusCooldownMs, c.cooldown);
  }
}

}  // namespace

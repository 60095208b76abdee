// The grid, its operations, the six well shapes, shape selection and the
// start of a stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "support/bot.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;  // (row, column)

// A grid whose playing area is filled from a picture: '.' empty, '#' blocked,
// digits colours.  Rows are given from the top; the walls stay.
Field MakeField(int width, int height, const std::vector<std::string>& rows) {
  Field f(width, height);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
      const char ch = rows[r][c];
      const int v = ch == '.' ? 0 : ch == '#' ? -1 : ch - '0';
      f.setCell(f.index(r, c + 1), v);
    }
  }
  return f;
}

std::set<int> Found(const Field& f, int n) {
  int32_t cells[kLineListCapacity], colours[kLineListCapacity];
  const int count = f.findLines(n, cells, colours, kLineListCapacity);
  std::set<int> out;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(colours[i], f.cellAt(cells[i]));
    out.insert(cells[i]);
  }
  EXPECT_EQ(static_cast<int>(out.size()), count) << "a cell listed twice";
  return out;
}

std::set<int> Indices(const Field& f, const Cells& cells) {
  std::set<int> out;
  for (auto [r, c] : cells) out.insert(f.index(r, c));
  return out;
}

// ------------------------------------------------------------ the grid

TEST(FieldGrid, SizesAreRaisedToTheMinimum) {
  const Field small(3, 4);
  EXPECT_EQ(small.width, 7);
  EXPECT_EQ(small.height, 11);
  EXPECT_EQ(small.count, 77);
  const Field huge(100, 100);
  EXPECT_EQ(huge.width, kMaxFieldSide);
  EXPECT_EQ(huge.height, kMaxFieldSide);
}

TEST(FieldGrid, ResetLeavesWallsLeftRightAndBelow) {
  Field f(9, 12);
  f.setCell(f.index(3, 3), 5);
  f.reset();
  for (int r = 0; r < f.height; ++r) {
    for (int c = 0; c < f.width; ++c) {
      const bool wall = c == 0 || c == f.width - 1 || r == f.height - 1;
      EXPECT_EQ(f.cellAt(f.index(r, c)), wall ? -1 : 0) << r << "," << c;
    }
  }
}

TEST(FieldGrid, OutsideIndicesReadAsWallAndAreNeverWritten) {
  Field f(11, 14);
  EXPECT_EQ(f.cellAt(-1), -1);
  EXPECT_EQ(f.cellAt(f.count), -1);
  f.setCell(-1, 5);
  f.setCell(f.count, 5);
  f.setCell(0, 5);                         // a wall
  f.setCell(f.index(f.height - 1, 4), 5);  // the bottom row
  EXPECT_EQ(f.cellAt(0), -1);
  EXPECT_EQ(f.cellAt(f.index(f.height - 1, 4)), -1);
  f.setCell(f.index(2, 2), -1);  // blocked now
  f.setCell(f.index(2, 2), 3);
  EXPECT_EQ(f.cellAt(f.index(2, 2)), -1);
}

TEST(FieldGrid, RowFilledCountsWallsButNoEmptyCell) {
  Field f = MakeField(7, 11, {"", "", "", "", "12345", "1234."});
  EXPECT_TRUE(f.isRowFilled(4));
  EXPECT_FALSE(f.isRowFilled(5));
  EXPECT_TRUE(f.isRowFilled(f.height - 1));  // the wall row
  EXPECT_FALSE(f.isRowFilled(-1));
  EXPECT_FALSE(f.isRowFilled(f.height));
}

// ------------------------------------------------------------ lines

struct LineCase {
  const char* name;
  std::vector<std::string> rows;
  int minRun;
  Cells expected;
};

class FindLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(FindLines, FindsExactlyTheRuns) {
  const LineCase& c = GetParam();
  const Field f = MakeField(9, 12, c.rows);
  EXPECT_EQ(Found(f, c.minRun), Indices(f, c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FindLines,
    ::testing::Values(
        LineCase{"horizontal",
                 {"", "", "", "", "", "", "", "", "", "", "111"},
                 3,
                 {{10, 1}, {10, 2}, {10, 3}}},
        LineCase{"two are not a run", {"", "", "", "", "", "", "", "", "", "", "11.1"}, 3, {}},
        LineCase{"gap breaks a run", {"", "", "", "", "", "", "", "", "1", "", "1"}, 3, {}},
        LineCase{"vertical",
                 {"", "", "", "", "", "", "", "", "2", "2", "2"},
                 3,
                 {{8, 1}, {9, 1}, {10, 1}}},
        LineCase{"diagonal down-right",
                 {"", "", "", "", "", "", "", "", "3..", ".3.", "..3"},
                 3,
                 {{8, 1}, {9, 2}, {10, 3}}},
        LineCase{"diagonal up-right",
                 {"", "", "", "", "", "", "", "", "..4", ".4.", "4.."},
                 3,
                 {{8, 3}, {9, 2}, {10, 1}}},
        LineCase{"diagonal with a gap",
                 {"", "", "", "", "", "", "", "5...", ".5..", "....", "...5"},
                 3,
                 {}},
        LineCase{"L of 3 + 3 shares its corner",
                 {"", "", "", "", "", "", "", "", "6", "6", "666"},
                 3,
                 {{8, 1}, {9, 1}, {10, 1}, {10, 2}, {10, 3}}},
        LineCase{
            "colour 9 matches only 9", {"", "", "", "", "", "", "", "", "", "", "9989"}, 3, {}},
        LineCase{"long run all listed",
                 {"", "", "", "", "", "", "", "", "", "", "7777777"},
                 3,
                 {{10, 1}, {10, 2}, {10, 3}, {10, 4}, {10, 5}, {10, 6}, {10, 7}}},
        LineCase{"five needed",
                 {"", "", "", "", "", "", "", "", "", "11111", "2222"},
                 5,
                 {{9, 1}, {9, 2}, {9, 3}, {9, 4}, {9, 5}}},
        LineCase{
            "pairs", {"", "", "", "", "", "", "", "", "", "", "11.2.3"}, 2, {{10, 1}, {10, 2}}},
        LineCase{
            "single cells", {"", "", "", "", "", "", "", "", "", "4", "5#"}, 1, {{9, 1}, {10, 1}}},
        LineCase{"four needed",
                 {"", "", "", "", "", "", "", "", "", "1111", "222"},
                 4,
                 {{9, 1}, {9, 2}, {9, 3}, {9, 4}}},
        LineCase{
            "blocked cell ends a run", {"", "", "", "", "", "", "", "", "", "", "11#11"}, 3, {}},
        LineCase{"row end does not wrap",  // the end of one row and the start of the next
                 {"", "", "", "", "", "", "", "", "", ".....11", "1......"},
                 3,
                 {}}),
    [](const ::testing::TestParamInfo<LineCase>& info) {
      std::string n = info.param.name;
      std::replace_if(
          n.begin(), n.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); },
          '_');
      return n;
    });

TEST(FieldLines, ListIsCappedByCapacity) {
  const Field f = MakeField(9, 12, {"", "", "", "", "", "", "", "", "", "", "1111111"});
  int32_t cells[4], colours[4];
  EXPECT_EQ(f.findLines(3, cells, colours, 4), 4);
  EXPECT_EQ(cells[0], f.index(10, 1));
  EXPECT_EQ(f.findLines(3, cells, colours, 0), 0);
}

TEST(FieldLines, FullWellOfOneColourIsFoundWhole) {
  Field f(17, 17);
  int playing = 0;
  for (int32_t i = 0; i < f.count; ++i) {
    if (f.cellAt(i) == 0) {
      f.setCell(i, 4);
      ++playing;
    }
  }
  EXPECT_EQ(static_cast<int>(Found(f, 3).size()), playing);
}

// ------------------------------------------------------------ gravity

TEST(FieldGravity, AColumnAboveAGapDropsOneRowPerStep) {
  Field f = MakeField(7, 11, {"", "", "", "", "1", "2", "3", ".", ".", "4"});
  ASSERT_TRUE(f.gravityStep());
  EXPECT_EQ(f.cellAt(f.index(4, 1)), 0);
  EXPECT_EQ(f.cellAt(f.index(5, 1)), 1);
  EXPECT_EQ(f.cellAt(f.index(7, 1)), 3);
  EXPECT_EQ(f.cellAt(f.index(8, 1)), 0);
  ASSERT_TRUE(f.gravityStep());
  EXPECT_EQ(f.cellAt(f.index(8, 1)), 3);
  EXPECT_EQ(f.cellAt(f.index(6, 1)), 1);
  EXPECT_FALSE(f.gravityStep());
  EXPECT_EQ(f.cellAt(f.index(9, 1)), 4);
}

TEST(FieldGravity, BlockedCellsAndWallsHoldCells) {
  Field f = MakeField(7, 11, {"", "", "", "", "", "", "", "", "1", "#", ""});
  EXPECT_FALSE(f.gravityStep());
  EXPECT_EQ(f.cellAt(f.index(8, 1)), 1);
}

// ------------------------------------------------------------ pieces

Piece MakePiece(int centre, std::array<int32_t, 8> ring) {
  Piece p;
  p.centre = centre;
  p.ring = ring;
  return p;
}

TEST(FieldPieces, CollisionTestsRingCellsOnly) {
  Field f(9, 12);
  const int32_t p = f.index(5, 4);
  const Piece horizontal = MakePiece(1, {0, 0, 0, 2, 0, 0, 0, 3});
  EXPECT_FALSE(f.pieceCollides(p, horizontal));
  f.setCell(p, 5);  // the centre cell is not tested
  EXPECT_FALSE(f.pieceCollides(p, horizontal));
  f.setCell(p + 1, 5);
  EXPECT_TRUE(f.pieceCollides(p, horizontal));
  // Against a wall and outside the grid.
  EXPECT_TRUE(f.pieceCollides(f.index(5, 1), horizontal));
  EXPECT_TRUE(f.pieceCollides(4, MakePiece(1, {0, 2, 0, 0, 0, 0, 0, 0})));
}

TEST(FieldPieces, PlaceWritesSlotsInOrderAndStopsAtAWall) {
  Field f(9, 12);
  const Piece block = MakePiece(1, {1, 2, 3, 4, 5, 6, 7, 8});
  const int32_t p = f.index(5, 4);
  ASSERT_TRUE(f.placePiece(p, block));
  for (int slot = 1; slot <= 8; ++slot) EXPECT_EQ(f.cellAt(p + RingOffset(slot, 9)), slot);
  EXPECT_EQ(f.cellAt(p), 0);  // the centre is the caller's

  Field g(9, 12);
  const int32_t q = g.index(5, 7);  // slots 3, 4, 5 are in the right wall
  EXPECT_FALSE(g.placePiece(q, block));
  EXPECT_EQ(g.cellAt(q - 10), 1);  // slot 1 written
  EXPECT_EQ(g.cellAt(q - 9), 2);   // slot 2 written
  EXPECT_EQ(g.cellAt(q + 9), 0);   // slot 6 never reached
}

TEST(FieldPieces, RotationTurnsTheRingBySlots) {
  Field f(9, 12);
  const int32_t p = f.index(5, 4);
  Piece piece = MakePiece(1, {0, 0, 0, 4, 0, 0, 0, 8});  // right 4, left 8
  ASSERT_TRUE(f.rotatePiece(p, piece, 2));               // clockwise: right goes down
  EXPECT_EQ(piece.ring, (std::array<int32_t, 8>{0, 8, 0, 0, 0, 4, 0, 0}));
  ASSERT_TRUE(f.rotatePiece(p, piece, -2));
  EXPECT_EQ(piece.ring, (std::array<int32_t, 8>{0, 0, 0, 4, 0, 0, 0, 8}));
}

TEST(FieldPieces, QuarterTurnNeedsTheEighthTurnFree) {
  Field f(9, 12);
  const int32_t p = f.index(5, 4);
  Piece piece = MakePiece(1, {0, 0, 0, 4, 0, 0, 0, 8});
  // The 90° places (up, down) are free; the 45° place of slot 4 (slot 5) is not.
  f.setCell(p + RingOffset(5, 9), 3);
  const Piece before = piece;
  EXPECT_FALSE(f.rotatePiece(p, piece, 2));
  EXPECT_EQ(piece.ring, before.ring);
  // The other way passes slots 3 and 7, both free.
  EXPECT_TRUE(f.rotatePiece(p, piece, -2));
}

TEST(FieldPieces, RepaintTakesAColouredNeighbour) {
  Field f = MakeField(9, 12, {"", "", "", "", ".2.", "313", ".#."});
  const int32_t i = f.index(5, 2);
  std::set<int> seen;
  for (unsigned seed = 1; seed < 60; ++seed) {
    std::srand(seed);
    f.cells[i] = 1;
    f.repaintFromNeighbour(i);
    seen.insert(f.cellAt(i));
  }
  EXPECT_EQ(seen, (std::set<int>{2, 3}));  // left 3, right 3, up 2; below is blocked

  Field lone = MakeField(9, 12, {"", "", "", "", "", ".5.", ""});
  lone.repaintFromNeighbour(lone.index(5, 2));
  EXPECT_EQ(lone.cellAt(lone.index(5, 2)), 5);
}

// ------------------------------------------------------------ shapes

class Shapes : public ::testing::Test {
 protected:
  void SetUp() override { bot::StartHeadlessGame(7); }
  void TearDown() override { bot::EndHeadlessGame(); }

  // Builds stage `stage` of a shape, as the closing of the results would.
  static Field& Build(int shape, int stage) {
    StartNewGame(shape);
    while (gGame.stage < stage) BuildField(gGame.field);
    return *gGame.field;
  }

  // The cells inside the walls that hold `value`.
  static std::set<int> Inner(const Field& f, int value) {
    std::set<int> out;
    for (int r = 0; r < f.height - 1; ++r) {
      for (int c = 1; c < f.width - 1; ++c) {
        if (f.cellAt(f.index(r, c)) == value) out.insert(f.index(r, c));
      }
    }
    return out;
  }
};

TEST_F(Shapes, SizesAndOneGridPerShape) {
  const int sizes[6][2] = {{11, 14}, {13, 15}, {13, 13}, {15, 16}, {16, 17}, {17, 17}};
  for (int v = 1; v <= 6; ++v) {
    Field* f = SelectVariant(v);
    EXPECT_EQ(f, FieldForVariant(v));
    EXPECT_EQ(f, SelectVariant(v)) << "the same grid for the same shape";
    EXPECT_EQ(gGame.variant, v);
    EXPECT_EQ(gGame.field, f);
    EXPECT_EQ(f->width, sizes[v - 1][0]);
    EXPECT_EQ(f->height, sizes[v - 1][1]);
  }
  for (int bad : {0, -3, 7, 100}) {
    EXPECT_EQ(SelectVariant(bad), FieldForVariant(1));
    EXPECT_EQ(gGame.variant, 1);
  }
}

struct BlockedCase {
  int shape;
  int stage;
  Cells blocked;  // inside the walls
};

Cells Columns(std::initializer_list<int> cols, int fromRow, int toRow) {
  Cells out;
  for (int r = fromRow; r <= toRow; ++r) {
    for (int c : cols) out.push_back({r, c});
  }
  return out;
}

Cells Join(Cells a, const Cells& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(Shapes, BlockedCellsPerShapeAndStage) {
  const BlockedCase cases[] = {
      {1, 1, {{12, 1}, {12, 9}}},
      {1, 4, {{12, 1}, {12, 9}}},
      {2, 1, Columns({1, 2, 10, 11}, 0, 13)},
      {2, 2, Columns({1, 2, 10, 11}, 0, 13)},
      {2, 3, Join(Columns({1, 11}, 0, 13), {{13, 2}, {13, 10}})},
      {2, 4, Join(Columns({1, 11}, 0, 13), {{13, 2}, {13, 10}})},
      {2, 5, {{13, 1}, {13, 11}}},
      {2, 7, {{13, 1}, {13, 11}}},
      {3,
       1,
       {{0, 1}, {0, 11}, {1, 1}, {1, 11}, {10, 1}, {10, 11}, {11, 1}, {11, 2}, {11, 10}, {11, 11}}},
      {3,
       3,
       {{0, 1}, {0, 11}, {1, 1}, {1, 11}, {10, 1}, {10, 11}, {11, 1}, {11, 2}, {11, 10}, {11, 11}}},
      {4, 1, {{0, 1}, {0, 2}, {0, 12}, {0, 13}, {1, 1}, {1, 13}}},
      {4, 2, {{0, 1}, {0, 2}, {0, 12}, {0, 13}, {1, 1}, {1, 13}}},
      {5, 1, {{7, 1}, {8, 1}, {9, 1}, {7, 14}, {8, 14}, {9, 14}, {8, 2}, {8, 13}}},
      {6, 1, {{8, 8}, {8, 7}, {8, 9}, {7, 8}, {9, 8}}},
      {6, 5, {{8, 8}, {8, 7}, {8, 9}, {7, 8}, {9, 8}}},
  };
  for (const BlockedCase& c : cases) {
    const Field& f = Build(c.shape, c.stage);
    EXPECT_EQ(Inner(f, -1), Indices(f, c.blocked)) << "shape " << c.shape << " stage " << c.stage;
  }
}

TEST_F(Shapes, PlayingAreas) {
  EXPECT_EQ(Inner(Build(1, 1), 0).size(), 9u * 13u - 2u);
  // "спорт" widths 7, 9, 11 by stage, counted on a middle row.
  const int widths[] = {7, 7, 9, 9, 11, 11};
  for (int stage = 1; stage <= 6; ++stage) {
    const Field& f = Build(2, stage);
    int free = 0;
    for (int c = 0; c < f.width; ++c) free += f.cellAt(f.index(5, c)) == 0;
    EXPECT_EQ(free, widths[stage - 1]) << "stage " << stage;
  }
}

TEST_F(Shapes, BottleStartsWithTenFloatingCellsInStageOneOnly) {
  const Field& f = Build(4, 1);
  Cells expected;
  for (int k = 1; k <= 5; ++k) {
    EXPECT_EQ(f.cellAt(f.index(4 + k, 5)), k);
    EXPECT_EQ(f.cellAt(f.index(4 + k, 9)), k);
  }
  int coloured = 0;
  for (int32_t i = 0; i < f.count; ++i) coloured += f.cellAt(i) > 0;
  EXPECT_EQ(coloured, 10);
  const Field& g = Build(4, 2);
  for (int32_t i = 0; i < g.count; ++i) EXPECT_LE(g.cellAt(i), 0);
}

TEST_F(Shapes, SpawnAreaIsTheThreeByThreeAroundRowOne) {
  for (int v = 1; v <= 6; ++v) {
    const Field& f = *SelectVariant(v);
    const int c = f.width / 2;
    std::array<int32_t, 9> expected{};
    int n = 0;
    for (int r = 0; r < 3; ++r) {
      for (int col = c - 1; col <= c + 1; ++col) expected[n++] = f.index(r, col);
    }
    EXPECT_EQ(gGame.spawnArea, expected) << "shape " << v;
    EXPECT_EQ(SpawnPosition(f), f.width + c);
  }
}

struct PlacementCase {
  int shape, width, height, layout;
  int cellW, cellH, wellX, wellY;
};

TEST_F(Shapes, CellSizeAndWellPlacement) {
  const PlacementCase cases[] = {
      {1, 800, 600, 2, 43, 43, 32, -2},    {2, 800, 600, 2, 40, 42, -8, -21},
      {3, 800, 600, 2, 40, 42, -8, 54},    {4, 800, 600, 2, 36, 37, -27, 8},
      {5, 800, 600, 2, 32, 32, 0, 56},     {6, 800, 600, 2, 32, 32, -22, 56},
      {1, 800, 600, 0, 43, 43, 164, -2},   {6, 800, 600, 0, 32, 32, 73, 56},
      {3, 1024, 768, 2, 51, 53, -11, 79},  {2, 1920, 1080, 2, 96, 75, -20, -38},
      {4, 1920, 1080, 0, 88, 66, 154, 24},
  };
  for (const PlacementCase& c : cases) {
    test_host::gHost.window = WindowSize{c.width, c.height};
    gOptions.layoutMode = c.layout;
    SelectVariant(c.shape);
    EXPECT_EQ(gGame.cellW, c.cellW) << "shape " << c.shape << " " << c.width;
    EXPECT_EQ(gGame.cellH, c.cellH) << "shape " << c.shape << " " << c.width;
    EXPECT_EQ(gGame.wellX, c.wellX) << "shape " << c.shape << " " << c.width;
    EXPECT_EQ(gGame.wellY, c.wellY) << "shape " << c.shape << " " << c.width;
  }
}

// ------------------------------------------------------------ stage start

TEST_F(Shapes, BuildFieldStartsTheNextStage) {
  StartNewGame(2);
  EXPECT_EQ(gGame.stage, 1);
  EXPECT_EQ(gGame.stageTarget, 55);
  gGame.score = 321;
  gGame.stageCubes = 40;
  gGame.stageRemoved = 40;
  gGame.stagePoints = 99;
  gGame.stageChainBonus = 11;
  gGame.piecesInStage = 12;
  gGame.spawnBlockCell = 20;
  gGame.halfMilestone = 1;
  gGame.ruleCode = 7;
  CountStat(gGame.stageChains, 2);
  CountStat(gGame.gameChains, 2);
  BuildField(gGame.field);
  EXPECT_EQ(gGame.stage, 2);
  EXPECT_EQ(gGame.stageStartScore, 321);
  EXPECT_EQ(gGame.stageCubes, 0);
  EXPECT_EQ(gGame.stageRemoved, 0);
  EXPECT_EQ(gGame.stagePoints, 0);
  EXPECT_EQ(gGame.stageChainBonus, 0);
  EXPECT_EQ(gGame.piecesInStage, 0);
  EXPECT_EQ(gGame.spawnBlockCell, 0);
  EXPECT_EQ(gGame.halfMilestone, 0);
  EXPECT_EQ(gGame.ruleCode, 20);
  EXPECT_EQ(StatSum(gGame.stageChains), 0);
  EXPECT_EQ(StatCount(gGame.gameChains, 2), 1);  // the game's table stays
  BuildField(nullptr);
  EXPECT_EQ(gGame.stage, 2);
}

struct PaceCase {
  int endedStage, before, after, target;
};

TEST_F(Shapes, FallPeriodAdjustmentsByTheStageThatEnded) {
  const PaceCase cases[] = {
      {5, 900, 900, 77}, {6, 900, 800, 77}, {6, 700, 700, 77},    {7, 300, 400, 77},
      {7, 900, 700, 77}, {7, 550, 550, 77}, {8, 350, 1000, 1001}, {9, 350, 350, 77},
  };
  for (const PaceCase& c : cases) {
    StartNewGame(1);
    gGame.stage = c.endedStage;
    gGame.fallPeriod = c.before;
    gGame.stageTarget = 77;
    BuildField(gGame.field);
    EXPECT_EQ(gGame.fallPeriod, c.after) << "after stage " << c.endedStage;
    EXPECT_EQ(gGame.stageTarget, c.target) << "after stage " << c.endedStage;
    EXPECT_EQ(gGame.stage, c.endedStage + 1);
  }
}

TEST_F(Shapes, ChangeOfShapeAllowsAnotherRecordsReset) {
  StartNewGame(3);
  gRecordsCleared = 1;
  BuildField(gGame.field);  // same grid
  EXPECT_EQ(gRecordsCleared, 1);
  StartNewGame(5);
  EXPECT_EQ(gRecordsCleared, 0);
}

TEST_F(Shapes, JugShowsItsBonusesAndRefillsThem) {
  test_host::gHost.shown[kBonusPanel] = false;
  StartNewGame(3);
  EXPECT_TRUE(test_host::Shown(kBonusPanel));
  EXPECT_EQ(gGame.bonus[0].centre, 0);
  EXPECT_EQ(gGame.bonus[2].centre, 0);
  EXPECT_GE(gGame.bonus[1].centre, 1);
  EXPECT_LE(gGame.bonus[1].centre, 3);
  EXPECT_GE(gGame.bonus[1].left, 4);
  EXPECT_LE(gGame.bonus[1].left, 6);
  // Each later stage fills the first empty slot and starts the cooldown.
  gGame.bonusCooldownMs = 0;
  BuildField(gGame.field);
  EXPECT_EQ(gGame.bonusCooldownMs, 2000);
  EXPECT_NE(gGame.bonus[0].centre, 0);
  EXPECT_EQ(gGame.bonus[2].centre, 0);
  BuildField(gGame.field);
  EXPECT_NE(gGame.bonus[2].centre, 0);
  const auto full = gGame.bonus;
  BuildField(gGame.field);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gGame.bonus[i].centre, full[i].centre);
  // Other shapes leave the bonus panel alone.
  test_host::gHost.shown[kBonusPanel] = false;
  StartNewGame(1);
  EXPECT_FALSE(test_host::Shown(kBonusPanel));
}

TEST_F(Shapes, LaterBonusesAreSpecialTwoTimesInTen) {
  int special = 0, ordinary = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    StartNewGame(3);
    std::srand(seed);
    gGame.bonus = {};
    BuildField(gGame.field);
    const BonusSlot& b = gGame.bonus[0];
    if (b.centre == kSpecialCentre) {
      EXPECT_EQ(b.left, 0);
      ++special;
    } else {
      EXPECT_GE(b.centre, 2);
      EXPECT_LE(b.centre, 7);
      EXPECT_GE(b.left, 1);
      EXPECT_LE(b.left, 5);
      ++ordinary;
    }
  }
  EXPECT_GT(special, 40);
  EXPECT_LT(special, 130);
  EXPECT_GT(ordinary, 0);
}

}  // namespace

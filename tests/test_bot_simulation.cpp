// Hundreds of whole games on all six wells, played headless by a small bot,
// with the rules' invariants checked after every frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/bot.h"

namespace {

namespace fs = std::filesystem;

// Walls and blocked cells of a freshly built stage, counted by hand from the
// shape table.
int ExpectedMinusOnes(int variant, int stage, const Field& f) {
  const int walls = 2 * f.height + (f.width - 2);
  switch (variant) {
    case kVariantSport:
      if (stage <= 2) return walls + 4 * (f.height - 1);
      if (stage <= 4) return walls + 2 * (f.height - 1) + 2;
      return walls + 2;
    case kVariantJug:
      return walls + 10;
    case kVariantBottle:
      return walls + 6;
    case kVariantWaist:
      return walls + 8;
    case kVariantHurdle:
      return walls + 5;
    default:
      return walls + 2;
  }
}

int ExpectedTarget(int variant, int stage) {
  if (stage >= 9) return 1001;
  const int base = variant == kVariantSport ? 55 : variant == kVariantHurdle ? 85 : 50;
  return base + 9 * (stage - 1);
}

class BotSimulation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(workDir_.dir.empty());
    bot::StartHeadlessGame(20260116);
    test_host::gHost.choiceOpen = true;
  }
  void TearDown() override { bot::EndHeadlessGame(); }

  // The -1 cells of the stage just built: walls and blocked cells must stay
  // exactly these until the next build.
  void Snapshot() {
    const Field& f = *gGame.field;
    minusOnes_.fill(0);
    int n = 0;
    for (int32_t i = 0; i < f.count; ++i) {
      minusOnes_[i] = f.cells[i] == kWall;
      n += minusOnes_[i];
    }
    snapField_ = gGame.field;
    snapStage_ = gGame.stage;
    if (gGame.endState == 0) {
      EXPECT_EQ(n, ExpectedMinusOnes(gGame.variant, gGame.stage, f))
          << "variant " << gGame.variant << " stage " << gGame.stage;
      EXPECT_EQ(gGame.stageTarget, ExpectedTarget(gGame.variant, gGame.stage))
          << "variant " << gGame.variant << " stage " << gGame.stage;
    }
  }

  // Empty when every invariant holds.
  std::string Check() {
    const GameState& g = gGame;
    const Field& f = *g.field;
    if (g.field != snapField_ || g.stage != snapStage_) Snapshot();
    for (int32_t i = 0; i < f.count; ++i) {
      const int32_t v = f.cells[i];
      if (v < -1 || v > 9) return "cell value " + std::to_string(v);
      if ((v == kWall) != (minusOnes_[i] != 0)) return "wall changed at " + std::to_string(i);
      const int32_t row = i / f.width, col = i % f.width;
      const bool wall = col == 0 || col == f.width - 1 || row == f.height - 1;
      if (wall && v != kWall) return "wall lost at " + std::to_string(i);
    }
    if (g.current.position > 0 && g.endState == 0) {
      const int32_t p = g.current.position;
      if (p >= f.count) return "piece outside the grid";
      if (g.special.active) {
        // It falls through everything, blocked cells too, but never
        // leaves the playing columns and is gone on reaching the floor.
        const int32_t col = p % f.width;
        if (col < 1 || col > f.width - 2 || p / f.width >= f.height - 1) {
          return "special piece outside the well at " + std::to_string(p);
        }
      } else if (f.cellAt(p) != 0 || f.pieceCollides(p, g.current)) {
        return "piece overlaps the well at " + std::to_string(p);
      }
    }
    if (g.chainNumber < 0 || g.chainNumber > 9) return "chain " + std::to_string(g.chainNumber);
    if (g.fallPeriod < 200 || g.fallPeriod > 1200) {
      return "fall period " + std::to_string(g.fallPeriod);
    }
    if (g.endState == 0 && g.stage >= 1) {
      const int t = ExpectedTarget(g.variant, g.stage);
      if (g.stageTarget != t && !(g.stage < 9 && g.stageTarget == t + 9)) {
        return "stage target " + std::to_string(g.stageTarget);
      }
    }
    if (g.score < 0) return "negative score";
    return {};
  }

  static std::string TableOrder() {
    for (int k = 1; k < 20; ++k) {
      if (gRecordTable[k].score > gRecordTable[k - 1].score) {
        return "records not sorted at " + std::to_string(k);
      }
    }
    return {};
  }

  static long FileSize(const std::string& name) {
    std::error_code ec;
    const auto size = fs::file_size(name, ec);
    return ec ? -1 : static_cast<long>(size);
  }

  void PlayGames(int games);

  bot::TempWorkDir workDir_{std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp"};
  std::array<uint8_t, kMaxFieldCells> minusOnes_{};
  const Field* snapField_ = nullptr;
  int snapStage_ = -1;
};

void BotSimulation::PlayGames(int games) {
  bot::Player player;
  // About 5,500 frames make a game; the limit only stops a bot that got stuck.
  const int64_t kFrameLimit = 20000ll * games;
  bot::Rng frameLength;
  int previousEnd = 0;

  while (player.tally.games <= games && player.tally.frames < kFrameLimit) {
    const int stageBefore = gGame.stage;
    const bool wasPausedForStage = gGame.paused && gGame.endState == 0;
    bot::PlayFrame(player, 10 + frameLength.Below(25));
    if (wasPausedForStage && !gGame.paused && gGame.stage == stageBefore + 1) {
      ++player.tally.stageEnds;
    }
    player.tally.maxStage = std::max(player.tally.maxStage, gGame.stage);
    player.tally.bestScore = std::max(player.tally.bestScore, gGame.score);

    const std::string fault = Check();
    ASSERT_TRUE(fault.empty()) << fault << " (variant " << gGame.variant << ", stage "
                               << gGame.stage << ", frame " << player.tally.frames << ")";

    const int end = gGame.endState;
    if (end != previousEnd) {
      if (previousEnd == 3 && end == 4) ++player.tally.unranked;
      if (previousEnd == 3 && end == 5) ++player.tally.ranked;
      if (previousEnd == 5 && end == 4) {
        // The entered name went into the table at the game's place.
        ASSERT_GE(gGame.recordRank, 1);
        const RecordEntry& e = gRecordTable[gGame.recordRank - 1];
        EXPECT_EQ(std::string(e.name, 12),
                  bot::StoredName(player.expectedName, player.nameCancelled));
        EXPECT_EQ(e.score, gGame.score);
        if (player.nameCancelled) ++player.tally.cancelledNames;
      }
      if (end == 4 || end == 0) {
        ASSERT_EQ(TableOrder(), "");
        EXPECT_EQ(FileSize(RecordsFileNameFor(gGame.variant)), 1280);
      }
      previousEnd = end;
    }
  }

  const bot::Tally& t = player.tally;
  std::printf(
      "games %d, frames %lld, ranked %d, unranked %d, cancelled %d, stage ends %d, "
      "max stage %d, specials %d, bonuses %d, best score %d\n",
      t.games, static_cast<long long>(t.frames), t.ranked, t.unranked, t.cancelledNames,
      t.stageEnds, t.maxStage, t.specials, t.bonusesTaken, t.bestScore);
  EXPECT_GT(t.games, games) << "frame limit reached first";
  for (int shape = 1; shape <= 6; ++shape) EXPECT_GE(t.gamesByShape[shape], games / 6);
  EXPECT_GT(t.ranked, 0);
  EXPECT_GT(t.unranked, 0);
  EXPECT_GT(t.cancelledNames, 0);
  EXPECT_GT(t.stageEnds, 0);
  EXPECT_GE(t.maxStage, 3);
  EXPECT_GT(t.specials, 0);
  EXPECT_GT(t.bonusesTaken, 0);
  for (int shape = 1; shape <= 6; ++shape) {
    EXPECT_EQ(FileSize(RecordsFileNameFor(shape)), 1280) << "shape " << shape;
  }
}

TEST_F(BotSimulation, WholeGamesOnAllShapesKeepTheRules) {
  PlayGames(300);
}

// The long run: thousands of games, so that rare paths (deep stages, long
// chains, full tables) come up too.  The sanitizer build is several times
// slower and plays fewer, with the leak checker watching at exit.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSoakGames = 2000;
#else
constexpr int kSoakGames = 10000;
#endif

TEST_F(BotSimulation, SoakThousandsOfGamesKeepTheRules) {
  PlayGames(kSoakGames);
}

}  // namespace

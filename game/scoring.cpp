// Matching, chains, points, stage progress and the statistics tables.
#include <algorithm>

#include "game/game.h"
#include "records/records.h"

namespace {

constexpr int kScoreCap = 99999;
constexpr int kChainStep = 11;

void CountChain(int length) {
  if (length < 2) return;
  const int slot = std::min(length - 2, 7);
  CountStat(gGame.stageChains, slot);
  CountStat(gGame.gameChains, slot);
}

void CountSize(int total) {
  if (total < 3) return;
  const int slot = std::min(total - 3, 7);
  CountStat(gGame.stageSizes, slot);
  CountStat(gGame.gameSizes, slot);
}

void SpeedUp() {
  GameState& g = gGame;
  if (g.stage <= 1) {
    g.fallPeriod -= 10;
  } else if (g.stage <= 8) {
    g.fallPeriod -= 5;
  } else {
    g.fallPeriod -= 50;
  }
  g.fallPeriod = std::clamp(g.fallPeriod, 200, 1200);
}

}  // namespace

void ClearStatTable(StatTable& table) {
  for (int k = 0; k < 8; ++k) table.slot[k] = k + 1;
}

void ClearGameSums(GameState& g) {
  g.chainBonusSum = 0;
  g.pointsSum = 0;
  g.stageChainBonus = 0;
  g.stagePoints = 0;
  g.stageRemoved = 0;
  g.pendingRemoved = 0;
  ClearStatTable(g.stageChains);
  ClearStatTable(g.gameChains);
  ClearStatTable(g.stageSizes);
  ClearStatTable(g.gameSizes);
}

void CountStat(StatTable& table, int slot) {
  if (slot >= 0 && slot < 8) ++table.slot[slot];
}

int StatCount(const StatTable& table, int k) {
  if (k < 0 || k > 7) return 0;
  return table.slot[k] - (k + 1);
}

int StatSum(const StatTable& table) {
  int sum = 0;
  for (int k = 0; k < 8; ++k) sum += std::max(StatCount(table, k), 0);
  return sum;
}

int LineMinimum() {
  const GameState& g = gGame;
  if (g.stage >= 9) return 4;
  if (g.variant == kVariantBottle) return 4;
  if (g.variant == kVariantWaist && g.stage >= 4) return 4;
  return 3;
}

int RemovalPoints(int total) {
  if (total <= 0) return 0;
  if (total <= 5) return total * total;
  if (total <= 9) return 9 * total;
  if (total <= 13) return 12 * total;
  return 14 * total;
}

int RemoveLines(Field& field, int n) {
  GameState& g = gGame;
  int32_t cells[kRemovedListCapacity];
  int32_t colours[kRemovedListCapacity];
  const int found = field.findLines(n, cells, colours, kRemovedListCapacity);
  if (found == 0) return 0;
  for (int i = 0; i < found; ++i) {
    field.setCell(cells[i], 0);
    g.removedCells[i] = cells[i];
    g.removedColours[i] = colours[i];
  }
  g.removedCount = found;
  g.removedShowTimer = 1500;
  return found;
}

void EndChain() {
  GameState& g = gGame;
  CountChain(g.chainNumber);
  g.chainNumber = 0;
  g.chainBonus = 0;
}

RecordValues CurrentRecordValues() {
  const GameState& g = gGame;
  RecordValues v;
  v.score = g.score;
  v.cubes = g.cubes;
  v.chainBonus = g.chainBonusSum;
  v.removalPoints = g.pointsSum;
  v.chainCounts = g.gameChains.slot;
  v.sizeCounts = g.gameSizes.slot;
  return v;
}

int ScoreRemovals(Field& field, int phase) {
  GameState& g = gGame;
  const int n = RemoveLines(field, LineMinimum());
  if (phase == 0) {
    g.pendingRemoved += n;
    if (n > 0) g.removedThisLanding = n;
    return n;
  }

  const int total = g.pendingRemoved + n;
  g.pendingRemoved = 0;

  if (total == 0) {
    EndChain();
  } else {
    // The tenth removing landing in a row starts a new chain.
    if (g.chainNumber > 8) EndChain();
    if (g.chainBonus == 0) g.chainNumber = 0;
    ++g.chainNumber;
    g.score += g.chainBonus;
    g.lastChainBonus = g.chainBonus;
    g.chainBonusSum += g.chainBonus;
    g.stageChainBonus += g.chainBonus;
    g.chainBonus += kChainStep;
  }

  if (total > 0) {
    SpeedUp();
    g.cubes += total;
    g.stageRemoved += total;
    const int points = RemovalPoints(total);
    g.lastPoints = points;
    g.pointsSum += points;
    g.stagePoints += points;
    g.score = std::min(g.score + points, kScoreCap);

    g.stageCubes += total;
    if (g.stageCubes >= g.stageTarget && g.stageEndTimer == 0) {
      EndChain();
      g.score += 50 * g.stage;
      g.settleSteps = g.ruleCode;  // one more settle phase, then the pause
      g.stageEndTimer = 1500;
    }
  }

  g.lastRemoval = total;
  if (total == 0) {
    g.lastPoints = 0;
  } else {
    g.bestPoints = std::max(g.bestPoints, g.lastPoints);
    g.pointsShowTimer = 2500;
  }
  CountSize(total);
  PreviewRecord(CurrentRecordValues());
  return total;
}

void StageEndStart() {
  GameState& g = gGame;
  g.firstMilestone = 0;
  g.stageTarget += 9;
  if (!g.slowDownDone && g.stageTarget > 70) {
    g.slowDownDone = 1;
    if (g.variant == kVariantJug || g.variant == kVariantWaist) {
      g.fallPeriod += 5;
    } else {
      g.fallPeriod = 1000;
    }
  }
}

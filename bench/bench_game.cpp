// Game rules speed: whole games played by the headless bot, and the two
// grid scans that run at every landing.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "../tests/support/bot.h"

namespace {

// Frames of bot play, games after games, on all six shapes.
void BM_BotFrames(benchmark::State& state) {
  bot::TempWorkDir workDir;  // the records files of the games
  bot::StartHeadlessGame(1);
  test_host::gHost.choiceOpen = true;
  bot::Player player;
  for (auto _ : state) bot::PlayFrame(player, 16);
  state.SetItemsProcessed(state.iterations());
  state.counters["games"] = player.tally.games;
  bot::EndHeadlessGame();
}
BENCHMARK(BM_BotFrames)->Unit(benchmark::kNanosecond)->MinTime(2.0);

// The largest well, full to the brim: a colour pattern with some runs.
Field FullWell() {
  Field f(17, 17);
  for (int32_t i = 0; i < f.count; ++i) {
    if (f.cellAt(i) == 0) f.setCell(i, 1 + (i * 7 + i / 17) % 6);
  }
  return f;
}

void BM_FindLinesFullWell(benchmark::State& state) {
  const Field f = FullWell();
  int32_t cells[kLineListCapacity], colours[kLineListCapacity];
  int found = 0;
  for (auto _ : state) {
    found = f.findLines(static_cast<int>(state.range(0)), cells, colours, kLineListCapacity);
    benchmark::DoNotOptimize(found);
    benchmark::ClobberMemory();
  }
  state.counters["found"] = found;
}
BENCHMARK(BM_FindLinesFullWell)->Arg(3)->Arg(4);

void BM_FindLinesOneColour(benchmark::State& state) {
  Field f(17, 17);
  for (int32_t i = 0; i < f.count; ++i) {
    if (f.cellAt(i) == 0) f.setCell(i, 4);
  }
  int32_t cells[kLineListCapacity], colours[kLineListCapacity];
  for (auto _ : state) {
    benchmark::DoNotOptimize(f.findLines(3, cells, colours, kLineListCapacity));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FindLinesOneColour);

void BM_GravityStepFullWell(benchmark::State& state) {
  Field f = FullWell();
  for (auto _ : state) {
    benchmark::DoNotOptimize(f.gravityStep());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GravityStepFullWell);

}  // namespace

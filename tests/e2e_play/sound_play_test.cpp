// The real game heard through OpenAL Soft's wave-file back end: silence
// through the intro, then a sound after the turn and the landings, on the
// voices they belong to; the bells of removals are counted.  Keys go
// through XTEST for as long as a player holds them; the game's output file
// is read once it has closed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "e2e/game_run.h"
#include "e2e/x_screen.h"
// After Xlib (x_screen.h).
#include <X11/extensions/XTest.h>

#include "e2e_play/game_screen.h"
#include "game/game.h"
#include "records/records.h"
#include "support/wave_capture.h"

namespace {

using Clock = std::chrono::steady_clock;

using game_screen::SleepMs;

class SoundPlay : public ::testing::Test {
 protected:
  GameRun run;
  XScreen x;
  WindowInfo window;
  Clock::time_point shown;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (DISPLAY)";
    ASSERT_TRUE(x.ok());
    ASSERT_TRUE(run.CopyResources()) << "no generated resources in " << BuildDir() << "/res";
    ASSERT_TRUE(FindWindows(x, "st-DROMO").empty()) << "another game window is on the screen";
  }

  // Seconds since the window was shown.
  double Now() const { return std::chrono::duration<double>(Clock::now() - shown).count(); }

  void Press(const char* keysym, int holdMs = 120) {
    ASSERT_TRUE(game_screen::HoldKey(x, window.id, keysym, holdMs)) << keysym;
  }
};

TEST_F(SoundPlay, TurnsAndLandingsAreHeardAndTheIntroIsSilent) {
  const std::string wav = run.dir + "/out.wav";
  run.env.emplace_back("ALSOFT_CONF", WriteWaveConfig(run.dir, wav));
  run.env.emplace_back("ALSOFT_DRIVERS", "wave");
  ASSERT_TRUE(run.Start());
  window = WaitForWindow(x, "st-DROMO", run.pid, 20000);
  ASSERT_NE(window.id, 0u) << "no window; stderr: " << run.Stderr();
  shown = Clock::now();

  // The intro lasts three seconds; then Up takes the highlighted "спорт".
  SleepMs(4500);
  const double firstKey = Now();
  const std::string records = run.RunPath(RecordsFileNameFor(kVariantSport));
  for (int i = 0; i < 4 && !std::filesystem::exists(records); ++i) {
    Press("Up");
    SleepMs(1000);
  }
  ASSERT_TRUE(std::filesystem::exists(records)) << "no game started; " << run.Stderr();
  SleepMs(300);
  const double turn = Now();
  Press("Up");
  SleepMs(700);

  // Pieces to random columns and down, a player's pace, until the well is
  // full or 40 s are over.
  std::vector<double> drops;
  std::srand(2024);
  const auto end = Clock::now() + std::chrono::seconds(40);
  while (Clock::now() < end && run.Running()) {
    const int move = std::rand() % 7 - 3;
    for (int i = 0; i < std::abs(move); ++i) {
      Press(move < 0 ? "Left" : "Right", 60);
      SleepMs(60);
    }
    drops.push_back(Now());
    Press("Down", 80);
    SleepMs(1400);
  }
  ASSERT_TRUE(run.Running()) << "stderr: " << run.Stderr();
  ASSERT_TRUE(RequestClose(x, window.id));
  ASSERT_TRUE(run.WaitForExit(20000));
  EXPECT_EQ(run.exitCode, 0);

  Recording r;
  ASSERT_TRUE(ReadRecording(wav, r)) << "no sound written; stderr: " << run.Stderr();
  const std::vector<Burst> bursts = FindBursts(r);
  ASSERT_FALSE(bursts.empty()) << "the game made no sound";
  // The first sound is the turn: it places the recording on our clock (the
  // device opens just after the window shows).
  const double offset = bursts[0].start - turn;
  std::printf("recording %.1f s, %zu bursts, device opened %.3f s after the window\n", r.Seconds(),
              bursts.size(), -offset);
  EXPECT_LT(std::fabs(offset), 1.0);
  EXPECT_LT(bursts[0].Length(), 0.2) << "the turn click is short";
  EXPECT_EQ(r.Peak(0, firstKey + offset), 0.0) << "sound during the intro";

  // Every sound that starts: a clear rise over what was still ringing.  The
  // landing and turn voice is centred, the settle voice left, the voice of
  // bonuses and game ends right.
  int centred = 0, left = 0, right = 0;
  for (double t = firstKey + offset; t + 0.05 < r.Seconds(); t += 0.005) {
    const double now = r.Rms(0, t, t + 0.01) + r.Rms(1, t, t + 0.01);
    const double before = r.Rms(0, t - 0.03, t - 0.01) + r.Rms(1, t - 0.03, t - 0.01);
    if (now < 0.02 || now < 3 * before) continue;
    const double balance = r.Rms(1, t, t + 0.01) / r.Rms(0, t, t + 0.01);
    if (std::fabs(balance - 1) < 0.03) {
      ++centred;
    } else if (balance < 1) {
      ++left;
    } else {
      ++right;
    }
    t += 0.1;
  }
  int removals = 0;
  for (double t = firstKey + offset; t + 0.2 < r.Seconds(); t += 0.05) {
    if (BellAt(r, t)) {
      ++removals;
      t += 1.0;
    }
  }
  std::printf("%zu drops; sounds starting: %d centred, %d left, %d right; %d removal bells\n",
              drops.size(), centred, left, right, removals);
  // A piece lands at least every few seconds, each landing is heard.
  EXPECT_GE(centred, 8) << "too few landings heard";
  EXPECT_GE(left, 1) << "the settle voice was never heard";
  // Piece colours are random, so a game may end without a removal: the
  // removal sounds themselves are checked in the sound tests.
  RecordProperty("removal_bells", removals);
}

}  // namespace

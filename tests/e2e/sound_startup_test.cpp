// The real game without its sound: no device, or no sound list.  The game
// says so in its message boxes, in order, and then plays silently.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/game_run.h"
#include "e2e/x_screen.h"

namespace {

constexpr const char* kTitle = "st-DROMO";
constexpr int kTimeoutMs = 20000;

struct SilentCase {
  const char* name;
  const char* drivers;     // ALSOFT_DRIVERS for the game
  const char* removeFile;  // nullptr: nothing removed
  BoxList boxes;           // caption, text, in order
};
void PrintTo(const SilentCase& c, std::ostream* os) {
  *os << c.name;
}

class SilentStart : public ::testing::TestWithParam<SilentCase> {
 protected:
  GameRun run_;
  XScreen x_;
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "needs an X server (DISPLAY)";
    }
    ASSERT_TRUE(x_.ok());
    XInternAtom(x_.display, "_MOTIF_WM_HINTS", False);
    ASSERT_TRUE(run_.CopyResources()) << "no generated resources in " << BuildDir() << "/res";
    ASSERT_TRUE(FindWindows(x_, kTitle).empty()) << "another game window is on the screen";
  }
};

TEST_P(SilentStart, ShowsItsMessagesThenPlays) {
  const SilentCase& c = GetParam();
  run_.env.emplace_back("ALSOFT_DRIVERS", c.drivers);
  if (c.removeFile != nullptr) {
    ASSERT_TRUE(run_.RemoveFile(c.removeFile));
  }
  ASSERT_TRUE(run_.Start());
  for (const auto& [caption, text] : c.boxes) {
    const WindowInfo box = WaitForWindow(x_, caption, run_.pid, kTimeoutMs);
    ASSERT_NE(box.id, 0u) << "no box \"" << caption << "\"; stderr: " << run_.Stderr();
    // Answer until it is gone: the next box only comes then.
    for (int i = 0; i < 600 && !FindWindows(x_, caption).empty() && run_.Running(); ++i) {
      if (i % 100 == 0) SendKey(x_, box.id, "Return");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(FindWindows(x_, caption).empty()) << "the box \"" << caption << "\" stays";
  }
  // Then the game goes on: the window draws the intro and stays up.
  const WindowInfo w = WaitForWindow(x_, kTitle, run_.pid, kTimeoutMs);
  ASSERT_NE(w.id, 0u) << "stderr: " << run_.Stderr();
  bool drawn = false;
  for (int i = 0; i < 500 && !drawn && run_.Running(); ++i) {
    drawn = Grab(x_, w.x, w.y, w.width, w.height, 4).NonBlank();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(drawn) << "no picture after the sound messages";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_TRUE(run_.Running()) << "stderr: " << run_.Stderr();
  ASSERT_TRUE(RequestClose(x_, w.id));
  ASSERT_TRUE(run_.WaitForExit(kTimeoutMs));
  EXPECT_EQ(run_.exitSignal, 0);
  EXPECT_EQ(run_.exitCode, 0);
  const std::string err = run_.Stderr();
  EXPECT_EQ(BoxLinesMissing(err, c.boxes), "") << "missing or out of order; stderr: " << err;
  // Nothing else was said about sound.
  EXPECT_EQ(err.find("ALC error"), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Sound, SilentStart,
    ::testing::Values(
        SilentCase{
            "NoDevice",
            "no-such-driver",
            nullptr,
            {{"Error", "DirectSound3D  sound device not present"}, {"err", "not InitOpenAL"}}},
        SilentCase{"NoSoundList", "null", "res/base/zvu_start.txt", {{"err", "not LoadPackWAV"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

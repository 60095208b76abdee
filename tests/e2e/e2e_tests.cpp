// The real game, as a player meets it: the window, the window-size file, the
// start-up picture, the fatal start-up messages and closing the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <thread>

#include "e2e/game_run.h"
#include "e2e/x_screen.h"

namespace {

constexpr const char* kTitle = "st-DROMO";
// Generous: a loaded machine, sanitisers.  Only hangs should hit these.
constexpr int kWindowTimeoutMs = 20000;
constexpr int kExitTimeoutMs = 20000;

class EndToEnd : public ::testing::Test {
 protected:
  GameRun run_;
  XScreen x_;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (DISPLAY)";
    ASSERT_TRUE(x_.ok()) << "cannot open the X display";
    // Without a window manager nobody has made this atom yet; once it
    // exists, SDL states a borderless window with it, as for a real one.
    XInternAtom(x_.display, "_MOTIF_WM_HINTS", False);
    ASSERT_TRUE(run_.CopyResources()) << "no generated resources in " << BuildDir() << "/res";
    ASSERT_TRUE(FindWindows(x_, kTitle).empty()) << "another game window is on the screen";
  }

  WindowInfo StartAndWaitForWindow() {
    EXPECT_TRUE(run_.Start());
    return WaitForWindow(x_, kTitle, run_.pid, kWindowTimeoutMs);
  }

  // What went wrong when the game did not show what was expected.
  std::string Why() {
    const bool running = run_.Running();
    return std::string(running ? "game running" : "game ended, exit code ") +
           (running ? "" : std::to_string(run_.exitCode)) + "; game " + GameBinary() +
           "; stderr: " + run_.Stderr();
  }

  // Closes the game as the window manager would and expects a clean exit.
  void CloseAndExpectExit0(const WindowInfo& w) {
    ASSERT_TRUE(RequestClose(x_, w.id));
    ASSERT_TRUE(run_.WaitForExit(kExitTimeoutMs)) << "still running after the close request";
    EXPECT_EQ(run_.exitSignal, 0);
    EXPECT_EQ(run_.exitCode, 0) << run_.Stderr();
  }
};

// ------------------------------------------------------ window, picture

TEST_F(EndToEnd, DefaultWindowDrawsTheIntroAndClosesWithExitCode0) {
  const WindowInfo w = StartAndWaitForWindow();
  ASSERT_NE(w.id, 0u) << "no window; " << Why();
  const double mappedMs = run_.MillisecondsSinceStart();
  EXPECT_EQ(w.x, 0);
  EXPECT_EQ(w.y, 0);
  EXPECT_EQ(w.width, 800);
  EXPECT_EQ(w.height, 600);
  EXPECT_TRUE(w.undecorated) << "the window must ask for no border and no caption";
  EXPECT_EQ(w.pid, static_cast<long>(run_.pid));

  // The first picture.  The start-up time to it is printed and kept as a
  // property, not bounded: on a loaded machine (or under Wine) it varies, and
  // a hang is what kWindowTimeoutMs is for.
  Picture pic;
  double firstPictureMs = -1;
  while (run_.MillisecondsSinceStart() < kWindowTimeoutMs && run_.Running()) {
    pic = Grab(x_, w.x, w.y, w.width, w.height, 4);
    if (pic.NonBlank()) {
      firstPictureMs = run_.MillisecondsSinceStart();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::printf("start-up: window shown after %.0f ms, first picture after %.0f ms\n", mappedMs,
              firstPictureMs);
  RecordProperty("window_shown_ms", static_cast<int>(mappedMs));
  RecordProperty("first_picture_ms", static_cast<int>(firstPictureMs));
  ASSERT_GE(firstPictureMs, 0) << "the intro never appeared (lit pixels " << pic.NonBlackPixels()
                               << ", colours " << pic.DistinctColours(8) << ")";
  EXPECT_TRUE(run_.Running());

  CloseAndExpectExit0(w);
  EXPECT_TRUE(FindWindows(x_, kTitle).empty()) << "the window outlived the game";
}

TEST_F(EndToEnd, AltF4ClosesTheGameWithExitCode0) {
  const WindowInfo w = StartAndWaitForWindow();
  ASSERT_NE(w.id, 0u) << Why();
  // The game takes the focus when it shows its window.
  Window focus = 0;
  int revert = 0;
  for (int i = 0; i < 200; ++i) {
    XGetInputFocus(x_.display, &focus, &revert);
    if (focus == w.id) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(focus, w.id) << "the game window did not take the keyboard focus";
  ASSERT_TRUE(TypeChord(x_, {"Alt_L", "F4"}));
  ASSERT_TRUE(run_.WaitForExit(kExitTimeoutMs)) << "Alt+F4 did not end the game";
  EXPECT_EQ(run_.exitCode, 0) << run_.Stderr();
}

// ---------------------------------------------------------- window size

struct SizeCase {
  const char* name;
  const char* wsize;  // nullptr: full screen expected
  int width, height;
};
// Test names carry the case name, not the bytes of the case.
void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.name;
}

class WindowSizeFile : public EndToEnd, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WindowSizeFile, GivesTheWindowItsSize) {
  const SizeCase& c = GetParam();
  run_.WriteFile("wsize.txt", c.wsize);
  int width = c.width, height = c.height;
  if (width == 0) x_.RootSize(&width, &height);
  const WindowInfo w = StartAndWaitForWindow();
  ASSERT_NE(w.id, 0u) << Why();
  EXPECT_EQ(w.x, 0);
  EXPECT_EQ(w.y, 0);
  EXPECT_EQ(w.width, width);
  EXPECT_EQ(w.height, height);
  CloseAndExpectExit0(w);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WindowSizeFile,
    ::testing::Values(SizeCase{"Mode1", "window size\n1\n1024 768\n640 480\n", 1024, 768},
                      SizeCase{"Mode2", "window size\n2\n1024 768\n640 480\n", 640, 480},
                      SizeCase{"OutOfRange", "window size\n1\n5000 768\n640 480\n", 800, 600},
                      SizeCase{"FullScreen", "window size\n3\n1024 768\n640 480\n", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct AnswerCase {
  const char* name;
  const char* key;
  int width, height;
};
void PrintTo(const AnswerCase& c, std::ostream* os) {
  *os << c.name;
}

class WindowSizeQuestion : public EndToEnd, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(WindowSizeQuestion, AnswerChoosesThePair) {
  const AnswerCase& c = GetParam();
  run_.WriteFile("wsize.txt", "window size\n0\n1024 768\n640 480\n");
  ASSERT_TRUE(run_.Start());
  const WindowInfo box = WaitForWindow(x_, "WindowSize(Размер окна)", run_.pid, kWindowTimeoutMs);
  ASSERT_NE(box.id, 0u) << "no question; " << Why();
  EXPECT_NE(run_.Stderr().find("Yes(Да): 1024x768    No(Нет): 640x480 (File wsize.txt)"),
            std::string::npos)
      << run_.Stderr();
  ASSERT_TRUE(SendKey(x_, box.id, c.key));
  const WindowInfo w = WaitForWindow(x_, kTitle, run_.pid, kWindowTimeoutMs);
  ASSERT_NE(w.id, 0u) << Why();
  EXPECT_EQ(w.width, c.width);
  EXPECT_EQ(w.height, c.height);
  CloseAndExpectExit0(w);
}

INSTANTIATE_TEST_SUITE_P(Answers, WindowSizeQuestion,
                         ::testing::Values(AnswerCase{"Yes", "Return", 1024, 768},
                                           AnswerCase{"No", "Escape", 640, 480}),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------- missing start-up files

// The first picture the texture list names (a line "res/....tga").
std::string FirstListedTexture(const GameRun& run) {
  std::ifstream in(run.RunPath("res/base/pix_start.txt"));
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.rfind("res/", 0) == 0 && line.size() > 4 && line.ends_with(".tga")) return line;
  }
  return std::string();
}

struct MissingCase {
  const char* name;
  const char* file;  // nullptr: the first texture of the list
  BoxList boxes;     // caption, text, in order
};
void PrintTo(const MissingCase& c, std::ostream* os) {
  *os << c.name;
}

class MissingFile : public EndToEnd, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingFile, StopsWithItsMessageAndExitCode0) {
  const MissingCase& c = GetParam();
  const std::string file = c.file != nullptr ? c.file : FirstListedTexture(run_);
  ASSERT_FALSE(file.empty()) << "the texture list names no picture";
  ASSERT_TRUE(run_.RemoveFile(file)) << file;
  ASSERT_TRUE(run_.Start());
  // Each box waits for its answer, as it would for a player.
  for (const auto& [caption, text] : c.boxes) {
    const WindowInfo box = WaitForWindow(x_, caption, run_.pid, kWindowTimeoutMs);
    ASSERT_NE(box.id, 0u) << "no box \"" << caption << "\"; " << Why();
    ASSERT_TRUE(SendKey(x_, box.id, "Return"));
    // The next box only comes once this one is gone.
    for (int i = 0; i < 500 && !FindWindows(x_, caption).empty(); ++i) {
      if (!run_.Running()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (i % 100 == 99) SendKey(x_, box.id, "Return");
    }
  }
  ASSERT_TRUE(run_.WaitForExit(kExitTimeoutMs)) << "still running; stderr: " << run_.Stderr();
  EXPECT_EQ(run_.exitCode, 0);
  const std::string err = run_.Stderr();
  EXPECT_EQ(BoxLinesMissing(err, c.boxes), "") << "missing or out of order; stderr: " << err;
  EXPECT_TRUE(FindWindows(x_, kTitle).empty()) << "the window outlived the game";
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, MissingFile,
    ::testing::Values(MissingCase{"Fonts", "res/base/_tfonts.txt", {{"Error", "not InitGL"}}},
                      MissingCase{"Bindings", "res/base/sig.txt", {{"Error", "not InitGL"}}},
                      MissingCase{"TextureList",
                                  "res/base/pix_start.txt",
                                  {{"err", "not Load TGA"}, {"Error", "not InitGL"}}},
                      MissingCase{
                          "Texture", nullptr, {{"err", "not Load TGA"}, {"Error", "not InitGL"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, WithoutAnXServerTheReasonGoesToStandardError) {
  ASSERT_TRUE(run_.Start(/*withDisplay=*/false));
  ASSERT_TRUE(run_.WaitForExit(kExitTimeoutMs));
  EXPECT_EQ(run_.exitCode, 0);
  EXPECT_NE(run_.Stderr().find("Error: not RegisterClass\n"), std::string::npos) << run_.Stderr();
}

}  // namespace

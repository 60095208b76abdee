// Records files move between the Windows and the Linux game: each build
// reads the other's file as it is.  A file that a game cannot read it
// replaces with a fresh default table, whose salt bytes are drawn anew, so a
// file left byte for byte as it was has been read.  Both games are real:
// dromo.exe under Wine and the Linux dromo, in folders whose paths are not
// ASCII, driven by XTEST keys and closed with Alt+F4; the two builds'
// dromo-records must print each file alike.
//
// Environment (set by the Windows build's test): DROMO_WIN_GAME and
// DROMO_WIN_RECORDS run dromo.exe and dromo-records.exe under Wine,
// DROMO_LINUX_GAME and DROMO_LINUX_RECORDS are the Linux programs, and
// DROMO_BUILD_DIR holds the generated res/.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "e2e/x_screen.h"
// After Xlib (x_screen.h), whose macros GoogleTest must not see.
#include <X11/extensions/XTest.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kTitle = "st-DROMO";
// The file of "спорт", the shape the choice starts on.
constexpr const char* kRecordsFile = "dromov2-0402";
constexpr int kRecordsSize = 1280;

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One game in a folder of its own, killed if a check fails half-way.
struct Game {
  pid_t pid = -1;
  int exitCode = -1;
  fs::path dir;
  ~Game() { Kill(); }

  bool Start(const std::string& binary, const fs::path& runDir) {
    dir = runDir;
    pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
      if (chdir(runDir.c_str()) != 0) _exit(126);
      const int err = open("../stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (err >= 0) {
        dup2(err, 1);
        dup2(err, 2);
        close(err);
      }
      setenv("ALSOFT_DRIVERS", "null", 1);
      execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    return true;
  }
  bool Running() {
    if (pid <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == 0) return true;
    if (r == pid && WIFEXITED(status)) exitCode = WEXITSTATUS(status);
    pid = -1;
    return false;
  }
  bool WaitForExit(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
      if (Clock::now() > deadline) return false;
      SleepMs(20);
    }
    return true;
  }
  void Kill() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }
  std::string Output() const { return ReadAll(dir.parent_path() / "stderr.txt"); }
};

// A path for the shell, followed by a blank.
std::string Quoted(const std::string& path) {
  return std::string("'").append(path).append("' ");
}

// Standard output of a command run in `dir`, with its exit status; the CR of
// Windows line ends is dropped.
struct Printed {
  int status = -1;
  std::string text;
};
Printed RunIn(const fs::path& dir, const std::string& command) {
  Printed p;
  // append() rather than "literal" + string: GCC 12 warns wrongly on the latter at -O3.
  const std::string line = std::string("cd '")
                               .append(dir.string())
                               .append("' && ")
                               .append(command)
                               .append(" 2>/dev/null");
  FILE* f = popen(line.c_str(), "r");
  if (f == nullptr) return p;
  char buf[4096];
  size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) p.text.append(buf, n);
  const int status = pclose(f);
  p.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::string plain;
  for (char c : p.text) {
    if (c != '\r') plain.push_back(c);
  }
  p.text = plain;
  return p;
}

class RecordsExchange : public ::testing::Test {
 protected:
  XScreen x;
  fs::path scratch;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (DISPLAY)";
    for (const char* v : {"DROMO_WIN_GAME", "DROMO_WIN_RECORDS", "DROMO_LINUX_GAME",
                          "DROMO_LINUX_RECORDS", "DROMO_BUILD_DIR"}) {
      ASSERT_FALSE(Env(v).empty()) << v << " is not set";
    }
    ASSERT_TRUE(x.ok());
    char tmpl[] = "/tmp/dromo-exchange-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    scratch = tmpl;
    ASSERT_TRUE(FindWindows(x, kTitle).empty()) << "another game window is on the screen";
  }
  void TearDown() override {
    std::error_code ec;
    if (!scratch.empty()) fs::remove_all(scratch, ec);
  }

  // A working folder with a Cyrillic name and a space, holding res/.
  fs::path MakeRunDir(const std::string& name) {
    const fs::path game = scratch / name;
    const fs::path run = game / "Игра Дромо";
    fs::create_directories(run);
    std::error_code ec;
    fs::copy(fs::path(Env("DROMO_BUILD_DIR")) / "res", run / "res", fs::copy_options::recursive,
             ec);
    EXPECT_FALSE(ec) << ec.message();
    return run;
  }

  // A key held long enough for a slow frame to see it, typed into `w`.
  void Press(Window w, const char* keysym) {
    const KeyCode code = XKeysymToKeycode(x.display, XStringToKeysym(keysym));
    XSetInputFocus(x.display, w, RevertToParent, CurrentTime);
    XTestFakeKeyEvent(x.display, code, True, CurrentTime);
    XFlush(x.display);
    SleepMs(250);
    XTestFakeKeyEvent(x.display, code, False, CurrentTime);
    XFlush(x.display);
  }

  // Pixels of a rectangle (window coordinates, y down) that pass a test.
  template <typename Test>
  int Count(const WindowInfo& w, int left, int top, int width, int height, Test test) {
    const Picture p = Grab(x, w.x + left, w.y + top, width, height, 2);
    int n = 0;
    for (unsigned px : p.rgb) {
      n += test(static_cast<int>(px >> 16), static_cast<int>((px >> 8) & 0xFF),
                static_cast<int>(px & 0xFF))
               ? 1
               : 0;
    }
    return n;
  }

  // The shape choice: its yellow caption above the six shapes.
  bool ChoiceShown(const WindowInfo& w) {
    return Count(w, 140, 462, 200, 22,
                 [](int r, int g, int b) { return r > 150 && g > 150 && b < 120; }) > 40;
  }

  // The records list at the right edge: lines of light text on dark once a
  // shape is chosen and its table read (dark there on the shape choice).
  bool RecordsListShown(const WindowInfo& w) {
    const int bright = Count(w, 700, 30, 60, 540,
                             [](int r, int g, int b) { return (2 * r + 5 * g + b) / 8 > 150; });
    return bright > 100 && bright < 30 * 270 * 4 / 10;
  }

  // Starts a game, chooses the first shape with Up once the intro is over,
  // waits until its table is shown, then closes it with Alt+F4.
  void PlayToTheTable(const std::string& binary, const fs::path& run) {
    Game game;
    ASSERT_TRUE(game.Start(binary, run));
    const WindowInfo w = WaitForWindow(x, kTitle, game.pid, 30000);
    ASSERT_NE(w.id, 0u) << "no window; output: " << game.Output();
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, 0);
    EXPECT_EQ(w.width, 800);
    EXPECT_EQ(w.height, 600);
    bool choice = false;
    for (auto until = Clock::now() + std::chrono::seconds(30);
         !choice && Clock::now() < until && game.Running(); SleepMs(50)) {
      choice = ChoiceShown(w);
    }
    ASSERT_TRUE(choice) << "no shape choice; output: " << game.Output();
    // A press shorter than a frame can be missed; a second one is harmless.
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
      Press(w.id, "Up");
      for (auto until = Clock::now() + std::chrono::seconds(4);
           !shown && Clock::now() < until && game.Running(); SleepMs(50)) {
        shown = !ChoiceShown(w) && RecordsListShown(w);
      }
    }
    ASSERT_TRUE(shown) << "no records list after choosing a shape; output: " << game.Output();
    ASSERT_TRUE(fs::exists(run / kRecordsFile));
    EXPECT_EQ(fs::file_size(run / kRecordsFile), static_cast<uintmax_t>(kRecordsSize));
    XSetInputFocus(x.display, w.id, RevertToParent, CurrentTime);
    ASSERT_TRUE(TypeChord(x, {"Alt_L", "F4"}));
    ASSERT_TRUE(game.WaitForExit(20000)) << "Alt+F4 did not end " << binary;
    EXPECT_EQ(game.exitCode, 0) << game.Output();
  }

  // Both builds' dromo-records print the file alike, with twenty ranks.
  void BothToolsPrintAlike(const fs::path& run) {
    const Printed onLinux = RunIn(run, Quoted(Env("DROMO_LINUX_RECORDS")).append(kRecordsFile));
    const Printed onWindows = RunIn(run, Quoted(Env("DROMO_WIN_RECORDS")).append(kRecordsFile));
    EXPECT_EQ(onLinux.status, 0);
    EXPECT_EQ(onWindows.status, 0);
    EXPECT_EQ(onLinux.text, onWindows.text);
    int lines = 0;
    for (char c : onLinux.text) lines += c == '\n';
    EXPECT_EQ(lines, 20) << onLinux.text;
  }
};

TEST_F(RecordsExchange, EachBuildReadsTheOthersFileUnchanged) {
  // ---- the Windows game writes the table; the Linux game reads it
  const fs::path win = MakeRunDir("windows");
  ASSERT_FALSE(fs::exists(win / kRecordsFile));
  PlayToTheTable(Env("DROMO_WIN_GAME"), win);
  if (HasFatalFailure()) return;
  const std::string fromWindows = ReadAll(win / kRecordsFile);
  BothToolsPrintAlike(win);

  const fs::path lin = MakeRunDir("linux");
  fs::copy_file(win / kRecordsFile, lin / kRecordsFile);
  PlayToTheTable(Env("DROMO_LINUX_GAME"), lin);
  if (HasFatalFailure()) return;
  EXPECT_EQ(ReadAll(lin / kRecordsFile), fromWindows)
      << "the Linux game replaced the Windows build's file";

  // ---- the Linux game writes the table; the Windows game reads it
  const fs::path lin2 = MakeRunDir("linux2");
  PlayToTheTable(Env("DROMO_LINUX_GAME"), lin2);
  if (HasFatalFailure()) return;
  const std::string fromLinux = ReadAll(lin2 / kRecordsFile);
  ASSERT_NE(fromLinux, fromWindows) << "each written table has salts of its own";

  const fs::path win2 = MakeRunDir("windows2");
  fs::copy_file(lin2 / kRecordsFile, win2 / kRecordsFile);
  PlayToTheTable(Env("DROMO_WIN_GAME"), win2);
  if (HasFatalFailure()) return;
  EXPECT_EQ(ReadAll(win2 / kRecordsFile), fromLinux)
      << "the Windows game replaced the Linux build's file";
  BothToolsPrintAlike(win2);
}

}  // namespace

// The game on an X server without core fonts, where no message box can be
// shown: each box's text still reaches standard error, its default answer
// is taken, and nothing waits for a box that never appears.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "e2e/game_run.h"
#include "e2e/x_screen.h"

namespace {

constexpr int kTimeoutMs = 20000;

// A private Xvfb with only the server's built-in fonts ("fixed" and the
// cursor): the fonts that SDL's boxes ask for are missing.
class FontlessServer : public ::testing::Test {
 protected:
  pid_t server = -1;
  std::string display;
  std::string savedDisplay;
  bool hadDisplay = false;

  void SetUp() override {
    for (int n = 240; n < 300 && server < 0; ++n) {
      const std::string number = std::to_string(n);
      const std::string lock = std::string("/tmp/.X").append(number).append("-lock");
      const std::string sock = std::string("/tmp/.X11-unix/X").append(number);
      if (std::filesystem::exists(lock) || std::filesystem::exists(sock)) continue;
      display = std::string(":").append(number);
      server = fork();
      ASSERT_GE(server, 0);
      if (server == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
          dup2(null, 1);
          dup2(null, 2);
        }
        execlp("Xvfb", "Xvfb", display.c_str(), "-fp", "built-ins", "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
      }
      bool up = false;
      for (int i = 0; i < 100 && !up; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        up = std::filesystem::exists(sock);
      }
      ASSERT_TRUE(up) << "Xvfb did not start on " << display;
    }
    ASSERT_GT(server, 0) << "no free display number";
    const char* d = std::getenv("DISPLAY");
    hadDisplay = d != nullptr;
    if (hadDisplay) savedDisplay = d;
    setenv("DISPLAY", display.c_str(), 1);
    x = std::make_unique<XScreen>();
    ASSERT_TRUE(x->ok()) << "cannot open " << display;
    ASSERT_TRUE(run.CopyResources()) << "no generated resources in " << BuildDir() << "/res";
  }

  void TearDown() override {
    run.Kill();
    x.reset();
    if (hadDisplay) {
      setenv("DISPLAY", savedDisplay.c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
    if (server > 0) {
      kill(server, SIGTERM);
      int status = 0;
      waitpid(server, &status, 0);
    }
  }

  std::unique_ptr<XScreen> x;
  GameRun run;
};

TEST_F(FontlessServer, TheWindowSizeQuestionTakesItsDefaultAnswer) {
  run.WriteFile("wsize.txt", "window size\n0\n1024 768\n640 480\n");
  ASSERT_TRUE(run.Start());
  // Unanswered, the question means No: the second pair.
  const WindowInfo w = WaitForWindow(*x, "st-DROMO", run.pid, kTimeoutMs);
  ASSERT_NE(w.id, 0u) << "no game window; stderr: " << run.Stderr();
  EXPECT_EQ(w.width, 640);
  EXPECT_EQ(w.height, 480);
  EXPECT_TRUE(FindWindows(*x, "WindowSize(Размер окна)").empty()) << "a box did appear";
  EXPECT_NE(
      run.Stderr().find(
          "WindowSize(Размер окна): Yes(Да): 1024x768    No(Нет): 640x480 (File wsize.txt)\n"),
      std::string::npos)
      << run.Stderr();
  ASSERT_TRUE(RequestClose(*x, w.id));
  ASSERT_TRUE(run.WaitForExit(kTimeoutMs));
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(FontlessServer, AMissingFileStillEndsWithItsMessagesAndExitCode0) {
  ASSERT_TRUE(run.RemoveFile("res/base/pix_start.txt"));
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.WaitForExit(kTimeoutMs)) << "waits for a box nobody sees; " << run.Stderr();
  EXPECT_EQ(run.exitCode, 0);
  const std::string err = run.Stderr();
  const size_t first = err.find("err: not Load TGA\n");
  EXPECT_NE(first, std::string::npos) << err;
  EXPECT_NE(err.find("Error: not InitGL\n", first), std::string::npos) << err;
}

}  // namespace

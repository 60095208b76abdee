// The window size choice from "wsize.txt": its four modes, the question of
// mode 0, the accepted range and hostile files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/app_state.h"
#include "app/window.h"
#include "base/text.h"
#include "platform/platform.h"

namespace {

int gBoxAnswer = IDYES;
int gBoxCount = 0;
std::string gBoxText, gBoxCaption;
uint32_t gBoxFlags = 0;

int AnswerBox(const char* text, const char* caption, uint32_t flags) {
  ++gBoxCount;
  gBoxText = text;
  gBoxCaption = caption;
  gBoxFlags = flags;
  return gBoxAnswer;
}

int gScreenW = 1366, gScreenH = 768;
void FakeScreen(int* w, int* h) {
  *w = gScreenW;
  *h = gScreenH;
}

class WindowSize : public ::testing::Test {
 protected:
  std::string path_;

  void SetUp() override {
    char tmpl[] = "/tmp/dromo-wsize-XXXXXX";
    const int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    close(fd);
    path_ = tmpl;
    gApp.windowWidth = 800;
    gApp.windowHeight = 600;
    gBoxCount = 0;
    gBoxText.clear();
    gBoxAnswer = IDYES;
    gScreenW = 1366;
    gScreenH = 768;
    SetMessageBoxHook(AnswerBox);
    SetScreenSizeSource(FakeScreen);
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    SetScreenSizeSource(nullptr);
    std::remove(path_.c_str());
  }
  void Choose(const std::string& content) {
    std::ofstream(path_, std::ios::binary) << content;
    ChooseWindowSizeFrom(path_.c_str());
  }
};

struct SizeCase {
  const char* what;
  std::string content;
  int answer;  // to the mode-0 question
  int width, height;
  int boxes;
};

const char kNoise[] = "\x01\xFF\xFE\x00\n\x80\x90zz\n\xC0\xC1 \x7F\n";

TEST_F(WindowSize, ModesRangesAndHostileContent) {
  const SizeCase cases[] = {
      {"mode 1", "size\n1\n1024 768\n640 480\n", IDYES, 1024, 768, 0},
      {"mode 2", "size\n2\n1024 768\n640 480\n", IDYES, 640, 480, 0},
      {"mode 0, Yes", "size\n0\n1024 768\n640 480\n", IDYES, 1024, 768, 1},
      {"mode 0, No", "size\n0\n1024 768\n640 480\n", IDNO, 640, 480, 1},
      {"mode 0, box closed", "size\n0\n1024 768\n640 480\n", IDOK, 640, 480, 1},
      {"mode 0, No, bad pair", "size\n0\n1024 768\n640 100\n", IDNO, 800, 600, 1},
      {"full screen 3", "size\n3\n1024 768\n640 480\n", IDYES, 1366, 768, 0},
      {"full screen -1", "size\n-1\n1024 768\n640 480\n", IDYES, 1366, 768, 0},
      {"full screen, no pairs", "size\n77\n", IDYES, 1366, 768, 0},
      {"smallest", "size\n1\n300 200\n", IDYES, 300, 200, 0},
      {"largest", "size\n1\n4000 3000\n", IDYES, 4000, 3000, 0},
      {"too narrow", "size\n1\n299 600\n", IDYES, 800, 600, 0},
      {"too wide", "size\n1\n4001 600\n", IDYES, 800, 600, 0},
      {"too low", "size\n1\n1024 199\n", IDYES, 800, 600, 0},
      {"too high", "size\n1\n1024 3001\n", IDYES, 800, 600, 0},
      {"negative", "size\n1\n-1024 -768\n", IDYES, 800, 600, 0},
      {"comments after the numbers", "size\n2 two\n1 2 pair one\n1280 1024 pair two\n", IDYES, 1280,
       1024, 0},
      {"CRLF lines", "size\r\n1\r\n1024 768\r\n640 480\r\n", IDYES, 1024, 768, 0},
      {"pair missing", "size\n2\n1024 768\n", IDYES, 800, 600, 0},
      {"pair half read", "size\n1\n1024\n", IDYES, 800, 600, 0},
      {"unreadable pair", "size\n1\nwide high\n640 480\n", IDYES, 800, 600, 0},
      {"number too big", "size\n1\n99999999999 768\n", IDYES, 800, 600, 0},
      {"empty file", "", IDYES, 800, 600, 0},
      {"only a comment", "size\n", IDYES, 800, 600, 0},
      {"mode unreadable", "size\none\n1024 768\n640 480\n", IDYES, 800, 600, 0},
      {"mode too big", "size\n99999999999\n1024 768\n", IDYES, 800, 600, 0},
      {"random bytes", std::string(kNoise, sizeof kNoise - 1), IDYES, 800, 600, 0},
      {"long first line", std::string(100000, 'x') + "\n1\n1024 768\n", IDYES, 1024, 768, 0},
  };
  for (const SizeCase& c : cases) {
    gApp.windowWidth = 800;
    gApp.windowHeight = 600;
    gBoxCount = 0;
    gBoxAnswer = c.answer;
    Choose(c.content);
    EXPECT_EQ(gApp.windowWidth, c.width) << c.what;
    EXPECT_EQ(gApp.windowHeight, c.height) << c.what;
    EXPECT_EQ(gBoxCount, c.boxes) << c.what;
  }
}

TEST_F(WindowSize, TheQuestionShowsBothPairsInWindows1251) {
  Choose("size\n0\n1024 768\n640 480\n");
  ASSERT_EQ(gBoxCount, 1);
  EXPECT_EQ(gBoxText, std::string("Yes(Да): 1024x768    No(Нет): 640x480 (File wsize.txt)"_w));
  EXPECT_EQ(gBoxText.substr(0, 8), "Yes(\xC4\xE0):");
  EXPECT_EQ(gBoxCaption, std::string("WindowSize(Размер окна)"_w));
  EXPECT_EQ(gBoxFlags, static_cast<uint32_t>(MB_YESNO)) << "Yes/No, no icon";
}

TEST_F(WindowSize, FullScreenIsNotRangeChecked) {
  gScreenW = 200;
  gScreenH = 150;
  Choose("size\n5\n");
  EXPECT_EQ(gApp.windowWidth, 200);
  EXPECT_EQ(gApp.windowHeight, 150);
}

TEST_F(WindowSize, MissingFileKeepsTheDefaultSilently) {
  std::remove(path_.c_str());
  ChooseWindowSizeFrom(path_.c_str());
  EXPECT_EQ(gApp.windowWidth, 800);
  EXPECT_EQ(gApp.windowHeight, 600);
  EXPECT_EQ(gBoxCount, 0);
}

TEST_F(WindowSize, TheGameReadsWsizeTxtInTheWorkingDirectory) {
  char tmpl[] = "/tmp/dromo-wsize-dir-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(tmpl), 0);
  std::ofstream("wsize.txt") << "size\n2\n1024 768\n640 480\n";
  ChooseWindowSize();
  std::remove("wsize.txt");
  ASSERT_EQ(chdir(old), 0);
  rmdir(tmpl);
  EXPECT_EQ(gApp.windowWidth, 640);
  EXPECT_EQ(gApp.windowHeight, 480);
}

}  // namespace

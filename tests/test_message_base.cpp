// The bilingual message base and the stage background pictures.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/gl_context.h"
#include "app/app_state.h"
#include "base/text.h"
#include "gfx/resources.h"
#include "platform/platform.h"

namespace {

class MessageBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/dromo-msg-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    ClearMessageBase();
    gApp.languageFlag = 0;
  }
  void TearDown() override {
    ClearMessageBase();
    gApp.languageFlag = 0;
    std::filesystem::remove_all(dir);
  }
  int Load(const std::string& text) {
    const std::string path = dir + "/msgbase.txt";
    std::ofstream(path, std::ios::binary) << text;
    return LoadMessageBase(path.c_str());
  }
  std::string dir;
};

TEST_F(MessageBaseTest, EmptyBaseShowsPlaceholders) {
  EXPECT_EQ(LoadMessageBase((dir + "/missing.txt").c_str()), 0);
  for (int k : {-1, 0, 1, 12, 1000}) EXPECT_EQ(Message(k), "...") << k;
}

TEST_F(MessageBaseTest, LanguageFlagPicksTheText) {
  const std::string base = std::string("2 messages\n") + "--- 1\nStart\n" + "Старт"_w + "\n" +
                           "--- 2\n  Press a key \n" + "Нажмите"_w + "\n";
  ASSERT_EQ(Load(base), 1);
  EXPECT_EQ(Message(1), "Старт"_w);  // Russian, the start-up language
  EXPECT_EQ(Message(2), "Нажмите"_w);
  gApp.languageFlag = 1;
  EXPECT_EQ(Message(1), "Start");
  EXPECT_EQ(Message(2), "  Press a key ");  // stored exactly as written
  EXPECT_EQ(Message(0), ".0.");
  EXPECT_EQ(Message(-7), ".0.");
  EXPECT_EQ(Message(3), ".Z.");
  EXPECT_EQ(Message(0x7FFFFFFF), ".Z.");
}

TEST_F(MessageBaseTest, CountsBelowTwoLeaveTheBaseEmpty) {
  for (const char* text : {"1\n--\nA\nB\n", "0\n", "-5\n--\nA\nB\n", "none\n--\nA\nB\n", ""}) {
    SCOPED_TRACE(text);
    ASSERT_EQ(Load("3\n--\nold\nold\n"), 1);
    ASSERT_EQ(Message(1), "old");
    // The file opens, so the base is replaced, by nothing.
    EXPECT_EQ(Load(text), 1);
    EXPECT_EQ(Message(1), "...");
  }
}

TEST_F(MessageBaseTest, MissingFileKeepsTheLoadedBase) {
  ASSERT_EQ(Load("2\n--\nA\nB\n--\nC\nD\n"), 1);
  EXPECT_EQ(LoadMessageBase((dir + "/missing.txt").c_str()), 0);
  EXPECT_EQ(LoadMessageBase(nullptr), 0);
  EXPECT_EQ(Message(2), "D");
}

TEST_F(MessageBaseTest, ShortFileAppendsEmptyTexts) {
  ASSERT_EQ(Load("3 comment\n-- one\nA\nB\n-- two\nC"), 1);
  gApp.languageFlag = 1;
  EXPECT_EQ(Message(1), "A");
  EXPECT_EQ(Message(2), "C");
  gApp.languageFlag = 0;
  EXPECT_EQ(Message(2), "");
  EXPECT_EQ(Message(3), "");
  EXPECT_EQ(Message(4), ".Z.");
}

TEST_F(MessageBaseTest, CrBeforeLineFeedIsNotPartOfTheText) {
  ASSERT_EQ(Load("2\r\n--\r\nA\r\nB \r\n--\r\n\r\nD\r\n"), 1);
  EXPECT_EQ(Message(1), "B ");
  gApp.languageFlag = 1;
  EXPECT_EQ(Message(2), "");
}

TEST_F(MessageBaseTest, HostileFilesStayBounded) {
  // An absurd count is read as far as it makes sense, without storing
  // billions of empty texts.
  ASSERT_EQ(Load("2000000000\n--\nA\nB\n"), 1);
  EXPECT_EQ(Message(1), "B");
  EXPECT_EQ(Message(2), "");
  EXPECT_EQ(Message(10000), "");
  EXPECT_EQ(Message(10001), ".Z.");
  // Binary noise: whatever it yields, asking for texts must not fail.
  std::string noise;
  for (int i = 0; i < 4000; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
  EXPECT_EQ(Load("5\n" + noise), 1);
  EXPECT_EQ(Message(6), ".Z.");
}

// ----------------------------------------------------------- backgrounds

std::vector<uint8_t> SolidTga(int w, int h) {
  std::vector<uint8_t> b(18 + static_cast<size_t>(w) * h * 4, 0x80);
  std::fill(b.begin(), b.begin() + 18, uint8_t{0});
  b[2] = 2;
  b[12] = static_cast<uint8_t>(w);
  b[14] = static_cast<uint8_t>(h);
  b[16] = 32;
  return b;
}

// Pictures "res/fon<n>.tga" of width n (so the loaded one can be told), in a
// working directory of their own.
class BackgroundTest : public GlSuite<16, 16> {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_TRUE(sContext) << "no GL context although DISPLAY is set";
    haveContext = true;
    ResetGlState(16, 16);
    char tmpl[] = "/tmp/dromo-fon-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    oldDir = std::filesystem::current_path();
    std::filesystem::create_directory(dir + "/res");
    std::filesystem::current_path(dir);
    for (int n = 1; n <= 9; ++n) Picture(n, 8);
    savedHeight = gApp.windowHeight;
    gApp.windowHeight = 8;
  }
  void TearDown() override {
    if (!haveContext) return;
    gApp.windowHeight = savedHeight;
    FreePixels(gBackgroundTexture);
    DeleteTexture(gBackgroundTexture);
    std::filesystem::current_path(oldDir);
    std::filesystem::remove_all(dir);
  }
  void Picture(int n, int height) {
    const auto b = SolidTga(n, height);
    std::ofstream("res/fon" + std::to_string(n) + ".tga", std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
  }
  bool haveContext = false;
  std::string dir;
  std::filesystem::path oldDir;
  int savedHeight = 600;
};

TEST_F(BackgroundTest, NormalisedNumbersPickOddPictures) {
  struct Case {
    int n, normalise;
    std::vector<int> allowed;  // picture widths that may be loaded
  };
  const Case cases[] = {
      {-4, 1, {1}},   {0, 1, {1}},    {1, 1, {1}},    {2, 1, {3}}, {3, 1, {3}},    {4, 1, {5}},
      {6, 1, {7, 8}}, {8, 1, {7, 8}}, {9, 1, {7, 8}}, {9, 0, {9}}, {7, 0, {7, 8}}, {5, 0, {5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.n << "/" << c.normalise);
    DeleteTexture(gBackgroundTexture);
    SelectBackground(c.n, c.normalise);
    ASSERT_TRUE(UseBackground());
    ASSERT_NE(gBackgroundTexture.glName, 0u);
    EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), gBackgroundTexture.width),
              c.allowed.end())
        << gBackgroundTexture.width;
    EXPECT_EQ(gBackgroundTexture.pixels, nullptr);
    GLint minF = 0, magF = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minF);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magF);
    EXPECT_EQ(minF, GL_NEAREST);  // even for a 32-bit picture
    EXPECT_EQ(magF, GL_NEAREST);
  }
}

TEST_F(BackgroundTest, PictureSevenBecomesSevenOrEight) {
  bool seen7 = false, seen8 = false;
  for (int i = 0; i < 64 && !(seen7 && seen8); ++i) {
    SelectBackground(7, 0);
    UseBackground();
    seen7 |= gBackgroundTexture.width == 7;
    seen8 |= gBackgroundTexture.width == 8;
  }
  EXPECT_TRUE(seen7);
  EXPECT_TRUE(seen8);
}

TEST_F(BackgroundTest, EvenStagesKeepThePicture) {
  SelectBackground(3, 0);
  ASSERT_TRUE(UseBackground());
  const uint32_t name = gBackgroundTexture.glName;
  gBackgroundY = -5;
  SelectBackground(4, 0);
  EXPECT_EQ(gBackgroundTexture.glName, name);
  EXPECT_EQ(gBackgroundTexture.width, 3);
  EXPECT_EQ(gBackgroundY, 0.0f);
}

TEST_F(BackgroundTest, MissingPictureLeavesNoBackground) {
  SelectBackground(1, 0);
  ASSERT_TRUE(UseBackground());
  std::filesystem::remove("res/fon11.tga");
  SelectBackground(11, 0);
  EXPECT_EQ(gBackgroundTexture.glName, 0u);
  EXPECT_FALSE(UseBackground());
  EXPECT_EQ(gBackgroundTexture.pixels, nullptr);
  SelectBackground(-3, 0);  // not normalised: "res/fon-3.tga" does not exist
  EXPECT_EQ(gBackgroundTexture.glName, 0u);
}

// Only a picture that is drawn is held: the one chosen is read when it is
// first drawn, and the one before goes when another is chosen.
TEST_F(BackgroundTest, AChosenPictureIsReadWhenFirstDrawn) {
  SelectBackground(3, 0);
  EXPECT_EQ(gBackgroundTexture.glName, 0u);
  ASSERT_TRUE(UseBackground());
  EXPECT_EQ(gBackgroundTexture.width, 3);
  EXPECT_EQ(gBackgroundTexture.pixels, nullptr);
  SelectBackground(5, 0);
  EXPECT_EQ(gBackgroundTexture.glName, 0u);
  ASSERT_TRUE(UseBackground());
  EXPECT_EQ(gBackgroundTexture.width, 5);
  const uint32_t name = gBackgroundTexture.glName;
  ASSERT_TRUE(UseBackground());  // read once
  EXPECT_EQ(gBackgroundTexture.glName, name);

  // A picture whose header reads but whose pixels are cut short: nothing
  // is drawn, as when it fails to load at once.
  auto b = SolidTga(9, 8);
  b.resize(b.size() / 2);
  std::ofstream("res/fon9.tga", std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
  SelectBackground(9, 0);
  EXPECT_FALSE(UseBackground());
  EXPECT_EQ(gBackgroundTexture.glName, 0u);
  EXPECT_EQ(gBackgroundTexture.pixels, nullptr);
}

TEST_F(BackgroundTest, TallPicturesShowARandomBand) {
  Picture(1, 8);  // exactly as tall as the window
  SelectBackground(1, 0);
  EXPECT_EQ(gBackgroundY, 0.0f);
  Picture(1, 20);
  for (unsigned seed : {1u, 2u, 3u, 77u}) {
    std::srand(seed);
    const int want = std::rand() % 13;  // Random(0, 20 - 8)
    std::srand(seed);
    SelectBackground(1, 0);
    EXPECT_EQ(gBackgroundY, -static_cast<float>(want)) << seed;
  }
}

}  // namespace

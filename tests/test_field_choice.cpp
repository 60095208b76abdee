// The choice of the well shape before each game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "app/app_state.h"
#include "base/text.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "ui/fonts.h"
#include "ui/field_choice.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

namespace {

// Runs before any test changes the choice: the first game offers "спорт".
TEST(FieldChoiceStart, HighlightStartsOnSport) {
  EXPECT_EQ(gSelectedShape, 2);
  EXPECT_EQ(gChoiceState, 0);
  EXPECT_STREQ(ShapeName(gSelectedShape), "спорт"_w);
}

TEST(FieldChoiceNames, ByShapeNumber) {
  const char* const names[] = {"лёгкое"_w, "спорт"_w, "кувшин"_w,
                               "бутыль"_w, "талия"_w, "помеха"_w};
  for (int shape = 1; shape <= 6; ++shape) EXPECT_STREQ(ShapeName(shape), names[shape - 1]);
  EXPECT_STREQ(ShapeName(0), "");
  EXPECT_STREQ(ShapeName(7), "");
}

class FieldChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleasePanelTree();
    SetRootPanel(800, 600);
    BuildPanelLayout();
    gChoiceState = 0;
    gSelectedShape = 2;
  }
  void TearDown() override {
    ReleasePanelTree();
    gChoiceState = 0;
    gSelectedShape = 2;
  }
  // The strip is open and choosing.
  void Open() {
    ASSERT_TRUE(FieldChoiceStep(0, 0, 0));
    ASSERT_EQ(gChoiceState, 1);
  }
};

TEST_F(FieldChoiceTest, FirstFrameShowsTheStripAndIgnoresRotate) {
  ASSERT_FALSE(PanelVisible(FieldChoicePanel));
  EXPECT_TRUE(FieldChoiceStep(0, 0, 1));
  EXPECT_EQ(gChoiceState, 1);
  EXPECT_TRUE(PanelVisible(FieldChoicePanel));
  EXPECT_EQ(gSelectedShape, 2);
}

TEST_F(FieldChoiceTest, LeftAndRightWrap) {
  struct Case {
    int from, left, right, to;
  };
  const Case cases[] = {
      {1, 1, 0, 6}, {6, 0, 1, 1}, {3, 1, 0, 2}, {3, 0, 1, 4}, {2, 1, 1, 1},  // left wins over right
      {4, 0, 0, 4},  // nothing pressed: still choosing
  };
  Open();
  for (const Case& c : cases) {
    gSelectedShape = c.from;
    EXPECT_TRUE(FieldChoiceStep(c.left, c.right, 0));
    EXPECT_EQ(gSelectedShape, c.to) << c.from << " " << c.left << c.right;
    EXPECT_EQ(gChoiceState, 1);
    EXPECT_TRUE(PanelVisible(FieldChoicePanel));
  }
}

TEST_F(FieldChoiceTest, RotateConfirmsAndStartsTheGame) {
  Open();
  EXPECT_TRUE(FieldChoiceStep(0, 1, 0));  // 2 -> 3
  EXPECT_TRUE(FieldChoiceStep(0, 0, 1));
  EXPECT_EQ(gChoiceState, 2);
  EXPECT_FALSE(PanelVisible(FieldChoicePanel));
  EXPECT_EQ(gGame.variant, 3) << "the well of the chosen shape is built";
  // The game runs: the choice no longer takes the frame.
  EXPECT_FALSE(FieldChoiceStep(1, 0, 1));
  EXPECT_EQ(gSelectedShape, 3);
  // The next game starts the choice again on the shape chosen last.
  gChoiceState = 0;
  EXPECT_TRUE(FieldChoiceStep(0, 0, 0));
  EXPECT_EQ(gSelectedShape, 3);
}

TEST_F(FieldChoiceTest, OptionsAndResultsFreezeTheChoice) {
  for (Panel** blocker : {&OptionsPanel, &StageResultsPanel}) {
    gChoiceState = 0;
    ShowPanel(FieldChoicePanel, false);
    ShowPanel(*blocker, true);
    EXPECT_FALSE(FieldChoiceStep(0, 0, 0));
    EXPECT_EQ(gChoiceState, 0);
    EXPECT_FALSE(PanelVisible(FieldChoicePanel));
    ShowPanel(*blocker, false);
    Open();
    ShowPanel(*blocker, true);
    EXPECT_FALSE(FieldChoiceStep(1, 0, 1));
    EXPECT_EQ(gChoiceState, 1);
    EXPECT_EQ(gSelectedShape, 2);
    ShowPanel(*blocker, false);
  }
}

// ------------------------------------------------------------------ GL

// An 8 x 8 sheet of opaque white: every glyph of the test font is a solid
// block, eight pixels wide.
std::vector<uint8_t> WhiteSheet() {
  std::vector<uint8_t> b(18, 0);
  b[2] = 2;
  b[12] = 8;
  b[14] = 8;
  b[16] = 32;
  b[17] = 0x28;
  for (int i = 0; i < 64; ++i) b.insert(b.end(), {255, 255, 255, 255});
  return b;
}

std::string FiveSolidFonts() {
  std::string d = "=tex=\n1\nsheet.tga\n=klv=\n5\n";
  for (int i = 0; i < 5; ++i) d += "=fnt=\n1\n0 256\n0 0 8 8\n1 1\n1\n8\n";
  return d;
}

class ShapeCellDrawing : public GlSuite<200, 100> {
 protected:
  static constexpr int kW = 200, kH = 100;
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_TRUE(sContext) << "no GL context although DISPLAY is set";
    ResetGlState(kW, kH);
    savedApp = gApp;
    gApp.windowWidth = kW;
    gApp.windowHeight = kH;
    char tmpl[] = "/tmp/dromo-cell-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    const auto sheet = WhiteSheet();
    std::ofstream(dir + "/sheet.tga", std::ios::binary)
        .write(reinterpret_cast<const char*>(sheet.data()), static_cast<long>(sheet.size()));
    std::ofstream(dir + "/_tfonts.txt", std::ios::binary) << FiveSolidFonts();
    ASSERT_EQ(LoadFonts(gFonts, dir.c_str()), 1);
    ReleasePanelTree();
    SetRootPanel(kW, kH);
    gSelectedShape = 2;
    ready = true;
  }
  void TearDown() override {
    if (!ready) return;
    if (In2D) End2D();
    ReleasePanelTree();
    ReleaseFonts(gFonts);
    gFonts = FontSet{};
    gApp = savedApp;
    gSelectedShape = 2;
    std::filesystem::remove_all(dir);
  }
  static std::array<int, 3> Pixel(int x, int y) {
    uint8_t p[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  bool ready = false;
  std::string dir;
  AppState savedApp;
};

TEST_F(ShapeCellDrawing, SelectionOutlineLiesOverTheName) {
  // A cell at (20, 20), 80 x 40, tagged 2: its name starts at (22, 28) and the
  // left bar of the outline covers columns 20 to 22.
  Panel* cell = CreatePanel(nullptr, DrawShapeCell, nullptr, 0.1f, 0.2f, 0.4f, 0.4f, 7, 0);
  cell->visible = 1;
  cell->tag = 2;
  ASSERT_EQ(cell->x, 20);
  ASSERT_EQ(cell->y, 20);
  Begin2DWindow();
  DrawShapeCell(cell);
  End2D();
  // Inside the name, clear of the outline: the name colour (0.9, 0.9, 0.5).
  const auto name = Pixel(30, 30);
  EXPECT_NEAR(name[0], 230, 3);
  EXPECT_NEAR(name[2], 128, 3);
  // Where the name meets the 3-pixel outline, the half-transparent outline
  // (1.0, 0.9, 0.8, 0.5) is blended over the name: the selection stays seen.
  const auto both = Pixel(22, 30);
  EXPECT_NEAR(both[0], 242, 3);
  EXPECT_NEAR(both[1], 230, 3);
  EXPECT_NEAR(both[2], 166, 3);
  // A cell that is not selected has no outline over its name.
  glClear(GL_COLOR_BUFFER_BIT);
  gSelectedShape = 3;
  Begin2DWindow();
  DrawShapeCell(cell);
  End2D();
  EXPECT_NEAR(Pixel(22, 30)[2], 128, 3);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

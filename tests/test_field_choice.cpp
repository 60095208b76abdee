// The choice of the well shape before each game.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "game/game_state.h"
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

}  // namespace

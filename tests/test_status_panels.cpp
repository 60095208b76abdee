// The texts of the status lines and the stage-results panels.
#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "base/text.h"
#include "game/game_state.h"
#include "gfx/resources.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"
#include "ui/status_panels.h"

namespace {

class StatusTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gGame = GameState{};
    gOptions = GameOptions{};
    gApp.languageFlag = 0;
    gApp.windowWidth = 800;
    ReleasePanelTree();
    SetRootPanel(800, 600);
    BuildPanelLayout();
  }
  void TearDown() override {
    ReleasePanelTree();
    gGame = GameState{};
    gApp = AppState{};
  }
};

// Statistics slots are kept with a bias of k + 1.
void SetCounts(StatTable& table, std::initializer_list<int> counts) {
  int k = 0;
  for (int c : counts) {
    table.slot[static_cast<size_t>(k)] = c + k + 1;
    ++k;
  }
  for (; k < 8; ++k) table.slot[static_cast<size_t>(k)] = k + 1;
}

TEST_F(StatusTextTest, StageProgress) {
  struct Case {
    int stage, cubes, target;
    int endTimer, endStarted;
    bool resultsShown;
    const char* text;
    int percent;
  };
  const Case cases[] = {
      {1, 30, 50, 0, 0, false, " Этап1: 60%"_w, 60},
      {1, 0, 50, 0, 0, false, " Этап1:  0%"_w, 0},
      {2, 58, 59, 0, 0, false, " Этап2: 98%"_w, 98},
      {1, 50, 50, 0, 0, false, " Этап1:100%"_w, 100},
      {1, 75, 50, 0, 0, false, " Этап1:100%"_w, 100},   // capped
      {3, 7, 0, 0, 0, false, " Этап3:  0%"_w, 0},       // no target yet
      {1, 30, 50, 900, 0, false, " Этап1:100%"_w, 60},  // stage-end pause running
      {1, 30, 50, 0, 1, false, " Этап1:100%"_w, 60},
      {4, 30, 50, 0, 0, true, " Этап4:100%"_w, 60},  // results on screen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    gGame.stage = c.stage;
    gGame.stageCubes = c.cubes;
    gGame.stageTarget = c.target;
    gGame.stageEndTimer = c.endTimer;
    gGame.stageEndStarted = c.endStarted;
    ShowPanel(StageResultsPanel, c.resultsShown);
    int percent = -1;
    const PanelText t = StageProgressText(&percent);
    EXPECT_EQ(t.text, c.text);
    EXPECT_EQ(percent, c.percent);
    EXPECT_EQ(t.colours, "raaaaqacccr");
    EXPECT_EQ(t.colours.size(), t.text.size()) << "a colour string of another length is ignored";
    EXPECT_EQ(t.r + t.g + t.b + t.a, 4.0f) << "white under the colour string";
  }
  EXPECT_EQ(StageProgressText(nullptr).text, " Этап4:100%"_w) << "the percentage is optional";
}

TEST_F(StatusTextTest, SharesOfTheScore) {
  struct Case {
    int score, chainSum, pointsSum;
    const char* chain;
    const char* collect;
  };
  const Case cases[] = {
      {0, 0, 0, "цэп:00%"_w, "сбо:00%"_w},
      {0, 50, 70, "цэп:00%"_w, "сбо:00%"_w},
      {200, 22, 150, "цэп:11%"_w, "сбо:75%"_w},
      {100, 29, 57, "цэп:29%"_w, "сбо:57%"_w},  // exact whole percentages stay whole
      {300, 1, 299, "цэп:00%"_w, "сбо:99%"_w},  // truncated, never rounded up
      {99999, 99999, 0, "цэп:100%"_w, "сбо:00%"_w},
  };
  for (const Case& c : cases) {
    gGame.score = c.score;
    gGame.chainBonusSum = c.chainSum;
    gGame.pointsSum = c.pointsSum;
    EXPECT_EQ(ChainShareText().text, c.chain) << c.score << " " << c.chainSum;
    EXPECT_EQ(CollectShareText().text, c.collect) << c.score << " " << c.pointsSum;
  }
}

TEST_F(StatusTextTest, ChainLabel) {
  struct Case {
    int chain, bonus, display, language;
    const char* text;  // empty: nothing drawn
  };
  const Case cases[] = {
      {0, 0, 1, 0, ""},
      {1, 11, 1, 0, ""},
      {2, 22, 1, 0, "Цэпь2 (сле. +22)"_w},
      {8, 88, 1, 0, "Цэпь8 (сле. +88)"_w},
      {9, 99, 1, 0, "Цэпь9 (не более)"_w},
      {2, 22, 1, 1, "Chain2 (nxt +22)"},
      {9, 99, 1, 1, "Chain9 (no more)"},
      {5, 55, 0, 0, ""},  // chain display switched off
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chain);
    gGame.chainNumber = c.chain;
    gGame.chainBonus = c.bonus;
    gOptions.chainDisplay = c.display;
    gApp.languageFlag = c.language;
    const PanelText t = ChainLabelText();
    EXPECT_EQ(t.text, c.text);
    EXPECT_EQ(ChainGaugeShown(), t.text.size() > 0) << "the gauge shows exactly with the label";
    if (!t.text.empty()) {
      EXPECT_FLOAT_EQ(t.r, 0.9f);
      EXPECT_FLOAT_EQ(t.g, 0.8f);
      EXPECT_FLOAT_EQ(t.b, 0.6f);
    }
  }
}

TEST_F(StatusTextTest, StatusLines) {
  gGame.lastRemoval = 5;
  gGame.lastPoints = 25;
  gGame.bestPoints = 54;
  gGame.score = 123;
  EXPECT_EQ(LastRemovalText().text, "Сбор  5 (+25)"_w);
  EXPECT_EQ(BestPointsText().text, "+54 лучший"_w);
  const PanelText score = ScoreText();
  EXPECT_EQ(score.text, "  123");
  EXPECT_EQ(score.font, 6);
  EXPECT_FLOAT_EQ(score.b, 0.5f);
  gApp.languageFlag = 1;
  EXPECT_EQ(LastRemovalText().text, "Last  5 (+25)");
}

TEST_F(StatusTextTest, ResultsLines) {
  gGame.score = 1234;
  gGame.stageStartScore = 1000;
  gGame.stageRemoved = 12;
  gGame.cubes = 40;
  gGame.stage = 2;
  gGame.stageChainBonus = 22;
  gGame.stagePoints = 75;
  struct Case {
    PanelText t;
    const char* text;
    float r, g, b;
  };
  const Case cases[] = {
      {TotalScoreText(), " Все очки:  1234"_w, 1.0f, 0.8824f, 0.1059f},
      {StageScoreText(), " Этап очки:  234"_w, 0.1373f, 1.0f, 0.4235f},
      {CubesText(), " Куб 12; Все  40"_w, 1.0f, 0.3725f, 0.3529f},
      {ResultsTitleText(), " ИТОГИ 2-й этап"_w, 0.8f, 0.8f, 1.0f},
      {ChainFooterText(), "эт. +22"_w, 0.7f, 0.7f, 0.7f},
      {SizeFooterText(), "эт. +75"_w, 0.7f, 0.7f, 0.7f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.t.text, c.text);
    EXPECT_FLOAT_EQ(c.t.r, c.r) << c.text;
    EXPECT_FLOAT_EQ(c.t.g, c.g) << c.text;
    EXPECT_FLOAT_EQ(c.t.b, c.b) << c.text;
  }
}

TEST_F(StatusTextTest, FontsFollowTheWindowWidth) {
  struct Case {
    int width;
    int scores, chainLine, sizeLine;
  };
  for (const Case& c : {Case{800, 4, 4, 3}, Case{979, 4, 4, 3}, Case{980, 5, 5, 5}}) {
    gApp.windowWidth = c.width;
    EXPECT_EQ(TotalScoreText().font, c.scores) << c.width;
    EXPECT_EQ(StageScoreText().font, c.scores) << c.width;
    EXPECT_EQ(ChainCountLineText(0).font, c.chainLine) << c.width;
    EXPECT_EQ(SizeCountLineText(3).font, c.sizeLine) << c.width;
    // The sum lines and all values keep font 5.
    EXPECT_EQ(ChainCountLineText(8).font, 5);
    EXPECT_EQ(SizeCountLineText(8).font, 5);
    EXPECT_EQ(ChainCountValueText(2).font, 5);
    EXPECT_EQ(SizeCountValueText(8).font, 5);
  }
}

bool IsGrey(const PanelText& t) {
  return t.r == 0.7f && t.g == 0.7f && t.b == 0.7f;
}

TEST_F(StatusTextTest, StatisticsColumns) {
  SetCounts(gGame.stageChains, {3, 0, 1, 0, 0, 0, 0, 2});
  SetCounts(gGame.gameChains, {10, 4, 0, 0, 0, 0, 0, 2});
  SetCounts(gGame.stageSizes, {4, 0, 0, 0, 0, 0, 1, 2});
  SetCounts(gGame.gameSizes, {7, 0, 0, 0, 0, 0, 1, 120});
  struct Case {
    int tag;
    const char* chainLine;
    const char* chainValue;
    const char* sizeLine;
    const char* sizeValue;
    bool chainLit, chainValueLit, sizeLit, sizeValueLit;  // counted slots are not grey
  };
  const Case cases[] = {
      {7, "Ц9: 2"_w, "  2", "хX: 2"_w, "120", true, true, true, true},
      {6, "Ц8: 0"_w, "  0", "х9: 1"_w, "  1", false, false, true, true},
      {2, "Ц4: 1"_w, "  0", "х5: 0"_w, "  0", true, false, false, false},
      {1, "Ц3: 0"_w, "  4", "х4: 0"_w, "  0", false, true, false, false},
      {0, "Ц2: 3"_w, " 10", "х3: 4"_w, "  7", true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    const PanelText chainLine = ChainCountLineText(c.tag);
    const PanelText chainValue = ChainCountValueText(c.tag);
    const PanelText sizeLine = SizeCountLineText(c.tag);
    const PanelText sizeValue = SizeCountValueText(c.tag);
    EXPECT_EQ(chainLine.text, c.chainLine);
    EXPECT_EQ(chainValue.text, c.chainValue);
    EXPECT_EQ(sizeLine.text, c.sizeLine);
    EXPECT_EQ(sizeValue.text, c.sizeValue);
    // A slot with count 0 is drawn in grey, not hidden.
    EXPECT_EQ(IsGrey(chainLine), !c.chainLit);
    EXPECT_EQ(IsGrey(chainValue), !c.chainValueLit);
    EXPECT_EQ(IsGrey(sizeLine), !c.sizeLit);
    EXPECT_EQ(IsGrey(sizeValue), !c.sizeValueLit);
    if (c.chainLit) {
      EXPECT_FLOAT_EQ(chainLine.r, 0.9f);
    }
    if (c.sizeLit) {
      EXPECT_FLOAT_EQ(sizeLine.r, 0.9f);
    }
    if (c.chainValueLit) {
      EXPECT_FLOAT_EQ(chainValue.r + chainValue.g + chainValue.b, 3.0f);
    }
  }
  // The sum lines at the top.
  const PanelText chainSum = ChainCountLineText(8), sizeSum = SizeCountLineText(8);
  EXPECT_EQ(chainSum.text, "Все  6"_w);
  EXPECT_EQ(sizeSum.text, "Все  7"_w);
  EXPECT_FLOAT_EQ(chainSum.b, 0.6f);
  EXPECT_FLOAT_EQ(sizeSum.b, 0.6f);
  EXPECT_EQ(ChainCountValueText(8).text, " 16");
  EXPECT_EQ(SizeCountValueText(8).text, "128");
  for (int tag : {-1, 9, 33}) {
    EXPECT_TRUE(ChainCountLineText(tag).text.empty());
    EXPECT_TRUE(ChainCountValueText(tag).text.empty());
    EXPECT_TRUE(SizeCountLineText(tag).text.empty());
    EXPECT_TRUE(SizeCountValueText(tag).text.empty());
  }
}

TEST_F(StatusTextTest, ResultsPromptWaitsForTheCloseLockAndTheName) {
  struct Case {
    int nameInput, closeLock;
    bool shown;
  };
  for (const Case& c :
       {Case{0, 0, true}, Case{0, 350, false}, Case{1, 0, false}, Case{2, 600000, false}}) {
    gGame.nameInput = c.nameInput;
    gGame.closeLock = c.closeLock;
    const PanelText t = ResultsPromptText();
    if (c.shown) {
      EXPECT_EQ(t.text, Message(12));
      EXPECT_FALSE(t.text.empty());
    } else {
      EXPECT_TRUE(t.text.empty()) << c.nameInput << " " << c.closeLock;
    }
  }
}

}  // namespace

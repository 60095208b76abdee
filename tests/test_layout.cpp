// The start-up layout of the panel tree, and drawing it into a GL context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <vector>

#include "app/app_state.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "platform/platform.h"
#include "records/records.h"
#include "ui/field_choice.h"
#include "ui/layout.h"
#include "support/panel_rect.h"
#include "ui/panel_tree.h"
#include "ui/records_view.h"
#include "ui/status_panels.h"

namespace {

int CountDraw(const Panel* p, PanelCallback draw) {
  if (p == nullptr) return 0;
  int n = p->draw == draw ? 1 : 0;
  for (const Panel* c : p->children) n += CountDraw(c, draw);
  return n;
}

std::vector<int> Tags(const Panel* parent) {
  std::vector<int> tags;
  for (const Panel* c : parent->children) tags.push_back(c->tag);
  return tags;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int t = from; from <= to ? t <= to : t >= to; t += from <= to ? 1 : -1) v.push_back(t);
  return v;
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleasePanelTree();
    SetRootPanel(800, 600);
    BuildPanelLayout();
  }
  void TearDown() override { ReleasePanelTree(); }
  const Panel* Top(size_t i) { return gRootPanel.children.at(i); }
};

TEST_F(LayoutTest, ManagedPanelsExistUnderTheRoot) {
  for (Panel* p :
       {OptionsPanel, NameEntryPanel, StageResultsPanel, ResultsColumnsPanel, RecordsPanel,
        RecordsStripPanel, FieldChoicePanel, BonusPanel, SideInfoPanel, HintStripPanel}) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->parent, &gRootPanel);
  }
  ASSERT_EQ(gRootPanel.children.size(), 18u);
  // Creation order is drawing order.
  EXPECT_EQ(Top(7), StageResultsPanel);
  EXPECT_EQ(Top(8), ResultsColumnsPanel);
  EXPECT_EQ(Top(9), RecordsPanel);
  EXPECT_EQ(Top(10), RecordsStripPanel);
  EXPECT_EQ(Top(11), SideInfoPanel);
  EXPECT_EQ(Top(12), BonusPanel);
  EXPECT_EQ(Top(13), FieldChoicePanel);
  EXPECT_EQ(Top(14), OptionsPanel);
  EXPECT_EQ(Top(15), NameEntryPanel);
  EXPECT_EQ(Top(17), HintStripPanel);
}

TEST_F(LayoutTest, RectanglesAt800x600) {
  ExpectRect(Top(0), {496, 180, 184, 24});  // pause hint
  EXPECT_EQ(Top(0)->draw != nullptr, true);
  ExpectRect(Top(3), {576, 288, 104, 36});  // score
  ExpectRect(StageResultsPanel, {8, 150, 536, 390});
  // 0.265 x 800 in single precision is 211.99998: truncated to 211.
  ExpectRect(RecordsPanel, {576, 12, 211, 564});
  ExpectRect(RecordsStripPanel, {696, 12, 104, 564});
  ExpectRect(FieldChoicePanel, {40, 18, 560, 144});
  ExpectRect(Top(16), {600, 588, 200, 12});  // title line, top right
  ExpectRect(HintStripPanel, {24, 12, 560, 24});

  const Panel* left = StageResultsPanel->children.at(0);
  ExpectRect(left, {8, 228, 150, 292});
  ExpectRect(left->children.at(0), {8, 491, 90, 29});                  // chain line, tag 8
  ExpectRect(left->children.at(8), {8, 259, 90, 29});                  // tag 0, eight rows lower
  ExpectRect(left->children.at(9), {105, 491, 52, 29});                // first value
  ExpectRect(left->children.at(18), {20, 228, 127, 29});               // footer, bottom centre
  ExpectRect(StageResultsPanel->children.at(3), {142, 165, 268, 39});  // prompt

  const Panel* choiceRow = FieldChoicePanel->children.at(1);
  ExpectRect(choiceRow->children.at(0), {68, 65, 84, 46});
  ExpectRect(choiceRow->children.at(5), {488, 65, 84, 46});

  const Panel* letters = NameEntryPanel->children.at(1);
  ExpectRect(letters->children.at(0), {416, 138, 31, 36});
  ExpectRect(letters->children.at(32), {726, 66, 31, 36});

  ExpectRect(RecordsPanel->children.at(0), {576, 542, 132, 28});
  ExpectRect(RecordsPanel->children.at(20), {713, 542, 71, 28});
}

TEST_F(LayoutTest, GridsAndTheirTags) {
  EXPECT_EQ(CountDraw(&gRootPanel, DrawChainCountLine), 18);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawSizeCountLine), 18);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawChainCountValue), 9);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawSizeCountValue), 9);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawRecordName), 20);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawRecordTail), 20);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawRecordStripRow), 20);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawShapeCell), 6);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawSideInfo), 1);

  std::vector<int> column = Range(8, 0);
  std::vector<int> lineAndValue = column;
  lineAndValue.insert(lineAndValue.end(), column.begin(), column.end());
  lineAndValue.push_back(0);  // the footer
  EXPECT_EQ(Tags(StageResultsPanel->children.at(0)), lineAndValue);
  EXPECT_EQ(Tags(StageResultsPanel->children.at(1)), lineAndValue);
  EXPECT_EQ(Tags(ResultsColumnsPanel->children.at(0)), column);
  EXPECT_EQ(Tags(ResultsColumnsPanel->children.at(1)), column);
  EXPECT_EQ(Tags(RecordsStripPanel), Range(0, 19));
  EXPECT_EQ(Tags(BonusPanel->children.at(1)), Range(1, 3));
  EXPECT_EQ(Tags(FieldChoicePanel->children.at(1)), Range(1, 6));
  EXPECT_EQ(Tags(OptionsPanel->children.at(1)), Range(1, 9));
  EXPECT_EQ(Tags(NameEntryPanel->children.at(1)), Range(1, 33));
}

TEST_F(LayoutTest, InitialVisibility) {
  for (const Panel* p : {StageResultsPanel, RecordsPanel, RecordsStripPanel, SideInfoPanel,
                         BonusPanel, FieldChoicePanel, OptionsPanel, NameEntryPanel}) {
    EXPECT_EQ(p->visible, 0);
  }
  int shown = 0;
  for (const Panel* p : gRootPanel.children) shown += p->visible;
  EXPECT_EQ(shown, 10);  // the seven status panels, the columns, the title and the hint strip
  EXPECT_EQ(ResultsColumnsPanel->visible, 1);
  // Sub-trees are ready to appear as soon as their top panel is shown.
  for (const Panel* top : {StageResultsPanel, OptionsPanel, NameEntryPanel, FieldChoicePanel}) {
    for (const Panel* c : top->children) EXPECT_EQ(c->visible, 1);
  }
}

TEST_F(LayoutTest, BuildingAgainReplacesTheTree) {
  BuildPanelLayout();
  EXPECT_EQ(gRootPanel.children.size(), 18u);
  EXPECT_EQ(CountDraw(&gRootPanel, DrawRecordName), 20);
}

// ------------------------------------------------------------------ GL

constexpr int kW = 800, kH = 600;

class GlLayoutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gContext = CreateGlTestContext(kW, kH); }
  static void TearDownTestSuite() {
    if (gContext) DestroyGlTestContext();
    gContext = 0;
  }
  void SetUp() override {
    if (!gContext) GTEST_SKIP() << "no GL context (no X server)";
    gApp.windowWidth = kW;
    gApp.windowHeight = kH;
    gGame = GameState{};
    ReleasePanelTree();
    SetRootPanel(kW, kH);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    if (In2D) End2D();
    ReleasePanelTree();
    gGame = GameState{};
    gPreviewRank = 0;
  }
  static std::array<int, 4> Pixel(int x, int y) {
    std::array<unsigned char, 4> px{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return {px[0], px[1], px[2], px[3]};
  }
  static bool Black(int x, int y) {
    const auto p = Pixel(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  }
  static void Frame() {
    glClear(GL_COLOR_BUFFER_BIT);
    Begin2DWindow();
    DrawPanelTree();
    End2D();
  }
  static int gContext;
};
int GlLayoutTest::gContext = 0;

struct Visit {
  int tag;
  std::array<GLint, 4> box;
  GLboolean scissor;
};
std::vector<Visit> gVisits;

void Record(Panel* p) {
  Visit v{p->tag, {}, glIsEnabled(GL_SCISSOR_TEST)};
  glGetIntegerv(GL_SCISSOR_BOX, v.box.data());
  gVisits.push_back(v);
}

TEST_F(GlLayoutTest, EachPanelIsClippedToItsOwnBox) {
  auto make = [](Panel* parent, float fx, float fy, float fw, float fh, int tag) {
    Panel* p = CreatePanel(parent, Record, nullptr, fx, fy, fw, fh, 7, 0);
    p->visible = 1;
    p->tag = tag;
    return p;
  };
  Panel* a = make(nullptr, 0.1f, 0.1f, 0.5f, 0.5f, 1);  // (80, 60, 400, 300)
  make(a, 0.1f, 0.1f, 0.1f, 0.1f, 2);                   // (160, 120, 80, 60)
  make(a, 0.7f, 0.7f, 0.1f, 0.1f, 3);                   // reaches past its parent
  Panel* hidden = make(nullptr, 0.0f, 0.0f, 0.2f, 0.2f, 4);
  make(hidden, 0.0f, 0.0f, 0.1f, 0.1f, 5);
  hidden->visible = 0;
  Panel* group = make(nullptr, 0.6f, 0.6f, 0.2f, 0.2f, 6);
  group->draw = nullptr;  // only clips and groups
  make(group, 0.0f, 0.0f, 0.1f, 0.1f, 7);
  group->children.push_back(nullptr);

  GLint projDepth = 0, viewDepth = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projDepth);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &viewDepth);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glViewport(0, 0, 10, 10);
  gVisits.clear();
  DrawPanelTree();
  group->children.pop_back();

  struct Want {
    int tag;
    std::array<GLint, 4> box;
  };
  const Want want[] = {{1, {79, 59, 402, 302}},
                       {2, {159, 119, 82, 62}},
                       {3, {639, 479, 82, 62}},
                       {7, {479, 359, 82, 62}}};
  ASSERT_EQ(gVisits.size(), std::size(want));
  for (size_t i = 0; i < gVisits.size(); ++i) {
    EXPECT_EQ(gVisits[i].tag, want[i].tag);
    EXPECT_EQ(gVisits[i].box, want[i].box) << "tag " << want[i].tag;
    EXPECT_TRUE(gVisits[i].scissor);
  }
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  GLboolean depthWrites = GL_TRUE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_FALSE(depthWrites);
  GLint mode = 0, viewport[4] = {};
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(viewport[2], kW);
  EXPECT_EQ(viewport[3], kH);
  GLint projAfter = 0, viewAfter = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projAfter);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &viewAfter);
  EXPECT_EQ(projAfter, projDepth);
  EXPECT_EQ(viewAfter, viewDepth);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlLayoutTest, HiddenScreensDrawNothing) {
  BuildPanelLayout();
  // Inside the shape strip, clear of every panel shown at start.
  const int cx = 300, cy = 100;
  Frame();
  EXPECT_TRUE(Black(cx, cy));
  EXPECT_FALSE(Black(500, 190)) << "the pause hint is always drawn";
  ShowPanel(FieldChoicePanel, true);
  Frame();
  EXPECT_FALSE(Black(cx, cy));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlLayoutTest, ResultsBackdropAndItsBorder) {
  BuildPanelLayout();
  ShowPanel(ResultsColumnsPanel, false);
  // Just outside the results panel: only its 16-pixel border reaches there.
  const int ox = StageResultsPanel->x + StageResultsPanel->w + 8;
  const int oy = StageResultsPanel->y + 200;
  Frame();
  EXPECT_TRUE(Black(ox, oy));
  EXPECT_TRUE(Black(300, 300));
  ShowPanel(StageResultsPanel, true);
  gGame.stage = 2;
  gGame.score = 500;
  Frame();
  EXPECT_FALSE(Black(ox, oy));
  EXPECT_FALSE(Black(300, 300));
}

TEST_F(GlLayoutTest, PanelBorderOnlyForVisiblePanels) {
  BuildPanelLayout();
  const int ox = RecordsStripPanel->x - 4, oy = RecordsStripPanel->y + 100;
  Begin2DWindow();
  glClear(GL_COLOR_BUFFER_BIT);
  DrawPanelBorder(RecordsStripPanel, 38, nullptr, 8.0f, 1);
  DrawPanelBorder(nullptr, 38, nullptr, 8.0f, 1);
  EXPECT_TRUE(Black(ox, oy));
  ShowPanel(RecordsStripPanel, true);
  DrawPanelBorder(RecordsStripPanel, 38, nullptr, 8.0f, 1);
  EXPECT_FALSE(Black(ox, oy));
  End2D();
}

TEST_F(GlLayoutTest, PreviewRowPulses) {
  BuildPanelLayout();
  RecordTable table{};
  for (int p = 0; p < 20; ++p) {
    RecordEntry& e = table[static_cast<size_t>(p)];
    std::snprintf(e.name, sizeof e.name, "%-12s", "---");
    e.score = 940 - 10 * p;
  }
  BuildRecordLines(table);
  ShowPanel(RecordsStripPanel, true);
  const Panel* row0 = RecordsStripPanel->children.at(0);
  const Panel* row1 = RecordsStripPanel->children.at(1);
  // Middle of each row, away from the text and the outlines.
  const int x = row0->x + row0->w / 2;
  const int y0 = row0->y + row0->h / 2, y1 = row1->y + row1->h / 2;
  gPreviewRank = 0;
  Frame();
  EXPECT_EQ(Pixel(x, y0), Pixel(x, y1));
  gPreviewRank = 1;
  Frame();
  EXPECT_GT(Pixel(x, y0)[0], Pixel(x, y1)[0] + 20) << "the pulsing row is lighter";
}

TEST_F(GlLayoutTest, EveryScreenDraws) {
  // Every callback once, with game values in their ranges.
  BuildPanelLayout();
  gGame.stage = 3;
  gGame.stageCubes = 20;
  gGame.stageTarget = 68;
  gGame.chainNumber = 9;
  gGame.score = 4321;
  gGame.bonus[0] = BonusSlot{12, 0};
  gGame.bonus[1] = BonusSlot{3, 5};
  gGame.bonus[2] = BonusSlot{99, -4};  // out of range: skipped, not read past a table
  gPreviewRank = 4;
  for (Panel* p : {StageResultsPanel, RecordsPanel, RecordsStripPanel, BonusPanel, FieldChoicePanel,
                   OptionsPanel, NameEntryPanel}) {
    ShowPanel(p, true);
  }
  ShowSideInfo(25);  // past the table: an empty box
  Frame();
  ShowSideInfo(-1);
  Frame();
  ShowSideInfo(2);
  Frame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_FALSE(Black(BonusPanel->x + 5, BonusPanel->y + 5));
}

TEST_F(GlLayoutTest, TextColourHandOverIsUsedOnce) {
  auto current = [] {
    std::array<GLfloat, 4> c{};
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
  };
  SetNextTextColour(0.25f, 0.5f, 0.75f, 0.5f);
  ApplyTextColour();
  EXPECT_EQ(current(), (std::array<GLfloat, 4>{0.25f, 0.5f, 0.75f, 0.5f}));
  ApplyTextColour();
  const auto grey = current();
  EXPECT_NEAR(grey[0], 0.7f, 1e-6);
  EXPECT_NEAR(grey[1], 0.7f, 1e-6);
  EXPECT_NEAR(grey[2], 0.7f, 1e-6);
  EXPECT_NEAR(grey[3], 1.0f, 1e-6);
}

}  // namespace

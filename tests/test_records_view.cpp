// Which part of each record line the records lists show, and which row pulses.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "records/records.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"
#include "ui/records_view.h"

namespace {

std::string Line(int length) {
  std::string s;
  for (int i = 0; i < length; ++i) s.push_back(static_cast<char>('a' + i % 26));
  return s;
}

TEST(VisibleTextPart, FollowsTheTextDrawingSkips) {
  struct Case {
    int front, back;
    const char* shown;
  };
  const Case cases[] = {
      {0, 0, "abcde"}, {2, 2, "c"},     {2, 3, ""},       {-1, 0, "abcde"},
      {5, 0, "abcde"}, {0, 5, "abcde"}, {0, -3, "abcde"}, {4, 0, "e"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VisibleTextPart("abcde", TextSkip{c.front, c.back}), c.shown)
        << c.front << " " << c.back;
  }
  EXPECT_EQ(VisibleTextPart("", TextSkip{0, 0}), "");
}

TEST(RecordRowSkips, NamesTailsAndStrip) {
  struct Case {
    const char* what;
    TextSkip skip;
    int length;
    int shownFrom, shownCount;  // the part of the line that is drawn
  };
  const Case cases[] = {
      {"name of a full line", RecordNameSkip(52), 52, 0, 15},
      {"name of 15", RecordNameSkip(15), 15, 0, 15},
      {"name of 14 shown whole", RecordNameSkip(14), 14, 0, 14},
      {"tail of a full line", RecordTailSkip(52), 52, 28, 24},
      {"tail of 29", RecordTailSkip(29), 29, 28, 1},
      {"tail of 28 shown whole", RecordTailSkip(28), 28, 0, 28},
      {"tail of 10 shown whole", RecordTailSkip(10), 10, 0, 10},
      {"strip row 0", RecordStripSkip(0, 52), 52, 0, 16},
      {"strip row 1 keeps more", RecordStripSkip(1, 52), 52, 0, 36},
      {"strip row 19", RecordStripSkip(19, 52), 52, 0, 16},
      {"strip row of 30 shown whole", RecordStripSkip(5, 30), 30, 0, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string line = Line(c.length);
    EXPECT_GE(c.skip.front, 0);
    EXPECT_GE(c.skip.back, 0);
    EXPECT_EQ(VisibleTextPart(line, c.skip),
              line.substr(static_cast<size_t>(c.shownFrom), static_cast<size_t>(c.shownCount)));
  }
}

TEST(RecordRowSkips, ColoursStayAligned) {
  // A real table line and its colour string lose the same characters.
  RecordTable table{};
  FillDefaultRecords(table, 16, 1, 2008);
  BuildRecordLines(table);
  for (int tag = 0; tag < 20; ++tag) {
    const RecordLine& line = gRecordLines[static_cast<size_t>(tag)];
    ASSERT_EQ(line.text.size(), line.colours.size());
    const int n = static_cast<int>(line.text.size());
    for (const TextSkip skip : {RecordNameSkip(n), RecordTailSkip(n), RecordStripSkip(tag, n)}) {
      EXPECT_EQ(VisibleTextPart(line.text, skip).size(),
                VisibleTextPart(line.colours, skip).size());
    }
  }
  EXPECT_EQ(VisibleTextPart(gRecordLines[0].text, RecordNameSkip(52)), " 1 ---         ");
}

class RecordsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleasePanelTree();
    SetRootPanel(800, 600);
    BuildPanelLayout();
    gPreviewRank = 0;
    gSideInfoIndex = 0;
  }
  void TearDown() override {
    ReleasePanelTree();
    gPreviewRank = 0;
  }
};

TEST_F(RecordsViewTest, PreviewRankPicksTheRow) {
  struct Case {
    int rank;
    int row;  // -1: none
  };
  for (const Case& c : {Case{0, -1}, Case{1, 0}, Case{7, 6}, Case{20, 19}}) {
    gPreviewRank = c.rank;
    for (int tag = 0; tag < 20; ++tag) {
      EXPECT_EQ(RecordRowHighlighted(tag), tag == c.row) << c.rank << " " << tag;
    }
  }
}

TEST_F(RecordsViewTest, RowsAreTaggedFromTheTop) {
  for (Panel* list : {RecordsPanel, RecordsStripPanel}) {
    ASSERT_NE(list, nullptr);
    const size_t columns = list == RecordsPanel ? 2 : 1;
    ASSERT_EQ(list->children.size(), 20 * columns);
    for (size_t col = 0; col < columns; ++col) {
      for (int i = 0; i < 20; ++i) {
        const Panel* row = list->children[col * 20 + static_cast<size_t>(i)];
        EXPECT_EQ(row->tag, i);
        EXPECT_EQ(row->visible, 1);
        if (i > 0) {
          EXPECT_EQ(row->y, list->children[col * 20 + static_cast<size_t>(i) - 1]->y - row->h);
        }
      }
    }
  }
}

TEST_F(RecordsViewTest, AClickOnTheRecordsListShowsThatLine) {
  gApp.windowWidth = 800;
  gApp.windowHeight = 600;
  const int left = 800 / 2 - 50, top = 18, lineH = 15;  // 600 x 0.03, 600 x 0.025
  ShowPanel(SideInfoPanel, false);
  RecordsListClick(left + 10, top + 20 * lineH - 1);
  EXPECT_TRUE(PanelVisible(SideInfoPanel));
  EXPECT_EQ(gSideInfoIndex, 0);
  RecordsListClick(left + 364, top + 5 * lineH);
  EXPECT_EQ(gSideInfoIndex, 15);
  ShowPanel(SideInfoPanel, false);
  RecordsListClick(left + 365, top + 5 * lineH);  // right of the list
  RecordsListClick(left + 10, top - 1);           // below it
  RecordsListClick(left - 1, top + 5 * lineH);    // left of it
  RecordsListClick(left + 10, top + 20 * lineH);  // above it
  EXPECT_FALSE(PanelVisible(SideInfoPanel));
}

TEST_F(RecordsViewTest, SideInfoShowsAndStays) {
  ASSERT_FALSE(PanelVisible(SideInfoPanel));
  ShowSideInfo(7);
  EXPECT_TRUE(PanelVisible(SideInfoPanel));
  EXPECT_EQ(gSideInfoIndex, 7);
  ShowSideInfo(3);
  EXPECT_TRUE(PanelVisible(SideInfoPanel));
  EXPECT_EQ(gSideInfoIndex, 3);
}

}  // namespace

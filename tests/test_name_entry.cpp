// The records name grid: its letters and codes, the highlight's moves by the
// commands and the wheel, what pressing a cell does to the text entry, and
// the overlay's counter lines.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "app/window.h"
#include "base/text.h"
#include "platform/platform.h"
#include "ui/debug_overlay.h"
#include "ui/name_entry.h"
#include "ui/panel_tree.h"

namespace {

TEST(NameGridCodes, EveryCellHasItsLetter) {
  const std::string capitals = "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЁЭЮЯЫ"_w;
  const std::string smalls = "абвгдежзийклмнопрстуфхцчшёэюяыь"_w;
  ASSERT_EQ(capitals.size(), 30u);
  ASSERT_EQ(smalls.size(), 31u);
  for (int tag = 1; tag <= 31; ++tag) {
    SCOPED_TRACE(tag);
    const int small = static_cast<unsigned char>(smalls[static_cast<size_t>(tag - 1)]);
    EXPECT_EQ(NameCellSmall(tag), small);
    if (tag <= 30) {
      const int capital = static_cast<unsigned char>(capitals[static_cast<size_t>(tag - 1)]);
      EXPECT_EQ(NameCellCapital(tag), capital);
      EXPECT_EQ(NameCellLabel(tag), std::string(1, static_cast<char>(capital)));
    }
  }
  EXPECT_EQ(NameCellCapital(1), 192);
  EXPECT_EQ(NameCellCapital(25), 216);
  EXPECT_EQ(NameCellSmall(25), 248);
  EXPECT_EQ(NameCellCapital(31), 0) << "no capital ь";
  EXPECT_EQ(NameCellLabel(31), "ь"_w);
  EXPECT_EQ(NameCellLabel(32), "<-");
  EXPECT_EQ(NameCellLabel(33), "@");
  for (int tag : {0, 32, 33, 34}) {
    EXPECT_EQ(NameCellCapital(tag), 0);
    EXPECT_EQ(NameCellSmall(tag), 0);
  }
}

class NameGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRootPanel(800, 600);
    NameEntryPanel = CreatePanel(nullptr, nullptr, nullptr, 0, 0, 0.1f, 0.1f, 0, 0);
    OptionsPanel = CreatePanel(nullptr, nullptr, nullptr, 0, 0, 0.1f, 0.1f, 0, 0);
    ShowPanel(NameEntryPanel, true);
    ResetNameEntry();
    cell_ = 0;
    ASSERT_EQ(BeginTextEntryOffering(&cell_, last_, 15), 1);
  }
  void TearDown() override {
    if (gTextEntry.owner == &cell_) {
      if (cell_ == -1) cell_ = 2;
      std::string ignored;
      PollTextEntry(&cell_, ignored, 1);
    }
    ResetNameEntry();
    ReleasePanelTree();
  }
  // Presses a cell as a player does: highlight it, rotate, wait out the
  // 400 ms that the next press must wait.
  void PressCell(int cell) {
    gNameCursor = cell;
    NameGridInput(gTextEntry, last_, 0, 0, 1);
    TextCooldownMs = 0;
  }
  std::string& Text() { return gTextEntry.buffer; }

  std::string last_ = "Иван"_w;
  int32_t cell_ = 0;
};

TEST_F(NameGridTest, TheHighlightWrapsWithinItsRow) {
  EXPECT_EQ(gNameCursor, 33) << "the accept cell at first";
  const struct {
    int from, left, right, want;
  } cases[] = {{11, 0, 1, 1},  {1, 1, 0, 11},  {23, 1, 0, 33}, {33, 0, 1, 23},
               {12, 1, 0, 22}, {22, 0, 1, 12}, {5, 0, 1, 6},   {5, 1, 1, 4}};
  for (const auto& c : cases) {
    gNameCursor = c.from;
    NameGridInput(gTextEntry, last_, c.left, c.right, 0);
    EXPECT_EQ(gNameCursor, c.want) << "from " << c.from;
  }
  EXPECT_EQ(Text(), last_) << "moving types nothing";
}

TEST_F(NameGridTest, TheWheelMovesARowAndWraps) {
  const struct {
    int from;
    bool down;
    int want;
  } cases[] = {{30, true, 8},  {5, false, 27}, {1, true, 12},
               {12, false, 1}, {33, true, 11}, {11, false, 33}};
  for (const auto& c : cases) {
    gNameCursor = c.from;
    c.down ? NameGridRowDown() : NameGridRowUp();
    EXPECT_EQ(gNameCursor, c.want) << "from " << c.from;
  }
  // Not while the name entry is hidden, nor under the options menu.
  gNameCursor = 5;
  ShowPanel(NameEntryPanel, false);
  NameGridRowDown();
  EXPECT_EQ(gNameCursor, 5);
  ShowPanel(NameEntryPanel, true);
  ShowPanel(OptionsPanel, true);
  NameGridRowUp();
  EXPECT_EQ(gNameCursor, 5);
}

TEST_F(NameGridTest, LettersReplaceThePreviousNameThenFollow) {
  EXPECT_EQ(Text(), "Иван"_w);
  PressCell(31);  // ь cannot start a name
  EXPECT_EQ(Text(), "Иван"_w);
  PressCell(16);  // П
  EXPECT_EQ(Text(), "П"_w);
  EXPECT_EQ(gTextEntry.cursor, 1);
  PressCell(6);  // е
  EXPECT_EQ(Text(), "Пе"_w);
  PressCell(31);
  EXPECT_EQ(Text(), "Пеь"_w);
  PressCell(26);
  EXPECT_EQ(Text(), "Пеьё"_w);
  EXPECT_EQ(gTextEntry.cursor, 4);
  PressCell(32);
  PressCell(32);
  EXPECT_EQ(Text(), "Пе"_w);
  PressCell(33);
  EXPECT_EQ(cell_, 1) << "accepted";
  EXPECT_EQ(last_, "Пе"_w) << "remembered for the next entry";
}

TEST_F(NameGridTest, DeleteAndAcceptOnAnEmptyText) {
  PressCell(32);
  PressCell(32);
  PressCell(32);
  PressCell(32);
  EXPECT_EQ(Text(), "") << "the delete cell deletes into the previous name";
  PressCell(32);
  EXPECT_EQ(Text(), "") << "and nothing more on an empty text";
  EXPECT_EQ(gTextEntry.cursor, 0);
  PressCell(31);
  EXPECT_EQ(Text(), "") << "ь cannot start a name";
  PressCell(33);
  EXPECT_EQ(Text(), "Иван"_w) << "accepting nothing brings the previous name back";
  EXPECT_EQ(cell_, 1);
  EXPECT_EQ(last_, "Иван"_w);
}

TEST_F(NameGridTest, AHeldRotateAddsOneLetterPer400Ms) {
  gNameCursor = 1;
  NameGridInput(gTextEntry, last_, 0, 0, 1);
  EXPECT_EQ(Text(), "А"_w);
  EXPECT_EQ(TextCooldownMs, 400);
  for (int frame = 0; frame < 5; ++frame) NameGridInput(gTextEntry, last_, 0, 0, 1);
  EXPECT_EQ(Text(), "А"_w);
  TextCooldownMs = 0;
  NameGridInput(gTextEntry, last_, 0, 0, 1);
  EXPECT_EQ(Text(), "Аа"_w);
}

TEST_F(NameGridTest, TheGridStopsAtTheEntrysMaximum) {
  // Keyboard first, up to one short of the maximum, then the grid.
  for (unsigned char c : std::string("abcdefghijklmn")) TextEntryChar(c);
  ASSERT_EQ(Text(), "abcdefghijklmn");
  ASSERT_EQ(cell_, -1);
  PressCell(1);
  EXPECT_EQ(Text(), "abcdefghijklmn" + std::string("а"_w));
  PressCell(2);
  PressCell(3);
  EXPECT_EQ(Text().size(), 15u) << "no letter past the maximum";
  EXPECT_EQ(cell_, -1) << "the grid never accepts by itself";
  PressCell(32);
  EXPECT_EQ(Text().size(), 14u);
}

TEST_F(NameGridTest, KeyboardAndGridEditTheSameText) {
  TextEntryChar('J');  // replaces the previous name
  EXPECT_EQ(Text(), "J");
  PressCell(2);
  EXPECT_EQ(Text(), "J"_w + std::string("б"_w));
  TextEntryChar('x');
  TextEntryChar(8);
  TextEntryChar(8);
  EXPECT_EQ(Text(), "J");
  TextEntryChar(13);
  EXPECT_EQ(cell_, 1);
}

TEST_F(NameGridTest, TypingInTheOptionsMenuLeavesTheNameAlone) {
  ShowPanel(OptionsPanel, true);
  for (int c : {int{'Q'}, 8, 13}) WindowProc(WM_CHAR, static_cast<uintptr_t>(c), 0);
  EXPECT_EQ(Text(), last_);
  EXPECT_EQ(cell_, -1) << "Enter in the menu does not accept the name";
  ShowPanel(OptionsPanel, false);
  WindowProc(WM_CHAR, 'Q', 0);
  EXPECT_EQ(Text(), "Q");
}

TEST(DebugOverlayLines, ShowTheCountersInTheirFormats) {
  const GestureCounters saved = gGestureCounters;
  const int32_t savedHold = gMouseGestures.buttons[GestureRight].holdDurationMs;
  gGestureCounters = GestureCounters{};
  gMouseGestures.buttons[GestureRight].holdDurationMs = 0;
  EXPECT_EQ(DebugOverlayLine(GestureLeft), "L ( J0  #0)( K0  #0)(oJ0  #0) puls0 #0");
  EXPECT_EQ(DebugOverlayLine(GestureRight), "R ( J0  #0)( K0  #0)(oJ0  #0) dli0");
  EXPECT_EQ(DebugOverlayLine(GestureMiddle), "M ( J0  #0)( K0  #0)(oJ0  #0) ignor0 (w0 0)");
  for (int b = 0; b < 3; ++b) {
    for (int k = 0; k < 6; ++k) gGestureCounters.calls[b][k] = 10 * b + k + 1;
  }
  gGestureCounters.leftRepeatTicks = {7, 8};
  gGestureCounters.wheelDown = 3;
  gGestureCounters.wheelUp = 4;
  gMouseGestures.buttons[GestureRight].holdDurationMs = 640;
  EXPECT_EQ(DebugOverlayLine(GestureLeft), "L ( J1  #2)( K3  #4)(oJ5  #6) puls7 #8");
  EXPECT_EQ(DebugOverlayLine(GestureRight), "R ( J11  #12)( K13  #14)(oJ15  #16) dli640");
  EXPECT_EQ(DebugOverlayLine(GestureMiddle), "M ( J21  #22)( K23  #24)(oJ25  #26) ignor0 (w3 4)");
  gGestureCounters = saved;
  gMouseGestures.buttons[GestureRight].holdDurationMs = savedHold;
}

}  // namespace

// The options menu's rules: the chord's cooldown, the activation delay, the
// selection's wrap, what each line does and says, and the two-press lines.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "records/records.h"
#include "sound/sound.h"
#include "support/shell_game.h"
#include "ui/field_choice.h"
#include "ui/options_menu.h"

namespace {

class OptionsMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(workDir_.dir.empty());
    shell_game::Start(4242);
    gChoiceState = 2;
    StartNewGame(1);
    Tick(16);  // the default table of shape 1 is written
    ASSERT_TRUE(std::filesystem::exists(RecordsFileNameFor(1)));
    ResetOptionsMenu();
    gOptions = GameOptions{};
    gApp.quitRequested = 0;
  }
  void TearDown() override {
    gApp.quitRequested = 0;
    gOptions = GameOptions{};
    ResetOptionsMenu();
    shell_game::End();
  }

  static void Tick(uint32_t ms) {
    bot::AdvanceFrame(ms);
    GameTick(0, 0, 0, 0, 0, 0, 0);
  }
  // The menu's countdowns run down as the frame driver runs them.
  static void Wait(int32_t ms) {
    MenuCooldownMs = std::max(0, MenuCooldownMs - ms);
    OptionsToggleCooldownMs = std::max(0, OptionsToggleCooldownMs - ms);
  }
  static void Open() {
    OptionsToggleCooldownMs = 0;
    if (OptionsHidden()) {
      ASSERT_TRUE(ToggleOptionsMenu());
    }
    ASSERT_FALSE(OptionsHidden());
    Wait(400);
  }
  static void Press() { OptionsMenuNavigate(0, 0, 1, 0, 0); }
  static void Select(int line) { OptionsLine = line; }

  bot::TempWorkDir workDir_;
};

TEST_F(OptionsMenuTest, OpeningAndClosingObeyTheToggleCooldown) {
  EXPECT_TRUE(OptionsHidden());
  ASSERT_TRUE(ToggleOptionsMenu());
  EXPECT_FALSE(OptionsHidden());
  EXPECT_EQ(OptionsToggleCooldownMs, 990);
  EXPECT_EQ(MenuCooldownMs, 400);
  EXPECT_FALSE(ToggleOptionsMenu()) << "within 990 ms nothing happens";
  Wait(989);
  EXPECT_FALSE(ToggleOptionsMenu());
  Wait(1);
  EXPECT_TRUE(ToggleOptionsMenu());
  EXPECT_TRUE(OptionsHidden());

  // Line 1 closes under the same rule.
  Open();
  Select(1);
  OptionsToggleCooldownMs = 500;
  Press();
  EXPECT_FALSE(OptionsHidden()) << "too soon after opening";
  Wait(500);
  Press();
  EXPECT_TRUE(OptionsHidden());
}

TEST_F(OptionsMenuTest, SelectionWrapsAndVisitsTheEmptyLines) {
  Open();
  struct Step {
    int left, right, down, wheelUp, want;
  };
  Select(9);
  const Step steps[] = {{1, 0, 0, 0, 1}, {0, 1, 0, 0, 9}, {0, 0, 0, 1, 8}, {0, 0, 1, 0, 9},
                        {0, 0, 1, 0, 1}, {0, 0, 0, 1, 9}, {1, 1, 0, 0, 1}};
  for (const Step& s : steps) {
    OptionsMenuNavigate(s.left, s.right, 0, s.down, s.wheelUp);
    EXPECT_EQ(OptionsLine, s.want);
  }
  // The highlight stays between openings.
  Select(7);
  OptionsToggleCooldownMs = 0;
  ToggleOptionsMenu();
  OptionsToggleCooldownMs = 0;
  ToggleOptionsMenu();
  EXPECT_EQ(OptionsLine, 7);
}

TEST_F(OptionsMenuTest, TheLinesSayWhatTheyDo) {
  Open();
  struct Case {
    int line;
    std::string before, after;
    int32_t* value;
    int32_t valueAfter;
  };
  const Case cases[] = {
      {3, "вертим по-часовой (сейчас против)"_w, "вертим против (сейчас по-часовой)"_w,
       &gOptions.ccw, 0},
      {4, "дискретный шаг фигуры: 0"_w, "дискретный шаг фигуры: 1"_w, &gOptions.stepF, 1},
      {6, "цветовой пульс (есть, нет) 1"_w, "цветовой пульс (есть, нет) 0"_w, &gOptions.colourPulse,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Select(c.line);
    EXPECT_EQ(OptionLineText(c.line), c.before);
    Press();
    EXPECT_EQ(*c.value, c.valueAfter);
    EXPECT_EQ(OptionLineText(c.line), c.after);
    Press();
    EXPECT_EQ(*c.value, c.valueAfter) << "a second press within 400 ms does nothing";
    Wait(400);
    Press();
    EXPECT_EQ(*c.value, 1 - c.valueAfter) << "and one 400 ms later toggles back";
    EXPECT_EQ(OptionLineText(c.line), c.before);
    Wait(400);
  }
  EXPECT_EQ(OptionLineText(1), "возврат в игру"_w);
  EXPECT_EQ(OptionLineText(7), "");
  EXPECT_EQ(OptionLineText(9), "");
  EXPECT_EQ(OptionLineText(5), "сброс таблицы рекордов [3]"_w);
  EXPECT_EQ(OptionLineText(8), "выход из игры [3]"_w);

  // The colour pulse takes its companions along.
  Select(6);
  Press();
  EXPECT_EQ(gOptions.colourPulse, 0);
  EXPECT_EQ(gOptions.pulseCompanions[0], 0);
  EXPECT_EQ(gOptions.pulseCompanions[1], 0);

  // Lines 7 and 9 change nothing.
  const GameOptions before = gOptions;
  for (int line : {7, 9}) {
    Wait(400);
    Select(line);
    Press();
    EXPECT_EQ(MenuCooldownMs, 400);
  }
  EXPECT_EQ(std::memcmp(&before, &gOptions, sizeof before), 0);
  EXPECT_FALSE(OptionsHidden());
  EXPECT_EQ(gApp.quitRequested, 0);
}

TEST_F(OptionsMenuTest, NoOptionChangesWithin400MsOfOpening) {
  OptionsToggleCooldownMs = 0;
  ASSERT_TRUE(ToggleOptionsMenu());
  Select(3);
  Press();
  EXPECT_EQ(gOptions.ccw, 1);
  Wait(399);
  Press();
  EXPECT_EQ(gOptions.ccw, 1);
  Wait(1);
  Press();
  EXPECT_EQ(gOptions.ccw, 0);
}

TEST_F(OptionsMenuTest, SoundLineMutesOnlyWithADevice) {
  Open();
  Select(2);
  EXPECT_EQ(OptionLineText(2), "отключить звуки (сейчас включены)"_w);
  Press();
  if (SoundDeviceOpen()) {
    EXPECT_EQ(gSoundMuted, 1);
    EXPECT_EQ(OptionLineText(2), "включить звуки (сейчас отклюены)"_w);
  } else {
    EXPECT_EQ(gSoundMuted, 0) << "without a device there is nothing to mute";
    EXPECT_EQ(OptionLineText(2), "отключить звуки (сейчас включены)"_w);
  }
}

std::vector<uint8_t> Bytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(OptionsMenuTest, RecordsResetNeedsTwoPressesAndKeepsOneBackup) {
  // A table worth keeping, then an old backup that must give way.
  CommitRecord("Masha", RecordValues{.score = 5000});
  const std::string file = RecordsFileNameFor(1);
  const std::vector<uint8_t> kept = Bytes(file);
  {
    std::ofstream old(file + "_bak", std::ios::binary);
    old << "an older backup";
  }
  Open();
  Select(5);
  Press();
  EXPECT_EQ(OptionsMenuCounts().resetCountdown, 2);
  EXPECT_EQ(OptionLineText(5), "сброс таблицы рекордов [2]"_w);
  EXPECT_EQ(gRecordTable[0].score, 5000) << "one press clears nothing";
  Press();
  EXPECT_EQ(OptionsMenuCounts().resetCountdown, 2) << "the second press must wait 400 ms";
  Wait(400);
  Press();
  EXPECT_EQ(OptionsMenuCounts().resetCountdown, 1);
  EXPECT_EQ(OptionLineText(5), "таблица рекордов сброшена"_w);
  EXPECT_EQ(Bytes(file + "_bak"), kept) << "the old table is the one backup";
  EXPECT_EQ(gRecordTable[0].score, 940);
  RecordTable table{};
  const std::vector<uint8_t> now = Bytes(file);
  ASSERT_EQ(DecodeRecords(now.data(), static_cast<uint32_t>(now.size()), table), kRecordsOk);
  EXPECT_EQ(table[0].score, 940);
  EXPECT_EQ(std::string(table[0].name), "---         ");

  // More presses do nothing; reopening starts the count again.
  Wait(400);
  Press();
  EXPECT_EQ(OptionsMenuCounts().resetCountdown, 1);
  EXPECT_EQ(Bytes(file + "_bak"), kept);
  Wait(990);
  ASSERT_TRUE(ToggleOptionsMenu());
  ASSERT_TRUE(OptionsHidden());
  Wait(990);
  Open();
  EXPECT_EQ(OptionsMenuCounts().resetCountdown, 3);
}

TEST_F(OptionsMenuTest, QuitNeedsTwoPresses400MsApart) {
  Open();
  Select(8);
  Press();
  EXPECT_EQ(OptionLineText(8), "выход из игры [2]"_w);
  EXPECT_EQ(gApp.quitRequested, 0);
  Wait(399);
  Press();
  EXPECT_EQ(gApp.quitRequested, 0) << "399 ms is too soon";
  Wait(1);
  Press();
  EXPECT_EQ(gApp.quitRequested, 1);
  EXPECT_EQ(OptionLineText(8), "выход из игры [1]"_w);
  EXPECT_FALSE(OptionsHidden()) << "the menu stays until the loop ends";

  // Reopened, the count starts at 3 again.
  gApp.quitRequested = 0;
  Wait(990);
  ASSERT_TRUE(ToggleOptionsMenu());
  ASSERT_TRUE(OptionsHidden());
  Wait(990);
  Open();
  EXPECT_EQ(OptionsMenuCounts().quitCountdown, 3);
}

}  // namespace

// The end of a game: game over, the wait, the rank, the name entry, the
// records entry and the restart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/bot.h"

namespace {

class EndOfGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(workDir_.dir.empty());
    bot::StartHeadlessGame(31337);
    test_host::gHost.choiceOpen = false;
    StartNewGame(1);
    Tick(16);  // the default records table: 940 down to 750
    ASSERT_EQ(gRecordTable[0].score, 940);
    ASSERT_EQ(gRecordTable[19].score, 750);
  }
  void TearDown() override { bot::EndHeadlessGame(); }

  static void Tick(uint32_t ms) {
    bot::AdvanceFrame(ms);
    GameTick(0, 0, 0, 0, 0, 0, 0);
  }
  // Blocks the spawn so that the next piece ends the game with this score.
  static void GameOverWithScore(int score) {
    Field& f = *gGame.field;
    gGame.score = score;
    f.setCell(f.index(2, f.width / 2 - 1), 3);
    gGame.current.position = 0;
    Tick(16);
    ASSERT_EQ(gGame.endState, 1);
  }
  // Runs the wait out; the next frame decides the rank.
  static void ToRankDecision() {
    Tick(16);
    ASSERT_EQ(gGame.endState, 2);
    while (gGame.endState == 2) Tick(100);
    ASSERT_EQ(gGame.endState, 3);
    Tick(16);
  }
  static void Type(const std::string& text) {
    for (unsigned char c : text) TextEntryChar(c);
  }
  static std::string Padded(std::string name) {
    name.resize(12, ' ');
    return name;
  }
  static std::string NameAt(int rank) { return std::string(gRecordTable[rank - 1].name, 12); }

  bot::TempWorkDir workDir_;
};

TEST_F(EndOfGameTest, GameOverHoldsTheFrameAndEndsTheChain) {
  gGame.chainNumber = 3;
  gGame.chainBonus = 33;
  gGame.fallPeriod = 450;
  const uint32_t before = bot::gNow;
  GameOverWithScore(100);
  EXPECT_EQ(bot::gNow - before, 16u + 300u);  // the frame slept 300 ms
  EXPECT_EQ(gGame.gameOverTimer, 3200);
  EXPECT_EQ(gGame.fallPeriod, 1000);
  EXPECT_EQ(gGame.chainNumber, 0);
  EXPECT_EQ(StatCount(gGame.gameChains, 1), 1);
  EXPECT_EQ(gGame.spawnBlockCell, gGame.field->index(2, gGame.field->width / 2 - 1));
}

TEST_F(EndOfGameTest, TheWaitLastsTwoSeconds) {
  EXPECT_FALSE(EndOfGame());
  GameOverWithScore(100);
  Tick(16);
  EXPECT_EQ(gGame.endState, 2);
  EXPECT_EQ(gGame.endTimer, 2000);
  for (int t = 100; t < 2000; t += 100) {
    Tick(100);
    ASSERT_EQ(gGame.endState, 2) << t;
  }
  Tick(100);
  EXPECT_EQ(gGame.endState, 3);
  EXPECT_FALSE(test_host::Shown(kStageResultsPanel));
}

TEST_F(EndOfGameTest, WithoutARankTheResultsCloseAfterOneSecondAndTheGameRestarts) {
  GameOverWithScore(500);
  ToRankDecision();
  EXPECT_EQ(gGame.endState, 4);
  EXPECT_EQ(gGame.recordRank, -1);
  EXPECT_EQ(gPreviewRank, 0);
  EXPECT_EQ(gGame.closeLock, 1000);
  EXPECT_EQ(gGame.nameInput, 0);
  EXPECT_TRUE(test_host::Shown(kStageResultsPanel));
  EXPECT_FALSE(test_host::Shown(kNameEntryPanel));
  EXPECT_FALSE(TextEntryEditing());
  EXPECT_EQ(gGame.paused, 1);
  for (int t = 0; t < 9; ++t) Tick(100);
  EXPECT_FALSE(StageResultsClosable());
  Tick(100);
  EXPECT_TRUE(StageResultsClosable());
  EXPECT_EQ(gRecordTable[0].score, 940);  // nothing entered

  CloseStageResults();
  EXPECT_FALSE(test_host::Shown(kStageResultsPanel));
  Tick(16);  // the restart
  EXPECT_EQ(gGame.endState, 0);
  EXPECT_TRUE(test_host::gHost.choiceOpen);
  EXPECT_EQ(gGame.stage, 1);
  EXPECT_EQ(gGame.score, 0);
  EXPECT_EQ(gGame.cubes, 0);
  EXPECT_EQ(gGame.stageCubes, 0);
  EXPECT_EQ(gGame.stageTarget, 50);
  EXPECT_EQ(gGame.gameOverTimer, 3200 - 16);
  EXPECT_EQ(StatSum(gGame.gameChains), 0);
  EXPECT_EQ(gGame.spawnBlockCell, 0);
  EXPECT_GT(gGame.current.position, 0);
  EXPECT_EQ(gGame.next.centre, 0);
  // The shape choice then starts the next game.
  StartNewGame(4);
  Tick(16);
  EXPECT_EQ(gGame.variant, 4);
  EXPECT_EQ(gGame.stage, 1);
  EXPECT_GT(gGame.current.position, 0);
}

TEST_F(EndOfGameTest, ARankOpensTheNameEntryWithThePreviousName) {
  GameOverWithScore(960);
  ToRankDecision();
  EXPECT_EQ(gGame.endState, 5);
  EXPECT_EQ(gGame.recordRank, 1);
  EXPECT_EQ(gPreviewRank, 1);
  EXPECT_EQ(gGame.closeLock, 600000);
  EXPECT_TRUE(test_host::Shown(kStageResultsPanel));
  EXPECT_EQ(gGame.paused, 1);
  Tick(16);
  EXPECT_TRUE(TextEntryEditing());
  EXPECT_TRUE(test_host::Shown(kNameEntryPanel));
  EXPECT_EQ(gTextEntry.buffer, "Жорб"_w);
  EXPECT_FALSE(StageResultsClosable());

  Type("Ivan");
  TextEntryChar(13);
  Tick(16);
  EXPECT_EQ(gGame.endState, 4);
  EXPECT_EQ(gGame.nameInput, 0);
  EXPECT_EQ(gGame.closeLock, 350);
  EXPECT_FALSE(test_host::Shown(kNameEntryPanel));
  EXPECT_FALSE(TextEntryEditing());
  EXPECT_EQ(NameAt(1), Padded("Ivan")) << "the first key typed replaces the previous name";
  EXPECT_EQ(gRecordTable[0].score, 960);
  EXPECT_EQ(gRecordTable[1].score, 940);
  EXPECT_EQ(std::filesystem::file_size(RecordsFileNameFor(1)), 1280u);
  EXPECT_EQ(gGame.playerName, "Ivan") << "offered again next time";

  Tick(200);
  EXPECT_FALSE(StageResultsClosable());
  Tick(200);
  ASSERT_TRUE(StageResultsClosable());
  CloseStageResults();
  Tick(16);
  EXPECT_EQ(gGame.endState, 0);
  EXPECT_TRUE(test_host::gHost.choiceOpen);
}

struct NameCase {
  const char* name;
  std::string previous;
  std::string keys;  // fed to the editor; the entry is then accepted with Enter
  bool cancel;
  std::string stored;
  std::string remembered;  // the name offered next time
};

TEST_F(EndOfGameTest, StoredNames) {
  const NameCase cases[] = {
      {"cancelled", "Vova", "abc", true, "Comp", "Vova"},
      {"previous name accepted", "Vova", "", false, "Vova", "Vova"},
      {"tab", "", "   \t", false, "__", "__"},
      {"spaces only", "", "    ", false, "Zero", ""},
      {"empty", "", "", false, "Zero", ""},
      {"previous name of spaces", "   ", "", false, "Zero", "   "},
      {"trimmed", "  Lo ", "\bx  ", false, "Lox", "Lox"},
      // Full at 15: accepted by itself; offered again whole.
      {"cut to twelve", "", "ABCDEFGHIJKLMNO", false, "ABCDEFGHIJKL", "ABCDEFGHIJKLMNO"},
      {"replaced, then edited", "Ab", "cd\b\b$X#Y%'", false, "XY", "XY"},
      {"backspace into the previous name", "Ab", "\b\bXY", false, "XY", "XY"},
      {"follows once edited", "Ab", "\bcd", false, "Acd", "Acd"},
      {"home keeps the previous name whole", "Ab", "$Q", false, "Q", "Q"},
      {"cyrillic", "Ан"_w, "Пётр"_w, false, "Пётр"_w, "Пётр"_w},
      {"mixed scripts", "Ан"_w, "Ivan Пётр"_w, false, "Ivan Пётр"_w, "Ivan Пётр"_w},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    StartNewGame(1);
    test_host::gHost.choiceOpen = false;
    Tick(16);
    gGame.playerName = c.previous;
    GameOverWithScore(1000);
    ToRankDecision();
    ASSERT_EQ(gGame.endState, 5);
    Tick(16);
    ASSERT_TRUE(TextEntryEditing());
    EXPECT_EQ(gTextEntry.buffer, c.previous);
    Type(c.keys);
    if (TextEntryEditing()) TextEntryChar(c.cancel ? 27 : 13);
    Tick(16);
    ASSERT_EQ(gGame.endState, 4);
    EXPECT_EQ(NameAt(1), Padded(c.stored));
    EXPECT_EQ(gGame.playerName, c.remembered);
    // Back to a fresh table for the next case.
    std::filesystem::remove(RecordsFileNameFor(1));
    gGame.closeLock = 0;
    CloseStageResults();
    Tick(16);
  }
}

// Quitting from the options menu while a ranking game waits for its name:
// the game goes into the table with what was typed so far.
TEST_F(EndOfGameTest, APendingNameIsCommittedBeforeQuitting) {
  FinishPendingRecord();
  EXPECT_EQ(gRecordTable[0].score, 940) << "nothing pending: nothing entered";
  GameOverWithScore(1200);
  ToRankDecision();
  ASSERT_EQ(gGame.endState, 5);
  FinishPendingRecord();  // before the entry even opened: the previous name
  EXPECT_EQ(gGame.endState, 4);
  EXPECT_EQ(NameAt(1), Padded("Жорб"_w));
  EXPECT_EQ(gRecordTable[0].score, 1200);

  std::filesystem::remove(RecordsFileNameFor(1));
  gGame.closeLock = 0;
  CloseStageResults();
  Tick(16);
  StartNewGame(1);
  test_host::gHost.choiceOpen = false;
  Tick(16);
  GameOverWithScore(1300);
  ToRankDecision();
  Tick(16);
  ASSERT_TRUE(TextEntryEditing());
  Type("Ol");
  FinishPendingRecord();
  EXPECT_FALSE(TextEntryEditing());
  EXPECT_EQ(gGame.endState, 4);
  EXPECT_EQ(NameAt(1), Padded("Ol"));
  // The table is on disk, not just in memory.
  RecordTable onDisk{};
  std::ifstream in(RecordsFileNameFor(1), std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(DecodeRecords(bytes.data(), static_cast<uint32_t>(bytes.size()), onDisk), kRecordsOk);
  EXPECT_EQ(std::string(onDisk[0].name, 12), Padded("Ol"));
  EXPECT_EQ(onDisk[0].score, 1300);
}

TEST_F(EndOfGameTest, PlacesFollowTheScores) {
  struct {
    int score, rank;
  } cases[] = {{940, 1}, {941, 1}, {939, 2}, {750, 20}, {749, 0}, {0, 0}};
  for (auto c : cases) {
    SCOPED_TRACE(c.score);
    StartNewGame(1);
    test_host::gHost.choiceOpen = false;
    Tick(16);
    GameOverWithScore(c.score);
    ToRankDecision();
    EXPECT_EQ(gGame.recordRank, c.rank == 0 ? -1 : c.rank);
    EXPECT_EQ(gGame.endState, c.rank == 0 ? 4 : 5);
    if (c.rank > 0) {
      Tick(16);
      TextEntryChar(13);
      Tick(16);
      EXPECT_EQ(gRecordTable[c.rank - 1].score, c.score);
      if (c.rank < 20) {
        EXPECT_EQ(gRecordTable[c.rank].score, 940 - 10 * (c.rank - 1));
      }
      std::filesystem::remove(RecordsFileNameFor(1));
    }
    gGame.closeLock = 0;
    CloseStageResults();
    Tick(16);
    ASSERT_EQ(gGame.endState, 0);
  }
}

TEST_F(EndOfGameTest, PlayWaitsWhilePaused) {
  gGame.paused = 1;
  EXPECT_TRUE(CheckGameEnd());
  gGame.paused = 0;
  EXPECT_FALSE(CheckGameEnd());
  // A finished game waits for its results to be closed.
  gGame.endState = 4;
  gGame.paused = 1;
  EXPECT_TRUE(CheckGameEnd());
  EXPECT_EQ(gGame.endState, 4);
}

}  // namespace

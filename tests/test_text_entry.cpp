// The one-line text editor: starting, keys, accepting, cancelling, polling.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "base/text.h"

namespace {

class TextEntryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    // Never leave an entry open for the next test.
    std::string ignored;
    if (gTextEntry.owner == &cell_) {
      if (cell_ == -1) cell_ = 2;
      PollTextEntry(&cell_, ignored, 1);
    }
  }
  int32_t cell_ = 0;
};

TEST_F(TextEntryTest, BeginSetsThePromptAndTheCursor) {
  ASSERT_EQ(BeginTextEntry(&cell_, "Name:", 15), 1);
  EXPECT_EQ(cell_, -1);
  EXPECT_TRUE(TextEntryEditing());
  EXPECT_EQ(gTextEntry.buffer, "Name:");
  EXPECT_EQ(gTextEntry.start, 5);
  EXPECT_EQ(gTextEntry.cursor, 5);
  EXPECT_EQ(gTextEntry.maxLen, 15);
}

TEST_F(TextEntryTest, MaxLenBelowOneMeans125) {
  for (int maxLen : {0, -4}) {
    ASSERT_EQ(BeginTextEntry(&cell_, "", maxLen), 1);
    EXPECT_EQ(gTextEntry.maxLen, 125);
    TextEntryChar(27);
    std::string out;
    ASSERT_EQ(PollTextEntry(&cell_, out, 1), 1);
  }
}

TEST_F(TextEntryTest, OnlyOneEntryAtATime) {
  ASSERT_EQ(BeginTextEntry(&cell_, "a", 5), 1);
  int32_t other = 0;
  EXPECT_EQ(BeginTextEntry(&other, "b", 5), 0);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(BeginTextEntry(&cell_, "b", 5), 0);
  EXPECT_EQ(gTextEntry.buffer, "a");
  // A cell that is not idle, or no cell, cannot start one either.
  std::string out;
  TextEntryChar(13);
  ASSERT_EQ(PollTextEntry(&cell_, out, 0), 1);
  EXPECT_EQ(cell_, 1);
  EXPECT_EQ(BeginTextEntry(&cell_, "c", 5), 0);
  EXPECT_EQ(BeginTextEntry(nullptr, "c", 5), 0);
  cell_ = 0;
  EXPECT_EQ(BeginTextEntry(&cell_, "c", 5), 1);
}

TEST_F(TextEntryTest, AnEntryItsOwnerResetIsAbandoned) {
  ASSERT_EQ(BeginTextEntry(&cell_, "a", 5), 1);
  cell_ = 0;  // the owner gave up without collecting the result
  EXPECT_FALSE(TextEntryEditing());
  int32_t other = 0;
  ASSERT_EQ(BeginTextEntry(&other, "b", 5), 1);
  EXPECT_EQ(gTextEntry.buffer, "b");
  EXPECT_EQ(TextEntryChar(27), 1);
  std::string out;
  EXPECT_EQ(PollTextEntry(&other, out, 1), 1);
}

TEST_F(TextEntryTest, NothingIsTakenWithoutAnEntry) {
  EXPECT_FALSE(TextEntryEditing());
  EXPECT_EQ(TextEntryChar('a'), 0);
  EXPECT_EQ(TextEntryChar(13), 0);
}

struct KeyCase {
  const char* name;
  std::string prompt;
  int maxLen;
  std::vector<int> keys;
  std::string buffer;
  int cursor;
  int result;  // the cell afterwards
};

class TextEntryKeys : public TextEntryTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TextEntryKeys, EditTheBuffer) {
  const KeyCase& c = GetParam();
  ASSERT_EQ(BeginTextEntry(&cell_, c.prompt, c.maxLen), 1);
  for (int k : c.keys) TextEntryChar(k);
  EXPECT_EQ(gTextEntry.buffer, c.buffer);
  EXPECT_EQ(gTextEntry.cursor, c.cursor);
  EXPECT_EQ(cell_, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TextEntryKeys,
    ::testing::Values(
        KeyCase{"typing", "P:", 15, {'a', 'b', 'c'}, "P:abc", 5, -1},
        KeyCase{"backspace", "P:", 15, {'a', 'b', 8}, "P:a", 3, -1},
        KeyCase{"backspace stops at the prompt", "P:", 15, {'a', 8, 8, 8}, "P:", 2, -1},
        KeyCase{"tab inserts two underscores", "", 15, {'a', 9, 'b'}, "a__b", 4, -1},
        KeyCase{"home then insert", "P:", 15, {'a', 'b', 36, 'x'}, "P:xab", 3, -1},
        KeyCase{"dollar is home", "", 15, {'a', 'b', '$', 'x'}, "xab", 1, -1},
        KeyCase{"end after home", "", 15, {'a', 'b', 36, 35, 'x'}, "abx", 3, -1},
        KeyCase{"hash is end", "", 15, {'a', 'b', '$', '#', 'x'}, "abx", 3, -1},
        KeyCase{"tab in the middle", "", 15, {'a', 'b', '$', 9}, "__ab", 2, -1},
        KeyCase{"backspace in the middle", "", 15, {'a', 'b', 'c', '$', 'x', 8, 8}, "abc", 0, -1},
        KeyCase{"percent and apostrophe ignored", "", 15, {'a', '%', '\'', 'b'}, "ab", 2, -1},
        KeyCase{"other control codes do nothing", "", 15, {'a', 1, 7, 31, 'b'}, "ab", 2, -1},
        KeyCase{"cyrillic bytes", "", 15, {0xC0, 0xFF, -64}, "\xC0\xFF\xC0", 3, -1},
        KeyCase{"enter accepts", "", 15, {'a', 13}, "a", 1, 1},
        KeyCase{"escape cancels", "", 15, {'a', 27}, "a", 1, 2},
        KeyCase{"full accepts itself", "P", 3, {'a', 'b', 'c', 'd'}, "Pabc", 4, 1},
        KeyCase{"a tab may overfill", "", 3, {'a', 'b', 9}, "ab__", 4, 1}),
    [](const ::testing::TestParamInfo<KeyCase>& info) {
      std::string n = info.param.name;
      for (char& ch : n) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return n;
    });

TEST_F(TextEntryTest, IgnoredCodesAreNotTakenButRemembered) {
  ASSERT_EQ(BeginTextEntry(&cell_, "", 15), 1);
  EXPECT_EQ(TextEntryChar('%'), 0);
  EXPECT_EQ(gTextEntry.lastChar[0], '%');
  EXPECT_EQ(TextEntryChar('\''), 0);
  EXPECT_EQ(TextEntryChar('q'), 1);
  EXPECT_EQ(std::string(gTextEntry.lastChar), "q");
  EXPECT_EQ(TextEntryChar(5), 1);  // taken, though it does nothing
}

TEST_F(TextEntryTest, PollGivesTheWholeBufferOnAccept) {
  ASSERT_EQ(BeginTextEntry(&cell_, "Жорб"_w, 15), 1);
  TextEntryChar('!');
  std::string out = "old";
  int32_t other = 0;
  EXPECT_EQ(PollTextEntry(&other, out, 1), 0);  // not its entry
  EXPECT_EQ(PollTextEntry(&cell_, out, 1), 0);  // still editing
  EXPECT_EQ(out, "old");
  TextEntryChar(13);
  EXPECT_FALSE(TextEntryEditing());
  ASSERT_EQ(PollTextEntry(&cell_, out, 1), 1);
  EXPECT_EQ(out, std::string("Жорб"_w) + "!");
  EXPECT_EQ(cell_, 0);
  EXPECT_EQ(gTextEntry.owner, nullptr);
  EXPECT_EQ(gTextEntry.buffer, "");
  EXPECT_EQ(gTextEntry.cursor, 0);
  EXPECT_EQ(PollTextEntry(&cell_, out, 1), 0);  // closed
}

TEST_F(TextEntryTest, PollGivesNothingOnCancelAndMayKeepTheResult) {
  ASSERT_EQ(BeginTextEntry(&cell_, "x", 15), 1);
  TextEntryChar('y');
  TextEntryChar(27);
  std::string out = "old";
  ASSERT_EQ(PollTextEntry(&cell_, out, 0), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(cell_, 2);  // kept for the caller
  EXPECT_EQ(gTextEntry.owner, nullptr);
}

TEST_F(TextEntryTest, ABufferShortenedBehindItsBackIsEditedSafely) {
  ASSERT_EQ(BeginTextEntry(&cell_, "Prompt", 15), 1);
  gTextEntry.buffer = "P";  // another editor replaced the text
  gTextEntry.cursor = 1;
  EXPECT_EQ(TextEntryChar('e'), 1);
  EXPECT_EQ(gTextEntry.buffer, "Pe");
  EXPECT_EQ(TextEntryChar(8), 1);
  EXPECT_EQ(TextEntryChar(8), 1);
  EXPECT_EQ(gTextEntry.buffer, "P");
  EXPECT_EQ(gTextEntry.cursor, 1);
}

}  // namespace

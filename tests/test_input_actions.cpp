// Input actions: the bindings file and the per-frame evaluation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/input_actions.h"
#include "base/timers.h"
#include "platform/platform.h"

namespace {

uint32_t gFakeNow = 1000;
uint32_t FakeTicks() {
  return gFakeNow;
}

// One slot of the bindings file, line by line after the three free lines.
struct SlotLines {
  std::string name = "act";
  std::string keys = "1 65 0 0 0 0";  // enabled key1 key2 key3 exclusive extra
  std::string multi = "0";
  std::string kind = "0";
  std::string repeat = "0";
  std::string counter = "1";
  std::string lockout = "0 10 1";  // lockout commandId priority
  std::string active = "1";
};

const SlotLines kSpare{
    .name = "spare", .keys = "0 0 0 0 0 0", .counter = "0", .lockout = "0 0 0", .active = "0"};

std::string SlotText(const SlotLines& s) {
  return "-- free line\nanother free line\n\n" + s.name + "\n" + s.keys + "\n" + s.multi +
         "   multi-press flag\n" + s.kind + "   kind\n" + s.repeat + "   repeat flag\n" +
         s.counter + "   counter\n" + s.lockout + "\n" + s.active + "   active\n";
}

std::string FileText(const std::map<int, SlotLines>& slots) {
  std::string text;
  for (int i = 0; i < 12; ++i) {
    const auto it = slots.find(i);
    text += SlotText(it != slots.end() ? it->second : kSpare);
  }
  return text;
}

void LoadText(const std::string& text) {
  std::istringstream in(text);
  LoadInputActions(in);
}

class ActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gFakeNow = 1000;
    SetTickSource(FakeTicks);
    gFrameClock = FrameClock{};
    ResetFrameClock();
    ClearKeyTable();
    MouseX = 0;
    MouseY = 0;
    LoadText(FileText({}));
  }
  void TearDown() override {
    SetTickSource(nullptr);
    ClearKeyTable();
  }

  static void Load(const std::map<int, SlotLines>& slots) { LoadText(FileText(slots)); }
  static void Frame(uint32_t ms) {
    gFakeNow += ms;
    TickFrameClock();
    EvaluateInputActions();
  }
  // Holds `key` for `durationMs` in frames of `frameMs`; the times (from
  // the first frame) at which the slot fired.
  static std::vector<int> FireTimes(int slot, int key, int durationMs, int frameMs) {
    std::vector<int> times;
    gKeyTable[key] = 1;
    for (int t = 0; t <= durationMs; t += frameMs) {
      Frame(frameMs);
      if (gActions[slot].fired != 0) times.push_back(t);
    }
    gKeyTable[key] = 0;
    for (int t = 0; t < 500; t += frameMs) Frame(frameMs);  // let any lockout run out
    return times;
  }
};

// ----------------------------------------------------------------- loading

TEST_F(ActionTest, LoadsEveryFieldOfAValidSlot) {
  Load({{2,
         {.name = " \t a very long name  ",
          .keys = "5 37 300 -4 1 77",
          .multi = "1",
          .kind = "1 300 200 1",
          .repeat = "1",
          .counter = "2 5 2 400 3",
          .lockout = "150 42 7",
          .active = "9"}}});
  const InputAction& a = gActions[2];
  EXPECT_STREQ(a.name, "a very long");
  EXPECT_EQ(a.enabled, 5);
  EXPECT_EQ(a.active, 1);
  EXPECT_EQ(a.errorCode, kActionValid);
  EXPECT_EQ(a.key1, 37);
  EXPECT_EQ(a.key2, 0);  // 300 is no key code
  EXPECT_EQ(a.key3, 0);  // nor is -4
  EXPECT_EQ(a.exclusive, 1);
  EXPECT_EQ(a.extra, 77);
  EXPECT_EQ(a.kind, 1);
  EXPECT_EQ(a.secondPressMs, 300);
  EXPECT_EQ(a.thirdPressMs, 200);
  EXPECT_EQ(a.doublesOnly, 1);
  EXPECT_EQ(a.counter, 2);
  EXPECT_EQ(a.counterMax, 5);
  EXPECT_EQ(a.counterMode, 2);
  EXPECT_EQ(a.repeatDelayMs, 400);
  EXPECT_EQ(a.repeatMax, 3);
  EXPECT_EQ(a.lockoutMs, 150);
  EXPECT_EQ(a.commandId, 42);
  EXPECT_EQ(a.priority, 7);
  EXPECT_EQ(a.fired, 0);
  EXPECT_EQ(a.lockoutLeft, 0);

  // The 13th slot stays disabled.
  EXPECT_EQ(gActions[12].enabled, 0);
  EXPECT_EQ(gActions[12].active, 0);
}

TEST_F(ActionTest, WindowsLineEndsAreRead) {
  std::string text = FileText({{0, {.name = "left"}}, {11, {.name = "last"}}});
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  LoadText(crlf);
  EXPECT_STREQ(gActions[0].name, "left");
  EXPECT_EQ(gActions[0].enabled, 1);
  EXPECT_STREQ(gActions[11].name, "last");
  EXPECT_EQ(gActions[11].active, 1);
}

struct Expect {
  int enabled = 1, active = 1, errorCode = kActionValid, kind = 0;
  int key1 = 65, key2 = 0, key3 = 0;
  int counter = 1, counterMax = 2, counterMode = 0, repeatDelayMs = 0, repeatMax = 0;
  int secondPressMs = 0, thirdPressMs = 0;
  int lockoutMs = 0, commandId = 10, priority = 1;
};
constexpr Expect kDisabled{
    .enabled = 0, .active = 0, .lockoutMs = kDisabledLockoutMs, .commandId = 0, .priority = 0};

Expect Disabled(int error, Expect e = kDisabled) {
  e.errorCode = error;
  return e;
}

struct ValidationCase {
  const char* what;
  SlotLines slot;
  Expect expect;
};

TEST_F(ActionTest, ValidationTable) {
  Expect noKeys = Disabled(kActionNoKey);
  noKeys.key1 = 0;
  Expect keyInRange;
  keyInRange.key1 = 0;
  keyInRange.key2 = 38;
  Expect counterOff;
  counterOff.counter = 0;
  counterOff.counterMax = 0;
  Expect multi;
  multi.kind = 1;
  multi.secondPressMs = 250;
  Expect multiNegative = multi;
  multiNegative.secondPressMs = 0;
  auto kind = [](int k) {
    Expect e;
    e.kind = k;
    return e;
  };
  auto repeat = [](int value, int max, int mode, int delay, int most) {
    Expect e;
    e.counter = value;
    e.counterMax = max;
    e.counterMode = mode;
    e.repeatDelayMs = delay;
    e.repeatMax = most;
    return e;
  };
  Expect inactive;
  inactive.active = 0;
  Expect disabledKindOne = Disabled(kActionBadKind);
  disabledKindOne.kind = 0;

  const ValidationCase cases[] = {
      {"valid default", {}, {}},
      {"not enabled", {.keys = "0 65 0 0 0 0"}, Disabled(kActionNoKey)},
      {"negative enabled", {.keys = "-1 65 0 0 0 0"}, Disabled(kActionNoKey)},
      {"no key at all", {.keys = "1 0 0 0 0 0"}, noKeys},
      {"keys only out of range", {.keys = "1 256 -1 999 0 0"}, noKeys},
      {"one key in range", {.keys = "1 300 38 -2 0 0"}, keyInRange},
      {"plain kind 1 is refused", {.kind = "1"}, disabledKindOne},
      {"plain kind 2", {.kind = "2"}, kind(2)},
      {"plain kind 3", {.kind = "3"}, kind(3)},
      {"plain kind 4", {.kind = "4"}, kind(4)},
      {"unknown kind becomes 0", {.kind = "9"}, kind(0)},
      {"negative kind becomes 0", {.kind = "-3"}, kind(0)},
      {"multi-press kind 1", {.multi = "1", .kind = "1 250 0 0"}, multi},
      {"multi-press negative waits", {.multi = "1", .kind = "1 -250 -9 0"}, multiNegative},
      {"multi-press with kind 0 refused",
       {.multi = "7", .kind = "0 250 0 0"},
       Disabled(kActionBadKind)},
      {"multi-press with kind 2 refused",
       {.multi = "1", .kind = "2 250 0 0"},
       Disabled(kActionBadKind)},
      {"counter flag 0", {.counter = "0"}, counterOff},
      {"counter flag 5 leaves it off", {.counter = "5"}, counterOff},
      {"repeat counter", {.repeat = "1", .counter = "2 4 1 170 3"}, repeat(2, 4, 1, 170, 3)},
      {"repeat mode 2", {.repeat = "1", .counter = "1 2 2 0 0"}, repeat(1, 2, 2, 0, 0)},
      {"unknown mode and negatives",
       {.repeat = "1", .counter = "2 3 7 -5 -1"},
       repeat(2, 3, 0, 0, 0)},
      {"repeat max below 2",
       {.repeat = "1", .counter = "1 1 0 100 0"},
       Disabled(kActionBadCounter)},
      {"repeat value 0", {.repeat = "1", .counter = "0 3 0 100 0"}, Disabled(kActionBadCounter)},
      {"repeat value above max",
       {.repeat = "1", .counter = "4 3 0 100 0"},
       Disabled(kActionBadCounter)},
      {"inactive", {.active = "0"}, inactive},
      {"any nonzero active", {.active = "-2"}, {}},
  };

  const SlotLines after{.name = "after", .keys = "1 40 0 0 0 0", .lockout = "30 99 4"};
  for (const ValidationCase& c : cases) {
    SCOPED_TRACE(c.what);
    Load({{5, c.slot}, {6, after}});
    const InputAction& a = gActions[5];
    const Expect& e = c.expect;
    EXPECT_EQ(a.enabled > 0 ? 1 : 0, e.enabled);
    EXPECT_EQ(a.active, e.active);
    EXPECT_EQ(a.errorCode, e.errorCode);
    if (e.enabled != 0) {
      EXPECT_EQ(a.kind, e.kind);
      EXPECT_EQ(a.key1, e.key1);
      EXPECT_EQ(a.key2, e.key2);
      EXPECT_EQ(a.key3, e.key3);
      EXPECT_EQ(a.counter, e.counter);
      EXPECT_EQ(a.counterMax, e.counterMax);
      EXPECT_EQ(a.counterMode, e.counterMode);
      EXPECT_EQ(a.repeatDelayMs, e.repeatDelayMs);
      EXPECT_EQ(a.repeatMax, e.repeatMax);
      EXPECT_EQ(a.secondPressMs, e.secondPressMs);
      EXPECT_EQ(a.thirdPressMs, e.thirdPressMs);
    }
    EXPECT_EQ(a.lockoutMs, e.lockoutMs);
    EXPECT_EQ(a.commandId, e.commandId);
    EXPECT_EQ(a.priority, e.priority);
    // Whatever the slot held, the next one is read from its own lines.
    EXPECT_STREQ(gActions[6].name, "after");
    EXPECT_EQ(gActions[6].enabled, 1);
    EXPECT_EQ(gActions[6].commandId, 99);
    EXPECT_EQ(gActions[6].lockoutMs, 30);
  }
}

std::map<int, SlotLines> AllEnabled() {
  std::map<int, SlotLines> slots;
  for (int i = 0; i < 12; ++i) {
    // append() rather than "literal" + string: GCC 12 warns wrongly on the latter at -O3.
    slots[i] =
        SlotLines{.name = std::string("s").append(std::to_string(i)),
                  .keys = std::string("1 ").append(std::to_string(65 + i)).append(" 0 0 0 0"),
                  .repeat = "1",
                  .counter = "1 2 0 170 0",
                  .lockout = std::string("45 ").append(std::to_string(i + 1)).append(" 1")};
  }
  return slots;
}

TEST_F(ActionTest, MissingLinesDisableTheCutSlotAndAllAfterIt) {
  const std::string full = FileText(AllEnabled());
  std::vector<size_t> lineEnds;
  for (size_t i = 0; i < full.size(); ++i) {
    if (full[i] == '\n') lineEnds.push_back(i + 1);
  }
  ASSERT_EQ(lineEnds.size(), 12u * 11u);
  for (size_t lines = 0; lines <= lineEnds.size(); ++lines) {
    SCOPED_TRACE(lines);
    LoadText(full.substr(0, lines == 0 ? 0 : lineEnds[lines - 1]));
    for (size_t slot = 0; slot < 12; ++slot) {
      const bool complete = (slot + 1) * 11 <= lines;
      EXPECT_EQ(gActions[slot].enabled, complete ? 1 : 0);
      EXPECT_EQ(gActions[slot].active, complete ? 1 : 0);
      if (!complete) {
        EXPECT_NE(gActions[slot].errorCode, kActionValid);
        EXPECT_EQ(gActions[slot].lockoutMs, kDisabledLockoutMs);
        EXPECT_EQ(gActions[slot].commandId, 0);
      }
    }
  }
}

TEST_F(ActionTest, EveryPrefixOfAFileGivesWholeSlotsOrDisabledOnes) {
  const std::string full = FileText(AllEnabled());
  LoadText(full);
  const std::array<InputAction, 13> reference = gActions;
  int lastEnabled = 0;
  for (size_t n = 0; n <= full.size(); ++n) {
    LoadText(full.substr(0, n));
    int enabled = 0;
    for (size_t slot = 0; slot < 12; ++slot) {
      const InputAction& a = gActions[slot];
      if (a.enabled == 0) {
        ASSERT_EQ(a.active, 0) << n;
        continue;
      }
      ++enabled;
      const InputAction& r = reference[slot];
      ASSERT_EQ(a.key1, r.key1) << n;
      ASSERT_EQ(a.repeatDelayMs, r.repeatDelayMs) << n;
      ASSERT_EQ(a.lockoutMs, r.lockoutMs) << n;
      ASSERT_EQ(a.commandId, r.commandId) << n;
      ASSERT_EQ(a.active, r.active) << n;
    }
    ASSERT_GE(enabled, lastEnabled) << n;
    lastEnabled = enabled;
  }
  EXPECT_EQ(lastEnabled, 12);
}

TEST_F(ActionTest, RandomBytesDisableEverythingAndNothingFires) {
  std::mt19937 rng(20240601);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(rng() % 3000, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    LoadText(bytes);
    for (const InputAction& a : gActions) {
      ASSERT_EQ(a.enabled, 0) << round;
      ASSERT_EQ(a.active, 0) << round;
    }
  }
  gKeyTable.fill(1);
  for (int i = 0; i < 5; ++i) {
    Frame(16);
    for (const InputAction& a : gActions) EXPECT_EQ(a.fired, 0);
  }
}

TEST_F(ActionTest, NumberSoupNeverBreaksTheTable) {
  // Files made of numbers, blanks and line ends parse into something; the
  // table must stay within its bounds whatever that is.
  std::mt19937 rng(7);
  const char alphabet[] = "0123456789  -\n\n\t+x";
  for (int round = 0; round < 300; ++round) {
    std::string text(rng() % 2000, ' ');
    for (char& c : text) c = alphabet[rng() % (sizeof(alphabet) - 1)];
    LoadText(text);
    for (const InputAction& a : gActions) {
      for (int key : {a.key1, a.key2, a.key3}) {
        ASSERT_GE(key, 0);
        ASSERT_LE(key, 255);
      }
      if (a.enabled > 0) {
        ASSERT_EQ(a.errorCode, kActionValid);
      } else {
        ASSERT_EQ(a.active, 0);
        ASSERT_EQ(a.lockoutMs, kDisabledLockoutMs);
      }
    }
    for (int f = 0; f < 4; ++f) {
      for (int k = 0; k < 256; ++k) gKeyTable[k] = static_cast<int32_t>(rng() & 1);
      Frame(1 + rng() % 200);
    }
  }
}

// -------------------------------------------------------- shipped bindings

class ShippedBindings : public ActionTest {
 protected:
  void SetUp() override {
    ActionTest::SetUp();
    const char* source = std::getenv("DROMO_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream in(std::string(source) + "/res/base/sig.txt", std::ios::binary);
    ASSERT_TRUE(in.good());
    LoadInputActions(in);
  }
};

TEST_F(ShippedBindings, MovementAndPointerSlotsAreBound) {
  struct Bound {
    int slot, kind, key1, key2;
  };
  const Bound bound[] = {{ActionPointer, 1, 1, 0},
                         {ActionLeft, 0, VK_LEFT, VK_NUMPAD0 + 4},
                         {ActionRight, 0, VK_RIGHT, VK_NUMPAD0 + 6},
                         {ActionUp, 0, VK_UP, VK_NUMPAD0 + 8},
                         {ActionDown, 0, VK_DOWN, VK_NUMPAD0 + 2}};
  for (const Bound& b : bound) {
    SCOPED_TRACE(b.slot);
    const InputAction& a = gActions[b.slot];
    EXPECT_GT(a.enabled, 0);
    EXPECT_EQ(a.active, 1);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.key1, b.key1);
    EXPECT_EQ(a.key2, b.key2);
    EXPECT_NE(a.counter, 0);  // the frame driver wants the counter on
    EXPECT_EQ(a.exclusive, 0);
  }
  for (int slot : {0, 2, 7, 8, 9, 10, 11, 12}) {
    EXPECT_EQ(gActions[slot].enabled, 0) << slot;
    EXPECT_NE(gActions[slot].errorCode, kActionTruncated) << slot;  // still parsed
  }
  EXPECT_NE(gActions[11].errorCode, kActionTruncated);

  // Left and right both work in the same frame: the game decides between them.
  gKeyTable[VK_LEFT] = 1;
  gKeyTable[VK_RIGHT] = 1;
  gKeyTable[VK_UP] = 1;
  gKeyTable[VK_DOWN] = 1;
  Frame(16);
  for (int slot : {ActionLeft, ActionRight, ActionUp, ActionDown})
    EXPECT_EQ(gActions[slot].fired, 1) << slot;
}

TEST_F(ShippedBindings, SidewaysMovesOnceThenRepeatsBriskly) {
  EXPECT_EQ(FireTimes(ActionLeft, VK_LEFT, 400, 5),
            (std::vector<int>{0, 170, 215, 260, 305, 350, 395}));
  // Released in between: each tap moves at once.
  EXPECT_EQ(FireTimes(ActionRight, VK_NUMPAD0 + 6, 100, 5), (std::vector<int>{0}));
  EXPECT_EQ(FireTimes(ActionRight, VK_RIGHT, 100, 5), (std::vector<int>{0}));
}

TEST_F(ShippedBindings, TurnDoesNotRace) {
  EXPECT_EQ(FireTimes(ActionUp, VK_UP, 1000, 10), (std::vector<int>{0, 450, 630, 810, 990}));
}

TEST_F(ShippedBindings, DropFiresOncePerPress) {
  EXPECT_EQ(FireTimes(ActionDown, VK_DOWN, 3000, 16), (std::vector<int>{0}));
  EXPECT_EQ(FireTimes(ActionDown, VK_NUMPAD0 + 2, 100, 16), (std::vector<int>{0}));
}

TEST_F(ShippedBindings, PointerClicksOncePerPressAtThePressPosition) {
  MouseX = 120;
  MouseY = 340;
  gKeyTable[VK_LBUTTON] = 1;
  Frame(10);
  EXPECT_EQ(gActions[ActionPointer].fired, 0);
  MouseX = 500;  // moved while held
  Frame(10);
  EXPECT_EQ(gActions[ActionPointer].fired, 1);
  EXPECT_EQ(gActions[ActionPointer].firePos[0], 120);
  EXPECT_EQ(gActions[ActionPointer].firePos[1], 340);
  for (int i = 0; i < 100; ++i) {
    Frame(10);
    ASSERT_EQ(gActions[ActionPointer].fired, 0);
  }
  gKeyTable[VK_LBUTTON] = 0;
  Frame(10);
  gKeyTable[VK_LBUTTON] = 1;
  Frame(10);
  Frame(10);
  EXPECT_EQ(gActions[ActionPointer].fired, 1);
  EXPECT_EQ(gActions[ActionPointer].firePos[0], 500);
}

// -------------------------------------------------------------- evaluation

TEST_F(ActionTest, LockoutAndRepeatDelay) {
  // Fires on the press frame, after the repeat delay, then every lockout.
  Load({{5, {.repeat = "1", .counter = "1 2 0 400 0", .lockout = "150 10 1"}}});
  EXPECT_EQ(FireTimes(5, 65, 1000, 10), (std::vector<int>{0, 400, 550, 700, 850, 1000}));
  // A release starts over.
  EXPECT_EQ(FireTimes(5, 65, 100, 10), (std::vector<int>{0}));
}

TEST_F(ActionTest, RepeatMaxLimitsRepeatsPerHold) {
  Load({{5, {.repeat = "1", .counter = "1 2 0 100 2"}}});
  EXPECT_EQ(FireTimes(5, 65, 500, 10), (std::vector<int>{0, 100, 110}));
  EXPECT_EQ(FireTimes(5, 65, 500, 10), (std::vector<int>{0, 100, 110}));
}

TEST_F(ActionTest, LockoutWithoutRepeatFiresEveryLockout) {
  Load({{5, {.lockout = "100 10 1"}}});
  EXPECT_EQ(FireTimes(5, 65, 350, 10), (std::vector<int>{0, 100, 200, 300}));
}

TEST_F(ActionTest, DisabledOrInactiveSlotsNeverFire) {
  Load({{3, {.keys = "0 65 0 0 0 0"}}, {4, {.active = "0"}}, {5, {}}});
  gKeyTable[65] = 1;
  Frame(16);
  EXPECT_EQ(gActions[3].fired, 0);
  EXPECT_EQ(gActions[4].fired, 0);
  EXPECT_EQ(gActions[5].fired, 1);
}

struct ContestCase {
  const char* what;
  int ids[3];
  int priorities[3];
  int fired[3];
};

TEST_F(ActionTest, PriorityContestByCommandId) {
  const ContestCase cases[] = {
      {"higher priority later", {7, 7, 0}, {1, 2, 0}, {0, 1, 1}},
      {"higher priority earlier", {7, 7, 0}, {5, 2, 0}, {1, 0, 1}},
      {"tie: earlier slot", {7, 7, 0}, {3, 3, 0}, {1, 0, 1}},
      {"different commands", {7, 8, 9}, {1, 2, 3}, {1, 1, 1}},
      {"three of one command", {9, 9, 9}, {1, 3, 2}, {0, 1, 0}},
      {"ids out of range", {0, 200, -1}, {1, 2, 3}, {1, 1, 1}},
      {"199 is in range", {199, 199, 0}, {1, 2, 0}, {0, 1, 1}},
  };
  for (const ContestCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::map<int, SlotLines> slots;
    for (int i = 0; i < 3; ++i) {
      slots[2 + i] = SlotLines{
          .keys = "1 " + std::to_string(70 + i) + " 0 0 0 0",
          .lockout = "0 " + std::to_string(c.ids[i]) + " " + std::to_string(c.priorities[i])};
    }
    Load(slots);
    for (int i = 0; i < 3; ++i) gKeyTable[70 + i] = 1;
    Frame(16);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(gActions[2 + i].fired, c.fired[i]) << i;
    ClearKeyTable();
  }
}

// Frame scripts: per 50 ms frame the keys down ('a' key1, 'b' key2, 'c'
// key3, '-' none) and the fired value expected ('.' for 0).
struct ScriptCase {
  const char* what;
  SlotLines slot;
  std::string frames;
  std::string expect;
};

void RunScript(const ScriptCase& c) {
  SCOPED_TRACE(c.what);
  std::map<int, SlotLines> slots{{5, c.slot}};
  std::istringstream in(FileText(slots));
  LoadInputActions(in);
  std::istringstream frames(c.frames);
  std::string keys, got;
  while (frames >> keys) {
    gKeyTable['A'] = keys.find('a') != std::string::npos;
    gKeyTable['B'] = keys.find('b') != std::string::npos;
    gKeyTable['C'] = keys.find('c') != std::string::npos;
    gFakeNow += 50;
    TickFrameClock();
    EvaluateInputActions();
    got += gActions[5].fired == 0 ? '.' : static_cast<char>('0' + gActions[5].fired);
  }
  EXPECT_EQ(got, c.expect);
  ClearKeyTable();
}

TEST_F(ActionTest, PressKinds) {
  const std::string abc = "1 65 66 67 0 0";
  const SlotLines held{.keys = abc};
  const SlotLines release{.keys = abc, .kind = "2"};
  const SlotLines releaseLocked{.keys = abc, .kind = "2", .lockout = "200 10 1"};
  const SlotLines kindOneUntimed{.keys = abc, .multi = "1", .kind = "1 0 0 0"};
  const SlotLines chord3{.keys = abc, .kind = "3"};
  const SlotLines chord3NoFirst{.keys = "1 0 66 67 0 0", .kind = "3"};
  const SlotLines chord4{.keys = abc, .kind = "4"};
  const ScriptCase cases[] = {
      {"held", held, "a a - b c bc -", "11.111."},
      {"release fires once on release", release, "a a a - - b -", "...1..1"},
      {"release during the lockout is lost", releaseLocked, "a - a - - - - a -", ".1......1"},
      {"kind 1 without timing acts as held", kindOneUntimed, "a a - a", "11.1"},
      {"chord 1+2 or 1+3", chord3, "a ab ac b bc - abc", ".11...1"},
      {"chord without a first key never fires", chord3NoFirst, "b bc c abc", "...."},
      {"chord 1 or 2, with 3", chord4, "a ac bc c ab abc", ".11..1"},
  };
  for (const ScriptCase& c : cases) RunScript(c);
}

TEST_F(ActionTest, MultiPressDetector) {
  auto multi = [](const char* timing) {
    return SlotLines{.multi = "1", .kind = std::string("1 ") + timing};
  };
  const SlotLines twoKeys{.keys = "1 65 66 0 0 0", .multi = "1", .kind = "1 300 0 0"};
  const SlotLines locked{.multi = "1", .kind = "1 300 0 0", .lockout = "400 10 1"};
  const ScriptCase cases[] = {
      {"single after 300 ms", multi("300 0 0"), "a - - - - - - - -", "......1.."},
      {"held press counts once", multi("300 0 0"), "a a a a a a a a a", "......1.."},
      {"double at once without a third wait", multi("300 0 0"), "a - a - - - - - -", "..2......"},
      {"double after the third wait", multi("300 200 0"), "a - a - - - - - -", "......2.."},
      {"triple", multi("300 200 0"), "a - a - a - - - - - -", "....3......"},
      {"doubles only drops singles", multi("300 0 1"), "a - - - - - - - a - a", "..........2"},
      {"another key of the action while one is held is no new press", twoKeys, "a a ab b - - - - -",
       "......1.."},
      {"presses during the lockout still count", locked, "a - - - - - - - - - - - a - - - - - - -",
       "......1...........1."},
  };
  for (const ScriptCase& c : cases) RunScript(c);
}

TEST_F(ActionTest, MultiPressRecordsPositions) {
  Load({{5, {.multi = "1", .kind = "1 300 200 0"}}});
  const int positions[3][2] = {{10, 20}, {30, 40}, {50, 60}};
  for (int press = 0; press < 3; ++press) {
    MouseX = positions[press][0];
    MouseY = positions[press][1];
    gKeyTable['A'] = 1;
    Frame(20);
    gKeyTable['A'] = 0;
    MouseX = -1;  // later frames must not overwrite the positions
    MouseY = -1;
    Frame(20);
  }
  const InputAction& a = gActions[5];
  EXPECT_EQ(a.fired, 0);  // the triple came on the third press frame
  EXPECT_EQ(a.firePos[0], 10);
  EXPECT_EQ(a.firePos[1], 20);
  EXPECT_EQ(a.secondPos[0], 30);
  EXPECT_EQ(a.secondPos[1], 40);
  EXPECT_EQ(a.thirdPos[0], 50);
  EXPECT_EQ(a.thirdPos[1], 60);
}

TEST_F(ActionTest, FiringRecordsThePointer) {
  Load({{4, {}}, {5, {.multi = "1", .kind = "1 0 0 0", .lockout = "0 11 1"}}});
  MouseX = 77;
  MouseY = 88;
  gKeyTable['A'] = 1;
  Frame(16);
  for (int slot : {4, 5}) {
    ASSERT_EQ(gActions[slot].fired, 1) << slot;
    EXPECT_EQ(gActions[slot].firePos[0], 77) << slot;
    EXPECT_EQ(gActions[slot].firePos[1], 88) << slot;
  }
}

TEST_F(ActionTest, ChordClaimsBlockExclusiveActionsWhileHeld) {
  // Slot 2: Shift+Left chord.  Slot 3: Ctrl+Shift chord.  Slot 4: Shift alone,
  // exclusive.  Slot 5: Left alone, exclusive (Left is never a first key).
  Load({{2, {.keys = "1 16 37 0 0 0", .kind = "3", .lockout = "0 1 1"}},
        {3, {.keys = "1 17 16 0 0 0", .kind = "3", .lockout = "0 2 1"}},
        {4, {.keys = "1 16 0 0 1 0", .lockout = "0 3 1"}},
        {5, {.keys = "1 37 0 0 1 0", .lockout = "0 4 1"}}});
  gKeyTable[16] = 1;
  gKeyTable[37] = 1;
  Frame(16);
  EXPECT_EQ(gActions[2].fired, 1);
  EXPECT_EQ(gActions[4].fired, 0);  // Shift is the chord's
  EXPECT_EQ(gActions[5].fired, 1);
  EXPECT_EQ(gClaimedKeys[16], 1);

  gKeyTable[17] = 1;  // Ctrl+Shift: Shift is claimed, so the second chord gives 0
  Frame(16);
  EXPECT_EQ(gActions[3].fired, 0);
  EXPECT_EQ(gClaimedKeys[17], 1);

  ClearKeyTable();
  Frame(16);
  EXPECT_EQ(gClaimedKeys[16], 0);
  EXPECT_EQ(gClaimedKeys[17], 0);
  // Once released, Shift is free again; the exclusive action works on a
  // frame where the chord (earlier in order) has not claimed it yet.
  Load({{2, {.keys = "1 16 0 0 1 0", .lockout = "0 3 1"}},
        {3, {.keys = "1 16 37 0 0 0", .kind = "3", .lockout = "0 1 1"}}});
  gKeyTable[16] = 1;
  Frame(16);
  EXPECT_EQ(gActions[2].fired, 1);
  Frame(16);
  EXPECT_EQ(gActions[2].fired, 0);  // claimed by the chord in the previous frame
  gKeyTable[16] = 0;
  Frame(16);
  gKeyTable[16] = 1;
  Frame(16);
  EXPECT_EQ(gActions[2].fired, 1);
}

struct CounterCase {
  const char* what;
  std::string counter;  // value max mode delay most
  std::vector<int> values;
};

TEST_F(ActionTest, CounterModes) {
  const CounterCase cases[] = {
      {"wrap", "1 3 0 0 0", {2, 3, 1, 2, 3, 1}},
      {"stop", "1 3 1 0 0", {2, 3, 3, 3}},
      {"ping-pong", "1 3 2 0 0", {2, 3, 2, 1, 1, 2, 3, 2}},
      {"simple on", "1 2 0 0 0", {2, 1, 2, 1}},
  };
  for (const CounterCase& c : cases) {
    SCOPED_TRACE(c.what);
    Load({{5, {.repeat = "1", .counter = c.counter}}});
    std::vector<int> got;
    for (size_t i = 0; i < c.values.size(); ++i) {
      gKeyTable['A'] = 1;
      Frame(16);
      EXPECT_EQ(gActions[5].fired, 1);
      got.push_back(gActions[5].counter);
      gKeyTable['A'] = 0;
      Frame(16);
    }
    EXPECT_EQ(got, c.values);
  }
}

TEST_F(ActionTest, CounterIsNormalisedEachFrame) {
  Load({{5, {.multi = "1", .kind = "1 300 0 0"}}});
  gActions[5].counter = -4;  // counter off: the detector does not run
  gActions[5].counterMax = -9;
  gKeyTable['A'] = 1;
  Frame(16);
  EXPECT_EQ(gActions[5].counter, 0);
  EXPECT_EQ(gActions[5].counterMax, 1);
  EXPECT_EQ(gActions[5].fired, 1);  // as a held key

  Load({{5, {.repeat = "1", .counter = "1 3 2 0 0"}}});
  gActions[5].counterDir = 5;  // not a direction: taken as upwards
  Frame(16);
  EXPECT_EQ(gActions[5].counter, 2);
  EXPECT_EQ(gActions[5].counterDir, 1);
}

}  // namespace

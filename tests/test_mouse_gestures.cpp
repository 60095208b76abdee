// Mouse gestures, the gesture counters and the wheel accumulator.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "platform/platform.h"

namespace {

// Taken before any test runs: the state the program starts with.
const MouseGestures kInitialGestures = gMouseGestures;

uint32_t gFakeNow = 1000;
uint32_t FakeTicks() {
  return gFakeNow;
}

struct Timings {
  int hold, doubleClick, lock, repeat1, repeat2;
};
constexpr Timings kDefaults[3] = {
    {900, 550, 0, 500, 1000}, {500, 0, 0, 0, 0}, {0, 350, 2200, 0, 0}};

Timings TimingsOf(int button) {
  const ButtonGesture& b = gMouseGestures.buttons[button];
  return {b.holdMs, b.doubleClickMs, b.lockMs, b.repeat1Ms, b.repeat2Ms};
}

bool operator==(const Timings& a, const Timings& b) {
  return a.hold == b.hold && a.doubleClick == b.doubleClick && a.lock == b.lock &&
         a.repeat1 == b.repeat1 && a.repeat2 == b.repeat2;
}
std::ostream& operator<<(std::ostream& os, const Timings& t) {
  return os << "{" << t.hold << ", " << t.doubleClick << ", " << t.lock << ", " << t.repeat1 << ", "
            << t.repeat2 << "}";
}

class GestureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gFakeNow = 100000;
    SetTickSource(FakeTicks);
    ClearKeyTable();
    LoadMouseGestures("no-such-dir/hand1.txt");
    gGestureCounters = GestureCounters{};
  }
  void TearDown() override {
    SetTickSource(nullptr);
    ClearKeyTable();
  }

  // Frames of 10 ms for `ms` milliseconds.
  static void Run(int ms) {
    for (int t = 0; t < ms; t += 10) {
      gFakeNow += 10;
      UpdateMouseGestures(gFakeNow);
    }
  }
  static void Button(int entry, bool down) {
    gKeyTable[entry] = down ? 1 : 0;
    Run(10);
  }
  static int Calls(int button, int callback) {
    return gGestureCounters.calls[button][callback - 1];
  }
  static std::array<int, 6> AllCalls(int button) {
    std::array<int, 6> c{};
    for (int i = 0; i < 6; ++i) c[i] = gGestureCounters.calls[button][i];
    return c;
  }
};

// ------------------------------------------------------------------ set-up

TEST_F(GestureTest, BeforeSetUpEveryButtonHolds300AndDoubleClicks250) {
  const int entries[3] = {1, 2, 4};
  for (int i = 0; i < 3; ++i) {
    const ButtonGesture& b = kInitialGestures.buttons[i];
    EXPECT_EQ(b.holdMs, 300);
    EXPECT_EQ(b.doubleClickMs, 250);
    EXPECT_EQ(b.buttonEntry, entries[i]);
    for (GestureCallback c : b.callbacks) EXPECT_NE(c, nullptr);
  }
  EXPECT_NE(kInitialGestures.wheelDown, nullptr);
  EXPECT_NE(kInitialGestures.wheelUp, nullptr);
}

TEST_F(GestureTest, MissingFileGivesTheBuiltInTimings) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TimingsOf(i), kDefaults[i]) << i;
  EXPECT_EQ(gMouseGestures.buttons[GestureLeft].buttonEntry, 1);
  EXPECT_EQ(gMouseGestures.buttons[GestureRight].buttonEntry, 2);
  EXPECT_EQ(gMouseGestures.buttons[GestureMiddle].buttonEntry, 4);
  LoadMouseGestures(nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TimingsOf(i), kDefaults[i]) << i;
}

struct FileCase {
  const char* what;
  std::string text;
  Timings expect[3];
};

TEST_F(GestureTest, TimingsFile) {
  const std::string header = "mouse timings\n";
  std::string full = header, seven = header, badFourth = header;
  for (int i = 1; i <= 15; ++i) {
    const std::string line = std::to_string(i * 10) + "   comment " + std::to_string(i) + "\n";
    full += line;
    if (i <= 7) seven += line;
    badFourth += i == 4 ? std::string("x40\n") : line;
  }
  const FileCase cases[] = {
      {"all fifteen",
       full,
       {{10, 20, 30, 40, 50}, {60, 70, 80, 90, 100}, {110, 120, 130, 140, 150}}},
      {"short file keeps built-in values for the rest",
       seven,
       {{10, 20, 30, 40, 50}, {60, 70, 0, 0, 0}, kDefaults[2]}},
      {"unreadable number stops the reading",
       badFourth,
       {{10, 20, 30, 500, 1000}, kDefaults[1], kDefaults[2]}},
      {"negative times are none",
       header + "-5\n-1\n7\n",
       {{0, 0, 7, 500, 1000}, kDefaults[1], kDefaults[2]}},
      {"header only", header, {kDefaults[0], kDefaults[1], kDefaults[2]}},
      {"empty file", "", {kDefaults[0], kDefaults[1], kDefaults[2]}},
      {"windows line ends",
       "head\r\n1 a\r\n2 b\r\n3\r\n",
       {{1, 2, 3, 500, 1000}, kDefaults[1], kDefaults[2]}},
  };
  const std::string path = ::testing::TempDir() + "dromo_hand1_test.txt";
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.what);
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << c.text;
    }
    LoadMouseGestures(path.c_str());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(TimingsOf(i), c.expect[i]) << i;
  }
  std::remove(path.c_str());
}

TEST_F(GestureTest, ShippedFileHoldsTheBuiltInTimings) {
  const char* source = std::getenv("DROMO_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const std::string path = std::string(source) + "/res/base/hand1.txt";
  ASSERT_TRUE(std::ifstream(path).good());
  gMouseGestures.buttons[0].holdMs = 1;  // must come from the file again
  LoadMouseGestures(path.c_str());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TimingsOf(i), kDefaults[i]) << i;
}

// ---------------------------------------------------------------- gestures

TEST_F(GestureTest, LeftClickComesOnceTheDoubleClickTimeIsOver) {
  Button(VK_LBUTTON, true);
  Run(100);
  Button(VK_LBUTTON, false);
  Run(540);
  EXPECT_EQ(Calls(GestureLeft, 3), 0);  // a second press could still come
  Run(30);
  EXPECT_EQ(AllCalls(GestureLeft), (std::array<int, 6>{0, 0, 1, 0, 0, 0}));
  Run(2000);
  EXPECT_EQ(Calls(GestureLeft, 3), 1);
}

TEST_F(GestureTest, LeftDoubleClick) {
  Button(VK_LBUTTON, true);
  Button(VK_LBUTTON, false);
  Run(200);
  Button(VK_LBUTTON, true);
  Run(100);
  Button(VK_LBUTTON, false);
  EXPECT_EQ(AllCalls(GestureLeft), (std::array<int, 6>{0, 0, 0, 1, 0, 0}));
  Run(2000);
  EXPECT_EQ(AllCalls(GestureLeft), (std::array<int, 6>{0, 0, 0, 1, 0, 0}));
}

TEST_F(GestureTest, LeftLongPressRunsEveryFrameWithRepeatTicks) {
  Button(VK_LBUTTON, true);
  Run(890);
  EXPECT_EQ(Calls(GestureLeft, 1), 0);
  Run(20);  // past 900 ms
  EXPECT_GE(Calls(GestureLeft, 1), 1);
  const int before = Calls(GestureLeft, 1);
  Run(1200);
  EXPECT_EQ(Calls(GestureLeft, 1), before + 120);     // one per frame
  EXPECT_EQ(gGestureCounters.leftRepeatTicks[0], 2);  // at 500 and 1000 ms
  Button(VK_LBUTTON, false);
  EXPECT_EQ(Calls(GestureLeft, 5), 1);
  EXPECT_EQ(Calls(GestureLeft, 3), 0);
  const int after = Calls(GestureLeft, 1);
  Run(1000);
  EXPECT_EQ(Calls(GestureLeft, 1), after);
  EXPECT_EQ(Calls(GestureLeft, 5), 1);
}

TEST_F(GestureTest, LeftLongPressOfTheSecondClick) {
  Button(VK_LBUTTON, true);
  Button(VK_LBUTTON, false);
  Button(VK_LBUTTON, true);
  Run(2100);
  EXPECT_GT(Calls(GestureLeft, 2), 100);
  EXPECT_EQ(Calls(GestureLeft, 1), 0);
  EXPECT_EQ(gGestureCounters.leftRepeatTicks[1], 1);  // every 1000 ms
  Button(VK_LBUTTON, false);
  EXPECT_EQ(Calls(GestureLeft, 6), 1);
  EXPECT_EQ(Calls(GestureLeft, 4), 0);
}

TEST_F(GestureTest, RightClickAndLongPressDuration) {
  Button(VK_RBUTTON, true);
  Run(200);
  Button(VK_RBUTTON, false);  // no double clicks: the click comes on release
  EXPECT_EQ(AllCalls(GestureRight), (std::array<int, 6>{0, 0, 1, 0, 0, 0}));

  Button(VK_RBUTTON, true);
  Run(800);
  EXPECT_GT(Calls(GestureRight, 1), 0);
  const int32_t duration = gMouseGestures.buttons[GestureRight].holdDurationMs;
  EXPECT_GE(duration, 290);
  EXPECT_LE(duration, 310);
  Button(VK_RBUTTON, false);
  EXPECT_EQ(Calls(GestureRight, 5), 1);
  Run(500);
  // The overlay keeps showing the last long press.
  EXPECT_EQ(gMouseGestures.buttons[GestureRight].holdDurationMs, duration);
  EXPECT_EQ(gGestureCounters.leftRepeatTicks[0], 0);
}

TEST_F(GestureTest, MiddleClickLocksTheButton) {
  Button(VK_MBUTTON, true);
  Button(VK_MBUTTON, false);
  Run(360);
  EXPECT_EQ(Calls(GestureMiddle, 3), 1);
  EXPECT_EQ(GestureLocked(GestureMiddle), 1);
  for (int i = 0; i < 5; ++i) {  // ignored while locked
    Button(VK_MBUTTON, true);
    Button(VK_MBUTTON, false);
    Run(400);
  }
  Run(200);
  EXPECT_EQ(GestureLocked(GestureMiddle), 0);
  EXPECT_EQ(AllCalls(GestureMiddle), (std::array<int, 6>{0, 0, 1, 0, 0, 0}));
  Button(VK_MBUTTON, true);
  Button(VK_MBUTTON, false);
  Button(VK_MBUTTON, true);
  Button(VK_MBUTTON, false);
  EXPECT_EQ(AllCalls(GestureMiddle), (std::array<int, 6>{0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(GestureLocked(GestureMiddle), 1);
}

TEST_F(GestureTest, ButtonWithoutTimingsClicksOnPress) {
  gMouseGestures.buttons[GestureRight].holdMs = 0;
  gMouseGestures.buttons[GestureRight].doubleClickMs = 0;
  Button(VK_RBUTTON, true);
  EXPECT_EQ(Calls(GestureRight, 3), 1);
  Run(3000);
  Button(VK_RBUTTON, false);
  Run(100);
  EXPECT_EQ(AllCalls(GestureRight), (std::array<int, 6>{0, 0, 1, 0, 0, 0}));
}

TEST_F(GestureTest, ClockWrapStartsTheGestureOver) {
  Button(VK_RBUTTON, true);
  Run(100);
  gFakeNow = 50;  // the tick count wrapped while the button was down
  Run(10);
  EXPECT_EQ(gMouseGestures.buttons[GestureRight].pressTick, 0u);
  EXPECT_EQ(AllCalls(GestureRight), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
  // The held button counts as pressed anew, so its long press is measured
  // from the new clock.
  Run(400);
  EXPECT_EQ(Calls(GestureRight, 1), 0);
  Run(200);
  EXPECT_GT(Calls(GestureRight, 1), 0);
  Button(VK_RBUTTON, false);
  EXPECT_EQ(Calls(GestureRight, 5), 1);
  EXPECT_EQ(Calls(GestureRight, 3), 0);
}

// ------------------------------------------------------------------- wheel

class WheelTest : public GestureTest {
 protected:
  // Frames every 10 ms over `ms`; messages (time, delta) arrive before the
  // frame of their time.  Returns the frame times of the events, signed:
  // +t for wheel-up, -t for wheel-down.
  static std::vector<int> Turn(const std::vector<std::pair<int, int>>& messages, int ms) {
    const uint32_t start = gFakeNow;
    std::vector<int> events;
    size_t next = 0;
    for (int t = 10; t <= ms; t += 10) {
      gFakeNow = start + t;
      while (next < messages.size() && messages[next].first <= t) {
        WheelMessage(messages[next].second, start + messages[next].first);
        ++next;
      }
      UpdateMouseGestures(gFakeNow);
      if (WheelUpEvent != 0) events.push_back(t);
      if (WheelDownEvent != 0) events.push_back(-t);
    }
    return events;
  }
};

struct WheelCase {
  const char* what;
  std::vector<std::pair<int, int>> messages;
  std::vector<int> events;
};

TEST_F(WheelTest, TurnsBecomeSingleEvents) {
  const WheelCase cases[] = {
      {"one notch is no event", {{10, 120}}, {}},
      {"two notches up", {{10, 120}, {60, 120}}, {420}},
      {"two notches down", {{10, -120}, {300, -120}}, {-420}},
      {"many notches are one event", {{10, 120}, {20, 120}, {30, 120}, {40, 120}}, {420}},
      {"back and forth cancel", {{10, 120}, {60, 120}, {110, -120}}, {}},
      {"notches 400 ms apart are separate turns", {{10, 120}, {450, 120}}, {}},
      {"after the quiet time a new turn counts",
       {{10, 120}, {20, 120}, {430, 120}, {440, 120}, {610, 120}, {620, 120}},
       {420, 1020}},
      {"turns right after an event are dropped",
       {{10, 120}, {20, 120}, {500, 120}, {580, 120}},
       {420}},
  };
  for (const WheelCase& c : cases) {
    SCOPED_TRACE(c.what);
    LoadMouseGestures(nullptr);
    gGestureCounters = GestureCounters{};
    EXPECT_EQ(Turn(c.messages, 1600), c.events);
    int ups = 0, downs = 0;
    for (int e : c.events) (e > 0 ? ups : downs)++;
    EXPECT_EQ(gGestureCounters.wheelUp, ups);
    EXPECT_EQ(gGestureCounters.wheelDown, downs);
    gFakeNow += 5000;
  }
}

TEST_F(WheelTest, MiddleButtonCancelsTheTurnUntilReleased) {
  const uint32_t start = gFakeNow;
  WheelMessage(120, start + 10);
  WheelMessage(120, start + 20);
  gFakeNow = start + 100;
  WheelMiddleDown();
  EXPECT_EQ(gWheel.middleHeld, 1);
  EXPECT_EQ(gWheel.startTick, 0u);
  WheelMessage(120, start + 150);  // ignored while held
  WheelMessage(120, start + 160);
  EXPECT_EQ(gWheel.startTick, 0u);
  gFakeNow = start + 300;
  WheelReset();
  EXPECT_EQ(gWheel.middleHeld, 0);
  EXPECT_EQ(gWheel.lastEventTick, start + 300);
  WheelMessage(120, start + 350);  // within 180 ms of the release
  EXPECT_EQ(gWheel.startTick, 0u);
  WheelMessage(120, start + 500);
  WheelMessage(120, start + 520);
  std::vector<int> events;
  for (int t = 510; t <= 1200; t += 10) {
    gFakeNow = start + t;
    UpdateMouseGestures(gFakeNow);
    if (WheelUpEvent != 0) events.push_back(t);
  }
  EXPECT_EQ(events, std::vector<int>{910});
}

TEST_F(WheelTest, MiddleButtonWithoutATurnChangesNothing) {
  gFakeNow += 1000;
  WheelMiddleDown();
  EXPECT_EQ(gWheel.middleHeld, 0);
  EXPECT_EQ(Turn({{10, -120}, {20, -120}}, 500), std::vector<int>{-420});
}

int gWheelCode = 0;
void RecordWheel(int event) {
  gWheelCode = event;
}

TEST_F(WheelTest, CallbacksGetTheirEventNumbers) {
  gMouseGestures.wheelDown = RecordWheel;
  gMouseGestures.wheelUp = RecordWheel;
  gWheelCode = 0;
  Turn({{10, -120}, {20, -120}}, 500);
  EXPECT_EQ(gWheelCode, 7);
  gWheelCode = 0;
  gFakeNow += 1000;
  Turn({{10, 240}}, 500);
  EXPECT_EQ(gWheelCode, 8);
  // The counting callbacks were replaced here.
  EXPECT_EQ(gGestureCounters.wheelDown, 0);
  EXPECT_EQ(gGestureCounters.wheelUp, 0);
}

}  // namespace

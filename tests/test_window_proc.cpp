// The window procedure (flags, key table, F2, Escape, text entry keys, the
// keys that close the stage results, system commands, wheel) and the
// message loop around it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/input_actions.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "game/game.h"
#include "game/game_state.h"
#include "platform/platform.h"
#include "ui/panel_tree.h"

namespace {

uint32_t gNow = 5000;
uint32_t FakeTick() {
  return gNow;
}

intptr_t Send(uint32_t message, uintptr_t wParam = 0) {
  return WindowProc(message, wParam, 0);
}
void Press(int code) {
  Send(WM_KEYDOWN, static_cast<uintptr_t>(code));
}
void Release(int code) {
  Send(WM_KEYUP, static_cast<uintptr_t>(code));
}
// What the end of a frame does to the table once the frame has read it.
void FrameSeen() {
  KeyTableFrameSeen();
}

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp = AppState{};
    ClearKeyTable();
    gGame = GameState{};
    gActions = {};
    MenuCooldownMs = 0;
    OptionsPanel = nullptr;
    gNow = 5000;
    SetTickSource(FakeTick);
    gWheel = WheelAccumulator{};
  }
  void TearDown() override {
    SetTickSource(nullptr);
    OptionsPanel = nullptr;
    // An entry's result cell was a local of the test body and is gone by
    // now: close the entry without touching it.
    gTextEntry = TextEntry{};
  }
};

// ------------------------------------------------------------------ flags

struct FlagCase {
  const char* what;
  uint32_t message;
  uintptr_t wParam;
  int32_t focusedBefore, activeBefore;
  int32_t focused, active, quit;
};

TEST_F(WindowProcTest, ActivityFocusAndQuitFlags) {
  const FlagCase cases[] = {
      {"minimised", WM_SIZE, SIZE_MINIMIZED, 1, 1, 0, 0, 0},
      {"restored", WM_SIZE, SIZE_RESTORED, 0, 0, 1, 1, 0},
      {"maximised", WM_SIZE, SIZE_MAXIMIZED, 0, 0, 1, 0, 0},
      {"other size kind", WM_SIZE, 3, 0, 1, 0, 1, 0},
      {"activated", WM_ACTIVATE, WA_ACTIVE, 0, 0, 1, 1, 0},
      {"activated while minimised", WM_ACTIVATE, WA_ACTIVE | (1u << 16), 0, 0, 1, 0, 0},
      {"focus gained", WM_SETFOCUS, 0, 0, 0, 1, 1, 0},
      {"focus lost", WM_KILLFOCUS, 0, 1, 1, 0, 1, 0},
      {"close", WM_CLOSE, 0, 1, 1, 1, 1, 1},
      {"create", WM_CREATE, 0, 1, 0, 1, 0, 0},
      {"destroy", WM_DESTROY, 0, 0, 1, 0, 1, 0},
  };
  for (const FlagCase& c : cases) {
    gApp = AppState{};
    gApp.focused = c.focusedBefore;
    gApp.active = c.activeBefore;
    EXPECT_EQ(Send(c.message, c.wParam), 0) << c.what;
    EXPECT_EQ(gApp.focused, c.focused) << c.what;
    EXPECT_EQ(gApp.active, c.active) << c.what;
    EXPECT_EQ(gApp.quitRequested, c.quit) << c.what;
  }
}

// ------------------------------------------------------------- key table

TEST_F(WindowProcTest, KeysAndButtonsGoInAndOutOfTheTable) {
  const int keys[] = {'A', VK_LEFT, VK_SPACE, VK_RETURN, VK_F10, VK_NUMPAD0 + 4, 0xFF};
  for (int k : keys) {
    Press(k);
    EXPECT_EQ(gKeyTable[k], 1) << k;
    FrameSeen();
    Release(k);
    EXPECT_EQ(gKeyTable[k], 0) << k;
  }
  struct Button {
    uint32_t down, up;
    int entry;
  };
  const Button buttons[] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, 1},
                            {WM_RBUTTONDOWN, WM_RBUTTONUP, 2},
                            {WM_MBUTTONDOWN, WM_MBUTTONUP, 4}};
  for (const Button& b : buttons) {
    Send(b.down);
    EXPECT_EQ(gKeyTable[b.entry], 1) << b.entry;
    FrameSeen();
    Send(b.up);
    EXPECT_EQ(gKeyTable[b.entry], 0) << b.entry;
  }
}

TEST_F(WindowProcTest, AQuickTapStaysDownUntilAFrameHasSeenIt) {
  // Keys and buttons alike: down and up before a frame, the frame sees it
  // down, the next one up.
  for (uint32_t down : {uint32_t{WM_KEYDOWN}, uint32_t{WM_LBUTTONDOWN}, uint32_t{WM_RBUTTONDOWN}}) {
    const bool key = down == WM_KEYDOWN;
    const int entry = key                      ? int{VK_RIGHT}
                      : down == WM_LBUTTONDOWN ? int{VK_LBUTTON}
                                               : int{VK_RBUTTON};
    const uintptr_t wParam = key ? uintptr_t{VK_RIGHT} : 0;
    Send(down, wParam);
    Send(down + 1, wParam);  // the matching up message
    EXPECT_EQ(gKeyTable[entry], 1) << entry << ": the frame has not seen it yet";
    FrameSeen();
    EXPECT_EQ(gKeyTable[entry], 0) << entry;
    FrameSeen();
    EXPECT_EQ(gKeyTable[entry], 0) << entry;
  }
  // Pressed again after a quick release: it is simply held.
  Press(VK_LEFT);
  Release(VK_LEFT);
  Press(VK_LEFT);
  FrameSeen();
  EXPECT_EQ(gKeyTable[VK_LEFT], 1);
  Release(VK_LEFT);
  EXPECT_EQ(gKeyTable[VK_LEFT], 0);
  // Losing the window's keys clears what waits as well.
  Press('Q');
  Release('Q');
  ClearKeyTable();
  FrameSeen();
  Press('Q');
  FrameSeen();
  EXPECT_EQ(gKeyTable['Q'], 1) << "no stale release";
}

TEST_F(WindowProcTest, ReleasesClearKeysEvenWhileUnfocused) {
  Press('D');
  FrameSeen();
  Send(WM_KILLFOCUS);
  Release('D');
  EXPECT_EQ(gKeyTable['D'], 0);
}

TEST_F(WindowProcTest, EscapeNeverEntersTheTable) {
  Press(VK_ESCAPE);
  EXPECT_EQ(gKeyTable[VK_ESCAPE], 0);
  gKeyTable[VK_ESCAPE] = 1;  // even a stale entry is cleared on release
  Release(VK_ESCAPE);
  EXPECT_EQ(gKeyTable[VK_ESCAPE], 0);
}

TEST_F(WindowProcTest, CodesOutsideTheTableAreIgnored) {
  const auto before = gKeyTable;
  for (uintptr_t code : {uintptr_t{256}, uintptr_t{0x1000}, ~uintptr_t{0}}) {
    EXPECT_EQ(Send(WM_KEYDOWN, code), 0);
    EXPECT_EQ(Send(WM_KEYUP, code), 0);
  }
  EXPECT_EQ(gKeyTable, before);
}

TEST_F(WindowProcTest, F2TogglesTheDebugOverlayOnRelease) {
  Press(VK_F2);
  EXPECT_EQ(gApp.debugOverlay, 0) << "not on the press";
  EXPECT_EQ(gKeyTable[VK_F2], 1);
  FrameSeen();
  Release(VK_F2);
  EXPECT_EQ(gApp.debugOverlay, 1);
  EXPECT_EQ(gKeyTable[VK_F2], 0);
  Press(VK_F2);
  Release(VK_F2);
  EXPECT_EQ(gApp.debugOverlay, 0);
  gApp.debugOverlay = -3;
  Release(VK_F2);
  EXPECT_EQ(gApp.debugOverlay, 1);
}

// ------------------------------------------------------------ text entry

TEST_F(WindowProcTest, HomeAndEndMoveTheCursorOnlyWhileEditing) {
  Press(VK_HOME);
  Press(VK_END);
  EXPECT_EQ(gKeyTable[VK_HOME], 1) << "no entry: ordinary keys";
  EXPECT_EQ(gKeyTable[VK_END], 1);
  Release(VK_HOME);
  Release(VK_END);
  FrameSeen();

  int32_t cell = 0;
  ASSERT_EQ(BeginTextEntry(&cell, "Name: ", 10), 1);
  for (char c : std::string("abc")) Send(WM_CHAR, static_cast<unsigned char>(c));
  EXPECT_EQ(gTextEntry.buffer, "Name: abc");
  EXPECT_EQ(gTextEntry.cursor, 9);

  Press(VK_HOME);
  EXPECT_EQ(gKeyTable[VK_HOME], 0);
  EXPECT_EQ(gTextEntry.cursor, 9) << "the cursor moves on the release";
  Release(VK_HOME);
  EXPECT_EQ(gTextEntry.cursor, 6);
  Press(VK_END);
  Release(VK_END);
  EXPECT_EQ(gKeyTable[VK_END], 0);
  EXPECT_EQ(gTextEntry.cursor, 9);
  EXPECT_EQ(gTextEntry.buffer, "Name: abc") << "no '#' or '$' typed";
}

TEST_F(WindowProcTest, CharactersFeedTheEditorOnlyWhileEditing) {
  Send(WM_CHAR, 'x');
  EXPECT_TRUE(gTextEntry.buffer.empty());

  int32_t cell = 0;
  ASSERT_EQ(BeginTextEntry(&cell, "", 5), 1);
  // Only the low byte is the character: Cyrillic bytes arrive as they are.
  Send(WM_CHAR, 0xC6);
  Send(WM_CHAR, 0x100 | 'o');
  Send(WM_CHAR, 8);
  Send(WM_CHAR, 'k');
  EXPECT_EQ(gTextEntry.buffer, "\xC6k");
  Send(WM_CHAR, 27);
  EXPECT_EQ(cell, 2) << "Escape cancels through its character";
}

// ------------------------------------------------------ results closing

class ResultsClose : public WindowProcTest {
 protected:
  void SetUp() override {
    WindowProcTest::SetUp();
    GameStartup();
    ShowResults();
    gActions[ActionUp].key1 = VK_UP;
    gActions[ActionUp].key2 = 'W';
    gActions[ActionUp].key3 = VK_MBUTTON;
    stageBefore_ = gGame.stage;
  }
  void ShowResults() {
    gGame.paused = 1;
    gGame.closeLock = 0;
    gGame.nameInput = 0;
  }
  int32_t stageBefore_ = 0;
  Panel options_;
};

TEST_F(ResultsClose, EnterAndSpaceCloseOnReleaseWithoutTouchingTheTable) {
  for (int key : {VK_SPACE, VK_RETURN}) {
    ShowResults();
    const int32_t stage = gGame.stage;
    Press(key);
    EXPECT_EQ(gKeyTable[key], 0) << key;
    EXPECT_EQ(gGame.paused, 1) << "still shown after the press";
    Release(key);
    EXPECT_EQ(gKeyTable[key], 0) << key;
    EXPECT_EQ(gGame.paused, 0) << key;
    EXPECT_EQ(gGame.stage, stage + 1) << "the next stage is built";
    // The game goes on: the same key is an ordinary key again.
    Press(key);
    EXPECT_EQ(gKeyTable[key], 1) << key;
    Release(key);
  }
}

TEST_F(ResultsClose, UpKeysCloseOnlyWithTheMenuClosedAndCooledDown) {
  gActions[ActionUp].fired = 1;
  Press(VK_UP);
  EXPECT_EQ(gKeyTable[VK_UP], 0);
  EXPECT_EQ(gActions[ActionUp].fired, 0) << "the key must not also turn the piece";
  Release(VK_UP);
  EXPECT_EQ(gGame.paused, 0);

  ShowResults();
  MenuCooldownMs = 400;
  Press('W');
  EXPECT_EQ(gKeyTable['W'], 1) << "cooldown running: an ordinary key";
  FrameSeen();
  Release('W');
  EXPECT_EQ(gGame.paused, 1);

  MenuCooldownMs = 0;
  options_.visible = 1;
  OptionsPanel = &options_;
  Press('W');
  EXPECT_EQ(gKeyTable['W'], 1) << "menu open: an ordinary key";
  FrameSeen();
  Release('W');
  EXPECT_EQ(gGame.paused, 1);

  options_.visible = 0;
  Press('W');
  Release('W');
  EXPECT_EQ(gKeyTable['W'], 0);
  EXPECT_EQ(gGame.paused, 0);
}

TEST_F(ResultsClose, OtherKeysAndUnclosableResultsLeaveThemShown) {
  Press('X');
  Release('X');
  EXPECT_EQ(gGame.paused, 1);

  struct Blocker {
    const char* what;
    int32_t GameState::*field;
  };
  const Blocker blockers[] = {{"close lock", &GameState::closeLock},
                              {"name entry", &GameState::nameInput}};
  for (const Blocker& b : blockers) {
    ShowResults();
    gGame.*b.field = 1;
    Press(VK_SPACE);
    EXPECT_EQ(gKeyTable[VK_SPACE], 1) << b.what;
    Release(VK_SPACE);
    EXPECT_EQ(gGame.paused, 1) << b.what;
  }
  gGame = GameState{};  // not paused: results not shown
  Press(VK_RETURN);
  EXPECT_EQ(gKeyTable[VK_RETURN], 1);
  Release(VK_RETURN);
}

TEST_F(ResultsClose, MiddleButtonBoundToUpClosesInsteadOfResettingTheWheel) {
  Send(WM_MBUTTONDOWN);
  ASSERT_EQ(gKeyTable[VK_MBUTTON], 1) << "buttons enter the table directly";
  FrameSeen();
  gWheel.sum = 77;
  Send(WM_MBUTTONUP);
  EXPECT_EQ(gKeyTable[VK_MBUTTON], 0);
  EXPECT_EQ(gGame.paused, 0);
  EXPECT_EQ(gWheel.sum, 77) << "no wheel reset";
  Send(WM_MBUTTONUP);
  EXPECT_EQ(gWheel.sum, 0) << "results closed: the release resets the wheel";
  EXPECT_EQ(gWheel.lastEventTick, gNow);
}

// ------------------------------------------------------- system commands

TEST_F(WindowProcTest, SystemCommandsThatWouldMoveSizeOrSleepAreSwallowed) {
  const uint32_t swallowed[] = {SC_SIZE,       SC_MOVE,   SC_MAXIMIZE,     SC_KEYMENU,
                                SC_SCREENSAVE, SC_HOTKEY, SC_MONITORPOWER, SC_CONTEXTHELP};
  for (uint32_t sc : swallowed) {
    for (uint32_t low : {0u, 2u, 0xFu}) {  // the low four bits are the system's own
      EXPECT_EQ(Send(WM_SYSCOMMAND, sc | low), 0) << std::hex << (sc | low);
    }
  }
  EXPECT_EQ(gApp.quitRequested, 0);
  EXPECT_EQ(gApp.active, 0);
}

TEST_F(WindowProcTest, SystemCloseGoesToDefaultHandlingAndBecomesWmClose) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "the window class needs an X server";
  ASSERT_EQ(PlatformRegisterClass("anPrimOpenGL", WindowProc), 1);
  Send(WM_SYSCOMMAND, SC_KEYMENU);
  EXPECT_EQ(gApp.quitRequested, 0);
  Send(WM_SYSCOMMAND, SC_CLOSE | 2);
  EXPECT_EQ(gApp.quitRequested, 1);
  PlatformUnregisterClass("anPrimOpenGL");
}

// ------------------------------------------------------------------ wheel

TEST_F(WindowProcTest, WheelDeltaIsTheSignedHighWordWithTheTickCount) {
  Send(WM_MOUSEWHEEL, uintptr_t{static_cast<uint16_t>(-120)} << 16);
  EXPECT_EQ(gWheel.startTick, 5000u) << "the first message starts a turn";
  gNow = 5100;
  int32_t sum = gWheel.sum;
  Send(WM_MOUSEWHEEL, (uintptr_t{static_cast<uint16_t>(-240)} << 16) | 0x0008);
  EXPECT_EQ(gWheel.sum, sum - 240) << "negative, key flags in the low word ignored";
  sum = gWheel.sum;
  Send(WM_MOUSEWHEEL, uintptr_t{120} << 16);
  EXPECT_EQ(gWheel.sum, sum + 120);

  gNow = 5200;
  Send(WM_MBUTTONDOWN);
  EXPECT_EQ(gWheel.middleHeld, 1) << "middle press within 400 ms of the turn";
  EXPECT_EQ(gWheel.sum, 0);
  Send(WM_MOUSEWHEEL, uintptr_t{120} << 16);
  EXPECT_EQ(gWheel.sum, 0) << "ignored while the middle button is held";
  Send(WM_MBUTTONUP);
  EXPECT_EQ(gWheel.middleHeld, 0);
  EXPECT_EQ(gWheel.lastEventTick, 5200u);
}

// ------------------------------------------------------------------ loop

std::vector<Msg> gScript;
int gSourceCalls = 0;
std::vector<uint32_t> gSleeps;
int gStopAfterSleeps = 0;

int ScriptSource(Msg* out) {
  ++gSourceCalls;
  if (gScript.empty()) return 0;
  *out = gScript.front();
  gScript.erase(gScript.begin());
  return 1;
}

void RecordSleep(uint32_t ms) {
  gSleeps.push_back(ms);
  if (static_cast<int>(gSleeps.size()) >= gStopAfterSleeps) gApp.quitRequested = 1;
}

class Loop : public WindowProcTest {
 protected:
  void SetUp() override {
    WindowProcTest::SetUp();
    gScript.clear();
    gSourceCalls = 0;
    gSleeps.clear();
    gStopAfterSleeps = 3;
    SetMessageSource(ScriptSource);
    SetSleepHook(RecordSleep);
  }
  void TearDown() override {
    SetMessageSource(nullptr);
    SetSleepHook(nullptr);
    WindowProcTest::TearDown();
  }
};

TEST_F(Loop, QuitIsTestedBeforeTheFirstPass) {
  gApp.quitRequested = 1;
  RunMessageLoop();
  EXPECT_EQ(gSourceCalls, 0);
  EXPECT_TRUE(gSleeps.empty());
}

TEST_F(Loop, MinimisedPassesSleep500AndDrawNothing) {
  gApp.active = 0;
  RunMessageLoop();
  EXPECT_EQ(gSleeps, (std::vector<uint32_t>{500, 500, 500}));
  EXPECT_EQ(gSourceCalls, 3);
}

TEST_F(Loop, ActivePassesSleepTheLoopSleep) {
  gApp.active = 1;
  gApp.loopSleepMs = 10;
  RunMessageLoop();
  EXPECT_EQ(gSleeps, (std::vector<uint32_t>{10, 10, 10}));
  gApp.quitRequested = 0;
  gApp.loopSleepMs = -5;  // never a negative sleep
  gSleeps.clear();
  gStopAfterSleeps = 1;
  RunMessageLoop();
  EXPECT_EQ(gSleeps, (std::vector<uint32_t>{0}));
}

TEST_F(Loop, WaitingMessagesAreAllTakenBeforeTheNextPass) {
  gApp.active = 0;
  gStopAfterSleeps = 1;
  gScript = {{WM_KEYDOWN, 'A', 0}, {WM_KEYUP, 'A', 0}, {WM_KEYDOWN, 'B', 0}};
  RunMessageLoop();
  EXPECT_EQ(gSourceCalls, 4) << "three messages, then the idle pass";
  EXPECT_EQ(gSleeps.size(), 1u);
  EXPECT_TRUE(gScript.empty());
}

}  // namespace

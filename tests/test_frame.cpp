// The frame driver on a real GL context with a fake clock: the intro, the
// visibility rules, the options chord and the menu's selection, the
// cooldowns, the routing of keys to the game, and unfocused frames.
#include <gtest/gtest.h>
#include <unistd.h>

#include <GL/gl.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/input_actions.h"
#include "app/window.h"
#include "base/timers.h"
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/resources.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "records/records.h"
#include "ui/field_choice.h"
#include "ui/field_render.h"
#include "ui/fonts.h"
#include "ui/help_card.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

namespace {

uint32_t gNow = 1000;
uint32_t FakeTicks() {
  return gNow;
}
void FakeSleep(uint32_t ms) {
  gNow += ms;
}
int gBoxes = 0;
int CountBox(const char*, const char*, uint32_t) {
  ++gBoxes;
  return IDOK;
}

using Rgb = std::array<int, 3>;

Rgb Pixel(int x, int y) {
  uint8_t p[3] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

::testing::AssertionResult Is(const Rgb& got, const Rgb& want, int tolerance = 3) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(got[i] - want[i]) > tolerance) {
      return ::testing::AssertionFailure()
             << "got (" << got[0] << ", " << got[1] << ", " << got[2] << "), want (" << want[0]
             << ", " << want[1] << ", " << want[2] << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

// The panels and the game as the program has them after start-up, without
// a screen: enough for the rules that only read and write visibility.
class PanelsAndGame : public ::testing::Test {
 protected:
  void SetUp() override {
    savedApp = gApp;
    gApp.windowWidth = 800;
    gApp.windowHeight = 600;
    gNow = 1000;
    SetTickSource(FakeTicks);
    SetSleepHook(FakeSleep);
    gBoxes = 0;
    SetMessageBoxHook(CountBox);
    SetRootPanel(800, 600);
    BuildPanelLayout();
    gGame = GameState{};
    gOptions = GameOptions{};
    gGame.variant = kVariantSport;
    gGame.stage = 1;
  }
  void TearDown() override {
    ReleasePanelTree();
    gGame = GameState{};
    gApp = savedApp;
    SetMessageBoxHook(nullptr);
    SetSleepHook(nullptr);
    SetTickSource(nullptr);
  }
  AppState savedApp;
};

// ------------------------------------------------------------ visibility

using VisibilityRules = PanelsAndGame;

TEST_F(VisibilityRules, TableOfPanelStates) {
  struct Case {
    const char* what;
    bool nameEntry, results, choice, options;
    int stage, variant;
    // expected
    bool records, strip, columns;
  };
  const Case cases[] = {
      {"play, stage 1 sport", false, false, false, false, 1, 2, false, true, true},
      {"play, stage 2 sport", false, false, false, false, 2, 2, false, true, false},
      {"play, stage 1 easy", false, false, false, false, 1, 1, false, true, false},
      {"stage results", false, true, false, false, 1, 2, true, false, false},
      {"name entry over results", true, true, false, false, 1, 2, false, false, false},
      {"name entry alone", true, false, false, false, 1, 2, false, false, true},
      {"field choice", false, false, true, false, 1, 2, false, true, false},
      {"options over field choice", false, false, true, true, 1, 2, false, true, true},
      {"options in play", false, false, false, true, 1, 2, false, true, true},
      {"results over field choice", false, true, true, false, 1, 2, true, false, false},
  };
  for (const Case& c : cases) {
    ShowPanel(NameEntryPanel, c.nameEntry);
    ShowPanel(StageResultsPanel, c.results);
    ShowPanel(FieldChoicePanel, c.choice);
    ShowPanel(OptionsPanel, c.options);
    ShowPanel(BonusPanel, true);
    // Start from the opposite of what is expected, so every rule must act.
    ShowPanel(RecordsPanel, !c.records);
    ShowPanel(RecordsStripPanel, !c.strip);
    ShowPanel(ResultsColumnsPanel, !c.columns);
    gGame.stage = c.stage;
    gGame.variant = c.variant;
    ApplyVisibilityRules();
    EXPECT_EQ(PanelVisible(RecordsPanel), c.records) << c.what;
    EXPECT_EQ(PanelVisible(RecordsStripPanel), c.strip) << c.what;
    EXPECT_EQ(PanelVisible(ResultsColumnsPanel), c.columns) << c.what;
    EXPECT_EQ(PanelVisible(BonusPanel), !c.choice) << c.what << ": the choice hides the bonuses";
  }
}

TEST(OptionsSelection, WrapsAtBothEnds) {
  const struct {
    int line, delta, count, want;
  } cases[] = {
      {9, 1, 9, 1}, {1, -1, 9, 9}, {5, 1, 9, 6},  {5, -1, 9, 4},   // moves and wraps
      {0, 0, 9, 9}, {10, 0, 9, 1}, {-3, 1, 9, 7}, {23, -1, 9, 4},  // out of range first
      {1, 1, 1, 1}, {3, -1, 1, 3}, {4, 1, 0, 4},  {2, 1, 2, 1},    // fewer than two lines
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrapOptionsLine(c.line, c.delta, c.count), c.want)
        << c.line << " by " << c.delta << " of " << c.count;
  }
}

// ------------------------------------------------------------ whole frames

class FrameTest : public PanelsAndGame {
 protected:
  void SetUp() override {
    PanelsAndGame::SetUp();
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_EQ(CreateGlTestContext(800, 600), 1);
    context = true;
    glViewport(0, 0, 800, 600);
    // The game writes its records file in the working directory.
    previousDir = std::filesystem::current_path();
    char pattern[] = "/tmp/dromo-frame-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    workDir = pattern;
    std::filesystem::current_path(workDir);

    ClearKeyTable();
    gActions = {};
    SetMouseInWindowOverride(1, 10, 10);
    ResetWellDrawing();
    GameStartup();
    gChoiceState = 0;
    gSelectedShape = 2;
    OptionsLine = 1;
    OptionsLineCount = 9;
    MenuCooldownMs = 0;
    OptionsToggleCooldownMs = 0;
    TextCooldownMs = 0;
    gFrameClock = FrameClock{};
    ResetFrameClock();
    ASSERT_FALSE(IntroRunning());
  }
  void TearDown() override {
    if (context) {
      End2D();
      SetMouseInWindowOverride(0, 0, 0);
      ClearKeyTable();
      gActions = {};
      DestroyGlTestContext();
      std::filesystem::current_path(previousDir);
      std::error_code ec;
      std::filesystem::remove_all(workDir, ec);
    }
    PanelsAndGame::TearDown();
  }
  void Frame(uint32_t ms, int focused = 1) {
    gNow += ms;
    RunFrame(focused);
  }
  // The bindings the program ships with.
  void LoadBindings() {
    const char* source = std::getenv("DROMO_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream in(std::string(source) + "/res/base/sig.txt", std::ios::binary);
    ASSERT_TRUE(in.good());
    LoadInputActions(in);
  }
  // One press of a key: down for a frame, up for a frame; slow enough for
  // the bindings' lockouts (180 ms at most).
  void Tap(int vk, uint32_t ms = 100) {
    gKeyTable[vk] = 1;
    Frame(ms);
    gKeyTable[vk] = 0;
    Frame(ms);
  }
  // Into play on a shape, past the shape choice.
  void Play(int shape) {
    gChoiceState = 2;
    ShowPanel(FieldChoicePanel, false);
    StartNewGame(shape);
    Frame(16);  // the first step loads the records and spawns
    ASSERT_GT(gGame.current.position, 0);
  }
  bool context = false;
  std::filesystem::path previousDir, workDir;
};

TEST_F(FrameTest, IntroConvergesOnItsTargets) {
  for (uint32_t frameMs : {10u, 33u, 250u}) {
    gChoiceState = 0;
    ShowPanel(FieldChoicePanel, false);
    SetupIntro();
    const IntroState& in = Intro();
    EXPECT_EQ(in.remainingMs, 3000);
    EXPECT_FLOAT_EQ(in.a, 800.0f);
    EXPECT_FLOAT_EQ(in.b, 600.0f);
    EXPECT_FLOAT_EQ(in.c, 256.0f - 600.0f);
    EXPECT_FLOAT_EQ(in.alpha, 0.0f);
    ASSERT_TRUE(IntroRunning());

    uint32_t total = 0;
    int frames = 0;
    while (IntroRunning() && frames < 2000) {
      Frame(frameMs);
      total += frameMs;
      ++frames;
      if (frames == 3) {
        // Only the intro: the records strip at the right stays black.
        EXPECT_TRUE(Is(Pixel(760, 300), Rgb{0, 0, 0})) << frameMs << " ms frames";
      }
    }
    EXPECT_GE(total, 3000u) << frameMs << " ms frames";
    EXPECT_LT(total, 3000u + frameMs) << "3000 ms of frame time";
    EXPECT_EQ(in.remainingMs, 0);
    EXPECT_EQ(in.alpha, 1.0f) << "exactly";
    EXPECT_EQ(in.a, 64.0f);
    EXPECT_EQ(in.b, 128.0f);
    EXPECT_EQ(in.c, 64.0f);
    EXPECT_EQ(gChoiceState, 0) << "nothing else ran during the intro";

    Frame(frameMs);
    EXPECT_EQ(gChoiceState, 1) << "the next frame belongs to the game";
    EXPECT_TRUE(PanelVisible(FieldChoicePanel));
  }
}

TEST_F(FrameTest, IntroWaitsWhileTheResultsHoldTheGame) {
  SetupIntro();
  gGame.paused = 1;
  EXPECT_FALSE(IntroRunning());
  Frame(500);
  EXPECT_EQ(Intro().remainingMs, 3000) << "held, not counted";
  gGame.paused = 0;
  gGame.closeLock = 200;
  EXPECT_FALSE(IntroRunning());
  gGame.closeLock = 0;
  EXPECT_TRUE(IntroRunning());
  while (IntroRunning()) Frame(250);
  EXPECT_EQ(Intro().remainingMs, 0);
}

TEST_F(FrameTest, OptionsChordTogglesNoFasterThanItsCooldown) {
  gKeyTable[VK_LBUTTON] = 1;
  gKeyTable[VK_RBUTTON] = 1;
  std::vector<uint32_t> toggles;
  uint32_t t = 0;
  for (int i = 0; i < 40; ++i) {
    const bool before = PanelVisible(OptionsPanel);
    glClearColor(0.5f, 0.0f, 0.5f, 1.0f);  // a marker the frame would clear
    glClear(GL_COLOR_BUFFER_BIT);
    Frame(100);
    t += 100;
    const bool after = PanelVisible(OptionsPanel);
    if (before != after) {
      toggles.push_back(t);
      EXPECT_EQ(OptionsToggleCooldownMs, 990);
      if (after) {
        EXPECT_EQ(MenuCooldownMs, 400) << "no option changes right after opening";
      }
      EXPECT_TRUE(Is(Pixel(760, 300), Rgb{128, 0, 128}, 2)) << "the toggling frame draws nothing";
      EXPECT_TRUE(Is(Pixel(300, 300), Rgb{128, 0, 128}, 2));
    } else {
      EXPECT_FALSE(Is(Pixel(760, 300), Rgb{128, 0, 128}, 2)) << "other frames draw at " << t;
    }
  }
  ASSERT_GE(toggles.size(), 4u);
  EXPECT_EQ(toggles.front(), 100u) << "the first frame of the chord opens the menu";
  for (size_t i = 1; i < toggles.size(); ++i) {
    EXPECT_GE(toggles[i] - toggles[i - 1], 990u);
    EXPECT_LE(toggles[i] - toggles[i - 1], 1000u) << "and again as soon as the cooldown allows";
  }
}

TEST_F(FrameTest, MenuSelectionMovesWithTheCommandsAndSkipsTheGame) {
  LoadBindings();
  ShowPanel(OptionsPanel, true);
  OptionsLine = 9;
  const struct {
    int key;
    int want;
  } steps[] = {{VK_LEFT, 1}, {VK_RIGHT, 9}, {VK_RIGHT, 8}, {VK_DOWN, 9}, {VK_DOWN, 1}};
  for (const auto& s : steps) {
    Tap(s.key);
    EXPECT_EQ(OptionsLine, s.want) << "key " << s.key;
  }
  EXPECT_EQ(gChoiceState, 0) << "the menu takes the frame: no field choice, no game";

  OptionsLineCount = 1;
  OptionsLine = 1;
  Tap(VK_LEFT);
  Tap(VK_RIGHT);
  EXPECT_EQ(OptionsLine, 1) << "a single line never moves";
  OptionsLineCount = 9;
  OptionsLine = 14;
  Tap(VK_LEFT);
  EXPECT_EQ(OptionsLine, 6) << "an out-of-range selection is wrapped into range first";
}

TEST_F(FrameTest, FieldChoiceTakesTheCommandsBeforeTheGame) {
  LoadBindings();
  Frame(16);
  ASSERT_EQ(gChoiceState, 1);
  ASSERT_TRUE(PanelVisible(FieldChoicePanel));
  EXPECT_FALSE(PanelVisible(BonusPanel));
  Tap(VK_LEFT);
  EXPECT_EQ(gSelectedShape, 1);
  Tap(VK_RIGHT);
  Tap(VK_RIGHT);
  EXPECT_EQ(gSelectedShape, 3);
  Tap(VK_UP);
  EXPECT_EQ(gChoiceState, 2);
  EXPECT_EQ(gGame.variant, kVariantJug);
  Frame(16);
  EXPECT_GT(gGame.current.position, 0) << "the game runs from the next frame";
  EXPECT_TRUE(PanelVisible(BonusPanel)) << "\"кувшин\" shows its bonuses";
  EXPECT_TRUE(std::filesystem::exists(RecordsFileNameFor(kVariantJug)));
}

TEST_F(FrameTest, FieldChoiceDrawsTheBackgroundSquareAndItsShade) {
  Frame(16);  // opens the choice (and tries to load a picture it cannot find here)
  ASSERT_TRUE(PanelVisible(FieldChoicePanel));
  TextureSlot& t = gBackgroundTexture;
  t.width = t.height = 4;
  t.bitsPerPixel = 32;
  t.pixels = static_cast<uint8_t*>(std::malloc(4 * 4 * 4));
  for (int i = 0; i < 16; ++i) {
    t.pixels[4 * i] = 200;
    t.pixels[4 * i + 1] = 100;
    t.pixels[4 * i + 2] = 0;
    t.pixels[4 * i + 3] = 255;
  }
  ASSERT_EQ(CreateTexture(t, 0, 1), 1);
  // A window-wide square: 800 high, so from -700 it ends at y = 100.
  gBackgroundY = -700.0f;
  Frame(16);
  EXPECT_TRUE(Is(Pixel(20, 90), Rgb{200, 100, 0})) << "inside the square";
  EXPECT_TRUE(Is(Pixel(20, 110), Rgb{0, 0, 0})) << "above the square";
  gBackgroundY = 0.0f;
  Frame(16);
  // The shade: grey 0.2 from alpha 0 at the middle to 1 at the right edge.
  const struct {
    int x;
    float alpha;
  } shade[] = {{20, 0.0f}, {399, 0.0f}, {440, 0.1f}, {500, 0.25f}};
  for (const auto& s : shade) {
    const Rgb want{static_cast<int>(200 * (1 - s.alpha) + 51 * s.alpha),
                   static_cast<int>(100 * (1 - s.alpha) + 51 * s.alpha),
                   static_cast<int>(51 * s.alpha)};
    EXPECT_TRUE(Is(Pixel(s.x, 400), want, 4)) << "x " << s.x;
  }
  DeleteTexture(t);
  FreePixels(t);
}

TEST_F(FrameTest, SpaceTakesABonusOnlyInTheJug) {
  for (int shape : {kVariantSport, kVariantJug}) {
    Play(shape);
    gGame.bonusCooldownMs = 0;
    gKeyTable[VK_SPACE] = 1;
    Frame(16);
    gKeyTable[VK_SPACE] = 0;
    EXPECT_EQ(PanelVisible(BonusPanel), shape == kVariantJug) << shape;
    EXPECT_EQ(gGame.bonusCooldownMs, shape == kVariantJug ? 2000 : 0) << shape;
  }
}

TEST_F(FrameTest, KeysMoveThePieceThroughTheGame) {
  LoadBindings();
  Play(kVariantSport);
  const int32_t start = gGame.current.position;
  Tap(VK_LEFT);
  EXPECT_EQ(gGame.current.position, start - 1);
  Tap(VK_RIGHT);
  EXPECT_EQ(gGame.current.position, start);
  EXPECT_EQ(CommandLeft + CommandRight + CommandUp + CommandDown, 0) << "released: no command";
}

TEST_F(FrameTest, CooldownsRunDownOnFocusedFramesOnly) {
  Play(kVariantSport);
  TextCooldownMs = 50;
  MenuCooldownMs = 400;
  OptionsToggleCooldownMs = 100;
  gGame.bonusCooldownMs = 2000;
  Frame(40);
  EXPECT_EQ(TextCooldownMs, 10);
  EXPECT_EQ(MenuCooldownMs, 360);
  EXPECT_EQ(OptionsToggleCooldownMs, 60);
  EXPECT_EQ(gGame.bonusCooldownMs, 1960);
  Frame(300, 0);
  EXPECT_EQ(MenuCooldownMs, 360) << "an unfocused frame counts nothing";
  Frame(40);  // the long unfocused gap is one frame of 340 ms
  EXPECT_EQ(TextCooldownMs, 0) << "stops at 0";
  EXPECT_EQ(OptionsToggleCooldownMs, 0);
  EXPECT_EQ(MenuCooldownMs, 20);
  EXPECT_EQ(gGame.bonusCooldownMs, 1620);
}

TEST_F(FrameTest, UnfocusedFramesDrawThePauseAndStepNothing) {
  LoadBindings();
  Play(kVariantSport);
  for (int i = 0; i < 5; ++i) Frame(100);
  EXPECT_TRUE(Is(Pixel(560, 300), Rgb{0, 0, 0})) << "an empty spot of the play screen";
  const GameState before = gGame;
  const FrameClock clockBefore = gFrameClock;
  gKeyTable[VK_LEFT] = 1;  // input is not read either
  for (int i = 0; i < 5; ++i) {
    Frame(400, 0);
    // The translucent layer (0, 0.2, 0.4) at 0.7 over the picture.
    EXPECT_TRUE(Is(Pixel(560, 300), Rgb{0, 36, 71}));
  }
  EXPECT_EQ(gGame.current.position, before.current.position);
  EXPECT_EQ(gGame.fallTimer, before.fallTimer);
  EXPECT_EQ(gGame.spawnDelay, before.spawnDelay);
  EXPECT_EQ(gGame.downGuard, before.downGuard);
  EXPECT_EQ(gFrameClock.tick, clockBefore.tick);
  EXPECT_EQ(CommandLeft, 0);

  Frame(16);
  const int32_t width = gGame.field->width;
  EXPECT_EQ(gGame.current.position % width, before.current.position % width - 1)
      << "focused again: it moves";
  EXPECT_TRUE(Is(Pixel(560, 300), Rgb{0, 0, 0})) << "and the pause layer is gone";
}

TEST_F(FrameTest, PointerCounterIsKeptCounting) {
  Play(kVariantSport);
  InputAction& pointer = gActions[ActionPointer];
  pointer.kind = 1;
  pointer.counter = -3;
  pointer.counterMax = 0;
  Frame(16);
  EXPECT_EQ(pointer.counter, 0);
  EXPECT_EQ(pointer.counterMax, 1);
  pointer.counter = 4;
  pointer.counterMax = 1;
  Frame(16);
  EXPECT_EQ(pointer.counterMax, 5);
  pointer.counterMax = 7;
  Frame(16);
  EXPECT_EQ(pointer.counterMax, 7) << "a real maximum stays";
}

// ------------------------------------------------------------ quick taps

// Messages through the real pump and window procedure, as the main loop
// handles them between two frames.
class QuickTaps : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    if (!context) return;
    ASSERT_EQ(PlatformRegisterClass("dromo-taps", WindowProc), 1);
    PumpMessages();
  }
  void TearDown() override {
    if (context) PlatformUnregisterClass("dromo-taps");
    FrameTest::TearDown();
  }
  void Post(TestInputKind kind, const char* key, int value = 0) {
    ASSERT_EQ(PostTestInput(kind, key, value), 1) << key;
  }
  void PumpMessages() {
    Msg m{};
    while (PeekMessage(&m)) DispatchMessage(m);
  }
};

TEST_F(QuickTaps, AKeyPressedAndReleasedBetweenTwoFramesActsOnce) {
  LoadBindings();
  Frame(16);
  ASSERT_EQ(gChoiceState, 1);
  ASSERT_EQ(gSelectedShape, 2);
  for (int tap = 1; tap <= 13; ++tap) {
    Post(TestKeyDown, "Right");
    Post(TestKeyUp, "Right");
    PumpMessages();
    Frame(16);
    EXPECT_EQ(gSelectedShape, (2 + tap - 1) % 6 + 1) << "tap " << tap;
    EXPECT_EQ(gKeyTable[VK_RIGHT], 0) << "released once the frame has seen it";
    // A fast player's pace: about eight taps a second, past the 45 ms lockout.
    Frame(50);
    Frame(50);
  }
  Post(TestKeyDown, "Up");
  Post(TestKeyUp, "Up");
  PumpMessages();
  Frame(16);
  EXPECT_EQ(gChoiceState, 2);
  EXPECT_EQ(gGame.variant, 3);
}

TEST_F(QuickTaps, HeldKeysStillRepeatAndAPressAgainAfterAQuickReleaseStaysDown) {
  LoadBindings();
  Play(kVariantSport);
  const int32_t start = gGame.current.position;
  // Down, up and down again before a frame: the key is held.
  Post(TestKeyDown, "Left");
  Post(TestKeyUp, "Left");
  Post(TestKeyDown, "Left");
  PumpMessages();
  Frame(16);
  EXPECT_EQ(gGame.current.position, start - 1);
  Frame(16);
  EXPECT_EQ(gKeyTable[VK_LEFT], 1) << "still held";
  for (int i = 0; i < 20; ++i) Frame(10);  // past the 170 ms repeat delay
  EXPECT_LT(gGame.current.position, start - 1) << "a held key repeats";
  Post(TestKeyUp, "Left");
  PumpMessages();
  EXPECT_EQ(gKeyTable[VK_LEFT], 0) << "a release of a key the frame has seen applies at once";
}

TEST_F(QuickTaps, BothButtonsClickedBetweenTwoFramesOpenTheOptions) {
  Play(kVariantSport);
  ASSERT_FALSE(PanelVisible(OptionsPanel));
  Post(TestButtonDown, nullptr, 1);
  Post(TestButtonDown, nullptr, 3);
  Post(TestButtonUp, nullptr, 1);
  Post(TestButtonUp, nullptr, 3);
  PumpMessages();
  Frame(16);
  EXPECT_TRUE(PanelVisible(OptionsPanel));
  EXPECT_EQ(gKeyTable[VK_LBUTTON] + gKeyTable[VK_RBUTTON], 0);
}

TEST_F(QuickTaps, AGamePadMovesTurnsAndDropsThePiece) {
  LoadBindings();
  ASSERT_EQ(AttachTestGamepad(), 1);
  PumpMessages();
  struct Detach {
    ~Detach() { DetachTestGamepad(); }
  } detach;
  Play(kVariantSport);
  while (gGame.spawnDelay > 0) Frame(50);
  auto press = [&](TestPadButton b) {
    ASSERT_EQ(SetTestGamepadButton(b, 1), 1);
    PumpMessages();
    Frame(16);
    ASSERT_EQ(SetTestGamepadButton(b, 0), 1);
    PumpMessages();
    Frame(100);
  };
  const int32_t start = gGame.current.position;
  press(TestPadLeft);
  EXPECT_EQ(gGame.current.position % gGame.field->width, start % gGame.field->width - 1);
  ASSERT_EQ(SetTestGamepadStick(32767), 1);
  PumpMessages();
  Frame(16);
  ASSERT_EQ(SetTestGamepadStick(0), 1);
  PumpMessages();
  Frame(100);
  EXPECT_EQ(gGame.current.position % gGame.field->width, start % gGame.field->width)
      << "the stick moves it back";
  const auto ring = gGame.current.ring;
  press(TestPadA);
  EXPECT_NE(gGame.current.ring, ring) << "A turns the ring";
  const int32_t row = gGame.current.position / gGame.field->width;
  press(TestPadB);
  for (int i = 0; i < 40 && gGame.current.position / gGame.field->width <= row + 1; ++i) Frame(16);
  EXPECT_GT(gGame.current.position / gGame.field->width, row + 1) << "B drops it";
  // Both shoulders: the options chord.
  ASSERT_EQ(SetTestGamepadButton(TestPadLeftShoulder, 1), 1);
  ASSERT_EQ(SetTestGamepadButton(TestPadRightShoulder, 1), 1);
  PumpMessages();
  Frame(16);
  EXPECT_TRUE(PanelVisible(OptionsPanel));
  ASSERT_EQ(SetTestGamepadButton(TestPadLeftShoulder, 0), 1);
  ASSERT_EQ(SetTestGamepadButton(TestPadRightShoulder, 0), 1);
  PumpMessages();
}

// ------------------------------------------------------------ help card

std::vector<uint8_t> ReadFrame() {
  std::vector<uint8_t> px(800 * 600 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, px.data());
  return px;
}

int DifferentPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  int n = 0;
  for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3) {
    n += (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ? 1 : 0;
  }
  return n;
}

TEST(HelpCardText, NamesTheLoadedKeysInBothLanguages) {
  const char* source = std::getenv("DROMO_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  std::ifstream in(std::string(source) + "/res/base/sig.txt", std::ios::binary);
  ASSERT_TRUE(in.good());
  gActions = {};
  LoadInputActions(in);
  const std::vector<std::string> ru = HelpCardLines(0);
  const std::vector<std::string> en = HelpCardLines(1);
  ASSERT_EQ(ru.size(), en.size());
  auto has = [](const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
      if (l.find(text) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(has(ru, "влево: стрелка влево, цифр. 4"_w));
  EXPECT_TRUE(has(ru, "поворот: стрелка вверх, цифр. 8"_w));
  EXPECT_TRUE(has(ru, "сброс: стрелка вниз, цифр. 2"_w));
  EXPECT_TRUE(has(en, "right: Right arrow, keypad 6"));
  EXPECT_TRUE(has(en, "drop: Down arrow, keypad 2"));
  EXPECT_TRUE(has(en, "both mouse buttons"));
  EXPECT_TRUE(has(en, "F2"));
  // Other bindings, other names.
  gActions[ActionLeft].key1 = 'A';
  gActions[ActionLeft].key2 = VK_F1 + 4;
  gActions[ActionLeft].key3 = 0;
  EXPECT_TRUE(has(HelpCardLines(1), "left: A, F5"));
  gActions = {};
}

TEST_F(FrameTest, F1HeldShowsTheHelpCardOverThePlayOnlyAndChangesNothing) {
  // The generated fonts, so that the card has its real size.
  ASSERT_EQ(LoadFonts(gFonts, DROMO_TEST_BUILD_DIR "/res/base"), 1);
  struct Unload {
    ~Unload() {
      ReleaseFonts(gFonts);
      gFonts = FontSet{};
    }
  } unload;
  LoadBindings();
  // The shape choice: nothing changes on the screen.
  Frame(16);
  ASSERT_EQ(gChoiceState, 1);
  Frame(16);
  const std::vector<uint8_t> choice = ReadFrame();
  gKeyTable[VK_F1] = 1;
  Frame(0);
  EXPECT_EQ(DifferentPixels(choice, ReadFrame()), 0) << "the card is for the play screen";
  gKeyTable[VK_F1] = 0;

  Play(kVariantSport);
  // The same frames from the same start, once without F1 and once with it.
  const GameState startGame = gGame;
  const Field startField = *gGame.field;
  const FrameClock startClock = gFrameClock;
  const uint32_t startNow = gNow;
  struct Seen {
    std::vector<uint8_t> picture;
    int32_t position, centre, fallTimer, spawnDelay, score;
    std::array<int32_t, kMaxFieldCells> cells;
  };
  auto play = [&](int f1) {
    gGame = startGame;
    *gGame.field = startField;
    gFrameClock = startClock;
    gNow = startNow;
    std::srand(7);
    gKeyTable[VK_F1] = f1;
    for (int i = 0; i < 30; ++i) Frame(40);
    gKeyTable[VK_F1] = 0;
    return Seen{ReadFrame(),       gGame.current.position, gGame.current.centre,
                gGame.fallTimer,   gGame.spawnDelay,       gGame.score,
                gGame.field->cells};
  };
  const Seen plain = play(0);
  const Seen card = play(1);
  EXPECT_EQ(card.position, plain.position);
  EXPECT_EQ(card.centre, plain.centre);
  EXPECT_EQ(card.fallTimer, plain.fallTimer);
  EXPECT_EQ(card.spawnDelay, plain.spawnDelay);
  EXPECT_EQ(card.score, plain.score);
  EXPECT_EQ(card.cells, plain.cells);
  EXPECT_GT(plain.position, startGame.current.position) << "the piece fell meanwhile";
  EXPECT_GT(DifferentPixels(plain.picture, card.picture), 20000) << "a card in the middle";
  const size_t corner = (100 * 800 + 10) * 3;
  EXPECT_EQ(card.picture[corner], plain.picture[corner]) << "the edges stay";
  Frame(0);
  EXPECT_EQ(DifferentPixels(plain.picture, ReadFrame()), 0) << "gone once F1 is up";
}

}  // namespace

namespace {

// The name box while a text entry runs, and only then: its two outlines and
// the caret after the text; the overlay's shade over the right half.
TEST_F(FrameTest, NameBoxAndOverlayDrawWhereTheyBelong) {
  Play(kVariantSport);
  const int base = 600 / 10;
  const int boxW = static_cast<int>(800 * 0.49f);
  Frame(16);
  const Rgb outerBefore = Pixel(26, base + 80);
  EXPECT_FALSE(Is(outerBefore, Rgb{204, 51, 77}, 8)) << "no box without a text entry";

  int32_t cell = 0;
  ASSERT_EQ(BeginTextEntryOffering(&cell, "Ab", 15), 1);
  Frame(16);
  EXPECT_TRUE(Is(Pixel(28, base + 80), Rgb{255, 0, 0})) << "the red inner outline";
  EXPECT_TRUE(Is(Pixel(26, base + 80), Rgb{204, 51, 77})) << "the outer outline";
  EXPECT_TRUE(Is(Pixel(26 + boxW - 1, base + 80), Rgb{204, 51, 77}));
  EXPECT_TRUE(Is(Pixel(28, base + 157), Rgb{255, 0, 0}));
  // The caret: 2 x 20 at the text's end, red 0.5, its other two equal.
  const int caretX = 50 + TextWidth(gFonts, 5, "Ab", 0, 2);
  const Rgb caret = Pixel(caretX, base + 70);
  EXPECT_NEAR(caret[0], 128, 2);
  EXPECT_EQ(caret[1], caret[2]);
  EXPECT_FALSE(Is(Pixel(caretX + 3, base + 70), caret, 0)) << "two pixels wide";
  cell = 2;
  std::string ignored;
  PollTextEntry(&cell, ignored, 1);
  Frame(16);
  EXPECT_FALSE(Is(Pixel(26, base + 80), Rgb{204, 51, 77}, 8)) << "gone with the entry";

  // The overlay darkens the band y 40..120 of the right half to 30 %.
  // Compared at the brightest spot of the band's top row, above the text.
  gApp.debugOverlay = 0;
  Frame(16);
  int x = 400;
  for (int i = 400; i < 800; ++i) {
    const Rgb p = Pixel(i, 115), best = Pixel(x, 115);
    if (p[0] + p[1] + p[2] > best[0] + best[1] + best[2]) x = i;
  }
  const Rgb off = Pixel(x, 115), offAbove = Pixel(x, 125);
  ASSERT_GT(off[0] + off[1] + off[2], 60) << "something to darken";
  gApp.debugOverlay = 1;
  Frame(16);
  const Rgb on = Pixel(x, 115);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(on[i], off[i] * 0.3, 3) << i << " at x " << x;
  EXPECT_TRUE(Is(Pixel(x, 125), offAbove, 2)) << "nothing above the band";
  gApp.debugOverlay = 0;
}

}  // namespace

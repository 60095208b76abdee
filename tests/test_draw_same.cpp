// The quick way of drawing a frame gives the same picture as the
// straightforward one.  Representative frames of the real game (its
// resources, its panels, its frame driver) are drawn both ways on one GL
// context and compared pixel for pixel: the shape choice, play with a
// half-full well on every shape, the settling well, the stage results with
// the records table, the options menu, the name entry.  The quick way is drawn three times
// in a row, so that the panel layer draws from its copies by the third.
//
// All of it twice, in two pixel formats.  With a depth buffer Mesa's
// software renderer draws everything its general way and both ways must
// agree to the bit.  The game's own format has none, and there the renderer
// fills a 64 x 64 tile whose draws are all screen-aligned rectangles on its
// 8-bit fast path, other tiles the general way; the two ways split the
// screen into such tiles differently, so a channel may come out up to 2
// levels apart (a quad left out or misplaced differs by far more).
#include <gtest/gtest.h>
#include <unistd.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
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
#include "gfx/draw_cache.h"
#include "gfx/resources.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "records/records.h"
#include "support/game_scene.h"
#include "support/gl_context.h"
#include "ui/field_choice.h"
#include "ui/field_render.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/name_entry.h"
#include "ui/panel_tree.h"

namespace {

constexpr int kW = 800, kH = 600;

uint32_t gNow = 100000;
uint32_t FakeTicks() {
  return gNow;
}

using Picture = std::vector<uint8_t>;

Picture ReadScreen() {
  Picture p(static_cast<size_t>(kW) * kH * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, p.data());
  return p;
}

// DROMO_PERF_SHOTS=DIR keeps both pictures of every frame (PPM) for a look.
void Keep(const Picture& p, const std::string& name) {
  const char* dir = std::getenv("DROMO_PERF_SHOTS");
  if (dir == nullptr) return;
  FILE* f = std::fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb");
  if (f == nullptr) return;
  std::fprintf(f, "P6 %d %d 255\n", kW, kH);
  for (int y = kH - 1; y >= 0; --y) std::fwrite(&p[static_cast<size_t>(y) * kW * 3], 1, kW * 3, f);
  std::fclose(f);
}

// Pixels whose channels differ by more than `tolerance` levels.
::testing::AssertionResult SamePicture(const Picture& want, const Picture& got, int tolerance) {
  int differ = 0, firstX = -1, firstY = -1, most = 0;
  for (size_t i = 0; i < want.size(); i += 3) {
    int d = 0;
    for (size_t k = i; k < i + 3; ++k) d = std::max(d, std::abs(want[k] - got[k]));
    most = std::max(most, d);
    if (d > tolerance && differ++ == 0) {
      firstX = static_cast<int>((i / 3) % kW);
      firstY = static_cast<int>((i / 3) / kW);
    }
  }
  if (differ == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << differ << " pixels differ by more than " << tolerance << " (at most " << most
         << "), the first at (" << firstX << ", " << firstY << ")";
}

struct WithDepthBuffer {
  static constexpr int kDepthBits = 16, kTolerance = 0;
  static constexpr const char* kShots = "";
};
struct GameFormat {
  static constexpr int kDepthBits = 0, kTolerance = 2;
  static constexpr const char* kShots = "game-";
};

// Not one black screen: the frames compared show something.
int LitPixels(const Picture& p) {
  int lit = 0;
  for (size_t i = 0; i < p.size(); i += 3) lit += (p[i] | p[i + 1] | p[i + 2]) != 0 ? 1 : 0;
  return lit;
}

template <class Format>
class DrawSame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") == nullptr) return;
    const char* build = std::getenv("DROMO_BUILD_DIR");
    if (build == nullptr) return;
    previous = std::filesystem::current_path();
    char pattern[] = "/tmp/dromo-same-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    work = pattern;
    std::filesystem::create_directory_symlink(std::filesystem::path(build) / "res", work / "res");
    std::filesystem::current_path(work);
    savedApp = gApp;
    gApp.windowWidth = kW;
    gApp.windowHeight = kH;
    SetTickSource(FakeTicks);
    if (!OpenGlContext(kW, kH, Format::kDepthBits)) return;
    context = true;
    ready = InitGl() == 1;
    GameStartup();
  }
  static void TearDownTestSuite() {
    if (context) {
      ReleaseFonts(gFonts);
      ReleasePanelTree();
      ReleaseStore(gTextures);
      FreePixels(gBackgroundTexture);
      DeleteTexture(gBackgroundTexture);
      DestroyGlTestContext();
    }
    context = ready = false;
    SetTickSource(nullptr);
    SetStraightDrawing(0);
    gApp = savedApp;
    if (!work.empty()) {
      std::filesystem::current_path(previous);
      std::error_code ec;
      std::filesystem::remove_all(work, ec);
    }
  }
  void SetUp() override {
    if (!ready) GTEST_SKIP() << "needs DISPLAY and the generated res/ of the build";
  }

  // The managed panels' visibility and the game, as the scene left them.
  struct Moment {
    GameState game;
    Field field;
    std::vector<int32_t> shown;
    int32_t choice = 0;
  };
  static std::vector<Panel*> Managed() {
    return {OptionsPanel,        NameEntryPanel, StageResultsPanel,
            ResultsColumnsPanel, RecordsPanel,   RecordsStripPanel,
            FieldChoicePanel,    BonusPanel,     SideInfoPanel};
  }
  static Moment Take() {
    Moment m{gGame, *gGame.field, {}, gChoiceState};
    for (Panel* p : Managed()) m.shown.push_back(p != nullptr ? p->visible : 0);
    return m;
  }
  static void Restore(const Moment& m) {
    gGame = m.game;
    *gGame.field = m.field;
    gChoiceState = m.choice;
    const std::vector<Panel*> panels = Managed();
    for (size_t i = 0; i < panels.size(); ++i) ShowPanel(panels[i], m.shown[i] != 0);
  }

  // The frame driver's frame from the same moment, every time the same.
  Picture Draw(const Moment& moment, bool straight) {
    SetStraightDrawing(straight ? 1 : 0);
    gNow = 100000;
    ClearKeyTable();
    ResetWellDrawing();
    ResetFrameClock();
    std::srand(7);
    Restore(moment);
    gNow += 16;
    if (!straight) {
      // The quick way leaves the depth buffer as it finds it.  Left at its
      // nearest, it hides whatever a draw that tested depth would add.
      glClearDepth(0.0);
      glClear(GL_DEPTH_BUFFER_BIT);
    }
    RunFrame(1);
    const Picture p = ReadScreen();
    SwapBuffers();
    SetStraightDrawing(0);
    return p;
  }

  // Both ways; `copies` says the panel layer must have drawn from its
  // copies by the third quick frame.
  void Compare(const std::string& name, const std::function<void()>& scene, bool copies) {
    SCOPED_TRACE(name);
    gNow = 100000;
    std::srand(7);
    scene();
    const Moment moment = Take();
    const Picture old = Draw(moment, true);
    EXPECT_GT(LitPixels(old), kW * kH / 10);
    Keep(old, Format::kShots + name + "-old");
    for (int round = 1; round <= 3; ++round) {
      const Picture quick = Draw(moment, false);
      EXPECT_TRUE(SamePicture(old, quick, Format::kTolerance)) << "quick frame " << round;
      if (round == 3) {
        Keep(quick, Format::kShots + name + "-new");
        if (copies) {
          EXPECT_GT(LastLayerStats().cached, 0);
        }
      }
    }
  }

  static inline bool context = false, ready = false;
  static inline std::filesystem::path previous, work;
  static inline AppState savedApp;
};

using Formats = ::testing::Types<WithDepthBuffer, GameFormat>;
TYPED_TEST_SUITE(DrawSame, Formats);

TYPED_TEST(DrawSame, PlayOnEveryShape) {
  for (int shape = 1; shape <= 6; ++shape) {
    this->Compare(
        "play-shape" + std::to_string(shape), [shape] { MiddleOfAGame(shape, false); }, true);
  }
}

TYPED_TEST(DrawSame, SettlingWell) {
  for (int shape : {kVariantSport, kVariantHurdle}) {
    this->Compare(
        "settle-shape" + std::to_string(shape), [shape] { MiddleOfAGame(shape, true); }, true);
  }
}

// While the well settles its bars grow frame by frame, also under the
// edges of the panels beside the well: those panels are drawn from their
// copies with the changed strip drawn anew.
TYPED_TEST(DrawSame, SettleBarsGrowingUnderThePanels) {
  gNow = 100000;
  std::srand(7);
  MiddleOfAGame(kVariantSport, true);
  const auto start = this->Take();
  int patched = 0;
  for (int step = 0; step < 6; ++step) {
    SCOPED_TRACE("frame " + std::to_string(step));
    auto m = start;
    m.game.settleTimer = 20 + 15 * step;
    const Picture old = this->Draw(m, true);
    const Picture quick = this->Draw(m, false);
    EXPECT_TRUE(SamePicture(old, quick, TypeParam::kTolerance));
    patched += LastLayerStats().patched;
  }
  EXPECT_GT(patched, 0) << "no copy was patched; the test no longer shows what it is for";
}

TYPED_TEST(DrawSame, ShapeChoice) {
  this->Compare(
      "choice",
      [] {
        MiddleOfAGame(kVariantSport, false);
        gChoiceState = 0;
        gSelectedShape = 3;
      },
      false);
}

TYPED_TEST(DrawSame, StageResultsWithTheRecords) {
  this->Compare(
      "results",
      [] {
        MiddleOfAGame(kVariantJug, false);
        gGame.stageEndStarted = 1;
        gGame.closeLock = 0;
        ShowPanel(StageResultsPanel, true);
        ApplyVisibilityRules();
      },
      false);
}

TYPED_TEST(DrawSame, OptionsMenuOverPlay) {
  this->Compare(
      "options",
      [] {
        MiddleOfAGame(kVariantWaist, false);
        ShowPanel(OptionsPanel, true);
        ApplyVisibilityRules();
      },
      false);
}

TYPED_TEST(DrawSame, NameEntryAfterAGoodGame) {
  this->Compare(
      "name-entry",
      [] {
        MiddleOfAGame(kVariantEasy, false);
        gGame.score = 2000;
        ShowPanel(NameEntryPanel, true);
        ApplyVisibilityRules();
      },
      false);
}

// A picture that would be the one on the screen is not drawn again, and a
// frame left out never leaves the screen behind: after every frame that did
// not draw, the same moment drawn in full is what the screen still shows.
TYPED_TEST(DrawSame, AStillPictureIsNotDrawnAgainAndNeverMissed) {
  gNow = 100000;
  std::srand(7);
  ClearKeyTable();
  ResetWellDrawing();
  ResetFrameClock();
  SetMouseInWindowOverride(1, 5, 5);
  MiddleOfAGame(kVariantSport, false);
  gChoiceState = 0;
  gSelectedShape = 3;
  SetStillFrameSkipping(1);
  Picture screen;
  int skipped = 0;
  // One frame of the main loop: what it presents becomes the screen.
  auto frame = [&](uint32_t ms, int focused = 1) {
    gNow += ms;
    const bool drew = RunFrame(focused) != 0;
    if (drew) {
      screen = ReadScreen();
      return true;
    }
    ++skipped;
    DrawCurrentPicture(focused);
    EXPECT_TRUE(SamePicture(screen, ReadScreen(), TypeParam::kTolerance))
        << "a frame left out left another picture on the screen";
    return false;
  };
  auto drawnOver = [&](int frames, int focused = 1) {
    const int before = FramesDrawn();
    for (int i = 0; i < frames; ++i) frame(10, focused);
    return FramesDrawn() - before;
  };

  // Two seconds of the untouched shape choice.
  EXPECT_TRUE(frame(10)) << "the choice opens";
  EXPECT_LE(drawnOver(200), 3);

  // A key that moves the highlight is seen at once; then the choice is still.
  KeyTablePress(VK_LEFT);
  EXPECT_TRUE(frame(10)) << "the highlight moved";
  KeyTableRelease(VK_LEFT);
  EXPECT_EQ(gSelectedShape, 2);
  EXPECT_LE(drawnOver(100), 3);

  // Uncovered or shown again, the window gets its picture back.
  WindowProc(WM_PAINT, 0, 0);
  EXPECT_TRUE(frame(10)) << "the first frame after an expose";
  EXPECT_FALSE(frame(10));

  // Losing the focus shows the pause picture, once; getting it back, the choice.
  EXPECT_TRUE(frame(10, 0));
  EXPECT_LE(drawnOver(50, 0), 1);
  EXPECT_TRUE(frame(10, 1));

  // The name entry's caret blinks: its frames are drawn while it changes.
  MiddleOfAGame(kVariantEasy, false);
  gGame.score = 2000;
  gGame.endState = 5;
  gGame.nameInput = 0;
  gGame.paused = 1;
  ShowPanel(StageResultsPanel, true);
  EXPECT_TRUE(frame(10));
  ASSERT_TRUE(TextEntryEditing());
  const int blinking = drawnOver(100);
  EXPECT_GT(blinking, 2) << "the caret's pulse changes the picture";
  TextEntryChar('Q');
  EXPECT_TRUE(frame(10)) << "a typed letter is seen at once";
  TextEntryChar(27);
  frame(10);

  // Play keeps changing: nothing of it is left out wrongly either.
  MiddleOfAGame(kVariantHurdle, false);
  drawnOver(60);

  EXPECT_GT(skipped, 250) << "frames were left out";
  SetStillFrameSkipping(0);
  SetMouseInWindowOverride(0, 0, 0);
  HideScreens();
}

}  // namespace

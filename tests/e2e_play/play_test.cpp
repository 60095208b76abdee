// A whole game on the real binary, as a player plays it: the intro, the
// shape choice, the records file of the chosen shape, a piece moved, turned
// and dropped, drops until the game is over, the results, and back to the
// shape choice.  Keys go through XTEST to the focused game window; the
// assertions read the files and the screen (where cells must or must not
// be), never exact pixels of the generated pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "e2e/game_run.h"
#include "e2e/x_screen.h"
// After Xlib (x_screen.h).
#include <X11/extensions/XTest.h>

#include "e2e_play/game_screen.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

namespace {

constexpr const char* kTitle = "st-DROMO";
using game_screen::kH;
using game_screen::kW;
using game_screen::Rect;
using game_screen::Shot;
using game_screen::SleepMs;
using Clock = std::chrono::steady_clock;

// ------------------------------------------------------------ the screen

// Every pixel of a rectangle (clipped to the window).
void ForEach(const Rect& r, const std::function<void(unsigned)>& f, const Shot& s, int step = 1) {
  for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, kH); y += step) {
    for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, kW); x += step) f(s.At(x, y));
  }
}

double MeanLuma(const Shot& s, const Rect& r) {
  double sum = 0;
  int n = 0;
  ForEach(
      r, [&](unsigned p) { sum += Shot::Luma(p), ++n; }, s);
  return n > 0 ? sum / n : 0;
}

double LumaSpread(const Shot& s, const Rect& r) {
  const double mean = MeanLuma(s, r);
  double sum = 0;
  int n = 0;
  ForEach(
      r, [&](unsigned p) { sum += (Shot::Luma(p) - mean) * (Shot::Luma(p) - mean), ++n; }, s);
  return n > 0 ? std::sqrt(sum / n) : 0;
}

// Share of the pixels of a rectangle for which `test` holds.
double Share(const Shot& s, const Rect& r, const std::function<bool(unsigned)>& test) {
  int yes = 0, n = 0;
  ForEach(
      r, [&](unsigned p) { yes += test(p) ? 1 : 0, ++n; }, s, 2);
  return n > 0 ? static_cast<double>(yes) / n : 0;
}

bool Black(unsigned p) {
  return Shot::R(p) + Shot::G(p) + Shot::B(p) < 12;
}

// ------------------------------------------------------------ the layout

// Where things are: the game's own layout and well placement for the
// default window, computed by the game code itself.
struct Layout {
  std::vector<Rect> shapeCells;  // the six cells of the shape choice
  int cellW = 0, cellH = 0, wellX = 0, wellY = 0, rows = 0;
  int firstColumn = 0, lastColumn = 0;  // the playing columns of "спорт" stage 1

  void Compute() {
    gApp.windowWidth = kW;
    gApp.windowHeight = kH;
    SetRootPanel(kW, kH);
    BuildPanelLayout();
    Panel* row = FieldChoicePanel->children.at(1);
    for (Panel* c : row->children) shapeCells.push_back(Rect{c->x, c->y, c->w, c->h});
    ReleasePanelTree();
    const Field* f = SelectVariant(kVariantSport);
    cellW = gGame.cellW;
    cellH = gGame.cellH;
    wellX = gGame.wellX;
    wellY = gGame.wellY;
    rows = f->height - 1;  // without the bottom wall
    firstColumn = 3;
    lastColumn = f->width - 4;
  }
  // The middle half of a cell of the well.
  Rect CellCore(int row, int column) const {
    const int x = wellX + column * cellW, y = wellY + (rows - row) * cellH;
    return Rect{x + cellW / 4, y + cellH / 4, cellW / 2, cellH / 2};
  }
};

// A cell holds a gem when its middle is not one flat colour: the empty well
// is drawn in flat colours, the gems are shaded pictures.
bool Occupied(const Shot& s, const Layout& l, int row, int column) {
  return LumaSpread(s, l.CellCore(row, column)) > 8.0;
}

// Whether a gem of some colour (not grey, not the flat background) fills the
// middle of a cell.
bool Coloured(const Shot& s, const Layout& l, int row, int column) {
  const Rect r = l.CellCore(row, column);
  return Share(s, r, [](unsigned p) {
           const int hi = std::max({Shot::R(p), Shot::G(p), Shot::B(p)});
           const int lo = std::min({Shot::R(p), Shot::G(p), Shot::B(p)});
           return hi - lo > 60;
         }) > 0.5;
}

struct PieceView {
  int cells = 0;
  double column = 0, row = 0;  // centroid
  int columns = 0;             // distinct columns
  int lowestRow = -1;
};

PieceView LookAtRows(const Shot& s, const Layout& l, int fromRow, int toRow) {
  PieceView v;
  std::vector<bool> used(32, false);
  for (int r = fromRow; r <= toRow; ++r) {
    for (int c = l.firstColumn; c <= l.lastColumn; ++c) {
      if (!Occupied(s, l, r, c)) continue;
      ++v.cells;
      v.column += c;
      v.row += r;
      used[static_cast<size_t>(c)] = true;
      v.lowestRow = std::max(v.lowestRow, r);
    }
  }
  if (v.cells > 0) {
    v.column /= v.cells;
    v.row /= v.cells;
  }
  v.columns = static_cast<int>(std::count(used.begin(), used.end(), true));
  return v;
}

// ------------------------------------------------------------ the test

class PlayEndToEnd : public ::testing::Test {
 protected:
  GameRun run;
  XScreen x;
  Layout layout;
  WindowInfo window;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (DISPLAY)";
    ASSERT_TRUE(x.ok()) << "cannot open the X display";
    ASSERT_TRUE(run.CopyResources()) << "no generated resources in " << BuildDir() << "/res";
    ASSERT_TRUE(FindWindows(x, kTitle).empty()) << "another game window is on the screen";
    layout.Compute();
  }

  Shot Take() {
    Shot s;
    s.pic = Grab(x, window.x, window.y, kW, kH);
    return s;
  }

  // Polls the screen until `done` holds; false on timeout or when the game
  // is gone.
  bool WaitFor(int timeoutMs, const std::function<bool(const Shot&)>& done) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Shot last;
    while (Clock::now() < deadline) {
      if (!run.Running()) return false;
      last = Take();
      if (last.pic.rgb.size() == static_cast<size_t>(kW) * kH && done(last)) return true;
      SleepMs(40);
    }
    DumpShot(last);
    return false;
  }

  // A key held long enough for a frame to see it (a slow sanitised build
  // included), short of the 170 ms after which a held move repeats.
  void Press(const char* keysym, int holdMs = 120) {
    ASSERT_TRUE(game_screen::HoldKey(x, window.id, keysym, holdMs)) << keysym;
  }

  // The intro alone on the screen: nothing at the right where every other
  // screen has its records panel, and its title picture in the middle.
  bool IntroShowing(const Shot& s) const {
    return Share(s, Rect{730, 100, 60, 400}, Black) > 0.99 &&
           Share(s, Rect{220, 100, 470, 460}, [](unsigned p) { return !Black(p); }) > 0.5;
  }

  // The shape choice with `shape` highlighted: its cell's outline is lit,
  // the outlines of the other cells are not.
  bool ChoiceShowing(const Shot& s, int shape) const {
    if (IntroShowing(s)) return false;
    double selected = 0, others = 0;
    for (int k = 1; k <= 6; ++k) {
      const Rect& c = layout.shapeCells[static_cast<size_t>(k - 1)];
      const double edge = MeanLuma(s, Rect{c.x, c.y + 6, 3, c.h - 12});
      if (k == shape) {
        selected = edge;
      } else {
        others = std::max(others, edge);
      }
    }
    return selected > others + 40;
  }

  // The results: the wide records list shows beside them, and its bevelled
  // border lights a strip that is dark on every other screen.
  bool ResultsShowing(const Shot& s) const {
    return !IntroShowing(s) && Share(s, Rect{570, 40, 6, 120}, [](unsigned p) {
                                 const int r = Shot::R(p), g = Shot::G(p), b = Shot::B(p);
                                 return std::abs(r - g) < 6 && std::abs(g - b) < 6 && g > 90;
                               }) > 0.9;
  }

  // The name entry of a game that made the table: its red box fills the
  // lower left (the records table then covers the results' right edge).
  bool NameAsked(const Shot& s) const {
    return Share(s, Rect{60, 400, 320, 120}, [](unsigned p) {
             return Shot::R(p) > 120 && Shot::G(p) < 90 && Shot::B(p) < 90;
           }) > 0.6;
  }

  // With DROMO_E2E_DUMP set, a wait that fails leaves the last screen it saw
  // there (a binary PPM).
  static void DumpShot(const Shot& s) {
    const char* path = std::getenv("DROMO_E2E_DUMP");
    if (path == nullptr || s.pic.rgb.size() != static_cast<size_t>(kW) * kH) return;
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6 %d %d 255\n", kW, kH);
    for (unsigned p : s.pic.rgb) {
      const unsigned char c[3] = {static_cast<unsigned char>(p >> 16),
                                  static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
      std::fwrite(c, 1, 3, f);
    }
    std::fclose(f);
  }

  // The piece in the upper part of the well (the stack is still low).
  PieceView UpperPiece(const Shot& s) const { return LookAtRows(s, layout, 0, 8); }
};

TEST_F(PlayEndToEnd, AWholeGameFromShapeChoiceToGameOverAndBack) {
  ASSERT_TRUE(run.Start());
  window = WaitForWindow(x, kTitle, run.pid, 20000);
  ASSERT_NE(window.id, 0u) << "no window; stderr: " << run.Stderr();
  ASSERT_EQ(window.width, kW);
  ASSERT_EQ(window.height, kH);

  // ---- the intro, then the shape choice on "спорт"
  ASSERT_TRUE(WaitFor(10000, [&](const Shot& s) { return IntroShowing(s); }))
      << "no intro; stderr: " << run.Stderr();
  const auto introSeen = Clock::now();
  ASSERT_TRUE(WaitFor(15000, [&](const Shot& s) { return ChoiceShowing(s, 2); }))
      << "no shape choice after the intro";
  const auto introMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - introSeen).count();
  EXPECT_GE(introMs, 2000) << "the intro lasts three seconds";
  EXPECT_FALSE(ResultsShowing(Take()));
  EXPECT_FALSE(std::filesystem::exists(run.RunPath(RecordsFileNameFor(kVariantSport))))
      << "no records file before a shape is chosen";

  // ---- left and right move the highlight
  Press("Left");
  ASSERT_TRUE(WaitFor(3000, [&](const Shot& s) { return ChoiceShowing(s, 1); })) << "Left";
  Press("Right");
  ASSERT_TRUE(WaitFor(3000, [&](const Shot& s) { return ChoiceShowing(s, 2); })) << "Right";

  // ---- up confirms: the records file of "спорт" with the default table
  Press("Up");
  const std::string records = run.RunPath(RecordsFileNameFor(kVariantSport));
  EXPECT_EQ(RecordsFileNameFor(kVariantSport), "dromov2-0402");
  for (int i = 0; i < 100 && !(std::filesystem::exists(records) &&
                               std::filesystem::file_size(records) == kRecordsFileSize);
       ++i) {
    SleepMs(50);
  }
  ASSERT_TRUE(std::filesystem::exists(records)) << "no records file; stderr: " << run.Stderr();
  ASSERT_EQ(std::filesystem::file_size(records), kRecordsFileSize);
  {
    std::ifstream in(records, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    RecordTable table{};
    ASSERT_EQ(DecodeRecords(bytes.data(), static_cast<uint32_t>(bytes.size()), table), kRecordsOk);
    for (int p = 0; p < 20; ++p) {
      EXPECT_STREQ(table[static_cast<size_t>(p)].name, "---         ") << p;
      EXPECT_EQ(table[static_cast<size_t>(p)].score, 940 - 10 * p) << p;
      EXPECT_EQ(table[static_cast<size_t>(p)].timeMs, 1680000) << p;
    }
  }
  for (int shape : {1, 3, 4, 5, 6}) {
    EXPECT_FALSE(std::filesystem::exists(run.RunPath(RecordsFileNameFor(shape)))) << shape;
  }

  // ---- a piece: three cells side by side at the top, then falling
  PieceView first;
  ASSERT_TRUE(WaitFor(5000,
                      [&](const Shot& s) {
                        first = UpperPiece(s);
                        return first.cells >= 3 && first.columns == 3;
                      }))
      << "no piece at the top (cells " << first.cells << ")";
  EXPECT_NEAR(first.column, 6.0, 0.01) << "it enters in the middle of the well";
  ASSERT_TRUE(WaitFor(4000, [&](const Shot& s) {
    const PieceView v = UpperPiece(s);
    return v.columns == 3 && v.row > first.row + 0.4;
  })) << "the piece does not fall";

  // ---- left, right: one column each way
  const double home = first.column;
  Press("Left");
  ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) {
    const PieceView v = UpperPiece(s);
    return v.columns == 3 && std::fabs(v.column - (home - 1)) < 0.01;
  })) << "Left does not move the piece";
  Press("Right");
  ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) {
    const PieceView v = UpperPiece(s);
    return v.columns == 3 && std::fabs(v.column - home) < 0.01;
  })) << "Right does not move the piece back";

  // ---- up turns it upright, down drops it to the floor
  Press("Up");
  ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) {
    const PieceView v = UpperPiece(s);
    return v.columns == 1 && v.cells >= 3;
  })) << "Up does not turn the piece";
  Press("Down");
  const int column = static_cast<int>(std::lround(home));
  const int floor = layout.rows - 1;
  ASSERT_TRUE(WaitFor(4000, [&](const Shot& s) {
    return Coloured(s, layout, floor, column) && Coloured(s, layout, floor - 1, column) &&
           Coloured(s, layout, floor - 2, column);
  })) << "Down does not drop the piece to the floor";
  {
    const Shot s = Take();
    EXPECT_FALSE(IntroShowing(s));
    EXPECT_FALSE(ResultsShowing(s));
    for (int c = layout.firstColumn; c <= layout.lastColumn; ++c) {
      if (c == column) continue;
      EXPECT_FALSE(Occupied(s, layout, floor, c)) << "floor column " << c;
    }
  }

  // ---- drops until the well is full: the intro comes back at game over
  bool over = false;
  const auto playDeadline = Clock::now() + std::chrono::seconds(75);
  while (!over && Clock::now() < playDeadline) {
    ASSERT_TRUE(run.Running()) << "the game died; stderr: " << run.Stderr();
    Press("Down", 80);
    SleepMs(350);
    over = IntroShowing(Take());
  }
  ASSERT_TRUE(over) << "no game over after 75 s of drops";

  // ---- the results, then Space returns to the shape choice
  // A game good enough for the default table asks for a name first; Return
  // takes the one offered.
  bool named = false;
  ASSERT_TRUE(WaitFor(15000, [&](const Shot& s) {
    named = NameAsked(s);
    return named || ResultsShowing(s);
  })) << "no results after the game over";
  if (named) {
    Press("Return");
    ASSERT_TRUE(WaitFor(3000, [&](const Shot& s) { return !NameAsked(s); }))
        << "Return does not end the name entry";
  }
  bool back = false;
  for (int i = 0; i < 12 && !back; ++i) {
    Press("space");
    back = WaitFor(700, [&](const Shot& s) { return ChoiceShowing(s, 2); });
  }
  EXPECT_TRUE(back) << "Space did not lead back to the shape choice";
  EXPECT_TRUE(run.Running()) << "stderr: " << run.Stderr();
}

// Quick taps, as a fast player or a tool makes them, each a press and a
// release that can both arrive between two frames: every one moves the
// highlight.  Thirteen to the right from "спорт" wrap round to shape 3.
class QuickTapsEndToEnd : public PlayEndToEnd {
 protected:
  void ToTheShapeChoice() {
    ASSERT_TRUE(run.Start());
    window = WaitForWindow(x, kTitle, run.pid, 20000);
    ASSERT_NE(window.id, 0u) << "no window; stderr: " << run.Stderr();
    ASSERT_TRUE(WaitFor(20000, [&](const Shot& s) { return ChoiceShowing(s, 2); }))
        << "no shape choice after the intro";
  }
  void ChooseAndExpectRecordsOf(int shape) {
    Press("Up");
    const std::string records = run.RunPath(RecordsFileNameFor(shape));
    for (int i = 0; i < 100 && !std::filesystem::exists(records); ++i) SleepMs(50);
    EXPECT_TRUE(std::filesystem::exists(records)) << RecordsFileNameFor(shape);
    for (int other = 1; other <= 6; ++other) {
      if (other == shape) continue;
      EXPECT_FALSE(std::filesystem::exists(run.RunPath(RecordsFileNameFor(other)))) << other;
    }
  }
};

TEST_F(QuickTapsEndToEnd, ThirteenTwelveMillisecondTapsOfRightChooseShape3) {
  ToTheShapeChoice();
  for (int tap = 1; tap <= 13; ++tap) {
    Press("Right", 12);
    SleepMs(110);
  }
  ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) { return ChoiceShowing(s, 3); }))
      << "a tap was lost or doubled";
  ChooseAndExpectRecordsOf(3);
  EXPECT_EQ(RecordsFileNameFor(3), "dromov2-0603");
}

TEST_F(QuickTapsEndToEnd, TapsAsFastAsTheMachineSendsThemEachMoveOnce) {
  ToTheShapeChoice();
  const KeyCode left = XKeysymToKeycode(x.display, XStringToKeysym("Left"));
  ASSERT_NE(left, 0);
  int expected = 2;
  for (int tap = 1; tap <= 7; ++tap) {
    // Press and release in one request: no time at all between them.
    XSetInputFocus(x.display, window.id, RevertToParent, CurrentTime);
    XTestFakeKeyEvent(x.display, left, True, CurrentTime);
    XTestFakeKeyEvent(x.display, left, False, CurrentTime);
    XFlush(x.display);
    expected = expected == 1 ? 6 : expected - 1;
    ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) { return ChoiceShowing(s, expected); }))
        << "tap " << tap << " did not move the highlight to " << expected;
    SleepMs(60);  // past the move's 45 ms lockout
  }
  ChooseAndExpectRecordsOf(1);
}

}  // namespace

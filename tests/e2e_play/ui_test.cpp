// The interface screens on the real binary, as a player uses them: the
// options menu opened and closed with both mouse buttons and each of its
// lines pressed, the records name entered on the letter grid with the
// arrows, the rotate key and the wheel, and the F2 overlay.  Keys and
// buttons go through XTEST; the assertions read the screen (which line or
// cell is highlighted, whether a region changed) and the files the game
// writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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

#include "base/text.h"
#include "e2e_play/game_screen.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "ui/layout.h"
#include "ui/name_entry.h"
#include "ui/options_menu.h"
#include "ui/panel_tree.h"

namespace {

constexpr const char* kTitle = "st-DROMO";
using game_screen::kH;
using game_screen::kW;
using game_screen::Rect;
using game_screen::Shot;
using game_screen::SleepMs;
using Clock = std::chrono::steady_clock;

// Where the game puts its menu lines and letter cells, from its own layout.
struct UiLayout {
  std::vector<Rect> lines;  // options lines 1..9
  std::vector<Rect> cells;  // name cells 1..33
  std::vector<Rect> shapes;

  static void Collect(const Panel* p, PanelCallback draw, std::vector<Rect>& out, int count) {
    if (p->draw == draw && p->tag >= 1 && p->tag <= count) {
      out[static_cast<size_t>(p->tag - 1)] = Rect{p->x, p->y, p->w, p->h};
    }
    for (const Panel* c : p->children) Collect(c, draw, out, count);
  }
  void Compute() {
    gApp.windowWidth = kW;
    gApp.windowHeight = kH;
    SetRootPanel(kW, kH);
    BuildPanelLayout();
    lines.assign(9, Rect{});
    cells.assign(kNameCells, Rect{});
    Collect(OptionsPanel, DrawOptionLine, lines, 9);
    Collect(NameEntryPanel, DrawNameCell, cells, kNameCells);
    for (Panel* c : FieldChoicePanel->children.at(1)->children) {
      shapes.push_back(Rect{c->x, c->y, c->w, c->h});
    }
    ReleasePanelTree();
  }
};

// The item among `rects` whose left edge stands out the most by `score`
// (the highlight's outline); 0 when none stands out.
int Highlighted(const Shot& s, const std::vector<Rect>& rects,
                const std::function<double(int, int, int)>& score, double margin) {
  double best = -1e9, second = -1e9;
  int which = 0;
  for (size_t i = 0; i < rects.size(); ++i) {
    const Rect& r = rects[i];
    const double v = s.Mean(Rect{r.x, r.y + 3, 2, r.h - 6}, score);
    if (v > best) {
      second = best;
      best = v;
      which = static_cast<int>(i) + 1;
    } else if (v > second) {
      second = v;
    }
  }
  return best > second + margin ? which : 0;
}

class UiEndToEnd : public ::testing::Test {
 protected:
  GameRun run;
  XScreen x;
  UiLayout layout;
  WindowInfo window;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (DISPLAY)";
    ASSERT_TRUE(x.ok()) << "cannot open the X display";
    ASSERT_TRUE(run.CopyResources()) << "no generated resources in " << BuildDir() << "/res";
    ASSERT_TRUE(FindWindows(x, kTitle).empty()) << "another game window is on the screen";
    layout.Compute();
  }
  void TearDown() override {
    if (x.ok()) {
      // Never leave a button or key of ours down for the next test.
      XTestFakeButtonEvent(x.display, 1, False, CurrentTime);
      XTestFakeButtonEvent(x.display, 3, False, CurrentTime);
      XFlush(x.display);
    }
  }

  Shot Take() {
    Shot s;
    s.pic = Grab(x, window.x, window.y, kW, kH);
    return s;
  }
  bool WaitFor(int timeoutMs, const std::function<bool(const Shot&)>& done,
               const char* dumpName = "failed") {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Shot last;
    while (Clock::now() < deadline) {
      if (!run.Running()) return false;
      last = Take();
      if (last.Whole() && done(last)) return true;
      SleepMs(40);
    }
    Dump(last, dumpName);
    return false;
  }
  // With DROMO_E2E_SHOTS naming a folder, screens are kept there as PPM.
  static void Dump(const Shot& s, const std::string& name) {
    const char* dir = std::getenv("DROMO_E2E_SHOTS");
    if (dir == nullptr || !s.Whole()) return;
    FILE* f = std::fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb");
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

  void Focus() {
    XSetInputFocus(x.display, window.id, RevertToParent, CurrentTime);
    XTestFakeMotionEvent(x.display, -1, window.x + kW / 2, window.y + kH / 2, CurrentTime);
    XFlush(x.display);
  }
  // A key held long enough for a frame to see it, short of a held repeat.
  void Press(const char* keysym, int holdMs = 120) {
    Focus();
    ASSERT_TRUE(game_screen::HoldKey(x, window.id, keysym, holdMs)) << keysym;
  }
  // The rotate key, held for a quarter second: a slow sanitised frame still
  // sees it, and the menu's and the grid's 400 ms cooldowns keep it to one
  // action.
  void Rotate() { Press("Up", 250); }
  // Both buttons down together (the pause chord), held, then released.
  // A press that a slow frame (a sanitised build on a busy machine) missed
  // changes nothing, and the player presses again.
  bool Until(const std::function<void()>& press, const std::function<bool(const Shot&)>& done,
             const char* dumpName = "failed") {
    for (int tries = 0; tries < 3; ++tries) {
      press();
      if (WaitFor(1500, done, dumpName)) return true;
    }
    return false;
  }
  void Chord(int holdMs = 400) {
    Focus();
    XTestFakeButtonEvent(x.display, 1, True, CurrentTime);
    XTestFakeButtonEvent(x.display, 3, True, CurrentTime);
    XFlush(x.display);
    SleepMs(holdMs);
    XTestFakeButtonEvent(x.display, 3, False, CurrentTime);
    XTestFakeButtonEvent(x.display, 1, False, CurrentTime);
    XFlush(x.display);
  }
  // One wheel turn of two notches (button 4 up, 5 down); the game judges a
  // turn 400 ms after it starts.
  void Wheel(bool down) {
    Focus();
    const unsigned button = down ? 5 : 4;
    for (int i = 0; i < 2; ++i) {
      XTestFakeButtonEvent(x.display, button, True, CurrentTime);
      XTestFakeButtonEvent(x.display, button, False, CurrentTime);
      XFlush(x.display);
      SleepMs(30);
    }
    SleepMs(700);
  }

  int MenuLine(const Shot& s) const {
    // The selected line's outline: a light warm grey over the dark fill.
    return Highlighted(
        s, layout.lines, [](int R, int G, int B) { return (2 * R + 5 * G + B) / 8.0; }, 40);
  }
  int GridCell(const Shot& s) const {
    // The cursor cell's outline is yellow.
    return Highlighted(
        s, layout.cells, [](int R, int G, int B) { return R + G - 2.0 * B; }, 60);
  }
  int ChoiceCell(const Shot& s) const {
    return Highlighted(
        s, layout.shapes, [](int R, int G, int B) { return (2 * R + 5 * G + B) / 8.0; }, 40);
  }

  static bool IntroShowing(const Shot& s) {
    return s.Luma(Rect{730, 100, 60, 400}) < 2 && s.Luma(Rect{220, 100, 470, 460}) > 10;
  }

  void StartAndReachTheChoice() {
    ASSERT_TRUE(run.Start());
    window = WaitForWindow(x, kTitle, run.pid, 20000);
    ASSERT_NE(window.id, 0u) << "no window; stderr: " << run.Stderr();
    // The intro first (the right side black, its title in the middle), then
    // the shape choice on "спорт".
    ASSERT_TRUE(WaitFor(10000, IntroShowing, "intro")) << "no intro; stderr: " << run.Stderr();
    ASSERT_TRUE(WaitFor(
        20000,
        [&](const Shot& s) {
          return s.Luma(Rect{730, 100, 60, 400}) > 20 && ChoiceCell(s) == 2;
        },
        "choice"))
        << "no shape choice; stderr: " << run.Stderr();
  }

  void WriteTable(const std::string& file, const RecordTable& table) {
    RecordsFileBytes bytes{};
    EncodeRecords(table, bytes);
    run.WriteFile(file, std::string(bytes.begin(), bytes.end()));
  }
  static RecordTable TableOf(int score, const char* name) {
    RecordTable t{};
    for (RecordEntry& e : t) {
      std::snprintf(e.name, sizeof e.name, "%-12s", name);
      e.score = score;
      e.timeMs = 1000;
      e.day = 1;
      e.month = 1;
      e.year = 2020;
      for (int k = 0; k < 8; ++k) e.chainCounts[static_cast<size_t>(k)] = k + 1;
      for (int k = 0; k < 8; ++k) e.sizeCounts[static_cast<size_t>(k)] = k + 1;
    }
    return t;
  }
  std::vector<uint8_t> Bytes(const std::string& relative) {
    std::ifstream in(run.RunPath(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST_F(UiEndToEnd, TheMenuOpensClosesAndEachLineActs) {
  const std::string records = RecordsFileNameFor(kVariantSport);
  WriteTable(records, TableOf(5000, "Old"));
  const std::vector<uint8_t> oldTable = Bytes(records);
  ASSERT_EQ(oldTable.size(), kRecordsFileSize);
  StartAndReachTheChoice();

  // ---- the chord opens the menu on its first line; the choice waits
  const Shot before = Take();
  ASSERT_TRUE(Until([&] { Chord(); }, [&](const Shot& s) { return MenuLine(s) == 1; }, "menu-open"))
      << "both buttons do not open the menu; stderr: " << run.Stderr();
  Dump(Take(), "menu");

  // ---- keys move the highlight, never the game
  auto line = [&](int want) { return [&, want](const Shot& s) { return MenuLine(s) == want; }; };
  ASSERT_TRUE(Until([&] { Press("Right", 150); }, line(9))) << "1 -> 9";
  ASSERT_TRUE(Until([&] { Press("Left", 150); }, line(1))) << "9 -> 1";
  ASSERT_TRUE(Until([&] { Press("Down", 150); }, line(2))) << "1 -> 2";
  ASSERT_TRUE(Until([&] { Wheel(false); }, line(1))) << "wheel up";

  // ---- the chord closes it again: the shape choice is where it was
  SleepMs(1000);
  ASSERT_TRUE(Until([&] { Chord(); },
                    [&](const Shot& s) { return MenuLine(s) == 0 && ChoiceCell(s) == 2; },
                    "menu-closed"))
      << "the chord does not close the menu, or keys in the menu moved the choice";
  EXPECT_LT(Take().Changed(before, layout.lines[0]), 0.05) << "the screen is back as it was";

  // ---- choose "спорт": its table is the one the menu resets
  Rotate();
  SleepMs(1500);
  ASSERT_TRUE(run.Running());
  ASSERT_TRUE(Until([&] { Chord(); }, line(1))) << "reopen";
  SleepMs(500);

  // ---- lines 3, 4 and 6 toggle: their text changes, and back
  auto goTo = [&](int line) {
    for (int guard = 0; guard < 20 && MenuLine(Take()) != line; ++guard) {
      Press("Down", 150);
      SleepMs(250);
    }
    ASSERT_EQ(MenuLine(Take()), line);
  };
  for (int line : {3, 4, 6}) {
    SCOPED_TRACE(line);
    goTo(line);
    const Rect& r = layout.lines[static_cast<size_t>(line - 1)];
    const Rect text{r.x + r.h, r.y + 3, r.w - r.h - 4, r.h - 6};
    const Shot a = Take();
    ASSERT_TRUE(Until([&] { Rotate(); }, [&](const Shot& s) { return s.Changed(a, text) > 0.002; }))
        << "the line's text does not change";
    SleepMs(450);
    ASSERT_TRUE(Until([&] { Rotate(); }, [&](const Shot& s) { return s.Changed(a, text) < 0.001; }))
        << "the second press does not toggle back";
    SleepMs(450);
  }

  // ---- line 5: the first press arms, the second resets the table
  auto lineText = [&](int line) {
    const Rect& r = layout.lines[static_cast<size_t>(line - 1)];
    return Rect{r.x + r.h, r.y + 3, r.w - r.h - 4, r.h - 6};
  };
  goTo(5);
  {
    const Shot a = Take();
    ASSERT_TRUE(
        Until([&] { Rotate(); }, [&](const Shot& s) { return s.Changed(a, lineText(5)) > 0.002; }))
        << "the count does not go down";
  }
  EXPECT_EQ(Bytes(records), oldTable) << "one press resets nothing";
  EXPECT_FALSE(std::filesystem::exists(run.RunPath(records + "_bak")));
  SleepMs(300);
  Rotate();
  const std::string backup = records + "_bak";
  for (int i = 0; i < 60 && !std::filesystem::exists(run.RunPath(backup)); ++i) SleepMs(50);
  SleepMs(200);
  EXPECT_EQ(Bytes(backup), oldTable) << "the old table is kept as the backup";
  {
    const std::vector<uint8_t> now = Bytes(records);
    RecordTable table{};
    ASSERT_EQ(DecodeRecords(now.data(), static_cast<uint32_t>(now.size()), table), kRecordsOk);
    for (int p = 0; p < 20; ++p) {
      EXPECT_STREQ(table[static_cast<size_t>(p)].name, "---         ") << p;
      EXPECT_EQ(table[static_cast<size_t>(p)].score, 940 - 10 * p) << p;
    }
  }

  // ---- line 8: the second press at least 400 ms after the first quits
  goTo(8);
  {
    const Shot a = Take();
    ASSERT_TRUE(
        Until([&] { Rotate(); }, [&](const Shot& s) { return s.Changed(a, lineText(8)) > 0.002; }))
        << "the count does not go down";
  }
  SleepMs(600);
  ASSERT_TRUE(run.Running()) << "one press does not quit";
  for (int tries = 0; tries < 3 && run.Running(); ++tries) {
    Rotate();
    for (int i = 0; i < 30 && run.Running(); ++i) SleepMs(50);
  }
  ASSERT_TRUE(run.WaitForExit(5000)) << "no exit after the second press";
  EXPECT_EQ(run.exitCode, 0) << "stderr: " << run.Stderr();
  EXPECT_EQ(run.exitSignal, 0);
  EXPECT_EQ(Bytes(backup), oldTable) << "quitting leaves the files as they were";
}

TEST_F(UiEndToEnd, F2ShowsAndHidesTheOverlay) {
  StartAndReachTheChoice();
  const Rect band{kW / 2 + 2, 42, kW / 2 - 4, 76};
  // Red, blue and yellow text lines on the dark shade.
  auto lit = [&](const Shot& s, int y, const std::function<bool(int, int, int)>& colour) {
    int n = 0;
    for (int yy = y; yy < y + 14; ++yy) {
      for (int xx = kW / 2; xx < kW / 2 + 300; ++xx) {
        const unsigned p = s.At(xx, yy);
        n += colour(static_cast<int>(p >> 16), static_cast<int>((p >> 8) & 0xFF),
                    static_cast<int>(p & 0xFF))
                 ? 1
                 : 0;
      }
    }
    return n;
  };
  auto overlay = [&](const Shot& s) {
    return lit(s, 50, [](int r, int g, int b) { return r > 150 && g < 60 && b < 60; }) > 30 &&
           lit(s, 70, [](int r, int g, int b) { return b > 150 && r < 60 && g < 140; }) > 30 &&
           lit(s, 90, [](int r, int g, int b) { return r > 150 && g > 150 && b < 60; }) > 30;
  };
  const Shot before = Take();
  ASSERT_FALSE(overlay(before));
  Press("F2");
  ASSERT_TRUE(WaitFor(2000, overlay, "overlay")) << "F2 does not show the overlay";
  Dump(Take(), "overlay");
  EXPECT_LT(Take().Luma(band), before.Luma(band)) << "the shade darkens the band";
  Press("F2");
  ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) { return !overlay(s); }))
      << "F2 again does not hide it";
  EXPECT_TRUE(run.Running());
}

TEST_F(UiEndToEnd, ARankingNameIsEnteredOnTheGrid) {
  // A table of zero scores: any finished game takes the first place.
  const std::string records = RecordsFileNameFor(kVariantSport);
  WriteTable(records, TableOf(0, "Nul"));
  StartAndReachTheChoice();
  Rotate();

  // ---- drops until the game is over (the intro comes back); then the
  // results and the name entry
  bool over = false;
  const auto deadline = Clock::now() + std::chrono::seconds(90);
  while (!over && Clock::now() < deadline) {
    ASSERT_TRUE(run.Running()) << "the game died; stderr: " << run.Stderr();
    Press("Down", 80);
    SleepMs(350);
    over = IntroShowing(Take());
  }
  ASSERT_TRUE(over) << "no game over after 90 s of drops";
  ASSERT_TRUE(WaitFor(
      15000, [&](const Shot& s) { return GridCell(s) == 33; }, "grid"))
      << "no name entry, or its highlight is not on the accept cell";
  Dump(Take(), "name-entry");

  auto cell = [&](int want, const char* what) {
    ASSERT_TRUE(WaitFor(2000, [&](const Shot& s) { return GridCell(s) == want; })) << what;
  };
  auto press = [&]() {
    Rotate();
    SleepMs(450);  // one letter per 400 ms
  };
  // One step at a time, looking at the grid after each, as a player does.
  // A press that a slow frame missed leaves the highlight where it was, and
  // the player presses again.
  auto step = [&](const char* key, int want) {
    const int from = GridCell(Take());
    for (int tries = 0; tries < 3; ++tries) {
      Press(key, 150);
      if (WaitFor(1000, [&](const Shot& s) { return GridCell(s) != from; })) break;
    }
    cell(want, key);
    SleepMs(100);
  };
  // Я: four to the left of "@".
  for (int want : {32, 31, 30, 29}) step("Left", want);
  press();
  // с: a row up with the wheel (29 -> 18).
  Wheel(false);
  cell(18, "wheel up");
  press();
  // т: one to the right.
  step("Right", 19);
  press();
  Dump(Take(), "name-typed");
  // "@": a row down with the wheel (19 -> 30), then right along the bottom row.
  Wheel(true);
  cell(30, "wheel down");
  for (int want : {31, 32, 33}) step("Right", want);
  press();

  // ---- the name is in the table of "спорт", first place
  RecordTable table{};
  bool stored = false;
  for (int i = 0; i < 60 && !stored; ++i) {
    const std::vector<uint8_t> now = Bytes(records);
    stored = DecodeRecords(now.data(), static_cast<uint32_t>(now.size()), table) == kRecordsOk &&
             table[0].score > 0;
    if (!stored) SleepMs(50);
  }
  ASSERT_TRUE(stored) << "no new first place in the records file";
  EXPECT_EQ(std::string(table[0].name), "Яст         "_w);
  EXPECT_EQ(std::string(table[1].name), "Nul         ");
  EXPECT_EQ(GridCell(Take()), 0) << "the grid is gone";
  EXPECT_TRUE(run.Running());
}

}  // namespace

// Cost of a frame on the real window at 800 x 600 (needs an X server; with
// Mesa's software renderer the picture is the cost): a play frame with a
// half-full well and the panels, an empty frame (clear + swap) in the same
// run, and the parts of a play frame one by one.
//
// Every frame starts from the same game state, so the medians compare like
// with like.  Times are the median per frame in milliseconds: CPU time of
// the whole process (the renderer's threads included) and wall time.  The
// drawing is finished (glFinish) inside the timed span, or the renderer
// would do the work later, outside it.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
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
#include "platform/platform.h"
#include "records/records.h"
#include "tests/support/game_scene.h"
#include "ui/field_choice.h"
#include "ui/field_render.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr int kFrames = 300;

uint32_t gNow = 100000;
uint32_t FakeTicks() {
  return gNow;
}

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
double WallMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// The value that `percent` per cent of the samples do not exceed.
double Percentile(std::vector<double> v, double percent) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t k = std::min(v.size() - 1, static_cast<size_t>(percent / 100.0 * v.size()));
  return v[k];
}

// The bytes of every texture the context holds now, every mip level, by
// the sizes of the channels GL reports for them.
double TextureMegabytes() {
  double bytes = 0;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  for (GLuint name = 1; name < 8192; ++name) {
    if (!glIsTexture(name)) continue;
    glBindTexture(GL_TEXTURE_2D, name);
    for (GLint level = 0; level < 16; ++level) {
      GLint w = 0, h = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
      if (w <= 0 || h <= 0) break;
      GLint bits = 0;
      for (GLenum channel :
           {GL_TEXTURE_RED_SIZE, GL_TEXTURE_GREEN_SIZE, GL_TEXTURE_BLUE_SIZE, GL_TEXTURE_ALPHA_SIZE,
            GL_TEXTURE_LUMINANCE_SIZE, GL_TEXTURE_INTENSITY_SIZE}) {
        GLint b = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, channel, &b);
        bits += b;
      }
      bytes += static_cast<double>(w) * h * bits / 8.0;
    }
  }
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  return bytes / (1024.0 * 1024.0);
}

// Per-frame samples of one measured span.
struct Span {
  std::vector<double> cpu, wall;
  double c0 = 0, w0 = 0;
  void Start() {
    c0 = CpuMs();
    w0 = WallMs();
  }
  void Stop() {
    glFinish();
    cpu.push_back(CpuMs() - c0);
    wall.push_back(WallMs() - w0);
  }
  void Report(benchmark::State& state, const std::string& name) const {
    state.counters[name + "_cpu_ms"] = Median(cpu);
    state.counters[name + "_wall_ms"] = Median(wall);
  }
  // The slowest frames: the wall time that 99 % of them stay within.
  void ReportSlowest(benchmark::State& state, const std::string& name) const {
    state.counters[name + "_wall_p99_ms"] = Percentile(wall, 99);
  }
};

// ------------------------------------------------------------ the game

bool gWindow = false;
GameState gSnapshot;
Field gFieldSnapshot;

// The program's start-up, from the build folder where res/ is.
bool OpenWindow() {
  if (gWindow) return true;
  if (std::getenv("DISPLAY") == nullptr) return false;
  char exe[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return false;
  std::string dir(exe, static_cast<size_t>(n));
  dir = dir.substr(0, dir.rfind('/'));  // <build>/bench
  dir = dir.substr(0, dir.rfind('/'));  // <build>
  if (chdir(dir.c_str()) != 0) return false;
  SetTickSource(FakeTicks);
  gApp.windowWidth = kW;
  gApp.windowHeight = kH;
  if (!CreateGlWindow(kW, kH)) return false;
  LoadMouseGestures("res/base/hand1.txt");
  GameStartup();
  ResetFrameClock();
  gApp.active = 1;
  gApp.focused = 1;
  gWindow = true;
  return true;
}

// A game in its fifth stage (the widest well of the shape), in six colours
// with a three-cell piece; `settling` adds the settle phase with its bars.
void PlayScene(int shape, bool settling) {
  SceneLook look;
  look.colours = 6;
  look.topRingCell = false;
  look.score = 1234;
  look.fourthName = "";
  Field* f = MiddleOfAGame(shape, settling, look);
  gSnapshot = gGame;
  gFieldSnapshot = *f;
}

// Every frame plays the same moment again, 16 ms later.
void Rewind() {
  gGame = gSnapshot;
  *gGame.field = gFieldSnapshot;
  gNow += 16;
}

// ------------------------------------------------------------ benchmarks

// A play frame as the main loop runs it: RunFrame, then the swap.
void BM_PlayFrame(benchmark::State& state) {
  if (!OpenWindow()) {
    state.SkipWithError("no window (needs DISPLAY and the generated res/)");
    return;
  }
  PlayScene(static_cast<int>(state.range(0)), state.range(1) != 0);
  Span run, swap, empty, whole;
  for (auto _ : state) {
    Rewind();
    whole.Start();
    run.Start();
    RunFrame(1);
    run.Stop();
    swap.Start();
    SwapBuffers();
    swap.Stop();
    whole.Stop();

    // The empty frame in the same run: clear and swap.
    empty.Start();
    glClearColor(0, 0, 0, 0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    glFinish();
    SwapBuffers();
    empty.Stop();
  }
  run.Report(state, "runframe");
  swap.Report(state, "swap");
  whole.Report(state, "frame");
  whole.ReportSlowest(state, "frame");
  state.counters["textures_mb"] = TextureMegabytes();
  empty.Report(state, "empty");
  // How the panels of the last frame were drawn.
  const LayerStats layer = LastLayerStats();
  state.counters["panels_from_copies"] = layer.cached;
  state.counters["panels_patched"] = layer.patched;
  state.counters["panels"] = layer.items;
  state.counters["ratio_cpu"] = (Median(run.cpu) + Median(swap.cpu)) / Median(empty.cpu);
}
BENCHMARK(BM_PlayFrame)
    ->ArgsProduct({{kVariantSport, kVariantHurdle}, {0, 1}})
    ->ArgNames({"shape", "settling"})
    ->Iterations(kFrames)
    ->Unit(benchmark::kMillisecond);

// A frame of the untouched shape choice as the program runs it, still
// pictures left out: after the first, each frame only probes its picture.
void BM_StillChoiceFrame(benchmark::State& state) {
  if (!OpenWindow()) {
    state.SkipWithError("no window (needs DISPLAY and the generated res/)");
    return;
  }
  PlayScene(kVariantSport, false);
  gChoiceState = 0;
  SetStillFrameSkipping(1);
  gNow += 16;
  if (RunFrame(1)) SwapBuffers();
  Span frame;
  int drawn = 0;
  for (auto _ : state) {
    gNow += 10;
    frame.Start();
    const int drew = RunFrame(1);
    if (drew) SwapBuffers();
    frame.Stop();
    drawn += drew;
  }
  frame.Report(state, "frame");
  state.counters["drawn"] = drawn;
  state.counters["textures_mb"] = TextureMegabytes();
  SetStillFrameSkipping(0);
  gChoiceState = 2;
  HideScreens();
}
BENCHMARK(BM_StillChoiceFrame)->Iterations(kFrames)->Unit(benchmark::kMillisecond);

// The parts of a play frame, each finished on its own.  The panel tree and
// the borders are drawn as they were before the panel layer (every call),
// and then the layer as the frame draws it.
void BM_FrameParts(benchmark::State& state) {
  if (!OpenWindow()) {
    state.SkipWithError("no window (needs DISPLAY and the generated res/)");
    return;
  }
  PlayScene(static_cast<int>(state.range(0)), state.range(1) != 0);
  static const char* const kPassNames[kWellPassCount] = {
      "well0_setup", "well1_background", "well2_edges",  "well3_cells",
      "well4_piece", "well5_effects",    "well6_preview"};
  Span step, clear, mouse, tree, treeNoText, borders, layer;
  std::vector<Span> passes(kWellPassCount);
  for (auto _ : state) {
    Rewind();
    TickFrameClock();
    PulsesSteppedThisFrame = 0;
    step.Start();
    GameTick(0, 0, 0, 0, 0, 0, 0);
    step.Stop();
    clear.Start();
    glClearColor(0, 0, 0, 0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    clear.Stop();
    NoteScreenCleared();
    for (int p = 0; p < kWellPassCount; ++p) {
      passes[static_cast<size_t>(p)].Start();
      Begin2DWindow();
      DrawWellPass(p);
      End2D();
      passes[static_cast<size_t>(p)].Stop();
    }
    mouse.Start();
    PanelMousePass(0);
    mouse.Stop();
    // The panels and their borders as the frame draws them: from copies
    // where they hold still.
    layer.Start();
    Begin2DWindow();
    BeginCachedLayer();
    DrawPanelTree();
    DrawPanelBorders();
    EndCachedLayer();
    End2D();
    layer.Stop();
    tree.Start();
    Begin2DWindow();
    DrawPanelTree();
    End2D();
    tree.Stop();
    // The same tree without fonts: the difference is the text.
    const FontSet fonts = gFonts;
    gFonts = FontSet{};
    treeNoText.Start();
    Begin2DWindow();
    DrawPanelTree();
    End2D();
    treeNoText.Stop();
    gFonts = fonts;
    borders.Start();
    Begin2DWindow();
    DrawPanelBorders();
    End2D();
    borders.Stop();
    SwapBuffers();
  }
  step.Report(state, "game_step");
  clear.Report(state, "clear");
  for (int p = 0; p < kWellPassCount; ++p) {
    passes[static_cast<size_t>(p)].Report(state, kPassNames[p]);
  }
  mouse.Report(state, "panel_mouse");
  tree.Report(state, "panel_tree");
  treeNoText.Report(state, "panel_tree_no_text");
  borders.Report(state, "borders");
  layer.Report(state, "panel_layer");
}
BENCHMARK(BM_FrameParts)
    ->ArgsProduct({{kVariantSport, kVariantHurdle}, {0, 1}})
    ->ArgNames({"shape", "settling"})
    ->Iterations(kFrames)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The frame driver.  The order inside a frame is fixed: the game parts read
// the commands sampled earlier in the same frame, and the panels are drawn
// over the well.
#include "app/frame.h"

#include <GL/gl.h>

#include <cmath>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "base/timers.h"
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/draw_cache.h"
#include "gfx/resources.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "ui/field_choice.h"
#include "ui/debug_overlay.h"
#include "ui/field_render.h"
#include "ui/help_card.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

int32_t CommandLeft = 0, CommandRight = 0, CommandUp = 0, CommandDown = 0;
int32_t MouseX = 0, MouseY = 0;
int32_t PulsesSteppedThisFrame = 0;

namespace {

constexpr int32_t kIntroMs = 3000;
constexpr float kIntroAnchor = 128.0f;
constexpr float kIntroSpeed = 0.34f;  // pixels (and alpha) per millisecond
constexpr float kIntroCell = 64.0f;
constexpr float kIntroTitle = 512.0f;
constexpr int kIntroTitleTexture = 24;
constexpr int kIntroPulseTexture = 6;
constexpr int kIntroCellTexture = 11;
constexpr int kIntroCornerTexture = 12;

constexpr int kPauseFont = 6;

IntroState gIntro;
Pulse gIntroPulse;
bool gIntroPulseCreated = false;

float WindowW() {
  return static_cast<float>(gApp.windowWidth);
}
float WindowH() {
  return static_cast<float>(gApp.windowHeight);
}

// A picture that failed to load draws a flat quad, not the last texture bound.
void BindOrFlat(int slot) {
  if (slot > 0 && slot < kTextureSlots && gTextures.slots[slot].glName != 0) {
    BindTextureSlot(gTextures, slot);
  } else {
    DisableTexturing();
  }
}

// Every picture is drawn flat, with the depth test off (Begin2D, the panel
// tree and the text turn it off before they draw), so the depth buffer is
// never read.  Clearing it too doubles what the clear costs on a software
// renderer; the straight way still clears it, and the tests that compare
// the two ways would see a draw that came to depend on it.
void ClearScreen() {
  if (DrawProbing()) {
    const int32_t straight = StraightDrawing();
    FoldIntoProbe(&straight, sizeof straight);
    return;
  }
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glClear(StraightDrawing() ? GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
  NoteScreenCleared();
}

// False only while the field choice is the screen: no options menu, no stage
// results, the choice panel shown.
bool NotInFieldChoice() {
  return PanelVisible(OptionsPanel) || PanelVisible(StageResultsPanel) ||
         !PanelVisible(FieldChoicePanel);
}

// ------------------------------------------------------------ intro

// Moves a value towards its target by `step`, landing exactly on it once it
// is within `snap`, so the intro always ends on whole coordinates.
float Approach(float value, float target, float step, float snap) {
  if (std::fabs(value - target) < snap) return target;
  if (value < target) {
    value += step;
    if (value >= target) value = target;
  } else {
    value -= step;
    if (value <= target) value = target;
  }
  if (std::fabs(value - target) < snap) value = target;
  return value;
}

void DrawIntro() {
  const float t = gIntro.anchor;
  ClearScreen();
  Begin2DWindow();
  SetBlend(kBlendNormal);
  SetColor(gIntro.alpha, 1.0f, 1.0f, 1.0f);
  BindOrFlat(kIntroTitleTexture);
  Quad(static_cast<float>(gApp.windowWidth / 4), kIntroCell, kIntroTitle, kIntroTitle, 1);
  const float pulse = gIntroPulse.value;
  SetColor(1.0f, 1.0f, pulse, pulse);
  BindOrFlat(kIntroPulseTexture);
  Quad(t, t, kIntroCell, kIntroCell, 1);
  SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  BindOrFlat(kIntroCellTexture);
  Quad(t - kIntroCell, gIntro.b, kIntroCell, kIntroCell, 1);
  Quad(t, gIntro.c, kIntroCell, kIntroCell, 1);
  BindOrFlat(kIntroCornerTexture);
  Quad(gIntro.a, t - kIntroCell, kIntroCell, kIntroCell, 1);
  DisableTexturing();
  End2D();
}

void IntroFrame() {
  if (!gIntroPulseCreated) {
    PulseInit(gIntroPulse, 0.75f, 0.5f, 1.0f, 0.015f, kPulsePingPong, 10);
    gIntroPulseCreated = true;
  }
  PulseStep(gIntroPulse);
  TickFrameClock();
  CountDown(gIntro.remainingMs);
  const float s = std::fabs(FrameScaled(kIntroSpeed));
  const float t = gIntro.anchor;
  gIntro.a = Approach(gIntro.a, t - kIntroCell, s, 0.2f);
  gIntro.b = Approach(gIntro.b, t, s, 0.2f);
  gIntro.c = Approach(gIntro.c, t - kIntroCell, s, 0.2f);
  gIntro.alpha = Approach(gIntro.alpha, 1.0f, s, 0.05f);
  DrawIntro();
}

// ------------------------------------------------------------ input and step

void PlayStep() {
  if (FieldChoiceStep(CommandLeft, CommandRight, CommandUp)) return;
  if (gKeyTable[VK_SPACE]) TakeBonus();
  ShowPanel(BonusPanel, gGame.variant == kVariantJug);
  // The pointer action is a click counter: keep it counting.
  InputAction& pointer = gActions[ActionPointer];
  if (pointer.counter < 0) pointer.counter = 0;
  if (pointer.counterMax < 2) pointer.counterMax = pointer.counter + 1;
  const int click = pointer.counter != 0 && pointer.kind == 1 ? pointer.fired : 0;
  GameTick(CommandLeft, CommandRight, CommandUp, CommandDown, click, pointer.firePos[0],
           pointer.firePos[1]);
}

// False when the frame ends here, without drawing.
bool InputAndStep() {
  PulsesSteppedThisFrame = 0;
  TickFrameClock();
  int mx = 0, my = 0;
  GetMouseInWindow(&mx, &my);
  MouseX = mx;
  MouseY = my;
  UpdateMouseGestures(GetTickCount());
  EvaluateInputActions();
  CommandLeft = gActions[ActionLeft].fired;
  CommandRight = gActions[ActionRight].fired;
  CommandUp = gActions[ActionUp].fired;
  CommandDown = gActions[ActionDown].fired;
  CountDown(TextCooldownMs);
  CountDown(OptionsToggleCooldownMs);
  CountDown(MenuCooldownMs);
  CountDown(gGame.bonusCooldownMs);

  if (gKeyTable[VK_LBUTTON] && gKeyTable[VK_RBUTTON] && ToggleOptionsMenu()) return false;
  if (!OptionsHidden()) {
    OptionsMenuNavigate(CommandLeft, CommandRight, CommandUp, CommandDown, WheelUpEvent);
  } else {
    PlayStep();
  }
  return true;
}

// ------------------------------------------------------------ drawing

// The chosen picture as a window-wide square, darkened towards the right.
void DrawBackground() {
  const float w = WindowW();
  Begin2DWindow();
  SetBlend(kBlendNormal);
  BindTexture(gBackgroundTexture);
  SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  Quad(0.0f, gBackgroundY, w, w, 1);
  DisableTexturing();
  const float half = static_cast<float>(gApp.windowWidth / 2);
  AlphaHGradientQuad(0.2f, 0.0f, 1.0f, half, 0.0f, w - half, WindowH(), 1);
  End2D();
}

// The pointer's pass over the panels runs once a frame, at its place in the
// frame, in whichever drawing of the frame comes first.
void DrawPanels(bool mousePass) {
  if (mousePass) PanelMousePass(gActions[ActionPointer].fired);
  Begin2DWindow();
  BeginCachedLayer();  // panels whose picture holds still are drawn from a copy
  DrawPanelTree();
  DrawPanelBorders();
  EndCachedLayer();
  End2D();
}

void DrawPausePicture() {
  Begin2DWindow();
  SetBlend(kBlendNormal);
  SetColor(0.7f, 0.0f, 0.2f, 0.4f);
  DisableTexturing();
  Quad(0.0f, 0.0f, WindowW(), WindowH(), 1);
  End2D();
  DrawTextAt("PAUSE", kPauseFont, 50.0f, 150.0f, "aqpcg");
}

void DrawPicture(int focused, bool mousePass) {
  ClearScreen();
  const bool optionsShown = PanelVisible(OptionsPanel);
  const bool notInChoice = NotInFieldChoice();
  if (!optionsShown && notInChoice) {
    Begin2DWindow();
    DrawWell();
    End2D();
  } else if (!notInChoice && UseBackground()) {
    DrawBackground();
  }
  DrawPanels(mousePass);
  DrawTextInputBox();
  const bool playScreen = !optionsShown && notInChoice && !PanelVisible(StageResultsPanel);
  if (focused && playScreen && gKeyTable[VK_F1] != 0) DrawHelpCard(gApp.languageFlag);
  if (!focused) DrawPausePicture();
  if (gApp.debugOverlay != 0) DrawDebugOverlay();
}

// ------------------------------------------------------------ still pictures

// A picture the same as the one on the screen is not drawn again.  Each
// frame draws first as a probe (drawing nothing, hashing every call); only
// when the hash differs from that of the picture last presented, or the
// window asked for its picture again, is it drawn.  While the picture keeps
// changing (play), probing pays for nothing, so after two changed probes in
// a row the frames draw unprobed for a while and probe again.
constexpr int kUnprobedFrames = 15;

struct StillState {
  bool skipping = false;
  bool presentedKnown = false;  // the hash of the picture on the screen
  uint64_t presented = 0;
  bool fullFrameAsked = true;
  int changedRun = 0;  // probes in a row that found the picture changed
  int unprobedLeft = 0;
  int drawn = 0;
};
StillState gStill;

uint64_t ProbePicture(int focused) {
  BeginDrawProbe();
  DrawPicture(focused, true);
  const uint64_t generation = TextureGeneration();
  FoldIntoProbe(&generation, sizeof generation);
  return EndDrawProbe();
}

// 1 when the frame drew a picture to present.
int PresentPicture(int focused) {
  StillState& s = gStill;
  const bool probe = s.skipping && s.unprobedLeft == 0;
  if (probe) {
    const uint64_t hash = ProbePicture(focused);
    const bool compared = s.presentedKnown && !s.fullFrameAsked;
    if (compared && hash == s.presented) {
      s.changedRun = 0;
      return 0;
    }
    if (compared && ++s.changedRun >= 2) {
      s.changedRun = 0;
      s.unprobedLeft = kUnprobedFrames;
    }
    s.presented = hash;
  } else if (s.unprobedLeft > 0) {
    --s.unprobedLeft;
  }
  // An unprobed picture's hash is not known.
  s.presentedKnown = probe;
  s.fullFrameAsked = false;
  DrawPicture(focused, !probe);  // the probe made the pointer's pass
  ++s.drawn;
  return 1;
}

}  // namespace

// ---------------------------------------------------------------- still pictures

void SetStillFrameSkipping(int on) {
  gStill = StillState{};
  gStill.skipping = on != 0;
}

void RequestFullFrame() {
  gStill.fullFrameAsked = true;
}

int FramesDrawn() {
  return gStill.drawn;
}

void DrawCurrentPicture(int focused) {
  DrawPicture(focused, false);
}

// ---------------------------------------------------------------- intro

void SetupIntro() {
  gIntro.remainingMs = kIntroMs;
  gIntro.anchor = kIntroAnchor;
  gIntro.alpha = 0.0f;
  gIntro.a = WindowW();
  gIntro.b = WindowH();
  gIntro.c = 2.0f * kIntroAnchor - WindowH();
}

bool IntroRunning() {
  return gIntro.remainingMs > 0 && gGame.paused == 0 && gGame.closeLock <= 0;
}

const IntroState& Intro() {
  return gIntro;
}

// ---------------------------------------------------------------- panels

void DrawPanelBorders() {
  DrawPanelBorder(RecordsStripPanel, kBlendNormal, nullptr, 8.0f, 1);
  DrawPanelBorder(RecordsPanel, kBlendNormal, nullptr, 12.0f, 1);
  DrawPanelBorder(SideInfoPanel, 0, nullptr, 8.0f, 1);
  DrawPanelBorder(OptionsPanel, kBlendNormal, nullptr, 14.0f, 1);
}

// ---------------------------------------------------------------- rules

void ApplyVisibilityRules() {
  if (PanelVisible(NameEntryPanel)) {
    ShowPanel(RecordsPanel, false);
    ShowPanel(RecordsStripPanel, false);
  } else if (PanelVisible(StageResultsPanel)) {
    ShowPanel(RecordsPanel, true);
    ShowPanel(RecordsStripPanel, false);
  } else {
    ShowPanel(RecordsPanel, false);
    ShowPanel(RecordsStripPanel, true);
  }
  ShowPanel(ResultsColumnsPanel, gGame.stage == 1 && !PanelVisible(StageResultsPanel) &&
                                     NotInFieldChoice() && gGame.variant == kVariantSport);
  if (PanelVisible(FieldChoicePanel)) ShowPanel(BonusPanel, false);
}

// ---------------------------------------------------------------- frame

int RunFrame(int focused) {
  int drew = 0;
  if (IntroRunning()) {
    IntroFrame();
    // The intro moves all the time; what follows it starts afresh.
    gStill.presentedKnown = false;
    ++gStill.drawn;
    drew = 1;
  } else {
    ApplyVisibilityRules();
    if (!focused || InputAndStep()) drew = PresentPicture(focused);
  }
  // Quick taps that were down for this frame are released now.
  KeyTableFrameSeen();
  return drew;
}

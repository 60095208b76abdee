// The program's run: start-up in a fixed order, the non-blocking message
// loop, and the shutdown in the reverse order.
#include "app/main_loop.h"

#include <cstdlib>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/input_actions.h"
#include "app/window.h"
#include "base/timers.h"
#include "game/game.h"
#include "gfx/resources.h"
#include "platform/platform.h"
#include "sound/sound.h"
#include "ui/panel_tree.h"

namespace {

// The panels whose visibility the frame driver manages; without any one of
// them the program leaves before its first frame.
bool ManagedPanelsExist() {
  const Panel* const panels[] = {OptionsPanel,        NameEntryPanel, StageResultsPanel,
                                 ResultsColumnsPanel, RecordsPanel,   RecordsStripPanel,
                                 FieldChoicePanel,    BonusPanel};
  bool all = true;
  for (const Panel* p : panels) {
    if (p == nullptr) all = false;
  }
  return all;
}

void SetUpVoices() {
  struct VoicePlace {
    int voice;
    float x;
  };
  // Centre, left, right: a little apart, two units in front of the listener.
  constexpr VoicePlace kPlaces[] = {{kVoiceCentre, 0.0f}, {kVoiceLeft, -0.1f}, {kVoiceRight, 0.1f}};
  for (const VoicePlace& p : kPlaces) {
    AttachSound(p.voice, 1);
    SetVoiceRelative(p.voice, 1);
    SetVoicePosition(p.voice, p.x, 0.0f, -2.0f);
  }
}

void GameStartupSequence() {
  LoadMouseGestures("res/base/hand1.txt");
  if (!ManagedPanelsExist()) gApp.quitRequested = 1;
  SetupIntro();
  GameStartup();
  gApp.debugOverlay = 0;
  gApp.languageFlag = 0;
  gApp.loopSleepMs = 10;
  SetUpVoices();
  ResetFrameClock();
  SetStillFrameSkipping(1);
}

void Shutdown() {
  DeleteVoice(kVoiceCentre);
  DeleteVoice(kVoiceLeft);
  DeleteVoice(kVoiceRight);
  SoundShutdown();
  KillGlWindow();
  ClearMessageBase();
}

}  // namespace

void RunMessageLoop() {
  Msg msg{};
  while (gApp.quitRequested == 0) {
    if (PeekMessage(&msg)) {
      DispatchMessage(msg);
      continue;
    }
    if (gApp.active == 0) {
      Sleep(500);
      continue;
    }
    // A still picture stays on the screen as it is: no drawing, no swap.
    if (RunFrame(gApp.focused)) SwapBuffers();
    Sleep(gApp.loopSleepMs > 0 ? static_cast<uint32_t>(gApp.loopSleepMs) : 0);
  }
}

int WinMain() {
  std::srand(GetTickCount());
  ChooseWindowSize();
  ClearMessageBase();
  LoadMessageBase("res/base/msgbase.txt");
  if (!CreateGlWindow(gApp.windowWidth, gApp.windowHeight)) return 0;
  SoundStartup();
  GameStartupSequence();
  gApp.active = 1;
  ShowCursor(0);
  RunMessageLoop();
  Shutdown();
  return 0;
}

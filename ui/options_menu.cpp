#include "ui/options_menu.h"

#include "app/app_state.h"
#include "base/text.h"
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "records/records.h"
#include "sound/sound.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

// An option cannot change within 400 ms of the program start either.
int32_t MenuCooldownMs = 400, OptionsToggleCooldownMs = 0;
int32_t OptionsLine = 1, OptionsLineCount = 9;
int32_t gSoundMuted = 0;

namespace {

constexpr int32_t kToggleMs = 990;
constexpr int32_t kPressMs = 400;
constexpr int kLineTexture = 38;
constexpr int kLineFont = 5;
constexpr float kUnmutedGain = 0.95f;

OptionsCounts gCounts;

// Two-press lines: 3 -> 2 arms, 2 -> 1 acts, 1 stays.
bool CountDownPress(int32_t& countdown) {
  if (countdown == 3) {
    countdown = 2;
  } else if (countdown == 2) {
    countdown = 1;
    return true;
  }
  return false;
}

void ToggleSound() {
  // Without a device there is nothing to mute, and the line says so by not
  // changing.
  if (!SoundDeviceOpen()) return;
  gSoundMuted = gSoundMuted ? 0 : 1;
  SetListenerGain(gSoundMuted ? 0.0f : kUnmutedGain);
}

void TogglePulse() {
  const int32_t on = gOptions.colourPulse ? 0 : 1;
  gOptions.colourPulse = on;
  gOptions.pulseCompanions[0] = on;
  gOptions.pulseCompanions[1] = on;
}

void Quit() {
  // A ranking game still waiting for its name goes into the table first.
  FinishPendingRecord();
  gApp.quitRequested = 1;
}

}  // namespace

const OptionsCounts& OptionsMenuCounts() {
  return gCounts;
}

bool OptionsHidden() {
  return !PanelVisible(OptionsPanel);
}

bool ToggleOptionsMenu() {
  if (OptionsPanel == nullptr || OptionsToggleCooldownMs > 0) return false;
  OptionsToggleCooldownMs = kToggleMs;
  if (PanelVisible(OptionsPanel)) {
    ShowPanel(OptionsPanel, false);
    return true;
  }
  ShowPanel(OptionsPanel, true);
  gCounts.quitCountdown = 3;
  gCounts.resetCountdown = 3;
  // No option changes within 400 ms of opening; the highlight stays where
  // the player left it.
  MenuCooldownMs = kPressMs;
  OptionsLine = WrapOptionsLine(OptionsLine, 0, OptionsLineCount);
  return true;
}

void OptionsMenuNavigate(int left, int right, int up, int down, int wheelUp) {
  if (left || down) {
    OptionsLine = WrapOptionsLine(OptionsLine, 1, OptionsLineCount);
  } else if (right || wheelUp) {
    OptionsLine = WrapOptionsLine(OptionsLine, -1, OptionsLineCount);
  } else if (up) {
    ActivateOptionLine();
  }
}

void ActivateOptionLine() {
  if (MenuCooldownMs > 0) return;
  MenuCooldownMs = kPressMs;
  switch (OptionsLine) {
    case 1:
      // Closing from the line obeys the same cooldown as the chord.
      if (PanelVisible(OptionsPanel)) ToggleOptionsMenu();
      break;
    case 2:
      ToggleSound();
      break;
    case 3:
      gOptions.ccw = gOptions.ccw ? 0 : 1;
      break;
    case 4:
      gOptions.stepF = gOptions.stepF ? 0 : 1;
      break;
    case 5:
      if (CountDownPress(gCounts.resetCountdown)) ClearRecords();
      break;
    case 6:
      TogglePulse();
      break;
    case 8:
      if (CountDownPress(gCounts.quitCountdown)) Quit();
      break;
    default:
      break;  // 7 and 9 are empty
  }
}

int WrapOptionsLine(int line, int delta, int count) {
  if (count < 2) return line;
  const auto wrap = [count](int l) { return ((l - 1) % count + count) % count + 1; };
  return wrap(wrap(line) + delta);
}

std::string OptionLineText(int tag) {
  switch (tag) {
    case 1:
      return "возврат в игру"_w;
    case 2:
      return gSoundMuted ? "включить звуки (сейчас отклюены)"_w
                         : "отключить звуки (сейчас включены)"_w;
    case 3:
      return gOptions.ccw ? "вертим по-часовой (сейчас против)"_w
                          : "вертим против (сейчас по-часовой)"_w;
    case 4:
      return std::string("дискретный шаг фигуры: "_w) + Format("%d", gOptions.stepF);
    case 5:
      if (gCounts.resetCountdown == 1) return "таблица рекордов сброшена"_w;
      return std::string("сброс таблицы рекордов ["_w) + Format("%d]", gCounts.resetCountdown);
    case 6:
      return std::string("цветовой пульс (есть, нет) "_w) + Format("%d", gOptions.colourPulse);
    case 8:
      return std::string("выход из игры ["_w) + Format("%d]", gCounts.quitCountdown);
    default:
      return std::string();
  }
}

void DrawOptionLine(Panel* p) {
  if (p == nullptr) return;
  const float x = static_cast<float>(p->x), y = static_cast<float>(p->y);
  const float w = static_cast<float>(p->w), h = static_cast<float>(p->h);
  FlatDrawing();
  FillPanel(p, 0.6f, 0.5f, 0.5f, 0.4f);
  if (kLineTexture < kTextureSlots && gTextures.slots[kLineTexture].glName != 0) {
    BindTextureSlot(gTextures, kLineTexture);
    SetColor(0.6f, 0.5f, 0.6f, 0.5f);
    Quad(x, y, w, h, 1);
    DisableTexturing();
  }
  if (p->tag == OptionsLine) OutlinePanel(p, 0, 3, 1.0f, 0.9f, 0.8f, 0.5f);
  const std::string text = OptionLineText(p->tag);
  if (!text.empty()) {
    SetColor(1.0f, 0.9f, 0.9f, 0.5f);
    DrawTextAt(text, kLineFont, x + h, y);
  }
}

void ResetOptionsMenu() {
  MenuCooldownMs = kPressMs;
  OptionsToggleCooldownMs = 0;
  OptionsLine = 1;
  OptionsLineCount = 9;
  gSoundMuted = 0;
  gCounts = OptionsCounts{};
}

#include "ui/help_card.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "base/text.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "ui/fonts.h"

namespace {

constexpr int kCardFont = 5;
constexpr int kSmallCardFont = 3;
constexpr int kPad = 10;

std::string Pick(int lang, const std::string& ru, const std::string& en) {
  return lang == 1 ? en : ru;
}

std::string KeyName(int code, int lang) {
  switch (code) {
    case VK_LEFT:
      return Pick(lang, "стрелка влево"_w, "Left arrow");
    case VK_RIGHT:
      return Pick(lang, "стрелка вправо"_w, "Right arrow");
    case VK_UP:
      return Pick(lang, "стрелка вверх"_w, "Up arrow");
    case VK_DOWN:
      return Pick(lang, "стрелка вниз"_w, "Down arrow");
    case VK_SPACE:
      return Pick(lang, "пробел"_w, "Space");
    case VK_RETURN:
      return "Enter";
    case 1:
      return Pick(lang, "левая кнопка мыши"_w, "left mouse button");
    case 2:
      return Pick(lang, "правая кнопка мыши"_w, "right mouse button");
    case 4:
      return Pick(lang, "средняя кнопка мыши"_w, "middle mouse button");
    default:
      break;
  }
  const int numpad0 = static_cast<int>(VK_NUMPAD0), f1 = static_cast<int>(VK_F1);
  if (code >= numpad0 && code <= numpad0 + 9) {
    return Pick(lang, "цифр. "_w, "keypad ").append(std::to_string(code - numpad0));
  }
  if (code >= f1 && code <= f1 + 11) return std::string("F").append(std::to_string(code - f1 + 1));
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
    return std::string(1, static_cast<char>(code));
  }
  return Pick(lang, "клавиша "_w, "key ").append(std::to_string(code));
}

// The keys an action listens to, as the bindings file gave them.
std::string ActionKeys(int slot, int lang) {
  const InputAction& a = gActions[static_cast<size_t>(slot)];
  std::string out;
  if (a.enabled <= 0) return Pick(lang, "не задано"_w, "not bound");
  for (int code : {a.key1, a.key2, a.key3}) {
    if (code <= 0) continue;
    if (!out.empty()) out += ", ";
    out += KeyName(code, lang);
  }
  return out.empty() ? Pick(lang, "не задано"_w, "not bound") : out;
}

}  // namespace

std::vector<std::string> HelpCardLines(int lang) {
  std::vector<std::string> lines;
  lines.push_back(Pick(lang, "Клавиши (пока нажата F1)"_w, "Keys (while F1 is held)"));
  lines.push_back(Pick(lang, "влево: "_w, "left: ") + ActionKeys(ActionLeft, lang));
  lines.push_back(Pick(lang, "вправо: "_w, "right: ") + ActionKeys(ActionRight, lang));
  lines.push_back(Pick(lang, "поворот: "_w, "turn: ") + ActionKeys(ActionUp, lang));
  lines.push_back(Pick(lang, "сброс: "_w, "drop: ") + ActionKeys(ActionDown, lang));
  lines.push_back(
      Pick(lang, "бонус (кувшин): пробел, колесо вверх"_w, "bonus (jug well): Space, wheel up"));
  lines.push_back(Pick(lang, "дальше после этапа: пробел, Enter, "_w,
                       "continue after a stage: Space, Enter, ") +
                  ActionKeys(ActionUp, lang));
  lines.push_back(Pick(lang, "меню и пауза: обе кнопки мыши вместе"_w,
                       "options and pause: both mouse buttons together"));
  lines.push_back(Pick(lang, "F2: счётчики ввода"_w, "F2: input counters"));
  lines.push_back(Pick(lang, "имя в рекордах: наберите и Enter (Esc: Comp),"_w,
                       "records name: type it and press Enter (Escape: Comp),"));
  lines.push_back(Pick(lang, "  или по сетке: влево, вправо и колесо, поворот ставит"_w,
                       "  or on the grid: left, right and the wheel, turn presses"));
  return lines;
}

void DrawHelpCard(int lang) {
  const std::vector<std::string> lines = HelpCardLines(lang);
  const int font = gApp.windowHeight >= 500 && gApp.windowWidth >= 640 ? kCardFont : kSmallCardFont;
  const int lineH = font == kCardFont ? 22 : 16;
  int textW = 0;
  for (const std::string& l : lines) textW = std::max(textW, TextWidth(gFonts, font, l, 0, -1));
  const int w = std::min(textW + 2 * kPad, gApp.windowWidth);
  const int h = std::min(static_cast<int>(lines.size()) * lineH + 2 * kPad, gApp.windowHeight);
  const float x = static_cast<float>((gApp.windowWidth - w) / 2);
  const float y = static_cast<float>((gApp.windowHeight - h) / 2);

  Begin2DWindow();
  SetBlend(kBlendNormal);
  DisableTexturing();
  SetColor(0.88f, 0.05f, 0.07f, 0.12f);
  Quad(x, y, static_cast<float>(w), static_cast<float>(h), 1);
  SetColor(0.9f, 0.9f, 0.8f, 0.4f);
  Quad(x, y, static_cast<float>(w), static_cast<float>(h), 0);
  End2D();
  float lineY = y + static_cast<float>(h - kPad - lineH);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == 0) {
      SetColor(1.0f, 1.0f, 0.9f, 0.4f);
    } else {
      SetColor(1.0f, 0.95f, 0.95f, 0.95f);
    }
    DrawTextAt(lines[i], font, x + kPad, lineY);
    lineY -= static_cast<float>(lineH);
  }
}

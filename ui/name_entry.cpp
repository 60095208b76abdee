#include "ui/name_entry.h"

#include "app/app_state.h"
#include "app/frame.h"
#include "base/text.h"
#include "base/timers.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

int32_t TextCooldownMs = 0;
int32_t gNameCursor = kNameAcceptCell;

namespace {

constexpr int32_t kPressMs = 400;
constexpr int kRowLength = 11;
constexpr int kCellFont = 5;
constexpr int kBoxTexture = 2;

// Cells 26..31 after the alphabet's first 25 letters: Ё Э Ю Я Ы ь.
constexpr int kTailCapital[6] = {168, 221, 222, 223, 219, 0};
constexpr int kTailSmall[6] = {184, 253, 254, 255, 251, 252};

Pulse gCursorFill, gCursorLine, gCaret;
bool gCellPulsesMade = false, gCaretMade = false;

int RowStart(int cell) {
  return (cell - 1) / kRowLength * kRowLength + 1;
}

bool LetterCell(int tag) {
  return tag >= 1 && tag <= 31;
}

void PressCell(TextEntry& e, std::string& lastName) {
  std::string& text = e.buffer;
  const int32_t length = static_cast<int32_t>(text.size());
  if (e.cursor < 0 || e.cursor > length) e.cursor = length;
  const int cell = gNameCursor;
  if (LetterCell(cell)) {
    if (!text.empty() && text != lastName) {
      // The grid stops where the keyboard stops: at the entry's maximum.
      if (length - e.start >= e.maxLen) return;
      text.insert(static_cast<std::size_t>(e.cursor), 1, static_cast<char>(NameCellSmall(cell)));
      ++e.cursor;
    } else if (NameCellCapital(cell) != 0) {
      text.assign(1, static_cast<char>(NameCellCapital(cell)));
      e.cursor = 1;
    }
  } else if (cell == kNameDeleteCell) {
    if (e.cursor > 0) {
      --e.cursor;
      text.erase(static_cast<std::size_t>(e.cursor), 1);
      if (e.start > e.cursor) e.start = e.cursor;
    }
  } else if (cell == kNameAcceptCell) {
    if (text.empty()) {
      text = lastName;
      e.cursor = static_cast<int32_t>(text.size());
    } else {
      lastName = text;
    }
    if (e.owner != nullptr) *e.owner = 1;
  }
}

void MoveRows(int rows) {
  if (!PanelVisible(NameEntryPanel) || PanelVisible(OptionsPanel)) return;
  int cell = gNameCursor + rows * kRowLength;
  if (cell > kNameCells) cell -= kNameCells;
  if (cell < 1) cell += kNameCells;
  gNameCursor = cell;
}

}  // namespace

int NameCellCapital(int tag) {
  if (tag >= 1 && tag <= 25) return 191 + tag;
  if (tag >= 26 && tag <= 31) return kTailCapital[tag - 26];
  return 0;
}

int NameCellSmall(int tag) {
  if (tag >= 1 && tag <= 25) return 223 + tag;
  if (tag >= 26 && tag <= 31) return kTailSmall[tag - 26];
  return 0;
}

std::string NameCellLabel(int tag) {
  if (tag == kNameDeleteCell) return "<-";
  if (tag == kNameAcceptCell) return "@";
  if (!LetterCell(tag)) return std::string();
  // ь has no capital: it shows its small form.
  const int code = NameCellCapital(tag) != 0 ? NameCellCapital(tag) : NameCellSmall(tag);
  return Format("%c", code);
}

void NameGridInput(TextEntry& entry, std::string& lastName, int left, int right, int up) {
  if (gNameCursor < 1 || gNameCursor > kNameCells) gNameCursor = kNameAcceptCell;
  const int start = RowStart(gNameCursor);
  if (left) {
    gNameCursor = gNameCursor == start ? start + kRowLength - 1 : gNameCursor - 1;
  } else if (right) {
    gNameCursor = gNameCursor == start + kRowLength - 1 ? start : gNameCursor + 1;
  } else if (up && TextCooldownMs <= 0) {
    TextCooldownMs = kPressMs;
    PressCell(entry, lastName);
  }
}

void NameGridInput(std::string& lastName) {
  NameGridInput(gTextEntry, lastName, CommandLeft, CommandRight, CommandUp);
}

void NameGridRowDown() {
  MoveRows(1);
}

void NameGridRowUp() {
  MoveRows(-1);
}

void DrawNameCell(Panel* p) {
  if (p == nullptr) return;
  const float x = static_cast<float>(p->x), y = static_cast<float>(p->y);
  const float w = static_cast<float>(p->w), h = static_cast<float>(p->h);
  FlatDrawing();
  if (p->tag == gNameCursor) {
    if (!gCellPulsesMade) {
      PulseInit(gCursorFill, 0.4f, 0.1f, 0.5f, 0.007f, kPulsePingPong, 10);
      PulseInit(gCursorLine, 0.5f, 0.2f, 0.9f, 0.015f, kPulsePingPong, 10);
      gCellPulsesMade = true;
    }
    const float g = PulseStep(gCursorFill);
    const float a = PulseStep(gCursorLine);
    FillPanel(p, 0.1f, g, 0.3f, 0.9f);
    OutlinePanel(p, 0, 3, 0.9f, 0.9f, 0.3f, a);
  } else {
    GreyVGradientQuad(0.3f, 0.0f, 0.9f, x, y, w, h, 1);
    OutlinePanel(p, 0, 1, 0.5f, 0.7f, 0.8f, 0.6f);
  }
  const std::string label = NameCellLabel(p->tag);
  if (label.empty()) return;
  SetColor(1.0f, 1.0f, 0.9f, 0.8f);
  DrawTextAt(label, kCellFont, x + 2.0f, y);
}

void DrawTextInputBox() {
  if (!TextEntryEditing()) return;
  const TextEntry& e = gTextEntry;
  const float base = static_cast<float>(gApp.windowHeight / 10);
  const float boxW =
      static_cast<float>(static_cast<int>(static_cast<float>(gApp.windowWidth) * 0.49f));
  constexpr float kBoxX = 26.0f, kBoxH = 160.0f;

  Begin2DWindow();
  SetBlend(kBlendNormal);
  SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  if (gTextures.slots[kBoxTexture].glName != 0) {
    BindTextureSlot(gTextures, kBoxTexture);
  } else {
    DisableTexturing();
  }
  Quad(kBoxX, base, boxW, kBoxH, 1);
  DisableTexturing();
  OutlineRect(kBoxX + 2.0f, base + 2.0f, boxW - 4.0f, kBoxH - 4.0f, 1, 1.0f, 0.0f, 0.0f, 1.0f);
  OutlineRect(kBoxX, base, boxW, kBoxH, 1, 0.8f, 0.2f, 0.3f, 1.0f);
  if (!gCaretMade) {
    PulseInit(gCaret, 0.6f, 0.2f, 1.0f, 0.02f, kPulsePingPong, 10);
    gCaretMade = true;
  }
  const float p = PulseStep(gCaret);
  const int32_t cursor = e.cursor < 0 ? 0 : e.cursor;
  const float caretX =
      50.0f + static_cast<float>(TextWidth(gFonts, kCellFont, e.buffer, 0, cursor));
  FillRect(caretX, base + 63.0f, 2.0f, 20.0f, 0.5f, p, p, 1.0f);
  End2D();

  DrawTextAt("vornadel-Dromo v2", 4, 50.0f, base + 10.0f, "aaaaaaaatqqqooatt");
  SetColor(1.0f, 0.8f, 1.0f, 0.9f);
  DrawTextAt(gApp.languageFlag == 0 ? std::string("(Таблица рекордов) ваше ИМЯ:"_w)
                                    : std::string("( Top20) input you NAME:"),
             kCellFont, 50.0f, base + 120.0f);
  SetColor(1.0f, 1.0f, 0.9f, 0.9f);
  DrawTextAt(e.buffer, kCellFont, 50.0f, base + 65.0f);
}

void ResetNameEntry() {
  TextCooldownMs = 0;
  gNameCursor = kNameAcceptCell;
  gCellPulsesMade = gCaretMade = false;
}

#include "ui/field_choice.h"

#include "base/random.h"
#include "base/text.h"
#include "game/game.h"
#include "gfx/draw.h"
#include "gfx/resources.h"
#include "gfx/texture.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

int32_t gChoiceState = 0;
int32_t gSelectedShape = 2;

namespace {

constexpr int kShapes = 6;

// By shape number: the well builder numbers its shapes the same way.
const char* const kShapeNames[kShapes + 1] = {
    "", "лёгкое"_w, "спорт"_w, "кувшин"_w, "бутыль"_w, "талия"_w, "помеха"_w,
};

}  // namespace

const char* ShapeName(int shape) {
  if (shape < 1 || shape > kShapes) return "";
  return kShapeNames[shape];
}

void ResetFieldChoice() {
  gChoiceState = 0;
}

bool FieldChoiceStep(int left, int right, int rotate) {
  // The options menu and the stage results freeze the choice.
  if (PanelVisible(OptionsPanel) || PanelVisible(StageResultsPanel)) return false;
  if (gChoiceState == 0) {
    // The strip only appears this frame; a held rotate must not confirm it.
    gChoiceState = 1;
    ShowPanel(FieldChoicePanel, true);
    SelectBackground(Random(1, 9), 1);
    return true;
  }
  if (gChoiceState != 1) return false;
  if (left) {
    gSelectedShape = gSelectedShape <= 1 ? kShapes : gSelectedShape - 1;
  } else if (right) {
    gSelectedShape = gSelectedShape >= kShapes ? 1 : gSelectedShape + 1;
  } else if (rotate) {
    gChoiceState = 2;
    ShowPanel(FieldChoicePanel, false);
    StartNewGame(gSelectedShape);
  }
  return true;
}

void DrawShapeCell(Panel* p) {
  if (p == nullptr) return;
  const float x = static_cast<float>(p->x), y = static_cast<float>(p->y);
  const float w = static_cast<float>(p->w), h = static_cast<float>(p->h);
  FlatDrawing();
  BindTextureSlot(gTextures, 16);
  SetColor(0.2f, 0.8f, 0.8f, 0.5f);
  Quad(x, y, w, h, 1);
  DisableTexturing();
  SetColor(1.0f, 0.9f, 0.9f, 0.5f);
  // The names step upward from left to right.
  DrawTextAt(ShapeName(p->tag), 5, x + 2.0f, y + 4.0f * static_cast<float>(p->tag));
  // The selection frame goes over the name; the text drawing left blending off.
  if (p->tag == gSelectedShape) {
    FlatDrawing();
    OutlinePanel(p, 0, 3, 1.0f, 0.9f, 0.8f, 0.5f);
  }
}

#include "ui/status_panels.h"

#include <cstdint>

#include "app/app_state.h"
#include "base/text.h"
#include "game/game.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/resources.h"
#include "gfx/texture.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

float gStageProgressShown = 0.0f;

namespace {

struct PendingColour {
  float r = 0, g = 0, b = 0, a = 0;
  bool set = false;
};
PendingColour gPending;

// How a text panel looks behind its text.
struct PanelLook {
  float fill[4];
  float line[4];
  int thickness;  // 0 = no outline
  int inset;
  int textX, textY;  // text offset from the lower-left corner
};

constexpr PanelLook kStatusLook{{0.1f, 0.2f, 0.3f, 0.4f}, {0.4f, 0.5f, 0.6f, 0.5f}, 1, 2, 5, 2};
constexpr PanelLook kBestLook{{0.15f, 0.15f, 0.3f, 0.4f}, {0.4f, 0.4f, 0.6f, 0.5f}, 1, 2, 5, 2};
constexpr PanelLook kScoreLook{{0.2f, 0.1f, 0.1f, 0.5f}, {0.5f, 0.3f, 0.2f, 0.6f}, 3, 3, 6, 3};
constexpr PanelLook kProgressLook{{0.1f, 0.1f, 0.2f, 0.6f}, {0.3f, 0.3f, 0.5f, 0.6f}, 1, 2, 5, 2};
constexpr PanelLook kChainLook{{0.3f, 0.2f, 0.1f, 0.6f}, {0.6f, 0.4f, 0.2f, 0.7f}, 3, 0, 6, 2};
constexpr PanelLook kResultLook{{0.1f, 0.1f, 0.15f, 0.5f}, {0.5f, 0.5f, 0.6f, 0.5f}, 1, 3, 5, 2};
constexpr PanelLook kTitleLook{{0.15f, 0.1f, 0.25f, 0.6f}, {0.6f, 0.5f, 0.8f, 0.6f}, 3, 3, 6, 4};
constexpr PanelLook kShareLook{{0.1f, 0.15f, 0.1f, 0.5f}, {0.4f, 0.6f, 0.4f, 0.5f}, 1, 2, 4, 2};
constexpr PanelLook kCountLook{{0.05f, 0.05f, 0.1f, 0.4f}, {0.3f, 0.3f, 0.4f, 0.5f}, 1, 1, 3, 2};
constexpr PanelLook kFooterLook{{0.2f, 0.15f, 0.05f, 0.5f}, {0.6f, 0.5f, 0.3f, 0.5f}, 1, 2, 5, 2};
constexpr PanelLook kPromptLook{{0.1f, 0.1f, 0.1f, 0.6f}, {0.6f, 0.6f, 0.6f, 0.6f}, 1, 2, 6, 2};

bool English() {
  return gApp.languageFlag != 0;
}

PanelText Text(std::string text, float r, float g, float b, float a = 1.0f, int font = 5) {
  PanelText t;
  t.text = std::move(text);
  t.r = r;
  t.g = g;
  t.b = b;
  t.a = a;
  t.font = font;
  return t;
}

PanelText GreyText(std::string text, int font = 5) {
  PanelText t;
  t.text = std::move(text);
  t.font = font;
  return t;
}

// A share of the score in whole percent, truncated; 0 without a score.
int SharePercent(int32_t part, int32_t score) {
  if (score <= 0) return 0;
  // Integer arithmetic: a float quotient can land one below the exact value.
  return static_cast<int>(static_cast<int64_t>(part) * 100 / score);
}

// Slots 0..7 read in the tag's own colour: highlighted when counted, grey when not.
PanelText CountLine(std::string text, int count, int narrowFont) {
  if (count != 0) return Text(std::move(text), 0.9f, 1.0f, 1.0f, 1.0f, FontForWindow(narrowFont));
  return GreyText(std::move(text), FontForWindow(narrowFont));
}

PanelText CountValue(int count) {
  std::string text = Format("%3d", count);
  if (count != 0) return Text(std::move(text), 1.0f, 1.0f, 1.0f);
  return GreyText(std::move(text));
}

void DrawLook(const Panel* p, const PanelLook& look) {
  FlatDrawing();
  FillPanel(p, look.fill[0], look.fill[1], look.fill[2], look.fill[3]);
  if (look.thickness > 0) {
    OutlinePanel(p, look.inset, look.thickness, look.line[0], look.line[1], look.line[2],
                 look.line[3]);
  }
}

void DrawLineText(const Panel* p, const PanelText& t, int dx, int dy) {
  if (t.text.empty()) return;
  SetNextTextColour(t.r, t.g, t.b, t.a);
  ApplyTextColour();
  DrawTextAt(t.text, t.font, static_cast<float>(p->x + dx), static_cast<float>(p->y + dy),
             t.colours);
}

// The usual text panel: its backdrop, then its text.
void DrawTextPanel(const Panel* p, const PanelLook& look, const PanelText& t) {
  if (p == nullptr) return;
  DrawLook(p, look);
  DrawLineText(p, t, look.textX, look.textY);
}

}  // namespace

void SetNextTextColour(float r, float g, float b, float a) {
  gPending.r = r;
  gPending.g = g;
  gPending.b = b;
  gPending.a = a;
  gPending.set = true;
}

void ApplyTextColour() {
  if (gPending.set) {
    SetColor(gPending.a, gPending.r, gPending.g, gPending.b);
  } else {
    SetColor(1.0f, 0.7f, 0.7f, 0.7f);
  }
  gPending.set = false;
}

int FontForWindow(int narrowFont) {
  return gApp.windowWidth > 979 ? 5 : narrowFont;
}

// ------------------------------------------------------------------ texts

PanelText LastRemovalText() {
  const char* label = English() ? "Last" : "Сбор"_w;
  return GreyText(Format("%s %2d (+%d)", label, gGame.lastRemoval, gGame.lastPoints));
}

PanelText BestPointsText() {
  return GreyText(Format("+%d лучший"_w, gGame.bestPoints));
}

PanelText ScoreText() {
  return Text(Format("%5d", gGame.score), 1.0f, 1.0f, 0.5f, 1.0f, 6);
}

bool ChainGaugeShown() {
  return gOptions.chainDisplay != 0 && gGame.chainNumber > 1;
}

PanelText ChainLabelText() {
  if (!ChainGaugeShown()) return PanelText{};
  std::string text;
  if (gGame.chainNumber >= 9) {
    text = English() ? "Chain9 (no more)" : "Цэпь9 (не более)"_w;
  } else {
    text = Format(English() ? "Chain%d (nxt +%d)" : "Цэпь%d (сле. +%d)"_w, gGame.chainNumber,
                  gGame.chainBonus);
  }
  return Text(std::move(text), 0.9f, 0.8f, 0.6f);
}

PanelText StageProgressText(int* percentOut) {
  int percent = 0;
  if (gGame.stageTarget != 0) {
    const float share =
        static_cast<float>(gGame.stageCubes) / static_cast<float>(gGame.stageTarget);
    percent = static_cast<int>(share * 100.0f);
  }
  if (percent > 100) percent = 100;
  const bool stageEnding = gGame.stageEndTimer > 0 || gGame.stageEndStarted != 0;
  PanelText t = Text(std::string(), 1.0f, 1.0f, 1.0f);
  if (!stageEnding && percent < 100 && !PanelVisible(StageResultsPanel)) {
    t.text = Format(" Этап%1d:%3d%%"_w, gGame.stage, percent);
  } else {
    t.text = Format(" Этап%1d:100%%"_w, gGame.stage);
  }
  // Blank and percent sign red, the word white, the digit yellow, the value cyan.
  t.colours = "raaaaqacccr";
  if (percentOut != nullptr) *percentOut = percent;
  return t;
}

PanelText TotalScoreText() {
  return Text(Format(" Все очки: %5d"_w, gGame.score), 1.0f, 0.8824f, 0.1059f, 1.0f,
              FontForWindow(4));
}

PanelText StageScoreText() {
  return Text(Format(" Этап очки:%5d"_w, gGame.score - gGame.stageStartScore), 0.1373f, 1.0f,
              0.4235f, 1.0f, FontForWindow(4));
}

PanelText CubesText() {
  return Text(Format(" Куб%3d; Все%4d"_w, gGame.stageRemoved, gGame.cubes), 1.0f, 0.3725f, 0.3529f);
}

PanelText ResultsTitleText() {
  return Text(Format(" ИТОГИ %d-й этап"_w, gGame.stage), 0.8f, 0.8f, 1.0f, 1.0f);
}

PanelText ChainShareText() {
  return GreyText(Format("цэп:%02d%%"_w, SharePercent(gGame.chainBonusSum, gGame.score)));
}

PanelText CollectShareText() {
  return GreyText(Format("сбо:%02d%%"_w, SharePercent(gGame.pointsSum, gGame.score)));
}

PanelText ChainCountLineText(int tag) {
  if (tag == 8) return Text(Format("Все %2d"_w, StatSum(gGame.stageChains)), 1.0f, 1.0f, 0.6f);
  if (tag < 0 || tag > 7) return PanelText{};
  const int count = StatCount(gGame.stageChains, tag);
  return CountLine(Format("Ц%d:%2d"_w, tag + 2, count), count, 4);
}

PanelText ChainCountValueText(int tag) {
  if (tag == 8) return CountValue(StatSum(gGame.gameChains));
  if (tag < 0 || tag > 7) return PanelText{};
  return CountValue(StatCount(gGame.gameChains, tag));
}

PanelText SizeCountLineText(int tag) {
  if (tag == 8) return Text(Format("Все %2d"_w, StatSum(gGame.stageSizes)), 1.0f, 1.0f, 0.6f);
  if (tag < 0 || tag > 7) return PanelText{};
  const int count = StatCount(gGame.stageSizes, tag);
  // Slot 7 counts removals of ten cells and more.
  std::string text = tag == 7 ? Format("хX:%2d"_w, count) : Format("х%d:%2d"_w, tag + 3, count);
  return CountLine(std::move(text), count, 3);
}

PanelText SizeCountValueText(int tag) {
  if (tag == 8) return CountValue(StatSum(gGame.gameSizes));
  if (tag < 0 || tag > 7) return PanelText{};
  return CountValue(StatCount(gGame.gameSizes, tag));
}

PanelText ChainFooterText() {
  return GreyText(Format("эт. +%d"_w, gGame.stageChainBonus));
}

PanelText SizeFooterText() {
  return GreyText(Format("эт. +%d"_w, gGame.stagePoints));
}

PanelText ResultsPromptText() {
  // Shown once the panel may be closed: no name pending, the close lock run out.
  if (gGame.nameInput != 0 || gGame.closeLock != 0) return PanelText{};
  return GreyText(Message(12));
}

// -------------------------------------------------------------- callbacks

void DrawLastRemoval(Panel* p) {
  DrawTextPanel(p, kStatusLook, LastRemovalText());
}
void DrawBestPoints(Panel* p) {
  DrawTextPanel(p, kBestLook, BestPointsText());
}
void DrawScore(Panel* p) {
  DrawTextPanel(p, kScoreLook, ScoreText());
}

void DrawChainGauge(Panel* p) {
  if (p == nullptr || !ChainGaugeShown() || p->h <= 0) return;
  FlatDrawing();
  FillPanel(p, 0.05f, 0.05f, 0.1f, 0.6f);
  // Squares past the right edge would only be clipped away.
  int count = gGame.chainNumber;
  const int fit = p->w / p->h + 1;
  if (count > fit) count = fit;
  BindTextureSlot(gTextures, 20);
  SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  const float side = static_cast<float>(p->h);
  for (int i = 0; i < count; ++i) {
    Quad(static_cast<float>(p->x) + side * static_cast<float>(i), static_cast<float>(p->y), side,
         side, 1);
  }
  DisableTexturing();
}

void DrawChainLabel(Panel* p) {
  if (p == nullptr) return;
  const PanelText t = ChainLabelText();
  if (t.text.empty()) return;
  DrawLook(p, kChainLook);
  OutlinePanel(p, 4, 3, 0.9f, 0.8f, 0.6f, 0.4f);
  DrawLineText(p, t, kChainLook.textX, kChainLook.textY);
}

void DrawStageProgress(Panel* p) {
  if (p == nullptr) return;
  int percent = 0;
  const PanelText t = StageProgressText(&percent);
  gStageProgressShown = static_cast<float>(percent);
  DrawTextPanel(p, kProgressLook, t);
}

void DrawTotalScore(Panel* p) {
  DrawTextPanel(p, kResultLook, TotalScoreText());
}
void DrawStageScore(Panel* p) {
  DrawTextPanel(p, kResultLook, StageScoreText());
}
void DrawCubes(Panel* p) {
  DrawTextPanel(p, kResultLook, CubesText());
}
void DrawResultsTitle(Panel* p) {
  DrawTextPanel(p, kTitleLook, ResultsTitleText());
}
void DrawChainShare(Panel* p) {
  DrawTextPanel(p, kShareLook, ChainShareText());
}
void DrawCollectShare(Panel* p) {
  DrawTextPanel(p, kShareLook, CollectShareText());
}

void DrawChainCountLine(Panel* p) {
  if (p != nullptr) DrawTextPanel(p, kCountLook, ChainCountLineText(p->tag));
}
void DrawChainCountValue(Panel* p) {
  if (p != nullptr) DrawTextPanel(p, kCountLook, ChainCountValueText(p->tag));
}
void DrawSizeCountLine(Panel* p) {
  if (p != nullptr) DrawTextPanel(p, kCountLook, SizeCountLineText(p->tag));
}
void DrawSizeCountValue(Panel* p) {
  if (p != nullptr) DrawTextPanel(p, kCountLook, SizeCountValueText(p->tag));
}

void DrawChainFooter(Panel* p) {
  DrawTextPanel(p, kFooterLook, ChainFooterText());
}
void DrawSizeFooter(Panel* p) {
  DrawTextPanel(p, kFooterLook, SizeFooterText());
}

void DrawResultsPrompt(Panel* p) {
  if (p == nullptr) return;
  const PanelText t = ResultsPromptText();
  if (t.text.empty()) return;
  DrawTextPanel(p, kPromptLook, t);
}

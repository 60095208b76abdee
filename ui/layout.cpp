#include "ui/layout.h"

#include <GL/gl.h>

#include "base/text.h"
#include "game/game_state.h"
#include "gfx/draw.h"
#include "gfx/draw_cache.h"
#include "gfx/texture.h"
#include "ui/field_choice.h"
#include "ui/fonts.h"
#include "ui/name_entry.h"
#include "ui/options_menu.h"
#include "ui/panel_tree.h"
#include "ui/records_view.h"
#include "ui/status_panels.h"

namespace {

constexpr ByteColour kBorderEdge{127, 127, 127};
constexpr ByteColour kBorderMiddle{0, 0, 0};

float X(const Panel* p) {
  return static_cast<float>(p->x);
}
float Y(const Panel* p) {
  return static_cast<float>(p->y);
}
float W(const Panel* p) {
  return static_cast<float>(p->w);
}
float H(const Panel* p) {
  return static_cast<float>(p->h);
}

// ------------------------------------------------------------ frame styles

struct BoxStyle {
  float fill[4];
  float line[4];
};

void DrawBox(const Panel* p, const BoxStyle& s) {
  if (p == nullptr) return;
  FlatDrawing();
  FillPanel(p, s.fill[0], s.fill[1], s.fill[2], s.fill[3]);
  OutlinePanel(p, 0, 3, s.line[0], s.line[1], s.line[2], s.line[3]);
}

constexpr BoxStyle kStyleA{{0.2f, 0.3f, 0.3f, 0.5f}, {0.4f, 0.3f, 0.5f, 0.7f}};
constexpr BoxStyle kStyleB{{0.2f, 0.4f, 0.3f, 0.9f}, {0.3f, 0.5f, 0.4f, 0.8f}};
constexpr BoxStyle kListStyle{{0.2f, 0.2f, 0.2f, 0.7f}, {0.3f, 0.3f, 0.3f, 0.9f}};
constexpr BoxStyle kDialogStyle{{0.3f, 0.15f, 0.1f, 1.0f}, {0.3f, 0.1f, 0.0f, 0.8f}};

void DrawFrameA(Panel* p) {
  DrawBox(p, kStyleA);
}
void DrawFrameB(Panel* p) {
  DrawBox(p, kStyleB);
}
void DrawListFrame(Panel* p) {
  DrawBox(p, kListStyle);
}
void DrawDialogFrame(Panel* p) {
  DrawBox(p, kDialogStyle);
}

// A fixed text in the menu yellow, font 5.
void DrawMenuText(const char* text, float x, float y) {
  SetColor(1.0f, 0.9f, 0.9f, 0.5f);
  DrawTextAt(text, 5, x, y);
}

// ------------------------------------------------------------ backdrops

void ResultsGradient(const Panel* p) {
  FlatDrawing();
  GreyVGradientQuad(0.5f, 0.1f, 0.7f, X(p), Y(p), W(p), H(p), 1);
}

void DrawResultsBackdrop(Panel* p) {
  if (p == nullptr) return;
  // The border lies outside the panel, so the clip must let it through.
  SetScissor(0, 0, gRootPanel.w, gRootPanel.h);
  ResultsGradient(p);
  DrawPanelBorder(p, kBlendNormal, nullptr, 16.0f, 1);
}

void DrawColumnBackdrop(Panel* p) {
  if (p != nullptr) ResultsGradient(p);
}

void DrawPauseHint(Panel* p) {
  if (p == nullptr) return;
  FlatDrawing();
  const float half = static_cast<float>(p->h / 2);
  GreyVGradientQuad(0.3f, 0.2f, 0.5f, X(p), Y(p), W(p), half, 1);
  GreyVGradientQuad(0.2f, 0.3f, 0.5f, X(p), Y(p) + half, W(p), H(p) - half, 1);
  SetColor(0.7f, 0.7f, 0.7f, 0.7f);
  DrawTextAt("пауза= лево+пра"_w, 5, X(p) + 2.0f, Y(p) + 2.0f);
}

// Two alpha gradients meeting in the middle of the panel.
void SplitAlphaBackdrop(const Panel* p, float grey, float edgeAlpha, float middleAlpha) {
  FlatDrawing();
  const float half = static_cast<float>(p->h / 2);
  AlphaVGradientQuad(grey, middleAlpha, edgeAlpha, X(p), Y(p), W(p), half, 1);
  AlphaVGradientQuad(grey, edgeAlpha, middleAlpha, X(p), Y(p) + half, W(p), H(p) - half, 1);
}

void DrawBonusBackdrop(Panel* p) {
  if (p != nullptr) SplitAlphaBackdrop(p, 0.1f, 0.6f, 0.3f);
}

bool AnyBonusStored() {
  for (const BonusSlot& s : gGame.bonus) {
    if (s.centre != 0) return true;
  }
  return false;
}

void DrawBonusHint(Panel* p) {
  if (p == nullptr || !AnyBonusStored()) return;
  DrawMenuText("пробел, колёсико вверх"_w, X(p) + 2.0f, Y(p) + 2.0f);
}

// Tile texture of a cell colour: k + 1 for colours 1..9, 17 for the special
// centre; 0 for anything else.
int TileTexture(int colour) {
  if (colour >= 1 && colour <= 9) return colour + 1;
  if (colour == kSpecialCentre) return 17;
  return 0;
}

void DrawTile(int colour, float x, float y, float side) {
  const int texture = TileTexture(colour);
  if (texture == 0) return;
  BindTextureSlot(gTextures, texture);
  Quad(x, y, side, side, 1);
}

// A stored bonus piece: its left cell beside its centre.
void DrawBonusCell(Panel* p) {
  if (p == nullptr || p->tag < 1 || p->tag > static_cast<int>(gGame.bonus.size())) return;
  const BonusSlot& slot = gGame.bonus[static_cast<size_t>(p->tag - 1)];
  if (slot.centre == 0) return;
  float side = H(p) - 4.0f;
  if (side > (W(p) - 4.0f) / 2.0f) side = (W(p) - 4.0f) / 2.0f;
  if (side <= 0.0f) return;
  SetBlend(kBlendNormal);
  SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  const float y = Y(p) + (H(p) - side) / 2.0f;
  DrawTile(slot.left, X(p) + 2.0f, y, side);
  DrawTile(slot.centre, X(p) + 2.0f + side, y, side);
  DisableTexturing();
}

void DrawChoiceBackdrop(Panel* p) {
  if (p != nullptr) SplitAlphaBackdrop(p, 0.0f, 0.2f, 1.0f);
}

void DrawChoiceTitle(Panel* p) {
  if (p != nullptr) DrawMenuText("Выбирай версию поля"_w, X(p) + H(p), Y(p) + 2.0f);
}

void DrawChoiceHint(Panel* p) {
  if (p != nullptr) DrawMenuText("Лево-право, Поворот"_w, X(p) + H(p), Y(p) + 2.0f);
}

void DrawOptionsHeader(Panel* p) {
  if (p == nullptr) return;
  FlatDrawing();
  FillPanel(p, 0.7f, 0.8f, 0.8f, 0.5f);
  DrawMenuText("лево-право отмечаем строку"_w, X(p) + 2.0f, Y(p) + 2.0f);
}

void DrawOptionsFooter(Panel* p) {
  if (p == nullptr) return;
  FlatDrawing();
  FillPanel(p, 0.8f, 0.7f, 0.7f, 0.5f);
  DrawMenuText("поворот меняет опцию"_w, X(p) + 2.0f, Y(p) + 2.0f);
}

void DrawTitleLine(Panel* p) {
  if (p == nullptr) return;
  SetBlend(kBlendNormal);
  BindTextureSlot(gTextures, 25);
  SetColor(0.8f, 1.0f, 1.0f, 1.0f);
  Quad(X(p), Y(p), W(p), H(p), 1);
  DisableTexturing();
  SetColor(1.0f, 0.9f, 0.9f, 0.9f);
  DrawTextAt(" <> vornadel-Dromo v2", 2, X(p) + 2.0f, Y(p) + 1.0f);
}

// ------------------------------------------------------------ building

Panel* Make(Panel* parent, PanelCallback draw, float fx, float fy, float fw, float fh, int anchor,
            int relative, bool visible) {
  Panel* p = CreatePanel(parent, draw, nullptr, fx, fy, fw, fh, anchor, relative);
  p->visible = visible ? 1 : 0;
  return p;
}

constexpr int kWin = 0, kPar = 1;

// A statistics column: nine line panels tagged 8 at the top down to 0, and
// optionally nine value panels beside them.
void StatColumn(Panel* column, PanelCallback line, PanelCallback value) {
  MakePanelGrid(Make(column, line, 0.00f, 0.00f, 0.60f, 0.10f, 11, kPar, true), 1, 9, 8, 1);
  if (value != nullptr) {
    MakePanelGrid(Make(column, value, 0.65f, 0.00f, 0.35f, 0.10f, 11, kPar, true), 1, 9, 8, 1);
  }
}

void BuildStageResults() {
  Panel* results = Make(nullptr, DrawResultsBackdrop, 0.01f, 0.25f, 0.67f, 0.65f, 7, kWin, true);
  StageResultsPanel = results;

  Panel* left = Make(results, DrawColumnBackdrop, 0.00f, 0.20f, 0.28f, 0.75f, 7, kPar, true);
  StatColumn(left, DrawChainCountLine, DrawChainCountValue);
  Make(left, DrawChainFooter, 0.00f, 0.00f, 0.85f, 0.10f, 6, kPar, true);

  Panel* right = Make(results, DrawColumnBackdrop, 0.72f, 0.20f, 0.28f, 0.75f, 7, kPar, true);
  StatColumn(right, DrawSizeCountLine, DrawSizeCountValue);
  Make(right, DrawSizeFooter, 0.00f, 0.00f, 0.85f, 0.10f, 6, kPar, true);

  Panel* centre = Make(results, nullptr, 0.00f, 0.32f, 0.40f, 0.60f, 6, kPar, true);
  Make(centre, DrawTotalScore, 0.00f, 0.10f, 1.00f, 0.15f, 6, kPar, true);
  Make(centre, DrawStageScore, 0.00f, 0.30f, 1.00f, 0.15f, 6, kPar, true);
  Make(centre, DrawCubes, 0.00f, 0.55f, 1.00f, 0.15f, 6, kPar, true);
  Make(centre, DrawResultsTitle, 0.00f, 0.80f, 1.00f, 0.20f, 6, kPar, true);
  Make(centre, DrawChainShare, 0.04f, 0.00f, 0.46f, 0.10f, 7, kPar, true);
  Make(centre, DrawCollectShare, 0.54f, 0.00f, 0.46f, 0.10f, 7, kPar, true);

  Make(results, DrawResultsPrompt, 0.25f, 0.04f, 0.50f, 0.10f, 7, kPar, true);
  results->visible = 0;
}

void BuildResultsColumns() {
  Panel* columns = Make(nullptr, nullptr, 0.01f, 0.25f, 0.67f, 0.65f, 7, kWin, true);
  ResultsColumnsPanel = columns;
  StatColumn(Make(columns, nullptr, 0.00f, 0.20f, 0.28f, 0.75f, 7, kPar, true), DrawChainCountLine,
             nullptr);
  StatColumn(Make(columns, nullptr, 0.74f, 0.20f, 0.28f, 0.75f, 7, kPar, true), DrawSizeCountLine,
             nullptr);
}

void BuildRecordLists() {
  RecordsPanel = Make(nullptr, DrawFrameB, 0.72f, 0.02f, 0.265f, 0.94f, 7, kWin, false);
  MakePanelGrid(Make(RecordsPanel, DrawRecordName, 0.00f, -0.01f, 0.63f, 0.05f, 11, kPar, true), 1,
                20, 0, 0);
  MakePanelGrid(Make(RecordsPanel, DrawRecordTail, 0.65f, -0.01f, 0.34f, 0.05f, 11, kPar, true), 1,
                20, 0, 0);

  RecordsStripPanel = Make(nullptr, DrawFrameA, 0.87f, 0.02f, 0.13f, 0.94f, 7, kWin, false);
  MakePanelGrid(
      Make(RecordsStripPanel, DrawRecordStripRow, 0.00f, -0.01f, 1.00f, 0.05f, 11, kPar, true), 1,
      20, 0, 0);

  SideInfoPanel = Make(nullptr, DrawSideInfo, 0.85f, 0.56f, 0.14f, 0.30f, 7, kWin, false);
}

void BuildBonus() {
  BonusPanel = Make(nullptr, DrawBonusBackdrop, 0.05f, 0.02f, 0.50f, 0.12f, 7, kWin, false);
  Make(BonusPanel, DrawBonusHint, 0.10f, 0.71f, 0.80f, 0.26f, 7, kPar, true);
  Panel* row = Make(BonusPanel, nullptr, 0.05f, 0.03f, 0.90f, 0.68f, 7, kPar, true);
  MakePanelGrid(Make(row, DrawBonusCell, 0.00f, 0.00f, 1.0f / 3.0f, 1.00f, 11, kPar, true), 3, 1, 1,
                0);
}

void BuildFieldChoice() {
  FieldChoicePanel = Make(nullptr, DrawChoiceBackdrop, 0.05f, 0.03f, 0.70f, 0.24f, 7, kWin, false);
  Make(FieldChoicePanel, DrawChoiceTitle, 0.10f, 0.66f, 0.80f, 0.32f, 7, kPar, true);
  Panel* row = Make(FieldChoicePanel, nullptr, 0.05f, 0.33f, 0.90f, 0.32f, 7, kPar, true);
  MakePanelGrid(Make(row, DrawShapeCell, 0.00f, 0.00f, 1.0f / 6.0f, 1.00f, 11, kPar, true), 6, 1, 1,
                0);
  Make(FieldChoicePanel, DrawChoiceHint, 0.10f, 0.00f, 0.80f, 0.32f, 7, kPar, true);
}

constexpr int kOptionLines = 9;

void BuildOptions() {
  OptionsPanel = Make(nullptr, DrawDialogFrame, 0.01f, 0.17f, 0.61f, 0.73f, 7, kWin, false);
  Make(OptionsPanel, DrawOptionsHeader, 0.15f, 0.92f, 0.70f, 0.07f, 7, kPar, true);
  Panel* box = Make(OptionsPanel, DrawListFrame, 0.05f, 0.09f, 0.90f, 0.82f, 7, kPar, true);
  MakePanelGrid(Make(box, DrawOptionLine, 0.00f, 0.00f, 1.00f, 1.0f / kOptionLines, 11, kPar, true),
                1, kOptionLines, 1, 0);
  Make(OptionsPanel, DrawOptionsFooter, 0.25f, 0.01f, 0.50f, 0.07f, 7, kPar, true);
}

void BuildNameEntry() {
  NameEntryPanel = Make(nullptr, DrawDialogFrame, 0.52f, 0.05f, 0.43f, 0.30f, 7, kWin, false);
  Make(NameEntryPanel, DrawFrameA, 0.10f, 0.80f, 0.80f, 0.20f, 7, kPar, true);
  Panel* block = Make(NameEntryPanel, nullptr, 0.00f, 0.20f, 1.00f, 0.60f, 7, kPar, true);
  MakePanelGrid(Make(block, DrawNameCell, 0.00f, 0.00f, 1.0f / 11.0f, 1.0f / 3.0f, 11, kPar, true),
                11, 3, 1, 0);
  Make(NameEntryPanel, DrawListFrame, 0.00f, 0.00f, 0.80f, 0.20f, 7, kPar, true);
}

// ------------------------------------------------------------ drawing

void DrawPanelRec(Panel* p) {
  if (p == nullptr || !p->visible) return;
  SetScissor(p->x - 1, p->y - 1, p->w + 2, p->h + 2);
  SetScissorTest(1);
  if (p->draw != nullptr) p->draw(p);
  for (Panel* c : p->children) DrawPanelRec(c);
  SetScissorTest(0);
}

// Layer item kinds: a top-level panel with its sub-tree, the root's own
// clip around them, a frame border.
constexpr int kItemPanel = 0, kItemRootClip = 1, kItemRootEnd = 2, kItemBorder = 3;

// The tree as layer items: what the root does before and after its
// children, and each top-level panel on its own.
void RecordPanelTree() {
  Panel* root = &gRootPanel;
  if (!root->visible) return;
  BeginLayerItem(root, kItemRootClip);
  SetScissor(root->x - 1, root->y - 1, root->w + 2, root->h + 2);
  SetScissorTest(1);
  if (root->draw != nullptr) root->draw(root);
  EndLayerItem();
  for (Panel* c : root->children) {
    if (c == nullptr || !c->visible) continue;
    BeginLayerItem(c, kItemPanel);
    DrawPanelRec(c);
    EndLayerItem();
  }
  BeginLayerItem(root, kItemRootEnd);
  SetScissorTest(0);
  EndLayerItem();
}

}  // namespace

// ---------------------------------------------------------------- helpers

void FlatDrawing() {
  SetBlend(kBlendNormal);
  DisableTexturing();
}

void FillRect(float x, float y, float w, float h, float r, float g, float b, float a) {
  SetColor(a, r, g, b);
  Quad(x, y, w, h, 1);
}

void FillPanel(const Panel* p, float r, float g, float b, float a) {
  if (p != nullptr) FillRect(X(p), Y(p), W(p), H(p), r, g, b, a);
}

void OutlineRect(float x, float y, float w, float h, int thickness, float r, float g, float b,
                 float a) {
  const float t = static_cast<float>(thickness);
  if (t <= 0.0f || w <= 0.0f || h <= 0.0f) return;
  SetColor(a, r, g, b);
  if (w <= 2.0f * t || h <= 2.0f * t) {
    Quad(x, y, w, h, 1);  // too small for a hole
    return;
  }
  // Four bars rather than wide GL lines: exact pixels on every renderer.
  const float bars[16] = {x,         y,         w, t,             //
                          x,         y + h - t, w, t,             //
                          x,         y + t,     t, h - 2.0f * t,  //
                          x + w - t, y + t,     t, h - 2.0f * t};
  Quads(bars, 4);
}

void OutlinePanel(const Panel* p, int inset, int thickness, float r, float g, float b, float a) {
  if (p == nullptr) return;
  const float i = static_cast<float>(inset);
  OutlineRect(X(p) + i, Y(p) + i, W(p) - 2.0f * i, H(p) - 2.0f * i, thickness, r, g, b, a);
}

// ---------------------------------------------------------------- layout

void BuildPanelLayout() {
  ReleasePanelTree();  // a second build replaces the first
  Make(nullptr, DrawPauseHint, 0.62f, 0.30f, 0.23f, 0.04f, 7, kWin, true);
  Make(nullptr, DrawLastRemoval, 0.62f, 0.37f, 0.23f, 0.05f, 7, kWin, true);
  Make(nullptr, DrawBestPoints, 0.67f, 0.42f, 0.18f, 0.04f, 7, kWin, true);
  Make(nullptr, DrawScore, 0.72f, 0.48f, 0.13f, 0.06f, 7, kWin, true);
  Make(nullptr, DrawChainGauge, 0.64f, 0.56f, 0.20f, 0.021f, 7, kWin, true);
  Make(nullptr, DrawChainLabel, 0.62f, 0.58f, 0.24f, 0.04f, 7, kWin, true);
  Make(nullptr, DrawStageProgress, 0.64f, 0.65f, 0.20f, 0.045f, 7, kWin, true);
  BuildStageResults();
  BuildResultsColumns();
  BuildRecordLists();
  BuildBonus();
  BuildFieldChoice();
  BuildOptions();
  BuildNameEntry();
  Make(nullptr, DrawTitleLine, 0.00f, 0.00f, 0.25f, 0.02f, 1, kWin, true);
  HintStripPanel = Make(nullptr, nullptr, 0.03f, 0.02f, 0.70f, 0.04f, 7, kWin, true);
}

void DrawPanelTree() {
  const int w = gRootPanel.w, h = gRootPanel.h;
  if (DrawProbing()) {
    const int view[2] = {w, h};
    FoldIntoProbe(view, sizeof view);
    DrawPanelRec(&gRootPanel);
    return;
  }
  glViewport(0, 0, w, h);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, static_cast<double>(w), 0.0, static_cast<double>(h), -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // Inside the layer the calls are drawn when it closes, under the window's
  // 2D projection, which is this one.
  if (CachedLayerOpen() && !DrawRecording())
    RecordPanelTree();
  else
    DrawPanelRec(&gRootPanel);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void DrawPanelBorder(Panel* p, int blendPreset, const FrameStyle* style, float border, int outset) {
  if (p == nullptr || !p->visible) return;
  const bool item = CachedLayerOpen() && !DrawRecording();
  if (item) BeginLayerItem(p, kItemBorder);
  SetBlend(blendPreset);
  // A null style is the default bevel.
  DrawFrame(style, X(p), Y(p), W(p), H(p), border, outset, kBorderEdge, kBorderMiddle);
  if (item) EndLayerItem();
}

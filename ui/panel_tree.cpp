#include "ui/panel_tree.h"

#include <cstddef>

#include "platform/platform.h"

Panel gRootPanel;

Panel* OptionsPanel = nullptr;
Panel* NameEntryPanel = nullptr;
Panel* StageResultsPanel = nullptr;
Panel* ResultsColumnsPanel = nullptr;
Panel* RecordsPanel = nullptr;
Panel* RecordsStripPanel = nullptr;
Panel* FieldChoicePanel = nullptr;
Panel* BonusPanel = nullptr;
Panel* SideInfoPanel = nullptr;
Panel* HintStripPanel = nullptr;

namespace {

bool gMouseTaken = false;

bool gMouseOverride = false;
int gOverrideX = 0, gOverrideY = 0;

bool AnchorAccepted(int a) {
  switch (a) {
    case 0:
    case 1:
    case 3:
    case 5:
    case 6:
    case 7:
    case 9:
    case 11:
    case 12:
    case 25:
    case 45:
    case 65:
    case 85:
      return true;
    default:
      return false;
  }
}

void FreeSubtree(Panel* p) {
  for (Panel* c : p->children) {
    if (c == nullptr) continue;
    FreeSubtree(c);
    delete c;
  }
  p->children.clear();
}

// Deep copy of `src` moved by (dx, dy), appended to `newParent`.
Panel* CloneWithOffset(const Panel* src, Panel* newParent, int dx, int dy) {
  auto* copy = new Panel;
  copy->x = src->x + dx;
  copy->y = src->y + dy;
  copy->w = src->w;
  copy->h = src->h;
  copy->anchor = src->anchor;
  copy->hovered = src->hovered;
  copy->lastEvent = src->lastEvent;
  copy->tag = src->tag;
  copy->visible = src->visible;
  copy->draw = src->draw;
  copy->action = src->action;
  copy->parent = newParent;
  newParent->children.push_back(copy);
  for (const Panel* c : src->children) {
    if (c != nullptr) CloneWithOffset(c, copy, dx, dy);
  }
  return copy;
}

// The point test of HitTestPanel with the mouse already sampled.
bool HitAt(const Panel* p, bool asChild, int mx, int my) {
  if (!PointInRect(mx, my, p->x, p->y, p->w, p->h)) return false;
  if (asChild) return true;
  // Children cover their parent by rectangle alone, visible or not.
  for (auto it = p->children.rbegin(); it != p->children.rend(); ++it) {
    const Panel* c = *it;
    if (c != nullptr && PointInRect(mx, my, c->x, c->y, c->w, c->h)) return false;
  }
  return true;
}

void MousePassVisit(Panel* p, int eventCode, int mx, int my) {
  if (p == nullptr || !p->visible) return;
  p->hovered = 0;
  if (!gMouseTaken && HitAt(p, false, mx, my)) {
    p->hovered = 1;
    if (eventCode != 0 && p->action != nullptr) {
      p->lastEvent = eventCode;
      p->action(p);
    } else {
      p->lastEvent = 0;
    }
    gMouseTaken = true;
  }
  // Later children are drawn on top, so they are asked first.
  for (std::size_t i = p->children.size(); i > 0; --i)
    MousePassVisit(p->children[i - 1], eventCode, mx, my);
}

}  // namespace

void SetRootPanel(int width, int height) {
  gRootPanel.x = 0;
  gRootPanel.y = 0;
  gRootPanel.w = width;
  gRootPanel.h = height;
  gRootPanel.draw = nullptr;
  gRootPanel.action = nullptr;
  gRootPanel.anchor = 0;
  gRootPanel.visible = 1;
  gRootPanel.parent = nullptr;
}

void PlacePanel(Panel* p, float fx, float fy, float fw, float fh, int anchor, int relative) {
  if (p == nullptr) return;
  const Panel& b = p->parent != nullptr ? *p->parent : gRootPanel;
  const bool rel = relative != 0 && p->parent != nullptr;
  const float rw = static_cast<float>(rel ? p->parent->w : gRootPanel.w);
  const float rh = static_cast<float>(rel ? p->parent->h : gRootPanel.h);
  const float afw = fw < 0 ? -fw : fw;
  const float afh = fh < 0 ? -fh : fh;
  p->w = static_cast<int32_t>(afw * rw);
  p->h = static_cast<int32_t>(afh * rh);
  p->anchor = AnchorAccepted(anchor) ? anchor : 0;

  const float cx = static_cast<float>(b.x) + static_cast<float>(b.w) * 0.5f;
  const float cy = static_cast<float>(b.y) + static_cast<float>(b.h) * 0.5f;
  const float left = static_cast<float>(b.x);
  const float right = static_cast<float>(b.x + b.w - p->w);
  const float bottom = static_cast<float>(b.y);
  const float top = static_cast<float>(b.y + b.h - p->h);
  const float midX = cx - static_cast<float>(p->w / 2);
  const float midY = cy - static_cast<float>(p->h / 2);
  float ax = midX, ay = midY;  // 0 and the other accepted codes: centred
  switch (p->anchor) {
    case 12:
      ay = top;
      break;
    case 1:
      ax = right;
      ay = top;
      break;
    case 3:
      ax = right;
      break;
    case 5:
      ax = right;
      ay = bottom;
      break;
    case 6:
      ay = bottom;
      break;
    case 7:
      ax = left;
      ay = bottom;
      break;
    case 9:
      ax = left;
      break;
    case 11:
      ax = left;
      ay = top;
      break;
    default:
      break;
  }
  const float iax = static_cast<float>(static_cast<int>(ax));
  const float iay = static_cast<float>(static_cast<int>(ay));
  p->x = static_cast<int32_t>(iax + fx * rw);
  p->y = static_cast<int32_t>(iay + fy * rh);
}

Panel* CreatePanel(Panel* parent, PanelCallback draw, PanelCallback action, float fx, float fy,
                   float fw, float fh, int anchor, int relative) {
  auto* p = new Panel;
  // Top-level panels hang under the root, which is also their base.
  p->parent = parent != nullptr ? parent : &gRootPanel;
  p->draw = draw;
  p->action = action;
  PlacePanel(p, fx, fy, fw, fh, anchor, relative);
  p->parent->children.push_back(p);
  return p;
}

void SetPanelTag(Panel* p, int tag, int recursive) {
  if (p == nullptr) return;
  p->tag = tag;
  if (!recursive) return;
  for (Panel* c : p->children) SetPanelTag(c, tag, 1);
}

Panel* ClonePanelRight(Panel* p) {
  if (p == nullptr || p->parent == nullptr) return nullptr;
  return CloneWithOffset(p, p->parent, p->w, 0);
}

Panel* ClonePanelBelow(Panel* p) {
  if (p == nullptr || p->parent == nullptr) return nullptr;
  return CloneWithOffset(p, p->parent, 0, -p->h);
}

void MakePanelGrid(Panel* p, int columns, int rows, int firstTag, int descending) {
  if (p == nullptr || p->parent == nullptr) return;
  const int step = descending ? -1 : 1;
  int tag = firstTag;
  SetPanelTag(p, tag, 0);
  Panel* rowStart = p;
  for (int r = 0; r < rows; ++r) {
    if (r > 0) {
      rowStart = ClonePanelBelow(rowStart);
      tag += step;
      SetPanelTag(rowStart, tag, 1);
    }
    Panel* cell = rowStart;
    for (int c = 1; c < columns; ++c) {
      cell = ClonePanelRight(cell);
      tag += step;
      SetPanelTag(cell, tag, 1);
    }
  }
}

bool ShowGamePanel(GamePanel panel, bool show) {
  Panel* p = nullptr;
  switch (panel) {
    case kStageResultsPanel:
      p = StageResultsPanel;
      break;
    case kNameEntryPanel:
      p = NameEntryPanel;
      break;
    case kBonusPanel:
      p = BonusPanel;
      break;
  }
  if (p == nullptr) return false;
  ShowPanel(p, show);
  return true;
}

void ReleasePanelTree() {
  FreeSubtree(&gRootPanel);
  OptionsPanel = NameEntryPanel = StageResultsPanel = ResultsColumnsPanel = nullptr;
  RecordsPanel = RecordsStripPanel = FieldChoicePanel = BonusPanel = nullptr;
  SideInfoPanel = HintStripPanel = nullptr;
}

bool PointInRect(int px, int py, int x, int y, int w, int h) {
  return px >= x && px <= x + w && py >= y && py <= y + h;
}

bool HitTestPanel(Panel* p, bool asChild) {
  if (p == nullptr) return false;
  int mx = 0, my = 0;
  GetMouseInWindow(&mx, &my);
  return HitAt(p, asChild, mx, my);
}

void PanelMousePass(int eventCode) {
  gMouseTaken = false;
  // One cursor reading serves the whole walk.
  int mx = 0, my = 0;
  GetMouseInWindow(&mx, &my);
  MousePassVisit(&gRootPanel, eventCode, mx, my);
}

void GetMouseInWindow(int* x, int* y) {
  int mx = gOverrideX, my = gOverrideY;
  if (!gMouseOverride) {
    int cx = 0, cy = 0;
    GetCursorPos(&cx, &cy);
    Rect r{0, 0, 0, 0};
    GetWindowRect(&r);
    // The window is a frameless popup: no border or caption to subtract.
    mx = cx - r.left;
    my = gRootPanel.h - (cy - r.top);
  }
  if (x != nullptr) *x = mx;
  if (y != nullptr) *y = my;
}

void SetMouseInWindowOverride(int active, int x, int y) {
  gMouseOverride = active != 0;
  gOverrideX = x;
  gOverrideY = y;
}

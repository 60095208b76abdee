// The panel tree: every screen element except the well is a rectangle in
// window pixels with a draw callback and a visibility flag, placed once at
// start-up from fractions of the window or of its parent.
#pragma once

#include <cstdint>
#include <vector>

#include "game/host.h"

struct Panel;
using PanelCallback = void (*)(Panel*);

struct Panel {
  int32_t x = 0, y = 0, w = 0, h = 0;  // lower-left corner, y upwards
  int32_t anchor = 0;
  int32_t hovered = 0;
  int32_t lastEvent = 0;
  int32_t tag = 0;
  Panel* parent = nullptr;
  std::vector<Panel*> children;  // drawing order
  PanelCallback draw = nullptr;
  PanelCallback action = nullptr;
  int32_t visible = 0;
};

extern Panel gRootPanel;

// The managed panels (null until the layout is built).
extern Panel* OptionsPanel;
extern Panel* NameEntryPanel;
extern Panel* StageResultsPanel;
extern Panel* ResultsColumnsPanel;
extern Panel* RecordsPanel;
extern Panel* RecordsStripPanel;
extern Panel* FieldChoicePanel;
extern Panel* BonusPanel;
extern Panel* SideInfoPanel;
extern Panel* HintStripPanel;

void SetRootPanel(int width, int height);
Panel* CreatePanel(Panel* parent, PanelCallback draw, PanelCallback action, float fx, float fy,
                   float fw, float fh, int anchor, int relative);
void PlacePanel(Panel* panel, float fx, float fy, float fw, float fh, int anchor, int relative);
void SetPanelTag(Panel* panel, int tag, int recursive);
void MakePanelGrid(Panel* panel, int columns, int rows, int firstTag, int descending);
Panel* ClonePanelRight(Panel* panel);
Panel* ClonePanelBelow(Panel* panel);
// Frees every panel below the root and forgets the managed handles.
void ReleasePanelTree();

bool PointInRect(int px, int py, int x, int y, int w, int h);
bool HitTestPanel(Panel* panel, bool asChild);
void PanelMousePass(int eventCode);
// Mouse position in window pixels, origin at the lower-left corner.
void GetMouseInWindow(int* x, int* y);
// Tests pin the mouse to a window position instead of reading the cursor;
// active = 0 returns to the real cursor.
void SetMouseInWindowOverride(int active, int x, int y);

// Null-safe visibility helpers for the managed panels.  The game flow's
// panels are shown and hidden through ShowGamePanel (game/host.h).
inline bool PanelVisible(const Panel* p) {
  return p != nullptr && p->visible != 0;
}
inline void ShowPanel(Panel* p, bool show) {
  if (p != nullptr) p->visible = show ? 1 : 0;
}

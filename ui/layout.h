// The start-up layout of the panel tree and its drawing.
#pragma once

struct Panel;
struct FrameStyle;

// Builds the whole start-up layout under the root (SetRootPanel first).
void BuildPanelLayout();
// Draws the visible tree, each panel clipped to its rectangle.
void DrawPanelTree();
// The bevelled frame around a visible panel (style null = default).
void DrawPanelBorder(Panel* panel, int blendPreset, const FrameStyle* style, float border,
                     int outset);

// Helpers shared by the panel callbacks.  FlatDrawing: ordinary blending, no
// texture.  Fill and outline take RGBA; an outline is `thickness` pixels wide
// and lies `inset` pixels inside the rectangle.
void FlatDrawing();
void FillRect(float x, float y, float w, float h, float r, float g, float b, float a);
void FillPanel(const Panel* panel, float r, float g, float b, float a);
void OutlineRect(float x, float y, float w, float h, int thickness, float r, float g, float b,
                 float a);
void OutlinePanel(const Panel* panel, int inset, int thickness, float r, float g, float b, float a);

// The start-up layout of the panel tree and its drawing.
#pragma once

struct Panel;

// Builds the whole start-up layout under the root (SetRootPanel first).
void BuildPanelLayout();
// Draws the visible tree, each panel clipped to its rectangle.
void DrawPanelTree();
void DrawPanelBorder(Panel* panel, int blendPreset, const struct FrameStyle* style, float border,
                     int outset);

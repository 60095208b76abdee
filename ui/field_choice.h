// The choice of the well shape before each game.
#pragma once

#include <cstdint>

#include "game/host.h"

struct Panel;

// 0 not shown yet, 1 choosing, 2 chosen; ResetFieldChoice (game/host.h)
// sets it back to 0.
extern int32_t gChoiceState;
extern int32_t gSelectedShape;  // 1..6, initially 2

// True when the choice screen consumed the frame.
bool FieldChoiceStep(int left, int right, int rotate);
void DrawShapeCell(Panel* panel);
// The name of well shape 1..6 (Windows-1251); empty outside.
const char* ShapeName(int shape);

// The input debug overlay (F2): what the mouse gestures produced since
// start-up, over the right half of the window.  It changes no state.
#pragma once

#include <string>

// The three lines as drawn: left, right and middle button (with the wheel).
std::string DebugOverlayLine(int button);
void DrawDebugOverlay();

// What a game pad stands for, the same with every back end: its buttons and
// the left stick become the key and mouse-button messages of the keys they
// stand for, so nothing above the pump knows a pad exists.  A back end tells
// each pad's changes here; the messages go out through its own queue.
// Nothing outside platform/ includes this.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

// The buttons that mean something, in the order of TestPadButton.
enum PadButton : int {
  PadA,
  PadB,
  PadX,
  PadY,
  PadStart,
  PadLeftShoulder,
  PadRightShoulder,
  PadUp,
  PadDown,
  PadLeft,
  PadRight,
  PadButtonCount,
};

// One pad's buttons and stick as last told.
struct PadKeys {
  std::array<bool, PadButtonCount> buttons{};
  int stick = 0;  // -1 left, 0 centre, +1 right
};

using PadPost = void (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

void SetPadButton(PadKeys& pad, PadButton button, bool down, PadPost post);
// The left stick's horizontal position, -32768 .. 32767.
void SetPadStick(PadKeys& pad, int x, PadPost post);
// A pad that goes lets go of everything it held.
void ReleasePad(PadKeys& pad, PadPost post);

}  // namespace platform

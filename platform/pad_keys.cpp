// Game pads as keys.  Several pads may hold the same key: its press goes out
// with the first and its release with the last.
#include "platform/pad_keys.h"

#include "platform/platform.h"

namespace platform {

static_assert(static_cast<int>(PadA) == TestPadA && static_cast<int>(PadStart) == TestPadStart &&
                  static_cast<int>(PadRight) == TestPadRight,
              "the test pad names the same buttons in the same order");

namespace {

// Both mouse buttons: the chord that opens the options.
constexpr int kChord = 256;

// How many pad inputs hold each key down.
std::array<int, 257> gHeldCount{};

// The stick counts as pushed beyond half way and as back once within a
// quarter, so that a stick resting near the middle does not chatter.
constexpr int kStickPress = 16384;
constexpr int kStickRelease = 8192;

void Press(int what, bool down, PadPost post) {
  int& n = gHeldCount[static_cast<size_t>(what)];
  if (down) {
    if (++n != 1) return;
  } else {
    if (n == 0 || --n != 0) return;
  }
  if (what == kChord) {
    post(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, 0);
    post(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, 0);
    return;
  }
  post(down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(what),
       down ? 1 : static_cast<intptr_t>(0xC0000001u));
  // Start is Enter, which also types a carriage return (it accepts a name).
  if (down && what == VK_RETURN) post(WM_CHAR, 13, 1);
}

int KeyOf(PadButton button) {
  switch (button) {
    case PadLeft:
      return VK_LEFT;
    case PadRight:
      return VK_RIGHT;
    case PadUp:
    case PadA:
      return VK_UP;
    case PadDown:
    case PadB:
      return VK_DOWN;
    case PadX:
      return VK_SPACE;
    case PadStart:
      return VK_RETURN;
    default:
      return 0;
  }
}

bool BothShoulders(const PadKeys& p) {
  return p.buttons[PadLeftShoulder] && p.buttons[PadRightShoulder];
}

}  // namespace

void SetPadButton(PadKeys& pad, PadButton button, bool down, PadPost post) {
  if (button < 0 || button >= PadButtonCount) return;
  if (pad.buttons[static_cast<size_t>(button)] == down) return;
  const bool chordBefore = BothShoulders(pad);
  pad.buttons[static_cast<size_t>(button)] = down;
  if (button == PadLeftShoulder || button == PadRightShoulder) {
    const bool chordNow = BothShoulders(pad);
    if (chordNow != chordBefore) Press(kChord, chordNow, post);
    return;
  }
  if (const int key = KeyOf(button)) Press(key, down, post);
}

void SetPadStick(PadKeys& pad, int x, PadPost post) {
  int now = pad.stick;
  if (pad.stick == 0) {
    if (x <= -kStickPress) now = -1;
    if (x >= kStickPress) now = 1;
  } else if (x > -kStickRelease && x < kStickRelease) {
    now = 0;
  } else if ((pad.stick < 0) != (x < 0)) {
    now = x < 0 ? -1 : 1;  // flicked straight across
  }
  if (now == pad.stick) return;
  if (pad.stick != 0) Press(pad.stick < 0 ? VK_LEFT : VK_RIGHT, false, post);
  pad.stick = now;
  if (now != 0) Press(now < 0 ? VK_LEFT : VK_RIGHT, true, post);
}

void ReleasePad(PadKeys& pad, PadPost post) {
  for (int b = 0; b < PadButtonCount; ++b)
    SetPadButton(pad, static_cast<PadButton>(b), false, post);
  SetPadStick(pad, 0, post);
}

}  // namespace platform

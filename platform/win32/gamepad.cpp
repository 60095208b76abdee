// Game controllers through XInput, read by the pump; what their buttons and
// stick stand for is the same on every system (pad_keys).  Pads may come and
// go while the game runs.
#include <array>
#include <utility>

#include "platform/pad_keys.h"
#include "platform/platform.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_shared.h"

namespace {

using platform::PadButton;

// XInput's button bits and the buttons that mean something.
constexpr std::array<std::pair<uint16_t, PadButton>, platform::PadButtonCount> kBits = {{
    {0x1000, platform::PadA},
    {0x2000, platform::PadB},
    {0x4000, platform::PadX},
    {0x8000, platform::PadY},
    {0x0010, platform::PadStart},
    {0x0100, platform::PadLeftShoulder},
    {0x0200, platform::PadRightShoulder},
    {0x0001, platform::PadUp},
    {0x0002, platform::PadDown},
    {0x0004, platform::PadLeft},
    {0x0008, platform::PadRight},
}};

// Asking XInput about an empty slot is slow, so empty slots are asked again
// only this often.
constexpr uint32_t kEmptySlotRetryMs = 1000;

struct Slot {
  bool connected = false;
  bool asked = false;
  uint32_t askedAt = 0;
  platform::PadKeys keys;
};
std::array<Slot, 4> gSlots;

bool gPolled = false;
uint32_t gPolledAt = 0;

// The test's pad: its state is set by the test instead of read from XInput.
struct TestPad {
  bool attached = false;
  uint16_t buttons = 0;
  int stickX = 0;
  platform::PadKeys keys;
};
TestPad gTestPad;

void Apply(platform::PadKeys& keys, uint16_t buttons, int stickX) {
  for (const auto& [bit, button] : kBits) {
    platform::SetPadButton(keys, button, (buttons & bit) != 0, platform::QueueMessage);
  }
  platform::SetPadStick(keys, stickX, platform::QueueMessage);
}

}  // namespace

namespace platform {

void PollGamepads() {
  const uint32_t now = w32::TickCount();
  if (gPolled && now == gPolledAt) return;
  gPolled = true;
  gPolledAt = now;
  for (size_t i = 0; i < gSlots.size(); ++i) {
    Slot& s = gSlots[i];
    if (!s.connected && s.asked && now - s.askedAt < kEmptySlotRetryMs) continue;
    s.asked = true;
    s.askedAt = now;
    uint16_t buttons = 0;
    int16_t stickX = 0;
    if (w32::PadState(static_cast<int>(i), &buttons, &stickX)) {
      s.connected = true;
      Apply(s.keys, buttons, stickX);
    } else if (s.connected) {
      s.connected = false;
      ReleasePad(s.keys, QueueMessage);
    }
  }
}

}  // namespace platform

// ------------------------------------------------------------ test input

int AttachTestGamepad() {
  gTestPad.attached = true;
  return 1;
}

int SetTestGamepadButton(TestPadButton which, int down) {
  if (!gTestPad.attached || which < TestPadA || which > TestPadRight) return 0;
  for (const auto& [bit, button] : kBits) {
    if (static_cast<int>(button) != static_cast<int>(which)) continue;
    gTestPad.buttons =
        static_cast<uint16_t>(down ? gTestPad.buttons | bit : gTestPad.buttons & ~bit);
  }
  Apply(gTestPad.keys, gTestPad.buttons, gTestPad.stickX);
  return 1;
}

int SetTestGamepadStick(int x) {
  if (!gTestPad.attached) return 0;
  gTestPad.stickX = x;
  Apply(gTestPad.keys, gTestPad.buttons, gTestPad.stickX);
  return 1;
}

void DetachTestGamepad() {
  if (!gTestPad.attached) return;
  platform::ReleasePad(gTestPad.keys, platform::QueueMessage);
  gTestPad = TestPad{};
}

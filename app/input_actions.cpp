// Input actions: the bindings file and the per-frame evaluation of the key
// table into fired values.
#include "app/input_actions.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "app/app_state.h"
#include "app/frame.h"
#include "base/file_util.h"
#include "base/timers.h"

std::array<InputAction, 13> gActions;
std::array<int32_t, 256> gClaimedKeys{};

namespace {

constexpr int kFileSlots = 12;
constexpr int kMaxCommandId = 199;

enum KeysHeldResult { NoneHeld, Held, Blocked };

// ------------------------------------------------------------------ loading

bool ReadInt(std::istream& in, int32_t& value) {
  int32_t v = 0;
  if (in >> v) {
    value = v;
    return true;
  }
  value = 0;
  return false;
}

int32_t KeyCode(int32_t code) {
  return code >= 0 && code <= 255 ? code : 0;
}

void Disable(InputAction& a, int32_t error) {
  a.enabled = 0;
  if (a.errorCode == kActionValid) a.errorCode = error;
}

// Reads one slot.  False when the stream gave out: the slot is then disabled
// and so is everything after it, since the layout can no longer be trusted.
bool LoadSlot(std::istream& in, InputAction& a) {
  a = InputAction{};
  std::string line;
  for (int i = 0; i < 4; ++i) {
    if (!std::getline(in, line)) return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string name = Trim(line);
  std::memcpy(a.name, name.data(), std::min<size_t>(name.size(), sizeof(a.name) - 1));

  int32_t key1 = 0, key2 = 0, key3 = 0;
  if (!ReadInt(in, a.enabled) || !ReadInt(in, key1) || !ReadInt(in, key2) || !ReadInt(in, key3) ||
      !ReadInt(in, a.exclusive) || !ReadInt(in, a.extra))
    return false;
  a.key1 = KeyCode(key1);
  a.key2 = KeyCode(key2);
  a.key3 = KeyCode(key3);
  if (a.enabled <= 0 || (a.key1 <= 0 && a.key2 <= 0 && a.key3 <= 0)) {
    a.errorCode = kActionNoKey;
    a.enabled = 0;
  }

  int32_t multiPress = 0, kind = 0;
  if (!ReadInt(in, multiPress)) return false;
  SkipRestOfLine(in);
  if (multiPress == 0) {
    if (!ReadInt(in, kind)) return false;
    if (kind == 2 || kind == 3 || kind == 4) {
      a.kind = kind;
    } else if (kind == 1) {
      Disable(a, kActionBadKind);
    }
  } else {
    if (!ReadInt(in, kind) || !ReadInt(in, a.secondPressMs) || !ReadInt(in, a.thirdPressMs) ||
        !ReadInt(in, a.doublesOnly))
      return false;
    if (kind == 1) {
      a.kind = 1;
    } else {
      Disable(a, kActionBadKind);
    }
    // A negative wait would never count down to the end of the detector.
    a.secondPressMs = std::max(a.secondPressMs, 0);
    a.thirdPressMs = std::max(a.thirdPressMs, 0);
  }

  SkipRestOfLine(in);
  int32_t withRepeat = 0;
  if (!ReadInt(in, withRepeat)) return false;
  SkipRestOfLine(in);
  if (withRepeat == 0) {
    int32_t on = 0;
    if (!ReadInt(in, on)) return false;
    if (on == 1) {
      a.counter = 1;
      a.counterMax = 2;
      a.counterMode = 0;
    }
  } else {
    int32_t value = 0, max = 0, mode = 0, delay = 0, repeats = 0;
    if (!ReadInt(in, value) || !ReadInt(in, max) || !ReadInt(in, mode) || !ReadInt(in, delay) ||
        !ReadInt(in, repeats))
      return false;
    if (max > 1 && value >= 1 && value <= max) {
      a.counter = value;
      a.counterMax = max;
      a.counterMode = mode == 1 || mode == 2 ? mode : 0;
      a.repeatDelayMs = std::max(delay, 0);
      a.repeatMax = std::max(repeats, 0);
    } else {
      Disable(a, kActionBadCounter);
    }
  }

  SkipRestOfLine(in);
  int32_t lockout = 0, commandId = 0, priority = 0, active = 0;
  if (!ReadInt(in, lockout) || !ReadInt(in, commandId) || !ReadInt(in, priority)) return false;
  if (a.enabled > 0) {
    a.lockoutMs = lockout;
    a.commandId = commandId;
    a.priority = priority;
  } else {
    a.lockoutMs = kDisabledLockoutMs;
  }
  if (!ReadInt(in, active)) return false;
  a.active = active != 0 && a.enabled > 0 ? 1 : 0;
  SkipRestOfLine(in);
  return true;
}

// ---------------------------------------------------------------- evaluation

bool KeyDown(int32_t code) {
  return code > 0 && code < 256 && gKeyTable[code] != 0;
}
bool Claimed(int32_t code) {
  return code > 0 && code < 256 && gClaimedKeys[code] != 0;
}
void Claim(int32_t code) {
  if (code > 0 && code < 256) gClaimedKeys[code] = 1;
}

KeysHeldResult KeysHeld(const InputAction& a) {
  for (int32_t code : {a.key1, a.key2, a.key3}) {
    if (code <= 0) continue;
    if (a.exclusive != 0 && Claimed(code)) return Blocked;
    if (KeyDown(code)) return Held;
  }
  return NoneHeld;
}

bool AllKeysUp(const InputAction& a) {
  for (int32_t code : {a.key1, a.key2, a.key3}) {
    if (KeyDown(code)) return false;
  }
  return true;
}

bool PressableKeyDown(const InputAction& a) {
  for (int32_t code : {a.key1, a.key2, a.key3}) {
    if (code <= 0) continue;
    if (a.exclusive != 0 && Claimed(code)) continue;
    if (KeyDown(code)) return true;
  }
  return false;
}

// A chord's other key: set, down and not held by another chord.
bool ChordPartner(int32_t code) {
  return code > 0 && KeyDown(code) && !Claimed(code);
}

int32_t Chord1With2Or3(const InputAction& a) {
  if (!KeyDown(a.key1)) return 0;
  Claim(a.key1);
  if (a.key2 > 0) {
    if (Claimed(a.key2)) return 0;
    if (KeyDown(a.key2)) return 1;
  }
  return ChordPartner(a.key3) ? 1 : 0;
}

int32_t Chord1Or2With3(const InputAction& a) {
  if (KeyDown(a.key1)) {
    Claim(a.key1);
  } else if (KeyDown(a.key2)) {
    Claim(a.key2);
  } else {
    return 0;
  }
  return ChordPartner(a.key3) ? 1 : 0;
}

void RecordMouse(int32_t (&pos)[2]) {
  pos[0] = MouseX;
  pos[1] = MouseY;
}

// Single, double and triple presses.  Presses are counted once per hold:
// the latch clears when every key of the action is up again.
int32_t MultiPress(InputAction& a) {
  bool press = false;
  if (a.latched != 0) {
    if (AllKeysUp(a)) a.latched = 0;
  } else if (PressableKeyDown(a)) {
    a.latched = 1;
    press = true;
  }

  int32_t fired = 0;
  if (a.waitSecond <= 0 && a.waitThird <= 0) {
    a.waitSecond = 0;
    a.waitThird = 0;
    if (press) {
      a.waitSecond = a.secondPressMs;
      RecordMouse(a.firePos);
    }
  } else if (a.waitSecond > 0) {
    if (!press) {
      CountDown(a.waitSecond);
      if (a.waitSecond == 0) fired = 1;
    } else {
      a.waitSecond = 0;
      RecordMouse(a.secondPos);
      if (a.thirdPressMs == 0) {
        fired = 2;
      } else {
        a.waitThird = a.thirdPressMs;
      }
    }
  } else {
    if (!press) {
      CountDown(a.waitThird);
      if (a.waitThird == 0) fired = 2;
    } else {
      fired = 3;
      RecordMouse(a.thirdPos);
      a.waitThird = 0;
    }
  }
  if (a.doublesOnly != 0 && fired < 2) fired = 0;
  return fired;
}

void StepCounter(InputAction& a) {
  int64_t v = a.counter;
  switch (a.counterMode) {
    case 1:
      if (v < a.counterMax) ++v;
      break;
    case 2:
      if (a.counterDir != 1 && a.counterDir != -1) a.counterDir = 1;
      v += a.counterDir;
      if (v >= a.counterMax) {
        v = a.counterMax;
        a.counterDir = -a.counterDir;
      } else if (v < 1) {
        v = 1;
        a.counterDir = -a.counterDir;
      }
      break;
    default:
      ++v;
      if (v > a.counterMax) v = 1;
      break;
  }
  a.counter = static_cast<int32_t>(v);
}

// Held keys fire once, wait repeatDelayMs, then fire again each time the
// lockout allows.  Returns the value that stands.
int32_t AutoRepeat(InputAction& a, int32_t fired) {
  if (fired == 0) {
    a.repeatStartTick = 0;
    return 0;
  }
  const uint32_t tick = gFrameClock.tick;
  if (a.repeatStartTick == 0) {
    a.repeatCount = 0;
    a.repeatStartTick = tick != 0 ? tick : 1;  // 0 means "not held"
    return a.kind == 2 ? 0 : fired;
  }
  if (tick - a.repeatStartTick < static_cast<uint32_t>(a.repeatDelayMs)) return 0;
  if (a.repeatCount < std::numeric_limits<int32_t>::max()) ++a.repeatCount;
  if (a.repeatMax == 0 || a.repeatCount <= a.repeatMax) return fired;
  return 0;
}

void EvaluateSlot(InputAction& a) {
  a.fired = 0;
  CountDown(a.lockoutLeft);
  if (a.enabled <= 0 || a.active == 0) return;

  if (a.counter < 1) a.counter = 0;
  if (a.counterMax < 2) {
    a.counterMax = a.counter < std::numeric_limits<int32_t>::max() ? a.counter + 1 : a.counter;
  }
  const bool counterOn = a.counter != 0;

  const KeysHeldResult held = KeysHeld(a);
  const bool lockedOut = a.lockoutLeft > 0;
  const bool detector = a.kind == 1 && a.secondPressMs != 0 && counterOn;
  int32_t fired = 0;

  if (detector) {
    fired = MultiPress(a);
    if (lockedOut) return;
  } else {
    if (lockedOut) return;
    switch (a.kind) {
      case 2:
        if (held == NoneHeld && a.heldMs != 0) {
          a.heldMs = 0;
          fired = 1;
        } else if (held == Held) {
          if (a.heldMs == 0) {
            a.heldMs = 1;
          } else if (a.heldMs < std::numeric_limits<int32_t>::max() - gFrameClock.deltaMs) {
            a.heldMs += gFrameClock.deltaMs;
          }
        }
        break;
      case 3:
        fired = Chord1With2Or3(a);
        break;
      case 4:
        fired = Chord1Or2With3(a);
        break;
      default:  // 0, and 1 without timing
        fired = held == Held ? 1 : 0;
        break;
    }
  }

  if (counterOn && a.repeatDelayMs != 0) fired = AutoRepeat(a, fired);
  a.fired = fired;
  if (fired == 0) return;

  // The detector records its own positions; every other firing takes the
  // pointer position of this frame.
  if (!detector && fired == 1) RecordMouse(a.firePos);
  if (counterOn) StepCounter(a);
  if (a.lockoutMs > 0) a.lockoutLeft = a.lockoutMs;
}

}  // namespace

void LoadInputActions(std::istream& in) {
  for (int slot = 0; slot < kFileSlots; ++slot) {
    InputAction& a = gActions[slot];
    if (!LoadSlot(in, a)) {
      a.enabled = 0;
      a.active = 0;
      if (a.errorCode == kActionValid) a.errorCode = kActionTruncated;
      a.lockoutMs = kDisabledLockoutMs;
      a.commandId = 0;
      a.priority = 0;
    }
  }
  InputAction& spare = gActions[kFileSlots];
  spare = InputAction{};
  spare.errorCode = kActionNoKey;
  spare.lockoutMs = kDisabledLockoutMs;
  gClaimedKeys.fill(0);
}

void EvaluateInputActions() {
  // Claims end with the key: a chord's first key is free again once released.
  for (size_t code = 0; code < gClaimedKeys.size(); ++code) {
    if (gKeyTable[code] == 0) gClaimedKeys[code] = 0;
  }

  for (InputAction& a : gActions) EvaluateSlot(a);

  // Actions of one command compete: the higher priority keeps its firing,
  // the earlier slot on a tie.
  std::array<InputAction*, kMaxCommandId + 1> winner{};
  for (InputAction& a : gActions) {
    if (a.fired == 0 || a.commandId < 1 || a.commandId > kMaxCommandId) continue;
    InputAction*& held = winner[a.commandId];
    if (held == nullptr) {
      held = &a;
    } else if (a.priority > held->priority) {
      held->fired = 0;
      held = &a;
    } else {
      a.fired = 0;
    }
  }
}

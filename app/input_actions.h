// Configurable input actions, mouse gestures and the wheel accumulator.
//
// Once per focused frame the frame driver calls UpdateMouseGestures (which
// also yields the wheel events) and then EvaluateInputActions, which turns the
// key table into the fired values of the twelve actions of "res/base/sig.txt".
#pragma once

#include <array>
#include <cstdint>
#include <istream>

struct InputAction {
  int32_t enabled = 0;  // > 0: in use
  int32_t active = 0;   // 1: evaluated each frame
  int32_t errorCode = 0;
  int32_t lockoutMs = 0;
  int32_t commandId = 0;  // 1..199: actions with the same id compete
  int32_t priority = 0;
  int32_t kind = 0;  // 0 held, 1 multi-press, 2 on release, 3 and 4 chords
  int32_t key1 = 0, key2 = 0, key3 = 0;
  int32_t exclusive = 0;
  int32_t extra = 0;
  int32_t doublesOnly = 0;
  int32_t counter = 0, counterMax = 0, counterMode = 0, counterDir = 1;
  int32_t repeatDelayMs = 0, repeatMax = 0;
  uint32_t repeatStartTick = 0;
  int32_t repeatCount = 0;
  int32_t secondPressMs = 0, thirdPressMs = 0;
  int32_t waitSecond = 0, waitThird = 0;
  int32_t lockoutLeft = 0;
  int32_t heldMs = 0;
  int32_t fired = 0;  // this frame: 0 none, 1 fired (single), 2 double, 3 triple
  int32_t firePos[2] = {0, 0}, secondPos[2] = {0, 0}, thirdPos[2] = {0, 0};
  int32_t latched = 0;
  char name[12] = {};
};

// Why a slot was disabled while loading.
enum ActionError : int32_t {
  kActionValid = 0,
  kActionNoKey = 1,       // not enabled, or no key
  kActionBadKind = 2,     // kind does not match the multi-press flag
  kActionBadCounter = 3,  // counter value or maximum out of range
  kActionTruncated = 4,   // the file ended or held something unreadable
};

// The lockout a disabled action carries.
constexpr int32_t kDisabledLockoutMs = 9000555;

// Slots 0..11 from the bindings file plus a 13th that stays disabled.
extern std::array<InputAction, 13> gActions;
enum ActionSlot : int {
  ActionPointer = 1,
  ActionLeft = 3,
  ActionRight = 4,
  ActionUp = 5,
  ActionDown = 6
};

// Keys a chord holds as its first key(s): exclusive actions on them are
// blocked.  A claim lasts until its key is released.
extern std::array<int32_t, 256> gClaimedKeys;

extern int32_t WheelDownEvent, WheelUpEvent;

// Reads the twelve actions; a slot that fails validation, or that the stream
// cannot deliver completely, stays in the table disabled.
void LoadInputActions(std::istream& in);
void EvaluateInputActions();

// ------------------------------------------------------------ mouse gestures

enum GestureButton : int { GestureLeft = 0, GestureRight = 1, GestureMiddle = 2 };

// Button callbacks get the button and the callback number 1..6: 1 and 2 every
// frame while long press 1 or 2 runs, 3 click, 4 double click, 5 and 6 release
// after long press 1 or 2.  Wheel callbacks get 7 (down) or 8 (up).
using GestureCallback = void (*)(int button, int event);
using WheelCallback = void (*)(int event);

struct ButtonGesture {
  int32_t holdMs = 300;         // press longer than this = long press (0 = none)
  int32_t doubleClickMs = 250;  // second press within this after the release (0 = off)
  uint32_t pressTick = 0, releaseTick = 0, eventTick = 0, repeatTick = 0, lockTick = 0;
  int32_t down = 0;
  int32_t clickStage = 0;  // 0 none, 1 released once, 2 second press, 3 second press held long
  int32_t holdDone = 0;    // a click was produced on press: wait for the release
  int32_t longState = 0;   // 1 long press, 2 long press of the second click
  int32_t event = 0;       // one-frame event 3..6
  int32_t holdDurationMs = 0;
  int32_t lockMs = 0;  // the button is ignored this long after a click (0 = no lock)
  int32_t repeat1Ms = 0, repeat2Ms = 0;
  int32_t buttonEntry = 0;  // key-table entry: 1, 2 or 4
  GestureCallback callbacks[6] = {};
};

struct MouseGestures {
  std::array<ButtonGesture, 3> buttons;
  WheelCallback wheelDown = nullptr;
  WheelCallback wheelUp = nullptr;
  uint32_t now = 0;  // tick of the last update, for the repeat ticks
};

struct WheelAccumulator {
  uint32_t startTick = 0;  // first message of a turn; 0 = no turn
  int32_t sum = 0;
  uint32_t lastEventTick = 0;
  int32_t middleHeld = 0;
};

// What the gestures produced since start-up, for the debug overlay.
struct GestureCounters {
  std::array<std::array<int32_t, 6>, 3> calls{};  // [button][callback - 1]
  std::array<int32_t, 2> leftRepeatTicks{};       // long press 1, long press 2
  int32_t wheelDown = 0;
  int32_t wheelUp = 0;
};

extern MouseGestures gMouseGestures;
extern WheelAccumulator gWheel;
extern GestureCounters gGestureCounters;

// Built-in timings, then the file (one line skipped, then fifteen numbers:
// hold, double click, lock, repeat 1, repeat 2 for left, right, middle); a
// number the file cannot give keeps its built-in value.  Installs the
// counting callbacks and clears the gesture and wheel state.
void LoadMouseGestures(const char* fileName);
void UpdateMouseGestures(uint32_t now);
// 1 when the long press of this button is due a repeat tick now.
int GestureRepeatTick(int button);
// 1 while the button's lock after a click runs.
int GestureLocked(int button);

// From the window procedure.
void WheelMessage(int delta, uint32_t now);
void WheelMiddleDown();
void WheelReset();

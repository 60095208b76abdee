// Mouse gestures (click, double click, long presses of the three buttons) and
// the wheel accumulator that turns wheel messages into single events.
#include <sstream>
#include <limits>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "base/file_util.h"
#include "game/game.h"
#include "platform/platform.h"
#include "ui/name_entry.h"
#include "ui/panel_tree.h"

namespace {

constexpr int32_t kWheelTurnMs = 400;     // a turn is judged this long after it starts
constexpr int32_t kWheelThreshold = 200;  // more than one notch of 120
constexpr int32_t kWheelQuietMs = 180;    // turns this soon after an event are dropped

void Bump(int32_t& counter) {
  if (counter < std::numeric_limits<int32_t>::max()) ++counter;
}

// The installed callbacks count for the debug overlay; the left button's
// long presses also count their repeat ticks.
void CountButtonCall(int button, int event) {
  if (button < 0 || button > 2 || event < 1 || event > 6) return;
  Bump(gGestureCounters.calls[button][event - 1]);
  if (button == GestureLeft && (event == 1 || event == 2) && GestureRepeatTick(button))
    Bump(gGestureCounters.leftRepeatTicks[event - 1]);
}

// Wheel-down moves the name grid's highlight a row down.
void WheelDownCalled(int) {
  Bump(gGestureCounters.wheelDown);
  NameGridRowDown();
}

// Wheel-up moves the name grid's highlight a row up; otherwise it serves the
// stored bonus like the Space key does, but not while a menu or the shape
// choice has the screen.
void WheelUpCalled(int) {
  Bump(gGestureCounters.wheelUp);
  if (PanelVisible(NameEntryPanel)) {
    NameGridRowUp();
    return;
  }
  if (!PanelVisible(OptionsPanel) && !PanelVisible(FieldChoicePanel)) TakeBonus();
}

constexpr MouseGestures InitialGestures() {
  MouseGestures g{};
  const int32_t entries[3] = {1, 2, 4};
  for (int i = 0; i < 3; ++i) {
    g.buttons[i].buttonEntry = entries[i];
    for (GestureCallback& c : g.buttons[i].callbacks) c = CountButtonCall;
  }
  g.wheelDown = WheelDownCalled;
  g.wheelUp = WheelUpCalled;
  return g;
}

struct GestureTimings {
  int32_t holdMs, doubleClickMs, lockMs, repeat1Ms, repeat2Ms;
};
constexpr GestureTimings kDefaultTimings[3] = {
    {900, 550, 0, 500, 1000},  // left
    {500, 0, 0, 0, 0},         // right
    {0, 350, 2200, 0, 0},      // middle
};

void Reset(ButtonGesture& b) {
  b.pressTick = b.releaseTick = b.eventTick = b.repeatTick = 0;
  b.clickStage = 0;
  b.holdDone = 0;
  b.longState = 0;
}

void StartLock(ButtonGesture& b, uint32_t now) {
  if (b.lockMs >= 1) b.lockTick = now;
}

bool Later(uint32_t tick, int32_t ms, uint32_t now) {
  return static_cast<int64_t>(now) > static_cast<int64_t>(tick) + ms;
}

void UpdateButton(ButtonGesture& b, uint32_t now) {
  b.event = 0;
  const int entry = b.buttonEntry;
  const bool isDown = entry > 0 && entry < 256 && gKeyTable[entry] != 0;

  // The tick count wrapped: start over, as if the button had been up.
  if (b.pressTick > now || b.releaseTick > now || b.eventTick > now || b.repeatTick > now ||
      b.lockTick > now) {
    Reset(b);
    b.lockTick = 0;
    b.down = 0;
    return;
  }
  if (b.lockTick != 0) {
    if (Later(b.lockTick, b.lockMs, now)) b.lockTick = 0;
    return;
  }
  if (b.doubleClickMs > 0 && b.releaseTick != 0 && b.clickStage <= 1 &&
      Later(b.releaseTick, b.doubleClickMs, now)) {
    Reset(b);
    b.event = 3;
    StartLock(b, now);
    return;
  }

  if (!isDown) {
    if (b.holdDone != 0) {
      b.holdDone = 0;
    } else if (b.down != 0) {
      if (b.clickStage == 2) {
        Reset(b);
        b.event = 4;
        StartLock(b, now);
      } else if (b.longState == 0) {
        if (b.doubleClickMs > 0 && b.clickStage == 0) {
          b.clickStage = 1;
          b.releaseTick = now;
        } else {
          Reset(b);
          b.event = 3;
          StartLock(b, now);
        }
      } else if (b.longState == 1) {
        Reset(b);
        b.event = 5;
      } else {
        Reset(b);
        b.event = 6;
      }
    }
  } else if (b.down == 0) {
    if (b.holdMs <= 0 && b.doubleClickMs <= 0) {
      Reset(b);
      b.event = 3;
      StartLock(b, now);
      b.holdDone = 1;
    } else {
      b.pressTick = now;
      if (b.clickStage == 1) b.clickStage = 2;
    }
  } else if (b.holdMs > 0 && b.longState == 0 && Later(b.pressTick, b.holdMs, now)) {
    if (b.clickStage == 0) {
      b.longState = 1;
    } else if (b.clickStage == 2) {
      b.longState = 2;
      b.clickStage = 3;
    }
    if (b.longState != 0) b.eventTick = b.repeatTick = now;
  }
  if (b.longState != 0) {
    const uint32_t held = now - b.eventTick;
    b.holdDurationMs = held > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())
                           ? std::numeric_limits<int32_t>::max()
                           : static_cast<int32_t>(held);
  }
  b.down = isDown ? 1 : 0;
}

void RunButtonCallbacks(const ButtonGesture& b, int button) {
  int callback = 0;
  if (b.longState == 1) {
    callback = 1;
  } else if (b.longState == 2) {
    callback = 2;
  } else if (b.event >= 3 && b.event <= 6) {
    callback = b.event;
  }
  if (callback != 0 && b.callbacks[callback - 1] != nullptr)
    b.callbacks[callback - 1](button, callback);
}

// One wheel event per turn: the turn is judged once it has lasted 400 ms.
void UpdateWheel(uint32_t now) {
  WheelDownEvent = 0;
  WheelUpEvent = 0;
  WheelAccumulator& w = gWheel;
  if (w.startTick == 0) return;
  if (w.startTick > now) {  // the tick count wrapped during the turn
    w.startTick = 0;
    w.sum = 0;
    return;
  }
  const bool quiet = w.lastEventTick == 0 || w.lastEventTick >= now ||
                     now - w.lastEventTick >= static_cast<uint32_t>(kWheelQuietMs);
  if (!quiet) {
    w.startTick = 0;
    w.sum = 0;
    return;
  }
  if (!Later(w.startTick, kWheelTurnMs, now)) return;
  w.startTick = 0;
  if (w.sum < -kWheelThreshold) WheelDownEvent = 1;
  if (w.sum > kWheelThreshold) WheelUpEvent = 1;
  if (WheelDownEvent != 0 || WheelUpEvent != 0) w.lastEventTick = now;
  w.sum = 0;
}

}  // namespace

constinit MouseGestures gMouseGestures = InitialGestures();
WheelAccumulator gWheel;
GestureCounters gGestureCounters;
int32_t WheelDownEvent = 0, WheelUpEvent = 0;

void LoadMouseGestures(const char* fileName) {
  gMouseGestures = InitialGestures();
  GestureTimings timings[3] = {kDefaultTimings[0], kDefaultTimings[1], kDefaultTimings[2]};

  std::istringstream in;
  if (OpenTextList(fileName, in)) {
    SkipRestOfLine(in);
    for (GestureTimings& t : timings) {
      bool ok = true;
      for (int32_t* field : {&t.holdMs, &t.doubleClickMs, &t.lockMs, &t.repeat1Ms, &t.repeat2Ms}) {
        int32_t v = 0;
        if (!(in >> v)) {
          ok = false;
          break;
        }
        *field = v > 0 ? v : 0;
        SkipRestOfLine(in);
      }
      if (!ok) break;
    }
  }

  for (int i = 0; i < 3; ++i) {
    ButtonGesture& b = gMouseGestures.buttons[i];
    b.holdMs = timings[i].holdMs;
    b.doubleClickMs = timings[i].doubleClickMs;
    b.lockMs = timings[i].lockMs;
    b.repeat1Ms = timings[i].repeat1Ms;
    b.repeat2Ms = timings[i].repeat2Ms;
  }
  gWheel = WheelAccumulator{};
  WheelDownEvent = 0;
  WheelUpEvent = 0;
}

void UpdateMouseGestures(uint32_t now) {
  // The pointer is measured as movement from this corner (the frame driver
  // samples it before this call).
  SetCursorPos(1, 1);
  gMouseGestures.now = now;

  UpdateWheel(now);
  if (WheelDownEvent != 0) {
    if (gMouseGestures.wheelDown != nullptr) gMouseGestures.wheelDown(7);
  } else if (WheelUpEvent != 0) {
    if (gMouseGestures.wheelUp != nullptr) gMouseGestures.wheelUp(8);
  }

  for (int i = 0; i < 3; ++i) {
    ButtonGesture& b = gMouseGestures.buttons[i];
    UpdateButton(b, now);
    RunButtonCallbacks(b, i);
  }
}

int GestureRepeatTick(int button) {
  if (button < 0 || button > 2) return 0;
  ButtonGesture& b = gMouseGestures.buttons[button];
  const int32_t period = b.longState == 1 ? b.repeat1Ms : b.longState == 2 ? b.repeat2Ms : 0;
  if (period <= 0) return 0;
  const uint32_t now = gMouseGestures.now;
  if (now - b.repeatTick < static_cast<uint32_t>(period)) return 0;
  b.repeatTick = now;
  return 1;
}

int GestureLocked(int button) {
  if (button < 0 || button > 2) return 0;
  return gMouseGestures.buttons[button].lockTick != 0 ? 1 : 0;
}

void WheelMessage(int delta, uint32_t now) {
  WheelAccumulator& w = gWheel;
  if (w.middleHeld != 0) return;
  if (w.lastEventTick != 0 && now >= w.lastEventTick &&
      now - w.lastEventTick < static_cast<uint32_t>(kWheelQuietMs)) {
    w.sum = 0;
    w.startTick = 0;
    return;
  }
  if (w.startTick != 0) {
    const int64_t sum = static_cast<int64_t>(w.sum) + delta;
    w.sum = sum > std::numeric_limits<int32_t>::max()   ? std::numeric_limits<int32_t>::max()
            : sum < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min()
                                                        : static_cast<int32_t>(sum);
  } else {
    // The first notch of a turn counts too, so that two notches make an event.
    w.startTick = now != 0 ? now : 1;
    w.sum = delta;
  }
}

void WheelMiddleDown() {
  WheelAccumulator& w = gWheel;
  const uint32_t now = GetTickCount();
  if (w.middleHeld == 0 && w.startTick != 0 && now >= w.startTick &&
      now - w.startTick < static_cast<uint32_t>(kWheelTurnMs)) {
    w.sum = 0;
    w.startTick = 0;
    w.middleHeld = 1;
  }
}

void WheelReset() {
  WheelAccumulator& w = gWheel;
  w.startTick = 0;
  w.sum = 0;
  w.middleHeld = 0;
  w.lastEventTick = GetTickCount();
}

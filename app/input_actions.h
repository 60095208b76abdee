// Configurable input actions, mouse gestures and the wheel accumulator.
#pragma once

#include <array>
#include <cstdint>
#include <istream>

struct InputAction {
  int32_t enabled = 0;
  int32_t active = 0;
  int32_t errorCode = 0;
  int32_t lockoutMs = 0;
  int32_t commandId = 0;
  int32_t priority = 0;
  int32_t kind = 0;
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
  int32_t fired = 0;
  int32_t firePos[2] = {0, 0}, secondPos[2] = {0, 0}, thirdPos[2] = {0, 0};
  int32_t latched = 0;
  char name[12] = {};
};

// Slots 0..11 from the bindings file plus a 13th that stays disabled.
extern std::array<InputAction, 13> gActions;
enum ActionSlot : int { ActionPointer = 1, ActionLeft = 3, ActionRight = 4, ActionUp = 5, ActionDown = 6 };

extern int32_t WheelDownEvent, WheelUpEvent;

void LoadInputActions(std::istream& in);
void EvaluateInputActions();
void LoadMouseGestures(const char* fileName);
void UpdateMouseGestures(uint32_t now);
void WheelMessage(int delta, uint32_t now);
void WheelMiddleDown();
void WheelReset();

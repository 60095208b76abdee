// Frame clock, millisecond countdowns and pulses.  All game time is
// milliseconds of the tick count; timers run down by the frame length, never
// by frame counts.
#pragma once

#include <cstdint>

struct FrameClock {
  uint32_t tick = 0;      // tick count sampled at the current frame
  uint32_t lastTick = 0;  // tick count of the previous frame
  int32_t deltaMs = 1;    // length of the current frame, always >= 1
  int32_t prevDeltaMs = 1;
};

extern FrameClock gFrameClock;

// Once per focused frame (and once per intro frame).
void TickFrameClock();
// Game start-up: the next frame measures from now.
void ResetFrameClock();

// A countdown is a plain int32 of milliseconds left; 0 = expired or idle.
void CountDown(int32_t& countdown);
// 1 if the countdown is (or becomes) 0 in this call, 0 while it still runs.
int CountDownExpired(int32_t& countdown);
// x * deltaMs when deltaMs > 1, else x: a per-millisecond speed as this
// frame's distance.
float FrameScaled(float x);

enum PulseMode : int32_t { kPulseWrap = 0, kPulseOneShot = 1, kPulsePingPong = 2 };

struct Pulse {
  uint32_t lastTick = 0;  // 0 = not started
  int32_t periodMs = 0;
  float min = 0, max = 0;
  int32_t mode = 0;
  int32_t direction = 1;
  int32_t state = 0;  // 1 = finished (one-shot)
  float value = 0;
  float step = 0;
  int32_t bounceCount = 0;
};

void PulseInit(Pulse& pulse, float value, float min, float max, float step, int mode, int periodMs);
float PulseStep(Pulse& pulse);

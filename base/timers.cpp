#include "base/timers.h"

#include "platform/clock.h"

FrameClock gFrameClock;

void TickFrameClock() {
  FrameClock& c = gFrameClock;
  c.prevDeltaMs = c.deltaMs;
  c.tick = GetTickCount();
  const int32_t d = static_cast<int32_t>(c.tick - c.lastTick);
  c.deltaMs = d > 0 ? d : 1;
  c.lastTick = c.tick;
}

void ResetFrameClock() {
  gFrameClock.lastTick = GetTickCount();
}

void CountDown(int32_t& countdown) {
  if (countdown <= 0) return;
  countdown -= gFrameClock.deltaMs;
  if (countdown <= 0) countdown = 0;
}

int CountDownExpired(int32_t& countdown) {
  CountDown(countdown);
  return countdown == 0 ? 1 : 0;
}

float FrameScaled(float x) {
  return gFrameClock.deltaMs > 1 ? x * static_cast<float>(gFrameClock.deltaMs) : x;
}

void PulseInit(Pulse& p, float value, float min, float max, float step, int mode, int periodMs) {
  p.lastTick = GetTickCount();
  p.periodMs = periodMs;
  p.min = min;
  p.max = max;
  p.mode = mode;
  p.direction = 1;
  p.state = 0;
  p.value = value;
  p.step = step;
  p.bounceCount = 0;
}

float PulseStep(Pulse& p) {
  const uint32_t now = GetTickCount();
  if (p.lastTick == 0) {
    p.lastTick = now;
    return p.value;
  }
  if (!(p.lastTick + static_cast<uint32_t>(p.periodMs) < now)) return p.value;
  // A zero period would divide by zero; such a pulse moves one step per tick.
  const float period = p.periodMs > 0 ? static_cast<float>(p.periodMs) : 1.0f;
  const float f = static_cast<float>(now - p.lastTick) / period;
  p.lastTick = now;
  const float d = f * p.step;

  switch (p.mode) {
    case kPulseWrap: {
      float v = p.value + d;
      bool wrapped = true;
      if (v < p.min) {
        v += p.max;
      } else if (v > p.max) {
        v -= p.max;
      } else {
        wrapped = false;
      }
      p.value = v;
      if (wrapped) ++p.bounceCount;
      break;
    }
    case kPulseOneShot: {
      if (p.state == 1) break;
      const float v = p.value + d;
      if (v < p.min) {
        p.value = p.min;
        p.state = 1;
        ++p.bounceCount;
      } else if (v > p.max) {
        p.value = p.max;
        p.state = 1;
        ++p.bounceCount;
      } else {
        p.value = v;
      }
      break;
    }
    case kPulsePingPong: {
      if (p.direction != 1 && p.direction != -1) p.direction = 1;
      const float v = p.direction == 1 ? p.value + d : p.value - d;
      if (v > p.max) {
        p.value = p.max;
        p.direction = -p.direction;
        ++p.bounceCount;
      } else if (v < p.min) {
        p.value = p.min;
        p.direction = -p.direction;
        ++p.bounceCount;
      } else {
        p.value = v;
      }
      break;
    }
    default:
      break;
  }
  if (p.bounceCount > 9100200) p.bounceCount = 0;
  return p.value;
}

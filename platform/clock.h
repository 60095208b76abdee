// The system's clock: tick count, sleep and the local date.  With the file
// calls beside it, all of the system the game rules use.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------- time

// Milliseconds since some fixed moment, wrapping at 2^32 like GetTickCount.
uint32_t GetTickCount();
void Sleep(uint32_t ms);

struct LocalDate {
  int day;    // 1..31
  int month;  // 1..12
  int year;   // full year, e.g. 2026
};
LocalDate GetLocalDate();

// Tests replace the clock, the sleep and the date; nullptr restores the real
// ones.  A fake sleep usually advances the fake clock.
void SetTickSource(uint32_t (*source)());
void SetSleepHook(void (*hook)(uint32_t ms));
void SetDateSource(LocalDate (*source)());

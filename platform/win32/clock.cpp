// Tick count, sleep and local date from kernel32, each replaceable by tests.
#include "platform/platform.h"
#include "platform/win32/win32_api.h"

namespace {
uint32_t (*gTickSource)() = nullptr;
void (*gSleepHook)(uint32_t) = nullptr;
LocalDate (*gDateSource)() = nullptr;
}  // namespace

uint32_t GetTickCount() {
  if (gTickSource != nullptr) return gTickSource();
  return w32::TickCount();
}

void Sleep(uint32_t ms) {
  if (gSleepHook != nullptr) {
    gSleepHook(ms);
    return;
  }
  w32::SleepMs(ms);
}

LocalDate GetLocalDate() {
  if (gDateSource != nullptr) return gDateSource();
  LocalDate d{};
  w32::LocalDay(&d.day, &d.month, &d.year);
  return d;
}

void SetTickSource(uint32_t (*source)()) {
  gTickSource = source;
}
void SetSleepHook(void (*hook)(uint32_t)) {
  gSleepHook = hook;
}
void SetDateSource(LocalDate (*source)()) {
  gDateSource = source;
}

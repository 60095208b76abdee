// Tick count, sleep and local date, each replaceable by tests.
#include "platform/backend.h"
#include "platform/platform.h"

namespace {
uint32_t (*gTickSource)() = nullptr;
void (*gSleepHook)(uint32_t) = nullptr;
LocalDate (*gDateSource)() = nullptr;
}  // namespace

uint32_t GetTickCount() {
  if (gTickSource != nullptr) return gTickSource();
  return platform::SystemTickCount();
}

void Sleep(uint32_t ms) {
  if (gSleepHook != nullptr) {
    gSleepHook(ms);
    return;
  }
  platform::SystemSleep(ms);
}

LocalDate GetLocalDate() {
  if (gDateSource != nullptr) return gDateSource();
  return platform::SystemLocalDate();
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

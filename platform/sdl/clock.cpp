// Tick count, sleep and local date, each replaceable by tests.
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/platform.h"

namespace {
uint32_t (*gTickSource)() = nullptr;
void (*gSleepHook)(uint32_t) = nullptr;
LocalDate (*gDateSource)() = nullptr;
}  // namespace

uint32_t GetTickCount() {
  if (gTickSource != nullptr) return gTickSource();
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(ms);
}

void Sleep(uint32_t ms) {
  if (gSleepHook != nullptr) {
    gSleepHook(ms);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalDate GetLocalDate() {
  if (gDateSource != nullptr) return gDateSource();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDate{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
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

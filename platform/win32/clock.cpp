// The system's tick count, sleep and local date, from kernel32.
#include "platform/backend.h"
#include "platform/win32/win32_api.h"

namespace platform {

uint32_t SystemTickCount() {
  return w32::TickCount();
}

void SystemSleep(uint32_t ms) {
  w32::SleepMs(ms);
}

LocalDate SystemLocalDate() {
  LocalDate d{};
  w32::LocalDay(&d.day, &d.month, &d.year);
  return d;
}

}  // namespace platform

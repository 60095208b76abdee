// The system's tick count, sleep and local date.
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/backend.h"

namespace platform {

uint32_t SystemTickCount() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(ms);
}

void SystemSleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalDate SystemLocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDate{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

}  // namespace platform

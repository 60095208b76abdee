// The fake clock, sleep and date that headless tests run on, and a private
// working directory for the files a game writes.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/timers.h"
#include "platform/clock.h"

namespace bot {

// ------------------------------------------------------------ fake clock

inline uint32_t gNow = 1000;

inline uint32_t FakeTicks() {
  return gNow;
}
inline void FakeSleep(uint32_t ms) {
  gNow += ms;
}
inline LocalDate FakeDate() {
  return LocalDate{16, 1, 2026};
}
inline void InstallFakeClock() {
  gNow = 1000;
  SetTickSource(FakeTicks);
  SetSleepHook(FakeSleep);
  SetDateSource(FakeDate);
  gFrameClock = FrameClock{};
  ResetFrameClock();
}

inline void RemoveFakeClock() {
  SetTickSource(nullptr);
  SetSleepHook(nullptr);
  SetDateSource(nullptr);
}

// The start of a frame: the clock moves on by ms and the frame clock ticks.
inline void AdvanceFrame(uint32_t ms) {
  gNow += ms;
  TickFrameClock();
}

// A private working directory for the records files a game writes; the old
// directory comes back and the files go away at the end.
struct TempWorkDir {
  std::filesystem::path previous, dir;
  // `base` is the folder to make it in; a memory file system spares long
  // runs the disk flush of every records save.
  explicit TempWorkDir(const std::string& base = "/tmp") {
    previous = std::filesystem::current_path();
    std::string pattern = base + "/dromo-game-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
      dir = pattern;
      std::filesystem::current_path(dir);
    }
  }
  ~TempWorkDir() {
    std::error_code ec;
    std::filesystem::current_path(previous, ec);
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }
  TempWorkDir(const TempWorkDir&) = delete;
  TempWorkDir& operator=(const TempWorkDir&) = delete;
};

}  // namespace bot

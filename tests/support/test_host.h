// The host the rules tests, the headless bot and the rules benchmark run the
// rules on instead of the game's shell: every call of game/host.h, noted
// where a test can read it.  The name is typed through the game's own text
// entry (app/text_entry.h), which needs nothing of the system or the
// interface; the letter grid is the interface's and is not here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/host.h"

namespace test_host {

struct SoundCall {
  int voice, n, loop;
  float gain, low, high;
  int steps;
};

struct Click {
  int x, y;
};

struct Host {
  WindowSize window{800, 600};
  // Per GamePanel: whether the interface has the panel, and whether it shows.
  std::array<bool, 3> present{true, true, true};
  std::array<bool, 3> shown{};
  // ResetFieldChoice sets it: the shape choice would open with the next frame.
  bool choiceOpen = false;
  int intros = 0;
  int messageBoxes = 0;
  std::string lastMessage;
  std::vector<int> backgrounds;  // the n of each SelectBackground
  std::vector<SoundCall> sounds;
  std::vector<Click> clicks;
  int gridFrames = 0;  // NameGridInput calls
};

extern Host gHost;

// Back to a fresh host (800 x 600, every panel present and hidden) and no
// text entry open.
void Reset();

inline bool Shown(GamePanel panel) {
  return gHost.shown[panel];
}

}  // namespace test_host

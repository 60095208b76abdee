// What the play-screen tests share: the window's picture read in the game's
// own coordinates, and a key held as a player holds it.
#pragma once

#include <X11/Xlib.h>
// After Xlib.
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <thread>

#include "e2e/x_screen.h"

namespace game_screen {

constexpr int kW = 800, kH = 600;

inline void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Rect {
  int x, y, w, h;  // game coordinates: origin bottom-left, y upwards
};

// A screenshot of the game window in the game's own coordinates.
struct Shot {
  Picture pic;
  bool Whole() const { return pic.rgb.size() == static_cast<size_t>(kW) * kH; }
  unsigned At(int x, int y) const {
    x = std::clamp(x, 0, kW - 1);
    y = std::clamp(y, 0, kH - 1);
    return pic.rgb[static_cast<size_t>(kH - 1 - y) * kW + x];
  }
  static int R(unsigned p) { return static_cast<int>(p >> 16); }
  static int G(unsigned p) { return static_cast<int>((p >> 8) & 0xFF); }
  static int B(unsigned p) { return static_cast<int>(p & 0xFF); }
  static int Luma(unsigned p) { return (2 * R(p) + 5 * G(p) + B(p)) / 8; }

  // Mean of f(r, g, b) over a rectangle.
  double Mean(const Rect& r, const std::function<double(int, int, int)>& f) const {
    double sum = 0;
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        const unsigned p = At(x, y);
        sum += f(R(p), G(p), B(p));
        ++n;
      }
    }
    return n > 0 ? sum / n : 0;
  }
  double Luma(const Rect& r) const {
    return Mean(r, [](int R, int G, int B) { return (2 * R + 5 * G + B) / 8.0; });
  }
  // Share of the pixels that differ from another shot's.
  double Changed(const Shot& o, const Rect& r) const {
    int changed = 0, n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        changed += At(x, y) != o.At(x, y) ? 1 : 0;
        ++n;
      }
    }
    return n > 0 ? static_cast<double>(changed) / n : 0;
  }
};

// A key pressed on the game window through XTEST, held for `holdMs`, then
// released; false for a key this keyboard does not have.
inline bool HoldKey(XScreen& x, Window w, const char* keysym, int holdMs) {
  const KeyCode code = XKeysymToKeycode(x.display, XStringToKeysym(keysym));
  if (code == 0) return false;
  XSetInputFocus(x.display, w, RevertToParent, CurrentTime);
  XTestFakeKeyEvent(x.display, code, True, CurrentTime);
  XFlush(x.display);
  SleepMs(holdMs);
  XTestFakeKeyEvent(x.display, code, False, CurrentTime);
  XFlush(x.display);
  return true;
}

}  // namespace game_screen

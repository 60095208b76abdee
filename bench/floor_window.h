// The window the floor programs draw in: borderless, the game's size and
// pixel format (no depth buffer), run like the game's loop.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

namespace floor_window {

inline int gQuit = 0;

inline intptr_t Proc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_CLOSE || message == WM_QUIT) gQuit = 1;
  return DefWindowProc(message, wParam, lParam);
}

// Shows the window with a current GL context; false (and a line on stderr)
// when there is none.
inline bool Open(const char* name, int width, int height) {
  const PixelFormat format{24, 0, 0, 1};  // the game's
  if (!PlatformRegisterClass(name, Proc) || !PlatformCreateWindow(name, 0, 0, width, height) ||
      !PlatformGetDC() || !PlatformChoosePixelFormat(format) || !PlatformSetPixelFormat() ||
      !PlatformCreateContext() || !PlatformMakeCurrent(1)) {
    std::fprintf(stderr, "%s: no GL window\n", name);
    return false;
  }
  PlatformShowWindow();
  return true;
}

// Runs `frame` (which draws, the swap follows), then the game's 10 ms
// sleep, until the window closes or `seconds` have passed.
template <typename Frame>
void Run(double seconds, Frame frame) {
  const uint32_t start = GetTickCount();
  Msg msg{};
  while (!gQuit && GetTickCount() - start < static_cast<uint32_t>(seconds * 1000)) {
    while (PeekMessage(&msg)) DispatchMessage(msg);
    frame();
    SwapBuffers();
    Sleep(10);
  }
}

inline void Close(const char* name) {
  PlatformMakeCurrent(0);
  PlatformDeleteContext();
  PlatformReleaseDC();
  PlatformDestroyWindow();
  PlatformUnregisterClass(name);
}

}  // namespace floor_window

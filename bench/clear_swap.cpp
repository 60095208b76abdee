// The cheapest window a game can have: a borderless window of the game's
// size and pixel format that only clears and swaps, paced like the game's
// loop (10 ms sleep per frame).  bench/cpu_share.sh runs it beside the game
// as the floor to compare the game's CPU share and memory against.
//
// Usage: clear_swap [seconds] [width height]   (needs an X server)
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace {

int gQuit = 0;

intptr_t Proc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_CLOSE || message == WM_QUIT) gQuit = 1;
  return DefWindowProc(message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const int width = argc > 3 ? std::atoi(argv[2]) : 800;
  const int height = argc > 3 ? std::atoi(argv[3]) : 600;
  const PixelFormat format{24, 0, 0, 1};  // the game's
  if (!PlatformRegisterClass("clear_swap", Proc) ||
      !PlatformCreateWindow("clear_swap", 0, 0, width, height) || !PlatformGetDC() ||
      !PlatformChoosePixelFormat(format) || !PlatformSetPixelFormat() || !PlatformCreateContext() ||
      !PlatformMakeCurrent(1)) {
    std::fprintf(stderr, "clear_swap: no GL window\n");
    return 1;
  }
  PlatformShowWindow();
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 0);
  const uint32_t start = GetTickCount();
  Msg msg{};
  while (!gQuit && GetTickCount() - start < static_cast<uint32_t>(seconds * 1000)) {
    while (PeekMessage(&msg)) DispatchMessage(msg);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SwapBuffers();
    Sleep(10);
  }
  PlatformMakeCurrent(0);
  PlatformDeleteContext();
  PlatformReleaseDC();
  PlatformDestroyWindow();
  PlatformUnregisterClass("clear_swap");
  return 0;
}

// The cheapest window a game can have: a borderless window of the game's
// size and pixel format that only clears and swaps, paced like the game's
// loop (10 ms sleep per frame).  bench/cpu_share.sh runs it beside the game
// as the floor to compare the game's CPU share against.
//
// Usage: clear_swap [seconds] [width height]   (needs an X server)
#include <GL/gl.h>

#include <cstdlib>

#include "floor_window.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const int width = argc > 3 ? std::atoi(argv[2]) : 800;
  const int height = argc > 3 ? std::atoi(argv[3]) : 600;
  if (!floor_window::Open("clear_swap", width, height)) return 1;
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 0);
  floor_window::Run(seconds, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });
  floor_window::Close("clear_swap");
  return 0;
}

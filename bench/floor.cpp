// The least a game of this kind can cost in memory: the game's window and
// pixel format, one blended textured quad a frame (so that the renderer's
// drawing code is paged in, as any picture does), and the sound device with
// a context, paced like the game's loop.  bench/cpu_share.sh measures the
// game's peak memory against it.
//
// Usage: floor [seconds] [width height]   (needs an X server)
#include <AL/al.h>
#include <AL/alc.h>
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "floor_window.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  const int width = argc > 3 ? std::atoi(argv[2]) : 800;
  const int height = argc > 3 ? std::atoi(argv[3]) : 600;
  if (!floor_window::Open("floor", width, height)) return 1;
  ALCdevice* device = alcOpenDevice(nullptr);
  ALCcontext* context = device != nullptr ? alcCreateContext(device, nullptr) : nullptr;
  if (context == nullptr || !alcMakeContextCurrent(context))
    std::fprintf(stderr, "floor: no sound\n");

  // A 64 x 64 picture with soft edges.
  std::vector<uint8_t> texels(64 * 64 * 4);
  for (int i = 0; i < 64 * 64; ++i) {
    const int x = i % 64, y = i / 64;
    texels[4 * i] = static_cast<uint8_t>(x * 4);
    texels[4 * i + 1] = static_cast<uint8_t>(y * 4);
    texels[4 * i + 2] = 200;
    texels[4 * i + 3] = static_cast<uint8_t>((x * y) % 256);
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());

  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 0);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  floor_window::Run(seconds, [] {
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(100, 100);
    glTexCoord2f(1, 0);
    glVertex2f(356, 100);
    glTexCoord2f(1, 1);
    glVertex2f(356, 356);
    glTexCoord2f(0, 1);
    glVertex2f(100, 356);
    glEnd();
  });
  glDeleteTextures(1, &texture);
  alcMakeContextCurrent(nullptr);
  if (context != nullptr) alcDestroyContext(context);
  if (device != nullptr) alcCloseDevice(device);
  floor_window::Close("floor");
  return 0;
}

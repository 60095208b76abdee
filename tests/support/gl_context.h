// GL test support: the hidden test context and a clean slate of GL state.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"

// One hidden GL context per suite; the platform already rides out an X
// server that refuses a connection for a moment.  `depthBits` 0 is the
// game's own format.
inline bool OpenGlContext(int w, int h, int depthBits = 16) {
  return CreateGlTestContext(w, h, depthBits) == 1;
}

// Undoes whatever GL state an earlier test of the suite left behind.
inline void ResetGlState(int w, int h) {
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_COLOR_MATERIAL);
  glDepthMask(GL_TRUE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glBindTexture(GL_TEXTURE_2D, 0);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1, 1, 1, 1);
}

// A suite whose tests share one hidden W x H context, made when an X server
// is there (tests check sContext and skip without DISPLAY).
template <int W, int H>
class GlSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") != nullptr) sContext = OpenGlContext(W, H);
  }
  static void TearDownTestSuite() {
    if (sContext) DestroyGlTestContext();
    sContext = false;
  }
  static inline bool sContext = false;
};

// Drawing primitives on a real GL context: the 2D bracket, blend presets,
// colours, quads and gradients, and the bevelled frame, read back as pixels.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <thread>

#include "support/gl_context.h"
#include "app/app_state.h"
#include "gfx/draw.h"
#include "platform/platform.h"

namespace {

using Rgb = std::array<int, 3>;
constexpr int kSize = 64;

class DrawTest : public GlSuite<kSize, kSize> {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: needs an X server";
    ASSERT_TRUE(sContext) << "no GL context although DISPLAY is set";
    haveContext = true;
    ResetGlState(kSize, kSize);
    In2D = 0;
    savedApp = gApp;
  }
  void TearDown() override {
    if (!haveContext) return;
    End2D();
    gApp = savedApp;
  }
  static Rgb Pixel(int x, int y) {
    uint8_t p[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  static int Grey(int x, int y) { return Pixel(x, y)[0]; }
  static bool Lit(int x, int y) {
    const Rgb p = Pixel(x, y);
    return p[0] + p[1] + p[2] > 0;
  }
  static GLint Int(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
  }
  bool haveContext = false;
  AppState savedApp;
};

::testing::AssertionResult Near(int got, int want, int tolerance) {
  if (std::abs(got - want) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

TEST_F(DrawTest, QuadsDrawOnlyInside2D) {
  Quad(0, 0, kSize, kSize, 1);
  EXPECT_FALSE(Lit(32, 32));
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  EXPECT_EQ(In2D, 1);
  Quad(0, 0, 4, 4, 1);
  End2D();
  EXPECT_EQ(In2D, 0);
  EXPECT_TRUE(Lit(1, 1));
  EXPECT_FALSE(Lit(5, 5));
  Quad(0, 0, kSize, kSize, 1);  // after End2D: nothing again
  EXPECT_FALSE(Lit(32, 32));
}

TEST_F(DrawTest, BatchedQuadsDrawEachRectangleOnlyInside2D) {
  const float rects[8] = {0, 0, 4, 4, 10, 20, 6, 2};
  Quads(rects, 2);
  EXPECT_FALSE(Lit(1, 1));
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  glTranslatef(30, 30, 0);  // a stray translation is reset, as for Quad
  Quads(rects, 2);
  End2D();
  EXPECT_TRUE(Lit(1, 1));
  EXPECT_TRUE(Lit(15, 21));
  EXPECT_FALSE(Lit(5, 5));
  EXPECT_FALSE(Lit(15, 22));
  EXPECT_FALSE(Lit(31, 31));
}

TEST_F(DrawTest, NestedBeginIsIgnoredAndTheFirstEndCloses) {
  const GLint projDepth = Int(GL_PROJECTION_STACK_DEPTH);
  const GLint viewDepth = Int(GL_MODELVIEW_STACK_DEPTH);
  glEnable(GL_DEPTH_TEST);
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(Int(GL_DEPTH_WRITEMASK), GL_FALSE);
  EXPECT_EQ(Begin2D(0, 1, 0, 1), 0);  // the outer projection stays
  Quad(0, 0, 4, 4, 1);
  EXPECT_TRUE(Lit(1, 1));
  EXPECT_FALSE(Lit(10, 10));
  End2D();
  EXPECT_EQ(In2D, 0);
  EXPECT_EQ(Int(GL_PROJECTION_STACK_DEPTH), projDepth);
  EXPECT_EQ(Int(GL_MODELVIEW_STACK_DEPTH), viewDepth);
  EXPECT_EQ(Int(GL_MATRIX_MODE), GL_MODELVIEW);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(Int(GL_DEPTH_WRITEMASK), GL_TRUE);
  End2D();  // the nested one's End2D: nothing left to pop
  EXPECT_EQ(Int(GL_PROJECTION_STACK_DEPTH), projDepth);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawTest, WindowBracketUsesTheWindowSize) {
  gApp.windowWidth = kSize / 2;
  gApp.windowHeight = kSize / 2;
  ASSERT_EQ(Begin2DWindow(), 1);
  Quad(16, 16, 1, 1, 1);  // a window unit is two pixels of this viewport
  End2D();
  EXPECT_TRUE(Lit(32, 32));
  EXPECT_TRUE(Lit(33, 33));
  EXPECT_FALSE(Lit(34, 34));
}

TEST_F(DrawTest, QuadsStartFromIdentityAndOutlinesRestoreFill) {
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  glTranslatef(40, 40, 0);  // a caller's stray translation
  Quad(10, 10, 20, 20, 0);
  EXPECT_EQ(Int(GL_POLYGON_MODE), GL_FILL);
  End2D();
  EXPECT_FALSE(Lit(20, 20));  // outline only
  EXPECT_TRUE(Lit(20, 9) || Lit(20, 10));
  EXPECT_TRUE(Lit(9, 20) || Lit(10, 20));
  // Translated, its left edge would be at x = 50.
  EXPECT_FALSE(Lit(49, 60) || Lit(50, 60));
}

TEST_F(DrawTest, SetColorIgnoresInvisibleColours) {
  SetColor(0.5f, 0.25f, 0.5f, 0.75f);
  GLfloat c[4];
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], 0.25f);
  EXPECT_FLOAT_EQ(c[1], 0.5f);
  EXPECT_FLOAT_EQ(c[2], 0.75f);
  EXPECT_FLOAT_EQ(c[3], 0.5f);  // alpha is the first argument
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  SetColor(0, 1, 0, 0);
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[0], 0.25f);
  EXPECT_FLOAT_EQ(c[3], 0.5f);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
  SetColor(1, 0, 1, 0);
  glGetFloatv(GL_CURRENT_COLOR, c);
  EXPECT_FLOAT_EQ(c[1], 1.0f);
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
}

TEST_F(DrawTest, BlendPresets) {
  struct Case {
    int preset;
    GLenum src, dst;
  };
  const Case cases[] = {
      {1, GL_ZERO, GL_ZERO},
      {2, GL_ZERO, GL_ONE},
      {3, GL_ZERO, GL_SRC_COLOR},
      {4, GL_ZERO, GL_ONE_MINUS_SRC_COLOR},
      {5, GL_ZERO, GL_SRC_ALPHA},
      {6, GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},
      {7, GL_ZERO, GL_DST_ALPHA},
      {8, GL_ZERO, GL_ONE_MINUS_DST_ALPHA},
      {12, GL_ONE, GL_ONE_MINUS_SRC_COLOR},
      {19, GL_DST_COLOR, GL_SRC_COLOR},
      {34, GL_SRC_ALPHA, GL_ONE},
      {38, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
      {39, GL_SRC_ALPHA, GL_DST_ALPHA},
      {40, GL_SRC_ALPHA, GL_ONE_MINUS_DST_ALPHA},
      {9, GL_SRC_ALPHA, GL_ZERO},
      {37, GL_SRC_ALPHA, GL_ZERO},
      {1000, GL_SRC_ALPHA, GL_ZERO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    SetBlend(0);
    SetBlend(c.preset);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(Int(GL_BLEND_SRC), static_cast<GLint>(c.src));
    EXPECT_EQ(Int(GL_BLEND_DST), static_cast<GLint>(c.dst));
  }
  for (int off : {0, -1, -38}) {
    SetBlend(38);
    SetBlend(off);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << off;
  }
}

TEST_F(DrawTest, MirroredQuadFlipsTheTextureLeftRight) {
  const uint8_t texels[6] = {255, 0, 0, 0, 255, 0};  // red | green
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glEnable(GL_TEXTURE_2D);
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  Quad(0, 0, kSize, kSize / 2, 1);
  QuadMirrored(0, kSize / 2, kSize, kSize / 2, 1);
  End2D();
  glDisable(GL_TEXTURE_2D);
  glDeleteTextures(1, &tex);
  EXPECT_EQ(Pixel(10, 10), (Rgb{255, 0, 0}));
  EXPECT_EQ(Pixel(50, 10), (Rgb{0, 255, 0}));
  EXPECT_EQ(Pixel(10, 50), (Rgb{0, 255, 0}));
  EXPECT_EQ(Pixel(50, 50), (Rgb{255, 0, 0}));
}

TEST_F(DrawTest, GradientQuadsShadeTheRightWay) {
  struct Case {
    const char* what;
    std::function<void()> draw;
    // Expected colour at pixel centre fractions (fx, fy) of the window.
    std::function<Rgb(double, double)> want;
  };
  const float s = kSize;
  auto v = [](double x) { return static_cast<int>(std::lround(255 * x)); };
  const Case cases[] = {
      {"grey vertical", [&] { GreyVGradientQuad(1, 0, 1, 0, 0, s, s, 1); },
       [&](double, double fy) {
         return Rgb{v(fy), v(fy), v(fy)};
       }},
      {"alpha vertical", [&] { AlphaVGradientQuad(0.5f, 1, 0, 0, 0, s, s, 1); },
       [&](double, double fy) {
         return Rgb{v(0.5 * fy), v(0.5 * fy), v(0.5 * fy)};
       }},
      {"alpha horizontal", [&] { AlphaHGradientQuad(1, 0, 1, 0, 0, s, s, 1); },
       [&](double fx, double) {
         return Rgb{v(fx), v(fx), v(fx)};
       }},
      {"colour vertical", [&] { ColourVGradientQuad(1, 0, 0, 0.25f, 1, 0, 0, s, s, 1); },
       [&](double, double fy) {
         return Rgb{v(1 - 0.75 * fy), 0, 0};
       }},
      {"colour horizontal", [&] { ColourHGradientQuad(0, 0, 1, 1, 0, 0, 0, s, s, 1); },
       [&](double fx, double) {
         return Rgb{0, 0, v(1 - fx)};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    glClear(GL_COLOR_BUFFER_BIT);
    SetBlend(38);
    ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
    c.draw();
    End2D();
    SetBlend(0);
    for (int x : {4, 32, 59})
      for (int y : {4, 32, 59}) {
        const Rgb want = c.want((x + 0.5) / kSize, (y + 0.5) / kSize);
        const Rgb got = Pixel(x, y);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(Near(got[i], want[i], 3)) << x << "," << y;
      }
  }
}

TEST_F(DrawTest, GradientLinesShadeFromEndsToMiddle) {
  const ByteColour white{255, 255, 255}, black{0, 0, 0};
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  GradientLineH(0, 32, 64, 20, white, black);
  GradientLineV(0, 32, 64, 40, white, black);
  End2D();
  // The line lies on a pixel boundary: take whichever side it lit.
  auto h = [&](int x) { return std::max(Grey(x, 19), Grey(x, 20)); };
  auto vl = [&](int y) { return std::max(Grey(39, y), Grey(40, y)); };
  for (auto at : {std::function<int(int)>(h), std::function<int(int)>(vl)}) {
    EXPECT_GT(at(2), 200);
    EXPECT_LT(at(31), 30);
    EXPECT_GT(at(61), 200);
    EXPECT_LT(at(10), at(2));
    EXPECT_GT(at(50), at(40));
  }
}

TEST_F(DrawTest, DefaultFrameIsBrightInsideAndGrowsOutwards) {
  const ByteColour c1{127, 127, 127}, c2{0, 0, 0};
  SetBlend(38);
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  // 32 x 32 at (16, 16), border 6, outset: the frame spans 10..54.
  DrawFrame(nullptr, 16, 16, 32, 32, 6, 1, c1, c2);
  End2D();
  SetBlend(0);
  EXPECT_FALSE(Lit(8, 32));   // outside the grown rectangle
  EXPECT_FALSE(Lit(32, 32));  // a frame has no fill
  EXPECT_FALSE(Lit(56, 32));
  // Strips fade from 0.9 on the inner side to 0.08 on the outer edge; the
  // same alpha (0.695) is met 1.5 px from each inner edge.
  EXPECT_GT(Grey(14, 32), Grey(11, 32));    // left
  EXPECT_GT(Grey(49, 32), Grey(52, 32));    // right
  EXPECT_GT(Grey(32, 49), Grey(32, 52));    // top
  EXPECT_GT(Grey(32, 14), Grey(32, 11));    // bottom
  EXPECT_TRUE(Near(Grey(14, 32), 142, 4));  // grey 0.8
  EXPECT_TRUE(Near(Grey(49, 32), 177, 4));  // white
  EXPECT_TRUE(Near(Grey(32, 49), 177, 4));  // white
  EXPECT_TRUE(Near(Grey(32, 14), 124, 4));  // grey 0.7
  const Rgb p = Pixel(14, 32);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
  // Edge lines: c1 at their ends, c2 in the middle.
  EXPECT_TRUE(Near(std::max(Grey(9, 12), Grey(10, 12)), 113, 10));
  EXPECT_LT(std::max(Grey(9, 32), Grey(10, 32)), 40);
}

TEST_F(DrawTest, FrameWithoutOutsetAndWithItsOwnStyle) {
  FrameStyle red{};
  for (FrameEdge& e : red.edge) e = FrameEdge{1, 0, 0, 1, 1};
  const ByteColour c{255, 0, 0};
  SetBlend(38);
  ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
  DrawFrame(&red, 16, 16, 32, 32, 6, 0, c, c);
  End2D();
  SetBlend(0);
  EXPECT_FALSE(Lit(13, 32));  // no growth: the left strip starts at 16
  EXPECT_EQ(Pixel(19, 32), (Rgb{255, 0, 0}));
  EXPECT_EQ(Pixel(44, 32), (Rgb{255, 0, 0}));
  EXPECT_EQ(Pixel(32, 44), (Rgb{255, 0, 0}));
  EXPECT_EQ(Pixel(32, 19), (Rgb{255, 0, 0}));
  EXPECT_FALSE(Lit(32, 32));
}

TEST_F(DrawTest, FrameMiddleGuideIsTruncatedAfterAddingTheCorner) {
  // Invisible strips leave only the edge lines; a frame whose corner sits at
  // a negative fraction puts the darkest point of its lines at
  // trunc(trunc(size / 2) + corner), one pixel left of (or below)
  // trunc(size / 2) + trunc(corner).
  FrameStyle clear{};
  for (FrameEdge& e : clear.edge) e = FrameEdge{1, 1, 1, 0, 0};
  const ByteColour white{255, 255, 255}, black{0, 0, 0};
  struct Case {
    const char* what;
    float x, y, w, h;
    std::function<int(int)> at;  // brightness of the line at offset 0..3
  };
  const Case cases[] = {
      {"bottom line", -2.5f, 20, 9, 20, [&](int i) { return std::max(Grey(i, 19), Grey(i, 20)); }},
      {"left line", 20, -2.5f, 20, 9, [&](int i) { return std::max(Grey(19, i), Grey(20, i)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    glClear(GL_COLOR_BUFFER_BIT);
    SetBlend(38);
    ASSERT_EQ(Begin2D(0, kSize, 0, kSize), 1);
    DrawFrame(&clear, c.x, c.y, c.w, c.h, 1, 0, white, black);
    End2D();
    SetBlend(0);
    // Guides -2, 1, 6: the line runs white at -2 to black at 1 and back to
    // white at 6.
    EXPECT_LT(c.at(1), c.at(0));
    EXPECT_LT(c.at(1), c.at(2));
    EXPECT_LT(c.at(0), c.at(2));
    EXPECT_LT(c.at(2), c.at(3));
  }
}

}  // namespace

#include "gfx/draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

#include "app/app_state.h"
#include "gfx/draw_cache.h"

int32_t In2D = 0;

// Every strip is nearly opaque on its inner side and faint on the outer edge;
// top and right are white, left and bottom grey.
const FrameStyle kDefaultFrameStyle = {{
    {1.0f, 1.0f, 1.0f, 0.9f, 0.08f},  // right
    {0.8f, 0.8f, 0.8f, 0.08f, 0.9f},  // left
    {1.0f, 1.0f, 1.0f, 0.08f, 0.9f},  // top
    {0.7f, 0.7f, 0.7f, 0.9f, 0.08f},  // bottom
}};

namespace {

// ------------------------------------------------------------ recording

// A call's arguments as plain bytes, and back.
template <typename A>
A Unpack(const uint8_t* p) {
  A a;
  std::memcpy(&a, p, sizeof a);
  return a;
}

// Records a call whose arguments are one plain struct.
template <typename A>
void Record(ReplayFn replay, const A& a, float x, float y, float w, float h) {
  RecordDraw(replay, &a, sizeof a, std::min(x, x + w), std::min(y, y + h), std::max(x, x + w),
             std::max(y, y + h));
}

// A quad counts as drawn only inside the 2D mode, as it is drawn.
bool RecordingQuad() {
  return DrawRecording() && In2D == 1;
}

void NoteRect(float x, float y, float w, float h) {
  NoteDrawn(std::min(x, x + w), std::min(y, y + h), std::max(x, x + w), std::max(y, y + h));
}

// Corner colours of a quad, counter-clockwise from the lower left.
struct Corner {
  float r, g, b, a;
};

// Returns 0 when nothing may be drawn.  Quads always start from identity so
// that a caller's stray translation never shifts the interface.
int BeginQuad(int filled) {
  if (In2D != 1) return 0;
  glLoadIdentity();
  if (!filled) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  return 1;
}

void EndQuad(int filled) {
  if (!filled) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

struct ShadedArgs {
  float x, y, w, h;
  int32_t filled;
  Corner c[4];
};
void ReplayShaded(const uint8_t* p, size_t);

void ShadedQuad(float x, float y, float w, float h, int filled, const Corner (&c)[4]) {
  if (RecordingQuad()) {
    Record(ReplayShaded, ShadedArgs{x, y, w, h, filled, {c[0], c[1], c[2], c[3]}}, x, y, w, h);
    return;
  }
  if (!BeginQuad(filled)) return;
  NoteRect(x, y, w, h);
  glBegin(GL_QUADS);
  glColor4f(c[0].r, c[0].g, c[0].b, c[0].a);
  glTexCoord2f(0, 0);
  glVertex2f(x, y);
  glColor4f(c[1].r, c[1].g, c[1].b, c[1].a);
  glTexCoord2f(1, 0);
  glVertex2f(x + w, y);
  glColor4f(c[2].r, c[2].g, c[2].b, c[2].a);
  glTexCoord2f(1, 1);
  glVertex2f(x + w, y + h);
  glColor4f(c[3].r, c[3].g, c[3].b, c[3].a);
  glTexCoord2f(0, 1);
  glVertex2f(x, y + h);
  glEnd();
  EndQuad(filled);
}

void ReplayShaded(const uint8_t* p, size_t) {
  const auto a = Unpack<ShadedArgs>(p);
  ShadedQuad(a.x, a.y, a.w, a.h, a.filled, a.c);
}

struct TexturedArgs {
  float x, y, w, h;
  int32_t filled;
  float uv[8];
};
void ReplayTextured(const uint8_t* p, size_t);

// Texture coordinates per corner, counter-clockwise from the lower left.
void TexturedQuad(float x, float y, float w, float h, int filled, const float (&uv)[8]) {
  if (RecordingQuad()) {
    TexturedArgs a{x, y, w, h, filled, {}};
    std::memcpy(a.uv, uv, sizeof a.uv);
    Record(ReplayTextured, a, x, y, w, h);
    return;
  }
  if (!BeginQuad(filled)) return;
  NoteRect(x, y, w, h);
  glBegin(GL_QUADS);
  glTexCoord2f(uv[0], uv[1]);
  glVertex2f(x, y);
  glTexCoord2f(uv[2], uv[3]);
  glVertex2f(x + w, y);
  glTexCoord2f(uv[4], uv[5]);
  glVertex2f(x + w, y + h);
  glTexCoord2f(uv[6], uv[7]);
  glVertex2f(x, y + h);
  glEnd();
  EndQuad(filled);
}

void ReplayTextured(const uint8_t* p, size_t) {
  const auto a = Unpack<TexturedArgs>(p);
  TexturedQuad(a.x, a.y, a.w, a.h, a.filled, a.uv);
}

// A line lights the pixels on either side of its coordinates.
float LineLo(int a, int b) {
  return static_cast<float>(std::min(a, b) - 1);
}
float LineHi(int a, int b) {
  return static_cast<float>(std::max(a, b) + 1);
}

// Recordings are compared byte by byte: no byte of a call's arguments may be
// left undefined, padding included.
struct LineArgs {
  int32_t ax, ay, mx, my, bx, by;
  ByteColour c1, c2;
  uint8_t unused[2] = {0, 0};
};
static_assert(std::has_unique_object_representations_v<LineArgs>, "LineArgs has padding");
void ReplayLine(const uint8_t* p, size_t);

void ShadedLine(int ax, int ay, int mx, int my, int bx, int by, ByteColour c1, ByteColour c2) {
  if (DrawRecording()) {
    const LineArgs a{ax, ay, mx, my, bx, by, c1, c2};
    RecordDraw(ReplayLine, &a, sizeof a, LineLo(ax, bx), LineLo(ay, by), LineHi(ax, bx),
               LineHi(ay, by));
    return;
  }
  NoteDrawn(LineLo(ax, bx), LineLo(ay, by), LineHi(ax, bx), LineHi(ay, by));
  glBegin(GL_LINES);
  glColor3ub(c1.r, c1.g, c1.b);
  glVertex2i(ax, ay);
  glColor3ub(c2.r, c2.g, c2.b);
  glVertex2i(mx, my);
  glVertex2i(mx, my);
  glColor3ub(c1.r, c1.g, c1.b);
  glVertex2i(bx, by);
  glEnd();
}

void ReplayLine(const uint8_t* p, size_t) {
  const auto a = Unpack<LineArgs>(p);
  ShadedLine(a.ax, a.ay, a.mx, a.my, a.bx, a.by, a.c1, a.c2);
}

void ReplayBlend(const uint8_t* p, size_t) {
  SetBlend(Unpack<int32_t>(p));
}

struct ColourArgs {
  float alpha, r, g, b;
};
void ReplayColour(const uint8_t* p, size_t) {
  const auto a = Unpack<ColourArgs>(p);
  SetColor(a.alpha, a.r, a.g, a.b);
}

void ReplayQuads(const uint8_t* p, size_t size) {
  std::vector<float> rects(size / sizeof(float));
  std::memcpy(rects.data(), p, rects.size() * sizeof(float));
  Quads(rects.data(), static_cast<int>(rects.size() / 4));
}

struct ScissorArgs {
  int32_t x, y, w, h;
};
void ReplayScissor(const uint8_t* p, size_t) {
  const auto a = Unpack<ScissorArgs>(p);
  SetScissor(a.x, a.y, a.w, a.h);
}
void ReplayScissorTest(const uint8_t* p, size_t) {
  SetScissorTest(Unpack<int32_t>(p));
}

}  // namespace

int Begin2D(double left, double right, double bottom, double top) {
  if (In2D == 1) return 0;
  In2D = 1;
  if (DrawProbing()) {
    const double view[4] = {left, right, bottom, top};
    FoldIntoProbe(view, sizeof view);
    return 1;
  }
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(left, right, bottom, top);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  return 1;
}

int Begin2DWindow() {
  return Begin2D(0, gApp.windowWidth, 0, gApp.windowHeight);
}

void End2D() {
  if (In2D <= 0) return;
  if (DrawProbing()) {
    In2D = 0;
    FoldIntoProbe("end2d", 5);
    return;
  }
  if (In2D == 1) {
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
  }
  In2D = 0;
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void SetBlend(int preset) {
  if (DrawRecording()) {
    const int32_t a = preset;
    RecordState(ReplayBlend, &a, sizeof a);
    return;
  }
  if (preset <= 0) {
    glDisable(GL_BLEND);
    return;
  }
  GLenum src = GL_SRC_ALPHA, dst = GL_ZERO;
  switch (preset) {
    case 1:
      src = GL_ZERO;
      dst = GL_ZERO;
      break;
    case 2:
      src = GL_ZERO;
      dst = GL_ONE;
      break;
    case 3:
      src = GL_ZERO;
      dst = GL_SRC_COLOR;
      break;
    case 4:
      src = GL_ZERO;
      dst = GL_ONE_MINUS_SRC_COLOR;
      break;
    case 5:
      src = GL_ZERO;
      dst = GL_SRC_ALPHA;
      break;
    case 6:
      src = GL_ZERO;
      dst = GL_ONE_MINUS_SRC_ALPHA;
      break;
    case 7:
      src = GL_ZERO;
      dst = GL_DST_ALPHA;
      break;
    case 8:
      src = GL_ZERO;
      dst = GL_ONE_MINUS_DST_ALPHA;
      break;
    case 12:
      src = GL_ONE;
      dst = GL_ONE_MINUS_SRC_COLOR;
      break;
    case 19:
      src = GL_DST_COLOR;
      dst = GL_SRC_COLOR;
      break;
    case 34:
      src = GL_SRC_ALPHA;
      dst = GL_ONE;
      break;
    case 38:
      src = GL_SRC_ALPHA;
      dst = GL_ONE_MINUS_SRC_ALPHA;
      break;
    case 39:
      src = GL_SRC_ALPHA;
      dst = GL_DST_ALPHA;
      break;
    case 40:
      src = GL_SRC_ALPHA;
      dst = GL_ONE_MINUS_DST_ALPHA;
      break;
    default:
      break;
  }
  glEnable(GL_BLEND);
  glBlendFunc(src, dst);
}

void SetColor(float alpha, float r, float g, float b) {
  if (DrawRecording()) {
    const ColourArgs a{alpha, r, g, b};
    RecordState(ReplayColour, &a, sizeof a);
    return;
  }
  if (alpha > 0.00001f) {
    // The material only needs setting when colour-material is switched on;
    // while it stays on, the colour calls keep it current.
    if (!glIsEnabled(GL_COLOR_MATERIAL)) {
      static const GLfloat kBlack[4] = {0, 0, 0, 1};
      static const GLfloat kWhite[4] = {1, 1, 1, 1};
      glEnable(GL_COLOR_MATERIAL);
      glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kBlack);
      glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kWhite);
      glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kBlack);
      glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kBlack);
      glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    }
    glColor4f(r, g, b, alpha);
  } else {
    glDisable(GL_COLOR_MATERIAL);
  }
}

void Quad(float x, float y, float w, float h, int filled) {
  static const float kUv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  TexturedQuad(x, y, w, h, filled, kUv);
}

void Quads(const float* rects, int count) {
  if (rects == nullptr || count <= 0) return;
  if (RecordingQuad()) {
    float x0 = rects[0], y0 = rects[1], x1 = x0, y1 = y0;
    for (int i = 0; i < count; ++i) {
      const float* r = rects + 4 * i;
      x0 = std::min({x0, r[0], r[0] + r[2]});
      y0 = std::min({y0, r[1], r[1] + r[3]});
      x1 = std::max({x1, r[0], r[0] + r[2]});
      y1 = std::max({y1, r[1], r[1] + r[3]});
    }
    RecordDraw(ReplayQuads, rects, sizeof(float) * 4 * static_cast<size_t>(count), x0, y0, x1, y1);
    return;
  }
  if (!BeginQuad(1)) return;
  glBegin(GL_QUADS);
  for (int i = 0; i < count; ++i) {
    const float x = rects[4 * i], y = rects[4 * i + 1], w = rects[4 * i + 2], h = rects[4 * i + 3];
    NoteRect(x, y, w, h);
    glTexCoord2f(0, 0);
    glVertex2f(x, y);
    glTexCoord2f(1, 0);
    glVertex2f(x + w, y);
    glTexCoord2f(1, 1);
    glVertex2f(x + w, y + h);
    glTexCoord2f(0, 1);
    glVertex2f(x, y + h);
  }
  glEnd();
}

void QuadMirrored(float x, float y, float w, float h, int filled) {
  static const float kUv[8] = {1, 0, 0, 0, 0, 1, 1, 1};
  TexturedQuad(x, y, w, h, filled, kUv);
}

void GreyVGradientQuad(float gTop, float gBottom, float alpha, float x, float y, float w, float h,
                       int filled) {
  const Corner lo{gBottom, gBottom, gBottom, alpha}, hi{gTop, gTop, gTop, alpha};
  ShadedQuad(x, y, w, h, filled, {lo, lo, hi, hi});
}

void AlphaVGradientQuad(float g, float alphaTop, float alphaBottom, float x, float y, float w,
                        float h, int filled) {
  const Corner lo{g, g, g, alphaBottom}, hi{g, g, g, alphaTop};
  ShadedQuad(x, y, w, h, filled, {lo, lo, hi, hi});
}

void AlphaHGradientQuad(float g, float alphaLeft, float alphaRight, float x, float y, float w,
                        float h, int filled) {
  const Corner l{g, g, g, alphaLeft}, r{g, g, g, alphaRight};
  ShadedQuad(x, y, w, h, filled, {l, r, r, l});
}

void ColourVGradientQuad(float r, float g, float b, float alphaTop, float alphaBottom, float x,
                         float y, float w, float h, int filled) {
  const Corner lo{r, g, b, alphaBottom}, hi{r, g, b, alphaTop};
  ShadedQuad(x, y, w, h, filled, {lo, lo, hi, hi});
}

void ColourHGradientQuad(float r, float g, float b, float alphaLeft, float alphaRight, float x,
                         float y, float w, float h, int filled) {
  const Corner lft{r, g, b, alphaLeft}, rgt{r, g, b, alphaRight};
  ShadedQuad(x, y, w, h, filled, {lft, rgt, rgt, lft});
}

void GradientLineV(int y0, int ym, int y1, int x, ByteColour c1, ByteColour c2) {
  ShadedLine(x, y0, x, ym, x, y1, c1, c2);
}

void GradientLineH(int x0, int xm, int x1, int y, ByteColour c1, ByteColour c2) {
  ShadedLine(x0, y, xm, y, x1, y, c1, c2);
}

void DrawFrame(const FrameStyle* style, float x, float y, float w, float h, float border,
               int outset, ByteColour c1, ByteColour c2) {
  const FrameStyle& s = style != nullptr ? *style : kDefaultFrameStyle;
  const float b = border;
  if (outset) {
    x -= b;
    y -= b;
    w += 2 * b;
    h += 2 * b;
  }
  // The middle guides add the corner before truncating, so a corner at a
  // negative fraction moves them as it moves the far edge.
  const int x0 = static_cast<int>(x);
  const int xm = static_cast<int>(static_cast<float>(static_cast<int>(w / 2)) + x);
  const int x1 = static_cast<int>(x + w);
  const int y0 = static_cast<int>(y);
  const int ym = static_cast<int>(static_cast<float>(static_cast<int>(h / 2)) + y);
  const int y1 = static_cast<int>(y + h);
  const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);

  const FrameEdge& rt = s.edge[0];
  ColourHGradientQuad(rt.r, rt.g, rt.b, rt.first, rt.second, fx1 - b, y, b, h, 1);
  GradientLineV(y0, ym, y1, x1, c1, c2);
  GradientLineV(y0, ym, y1, static_cast<int>(fx1 - b), c1, c2);

  const FrameEdge& lf = s.edge[1];
  ColourHGradientQuad(lf.r, lf.g, lf.b, lf.first, lf.second, x, y, b, h, 1);
  GradientLineV(y0, ym, y1, x0, c1, c2);
  GradientLineV(y0, ym, y1, static_cast<int>(x + b), c1, c2);

  const FrameEdge& tp = s.edge[2];
  ColourVGradientQuad(tp.r, tp.g, tp.b, tp.first, tp.second, x, fy1 - b, w, b, 1);
  GradientLineH(x0, xm, x1, y1, c1, c2);
  GradientLineH(x0, xm, x1, static_cast<int>(fy1 - b), c1, c2);

  const FrameEdge& bt = s.edge[3];
  ColourVGradientQuad(bt.r, bt.g, bt.b, bt.first, bt.second, x, y, w, b, 1);
  GradientLineH(x0, xm, x1, y0, c1, c2);
  GradientLineH(x0, xm, x1, static_cast<int>(y + b), c1, c2);
}

void SetScissor(int x, int y, int w, int h) {
  if (DrawRecording()) {
    const ScissorArgs a{x, y, w, h};
    RecordState(ReplayScissor, &a, sizeof a);
    RecordScissor(x, y, w, h);
    return;
  }
  ApplyScissor(x, y, w, h);
}

void SetScissorTest(int on) {
  if (DrawRecording()) {
    const int32_t a = on != 0 ? 1 : 0;
    RecordState(ReplayScissorTest, &a, sizeof a);
    RecordScissorTest(a);
    return;
  }
  ApplyScissorTest(on);
}

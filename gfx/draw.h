// Immediate-mode drawing primitives in window pixels (origin bottom-left).
#pragma once

#include <cstdint>

extern int32_t In2D;

struct FrameEdge {
  float r, g, b;
  float first, second;  // alphas
};
// Edges in the order right, left, top, bottom.
struct FrameStyle {
  FrameEdge edge[4];
};
extern const FrameStyle kDefaultFrameStyle;

struct ByteColour {
  uint8_t r, g, b;
};

int Begin2D(double left, double right, double bottom, double top);
void End2D();
// The window-sized 2D projection most callers use.
int Begin2DWindow();
// Blend presets go by number; 0 turns blending off.  The one most drawing
// uses: colour over what lies beneath by its alpha.
constexpr int kBlendNormal = 38;
void SetBlend(int preset);
void SetColor(float alpha, float r, float g, float b);
void Quad(float x, float y, float w, float h, int filled);
// Several filled quads, each like Quad, in one draw: rects holds x, y, w, h
// per quad.  Software renderers pay per draw, so callers batch what they can.
void Quads(const float* rects, int count);
void QuadMirrored(float x, float y, float w, float h, int filled);
void GreyVGradientQuad(float gTop, float gBottom, float alpha, float x, float y, float w, float h,
                       int filled);
void AlphaVGradientQuad(float g, float alphaTop, float alphaBottom, float x, float y, float w,
                        float h, int filled);
void AlphaHGradientQuad(float g, float alphaLeft, float alphaRight, float x, float y, float w,
                        float h, int filled);
void ColourVGradientQuad(float r, float g, float b, float alphaTop, float alphaBottom, float x,
                         float y, float w, float h, int filled);
void ColourHGradientQuad(float r, float g, float b, float alphaLeft, float alphaRight, float x,
                         float y, float w, float h, int filled);
void GradientLineV(int y0, int ym, int y1, int x, ByteColour c1, ByteColour c2);
void GradientLineH(int x0, int xm, int x1, int y, ByteColour c1, ByteColour c2);
// The clip rectangle in window pixels, and switching it on and off.
void SetScissor(int x, int y, int w, int h);
void SetScissorTest(int on);
void DrawFrame(const FrameStyle* style, float x, float y, float w, float h, float border,
               int outset, ByteColour c1, ByteColour c2);

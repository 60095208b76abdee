#include "ui/debug_overlay.h"

#include "app/app_state.h"
#include "app/input_actions.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "ui/fonts.h"

namespace {

constexpr int kOverlayFont = 1;

}  // namespace

std::string DebugOverlayLine(int button) {
  const GestureCounters& c = gGestureCounters;
  if (button < GestureLeft || button > GestureMiddle) return std::string();
  const auto& n = c.calls[static_cast<std::size_t>(button)];
  switch (button) {
    case GestureLeft:
      return Format("L ( J%d  #%d)( K%d  #%d)(oJ%d  #%d) puls%d #%d", n[0], n[1], n[2], n[3], n[4],
                    n[5], c.leftRepeatTicks[0], c.leftRepeatTicks[1]);
    case GestureRight:
      return Format("R ( J%d  #%d)( K%d  #%d)(oJ%d  #%d) dli%d", n[0], n[1], n[2], n[3], n[4], n[5],
                    gMouseGestures.buttons[GestureRight].holdDurationMs);
    default:
      return Format("M ( J%d  #%d)( K%d  #%d)(oJ%d  #%d) ignor%d (w%d %d)", n[0], n[1], n[2], n[3],
                    n[4], n[5], GestureLocked(GestureMiddle), c.wheelDown, c.wheelUp);
  }
}

void DrawDebugOverlay() {
  const int half = gApp.windowWidth / 2;
  const float x = static_cast<float>(half);
  Begin2DWindow();
  SetBlend(kBlendNormal);
  SetColor(0.7f, 0.0f, 0.0f, 0.0f);
  DisableTexturing();
  Quad(x, 40.0f, static_cast<float>(half), 80.0f, 1);
  End2D();
  SetColor(1.0f, 1.0f, 0.0f, 0.0f);
  DrawTextAt(DebugOverlayLine(GestureLeft), kOverlayFont, x, 50.0f);
  SetColor(1.0f, 0.0f, 0.4f, 1.0f);
  DrawTextAt(DebugOverlayLine(GestureRight), kOverlayFont, x, 70.0f);
  SetColor(1.0f, 1.0f, 1.0f, 0.0f);
  DrawTextAt(DebugOverlayLine(GestureMiddle), kOverlayFont, x, 90.0f);
}

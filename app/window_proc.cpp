// The window procedure: it only writes flags and tables (activity, focus,
// quit, key table, text entry, wheel) that the next frame reads.
#include <array>
#include <tuple>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/input_actions.h"
#include "app/window.h"
#include "game/game.h"
#include "platform/platform.h"
#include "sound/sound.h"
#include "ui/panel_tree.h"

namespace {

constexpr int kKeyTableSize = static_cast<int>(std::tuple_size_v<decltype(gKeyTable)>);

// Virtual-key codes are below 256; anything else is not a key we keep.
int KeyCode(uintptr_t wParam) {
  return wParam < static_cast<uintptr_t>(kKeyTableSize) ? static_cast<int>(wParam) : -1;
}

bool IsHomeOrEnd(int code) {
  return code == VK_HOME || code == VK_END;
}

// Keys pressed in the options menu are the menu's, never the name's.
int TypeIntoEntry(int code) {
  if (PanelVisible(OptionsPanel)) return 0;
  return TextEntryChar(code);
}

void KeyDown(int code) {
  if (ResultsCloseKey(code, 1)) return;
  // Escape is never entered, so it can be neither pressed nor bound.
  if (code == VK_ESCAPE) return;
  // While a name is typed, Home and End move the cursor instead.
  if (TextEntryEditing() && IsHomeOrEnd(code)) return;
  KeyTablePress(code);
}

void KeyUp(int code) {
  KeyTableRelease(code);
  if (code == VK_F2) gApp.debugOverlay = gApp.debugOverlay <= 0 ? 1 : 0;
  if (ResultsCloseKey(code, 0)) return;
  if (code == VK_ESCAPE) return;
  if (TextEntryEditing() && IsHomeOrEnd(code)) TypeIntoEntry(code);
}

bool SwallowedSystemCommand(uintptr_t wParam) {
  switch (wParam & 0xFFF0) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MAXIMIZE:
    case SC_KEYMENU:
    case SC_SCREENSAVE:
    case SC_HOTKEY:
    case SC_MONITORPOWER:
    case SC_CONTEXTHELP:
      return true;
    default:
      return false;
  }
}

}  // namespace

int ResultsCloseKey(int code, int pressed) {
  // Nothing reaches the game while the options menu is open.
  if (!StageResultsClosable() || !OptionsHidden()) return 0;
  bool qualifies = code == VK_RETURN || code == VK_SPACE;
  if (!qualifies && MenuCooldownMs == 0 && !PanelVisible(OptionsPanel)) {
    InputAction& up = gActions[ActionUp];
    if (code == up.key1 || code == up.key2 || code == up.key3) {
      qualifies = true;
      // The key closes the results; it must not also turn the next piece.
      up.fired = 0;
    }
  }
  if (!qualifies) return 0;
  if (pressed == 0) CloseStageResults();
  return 1;
}

intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
      return 0;

    case WM_PAINT:
      RequestFullFrame();
      return 0;

    case WM_SIZE:
      switch (wParam) {
        case SIZE_MINIMIZED:
          gApp.focused = 0;
          gApp.active = 0;
          break;
        case SIZE_RESTORED:
          gApp.focused = 1;
          gApp.active = 1;
          RequestFullFrame();
          break;
        case SIZE_MAXIMIZED:
          gApp.focused = 1;
          RequestFullFrame();
          break;
        default:
          break;
      }
      return 0;

    case WM_ACTIVATE:
      gApp.focused = 1;
      if (HighWord(wParam) == 0) gApp.active = 1;
      return 0;

    case WM_SETFOCUS:
      gApp.focused = 1;
      gApp.active = 1;
      return 0;

    case WM_KILLFOCUS:
      gApp.focused = 0;
      return 0;

    // The window itself goes with the shutdown sequence.
    case WM_CLOSE:
      gApp.quitRequested = 1;
      return 0;

    case WM_KEYDOWN: {
      const int code = KeyCode(wParam);
      if (code >= 0) KeyDown(code);
      return 0;
    }
    case WM_KEYUP: {
      const int code = KeyCode(wParam);
      if (code >= 0) KeyUp(code);
      return 0;
    }

    case WM_CHAR:
      if (TypeIntoEntry(static_cast<int>(wParam & 0xFF))) {
        PlaySound(kVoiceCentre, 3, 0, 0.7f, 0.7f, 0.7f, 0);
      }
      return 0;

    case WM_SYSCOMMAND:
      // No system menu, no moving or sizing, no screen saver.
      if (SwallowedSystemCommand(wParam)) return 0;
      break;

    case WM_LBUTTONDOWN:
      KeyTablePress(VK_LBUTTON);
      return 0;
    case WM_LBUTTONUP:
      KeyTableRelease(VK_LBUTTON);
      return 0;
    case WM_RBUTTONDOWN:
      KeyTablePress(VK_RBUTTON);
      return 0;
    case WM_RBUTTONUP:
      KeyTableRelease(VK_RBUTTON);
      return 0;
    case WM_MBUTTONDOWN:
      KeyTablePress(VK_MBUTTON);
      WheelMiddleDown();
      return 0;
    case WM_MBUTTONUP:
      KeyTableRelease(VK_MBUTTON);
      if (!ResultsCloseKey(VK_MBUTTON, 0)) WheelReset();
      return 0;

    case WM_MOUSEWHEEL:
      WheelMessage(static_cast<int16_t>(HighWord(wParam)), GetTickCount());
      return 0;

    default:
      break;
  }
  return DefWindowProc(message, wParam, lParam);
}

// The message pump: SDL events become the window messages the shell was
// written against, with Windows virtual-key codes and Windows-1251 WM_CHAR.
#include <array>

#include "base/text.h"
#include "platform/sdl/sdl_shared.h"

namespace {

// Messages translated but not yet taken; one event may give several.
constexpr int kQueueSize = 256;
std::array<Msg, kQueueSize> gQueue{};
int gQueueHead = 0;
int gQueueCount = 0;

int (*gMessageSource)(Msg*) = nullptr;
bool gMinimised = false;

void Queue(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (gQueueCount == kQueueSize) return;  // a flood: the newest is dropped
  gQueue[(gQueueHead + gQueueCount) % kQueueSize] = Msg{message, wParam, lParam};
  ++gQueueCount;
}

intptr_t MakeLParam(int low, int high) {
  return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFF) |
                               ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}

struct KeyMapEntry {
  SDL_Scancode scancode;
  uint8_t vk;
};

// Keys by position; letters and digits are taken from the layout first (see
// VirtualKey), these positions serve layouts without Latin letters.
constexpr KeyMapEntry kKeyMap[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_1, '1'},
    {SDL_SCANCODE_2, '2'},
    {SDL_SCANCODE_3, '3'},
    {SDL_SCANCODE_4, '4'},
    {SDL_SCANCODE_5, '5'},
    {SDL_SCANCODE_6, '6'},
    {SDL_SCANCODE_7, '7'},
    {SDL_SCANCODE_8, '8'},
    {SDL_SCANCODE_9, '9'},
    {SDL_SCANCODE_A, 'A'},
    {SDL_SCANCODE_B, 'B'},
    {SDL_SCANCODE_C, 'C'},
    {SDL_SCANCODE_D, 'D'},
    {SDL_SCANCODE_E, 'E'},
    {SDL_SCANCODE_F, 'F'},
    {SDL_SCANCODE_G, 'G'},
    {SDL_SCANCODE_H, 'H'},
    {SDL_SCANCODE_I, 'I'},
    {SDL_SCANCODE_J, 'J'},
    {SDL_SCANCODE_K, 'K'},
    {SDL_SCANCODE_L, 'L'},
    {SDL_SCANCODE_M, 'M'},
    {SDL_SCANCODE_N, 'N'},
    {SDL_SCANCODE_O, 'O'},
    {SDL_SCANCODE_P, 'P'},
    {SDL_SCANCODE_Q, 'Q'},
    {SDL_SCANCODE_R, 'R'},
    {SDL_SCANCODE_S, 'S'},
    {SDL_SCANCODE_T, 'T'},
    {SDL_SCANCODE_U, 'U'},
    {SDL_SCANCODE_V, 'V'},
    {SDL_SCANCODE_W, 'W'},
    {SDL_SCANCODE_X, 'X'},
    {SDL_SCANCODE_Y, 'Y'},
    {SDL_SCANCODE_Z, 'Z'},
    {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},
    {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0},
    {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1},
    {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2},
    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3},
    {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4},
    {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6},
    {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7},
    {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8},
    {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_F1, VK_F1},
    {SDL_SCANCODE_F2, VK_F1 + 1},
    {SDL_SCANCODE_F3, VK_F1 + 2},
    {SDL_SCANCODE_F4, VK_F1 + 3},
    {SDL_SCANCODE_F5, VK_F1 + 4},
    {SDL_SCANCODE_F6, VK_F1 + 5},
    {SDL_SCANCODE_F7, VK_F1 + 6},
    {SDL_SCANCODE_F8, VK_F1 + 7},
    {SDL_SCANCODE_F9, VK_F1 + 8},
    {SDL_SCANCODE_F10, VK_F1 + 9},
    {SDL_SCANCODE_F11, VK_F1 + 10},
    {SDL_SCANCODE_F12, VK_F1 + 11},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_EQUALS, 0xBB},
    {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0},
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
};

uint32_t VirtualKey(SDL_Scancode scancode, SDL_Keycode sym) {
  // As on Windows, a letter key gives the letter it carries in the layout.
  if (sym >= 'a' && sym <= 'z') return static_cast<uint32_t>(sym - 'a' + 'A');
  if (sym >= '0' && sym <= '9') return static_cast<uint32_t>(sym);
  for (const KeyMapEntry& e : kKeyMap) {
    if (e.scancode == scancode) return e.vk;
  }
  return 0;
}

// The WM_CHAR that Windows makes of a key with no text of its own.
int ControlChar(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_BACKSPACE:
      return 8;
    case SDL_SCANCODE_TAB:
      return 9;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return 13;
    case SDL_SCANCODE_ESCAPE:
      return 27;
    default:
      return 0;
  }
}

intptr_t KeyLParam(SDL_Scancode scancode, bool down, bool repeat) {
  uint32_t v = 1 | ((static_cast<uint32_t>(scancode) & 0xFF) << 16);
  if (!down || repeat) v |= 1u << 30;  // previous key state
  if (!down) v |= 1u << 31;            // transition
  return static_cast<intptr_t>(v);
}

void TranslateWindowEvent(const SDL_WindowEvent& w) {
  switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      Queue(WM_ACTIVATE, WA_ACTIVE | (gMinimised ? 1u << 16 : 0u), 0);
      Queue(WM_SETFOCUS, 0, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      Queue(WM_ACTIVATE, WA_INACTIVE | (gMinimised ? 1u << 16 : 0u), 0);
      Queue(WM_KILLFOCUS, 0, 0);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      gMinimised = true;
      Queue(WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      gMinimised = false;
      Queue(WM_SIZE, SIZE_RESTORED, 0);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      gMinimised = false;
      Queue(WM_SIZE, SIZE_MAXIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      Queue(WM_CLOSE, 0, 0);
      break;
    // Uncovered, or shown again: what was on the screen may be gone.
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
      Queue(WM_PAINT, 0, 0);
      break;
    default:
      break;
  }
}

void Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = e.type == SDL_KEYDOWN;
      const SDL_Scancode sc = e.key.keysym.scancode;
      const uint32_t vk = VirtualKey(sc, e.key.keysym.sym);
      if (vk == 0) break;
      Queue(down ? WM_KEYDOWN : WM_KEYUP, vk, KeyLParam(sc, down, e.key.repeat != 0));
      if (!down) break;
      if (const int c = ControlChar(sc)) Queue(WM_CHAR, static_cast<uintptr_t>(c), 1);
      // Alt+F4 closes the window even where no window manager does it.
      if (vk == VK_F4 && (e.key.keysym.mod & KMOD_ALT) != 0 && e.key.repeat == 0) {
        Queue(WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      break;
    }
    case SDL_TEXTINPUT:
      for (const char c : TypedTextToCp1251(e.text.text)) {
        Queue(WM_CHAR, static_cast<unsigned char>(c), 1);
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      uint32_t message = 0;
      switch (e.button.button) {
        case SDL_BUTTON_LEFT:
          message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
          break;
        case SDL_BUTTON_RIGHT:
          message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
          break;
        case SDL_BUTTON_MIDDLE:
          message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
          break;
        default:
          break;
      }
      if (message != 0) Queue(message, 0, MakeLParam(e.button.x, e.button.y));
      break;
    }
    case SDL_MOUSEWHEEL: {
      int notches = e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) break;
      long delta = static_cast<long>(notches) * 120;
      if (delta > 32767) delta = 32767;
      if (delta < -32768) delta = -32768;
      const uintptr_t wParam = (static_cast<uintptr_t>(static_cast<uint16_t>(delta))) << 16;
      int x = 0, y = 0;
      SDL_GetGlobalMouseState(&x, &y);
      Queue(WM_MOUSEWHEEL, wParam, MakeLParam(x, y));
      break;
    }
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(e.window);
      break;
    // A termination signal: a close request like any other.
    case SDL_QUIT:
      Queue(WM_CLOSE, 0, 0);
      break;
    default:
      platform::TranslateGamepadEvent(e);
      break;
  }
}

}  // namespace

namespace platform {
void QueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Queue(message, wParam, lParam);
}

void ResetPump() {
  gQueueHead = 0;
  gQueueCount = 0;
  gMinimised = false;
}
}  // namespace platform

uint32_t VirtualKeyFromKeyName(const char* keyName) {
  if (keyName == nullptr) return 0;
  const SDL_Scancode sc = SDL_GetScancodeFromName(keyName);
  if (sc == SDL_SCANCODE_UNKNOWN) return 0;
  return VirtualKey(sc, SDL_GetKeyFromName(keyName));
}

int PeekMessage(Msg* out) {
  if (out == nullptr) return 0;
  if (gMessageSource != nullptr) return gMessageSource(out);
  SDL_Event e;
  if (SDL_WasInit(SDL_INIT_EVENTS) != 0) platform::StartGamepads();
  while (gQueueCount == 0 && SDL_WasInit(SDL_INIT_EVENTS) != 0 && SDL_PollEvent(&e) != 0) {
    Translate(e);
  }
  if (gQueueCount == 0) return 0;
  *out = gQueue[gQueueHead];
  gQueueHead = (gQueueHead + 1) % kQueueSize;
  --gQueueCount;
  return 1;
}

intptr_t DispatchMessage(const Msg& msg) {
  if (WindowProcFn proc = platform::RegisteredProc()) {
    return proc(msg.message, msg.wParam, msg.lParam);
  }
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t) {
  if (message != WM_SYSCOMMAND) return 0;
  SDL_Window* w = platform::ActiveWindow();
  switch (wParam & 0xFFF0) {
    case SC_CLOSE:
      if (WindowProcFn proc = platform::RegisteredProc()) proc(WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      if (w != nullptr) SDL_MinimizeWindow(w);
      break;
    case SC_RESTORE:
      if (w != nullptr) SDL_RestoreWindow(w);
      break;
    case SC_MAXIMIZE:
      if (w != nullptr) SDL_MaximizeWindow(w);
      break;
    default:
      break;
  }
  return 0;
}

void SetMessageSource(int (*source)(Msg*)) {
  gMessageSource = source;
}

// ------------------------------------------------------------ test input

int PostTestInput(TestInputKind kind, const char* text, int value) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return 0;
  }
  SDL_Event e;
  SDL_zero(e);
  SDL_Window* w = platform::ActiveWindow();
  const uint32_t windowId = w != nullptr ? SDL_GetWindowID(w) : 0;
  auto windowEvent = [&](uint8_t what) {
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = windowId;
    e.window.event = what;
  };
  switch (kind) {
    case TestKeyDown:
    case TestKeyRepeat:
    case TestKeyUp:
    case TestAltKeyDown:
      if (text == nullptr) return 0;
      e.type = kind == TestKeyUp ? SDL_KEYUP : SDL_KEYDOWN;
      e.key.windowID = windowId;
      e.key.state = kind == TestKeyUp ? SDL_RELEASED : SDL_PRESSED;
      e.key.repeat = kind == TestKeyRepeat ? 1 : 0;
      e.key.keysym.scancode = SDL_GetScancodeFromName(text);
      e.key.keysym.sym = SDL_GetKeyFromName(text);
      e.key.keysym.mod = kind == TestAltKeyDown ? KMOD_LALT : KMOD_NONE;
      if (e.key.keysym.scancode == SDL_SCANCODE_UNKNOWN) return 0;
      break;
    case TestText:
      if (text == nullptr) return 0;
      SDL_EventState(SDL_TEXTINPUT, SDL_ENABLE);
      e.type = SDL_TEXTINPUT;
      e.text.windowID = windowId;
      SDL_strlcpy(e.text.text, text, sizeof(e.text.text));
      break;
    case TestWheel:
      e.type = SDL_MOUSEWHEEL;
      e.wheel.windowID = windowId;
      e.wheel.y = value;
      e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
      break;
    case TestButtonDown:
    case TestButtonUp:
      e.type = kind == TestButtonDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      e.button.windowID = windowId;
      e.button.button = static_cast<uint8_t>(value);
      e.button.state = kind == TestButtonDown ? SDL_PRESSED : SDL_RELEASED;
      break;
    case TestFocusGained:
      windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
      break;
    case TestFocusLost:
      windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
      break;
    case TestMinimised:
      windowEvent(SDL_WINDOWEVENT_MINIMIZED);
      break;
    case TestRestored:
      windowEvent(SDL_WINDOWEVENT_RESTORED);
      break;
    case TestCloseRequest:
      windowEvent(SDL_WINDOWEVENT_CLOSE);
      break;
    case TestExposed:
      windowEvent(SDL_WINDOWEVENT_EXPOSED);
      break;
    default:
      return 0;
  }
  return SDL_PushEvent(&e) == 1 ? 1 : 0;
}

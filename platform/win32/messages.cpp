// The message pump: the real Windows messages of the game window, taken with
// PeekMessage and handed on with DispatchMessage.  Typed characters arrive as
// UTF-16 (the window is a Unicode one) and reach the window procedure as
// Windows-1251 bytes whatever the system's code page.
#include <cstring>
#include <deque>

#include "platform/platform.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_shared.h"

namespace {

int (*gMessageSource)(Msg*) = nullptr;

// Messages made up here (the game pads'), handed out before the system's.
std::deque<Msg> gQueued;

enum : uint32_t { WM_SYSKEYDOWN_ = 0x0104, WM_SYSKEYUP_ = 0x0105 };

struct KeyName {
  const char* name;
  uint8_t vk;
};

// The key names the SDL back end knows, so that tests and tools name keys
// the same way on both systems.
constexpr KeyName kKeyNames[] = {
    {"Backspace", VK_BACK},
    {"Tab", VK_TAB},
    {"Return", VK_RETURN},
    {"Keypad Enter", VK_RETURN},
    {"Left Shift", VK_SHIFT},
    {"Right Shift", VK_SHIFT},
    {"Left Ctrl", VK_CONTROL},
    {"Right Ctrl", VK_CONTROL},
    {"Left Alt", VK_MENU},
    {"Right Alt", VK_MENU},
    {"Pause", VK_PAUSE},
    {"CapsLock", VK_CAPITAL},
    {"Escape", VK_ESCAPE},
    {"Space", VK_SPACE},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"End", VK_END},
    {"Home", VK_HOME},
    {"Left", VK_LEFT},
    {"Up", VK_UP},
    {"Right", VK_RIGHT},
    {"Down", VK_DOWN},
    {"PrintScreen", 0x2C},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"Left GUI", 0x5B},
    {"Right GUI", 0x5C},
    {"Menu", 0x5D},
    {"Keypad *", VK_MULTIPLY},
    {"Keypad +", VK_ADD},
    {"Keypad -", VK_SUBTRACT},
    {"Keypad .", VK_DECIMAL},
    {"Keypad /", VK_DIVIDE},
    {"Numlock", 0x90},
    {"ScrollLock", 0x91},
    {";", 0xBA},
    {"=", 0xBB},
    {",", 0xBC},
    {"-", 0xBD},
    {".", 0xBE},
    {"/", 0xBF},
    {"`", 0xC0},
    {"[", 0xDB},
    {"\\", 0xDC},
    {"]", 0xDD},
    {"'", 0xDE},
};

// ASCII case-insensitive, as SDL compares key names.
bool SameName(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return *a == *b;
}

intptr_t KeyLParam(uint32_t vk, bool down, bool repeat) {
  uint32_t v = 1 | ((vk & 0xFF) << 16);
  if (!down || repeat) v |= 1u << 30;  // previous key state
  if (!down) v |= 1u << 31;            // transition
  return static_cast<intptr_t>(v);
}

intptr_t AltDown(uint32_t lParam) {
  return static_cast<intptr_t>(lParam | (1u << 29));
}

}  // namespace

uint32_t VirtualKeyFromKeyName(const char* keyName) {
  if (keyName == nullptr || keyName[0] == '\0') return 0;
  const char c = keyName[0];
  if (keyName[1] == '\0') {
    if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<uint32_t>(c);
  }
  if ((c == 'F' || c == 'f') && keyName[1] >= '1' && keyName[1] <= '9') {
    int n = keyName[1] - '0';
    if (keyName[2] >= '0' && keyName[2] <= '9' && keyName[3] == '\0') {
      n = n * 10 + (keyName[2] - '0');
    } else if (keyName[2] != '\0') {
      n = 0;
    }
    if (n >= 1 && n <= 12) return VK_F1 + static_cast<uint32_t>(n - 1);
  }
  if (std::strncmp(keyName, "Keypad ", 7) == 0 && keyName[7] >= '0' && keyName[7] <= '9' &&
      keyName[8] == '\0') {
    return VK_NUMPAD0 + static_cast<uint32_t>(keyName[7] - '0');
  }
  for (const KeyName& k : kKeyNames) {
    if (SameName(k.name, keyName)) return k.vk;
  }
  return 0;
}

int PeekMessage(Msg* out) {
  if (out == nullptr) return 0;
  if (gMessageSource != nullptr) return gMessageSource(out);
  platform::PollGamepads();
  if (!gQueued.empty()) {
    *out = gQueued.front();
    gQueued.pop_front();
    return 1;
  }
  return w32::Peek(&out->message, &out->wParam, &out->lParam);
}

void platform::QueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  gQueued.push_back(Msg{message, wParam, lParam});
}

intptr_t DispatchMessage(const Msg& msg) {
  return w32::Dispatch(msg.message, msg.wParam, msg.lParam);
}

intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return w32::DefaultProc(message, wParam, lParam);
}

void SetMessageSource(int (*source)(Msg*)) {
  gMessageSource = source;
}

// ------------------------------------------------------------ test input

// Posts what the system would post: key messages (with the WM_CHAR that a
// key with a control character gives), UTF-16 characters, mouse and wheel,
// and the window-state messages the system would send.
int PostTestInput(TestInputKind kind, const char* text, int value) {
  switch (kind) {
    case TestKeyDown:
    case TestKeyRepeat:
    case TestKeyUp:
    case TestAltKeyDown: {
      const uint32_t vk = VirtualKeyFromKeyName(text);
      if (vk == 0) return 0;
      const bool down = kind != TestKeyUp;
      intptr_t lParam = KeyLParam(vk, down, kind == TestKeyRepeat);
      uint32_t message = down ? WM_KEYDOWN : WM_KEYUP;
      if (kind == TestAltKeyDown) {
        message = WM_SYSKEYDOWN_;
        lParam = AltDown(static_cast<uint32_t>(lParam));
      }
      if (!w32::Post(message, vk, lParam)) return 0;
      if (down && (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE)) {
        const uintptr_t c = vk == VK_ESCAPE ? 27 : vk;
        return w32::Post(WM_CHAR, c, lParam);
      }
      return 1;
    }
    case TestText: {
      if (text == nullptr) return 0;
      // UTF-8 to UTF-16 units, as a Unicode window receives them.
      const std::size_t n = std::strlen(text);
      std::size_t i = 0;
      while (i < n) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t cp = b;
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (extra > 0) cp = b & (0x3F >> extra);
        ++i;
        for (; extra > 0 && i < n; --extra, ++i) {
          cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        // Control characters come from their keys, not from typed text.
        if (cp < 0x20 || cp == 0x7F) continue;
        if (cp >= 0x10000) {
          cp -= 0x10000;
          if (!w32::Post(WM_CHAR, 0xD800 + (cp >> 10), 1)) return 0;
          if (!w32::Post(WM_CHAR, 0xDC00 + (cp & 0x3FF), 1)) return 0;
        } else if (!w32::Post(WM_CHAR, cp, 1)) {
          return 0;
        }
      }
      return 1;
    }
    case TestWheel: {
      long delta = static_cast<long>(value) * 120;
      if (delta > 32767) delta = 32767;
      if (delta < -32768) delta = -32768;
      const uintptr_t wParam = (static_cast<uintptr_t>(static_cast<uint16_t>(delta))) << 16;
      return w32::Post(WM_MOUSEWHEEL, wParam, 0);
    }
    case TestButtonDown:
    case TestButtonUp: {
      const bool down = kind == TestButtonDown;
      uint32_t message = 0;
      if (value == 1) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      if (value == 2) message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      if (value == 3) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      if (message == 0) return 0;
      return w32::Post(message, 0, 0);
    }
    case TestFocusGained:
      return w32::Post(WM_ACTIVATE, WA_ACTIVE, 0) && w32::Post(WM_SETFOCUS, 0, 0) ? 1 : 0;
    case TestFocusLost:
      return w32::Post(WM_ACTIVATE, WA_INACTIVE, 0) && w32::Post(WM_KILLFOCUS, 0, 0) ? 1 : 0;
    case TestMinimised:
      return w32::Post(WM_SIZE, SIZE_MINIMIZED, 0);
    case TestRestored:
      return w32::Post(WM_SIZE, SIZE_RESTORED, 0);
    case TestCloseRequest:
      return w32::Post(WM_CLOSE, 0, 0);
    case TestExposed:
      return w32::Post(WM_PAINT, 0, 0);
    default:
      return 0;
  }
}

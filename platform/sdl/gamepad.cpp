// Game controllers: their buttons and the left stick become the key and
// mouse-button messages of the keys they stand for, so nothing above the pump
// knows a pad exists.  Pads may come and go while the game runs.
#include <array>
#include <vector>

#include "platform/sdl/sdl_shared.h"

namespace {

// What a pad stands for: a virtual key, or both mouse buttons (the chord
// that opens the options).
constexpr int kChord = 256;

struct Held {
  // How many pad inputs hold each key down; the message goes out on the
  // first and the last.
  std::array<int, 257> count{};
};
Held gHeld;

struct Pad {
  SDL_JoystickID id = -1;
  SDL_GameController* controller = nullptr;
  std::array<bool, SDL_CONTROLLER_BUTTON_MAX> buttons{};
  int stick = 0;  // -1 left, 0 centre, +1 right
};
std::vector<Pad> gPads;

bool gStarted = false;
int gTestJoystick = -1;  // device index of the test's virtual pad
SDL_JoystickID gTestInstance = -1;

// The stick counts as pushed beyond half way and as back once within a
// quarter, so that a stick resting near the middle does not chatter.
constexpr int kStickPress = 16384;
constexpr int kStickRelease = 8192;

void Press(int what, bool down) {
  int& n = gHeld.count[static_cast<size_t>(what)];
  if (down) {
    if (++n != 1) return;
  } else {
    if (n == 0 || --n != 0) return;
  }
  if (what == kChord) {
    platform::QueueMessage(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, 0);
    platform::QueueMessage(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, 0);
    return;
  }
  platform::QueueMessage(down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(what),
                         down ? 1 : static_cast<intptr_t>(0xC0000001u));
  // Start is Enter, which also types a carriage return (it accepts a name).
  if (down && what == VK_RETURN) platform::QueueMessage(WM_CHAR, 13, 1);
}

int KeyOfButton(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return VK_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return VK_RIGHT;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
    case SDL_CONTROLLER_BUTTON_A:
      return VK_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
    case SDL_CONTROLLER_BUTTON_B:
      return VK_DOWN;
    case SDL_CONTROLLER_BUTTON_X:
      return VK_SPACE;
    case SDL_CONTROLLER_BUTTON_START:
      return VK_RETURN;
    default:
      return 0;
  }
}

bool ShoulderButton(int button) {
  return button == SDL_CONTROLLER_BUTTON_LEFTSHOULDER ||
         button == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
}

bool BothShoulders(const Pad& p) {
  return p.buttons[SDL_CONTROLLER_BUTTON_LEFTSHOULDER] &&
         p.buttons[SDL_CONTROLLER_BUTTON_RIGHTSHOULDER];
}

Pad* FindPad(SDL_JoystickID id) {
  for (Pad& p : gPads) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

void Button(Pad& p, int button, bool down) {
  if (button < 0 || button >= SDL_CONTROLLER_BUTTON_MAX) return;
  if (p.buttons[static_cast<size_t>(button)] == down) return;
  const bool chordBefore = BothShoulders(p);
  p.buttons[static_cast<size_t>(button)] = down;
  if (ShoulderButton(button)) {
    const bool chordNow = BothShoulders(p);
    if (chordNow != chordBefore) Press(kChord, chordNow);
    return;
  }
  if (const int key = KeyOfButton(button)) Press(key, down);
}

void Stick(Pad& p, int value) {
  int now = p.stick;
  if (p.stick == 0) {
    if (value <= -kStickPress) now = -1;
    if (value >= kStickPress) now = 1;
  } else if (value > -kStickRelease && value < kStickRelease) {
    now = 0;
  } else if ((p.stick < 0) != (value < 0)) {
    now = value < 0 ? -1 : 1;  // flicked straight across
  }
  if (now == p.stick) return;
  if (p.stick != 0) Press(p.stick < 0 ? VK_LEFT : VK_RIGHT, false);
  p.stick = now;
  if (now != 0) Press(now < 0 ? VK_LEFT : VK_RIGHT, true);
}

// A pad that goes lets go of everything it held.
void ReleaseAll(Pad& p) {
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) Button(p, b, false);
  Stick(p, 0);
}

void Open(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
  if (c == nullptr) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
  if (FindPad(id) != nullptr) {
    SDL_GameControllerClose(c);  // already open: the count stays balanced
    return;
  }
  Pad p;
  p.id = id;
  p.controller = c;
  gPads.push_back(p);
}

void Close(SDL_JoystickID id) {
  for (auto it = gPads.begin(); it != gPads.end(); ++it) {
    if (it->id != id) continue;
    ReleaseAll(*it);
    SDL_GameControllerClose(it->controller);
    gPads.erase(it);
    return;
  }
}

}  // namespace

namespace platform {

void StartGamepads() {
  if (gStarted) return;
  gStarted = true;
  // No pad support is no loss: the keyboard and mouse remain.  The pads
  // present now arrive as device-added events.  Their events always reach
  // the pump, like the keyboard's: whether a frame acts on them is the
  // game's focus rule, and a release is never lost.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool TranslateGamepadEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Open(e.cdevice.which);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      Close(e.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* p = FindPad(e.cbutton.which)) {
        Button(*p, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
      }
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        if (Pad* p = FindPad(e.caxis.which)) Stick(*p, e.caxis.value);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace platform

// ------------------------------------------------------------ test input

int AttachTestGamepad() {
  if (gTestJoystick >= 0) return 1;
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return 0;
  }
  platform::StartGamepads();
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return 0;
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "st-DROMO test pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) return 0;
  gTestJoystick = index;
  gTestInstance = SDL_JoystickGetDeviceInstanceID(index);
  return 1;
}

namespace {
// The test pad once the pump has opened it.
SDL_Joystick* TestJoystick() {
  if (gTestInstance < 0 || FindPad(gTestInstance) == nullptr) return nullptr;
  return SDL_JoystickFromInstanceID(gTestInstance);
}

// The test's button names in SDL's numbering.
int SdlButton(TestPadButton b) {
  switch (b) {
    case TestPadA:
      return SDL_CONTROLLER_BUTTON_A;
    case TestPadB:
      return SDL_CONTROLLER_BUTTON_B;
    case TestPadX:
      return SDL_CONTROLLER_BUTTON_X;
    case TestPadY:
      return SDL_CONTROLLER_BUTTON_Y;
    case TestPadStart:
      return SDL_CONTROLLER_BUTTON_START;
    case TestPadLeftShoulder:
      return SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
    case TestPadRightShoulder:
      return SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
    case TestPadUp:
      return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case TestPadDown:
      return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    case TestPadLeft:
      return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case TestPadRight:
      return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
  }
  return -1;
}
}  // namespace

int SetTestGamepadButton(TestPadButton which, int down) {
  SDL_Joystick* j = TestJoystick();
  const int button = SdlButton(which);
  if (j == nullptr || button < 0) return 0;
  if (SDL_JoystickSetVirtualButton(j, button, down ? SDL_PRESSED : SDL_RELEASED) != 0) return 0;
  SDL_JoystickUpdate();
  return 1;
}

int SetTestGamepadStick(int x) {
  SDL_Joystick* j = TestJoystick();
  if (j == nullptr) return 0;
  if (SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x)) != 0) {
    return 0;
  }
  SDL_JoystickUpdate();
  return 1;
}

void DetachTestGamepad() {
  if (gTestJoystick < 0) return;
  SDL_JoystickDetachVirtual(gTestJoystick);
  gTestJoystick = -1;
  gTestInstance = -1;
  SDL_JoystickUpdate();
}

// Game controllers through SDL; what their buttons and stick stand for is
// the same on every system (pad_keys).  Pads may come and go while the game
// runs.
#include <array>
#include <utility>
#include <vector>

#include "platform/pad_keys.h"
#include "platform/sdl/sdl_shared.h"

namespace {

using platform::PadButton;

struct Pad {
  SDL_JoystickID id = -1;
  SDL_GameController* controller = nullptr;
  platform::PadKeys keys;
};
std::vector<Pad> gPads;

bool gStarted = false;
int gTestJoystick = -1;  // device index of the test's virtual pad
SDL_JoystickID gTestInstance = -1;

// SDL's buttons and the ones that mean something, side by side.
constexpr std::array<std::pair<int, PadButton>, platform::PadButtonCount> kButtons = {{
    {SDL_CONTROLLER_BUTTON_A, platform::PadA},
    {SDL_CONTROLLER_BUTTON_B, platform::PadB},
    {SDL_CONTROLLER_BUTTON_X, platform::PadX},
    {SDL_CONTROLLER_BUTTON_Y, platform::PadY},
    {SDL_CONTROLLER_BUTTON_START, platform::PadStart},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, platform::PadLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, platform::PadRightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, platform::PadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, platform::PadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, platform::PadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, platform::PadRight},
}};

Pad* FindPad(SDL_JoystickID id) {
  for (Pad& p : gPads) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

void Button(Pad& p, int sdlButton, bool down) {
  for (const auto& [sdl, button] : kButtons) {
    if (sdl == sdlButton) platform::SetPadButton(p.keys, button, down, platform::QueueMessage);
  }
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
    platform::ReleasePad(it->keys, platform::QueueMessage);
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
        if (Pad* p = FindPad(e.caxis.which)) {
          platform::SetPadStick(p->keys, e.caxis.value, platform::QueueMessage);
        }
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
  for (const auto& [sdl, button] : kButtons) {
    if (static_cast<int>(button) == static_cast<int>(b)) return sdl;
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

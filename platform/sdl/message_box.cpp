// The system's message box through SDL.  Enter answers Yes (or OK), Escape No.
#include "platform/backend.h"
#include "platform/sdl/sdl_shared.h"

namespace platform {

void PrepareStderr() {}

int ShowSystemMessageBox(const char* utf8Text, const char* utf8Caption, uint32_t flags) {
  const bool yesNo = (flags & 0xF) == MB_YESNO;
  const SDL_MessageBoxButtonData okButton[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
       "OK"}};
  const SDL_MessageBoxButtonData yesNoButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
  };
  uint32_t kind = 0;
  if ((flags & 0xF0) == MB_ICONEXCLAMATION) kind = SDL_MESSAGEBOX_WARNING;
  if ((flags & 0xF0) == MB_ICONINFORMATION) kind = SDL_MESSAGEBOX_INFORMATION;
  SDL_MessageBoxData box{};
  box.flags = kind | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  box.window = nullptr;
  box.title = utf8Caption;
  box.message = utf8Text;
  box.numbuttons = yesNo ? 2 : 1;
  box.buttons = yesNo ? yesNoButtons : okButton;

  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) return -1;
  return pressed;
}

}  // namespace platform

// Modal message boxes.  The texts are Windows-1251, SDL wants UTF-8.  Each box
// is also written to standard error, so a run without a screen says why it
// stopped.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/sdl/sdl_shared.h"

namespace {
int (*gMessageBoxHook)(const char*, const char*, uint32_t) = nullptr;
}  // namespace

int MessageBox(const char* text, const char* caption, uint32_t flags) {
  if (text == nullptr) text = "";
  if (caption == nullptr) caption = "";
  if (gMessageBoxHook != nullptr) return gMessageBoxHook(text, caption, flags);

  const std::string utf8Text = Cp1251ToUtf8(text);
  const std::string utf8Caption = Cp1251ToUtf8(caption);
  std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
  std::fflush(stderr);

  const bool yesNo = (flags & 0xF) == MB_YESNO;
  // Enter answers Yes (or OK), Escape No.
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
  box.title = utf8Caption.c_str();
  box.message = utf8Text.c_str();
  box.numbuttons = yesNo ? 2 : 1;
  box.buttons = yesNo ? yesNoButtons : okButton;

  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
    // No screen, or the box was closed: the answer a dismissed box gives.
    return yesNo ? IDNO : IDOK;
  }
  return pressed;
}

void SetMessageBoxHook(int (*hook)(const char*, const char*, uint32_t)) {
  gMessageBoxHook = hook;
}

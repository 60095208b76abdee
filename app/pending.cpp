// Link-time stand-ins for functions whose modules are still being written.
// Each is weak: the real definition, once its module exists, replaces it.
// This file goes away when every module is in.
#include <cstdio>

#include "app/frame.h"
#include "gfx/resources.h"
#include "platform/platform.h"
#include "ui/field_choice.h"
#include "ui/records_view.h"

#define PENDING __attribute__((weak))

PENDING int32_t CommandLeft = 0, CommandRight = 0, CommandUp = 0, CommandDown = 0;
PENDING int32_t MouseX = 0, MouseY = 0;
PENDING int32_t PulsesSteppedThisFrame = 0;
PENDING int32_t MenuCooldownMs = 0, OptionsToggleCooldownMs = 0, TextCooldownMs = 0;
PENDING void RunFrame(int) {}
PENDING void SetupIntro() {}
PENDING bool IntroRunning() { return false; }

PENDING int32_t gChoiceState = 0;
PENDING int32_t gSelectedShape = 2;
PENDING bool FieldChoiceStep(int, int, int) { return false; }
PENDING void DrawShapeCell(Panel*) {}

PENDING int32_t gSideInfoIndex = 0;
PENDING void ShowSideInfo(int) {}

PENDING TextureSlot gBackgroundTexture;
PENDING float gBackgroundY = 0;
PENDING TextureStore gTextures;
PENDING void SelectBackground(int, int) {}
PENDING int LoadMessageBase(const char*) { return 0; }
PENDING void ClearMessageBase() {}
PENDING std::string Message(int) { return "..."; }

PENDING int PeekMessage(Msg*) { return 0; }
PENDING intptr_t DispatchMessage(const Msg&) { return 0; }
PENDING intptr_t DefWindowProc(uint32_t, uintptr_t, intptr_t) { return 0; }
PENDING void SetMessageSource(int (*)(Msg*)) {}
PENDING int MessageBox(const char* text, const char* caption, uint32_t) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  return IDOK;
}
PENDING void SetMessageBoxHook(int (*)(const char*, const char*, uint32_t)) {}
PENDING int ShowCursor(int) { return 0; }
PENDING int GetCursorPos(int* x, int* y) {
  *x = 0;
  *y = 0;
  return 1;
}
PENDING int SetCursorPos(int, int) { return 1; }
PENDING int GetWindowRect(Rect* r) {
  *r = Rect{0, 0, 0, 0};
  return 1;
}
PENDING void GetScreenSize(int* w, int* h) {
  *w = 800;
  *h = 600;
}

// Link-time stand-ins for functions whose modules are still being written.
// Each is weak: the real definition, once its module exists, replaces it.
// This file goes away when every module is in.  Only trivially destructible
// objects may stand in here: a weak object with a destructor would be
// destroyed twice once its real definition exists.
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

// ---- text entry
#include "app/app_state.h"
PENDING int BeginTextEntry(int32_t*, const std::string&, int) { return 0; }
PENDING bool TextEntryEditing() { return false; }
PENDING int PollTextEntry(int32_t*, std::string&, int) { return 0; }
PENDING int TextEntryChar(int) { return 0; }

// ---- drawing, textures, fonts
#include "gfx/draw.h"
#include "ui/fonts.h"
PENDING int32_t In2D = 0;
PENDING int Begin2D(double, double, double, double) { return 0; }
PENDING int Begin2DWindow() { return 0; }
PENDING void End2D() {}
PENDING void SetBlend(int) {}
PENDING void SetColor(float, float, float, float) {}
PENDING void Quad(float, float, float, float, int) {}
PENDING void AlphaVGradientQuad(float, float, float, float, float, float, float, int) {}
PENDING void GreyVGradientQuad(float, float, float, float, float, float, float, int) {}
PENDING void DrawFrame(const FrameStyle*, float, float, float, float, float, int, ByteColour,
                       ByteColour) {}
PENDING int LoadImageFile(TextureSlot&, const char*) { return 0; }
PENDING int CreateTexture(TextureSlot&, int, int) { return 0; }
PENDING int LoadTextureList(TextureStore&, const char*) { return 0; }
PENDING void FreePixels(TextureSlot&) {}
PENDING void DeleteTexture(TextureSlot&) {}
PENDING void ReleaseStore(TextureStore&) {}
PENDING void BindTextureSlot(TextureStore&, int) {}
PENDING void BindTexture(TextureSlot&) {}
PENDING void DisableTexturing() {}
PENDING FontSet gFonts;
PENDING int LoadFonts(FontSet&, const char*) { return 0; }
PENDING void ReleaseFonts(FontSet&) {}
PENDING int TextWidth(const FontSet&, int, const std::string&, int, int) { return 0; }
PENDING void DrawTextAt(const std::string&, int, float, float, const std::string&, int, int) {}

// ---- input actions, layout, window
#include "app/input_actions.h"
#include "app/window.h"
#include "ui/layout.h"
PENDING std::array<InputAction, 13> gActions;
PENDING int32_t WheelDownEvent = 0, WheelUpEvent = 0;
PENDING void LoadInputActions(std::istream&) {}
PENDING void EvaluateInputActions() {}
PENDING void LoadMouseGestures(const char*) {}
PENDING void UpdateMouseGestures(uint32_t) {}
PENDING void WheelMessage(int, uint32_t) {}
PENDING void WheelMiddleDown() {}
PENDING void WheelReset() {}
PENDING void BuildPanelLayout() {}
PENDING void DrawPanelTree() {}
PENDING void DrawPanelBorder(Panel*, int, const FrameStyle*, float, int) {}
PENDING void ChooseWindowSize() {}
PENDING int CreateGlWindow(int, int) { return 0; }
PENDING void KillGlWindow() {}
PENDING int CreateGlTestContext(int, int) { return 0; }
PENDING void DestroyGlTestContext() {}
PENDING void SwapBuffers() {}

// ---- game entry points
#include "game/game.h"
#include "game/game_state.h"
PENDING void GameStartup() {}
PENDING void StartNewGame(int) {}
PENDING Field* SelectVariant(int) { return nullptr; }
PENDING void ResetGame() {}
PENDING void BuildField(Field*) {}
PENDING void GameTick(int, int, int, int, int, int, int) {}
PENDING void TakeBonus() {}
PENDING void CloseStageResults() {}
PENDING bool StageResultsClosable() { return false; }
PENDING int ProgressPercent() { return 0; }
PENDING int StatCount(const StatTable&, int) { return 0; }
PENDING int StatSum(const StatTable&) { return 0; }

// The window size choice, the window with its GL context, the GL start-up
// (fonts, textures, panels, bindings) and the teardown.
#include "app/window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <sstream>
#include <limits>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "base/file_util.h"
#include "base/text.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"

GlWindow gGlWindow;

void ShowMessageBox(const char* text, const char* caption) {
  MessageBox(text, caption, MB_OK);
}

namespace {

const char* const kClassName = "anPrimOpenGL";
PixelFormat gPixelFormat{};

// Stream extraction as the file format has it; a value that fails to read
// is 0 (and so is everything after it).
int32_t ReadInt(std::istream& in) {
  int32_t v = 0;
  if (!(in >> v)) v = 0;
  return v;
}

void SkipLine(std::istream& in) {
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

bool SizeAccepted(int32_t w, int32_t h) {
  return w >= 300 && w <= 4000 && h >= 200 && h <= 3000;
}

int CreationFailed(const char* text) {
  MessageBox(text, "Error", MB_ICONEXCLAMATION);
  KillGlWindow();
  return 0;
}

}  // namespace

void ChooseWindowSizeFrom(const char* fileName) {
  std::istringstream in;
  if (!OpenTextList(fileName, in)) return;
  SkipLine(in);  // a comment line
  int32_t mode = 0;
  const bool modeRead = static_cast<bool>(in >> mode);
  if (!modeRead) {
    // Nothing usable in the file: asking to choose between 0x0 and 0x0
    // would make no sense, so the default size stays.
    return;
  }
  SkipLine(in);
  const int32_t w1 = ReadInt(in);
  const int32_t h1 = ReadInt(in);
  SkipLine(in);
  const int32_t w2 = ReadInt(in);
  const int32_t h2 = ReadInt(in);

  if (mode == 0) {
    char text[200];
    std::snprintf(text, sizeof text, "Yes(Да): %dx%d    No(Нет): %dx%d (File wsize.txt)"_w, w1, h1,
                  w2, h2);
    mode = MessageBox(text, "WindowSize(Размер окна)"_w, MB_YESNO) == IDYES ? 1 : 2;
  }
  if (mode == 1 || mode == 2) {
    const int32_t w = mode == 1 ? w1 : w2;
    const int32_t h = mode == 1 ? h1 : h2;
    if (SizeAccepted(w, h)) {
      gApp.windowWidth = w;
      gApp.windowHeight = h;
    }
    return;
  }
  int sw = 0, sh = 0;
  GetScreenSize(&sw, &sh);
  gApp.windowWidth = sw;
  gApp.windowHeight = sh;
}

void ChooseWindowSize() {
  ChooseWindowSizeFrom("wsize.txt");
}

int CreateGlWindow(int width, int height) {
  if (!PlatformRegisterClass(kClassName, WindowProc)) {
    MessageBox("not RegisterClass", "Error", MB_ICONEXCLAMATION);
    return 0;
  }
  gGlWindow.classRegistered = 1;
  gGlWindow.windowedMode = 0;

  // A popup without border or menu: the window rectangle is the client area.
  if (!PlatformCreateWindow("st-DROMO", 0, 0, width, height)) {
    return CreationFailed("not CreateWindowEx");
  }
  gGlWindow.window = 1;

  if (gGlWindow.pixelFormatPrepared == 0) {
    // No depth buffer: nothing is drawn with the depth test, and without one
    // Mesa's software renderer fills screen-aligned quads on its fast path.
    gPixelFormat = PixelFormat{24, 0, 0, 1};
    gGlWindow.pixelFormatPrepared = 1;
  }
  if (!PlatformGetDC()) return CreationFailed("not GetDC");
  gGlWindow.dc = 1;
  if (!PlatformChoosePixelFormat(gPixelFormat)) return CreationFailed("not ChoosePixelFormat");
  if (!PlatformSetPixelFormat()) return CreationFailed("not SetPixelFormat");
  if (!PlatformCreateContext()) return CreationFailed("not wglCreateContext");
  gGlWindow.rc = 1;
  if (!PlatformMakeCurrent(1)) return CreationFailed("not wglMakeCurrent");
  if (!InitGl()) return CreationFailed("not InitGL");

  PlatformShowWindow();
  return 1;
}

void ResizeGlScene(int width, int height) {
  if (height <= 0) height = 1;  // the aspect ratio divides by it
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

int InitGl() {
  ResizeGlScene(gApp.windowWidth, gApp.windowHeight);

  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDepthFunc(GL_LEQUAL);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glLineWidth(1.0f);

  if (!LoadFonts(gFonts, "res/base")) return 0;

  if (!LoadTextureList(gTextures, "res/base/pix_start.txt")) {
    MessageBox("not Load TGA", "err", MB_ICONEXCLAMATION);
    return 0;
  }
  // The picture in slot 25 is drawn stretched; its edges must not wrap.
  BindTextureSlot(gTextures, 25);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);

  SetRootPanel(gApp.windowWidth, gApp.windowHeight);
  BuildPanelLayout();

  ClearKeyTable();

  std::istringstream bindings;
  if (!OpenTextList("res/base/sig.txt", bindings)) return 0;
  LoadInputActions(bindings);
  return 1;
}

void KillGlWindow() {
  ReleaseFonts(gFonts);
  ReleasePanelTree();
  ReleaseStore(gTextures);

  ShowCursor(1);

  if (gGlWindow.rc != 0) {
    const int released = PlatformMakeCurrent(0);
    PlatformDeleteContext();
    if (!released) MessageBox("KillGlWindow", "Err", MB_ICONINFORMATION);
    gGlWindow.rc = 0;
  }
  if (gGlWindow.dc != 0) {
    PlatformReleaseDC();
    gGlWindow.dc = 0;
  }
  if (gGlWindow.window != 0) {
    PlatformDestroyWindow();
    gGlWindow.window = 0;
  }
  if (gGlWindow.classRegistered != 0) {
    PlatformUnregisterClass(kClassName);
    gGlWindow.classRegistered = 0;
  }
}

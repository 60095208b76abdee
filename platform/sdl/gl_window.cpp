// The one window and its GL context, the cursor and the screen, on SDL2.
// The Win32 steps (class, window, DC, pixel format, context) are kept as
// separate calls so the shell can check and report each one.
#include <cstdio>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "base/text.h"
#include "platform/sdl/sdl_shared.h"

namespace {

// The GL driver and the picture loads allocate and free blocks of megabytes
// (decoded pictures, the driver's scratch space) while the window starts.
// glibc by default raises its mmap threshold each time such a block is
// freed, so that later ones come from the heap and stay with the process for
// as long as it runs.  A fixed threshold gives every big block back to the
// system when it is freed.
void KeepBigBlocksOutOfTheHeap() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

struct WindowRecord {
  bool classRegistered = false;
  WindowProcFn proc = nullptr;
  SDL_Window* window = nullptr;
  bool dc = false;
  bool formatChosen = false;
  PixelFormat chosen{};
  PixelFormat created{};  // the format the window's visual was made with
  bool formatSet = false;
  SDL_GLContext context = nullptr;
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;
};

WindowRecord gWin;

// The hidden window of CreateGlTestContext.
SDL_Window* gTestWindow = nullptr;
SDL_GLContext gTestContext = nullptr;

bool gVideoUp = false;
int gCursorCount = 0;  // shown while >= 0, as on Windows
void (*gScreenSizeSource)(int*, int*) = nullptr;

// The game's format: the window is made with it before the format is chosen.
constexpr PixelFormat kDefaultFormat{24, 0, 0, 1};

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
  return a.colorBits == b.colorBits && a.depthBits == b.depthBits &&
         a.stencilBits == b.stencilBits && a.doubleBuffer == b.doubleBuffer;
}

// The visual of an SDL window is fixed when the window is made, so the
// attributes go in before SDL_CreateWindow.
void SetGlAttributes(const PixelFormat& f) {
  SDL_GL_ResetAttributes();
  const int channel = f.colorBits >= 24 ? 8 : (f.colorBits >= 15 ? 5 : 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencilBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffer != 0 ? 1 : 0);
  // Immediate mode needs the compatibility profile.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// A hidden GL window; the game's is borderless, the tests' is not.
SDL_Window* MakeWindow(const std::string& title, int x, int y, int w, int h, const PixelFormat& f,
                       uint32_t extraFlags) {
  SetGlAttributes(f);
  return SDL_CreateWindow(Cp1251ToUtf8(title).c_str(), x, y, w, h,
                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | extraFlags);
}

SDL_Window* MakeGameWindow(const PixelFormat& f) {
  return MakeWindow(gWin.title, gWin.x, gWin.y, gWin.width, gWin.height, f, SDL_WINDOW_BORDERLESS);
}

// Only drivers that show something to a player: without a screen the game
// must stop with its message, not run on in an invisible surface.  A driver
// named in SDL_VIDEODRIVER still wins.
void PreferVisibleVideoDrivers() {
  std::string list;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    if (!list.empty()) list += ',';
    list += name;
  }
  if (!list.empty()) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, list.c_str(), SDL_HINT_DEFAULT);
}

void ApplyCursor() {
  if (gVideoUp) SDL_ShowCursor(gCursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace

namespace platform {

bool AcquireVideo() {
  if (gVideoUp) return true;
  // The game, not SDL, decides when the system may sleep.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
  PreferVisibleVideoDrivers();
  // An X server answering many clients at once sometimes refuses a
  // connection for a moment (EAGAIN); a few short retries ride that out.
  int tries = 0;
  while (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (++tries >= 5) {
      std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
      return false;
    }
    SDL_Delay(20);
  }
  // Video stays up until the process ends: quitting it unloads the GL
  // driver, and what that leaves behind could no longer be told from ours.
  gVideoUp = true;
  ApplyCursor();
  return true;
}

SDL_Window* ActiveWindow() {
  return gWin.window != nullptr ? gWin.window : gTestWindow;
}

WindowProcFn RegisteredProc() {
  return gWin.classRegistered ? gWin.proc : nullptr;
}

}  // namespace platform

// ------------------------------------------------------------- window steps

int PlatformRegisterClass(const char* className, WindowProcFn proc) {
  if (className == nullptr || proc == nullptr || gWin.classRegistered) return 0;
  if (!platform::AcquireVideo()) return 0;
  gWin.classRegistered = true;
  gWin.proc = proc;
  return 1;
}

void PlatformUnregisterClass(const char*) {
  if (!gWin.classRegistered) return;
  gWin.classRegistered = false;
  gWin.proc = nullptr;
  platform::ResetPump();
}

int PlatformCreateWindow(const char* title, int x, int y, int width, int height) {
  if (!gWin.classRegistered || gWin.window != nullptr || width <= 0 || height <= 0) return 0;
  gWin.title = title != nullptr ? title : "";
  gWin.x = x;
  gWin.y = y;
  gWin.width = width;
  gWin.height = height;
  gWin.created = kDefaultFormat;
  gWin.window = MakeGameWindow(gWin.created);
  if (gWin.window == nullptr) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return 0;
  }
  return 1;
}

void PlatformDestroyWindow() {
  if (gWin.window == nullptr) return;
  SDL_StopTextInput();
  SDL_DestroyWindow(gWin.window);
  gWin.window = nullptr;
  gWin.dc = false;
  gWin.formatChosen = false;
  gWin.formatSet = false;
}

int PlatformGetDC() {
  if (gWin.window == nullptr) return 0;
  gWin.dc = true;
  return 1;
}

void PlatformReleaseDC() {
  gWin.dc = false;
}

int PlatformChoosePixelFormat(const PixelFormat& format) {
  if (!gWin.dc) return 0;
  if (format.colorBits < 1 || format.colorBits > 32 || format.depthBits < 0 ||
      format.depthBits > 32 || format.stencilBits < 0 || format.stencilBits > 8) {
    return 0;
  }
  gWin.chosen = format;
  gWin.formatChosen = true;
  return 1;
}

int PlatformSetPixelFormat() {
  if (!gWin.dc || !gWin.formatChosen || gWin.formatSet) return 0;
  if (!SameFormat(gWin.chosen, gWin.created)) {
    // Another visual: the window has to be made again (it is still hidden).
    SDL_Window* again = MakeGameWindow(gWin.chosen);
    if (again == nullptr) return 0;
    SDL_DestroyWindow(gWin.window);
    gWin.window = again;
    gWin.created = gWin.chosen;
  }
  gWin.formatSet = true;
  return 1;
}

int PlatformCreateContext() {
  if (!gWin.formatSet || gWin.context != nullptr) return 0;
  KeepBigBlocksOutOfTheHeap();
  SetGlAttributes(gWin.created);
  gWin.context = SDL_GL_CreateContext(gWin.window);
  if (gWin.context == nullptr) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return 0;
  }
  // Like wglCreateContext: made, but not current until asked.
  SDL_GL_MakeCurrent(gWin.window, nullptr);
  return 1;
}

int PlatformMakeCurrent(int current) {
  if (gWin.window == nullptr) return 0;
  if (current != 0) {
    if (gWin.context == nullptr) return 0;
    if (SDL_GL_MakeCurrent(gWin.window, gWin.context) != 0) return 0;
    // The loop paces itself; a swap must not wait for the display.
    SDL_GL_SetSwapInterval(0);
    return 1;
  }
  return SDL_GL_MakeCurrent(gWin.window, nullptr) == 0 ? 1 : 0;
}

void PlatformDeleteContext() {
  if (gWin.context == nullptr) return;
  SDL_GL_DeleteContext(gWin.context);
  gWin.context = nullptr;
}

void PlatformShowWindow() {
  if (gWin.window == nullptr) return;
  SDL_ShowWindow(gWin.window);
  SDL_RaiseWindow(gWin.window);
  SDL_SetWindowInputFocus(gWin.window);
  SDL_StartTextInput();
  // The focus change comes back as an ordinary event, which the pump turns
  // into WM_ACTIVATE and WM_SETFOCUS; take it in now, as SetFocus would.
  SDL_PumpEvents();
}

void SwapBuffers() {
  if (SDL_Window* w = platform::ActiveWindow()) SDL_GL_SwapWindow(w);
}

// ------------------------------------------------------------ test context

int CreateGlTestContext(int width, int height, int depthBits) {
  if (gTestWindow != nullptr || width <= 0 || height <= 0 || depthBits < 0 || depthBits > 32)
    return 0;
  const PixelFormat format{kDefaultFormat.colorBits, depthBits, kDefaultFormat.stencilBits,
                           kDefaultFormat.doubleBuffer};
  // A test binary keeps its own signal handling.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (!platform::AcquireVideo()) return 0;
  gTestWindow = MakeWindow("test", 0, 0, width, height, format, 0);
  if (gTestWindow != nullptr) {
    SetGlAttributes(format);
    gTestContext = SDL_GL_CreateContext(gTestWindow);
  }
  if (gTestContext == nullptr || SDL_GL_MakeCurrent(gTestWindow, gTestContext) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    DestroyGlTestContext();
    return 0;
  }
  SDL_GL_SetSwapInterval(0);
  return 1;
}

void DestroyGlTestContext() {
  if (gTestContext != nullptr) {
    SDL_GL_MakeCurrent(gTestWindow, nullptr);
    SDL_GL_DeleteContext(gTestContext);
    gTestContext = nullptr;
  }
  if (gTestWindow != nullptr) {
    SDL_DestroyWindow(gTestWindow);
    gTestWindow = nullptr;
  }
}

// ---------------------------------------------------------- cursor, screen

int ShowCursor(int show) {
  gCursorCount += show != 0 ? 1 : -1;
  ApplyCursor();
  return gCursorCount;
}

int GetCursorPos(int* x, int* y) {
  if (x == nullptr || y == nullptr) return 0;
  *x = 0;
  *y = 0;
  if (!gVideoUp) return 0;
  SDL_GetGlobalMouseState(x, y);
  return 1;
}

int SetCursorPos(int x, int y) {
  if (!gVideoUp) return 0;
  return SDL_WarpMouseGlobal(x, y) == 0 ? 1 : 0;
}

int GetWindowRect(Rect* rect) {
  if (rect == nullptr) return 0;
  *rect = Rect{0, 0, 0, 0};
  SDL_Window* w = platform::ActiveWindow();
  if (w == nullptr) return 0;
  int x = 0, y = 0, width = 0, height = 0;
  SDL_GetWindowPosition(w, &x, &y);
  SDL_GetWindowSize(w, &width, &height);
  *rect = Rect{x, y, x + width, y + height};
  return 1;
}

void GetScreenSize(int* width, int* height) {
  if (width == nullptr || height == nullptr) return;
  if (gScreenSizeSource != nullptr) {
    gScreenSizeSource(width, height);
    return;
  }
  *width = 0;
  *height = 0;
  if (!platform::AcquireVideo()) return;
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    *width = mode.w;
    *height = mode.h;
  }
}

void SetScreenSizeSource(void (*source)(int*, int*)) {
  gScreenSizeSource = source;
}

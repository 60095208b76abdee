// The one window and its GL context, the cursor and the screen, on user32,
// gdi32 and wgl.  Each Win32 step stays a call of its own so the shell can
// check and report it.
#include <string>

#include "base/text.h"
#include "platform/platform.h"
#include "platform/win32/win32_api.h"

namespace {
void (*gScreenSizeSource)(int*, int*) = nullptr;
}  // namespace

int PlatformRegisterClass(const char* className, WindowProcFn proc) {
  if (className == nullptr || proc == nullptr) return 0;
  return w32::RegisterWindowClass(Cp1251ToUtf8(className).c_str(), proc);
}

void PlatformUnregisterClass(const char*) {
  w32::UnregisterWindowClass();
}

int PlatformCreateWindow(const char* title, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return w32::CreatePopupWindow(Cp1251ToUtf8(title != nullptr ? title : "").c_str(), x, y, width,
                                height);
}

void PlatformDestroyWindow() {
  w32::DestroyTheWindow();
}

int PlatformGetDC() {
  return w32::AcquireDC();
}

void PlatformReleaseDC() {
  w32::ReleaseTheDC();
}

int PlatformChoosePixelFormat(const PixelFormat& format) {
  if (format.colorBits < 1 || format.colorBits > 32 || format.depthBits < 0 ||
      format.depthBits > 32 || format.stencilBits < 0 || format.stencilBits > 8) {
    return 0;
  }
  return w32::ChooseFormat(w32::PixelRequest{format.colorBits, format.depthBits, format.stencilBits,
                                             format.doubleBuffer});
}

int PlatformSetPixelFormat() {
  return w32::SetFormat();
}

int PlatformCreateContext() {
  return w32::CreateContext();
}

int PlatformMakeCurrent(int current) {
  return w32::MakeCurrent(current);
}

void PlatformDeleteContext() {
  w32::DeleteContext();
}

void PlatformShowWindow() {
  w32::ShowAndFocus();
}

void SwapBuffers() {
  w32::Swap();
}

int CreateGlTestContext(int width, int height, int depthBits) {
  if (depthBits < 0 || depthBits > 32) return 0;
  return w32::CreateTestContext(width, height, depthBits);
}

void DestroyGlTestContext() {
  w32::DestroyTestContext();
}

int ShowCursor(int show) {
  return w32::ShowCursorCount(show);
}

int GetCursorPos(int* x, int* y) {
  if (x == nullptr || y == nullptr) return 0;
  *x = 0;
  *y = 0;
  return w32::CursorPos(x, y);
}

int SetCursorPos(int x, int y) {
  return w32::SetCursor(x, y);
}

int GetWindowRect(Rect* rect) {
  if (rect == nullptr) return 0;
  *rect = Rect{0, 0, 0, 0};
  return w32::WindowRect(&rect->left, &rect->top, &rect->right, &rect->bottom);
}

void GetScreenSize(int* width, int* height) {
  if (width == nullptr || height == nullptr) return;
  if (gScreenSizeSource != nullptr) {
    gScreenSizeSource(width, height);
    return;
  }
  w32::ScreenSize(width, height);
}

void SetScreenSizeSource(void (*source)(int*, int*)) {
  gScreenSizeSource = source;
}

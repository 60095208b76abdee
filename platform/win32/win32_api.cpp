// The Win32 back end's contact with <windows.h> for the window class and
// the popup window, the pixel format and the wgl context, the message pump,
// boxes, the cursor and libraries (time and files are win32_system.cpp's).
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <xinput.h>
#include <fcntl.h>
#include <io.h>

#include <string>

#include "base/text.h"
#include "platform/win32/win32_api.h"

namespace {

struct WindowRecord {
  HINSTANCE instance = nullptr;
  std::wstring className;
  bool classRegistered = false;
  w32::GameProc proc = nullptr;
  HWND window = nullptr;
  HDC dc = nullptr;
  PIXELFORMATDESCRIPTOR pfd{};
  int format = 0;
  HGLRC rc = nullptr;
};

WindowRecord gWin;

// The window whose message is being handled right now: messages sent while
// CreateWindowEx runs arrive before its handle is known.
HWND gProcWindow = nullptr;

// The message Peek took last, for Dispatch to hand on with its window.
MSG gPending{};
bool gHavePending = false;

// The hidden window of CreateTestContext.
const wchar_t kTestClass[] = L"dromoGlTest";
HWND gTestWindow = nullptr;
HDC gTestDC = nullptr;
HGLRC gTestRC = nullptr;

std::wstring Wide(const char* utf8) {
  if (utf8 == nullptr || utf8[0] == '\0') return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

// A character of a Unicode window as the Windows-1251 byte the text entry
// takes, or -1 when the code page has none.  Control characters (Backspace,
// Tab, Enter, Escape, Ctrl+letter) pass unchanged, as on a Russian system.
int CharToCp1251(WPARAM unit) {
  const auto c = static_cast<char32_t>(unit & 0xFFFF);
  // Halves of characters beyond the first plane: none is in the code page.
  if (c >= 0xD800 && c <= 0xDFFF) return -1;
  if (c == 0x7F) return -1;  // Ctrl+Backspace
  return cp1251::FromCodePoint(c);
}

// Windows names a shift, control or Alt key by its generic code in key
// messages; Wine sometimes sends the left or right one instead.
WPARAM GenericKey(WPARAM vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return vk;
  }
}

bool GameMessage(UINT message) {
  switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CLOSE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSCOMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

LRESULT Bridge(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gWin.proc == nullptr) {
    return hwnd != nullptr ? DefWindowProcW(hwnd, message, wParam, lParam) : 0;
  }
  switch (message) {
    case WM_CHAR: {
      const int b = CharToCp1251(wParam);
      if (b < 0) return 0;
      return gWin.proc(WM_CHAR, static_cast<uintptr_t>(b), lParam);
    }
    // Alt and F10 come as system keys; the key table sees them like any key
    // and the system still gets them, for Alt+F4.
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      gWin.proc(message == WM_SYSKEYDOWN ? WM_KEYDOWN : WM_KEYUP, GenericKey(wParam), lParam);
      return hwnd != nullptr ? DefWindowProcW(hwnd, message, wParam, lParam) : 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      return gWin.proc(message, GenericKey(wParam), lParam);
    // The game draws its picture again; the region is then valid, or
    // Windows would ask for it for ever.
    case WM_PAINT:
      gWin.proc(WM_PAINT, 0, 0);
      if (hwnd != nullptr) ValidateRect(hwnd, nullptr);
      return 0;
    default:
      break;
  }
  if (GameMessage(message)) return gWin.proc(message, wParam, lParam);
  return hwnd != nullptr ? DefWindowProcW(hwnd, message, wParam, lParam) : 0;
}

LRESULT CALLBACK NativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND const outer = gProcWindow;
  gProcWindow = hwnd;
  const LRESULT r = Bridge(hwnd, message, wParam, lParam);
  gProcWindow = outer;
  return r;
}

PIXELFORMATDESCRIPTOR Descriptor(const w32::PixelRequest& r) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (r.doubleBuffer ? PFD_DOUBLEBUFFER : 0);
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = static_cast<BYTE>(r.colorBits);
  pfd.cDepthBits = static_cast<BYTE>(r.depthBits);
  pfd.cStencilBits = static_cast<BYTE>(r.stencilBits);
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

// The loop paces itself; a swap must not wait for the display.
void NoSwapWait() {
  using SwapIntervalFn = BOOL(WINAPI*)(int);
  const PROC p = wglGetProcAddress("wglSwapIntervalEXT");
  if (p != nullptr) reinterpret_cast<SwapIntervalFn>(reinterpret_cast<void*>(p))(0);
}

}  // namespace

namespace w32 {

// ------------------------------------------------------------- libraries

void* LoadLibraryBytes(const char* name) {
  return reinterpret_cast<void*>(::LoadLibraryA(name));
}

void* LibrarySymbol(void* library, const char* symbol) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), symbol));
}

void FreeTheLibrary(void* library) {
  if (library != nullptr) ::FreeLibrary(static_cast<HMODULE>(library));
}

void PlainStderr() {
  _setmode(_fileno(stderr), _O_BINARY);
}

// ------------------------------------------------------------- message box

int MessageBoxUtf8(const char* text, const char* caption, uint32_t flags) {
  // The wide box shows the Cyrillic texts on every system locale.
  return ::MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), flags);
}

// --------------------------------------------------------- window and GL

int RegisterWindowClass(const char* className, GameProc proc) {
  if (gWin.classRegistered || proc == nullptr) return 0;
  gWin.instance = ::GetModuleHandleW(nullptr);
  gWin.className = Wide(className);
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = NativeProc;
  wc.hInstance = gWin.instance;
  wc.hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32517));      // IDI_WINLOGO
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = gWin.className.c_str();
  if (::RegisterClassW(&wc) == 0) return 0;
  gWin.classRegistered = true;
  gWin.proc = proc;
  return 1;
}

void UnregisterWindowClass() {
  if (!gWin.classRegistered) return;
  ::UnregisterClassW(gWin.className.c_str(), gWin.instance);
  gWin.classRegistered = false;
  gWin.proc = nullptr;
  gWin.instance = nullptr;
  gHavePending = false;
}

int CreatePopupWindow(const char* title, int x, int y, int width, int height) {
  if (!gWin.classRegistered || gWin.window != nullptr) return 0;
  const DWORD exStyle = WS_EX_APPWINDOW;
  const DWORD style = WS_POPUP;
  RECT r{0, 0, width, height};
  ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  gWin.window = ::CreateWindowExW(exStyle, gWin.className.c_str(), Wide(title).c_str(),
                                  style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, gWin.instance, nullptr);
  return gWin.window != nullptr ? 1 : 0;
}

void DestroyTheWindow() {
  if (gWin.window == nullptr) return;
  ::DestroyWindow(gWin.window);
  gWin.window = nullptr;
  gWin.format = 0;
}

int AcquireDC() {
  if (gWin.window == nullptr || gWin.dc != nullptr) return 0;
  gWin.dc = ::GetDC(gWin.window);
  return gWin.dc != nullptr ? 1 : 0;
}

void ReleaseTheDC() {
  if (gWin.dc == nullptr) return;
  ::ReleaseDC(gWin.window, gWin.dc);
  gWin.dc = nullptr;
}

int ChooseFormat(const PixelRequest& request) {
  if (gWin.dc == nullptr) return 0;
  gWin.pfd = Descriptor(request);
  gWin.format = ::ChoosePixelFormat(gWin.dc, &gWin.pfd);
  return gWin.format != 0 ? 1 : 0;
}

int SetFormat() {
  if (gWin.dc == nullptr || gWin.format == 0) return 0;
  return ::SetPixelFormat(gWin.dc, gWin.format, &gWin.pfd) ? 1 : 0;
}

int CreateContext() {
  if (gWin.dc == nullptr || gWin.rc != nullptr) return 0;
  gWin.rc = ::wglCreateContext(gWin.dc);
  return gWin.rc != nullptr ? 1 : 0;
}

int MakeCurrent(int current) {
  if (current == 0) return ::wglMakeCurrent(nullptr, nullptr) ? 1 : 0;
  if (gWin.dc == nullptr || gWin.rc == nullptr) return 0;
  if (!::wglMakeCurrent(gWin.dc, gWin.rc)) return 0;
  NoSwapWait();
  return 1;
}

void DeleteContext() {
  if (gWin.rc == nullptr) return;
  ::wglDeleteContext(gWin.rc);
  gWin.rc = nullptr;
}

void ShowAndFocus() {
  if (gWin.window == nullptr) return;
  ::ShowWindow(gWin.window, SW_SHOW);
  ::SetForegroundWindow(gWin.window);
  ::SetFocus(gWin.window);
}

void Swap() {
  if (gWin.dc != nullptr) {
    ::SwapBuffers(gWin.dc);
  } else if (gTestDC != nullptr) {
    ::SwapBuffers(gTestDC);
  }
}

int HaveWindow() {
  return gWin.window != nullptr ? 1 : 0;
}

int CreateTestContext(int width, int height, int depthBits) {
  if (gTestWindow != nullptr || width <= 0 || height <= 0) return 0;
  HINSTANCE const instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = kTestClass;
  ::RegisterClassW(&wc);  // may exist from an earlier context
  gTestWindow = ::CreateWindowExW(0, kTestClass, L"test", WS_POPUP, 0, 0, width, height, nullptr,
                                  nullptr, instance, nullptr);
  if (gTestWindow != nullptr) gTestDC = ::GetDC(gTestWindow);
  if (gTestDC != nullptr) {
    const PIXELFORMATDESCRIPTOR pfd = Descriptor(PixelRequest{24, depthBits, 0, 1});
    const int format = ::ChoosePixelFormat(gTestDC, &pfd);
    if (format != 0 && ::SetPixelFormat(gTestDC, format, &pfd))
      gTestRC = ::wglCreateContext(gTestDC);
  }
  if (gTestRC == nullptr || !::wglMakeCurrent(gTestDC, gTestRC)) {
    DestroyTestContext();
    return 0;
  }
  NoSwapWait();
  return 1;
}

void DestroyTestContext() {
  if (gTestRC != nullptr) {
    ::wglMakeCurrent(nullptr, nullptr);
    ::wglDeleteContext(gTestRC);
    gTestRC = nullptr;
  }
  if (gTestDC != nullptr) {
    ::ReleaseDC(gTestWindow, gTestDC);
    gTestDC = nullptr;
  }
  if (gTestWindow != nullptr) {
    ::DestroyWindow(gTestWindow);
    gTestWindow = nullptr;
  }
}

// ------------------------------------------------------------ the pump

int Peek(uint32_t* message, uintptr_t* wParam, intptr_t* lParam) {
  MSG m{};
  if (!::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) return 0;
  // Key presses become WM_CHAR messages, queued behind this one.
  ::TranslateMessage(&m);
  gPending = m;
  gHavePending = true;
  *message = m.message;
  *wParam = m.wParam;
  *lParam = m.lParam;
  return 1;
}

intptr_t Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (gHavePending && gPending.message == message && gPending.wParam == wParam &&
      gPending.lParam == lParam) {
    gHavePending = false;
    if (gPending.hwnd != nullptr) return ::DispatchMessageW(&gPending);
    // A message posted to the thread (no window yet): the procedure takes it.
    return NativeProc(nullptr, message, wParam, lParam);
  }
  return NativeProc(gWin.window, message, wParam, lParam);
}

intptr_t DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND const w = gProcWindow != nullptr ? gProcWindow : gWin.window;
  if (w != nullptr) return ::DefWindowProcW(w, message, wParam, lParam);
  // No window yet: the close command still becomes WM_CLOSE, as it would.
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && gWin.proc != nullptr) {
    gWin.proc(WM_CLOSE, 0, 0);
  }
  return 0;
}

int Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (gWin.window != nullptr) return ::PostMessageW(gWin.window, message, wParam, lParam) ? 1 : 0;
  return ::PostThreadMessageW(::GetCurrentThreadId(), message, wParam, lParam) ? 1 : 0;
}

// ------------------------------------------------------- cursor, screen

int ShowCursorCount(int show) {
  return ::ShowCursor(show != 0 ? TRUE : FALSE);
}

int CursorPos(int* x, int* y) {
  POINT p{};
  if (!::GetCursorPos(&p)) return 0;
  *x = p.x;
  *y = p.y;
  return 1;
}

int SetCursor(int x, int y) {
  return ::SetCursorPos(x, y) ? 1 : 0;
}

int WindowRect(int* left, int* top, int* right, int* bottom) {
  HWND const w = gWin.window != nullptr ? gWin.window : gTestWindow;
  RECT r{};
  if (w == nullptr || !::GetWindowRect(w, &r)) return 0;
  *left = r.left;
  *top = r.top;
  *right = r.right;
  *bottom = r.bottom;
  return 1;
}

void ScreenSize(int* width, int* height) {
  *width = ::GetSystemMetrics(SM_CXSCREEN);
  *height = ::GetSystemMetrics(SM_CYSCREEN);
}

// ------------------------------------------------------------ game pads

namespace {
using XInputGetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);
XInputGetStateFn gXInputGetState = nullptr;
bool gXInputTried = false;
}  // namespace

int PadState(int slot, uint16_t* buttons, int16_t* stickX) {
  if (!gXInputTried) {
    gXInputTried = true;
    // The newest first; Windows 7 has only the older ones.  Without any, the
    // game has keyboard and mouse.
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
      HMODULE m = ::LoadLibraryW(name);
      if (m == nullptr) continue;
      const FARPROC p = ::GetProcAddress(m, "XInputGetState");
      if (p != nullptr) {
        gXInputGetState = reinterpret_cast<XInputGetStateFn>(reinterpret_cast<void*>(p));
        break;
      }
      ::FreeLibrary(m);
    }
  }
  if (gXInputGetState == nullptr || buttons == nullptr || stickX == nullptr) return 0;
  XINPUT_STATE state{};
  if (gXInputGetState(static_cast<DWORD>(slot), &state) != ERROR_SUCCESS) return 0;
  *buttons = state.Gamepad.wButtons;
  *stickX = state.Gamepad.sThumbLX;
  return 1;
}

}  // namespace w32

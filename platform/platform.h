// The small Win32-shaped surface that the game shell is written against.
// This is the only module that talks to the operating system.  It has two
// back ends: platform/sdl/ (SDL2 and POSIX, for Linux) and platform/win32/
// (user32, gdi32, wgl and kernel32); no type or header of either leaks out.
// The clock and the file calls (clock.h, files.h) are all of it that the
// game rules see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"

// ------------------------------------------------------------ messages

enum : uint32_t {
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_PAINT = 0x000F,  // the window's picture was lost (exposed): draw it again
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSCOMMAND = 0x0112,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_MOUSEWHEEL = 0x020A,
};

// WM_SIZE kinds (wParam).
enum : uint32_t { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// WM_ACTIVATE kinds (low word of wParam; the high word is nonzero while minimised).
enum : uint32_t { WA_INACTIVE = 0, WA_ACTIVE = 1 };

// WM_SYSCOMMAND commands (wParam & 0xFFF0).
enum : uint32_t {
  SC_SIZE = 0xF000,
  SC_MOVE = 0xF010,
  SC_MINIMIZE = 0xF020,
  SC_MAXIMIZE = 0xF030,
  SC_CLOSE = 0xF060,
  SC_KEYMENU = 0xF100,
  SC_RESTORE = 0xF120,
  SC_SCREENSAVE = 0xF140,
  SC_HOTKEY = 0xF150,
  SC_MONITORPOWER = 0xF170,
  SC_CONTEXTHELP = 0xF180,
};

// Windows virtual-key codes used by the game and delivered by the pump.
enum : uint32_t {
  VK_LBUTTON = 0x01,
  VK_RBUTTON = 0x02,
  VK_MBUTTON = 0x04,
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,  // Alt
  VK_PAUSE = 0x13,
  VK_CAPITAL = 0x14,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,  // Page Up
  VK_NEXT = 0x22,   // Page Down
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
  VK_NUMPAD0 = 0x60,  // .. VK_NUMPAD9 = 0x69
  VK_MULTIPLY = 0x6A,
  VK_ADD = 0x6B,
  VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F,
  VK_F1 = 0x70,  // .. VK_F12 = 0x7B
  VK_F2 = 0x71,
  VK_F4 = 0x73,
  VK_F10 = 0x79,
};

struct Msg {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

inline uint32_t LowWord(uintptr_t v) {
  return static_cast<uint32_t>(v & 0xFFFF);
}
inline uint32_t HighWord(uintptr_t v) {
  return static_cast<uint32_t>((v >> 16) & 0xFFFF);
}

using WindowProcFn = intptr_t (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Non-blocking: removes and returns the next waiting message, 0 when none.
int PeekMessage(Msg* out);
// Hands a message to the window procedure given at window creation.
intptr_t DispatchMessage(const Msg& msg);
// The default handling of a message the window procedure did not take.
intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Tests feed messages of their own: while a source is set, PeekMessage takes
// its messages from it (a result of 0 means no message waits).
void SetMessageSource(int (*source)(Msg* out));

// How the pump translates keyboard input.  A key is named as the system names
// it ("A", "Return", "Keypad 5", "Left Shift" ...); 0 = a key the game never sees.
uint32_t VirtualKeyFromKeyName(const char* keyName);
// The WM_CHAR bytes of typed UTF-8 text: Windows-1251, one byte per character;
// control characters and characters the code page lacks are dropped.
std::string TypedTextToCp1251(const char* utf8);

// Synthetic system input for tests of the pump: queues what the system would
// deliver, for the next PeekMessage to translate.  `text` is a key name for
// the key kinds, typed UTF-8 for TestText; `value` is the wheel notches
// (positive away from the user) or the mouse button (1 left, 2 middle,
// 3 right).  1 on success.
enum TestInputKind : int {
  TestKeyDown,
  TestKeyRepeat,
  TestKeyUp,
  TestAltKeyDown,  // with Alt held
  TestText,
  TestWheel,
  TestButtonDown,
  TestButtonUp,
  TestFocusGained,
  TestFocusLost,
  TestMinimised,
  TestRestored,
  TestCloseRequest,
  TestExposed,
};
int PostTestInput(TestInputKind kind, const char* text, int value);

// A virtual game controller for tests, plugged in and out as a real one is;
// it reaches the pump once PeekMessage has run.  1 on success.
enum TestPadButton : int {
  TestPadA,
  TestPadB,
  TestPadX,
  TestPadY,
  TestPadStart,
  TestPadLeftShoulder,
  TestPadRightShoulder,
  TestPadUp,
  TestPadDown,
  TestPadLeft,
  TestPadRight,
};
int AttachTestGamepad();
int SetTestGamepadButton(TestPadButton button, int down);
// The left stick's horizontal position, -32768 (left) .. 32767 (right).
int SetTestGamepadStick(int x);
void DetachTestGamepad();

// ----------------------------------------------------- shared libraries

// A library loaded at run time (the sound system's OpenAL on Windows):
// null when it is not there.
void* OpenSharedLibrary(const char* name);
void* SharedLibrarySymbol(void* library, const char* symbol);
void CloseSharedLibrary(void* library);

// ---------------------------------------------------------- message box

enum : uint32_t {
  MB_OK = 0x0,
  MB_YESNO = 0x4,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };

// Shows a modal box (and writes caption and text to standard error, so that a
// run without a screen still says why it stopped).  Returns IDOK, IDYES or IDNO.
int MessageBox(const char* text, const char* caption, uint32_t flags);
// Tests answer boxes themselves: the hook gets text, caption and flags and
// returns the button.  nullptr restores the real box.
void SetMessageBoxHook(int (*hook)(const char* text, const char* caption, uint32_t flags));

// ------------------------------------------------------- window, cursor

struct Rect {
  int left, top, right, bottom;
};

int ShowCursor(int show);                     // returns the new display count
int GetCursorPos(int* x, int* y);             // screen coordinates, y downwards
int SetCursorPos(int x, int y);               // screen coordinates
int GetWindowRect(Rect* rect);                // screen coordinates of the window
void GetScreenSize(int* width, int* height);  // the desktop display mode
// Tests give a screen size of their own; nullptr restores the real one.
void SetScreenSizeSource(void (*source)(int* width, int* height));

// ------------------------------------------------- window and GL context
//
// The window is created in the same steps the shell checks one by one; each
// returns 1 on success, 0 on failure.  Teardown functions are safe to call on
// whatever exists.

struct PixelFormat {
  int colorBits;     // 24
  int depthBits;     // 16
  int stencilBits;   // 0
  int doubleBuffer;  // 1
};

int PlatformRegisterClass(const char* className, WindowProcFn proc);
void PlatformUnregisterClass(const char* className);
// A borderless top-level window at (x, y), not shown yet.
int PlatformCreateWindow(const char* title, int x, int y, int width, int height);
void PlatformDestroyWindow();
int PlatformGetDC();
void PlatformReleaseDC();
int PlatformChoosePixelFormat(const PixelFormat& format);
int PlatformSetPixelFormat();
int PlatformCreateContext();
int PlatformMakeCurrent(int current);  // 0 releases the context
void PlatformDeleteContext();
// Shows the window, raises it and gives it the input focus; the window
// procedure then sees the activation and focus messages.
void PlatformShowWindow();
void SwapBuffers();

// A hidden window with a current GL context, for tests that draw.  Returns 1
// on success (needs an X server).  `depthBits` 0 gives the game's own
// format, which has no depth buffer.
int CreateGlTestContext(int width, int height, int depthBits = 16);
void DestroyGlTestContext();

// The Windows calls of the Win32 back end, behind plain types.  <windows.h>
// defines GetTickCount, MessageBox, WM_CHAR ... itself, so only win32_api.cpp
// includes it; the sources that implement platform.h call through here.
// Nothing outside platform/win32/ includes this.
#pragma once

#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <string>

namespace w32 {

// ------------------------------------------------------------- time, files
uint32_t TickCount();
void SleepMs(uint32_t ms);
void LocalDay(int* day, int* month, int* year);

int DeleteFileBytes(const char* path);
int MoveFileBytes(const char* from, const char* to);  // never replaces
int FileExistsBytes(const char* path);
// Renames over an existing file in one step, through to the disk.
int ReplaceFileBytes(const char* from, const char* to);
// The system's words for the last failed call of this thread.
std::string LastErrorText();
// Pushes an open file's written data through to the disk.
int FlushToDisk(std::FILE* f);
int ProcessId();
// Reads at most `limit` bytes of a disk file; `why` as platform.h's
// FileReadError (0 ok, 1 missing, 2 directory, 3 not a disk file, 4 failed).
int ReadPrefixBytes(const char* path, std::size_t limit, std::string& out, int* why);
// LoadLibraryA, GetProcAddress, FreeLibrary.
void* LoadLibraryBytes(const char* name);
void* LibrarySymbol(void* library, const char* symbol);
void FreeTheLibrary(void* library);
// Standard error without the CR that text mode puts before each LF, so that
// its lines read the same as on Linux.
void PlainStderr();

// ------------------------------------------------------------- message box
// Texts are UTF-8; flags and the result are the Win32 values.
int MessageBoxUtf8(const char* text, const char* caption, uint32_t flags);

// --------------------------------------------------------- window and GL
// The game's window procedure: real Windows messages, except that WM_CHAR
// carries a Windows-1251 byte and system keys arrive as WM_KEYDOWN/WM_KEYUP.
using GameProc = intptr_t (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

struct PixelRequest {
  int colorBits, depthBits, stencilBits, doubleBuffer;
};

int RegisterWindowClass(const char* className, GameProc proc);  // UTF-8 name
void UnregisterWindowClass();
int CreatePopupWindow(const char* title, int x, int y, int width, int height);
void DestroyTheWindow();
int AcquireDC();
void ReleaseTheDC();
int ChooseFormat(const PixelRequest& request);
int SetFormat();
int CreateContext();
int MakeCurrent(int current);
void DeleteContext();
void ShowAndFocus();
void Swap();
int HaveWindow();

// A hidden window of its own with a current context, for tests that draw.
int CreateTestContext(int width, int height, int depthBits);
void DestroyTestContext();

// ------------------------------------------------------------ the pump
// Takes the next waiting message (TranslateMessage done); 0 when none.
int Peek(uint32_t* message, uintptr_t* wParam, intptr_t* lParam);
// Dispatches the message just taken, or hands one made up by the caller to
// the window procedure; returns its result.
intptr_t Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam);
intptr_t DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Posts a message to the window (or the thread when there is none).
int Post(uint32_t message, uintptr_t wParam, intptr_t lParam);

// ------------------------------------------------------- cursor, screen
int ShowCursorCount(int show);
int CursorPos(int* x, int* y);
int SetCursor(int x, int y);
int WindowRect(int* left, int* top, int* right, int* bottom);
void ScreenSize(int* width, int* height);

// ------------------------------------------------------------ game pads
// The state of XInput pad `slot` (0..3): 1 and its buttons (XInput's bits)
// and left stick when one is there, 0 when not or when no XInput DLL loads.
int PadState(int slot, uint16_t* buttons, int16_t* stickX);

}  // namespace w32

// What the tests see of the X server: windows by name and process, their
// geometry, the picture on the screen, and the keys a user would press.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

struct XScreen {
  Display* display = nullptr;
  XScreen();
  ~XScreen();
  XScreen(const XScreen&) = delete;
  XScreen& operator=(const XScreen&) = delete;
  bool ok() const { return display != nullptr; }

  Window Root() const;
  void RootSize(int* width, int* height) const;
};

struct WindowInfo {
  Window id = 0;
  std::string name;                         // UTF-8
  long pid = -1;                            // _NET_WM_PID, -1 when not set
  int x = 0, y = 0, width = 0, height = 0;  // absolute
  bool viewable = false;
  bool undecorated = false;  // asks the window manager for no border or caption
};

// Every window on the screen whose name is `name` (viewable or not).
std::vector<WindowInfo> FindWindows(XScreen& x, const std::string& name);
// Waits up to timeoutMs for a viewable window of that name (and of that
// process, when the window says which); id 0 when none came.
WindowInfo WaitForWindow(XScreen& x, const std::string& name, long pid, int timeoutMs);

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned> rgb;  // 0xRRGGBB, top row first
  int NonBlackPixels() const;
  int DistinctColours(int limit) const;
  // Something drawn: enough lit pixels in several colours.
  bool NonBlank() const;
};

// The screen's picture of a rectangle (root coordinates), every `step`-th
// pixel in both directions.
Picture Grab(XScreen& x, int left, int top, int width, int height, int step = 1);

// A key press and release as a user makes them on a window (sent events,
// which SDL's message boxes accept), e.g. "Return", "Escape".
bool SendKey(XScreen& x, Window w, const char* keysym);
// Real keyboard input through XTEST, to the focused window; `chord` such as
// {"Alt_L", "F4"} is pressed in order and released in reverse.
bool TypeChord(XScreen& x, const std::vector<const char*>& chord);
// The window manager's close request (WM_DELETE_WINDOW).
bool RequestClose(XScreen& x, Window w);

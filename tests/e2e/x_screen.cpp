#include "e2e/x_screen.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <set>
#include <thread>

namespace {

std::string Utf8Property(Display* d, Window w, const char* atomName) {
  const Atom prop = XInternAtom(d, atomName, False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(d, w, prop, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data != nullptr) {
    if (type == utf8 && format == 8) out.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return out;
}

std::string NameOf(Display* d, Window w) {
  std::string name = Utf8Property(d, w, "_NET_WM_NAME");
  if (!name.empty()) return name;
  char* plain = nullptr;
  if (XFetchName(d, w, &plain) != 0 && plain != nullptr) {
    name = plain;
    XFree(plain);
  }
  return name;
}

long PidOf(Display* d, Window w) {
  const Atom prop = XInternAtom(d, "_NET_WM_PID", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  long pid = -1;
  if (XGetWindowProperty(d, w, prop, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    if (count == 1 && format == 32)
      pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }
  return pid;
}

bool Undecorated(Display* d, Window w) {
  // Motif hints: flags, functions, decorations, input mode, status.
  const Atom prop = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool none = false;
  if (XGetWindowProperty(d, w, prop, 0, 5, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    const auto* v = reinterpret_cast<unsigned long*>(data);
    if (format == 32 && count >= 3) none = (v[0] & 2) != 0 && v[2] == 0;
    XFree(data);
  }
  return none;
}

void Collect(Display* d, Window w, const std::string& name, Window root,
             std::vector<WindowInfo>& out, int depth) {
  if (NameOf(d, w) == name) {
    WindowInfo info;
    info.id = w;
    info.name = name;
    info.pid = PidOf(d, w);
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, w, &a) != 0) {
      info.width = a.width;
      info.height = a.height;
      info.viewable = a.map_state == IsViewable;
    }
    Window child = 0;
    XTranslateCoordinates(d, w, root, 0, 0, &info.x, &info.y, &child);
    info.undecorated = Undecorated(d, w);
    out.push_back(info);
  }
  if (depth >= 4) return;  // window managers nest clients in a frame or two
  Window rootRet = 0, parent = 0;
  Window* children = nullptr;
  unsigned n = 0;
  if (XQueryTree(d, w, &rootRet, &parent, &children, &n) == 0) return;
  for (unsigned i = 0; i < n; ++i) Collect(d, children[i], name, root, out, depth + 1);
  if (children != nullptr) XFree(children);
}

int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

XScreen::XScreen() {
  display = XOpenDisplay(nullptr);
  // Windows come and go while we look at them.
  XSetErrorHandler(IgnoreXErrors);
}

XScreen::~XScreen() {
  if (display != nullptr) XCloseDisplay(display);
}

Window XScreen::Root() const {
  return DefaultRootWindow(display);
}

void XScreen::RootSize(int* width, int* height) const {
  *width = DisplayWidth(display, DefaultScreen(display));
  *height = DisplayHeight(display, DefaultScreen(display));
}

std::vector<WindowInfo> FindWindows(XScreen& x, const std::string& name) {
  std::vector<WindowInfo> out;
  XSync(x.display, False);
  Collect(x.display, x.Root(), name, x.Root(), out, 0);
  return out;
}

WindowInfo WaitForWindow(XScreen& x, const std::string& name, long pid, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    for (const WindowInfo& w : FindWindows(x, name)) {
      if (w.viewable && (w.pid == -1 || pid <= 0 || w.pid == pid)) return w;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < deadline);
  return WindowInfo{};
}

int Picture::NonBlackPixels() const {
  int n = 0;
  for (unsigned p : rgb) {
    const unsigned r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (r + g + b > 24) ++n;
  }
  return n;
}

int Picture::DistinctColours(int limit) const {
  std::set<unsigned> seen;
  for (unsigned p : rgb) {
    seen.insert(p);
    if (static_cast<int>(seen.size()) >= limit) break;
  }
  return static_cast<int>(seen.size());
}

bool Picture::NonBlank() const {
  if (rgb.empty()) return false;
  return NonBlackPixels() * 200 >= static_cast<int>(rgb.size()) && DistinctColours(8) >= 8;
}

Picture Grab(XScreen& x, int left, int top, int width, int height, int step) {
  Picture pic;
  if (width <= 0 || height <= 0 || step < 1) return pic;
  XImage* img = XGetImage(x.display, x.Root(), left, top, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (img == nullptr) return pic;
  pic.width = (width + step - 1) / step;
  pic.height = (height + step - 1) / step;
  pic.rgb.reserve(static_cast<size_t>(pic.width) * pic.height);
  for (int yy = 0; yy < height; yy += step) {
    for (int xx = 0; xx < width; xx += step) {
      const unsigned long p = XGetPixel(img, xx, yy);
      // Xvfb's 24-bit visual: 8 bits each, red highest.
      pic.rgb.push_back(static_cast<unsigned>(p & 0xFFFFFF));
    }
  }
  XDestroyImage(img);
  return pic;
}

bool SendKey(XScreen& x, Window w, const char* keysym) {
  const KeySym sym = XStringToKeysym(keysym);
  const KeyCode code = XKeysymToKeycode(x.display, sym);
  if (sym == NoSymbol || code == 0) return false;
  XKeyEvent e{};
  e.display = x.display;
  e.window = w;
  e.root = x.Root();
  e.subwindow = None;
  e.time = CurrentTime;
  e.same_screen = True;
  e.keycode = code;
  e.type = KeyPress;
  XSendEvent(x.display, w, True, KeyPressMask, reinterpret_cast<XEvent*>(&e));
  e.type = KeyRelease;
  XSendEvent(x.display, w, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&e));
  XFlush(x.display);
  return true;
}

bool TypeChord(XScreen& x, const std::vector<const char*>& chord) {
  std::vector<KeyCode> codes;
  for (const char* name : chord) {
    const KeyCode code = XKeysymToKeycode(x.display, XStringToKeysym(name));
    if (code == 0) return false;
    codes.push_back(code);
  }
  for (KeyCode c : codes) XTestFakeKeyEvent(x.display, c, True, CurrentTime);
  for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
    XTestFakeKeyEvent(x.display, *it, False, CurrentTime);
  }
  XFlush(x.display);
  return true;
}

bool RequestClose(XScreen& x, Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(x.display, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(x.display, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  const Status s = XSendEvent(x.display, w, False, NoEventMask, &e);
  XFlush(x.display);
  return s != 0;
}

// Modal message boxes.  The texts are Windows-1251; the box is shown in
// Unicode so that it reads the same on every system locale.  Each box is
// also written to standard error, for runs started from a console.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/platform.h"
#include "platform/win32/win32_api.h"

namespace {
int (*gMessageBoxHook)(const char*, const char*, uint32_t) = nullptr;
}  // namespace

int MessageBox(const char* text, const char* caption, uint32_t flags) {
  if (text == nullptr) text = "";
  if (caption == nullptr) caption = "";
  if (gMessageBoxHook != nullptr) return gMessageBoxHook(text, caption, flags);

  const std::string utf8Text = Cp1251ToUtf8(text);
  const std::string utf8Caption = Cp1251ToUtf8(caption);
  static bool plain = false;
  if (!plain) {
    w32::PlainStderr();
    plain = true;
  }
  std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
  std::fflush(stderr);

  const bool yesNo = (flags & 0xF) == MB_YESNO;
  const int pressed = w32::MessageBoxUtf8(utf8Text.c_str(), utf8Caption.c_str(), flags);
  if (pressed == IDOK || pressed == IDYES || pressed == IDNO) return pressed;
  // The box could not be shown: the answer a dismissed box gives.
  return yesNo ? IDNO : IDOK;
}

void SetMessageBoxHook(int (*hook)(const char*, const char*, uint32_t)) {
  gMessageBoxHook = hook;
}

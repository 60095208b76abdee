// Modal message boxes.  The texts are Windows-1251; the system's box gets
// them as UTF-8, so that they read the same on every locale.  Each box is
// also written to standard error, so that a run without a screen (or one
// started from a console) says why it stopped.
#include <cstdio>
#include <string>

#include "base/text.h"
#include "platform/backend.h"
#include "platform/platform.h"

namespace {
int (*gMessageBoxHook)(const char*, const char*, uint32_t) = nullptr;
}  // namespace

int MessageBox(const char* text, const char* caption, uint32_t flags) {
  if (text == nullptr) text = "";
  if (caption == nullptr) caption = "";
  if (gMessageBoxHook != nullptr) return gMessageBoxHook(text, caption, flags);

  const std::string utf8Text = Cp1251ToUtf8(text);
  const std::string utf8Caption = Cp1251ToUtf8(caption);
  platform::PrepareStderr();
  std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
  std::fflush(stderr);

  const bool yesNo = (flags & 0xF) == MB_YESNO;
  const int pressed = platform::ShowSystemMessageBox(utf8Text.c_str(), utf8Caption.c_str(), flags);
  if (pressed == IDOK || (yesNo && (pressed == IDYES || pressed == IDNO))) return pressed;
  // No screen, or the box was closed: the answer a dismissed box gives.
  return yesNo ? IDNO : IDOK;
}

void SetMessageBoxHook(int (*hook)(const char*, const char*, uint32_t)) {
  gMessageBoxHook = hook;
}

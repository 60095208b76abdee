// The system's message box, in Unicode so that the Cyrillic texts show on
// every system locale.
#include "platform/backend.h"
#include "platform/win32/win32_api.h"

namespace platform {

void PrepareStderr() {
  static bool plain = false;
  if (plain) return;
  w32::PlainStderr();  // the UTF-8 text as it is, no CR added
  plain = true;
}

int ShowSystemMessageBox(const char* utf8Text, const char* utf8Caption, uint32_t flags) {
  const int pressed = w32::MessageBoxUtf8(utf8Text, utf8Caption, flags);
  return pressed > 0 ? pressed : -1;
}

}  // namespace platform

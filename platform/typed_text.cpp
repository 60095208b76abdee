// Typed text as the WM_CHAR bytes of the text entry, shared by both back
// ends: one Windows-1251 byte per character, whatever the system's locale.
#include <cstring>

#include "base/text.h"
#include "platform/platform.h"

std::string TypedTextToCp1251(const char* utf8) {
  std::string out;
  if (utf8 == nullptr) return out;
  const std::size_t n = std::strlen(utf8);
  std::size_t i = 0;
  while (i < n) {
    const int b = cp1251::FromCodePoint(cp1251::DecodeUtf8(utf8, n, i));
    // Control characters come from their keys, not from typed text.
    if (b < 0x20 || b == 0x7F) continue;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

#include "base/text.h"

namespace cp1251 {

char32_t ToCodePoint(unsigned char b) {
  if (b < 0x80) return b;
  // The reverse of FromCodePoint, built once.
  static const auto kReverse = [] {
    struct Table {
      char32_t v[128];
    } t{};
    for (auto& v : t.v) v = 0xFFFD;
    for (char32_t cp = 0x80; cp < 0x2200; ++cp) {
      const int byte = FromCodePoint(cp);
      if (byte >= 0x80) t.v[byte - 0x80] = cp;
    }
    return t;
  }();
  return kReverse.v[b - 0x80];
}

}  // namespace cp1251

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = cp1251::DecodeUtf8(utf8.data(), utf8.size(), i);
    const int b = cp1251::FromCodePoint(cp);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char ch : bytes) {
    const char32_t cp = cp1251::ToCodePoint(static_cast<unsigned char>(ch));
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

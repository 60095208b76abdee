// Windows-1251 text.  Everything the game draws, compares or stores is
// Windows-1251 bytes, because the bitmap fonts are indexed by that code.
// Source files are UTF-8: write texts as "спорт"_w and they are converted at
// compile time into a static zero-terminated Windows-1251 string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cp1251 {

// Windows-1251 byte of a Unicode code point, or -1 when the code page has none.
constexpr int FromCodePoint(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x410 && c <= 0x44F) return static_cast<int>(c - 0x410 + 0xC0);  // А..я
  switch (c) {
    case 0x401:
      return 0xA8;  // Ё
    case 0x451:
      return 0xB8;  // ё
    case 0x402:
      return 0x80;
    case 0x403:
      return 0x81;
    case 0x201A:
      return 0x82;
    case 0x453:
      return 0x83;
    case 0x201E:
      return 0x84;
    case 0x2026:
      return 0x85;
    case 0x2020:
      return 0x86;
    case 0x2021:
      return 0x87;
    case 0x20AC:
      return 0x88;
    case 0x2030:
      return 0x89;
    case 0x409:
      return 0x8A;
    case 0x2039:
      return 0x8B;
    case 0x40A:
      return 0x8C;
    case 0x40C:
      return 0x8D;
    case 0x40B:
      return 0x8E;
    case 0x40F:
      return 0x8F;
    case 0x452:
      return 0x90;
    case 0x2018:
      return 0x91;
    case 0x2019:
      return 0x92;
    case 0x201C:
      return 0x93;
    case 0x201D:
      return 0x94;
    case 0x2022:
      return 0x95;
    case 0x2013:
      return 0x96;
    case 0x2014:
      return 0x97;
    case 0x2122:
      return 0x99;
    case 0x459:
      return 0x9A;
    case 0x203A:
      return 0x9B;
    case 0x45A:
      return 0x9C;
    case 0x45C:
      return 0x9D;
    case 0x45B:
      return 0x9E;
    case 0x45F:
      return 0x9F;
    case 0xA0:
      return 0xA0;
    case 0x40E:
      return 0xA1;
    case 0x45E:
      return 0xA2;
    case 0x408:
      return 0xA3;
    case 0xA4:
      return 0xA4;
    case 0x490:
      return 0xA5;
    case 0xA6:
      return 0xA6;
    case 0xA7:
      return 0xA7;
    case 0xA9:
      return 0xA9;
    case 0x404:
      return 0xAA;
    case 0xAB:
      return 0xAB;
    case 0xAC:
      return 0xAC;
    case 0xAD:
      return 0xAD;
    case 0xAE:
      return 0xAE;
    case 0x407:
      return 0xAF;
    case 0xB0:
      return 0xB0;
    case 0xB1:
      return 0xB1;
    case 0x406:
      return 0xB2;
    case 0x456:
      return 0xB3;
    case 0x491:
      return 0xB4;
    case 0xB5:
      return 0xB5;
    case 0xB6:
      return 0xB6;
    case 0xB7:
      return 0xB7;
    case 0x2116:
      return 0xB9;  // №
    case 0x454:
      return 0xBA;
    case 0xBB:
      return 0xBB;
    case 0x458:
      return 0xBC;
    case 0x405:
      return 0xBD;
    case 0x455:
      return 0xBE;
    case 0x457:
      return 0xBF;
    default:
      return -1;
  }
}

// Unicode code point of a Windows-1251 byte (0x98, the one unassigned byte,
// gives U+FFFD).
char32_t ToCodePoint(unsigned char b);

// Decodes one UTF-8 sequence at s[i]; advances i.  Malformed input gives
// U+FFFD and consumes one byte.
constexpr char32_t DecodeUtf8(const char* s, std::size_t n, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  auto cont = [&](std::size_t k) -> int {
    if (i + k >= n) return -1;
    const auto b = static_cast<unsigned char>(s[i + k]);
    return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
  };
  if (b0 < 0x80) {
    i += 1;
    return b0;
  }
  if ((b0 & 0xE0) == 0xC0) {
    const int c1 = cont(1);
    if (c1 >= 0) {
      i += 2;
      return static_cast<char32_t>(((b0 & 0x1F) << 6) | c1);
    }
  } else if ((b0 & 0xF0) == 0xE0) {
    const int c1 = cont(1), c2 = c1 >= 0 ? cont(2) : -1;
    if (c2 >= 0) {
      i += 3;
      return static_cast<char32_t>(((b0 & 0x0F) << 12) | (c1 << 6) | c2);
    }
  } else if ((b0 & 0xF8) == 0xF0) {
    const int c1 = cont(1), c2 = c1 >= 0 ? cont(2) : -1, c3 = c2 >= 0 ? cont(3) : -1;
    if (c3 >= 0) {
      i += 4;
      return static_cast<char32_t>(((b0 & 0x07) << 18) | (c1 << 12) | (c2 << 6) | c3);
    }
  }
  i += 1;
  return 0xFFFD;
}

template <std::size_t N>
struct Utf8Literal {
  char bytes[N]{};
  consteval Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

template <std::size_t N>
struct Converted {
  char s[N]{};
  std::size_t length = 0;
};

template <std::size_t N>
consteval Converted<N> Convert(const Utf8Literal<N>& lit) {
  Converted<N> out;
  std::size_t i = 0;
  const std::size_t n = N - 1;  // without the terminating zero
  while (i < n) {
    const char32_t cp = DecodeUtf8(lit.bytes, n, i);
    const int b = FromCodePoint(cp);
    if (b < 0) throw "text has a character that Windows-1251 lacks";
    out.s[out.length++] = static_cast<char>(b);
  }
  out.s[out.length] = '\0';
  return out;
}

template <Utf8Literal L>
inline constexpr Converted<sizeof(L.bytes)> kStorage = Convert(L);

}  // namespace cp1251

// "спорт"_w: the Windows-1251 bytes of a UTF-8 literal, static and zero-terminated.
template <cp1251::Utf8Literal L>
constexpr const char* operator""_w() {
  return cp1251::kStorage<L>.s;
}

// Run-time conversions, for tools and for files written in UTF-8.  Characters
// the target lacks become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);

// Shared by the fuzz targets: a private scratch folder to run in (the
// loaders read files by name), a message box that answers by itself and a
// fixed screen, so that no target ever waits on a person or a display.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace fuzz {

inline int AnswerNo(const char*, const char*, uint32_t) {
  return IDNO;
}

inline void FixedScreen(int* w, int* h) {
  *w = 1280;
  *h = 1024;
}

// Moves into a fresh folder under /dev/shm (or /tmp): every input is written
// there, under the name the loader reads.  The folder is removed at exit.
inline void EnterScratchFolder() {
  static std::string dir;
  if (!dir.empty()) return;
  SetMessageBoxHook(AnswerNo);
  SetScreenSizeSource(FixedScreen);
  std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
  pattern += "/dromo-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) std::abort();
  dir = pattern;
  std::atexit([] {
    if (chdir("/") == 0) {
      const std::string rm = "rm -rf '" + dir + "'";
      if (std::system(rm.c_str()) != 0) {
      }
    }
  });
}

inline void WriteFile(const char* name, const void* data, size_t size) {
  std::FILE* f = std::fopen(name, "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// A small uncompressed TGA: width x height, 24 or 32 bits, a pattern of bytes.
inline std::string SmallTga(int width, int height, int bits) {
  std::string t(18, '\0');
  t[2] = 2;
  t[12] = static_cast<char>(width);
  t[13] = static_cast<char>(width >> 8);
  t[14] = static_cast<char>(height);
  t[15] = static_cast<char>(height >> 8);
  t[16] = static_cast<char>(bits);
  const size_t n = static_cast<size_t>(width) * height * (bits / 8);
  for (size_t i = 0; i < n; ++i) t.push_back(static_cast<char>(i * 37));
  return t;
}

}  // namespace fuzz

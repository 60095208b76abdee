// The few POSIX calls the test programs use, for their Windows build
// (included ahead of every test source there).
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <io.h>

#include <cstdlib>
#include <cstring>

// A fresh folder from a template ending in XXXXXX, as on POSIX.
inline char* mkdtemp(char* tmpl) {
  const std::size_t n = std::strlen(tmpl) + 1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char* copy = static_cast<char*>(std::malloc(n));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, tmpl, n);
    const bool named = _mktemp_s(copy, n) == 0;
    const bool made = named && _mkdir(copy) == 0;
    if (made) std::memcpy(tmpl, copy, n);
    std::free(copy);
    if (made) return tmpl;
    if (!named) return nullptr;
  }
  return nullptr;
}

inline int setenv(const char* name, const char* value, int overwrite) {
  if (overwrite == 0 && std::getenv(name) != nullptr) return 0;
  return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) {
  return _putenv_s(name, "") == 0 ? 0 : -1;
}
#endif

// File deletion, renaming and safe replacement for the records files.
#include <cstdio>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"

int DeleteFile(const char* path) {
  if (path == nullptr) return 0;
  return unlink(path) == 0 ? 1 : 0;
}

int FileExists(const char* path) {
  if (path == nullptr) return 0;
  struct stat st {};
  return stat(path, &st) == 0 ? 1 : 0;
}

int MoveFile(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) return 0;
  // Like its Windows namesake, a move never replaces an existing file.
  if (FileExists(to)) return 0;
  return std::rename(from, to) == 0 ? 1 : 0;
}

int WriteFileReplacing(const char* path, const void* bytes, std::size_t size) {
  if (path == nullptr || path[0] == '\0') return 0;
  const std::string tmp = std::string(path) + ".tmp" + std::to_string(getpid());
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (f == nullptr) return 0;
  struct stat old {};
  if (stat(path, &old) == 0) fchmod(fileno(f), old.st_mode & 07777);
  bool ok = size == 0 || std::fwrite(bytes, 1, size, f) == size;
  ok = std::fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  // rename() replaces the old file atomically: a crash leaves either the
  // old table or the new one, never a half-written file.
  if (!ok || std::rename(tmp.c_str(), path) != 0) {
    std::remove(tmp.c_str());
    return 0;
  }
  // Make the rename itself durable.
  std::string dir = path;
  const auto slash = dir.find_last_of('/');
  dir = slash == std::string::npos ? "." : dir.substr(0, slash == 0 ? 1 : slash);
  const int d = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (d >= 0) {
    fsync(d);
    close(d);
  }
  return 1;
}

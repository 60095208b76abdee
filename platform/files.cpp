// File deletion and renaming for the records backup.
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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

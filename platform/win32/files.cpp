// File deletion, renaming and safe replacement for the records files.
#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/win32/win32_api.h"

int DeleteFile(const char* path) {
  if (path == nullptr) return 0;
  return w32::DeleteFileBytes(path);
}

int FileExists(const char* path) {
  if (path == nullptr) return 0;
  return w32::FileExistsBytes(path);
}

int MoveFile(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) return 0;
  return w32::MoveFileBytes(from, to);
}

int WriteFileReplacing(const char* path, const void* bytes, std::size_t size) {
  if (path == nullptr || path[0] == '\0') return 0;
  // One fixed name: a crash leaves at most this file, which the next save reuses.
  const std::string tmp = ReplacingTempName(path);
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (f == nullptr) return 0;
  bool ok = size == 0 || std::fwrite(bytes, 1, size, f) == size;
  ok = std::fflush(f) == 0 && ok;
  ok = w32::FlushToDisk(f) != 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  // The rename replaces the old file in one step and returns only once it is
  // on the disk: a crash leaves either the old table or the new one.
  if (!ok || !w32::ReplaceFileBytes(tmp.c_str(), path)) {
    std::remove(tmp.c_str());
    return 0;
  }
  return 1;
}

FileReadError platform::SystemReadFilePrefix(const char* path, std::size_t limit,
                                             std::string& out) {
  int code = 1;
  w32::ReadPrefixBytes(path, limit, out, &code);
  switch (code) {
    case 0:
      return kFileReadOk;
    case 2:
      return kFileIsDirectory;
    case 3:
      return kFileNotRegular;
    case 4:
      return kFileReadFailed;
    default:
      return kFileMissing;
  }
}

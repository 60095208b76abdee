// File deletion, renaming and safe replacement for the records files.
#include <cerrno>
#include <cstdio>
#include <cstring>
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

int WriteFileReplacing(const char* path, const void* bytes, std::size_t size, std::string* why) {
  const auto fail = [why](const char* reason) {
    if (why != nullptr) *why = reason;
    return 0;
  };
  if (path == nullptr || path[0] == '\0') return fail("no file name");
  // One fixed name: a crash leaves at most this file, which the next save reuses.
  const std::string tmp = ReplacingTempName(path);
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (f == nullptr) return fail(std::strerror(errno));
  bool ok = size == 0 || std::fwrite(bytes, 1, size, f) == size;
  ok = std::fflush(f) == 0 && ok;
  const int error = ok ? 0 : errno;
  ok = w32::FlushToDisk(f) != 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    std::remove(tmp.c_str());
    return fail(error != 0 ? std::strerror(error) : "the file could not be written");
  }
  // The rename replaces the old file in one step and returns only once it is
  // on the disk: a crash leaves either the old table or the new one.
  if (!w32::ReplaceFileBytes(tmp.c_str(), path)) {
    const std::string reason = w32::LastErrorText();
    std::remove(tmp.c_str());
    if (why != nullptr) *why = reason;
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

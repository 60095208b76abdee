// The system's file calls: delete, rename, a bounded read and a replacing
// write.  With the clock beside it, all of the system the game rules use.
#pragma once

#include <cstddef>
#include <string>

// --------------------------------------------------------------- files

int DeleteFile(const char* path);                // 1 on success
int MoveFile(const char* from, const char* to);  // 1 on success; fails if `to` exists
int FileExists(const char* path);
// Writes the bytes to a temporary file beside `path`, flushes it to disk and
// renames it over `path` in one step, keeping the old file's permissions.  1
// on success; on failure the old file is untouched and nothing is left behind.
// The temporary file always has the same name (ReplacingTempName), so a crash
// in the middle leaves at most that one file, which the next save reuses.
// On failure `why`, when given, gets the system's reason in a few words.
int WriteFileReplacing(const char* path, const void* bytes, std::size_t size,
                       std::string* why = nullptr);
inline std::string ReplacingTempName(const std::string& path) {
  return path + ".tmp";
}

// Why ReadFilePrefix failed.
enum FileReadError : int {
  kFileReadOk = 0,
  kFileMissing,  // cannot be opened (missing, no permission)
  kFileIsDirectory,
  kFileNotRegular,  // a FIFO, device or socket: refused without waiting on it
  kFileReadFailed,
};
// Reads at most `limit` bytes from the start of a regular file into `out`.
// The file is opened without blocking, so a FIFO with no writer or a device
// never holds the caller up.  1 on success; 0 with `*error` set otherwise.
int ReadFilePrefix(const char* path, std::size_t limit, std::string& out,
                   FileReadError* error = nullptr);

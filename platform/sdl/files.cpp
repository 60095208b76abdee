// File deletion, renaming, bounded reading and safe replacement.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend.h"
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

int WriteFileReplacing(const char* path, const void* bytes, std::size_t size, std::string* why) {
  const auto fail = [why](const char* reason) {
    if (why != nullptr) *why = reason;
    return 0;
  };
  if (path == nullptr || path[0] == '\0') return fail("no file name");
  // One fixed temporary name per file: a save killed half-way leaves at most
  // this one file, and the next save truncates and reuses it.
  const std::string tmp = ReplacingTempName(path);
  constexpr int kFlags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
  int fd = open(tmp.c_str(), kFlags, 0644);
  // A link under that name is never written through: it goes, and a plain
  // file takes its place.
  if (fd < 0 && errno == ELOOP && unlink(tmp.c_str()) == 0) fd = open(tmp.c_str(), kFlags, 0644);
  if (fd < 0) return fail(std::strerror(errno));
  // Two games saving the same table at once must not write into one file:
  // the second gives up.  The lock must be on the file still under the
  // temporary name, not on one a finished save has just renamed away.
  struct stat mine {
  }, named{};
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &mine) != 0 ||
      stat(tmp.c_str(), &named) != 0 || mine.st_ino != named.st_ino ||
      mine.st_dev != named.st_dev || ftruncate(fd, 0) != 0) {
    close(fd);
    return fail("another save of the same file is under way");
  }
  struct stat old {};
  if (stat(path, &old) == 0) fchmod(fd, old.st_mode & 07777);
  bool ok = true;
  int error = 0;
  const auto* p = static_cast<const char*>(bytes);
  for (std::size_t done = 0; ok && done < size;) {
    const ssize_t n = write(fd, p + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
    if (!ok) error = n < 0 ? errno : ENOSPC;
  }
  if (fsync(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  // rename() replaces the old file atomically: a crash leaves either the
  // old table or the new one, never a half-written file.
  if (ok && std::rename(tmp.c_str(), path) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(tmp.c_str());
    close(fd);
    return fail(std::strerror(error));
  }
  close(fd);
  // Make the rename itself durable.
  std::string dir = path;
  const auto slash = dir.find_last_of('/');
  dir = slash == std::string::npos ? "." : dir.substr(0, slash == 0 ? 1 : slash);
  const int d = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    fsync(d);
    close(d);
  }
  return 1;
}

FileReadError platform::SystemReadFilePrefix(const char* path, std::size_t limit,
                                             std::string& out) {
  // O_NONBLOCK: opening a FIFO that has no writer returns at once instead of
  // waiting for one; fstat then tells us what we opened.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == EISDIR ? kFileIsDirectory : kFileMissing;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const FileReadError why =
        fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? kFileIsDirectory : kFileNotRegular;
    close(fd);
    return why;
  }
  // Never more than the file holds, so a large limit costs nothing.
  const std::size_t want =
      st.st_size > 0 ? std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)) : 0;
  out.resize(want);
  std::size_t got = 0;
  while (got < want) {
    const ssize_t n = read(fd, out.data() + got, want - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return kFileReadFailed;
    }
    if (n == 0) break;  // the file shrank while we read it
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  out.resize(got);
  return kFileReadOk;
}

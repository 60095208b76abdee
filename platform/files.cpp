// Bounded file reads: what every system does around its own read.
#include "platform/backend.h"
#include "platform/platform.h"

int ReadFilePrefix(const char* path, std::size_t limit, std::string& out, FileReadError* error) {
  out.clear();
  FileReadError why = kFileMissing;
  if (path != nullptr && path[0] != '\0') why = platform::SystemReadFilePrefix(path, limit, out);
  if (why != kFileReadOk) out.clear();
  if (error != nullptr) *error = why;
  return why == kFileReadOk ? 1 : 0;
}

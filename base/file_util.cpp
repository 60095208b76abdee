#include "base/file_util.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

int LoadFileToReader(ByteReader& r, const char* path, uint32_t limit, FileReadError* error) {
  if (error != nullptr) *error = kFileMissing;
  if (r.data != nullptr || r.cursor != 0) return 0;
  if (path == nullptr || path[0] == '\0') return 0;
  std::string bytes;
  if (!ReadFilePrefix(path, std::min(limit, kReaderLimit), bytes, error)) return 0;
  return LoadBytesToReader(r, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

int LoadBytesToReader(ByteReader& r, const void* bytes, uint32_t size) {
  if (r.data != nullptr || r.cursor != 0) return 0;
  auto* copy = static_cast<uint8_t*>(std::malloc(size > 0 ? size : 1));
  if (copy == nullptr) return 0;
  if (size > 0) std::memcpy(copy, bytes, size);
  r.data = copy;
  r.cursor = 0;
  r.size = size;
  return 1;
}

static bool CanRead(const ByteReader& r, uint32_t width) {
  return r.data != nullptr && r.cursor <= r.size && r.size - r.cursor >= width;
}

uint8_t ReadU8(ByteReader& r) {
  if (!CanRead(r, 1)) return 0;
  return r.data[r.cursor++];
}

int16_t ReadI16(ByteReader& r) {
  if (!CanRead(r, 2)) return 0;
  const uint16_t v = static_cast<uint16_t>(r.data[r.cursor] | (r.data[r.cursor + 1] << 8));
  r.cursor += 2;
  return static_cast<int16_t>(v);
}

uint32_t ReadU32(ByteReader& r) {
  if (!CanRead(r, 4)) return 0;
  const uint8_t* p = r.data + r.cursor;
  const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  r.cursor += 4;
  return v;
}

int32_t ReadI32(ByteReader& r) {
  return static_cast<int32_t>(ReadU32(r));
}

void ReleaseReader(ByteReader& r) {
  std::free(r.data);
  r.data = nullptr;
  r.cursor = 0;
  r.size = 0;
}

void WriteU8(uint32_t value, std::FILE* file) {
  if (file == nullptr) return;
  const uint8_t b = static_cast<uint8_t>(value & 0xFF);
  std::fwrite(&b, 1, 1, file);
}

void WriteU32(uint32_t value, std::FILE* file) {
  if (file == nullptr) return;
  const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  std::fwrite(b, 1, 4, file);
}

std::FILE* OpenForWrite(const char* path) {
  if (path == nullptr || path[0] == '\0') return nullptr;
  if (FileExists(path) && !DeleteFile(path)) return nullptr;
  return std::fopen(path, "wb");
}

int ReadWholeFile(const char* path, std::string& out) {
  ByteReader r;
  if (!LoadFileToReader(r, path)) return 0;
  out.assign(reinterpret_cast<const char*>(r.data), r.size);
  ReleaseReader(r);
  return 1;
}

int OpenTextList(const char* path, std::istringstream& in) {
  std::string text;
  const int ok = path != nullptr && ReadFilePrefix(path, kTextListLimit, text);
  in.clear();
  in.str(std::move(text));
  if (!ok) in.setstate(std::ios::failbit);
  return ok;
}

int ReplaceFileAtomically(const char* path, const void* bytes, std::size_t size, std::string* why) {
  return WriteFileReplacing(path, bytes, size, why);
}

bool SkipRestOfLine(std::istream& in) {
  while (in) {
    int c = in.get();
    if (!in) return false;
    if (c == '\r') {
      c = in.get();
      if (!in) return false;
    }
    if (c == '\n') return true;
  }
  return false;
}

std::string Trim(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  return std::string(text.substr(b, e - b));
}

std::string IntToString(int32_t value) {
  return std::to_string(value);
}

// Small file routines shared by the records table and the resource loaders.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/files.h"

// A whole file held in memory.  Reads past the end give 0 and leave the
// cursor where it is, so a short file decodes to zeros without checks.
struct ByteReader {
  uint8_t* data = nullptr;
  uint32_t cursor = 0;
  uint32_t size = 0;
};

// The most a reader holds; its size is 32-bit.
constexpr uint32_t kReaderLimit = 0x7FFFFFFFu;
// Reads the first `limit` bytes of a regular file (all of a shorter one).  A
// FIFO, device or directory is refused at once; `error` (when given) says why
// a read failed.
int LoadFileToReader(ByteReader& reader, const char* path, uint32_t limit = kReaderLimit,
                     FileReadError* error = nullptr);
// The same over bytes already in memory (copied).
int LoadBytesToReader(ByteReader& reader, const void* bytes, uint32_t size);
uint8_t ReadU8(ByteReader& reader);
int16_t ReadI16(ByteReader& reader);
int32_t ReadI32(ByteReader& reader);
uint32_t ReadU32(ByteReader& reader);
void ReleaseReader(ByteReader& reader);

void WriteU8(uint32_t value, std::FILE* file);
void WriteU32(uint32_t value, std::FILE* file);

// Deletes an existing file of that path, then creates it empty ("wb").
// nullptr when the deletion or the creation fails.  The caller closes it.
std::FILE* OpenForWrite(const char* path);

// Reads the whole file; 0 when it cannot be opened or read.
int ReadWholeFile(const char* path, std::string& out);

// The game's text lists are a few kilobytes; more than this of one is not a
// list of ours, and is read only this far.
constexpr std::size_t kTextListLimit = 1u << 20;
// Opens a text list for the stream readers: its first kTextListLimit bytes,
// read without ever blocking on a FIFO or device.  0 when it cannot be read
// (the stream is then empty and failed, like a stream that did not open).
int OpenTextList(const char* path, std::istringstream& in);

// Writes bytes to `path` without ever leaving a half-written file in its
// place: the bytes go to a temporary file in the same directory, which is
// then renamed over the old one.  1 on success; on failure the old file is
// untouched, the temporary file removed and `why`, when given, says why.
int ReplaceFileAtomically(const char* path, const void* bytes, std::size_t size,
                          std::string* why = nullptr);

// Discards the rest of the current line.  True when a line end (LF, or CR LF)
// was consumed; false when a read failed first.
bool SkipRestOfLine(std::istream& in);

// Spaces and tabs removed from both ends.
std::string Trim(std::string_view text);

std::string IntToString(int32_t value);

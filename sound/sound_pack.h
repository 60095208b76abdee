// The sound list and the sound files, as bytes: no OpenAL here, so that the
// parsing can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Sounds are numbered 0..300; 0 can be listed but is never played.
constexpr int kSoundSlots = 301;
constexpr int kSoundRate = 22050;
constexpr std::size_t kWavHeaderBytes = 44;
// Far beyond any effect (over ten minutes at 22050 Hz): a larger "sound" is
// some other file and is left silent rather than read into memory.
constexpr std::uintmax_t kMaxSoundFileBytes = 32u << 20;

struct SoundListEntry {
  int number = 0;  // clamped to 0..300
  std::string path;
};

struct SoundList {
  std::vector<SoundListEntry> entries;  // in the order of the file
  int complete = 0;  // 0: the list stopped short; the entries before the fault are kept
};

// The list: a title line, a count line (cut to 301), then per entry a number
// line, a path line (trimmed of blanks and tabs) and a description line.  A
// number is read at the start of its line; the rest of the line is a
// comment.  A count that cannot be read, or a missing path line, makes the
// list incomplete.
SoundList ParseSoundList(std::string_view text);

// The samples of a canonical WAV file: the bytes after its 44-byte header,
// cut to whole 16-bit samples.  Empty for a file no longer than the header.
std::span<const uint8_t> WavSampleBytes(std::span<const uint8_t> file);

// Reads a sound file whole.  0 when it is missing, not a plain file, larger
// than kMaxSoundFileBytes or cannot be read.
int ReadSoundFile(const char* path, std::vector<uint8_t>& out);

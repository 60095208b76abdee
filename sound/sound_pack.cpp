#include "sound/sound_pack.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "base/file_util.h"

SoundList ParseSoundList(std::string_view text) {
  SoundList list;
  std::istringstream in{std::string(text)};
  SkipRestOfLine(in);  // the title
  int count = 0;
  if (!(in >> count)) return list;
  SkipRestOfLine(in);
  count = std::min(count, kSoundSlots);
  for (int i = 0; i < count; ++i) {
    int number = 0;
    in >> number;
    SkipRestOfLine(in);
    std::string line;
    // A last line without a line feed still counts; nothing at all does not.
    if (!std::getline(in, line)) return list;
    // A list saved with CR LF line ends names the same files.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    list.entries.push_back(SoundListEntry{std::clamp(number, 0, kSoundSlots - 1), Trim(line)});
    SkipRestOfLine(in);  // the description
  }
  list.complete = 1;
  return list;
}

std::span<const uint8_t> WavSampleBytes(std::span<const uint8_t> file) {
  if (file.size() <= kWavHeaderBytes) return {};
  const std::size_t bytes = (file.size() - kWavHeaderBytes) & ~static_cast<std::size_t>(1);
  return file.subspan(kWavHeaderBytes, bytes);
}

int ReadSoundFile(const char* path, std::vector<uint8_t>& out) {
  out.clear();
  if (path == nullptr || path[0] == '\0') return 0;
  // Only plain files: a device or a pipe named in the list must not block
  // the start-up or feed it without end.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return 0;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxSoundFileBytes) return 0;
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return 0;
  out.resize(static_cast<std::size_t>(size));
  const std::size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), f);
  std::fclose(f);
  // A file that shrank since it was measured gives what it still holds.
  out.resize(got);
  return 1;
}

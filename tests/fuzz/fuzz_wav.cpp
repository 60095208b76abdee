// A sound file as the sound pack reads it: from disk, then its samples after
// the 44-byte header, which must lie inside the file and be whole samples.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "sound/sound_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  fuzz::WriteFile("sound.wav", data, size);
  std::vector<uint8_t> bytes;
  if (!ReadSoundFile("sound.wav", bytes)) return 0;
  if (bytes.size() != size) __builtin_trap();
  const std::span<const uint8_t> samples = WavSampleBytes(bytes);
  if (samples.empty()) return 0;
  if (samples.data() < bytes.data() ||
      samples.data() + samples.size() > bytes.data() + bytes.size() || samples.size() % 2 != 0 ||
      bytes.size() <= kWavHeaderBytes) {
    __builtin_trap();
  }
  return 0;
}

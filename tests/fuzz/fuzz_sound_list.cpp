// The sound list ("zvu_start.txt"): whatever the bytes, the entries keep
// their numbers within the bank and never outnumber its slots.
#include <cstdint>
#include <string_view>

#include "sound/sound_pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const SoundList list =
      ParseSoundList(std::string_view(reinterpret_cast<const char*>(data), size));
  if (list.entries.size() > static_cast<size_t>(kSoundSlots)) __builtin_trap();
  for (const SoundListEntry& e : list.entries) {
    if (e.number < 0 || e.number >= kSoundSlots) __builtin_trap();
  }
  return 0;
}

// The message base ("msgbase.txt"), loaded and looked up at its edges.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "gfx/resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  fuzz::WriteFile("msgbase.txt", data, size);
  ClearMessageBase();
  LoadMessageBase("msgbase.txt");
  for (int k : {-1, 0, 1, 2, 12, 9999, 10000, 10001}) Message(k);
  ClearMessageBase();
  return 0;
}

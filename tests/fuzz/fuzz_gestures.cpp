// Mouse-gesture timings ("hand1.txt").
#include <cstdint>

#include "app/input_actions.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  fuzz::WriteFile("hand1.txt", data, size);
  LoadMouseGestures("hand1.txt");
  return 0;
}

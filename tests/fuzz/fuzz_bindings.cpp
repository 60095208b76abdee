// Input action bindings ("sig.txt"), loaded and then evaluated for a few
// frames with every key held and released.
#include <cstdint>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "app/input_actions.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  LoadInputActions(in);
  for (int frame = 0; frame < 4; ++frame) {
    for (int k = 0; k < 256; ++k) gKeyTable[k] = (frame == 1 || frame == 2) ? 1 : 0;
    EvaluateInputActions();
  }
  return 0;
}

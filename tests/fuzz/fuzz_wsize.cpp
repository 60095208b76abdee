// The window-size file ("wsize.txt"); the question it may ask is answered
// "No" by the message-box hook.
#include <cstdint>

#include "app/app_state.h"
#include "app/window.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  fuzz::WriteFile("wsize.txt", data, size);
  gApp.windowWidth = 800;
  gApp.windowHeight = 600;
  ChooseWindowSizeFrom("wsize.txt");
  return 0;
}

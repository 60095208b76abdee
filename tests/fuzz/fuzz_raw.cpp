// Raw pixel dumps (width, height, bytes per pixel, pixels), read from a file
// as the texture list reads them, then uploaded through the GL stand-in.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "gfx/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  fuzz::WriteFile("picture", data, size);  // no dot near the end: a raw file
  TextureSlot slot;
  if (LoadImageFile(slot, "picture")) CreateTexture(slot, size % 2, 1);
  FreePixels(slot);
  DeleteTexture(slot);
  return 0;
}

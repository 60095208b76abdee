// TGA pictures: decoded, then uploaded through the GL stand-in, which reads
// every pixel byte the decoder claims to have produced.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "gfx/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  DecodedImage img;
  if (!DecodeTga(data, size, img)) return 0;
  TextureSlot slot;
  slot.pixels = img.pixels;
  slot.width = img.width;
  slot.height = img.height;
  slot.bitsPerPixel = img.bitsPerPixel;
  // Level 1 builds mip levels from the picture, which reads it once more.
  CreateTexture(slot, size % 2, 1);
  FreePixels(slot);
  DeleteTexture(slot);
  return 0;
}

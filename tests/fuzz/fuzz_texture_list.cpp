// The texture list ("pix_start.txt"), with a few real pictures beside it
// (TGA, raw, and hand-made mip levels) for its names to find; uploads go to
// the GL stand-in.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "gfx/texture.h"

namespace {

std::string Raw(int w, int h, int bytes) {
  std::string r(12, '\0');
  const int32_t head[3] = {w, h, bytes};
  std::memcpy(r.data(), head, sizeof head);  // little-endian, as the file has it
  r.append(static_cast<size_t>(w) * h * bytes, '\x5A');
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  static const bool pictures = [] {
    const std::string files[][2] = {
        {"a.tga", fuzz::SmallTga(16, 16, 24)},
        {"b.tga", fuzz::SmallTga(32, 32, 32)},
        {"b1.tga", fuzz::SmallTga(16, 16, 32)},
        {"b2.tga", fuzz::SmallTga(3, 3, 32)},
        {"b3.tga", fuzz::SmallTga(4, 4, 24)},
        {"c", Raw(8, 4, 3)},
        {"d", Raw(4, 4, 4)},
    };
    for (const auto& f : files) fuzz::WriteFile(f[0].c_str(), f[1].data(), f[1].size());
    return true;
  }();
  (void)pictures;
  fuzz::WriteFile("list.txt", data, size);
  static TextureStore store;
  LoadTextureList(store, "list.txt");
  ReleaseStore(store);
  return 0;
}

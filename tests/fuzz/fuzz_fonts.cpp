// The font description: loaded with a real font sheet beside it, then every
// loaded font measures and draws every byte (drawing goes to the GL stand-in).
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ui/fonts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  static const bool sheets = [] {
    const std::string a = fuzz::SmallTga(32, 16, 32), b = fuzz::SmallTga(16, 16, 24);
    fuzz::WriteFile("a.tga", a.data(), a.size());
    fuzz::WriteFile("b.tga", b.data(), b.size());
    return true;
  }();
  (void)sheets;
  fuzz::WriteFile("_tfonts.txt", data, size);
  static FontSet fonts;
  if (LoadFonts(fonts, ".")) {
    std::string all(255, '\0'), colours(255, 'a');
    for (int i = 0; i < 255; ++i) {
      all[i] = static_cast<char>(i + 1);
      colours[i] = "abcwx y\x01"[i % 8];
    }
    for (int slot = 0; slot <= 13; ++slot) {
      TextWidth(fonts, slot, all, 0, -1);
      DrawTextStr(fonts, all, slot, 0, 0, 0, 0, 800, 600, colours, 0, 0);
      DrawTextStr(fonts, all, slot, 0, 0, 0, 0, 800, 600, "", 3, 7);
    }
  }
  ReleaseFonts(fonts);
  return 0;
}

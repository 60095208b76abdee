// Pictures: the TGA decoder, the raw pixel format, texture slots and the
// numbered texture store.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TextureSlot {
  uint32_t glName = 0;  // 0 = no texture
  int32_t mipmapped = 0;
  int32_t width = 0, height = 0;
  int32_t bitsPerPixel = 0;  // 24 or 32
  uint8_t* pixels = nullptr;  // bottom row first, RGB or RGBA; owned
};

constexpr int kTextureSlots = 501;

struct TextureStore {
  int32_t count = 1;
  std::array<TextureSlot, kTextureSlots> slots{};
};

extern TextureStore gTextures;

void BindTextureSlot(TextureStore& store, int n);
void BindTexture(TextureSlot& slot);
void DisableTexturing();

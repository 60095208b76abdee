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
// The name of the image most recently loaded by the list loader.
extern std::string LastImageName;

struct DecodedImage {
  uint8_t* pixels = nullptr;  // malloc'ed, bottom row first
  int32_t width = 0, height = 0;
  int32_t bitsPerPixel = 0;
};
// Decodes TGA types 2 and 10, 24 or 32 bits; 0 (after its message box) on a
// file it does not accept.  Never reads past `size`.
int DecodeTga(const uint8_t* bytes, size_t size, DecodedImage& out);
int LoadImageFile(TextureSlot& slot, const char* fileName);
int CreateTexture(TextureSlot& slot, int mipLevels, int freePixels);
int LoadTextureList(TextureStore& store, const char* listName);
void FreePixels(TextureSlot& slot);
void DeleteTexture(TextureSlot& slot);
void ReleaseStore(TextureStore& store);

void BindTextureSlot(TextureStore& store, int n);
void BindTexture(TextureSlot& slot);
void DisableTexturing();

// Pictures: the TGA decoder, the raw pixel format, texture slots and the
// numbered texture store.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct TextureSlot {
  uint32_t glName = 0;  // 0 = no texture
  int32_t mipmapped = 0;
  int32_t width = 0, height = 0;
  int32_t bitsPerPixel = 0;   // 24 or 32
  uint8_t* pixels = nullptr;  // bottom row first, RGB or RGBA; owned
  // Texels inset by this many on every side are all fully opaque (-1: no
  // such square); drawers may skip what such texels cover.
  int32_t opaqueInset = -1;
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
// Decodes TGA types 2 and 10, 24 or 32 bits.  A type or depth it does not
// take, or a failed allocation, is reported in a message box; a truncated or
// damaged file fails quietly.  Never reads past `size`.
int DecodeTga(const uint8_t* bytes, size_t size, DecodedImage& out);
// Frees the slot's old pixels, then reads a TGA file (a name with a dot four
// characters from its end) or a raw dump: width, height, bytes per pixel
// (int32 each; 3 = RGB, else RGBA), then the pixels bottom row first.
int LoadImageFile(TextureSlot& slot, const char* fileName);
// The size an image file's header gives, without reading its pixels; 0 when
// the file cannot be read or its header describes a picture LoadImageFile
// refuses (its type, depth or an empty size).
int ReadImageSize(const char* fileName, int32_t* width, int32_t* height);
// Reads a TGA (or raw) image file only as far as its header says the picture
// can use.  0 when it cannot be read.
struct ByteReader;
int LoadImageBytes(ByteReader& file, const char* fileName, bool tga);
// Uploads the slot's pixels as a new GL texture (left bound).  mipLevels 0:
// 24-bit pictures NEAREST, 32-bit LINEAR; 1..3 and 8+: built mip levels;
// 4..7: levels 1..m-1 from "<LastImageName without .tga><i>.tga" files.
int CreateTexture(TextureSlot& slot, int mipLevels, int freePixels);
// A heading line and the count; per entry a heading line, the slot number
// (clamped to 0..500), the file name line and the mip-level count.  Stops
// with 0 at the first failure, keeping what has loaded.
int LoadTextureList(TextureStore& store, const char* listName);
void FreePixels(TextureSlot& slot);
void DeleteTexture(TextureSlot& slot);
void ReleaseStore(TextureStore& store);

// Counts every texture made or deleted (here or by the fonts): a picture
// copied from the screen is stale once the textures it was drawn with change.
void NoteTexturesChanged();
uint64_t TextureGeneration();

void BindTextureSlot(TextureStore& store, int n);
void BindTexture(TextureSlot& slot);
void DisableTexturing();

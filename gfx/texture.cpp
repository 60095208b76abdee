// GL textures from decoded pictures, and the numbered texture store.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>

#include "base/file_util.h"
#include "gfx/draw_cache.h"
#include "gfx/texture.h"

TextureStore gTextures;
std::string LastImageName;

namespace {

uint64_t gTextureGeneration = 1;

void ReplayBind(const uint8_t* p, size_t) {
  GLuint name = 0;
  std::memcpy(&name, p, sizeof name);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, name);
}

void ReplayDisable(const uint8_t*, size_t) {
  DisableTexturing();
}

GLenum PixelFormatOf(int bitsPerPixel) {
  return bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
}
int BytesPerPixel(int bitsPerPixel) {
  return bitsPerPixel == 32 ? 4 : 3;
}

// Smallest picture side that allows m hand-made levels (m = 4..7).
int MinSideForLevels(int m) {
  return 16 << (m - 4);
}

// Builds the whole chain, then replaces levels 1..m-1 by the files
// "<name>1.tga", "<name>2.tga", ...  A level file that is missing or too
// small for its level keeps the built level.  0 when the picture is too small.
int HandMadeMipLevels(const TextureSlot& slot, int m) {
  const GLenum format = PixelFormatOf(slot.bitsPerPixel);
  const GLint components = BytesPerPixel(slot.bitsPerPixel);
  if (m < 4 || m > 7) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, slot.width, slot.height, format, GL_UNSIGNED_BYTE,
                      slot.pixels);
    return 1;
  }
  const int minSide = MinSideForLevels(m);
  if (slot.width < minSide || slot.height < minSide) return 0;
  gluBuild2DMipmaps(GL_TEXTURE_2D, components, slot.width, slot.height, format, GL_UNSIGNED_BYTE,
                    slot.pixels);
  if (LastImageName.size() < 4) return 1;
  const std::string stem = LastImageName.substr(0, LastImageName.size() - 4);
  int w = slot.width, h = slot.height;
  for (int level = 1; level < m; ++level) {
    w = std::max(1, w / 2);
    h = std::max(1, h / 2);
    TextureSlot file;
    const std::string name = stem + std::to_string(level) + ".tga";
    if (!LoadImageFile(file, name.c_str())) continue;
    // The level's size comes from the picture, not from the file; a file
    // too small to fill it would be read past its end.
    const int64_t have = static_cast<int64_t>(file.width) * file.height;
    if (have < static_cast<int64_t>(w) * h) {
      FreePixels(file);
      continue;
    }
    const GLenum fileFormat = PixelFormatOf(file.bitsPerPixel);
    glTexImage2D(GL_TEXTURE_2D, level, components, w, h, 0, fileFormat, GL_UNSIGNED_BYTE,
                 file.pixels);
    if (level == m - 1) {
      // The last file also stands for every smaller level down to 1 x 1.
      int lw = w, lh = h, next = level;
      while (lw > 1 || lh > 1) {
        lw = std::max(1, lw / 2);
        lh = std::max(1, lh / 2);
        glTexImage2D(GL_TEXTURE_2D, ++next, components, lw, lh, 0, fileFormat, GL_UNSIGNED_BYTE,
                     file.pixels);
      }
    }
    FreePixels(file);
  }
  return 1;
}

void SwapRedAndBlue(TextureSlot& slot) {
  const size_t step = static_cast<size_t>(BytesPerPixel(slot.bitsPerPixel));
  const size_t end = static_cast<size_t>(slot.width) * slot.height * step;
  for (size_t i = 0; i < end; i += step) std::swap(slot.pixels[i], slot.pixels[i + 2]);
}

// Level 0 of a picture without mip levels goes up in blue-green-red order,
// the order of the screen: Mesa's software renderer then samples it on its
// fast path.  The texels are the same either way.  (Mip levels stay in the
// order gluBuild2DMipmaps gave them, so that every level has one format.)
void UploadLevel0(TextureSlot& slot, bool keepPixels) {
  const GLint components = BytesPerPixel(slot.bitsPerPixel);
  if (slot.mipmapped) {
    glTexImage2D(GL_TEXTURE_2D, 0, components, slot.width, slot.height, 0,
                 PixelFormatOf(slot.bitsPerPixel), GL_UNSIGNED_BYTE, slot.pixels);
    return;
  }
  SwapRedAndBlue(slot);
  glTexImage2D(GL_TEXTURE_2D, 0, components, slot.width, slot.height, 0,
               slot.bitsPerPixel == 32 ? GL_BGRA_EXT : GL_BGR_EXT, GL_UNSIGNED_BYTE, slot.pixels);
  if (keepPixels) SwapRedAndBlue(slot);
}

// The smallest inset that leaves only texels of full alpha.
int OpaqueInset(const TextureSlot& slot) {
  if (slot.bitsPerPixel != 32) return 0;
  const int w = slot.width, h = slot.height;
  auto opaque = [&](int k) {
    for (int y = k; y < h - k; ++y)
      for (int x = k; x < w - k; ++x)
        if (slot.pixels[(static_cast<size_t>(y) * w + x) * 4 + 3] != 255) return false;
    return true;
  };
  for (int k = 0; 2 * k < std::min(w, h) && k <= 16; ++k) {
    if (opaque(k)) return k;
  }
  return -1;
}

}  // namespace

int CreateTexture(TextureSlot& slot, int mipLevels, int freePixels) {
  if (slot.pixels == nullptr || (slot.bitsPerPixel != 24 && slot.bitsPerPixel != 32) ||
      slot.width <= 0 || slot.height <= 0)
    return 0;
  DeleteTexture(slot);
  NoteTexturesChanged();
  glGenTextures(1, &slot.glName);
  glBindTexture(GL_TEXTURE_2D, slot.glName);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  // Rows are packed tightly; the default 4-byte alignment would misread
  // RGB pictures whose width is not a multiple of 4.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  slot.mipmapped = 0;
  const GLenum format = PixelFormatOf(slot.bitsPerPixel);
  const GLint components = BytesPerPixel(slot.bitsPerPixel);
  if (mipLevels > 0) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipLevels == 1) {
      gluBuild2DMipmaps(GL_TEXTURE_2D, components, slot.width, slot.height, format,
                        GL_UNSIGNED_BYTE, slot.pixels);
      slot.mipmapped = 1;
    } else {
      slot.mipmapped = HandMadeMipLevels(slot, mipLevels);
    }
  }
  if (!slot.mipmapped) {
    const GLint filter = slot.bitsPerPixel == 24 ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  }
  UploadLevel0(slot, freePixels == 0);
  // Smaller mip levels mix the rim into the middle: only level 0 is known.
  slot.opaqueInset = slot.mipmapped ? -1 : OpaqueInset(slot);
  if (freePixels) FreePixels(slot);
  return 1;
}

void DeleteTexture(TextureSlot& slot) {
  slot.opaqueInset = -1;
  if (slot.glName != 0) {
    glDeleteTextures(1, &slot.glName);
    NoteTexturesChanged();
  }
  slot.glName = 0;
}

void ReleaseStore(TextureStore& store) {
  // The layer's copies go with the pictures, while the context still exists.
  ReleaseLayerCache();
  for (TextureSlot& slot : store.slots) {
    FreePixels(slot);
    DeleteTexture(slot);
  }
  store.count = 1;
}

void BindTextureSlot(TextureStore& store, int n) {
  if (n < 0 || n >= kTextureSlots) return;
  BindTexture(store.slots[n]);
}

void BindTexture(TextureSlot& slot) {
  if (slot.glName == 0) return;
  if (DrawRecording()) {
    RecordState(ReplayBind, &slot.glName, sizeof slot.glName);
    return;
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, slot.glName);
}

void DisableTexturing() {
  if (DrawRecording()) {
    RecordState(ReplayDisable, nullptr, 0);
    return;
  }
  glDisable(GL_TEXTURE_2D);
}

void NoteTexturesChanged() {
  ++gTextureGeneration;
}

uint64_t TextureGeneration() {
  return gTextureGeneration;
}

namespace {

// A number followed by a comment to the end of its line.
bool ReadNumberLine(std::istream& in, int& value) {
  in >> value;
  if (!in) return false;
  SkipRestOfLine(in);
  return true;
}

}  // namespace

// Layout: a heading line, the entry count; then per entry a heading line,
// the slot number, the file name line and the mip-level count.
int LoadTextureList(TextureStore& store, const char* listName) {
  if (listName == nullptr) return 0;
  std::istringstream in;
  if (!OpenTextList(listName, in)) return 0;
  std::string line;
  std::getline(in, line);
  int n = 0;
  if (!ReadNumberLine(in, n)) return 0;
  n = std::min(n, kTextureSlots);
  int last = -1;
  for (int i = 0; i < n; ++i) {
    std::getline(in, line);
    int s = 0;
    if (!ReadNumberLine(in, s)) return 0;
    s = std::clamp(s, 0, kTextureSlots - 1);
    TextureSlot& slot = store.slots[s];
    if (slot.glName != 0) return 0;
    if (!std::getline(in, line)) return 0;
    // A list saved with CR LF line ends names the same files.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    LastImageName = Trim(line);
    if (!LoadImageFile(slot, LastImageName.c_str())) return 0;
    int mipLevels = 0;
    if (!ReadNumberLine(in, mipLevels)) {
      FreePixels(slot);
      return 0;
    }
    CreateTexture(slot, mipLevels, 1);
    if (slot.glName == 0) return 0;
    last = s;
  }
  if (last >= 0) store.count = last + 1;
  return 1;
}

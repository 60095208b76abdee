// The message base and the stage background pictures.
#include "gfx/resources.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "app/app_state.h"
#include "base/file_util.h"
#include "base/random.h"

TextureSlot gBackgroundTexture;
float gBackgroundY = 0;

namespace {

// Two entries per message: its English text, then its Russian text.
std::vector<std::string> gMessages;

// The game shows a few dozen messages; a count far beyond that is a broken
// file and must not make us store millions of empty texts.
constexpr int kMaxMessages = 10000;

// Lines are kept as written; only a CR before the LF goes, as a text-mode
// read would drop it.
void ReadTextLine(std::istream& in, std::string& out) {
  out.clear();
  if (!std::getline(in, out)) {
    out.clear();
    return;
  }
  if (!out.empty() && out.back() == '\r') out.pop_back();
}

}  // namespace

int LoadMessageBase(const char* fileName) {
  if (fileName == nullptr) return 0;
  std::istringstream in;
  if (!OpenTextList(fileName, in)) return 0;
  gMessages.clear();
  int n = 0;
  in >> n;
  if (!in || n < 2) return 1;
  n = std::min(n, kMaxMessages);
  std::string ignored;
  ReadTextLine(in, ignored);  // rest of the count line
  gMessages.reserve(static_cast<size_t>(n) * 2);
  for (int i = 0; i < n; ++i) {
    ReadTextLine(in, ignored);  // heading or separator
    std::string first, second;
    ReadTextLine(in, first);
    ReadTextLine(in, second);
    gMessages.push_back(std::move(first));
    gMessages.push_back(std::move(second));
  }
  return 1;
}

void ClearMessageBase() {
  gMessages.clear();
  gMessages.shrink_to_fit();
}

std::string Message(int k) {
  if (gMessages.empty()) return "...";
  if (k <= 0) return ".0.";
  const int64_t second = 2 * static_cast<int64_t>(k) - 1;
  if (second >= static_cast<int64_t>(gMessages.size())) return ".Z.";
  return gApp.languageFlag == 1 ? gMessages[second - 1] : gMessages[second];
}

namespace {

// The picture chosen and not yet read ("" when there is none).
std::string gPendingBackground;

void LoadBackground(const char* name) {
  if (!LoadImageFile(gBackgroundTexture, name)) {
    FreePixels(gBackgroundTexture);
    DeleteTexture(gBackgroundTexture);
    return;
  }
  CreateTexture(gBackgroundTexture, 0, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

}  // namespace

void SelectBackground(int n, int normalise) {
  gBackgroundY = 0;
  if (normalise) {
    if (n < 0)
      n = 1;
    else if (n < 8)
      n += (n % 2 == 0) ? 1 : 0;
    else
      n = 7;
  }
  if (n % 2 == 0) return;  // even stages keep the picture they have
  if (n == 7) n += Random(0, 1);
  char name[32];
  std::snprintf(name, sizeof name, "res/fon%d.tga", n);
  gPendingBackground.clear();
  int32_t width = 0, height = 0;
  if (!ReadImageSize(name, &width, &height)) {
    // Missing, or a picture the reader refuses: it fails now, as it says.
    LoadBackground(name);
  } else {
    FreePixels(gBackgroundTexture);
    DeleteTexture(gBackgroundTexture);
    gPendingBackground = name;
  }
  if (height == 0 && gBackgroundTexture.glName != 0) height = gBackgroundTexture.height;
  const int excess = height - gApp.windowHeight;
  if (excess > 0) gBackgroundY = -static_cast<float>(Random(0, excess));
}

bool UseBackground() {
  if (!gPendingBackground.empty()) {
    const std::string name = gPendingBackground;
    gPendingBackground.clear();
    LoadBackground(name.c_str());
  }
  return gBackgroundTexture.glName != 0;
}

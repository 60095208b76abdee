// Start-up resources that belong to the shell: the bilingual message base
// and the stage background pictures.
#pragma once

#include <string>

#include "gfx/texture.h"

int LoadMessageBase(const char* fileName);  // 1 when the file opened
void ClearMessageBase();
// Text of message k (1-based) in the current language; "...", ".0." or ".Z."
// when the base is empty, k <= 0 or k is past the end.
std::string Message(int k);

extern TextureSlot gBackgroundTexture;
extern float gBackgroundY;
// Loads background picture n ("res/fon%d.tga"); see the stage rules.
void SelectBackground(int n, int normalise);

// Start-up resources that belong to the shell: the bilingual message base
// and the stage background pictures.
#pragma once

#include <string>

#include "game/host.h"
#include "gfx/texture.h"

int LoadMessageBase(const char* fileName);  // 1 when the file opened
void ClearMessageBase();
// Text of message k (1-based) in the current language; "...", ".0." or ".Z."
// when the base is empty, k <= 0 or k is past the end.
std::string Message(int k);

extern TextureSlot gBackgroundTexture;
extern float gBackgroundY;
// SelectBackground (game/host.h) chooses picture n ("res/fon%d.tga"); see
// the stage rules.  A picture whose header reads well is read and uploaded
// when it is first drawn (UseBackground), so only a picture that is shown is
// held; the old one goes at once.
// Before drawing the background: reads the chosen picture if that is still
// to do; true when there is a picture to draw (gBackgroundTexture).
bool UseBackground();

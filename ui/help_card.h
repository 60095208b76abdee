// The help card: the game's keys, shown over the play screen while F1 is
// held.  It only draws; the game goes on underneath.
#pragma once

#include <string>
#include <vector>

// The card's lines in Windows-1251 for a language (0 Russian, 1 English),
// naming the keys of the loaded bindings.  The first line is the title.
std::vector<std::string> HelpCardLines(int languageFlag);
// Draws the card in the middle of the window.
void DrawHelpCard(int languageFlag);

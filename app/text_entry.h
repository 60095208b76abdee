// The one-line text entry fed by character messages (player names).  It
// needs nothing of the system or the interface.
#pragma once

#include <cstdint>
#include <string>

#include "game/host.h"

// The one-line editor fed by character messages.  Its owner's result cell:
// 0 idle, -1 editing, 1 accepted, 2 cancelled.

struct TextEntry {
  int32_t* owner = nullptr;
  std::string buffer;  // the prompt followed by what has been typed (Windows-1251)
  int32_t start = 0;   // length of the prompt
  int32_t cursor = 0;
  int32_t maxLen = 125;
  char lastChar[2] = {0, 0};
  // A text offered to edit (the previous name): the first character typed
  // while the text is still exactly this replaces it.
  std::string offered;
  int32_t hasOffered = 0;
};

extern TextEntry gTextEntry;

int BeginTextEntry(int32_t* resultCell, const std::string& prompt, int maxLen);
// BeginTextEntryOffering, TextEntryEditing, TextEntryOwnedBy and
// PollTextEntry, which the end of a game uses, are declared in game/host.h.
// An offered text may be deleted into with Backspace, and a character typed
// while the text is unchanged replaces it.

// Feeds one character or key code to the editor; 1 when it was taken.  The
// caller keeps keys away that belong to something else (the options menu).
int TextEntryChar(int code);

// Process-wide shell state: window size and flags, the key table and the
// one-line text entry.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct AppState {
  int32_t windowWidth = 800;
  int32_t windowHeight = 600;
  int32_t active = 0;   // frames are drawn
  int32_t focused = 0;  // input is sampled and the game stepped
  int32_t quitRequested = 0;
  int32_t loopSleepMs = 10;
  int32_t debugOverlay = 0;
  int32_t languageFlag = 0;  // 0 Russian, 1 English
};

extern AppState gApp;

// 256 down-flags by Windows virtual-key code; mouse buttons at 1, 2 and 4.
extern std::array<int32_t, 256> gKeyTable;
void ClearKeyTable();

// Key and button messages go through these.  A press stays in the table
// until a frame has read it, so a press and release that both arrive
// between two frames still count as down for one frame; such a release
// applies once the frame is done (KeyTableFrameSeen).
void KeyTablePress(int code);
void KeyTableRelease(int code);
void KeyTableFrameSeen();

// ------------------------------------------------------------ text entry
//
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
// Like BeginTextEntry with no prompt, the text starting as `offered` with the
// cursor at its end: Backspace may delete into it, and a character typed
// while the text is unchanged replaces it.
int BeginTextEntryOffering(int32_t* resultCell, const std::string& offered, int maxLen);
bool TextEntryEditing();
// 1 when the entry of this very cell has ended: text gets the whole buffer
// (result 1) or nothing (result 2); the entry is closed.
int PollTextEntry(int32_t* resultCell, std::string& text, int resetCell);
// Feeds one character or key code to the editor; 1 when it was taken.
int TextEntryChar(int code);

// Everything the rules ask of whoever runs them.  game/, records/ and base/
// see nothing of the shell but these calls (and the platform's clock and
// files); the shell (app/, ui/, gfx/, sound/) supplies them, and the rules
// tests supply a test host of their own.
#pragma once

#include <cstdint>
#include <string>

// ------------------------------------------------------------ sound

// Voice numbers: 1 right, 2 left, 3 centre.
enum EffectVoice : int { kVoiceRight = 1, kVoiceLeft = 2, kVoiceCentre = 3 };

// Plays sound n on a voice, cutting off what it played; the pitch is one of
// `steps` equal steps above `low` up to `high` (just `low` when steps <= 0).
void PlaySound(int voice, int n, int loop, float gain, float low, float high, int steps);

// ------------------------------------------------------------ the window

struct WindowSize {
  int32_t width = 800;
  int32_t height = 600;
};
// The window the well is laid out in, in pixels.
WindowSize GameWindowSize();

// A modal message box with an OK button.
void ShowMessageBox(const char* text, const char* caption);

// ------------------------------------------------------------ the interface

// The panels the game flow shows and hides.
enum GamePanel : int { kStageResultsPanel, kNameEntryPanel, kBonusPanel };
// False when the interface has no such panel (nothing is shown then).
bool ShowGamePanel(GamePanel panel, bool show);

// Starts the full-screen intro (3000 ms): at start-up and at every game over.
void SetupIntro();
// Chooses background picture n; normalise 1 is the shape choice's draw.
void SelectBackground(int n, int normalise);
// The shape choice goes back to its first state: it opens with the next frame.
void ResetFieldChoice();
// The pointer was clicked at (x, y), window pixels from the lower-left
// corner, while a game was set up: the records list beside the well may
// show the line under it.
void RecordsListClick(int x, int y);

// ------------------------------------------------------------ name entry
//
// The one-line text entry the player types the name into.  Its owner's
// result cell: 0 idle, -1 editing, 1 accepted, 2 cancelled.

// Starts an entry with no prompt whose text starts as `offered`, the cursor
// at its end; 1 when started (no other entry in use, the cell at 0).
int BeginTextEntryOffering(int32_t* resultCell, const std::string& offered, int maxLen);
bool TextEntryEditing();
// True while the entry in use is the one of this cell.
bool TextEntryOwnedBy(const int32_t* resultCell);
// 1 when the entry of this very cell has ended: text gets the whole buffer
// (result 1) or nothing (result 2); the entry is closed.
int PollTextEntry(int32_t* resultCell, std::string& text, int resetCell);
// One frame of the letter grid beside the entry, moved by this frame's
// commands; lastName is the previous name, which "@" offers or replaces.
void NameGridInput(std::string& lastName);

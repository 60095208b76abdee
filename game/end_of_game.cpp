// The end of a game: the wait, the rank, the name entry, the records entry
// and the restart.
#include <string>

#include "base/file_util.h"
#include "base/text.h"
#include "base/timers.h"
#include "game/game.h"
#include "game/host.h"
#include "platform/clock.h"
#include "records/records.h"

namespace {

enum EndState : int32_t {
  kPlaying = 0,
  kGameOver = 1,
  kWaiting = 2,
  kDecidingRank = 3,
  kFinished = 4,
  kNameEntry = 5,
};

constexpr int32_t kEndWaitMs = 2000;
constexpr int32_t kNoRankCloseLockMs = 1000;
constexpr int32_t kNameEntryCloseLockMs = 600000;  // no closing by key while typing
constexpr int32_t kAfterNameCloseLockMs = 350;
constexpr int kNameMaxLen = 15;
constexpr std::size_t kStoredNameLen = 12;

void DecideRank() {
  GameState& g = gGame;
  gPreviewTable = gRecordTable;
  const int rank = PlaceRecord(gPreviewTable, "abc", CurrentRecordValues());
  gPreviewRank = rank;
  g.nameInput = 0;
  if (rank <= 0) {
    PlaySound(kVoiceRight, 11, 0, 0.9f, 0.8f, 1.0f, 10);
    g.closeLock = kNoRankCloseLockMs;
    g.recordRank = -1;
    g.endState = kFinished;
  } else {
    g.recordRank = rank;
    g.endState = kNameEntry;
    PlaySound(kVoiceRight, 13, 0, 1.0f, 1.0f, 1.0f, 0);
    g.closeLock = kNameEntryCloseLockMs;
  }
  ShowGamePanel(kStageResultsPanel, true);
  g.paused = 1;
}

// The name that goes into the table: "Comp" for a cancelled entry, the
// trimmed text otherwise, "Zero" when nothing is left of it.
std::string StoredName(int32_t result, const std::string& text) {
  if (result == 2) return "Comp";
  std::string name = Trim(text);
  if (name.empty()) return "Zero";
  return name;
}

void CommitName(int32_t result, const std::string& text) {
  GameState& g = gGame;
  std::string name = StoredName(result, text);
  // An accepted name is offered again next time, as the grid's "@" does.
  if (result == 1 && !Trim(text).empty()) g.playerName = name;
  if (name.size() > kStoredNameLen) name.resize(kStoredNameLen);
  ShowGamePanel(kNameEntryPanel, false);
  CommitRecord(name, CurrentRecordValues());
  g.nameInput = 0;
  g.endState = kFinished;
  g.closeLock = kAfterNameCloseLockMs;
}

void NameEntryStep() {
  GameState& g = gGame;
  // The previous name is offered as the text to edit.
  if (g.nameInput == 0) BeginTextEntryOffering(&g.nameInput, g.playerName, kNameMaxLen);
  ShowGamePanel(kNameEntryPanel, true);
  if (g.nameInput == -1 && TextEntryEditing()) {
    NameGridInput(g.playerName);
  }

  const int32_t result = g.nameInput;
  std::string text;
  if (!PollTextEntry(&g.nameInput, text, 0)) return;
  CommitName(result, text);
}

// A finished game whose results were closed: back to the shape choice.
void Restart() {
  GameState& g = gGame;
  CountDown(g.gameOverTimer);
  ResetFieldChoice();
  g.firstMilestone = 0;
  ClearGameSums(g);
  g.stageStartScore = 0;
  g.endState = kPlaying;
  g.cubes = 0;
  g.score = 0;
  g.lastRemoval = 0;
  g.lastPoints = 0;
  g.bestPoints = 0;
  g.stageCubes = 0;
  g.stageTarget = InitialStageTarget(g.variant);
  g.slowDownDone = 0;
  g.stage = 0;
  BuildField(g.field);
  if (g.field != nullptr) {
    GeneratePiece(*g.field, g.current);
    GeneratePiece(*g.field, g.current);
  }
  g.next = Piece{};
}

}  // namespace

void GameOver() {
  GameState& g = gGame;
  Sleep(300);
  g.endState = kGameOver;
  SetupIntro();
  EndChain();
  g.gameOverTimer = 3200;
  g.fallPeriod = 1000;
}

bool EndOfGame() {
  GameState& g = gGame;
  switch (g.endState) {
    case kPlaying:
      return false;
    case kGameOver:
      g.endTimer = kEndWaitMs;
      g.endState = kWaiting;
      return true;
    case kWaiting:
      if (CountDownExpired(g.endTimer)) g.endState = kDecidingRank;
      return true;
    case kDecidingRank:
      DecideRank();
      return true;
    case kNameEntry:
      NameEntryStep();
      return true;
    default:
      return true;  // finished: waiting for the results to be closed
  }
}

void FinishPendingRecord() {
  GameState& g = gGame;
  if (g.endState != kNameEntry) return;
  std::string text = g.playerName;
  int32_t result = 1;
  if (TextEntryOwnedBy(&g.nameInput)) {
    // Whatever is typed so far counts as accepted.
    if (g.nameInput == -1) g.nameInput = 1;
    result = g.nameInput;
    PollTextEntry(&g.nameInput, text, 0);
  }
  CommitName(result, text);
}

bool CheckGameEnd() {
  GameState& g = gGame;
  if (!EndOfGame()) return g.paused != 0;
  if (!g.paused && g.endState == kFinished) {
    Restart();
    return false;
  }
  return true;
}

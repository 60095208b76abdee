#include "support/test_host.h"

#include "app/text_entry.h"

namespace test_host {

Host gHost;

void Reset() {
  gHost = Host{};
  if (gTextEntry.owner != nullptr) {
    *gTextEntry.owner = 2;
    std::string ignored;
    PollTextEntry(gTextEntry.owner, ignored, 1);
  }
}

}  // namespace test_host

using test_host::gHost;

void PlaySound(int voice, int n, int loop, float gain, float low, float high, int steps) {
  gHost.sounds.push_back({voice, n, loop, gain, low, high, steps});
}

WindowSize GameWindowSize() {
  return gHost.window;
}

void ShowMessageBox(const char* text, const char* caption) {
  ++gHost.messageBoxes;
  gHost.lastMessage = std::string(caption) + ": " + text;
}

bool ShowGamePanel(GamePanel panel, bool show) {
  if (!gHost.present[panel]) return false;
  gHost.shown[panel] = show;
  return true;
}

void SetupIntro() {
  ++gHost.intros;
}

void SelectBackground(int n, int) {
  gHost.backgrounds.push_back(n);
}

void ResetFieldChoice() {
  gHost.choiceOpen = true;
}

void RecordsListClick(int x, int y) {
  gHost.clicks.push_back({x, y});
}

void NameGridInput(std::string&) {
  ++gHost.gridFrames;
}

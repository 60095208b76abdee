#include "app/app_state.h"

AppState gApp;
std::array<int32_t, 256> gKeyTable{};

namespace {

// Pressed since the last frame; a release that arrives meanwhile waits.
std::array<uint8_t, 256> gPressUnseen{};
std::array<uint8_t, 256> gReleaseWaiting{};

bool InTable(int code) {
  return code >= 0 && code < static_cast<int>(gKeyTable.size());
}

}  // namespace

WindowSize GameWindowSize() {
  return WindowSize{gApp.windowWidth, gApp.windowHeight};
}

void ClearKeyTable() {
  gKeyTable.fill(0);
  gPressUnseen.fill(0);
  gReleaseWaiting.fill(0);
}

void KeyTablePress(int code) {
  if (!InTable(code)) return;
  gKeyTable[code] = 1;
  gPressUnseen[code] = 1;
  gReleaseWaiting[code] = 0;
}

void KeyTableRelease(int code) {
  if (!InTable(code)) return;
  if (gPressUnseen[code] != 0) {
    gReleaseWaiting[code] = 1;
    return;
  }
  gKeyTable[code] = 0;
}

void KeyTableFrameSeen() {
  for (size_t code = 0; code < gKeyTable.size(); ++code) {
    if (gReleaseWaiting[code] != 0) gKeyTable[code] = 0;
    gReleaseWaiting[code] = 0;
    gPressUnseen[code] = 0;
  }
}

#include "app/app_state.h"

AppState gApp;
std::array<int32_t, 256> gKeyTable{};

void ClearKeyTable() {
  gKeyTable.fill(0);
}

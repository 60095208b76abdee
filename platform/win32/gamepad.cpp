// Game controllers are read by the SDL back end only; this one has no test
// pad to offer.
#include "platform/platform.h"

int AttachTestGamepad() {
  return 0;
}

int SetTestGamepadButton(TestPadButton, int) {
  return 0;
}

int SetTestGamepadStick(int) {
  return 0;
}

void DetachTestGamepad() {}

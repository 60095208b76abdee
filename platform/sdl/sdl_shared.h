// What the platform sources share among themselves about SDL; nothing outside
// platform/ includes this.
#pragma once

#define SDL_MAIN_HANDLED
#include <SDL2/SDL.h>

#include "platform/platform.h"

namespace platform {

// Starts SDL video on first use; it stays up until the process ends.
bool AcquireVideo();

// The game window, or else the hidden test window, or null.
SDL_Window* ActiveWindow();
// The window procedure registered with the window class, or null.
WindowProcFn RegisteredProc();

// Forgets what the pump has queued and its minimised state (window teardown).
void ResetPump();

}  // namespace platform
